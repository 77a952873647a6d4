#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

// The command line and start-up failures, answered by the real binary before
// any window: what it prints, where, and the exit status.
class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
};

// What the program's standard streams and limits are at its start.
enum class SetUp
{
    Plain,
    StderrToClosedPipe, // a reader gone: writes fail with EPIPE
    StdoutClosed,
    StdoutFull,
    SevenDescriptors,
};
Q_DECLARE_METATYPE(SetUp)

void tst_CommandLine::answers_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<SetUp>("setUp");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QString none = QStringLiteral("^$");
    const QString hint = QStringLiteral("\nTry 'tarvelo --help' for more information\\.\n$");
    // Qt's own messages come first, as they are said; the cause is the last line.
    const QString cause = QStringLiteral("(^|\n)tarvelo: ");
    const QString plugins = QStringLiteral(" \\(available: [a-z0-9-]+(, [a-z0-9-]+)*\\)\n$");
    const SetUp plain = SetUp::Plain;
    QTest::newRow("--version, with no display")
        << QStringList{"--version"} << QStringList{} << plain << 0 << "^tarvelo 1\\.00\n$" << none;
    QTest::newRow("--help") << QStringList{"--help"} << QStringList{} << plain << 0
                            << "^Usage: tarvelo \\[OPTION\\]\\.\\.\\.\n(.|\n)* --version " << none;
    QTest::newRow("Qt's own options pass, in every spelling")
        << QStringList{"-style",   "Fusion", "--style=Fusion", "-reverse",
                       "--visual", "33",     "--version"}
        << QStringList{} << plain << 0 << "^tarvelo 1\\.00\n$" << none;
    QTest::newRow("unknown option")
        << QStringList{"--frobnicate"} << QStringList{} << plain << 2 << none
        << "^tarvelo: unrecognised option '--frobnicate'" + hint;
    QTest::newRow("stray argument") << QStringList{"stray"} << QStringList{} << plain << 2 << none
                                    << "^tarvelo: unexpected argument 'stray'" + hint;
    QTest::newRow("-- ends the options")
        << QStringList{"--", "--help"} << QStringList{} << plain << 2 << none
        << "^tarvelo: unexpected argument '--help'" + hint;
    QTest::newRow("Qt option without its value")
        << QStringList{"-platform"} << QStringList{} << plain << 2 << none
        << "^tarvelo: option '-platform' needs a value" + hint;
    QTest::newRow("control characters echoed escaped")
        << QStringList{"--\x1b[2J'"} << QStringList{} << plain << 2 << none
        << "^tarvelo: unrecognised option '--\\\\x1b\\[2J\\\\''" + hint;
    QTest::newRow("--help to a closed stdout")
        << QStringList{"--help"} << QStringList{} << SetUp::StdoutClosed << 1 << none
        << "^tarvelo: write error: Bad file descriptor\n$";
    QTest::newRow("--version to a full disk")
        << QStringList{"--version"} << QStringList{} << SetUp::StdoutFull << 1 << none
        << "^tarvelo: write error: No space left on device\n$";
    QTest::newRow("no display") << QStringList{} << QStringList{"DISPLAY="} << plain << 1 << none
                                << cause + "no display to open: set DISPLAY or WAYLAND_DISPLAY\n$";
    QTest::newRow("dead display") << QStringList{} << QStringList{"DISPLAY=:957"} << plain << 1
                                  << none << cause + "cannot open display \":957\"\n$";
    QTest::newRow("dead display, warnings fatal")
        << QStringList{} << QStringList{"DISPLAY=:957", "QT_FATAL_WARNINGS=1"} << plain << 1 << none
        << cause + "cannot open display \":957\"\n$";
    QTest::newRow("display from the command line, after =")
        << QStringList{"-display=:958"} << QStringList{"DISPLAY=:957"} << plain << 1 << none
        << cause + "cannot open display \":958\"\n$";
    QTest::newRow("garbage display, echoed escaped")
        << QStringList{} << QStringList{"DISPLAY=gar\nbage"} << plain << 1 << none
        << cause + "cannot open display \"gar\\\\nbage\"\n$";
    QTest::newRow("no such platform")
        << QStringList{"-platform", "nonsense"} << QStringList{"DISPLAY=:957"} << plain << 1 << none
        << cause + "no platform plugin \"nonsense\"" + plugins;
    QTest::newRow("no such platform, after = and in Cyrillic")
        << QStringList{"-platform=нещо"} << QStringList{"DISPLAY=:957"} << plain << 1 << none
        << cause + "no platform plugin \"нещо\"" + plugins;
    QTest::newRow("no Wayland compositor")
        << QStringList{} << QStringList{"QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=nowhere"}
        << plain << 1 << none << cause + "cannot connect to Wayland display \"nowhere\"\n$";
    QTest::newRow("no Wayland compositor, no X display")
        << QStringList{} << QStringList{"WAYLAND_DISPLAY=nowhere"} << plain << 1 << none
        << cause + "cannot connect to Wayland display \"nowhere\", and DISPLAY is not set\n$";
    // Fails only once the window is made, after Qt has warned of the style.
    QTest::newRow("no screen, a warning on the way")
        << QStringList{"-style", "nonsense"}
        << QStringList{"QT_QPA_PLATFORM=linuxfb:fb=/nonexistent"} << plain << 1 << none
        << "^(.|\n)*'nonsense'(.|\n)*" + cause + "Cannot create window: no screens available\n$";
    QTest::newRow("too few file descriptors")
        << QStringList{} << QStringList{"DISPLAY=:957"} << SetUp::SevenDescriptors << 1 << none
        << "^tarvelo: Too many open files: starting needs 8 free file descriptors \\(see ulimit "
           "-n\\)\n$";
    // Written to a pipe nobody reads, an error line must not kill the program.
    QTest::newRow("unknown option, stderr closed")
        << QStringList{"--frobnicate"} << QStringList{} << SetUp::StderrToClosedPipe << 2 << none
        << none;
    QTest::newRow("no display, stderr closed")
        << QStringList{} << QStringList{} << SetUp::StderrToClosedPipe << 1 << none << none;
}

void tst_CommandLine::answers()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, environment);
    QFETCH(SetUp, setUp);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);

#ifndef Q_OS_LINUX
    if (setUp != SetUp::Plain)
        QSKIP("a POSIX stream or limit, set up as POSIX does");
    if (environment.join(QLatin1Char(' '))
            .contains(QRegularExpression(QStringLiteral("DISPLAY|linuxfb|=wayland"))))
        QSKIP("an X11, Wayland or framebuffer display, as Linux has");
#endif
    QTemporaryDir runtime; // a private XDG_RUNTIME_DIR with no compositor in it
    QVERIFY(runtime.isValid());
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        variables.remove(QString::fromLatin1(name));
    variables.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    for (const QString &variable : environment)
        variables.insert(variable.section(QLatin1Char('='), 0, 0),
                         variable.section(QLatin1Char('='), 1));

    QProcess program;
    program.setProcessEnvironment(variables);
#ifdef Q_OS_UNIX
    int closedPipe[2];
    QVERIFY(pipe(closedPipe) == 0);
    close(closedPipe[0]);
    program.setChildProcessModifier([&] {
        switch (setUp) {
        case SetUp::Plain:
            break;
        case SetUp::StderrToClosedPipe:
            dup2(closedPipe[1], STDERR_FILENO);
            break;
        case SetUp::StdoutClosed:
            close(STDOUT_FILENO);
            break;
        case SetUp::StdoutFull:
            dup2(open("/dev/full", O_WRONLY), STDOUT_FILENO);
            break;
        case SetUp::SevenDescriptors: {
            const rlimit limit{7, 7};
            setrlimit(RLIMIT_NOFILE, &limit);
            break;
        }
        }
    });
    const auto closeOurEnd = qScopeGuard([&] { close(closedPipe[1]); });
#endif
    program.start(QStringLiteral(TARVELO_BINARY), arguments);
    QVERIFY(program.waitForFinished(10000));

    // Windows ends text lines with CR LF.
    const auto text = [](const QByteArray &bytes) {
        return QString::fromUtf8(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    };
    const QString standardError = text(program.readAllStandardError());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY2(program.exitCode() == status, qPrintable(standardError));
    QVERIFY2(QRegularExpression(out).match(text(program.readAllStandardOutput())).hasMatch(),
             qPrintable(out));
    QVERIFY2(QRegularExpression(err).match(standardError).hasMatch(), qPrintable(standardError));
}

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
