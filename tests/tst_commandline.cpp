#include <QFile>
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
#ifdef Q_OS_LINUX
#include "support/x_session.h"
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
    StdoutToClosedPipe,
    StderrClosed,
    StdoutClosed,
    StdoutFull,
    TenDescriptors,
    ElevenDescriptors,
    AddressSpaceOf100MB,           // with threads' stacks of 8 MiB
    AddressSpaceOf100MBSmallStack, // with threads' stacks of 1 MiB
    NamedWithEscape,               // started through a link whose name holds an ESC and a backslash
    NamedEmpty,                    // started with an empty argv[0]
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
    // The X server this test runs on, where a window opens; the test closes it.
    const QString live = QStringLiteral("DISPLAY=*");
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
    QTest::newRow("DEL and backslashes echoed escaped")
        << QStringList{"--\x7f\\"} << QStringList{} << plain << 2 << none
        << "^tarvelo: unrecognised option '--\\\\x7f\\\\\\\\'" + hint;
    QTest::newRow("a lone -") << QStringList{"-"} << QStringList{} << plain << 2 << none
                              << "^tarvelo: unexpected argument '-'" + hint;
    QTest::newRow("a flag given a value")
        << QStringList{"-reverse=no"} << QStringList{} << plain << 2 << none
        << "^tarvelo: unrecognised option '-reverse=no'" + hint;
    QTest::newRow("an empty command name")
        << QStringList{"--frobnicate"} << QStringList{} << SetUp::NamedEmpty << 2 << none
        << "^tarvelo: unrecognised option '--frobnicate'" + hint;
    // A C1 control too, which Windows' command lines cannot carry.
    QTest::newRow("control characters in the command's name echoed escaped")
        << QStringList{"--frobnicate"} << QStringList{} << SetUp::NamedWithEscape << 2 << none
        << "^tar\\\\x1b\\\\x01\\\\xc2\\\\x9b\\\\\\\\velo: unrecognised option '--frobnicate'\nTry "
           "'tar\\\\x1b\\\\x01\\\\xc2\\\\x9b\\\\\\\\velo --help'";
    QTest::newRow("--help to a closed stdout")
        << QStringList{"--help"} << QStringList{} << SetUp::StdoutClosed << 1 << none
        << "^tarvelo: write error: Bad file descriptor\n$";
    QTest::newRow("--help to a reader gone, silently")
        << QStringList{"--help"} << QStringList{} << SetUp::StdoutToClosedPipe << 1 << none << none;
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
    QTest::newRow("dead display, warnings fatal after a word")
        << QStringList{} << QStringList{"DISPLAY=:957", "QT_FATAL_WARNINGS=yes"} << plain << 1
        << none << cause + "cannot open display \":957\"\n$";
    // Qt counts a critical against QT_FATAL_CRITICALS alone, a warning against
    // QT_FATAL_WARNINGS; its Wayland plugin says a missing compositor as a
    // critical on 6.4 and as a warning on 6.8.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    const QString waylandFatal = "QT_FATAL_WARNINGS=1", otherFatal = "QT_FATAL_CRITICALS=1";
#else
    const QString waylandFatal = "QT_FATAL_CRITICALS=1", otherFatal = "QT_FATAL_WARNINGS=1";
#endif
    QTest::newRow("no Wayland compositor, the other kind fatal: X11 opens")
        << QStringList{} << QStringList{live, "WAYLAND_DISPLAY=nowhere", otherFatal} << plain << 0
        << none << "^(?!(.|\n)*tarvelo: )";
    QTest::newRow("no Wayland compositor, its kind fatal")
        << QStringList{} << QStringList{live, "WAYLAND_DISPLAY=nowhere", waylandFatal} << plain << 1
        << none << cause + "cannot connect to Wayland display \"nowhere\"\n$";
    // Qt's line keeps its backslashes (its Windows paths), the cause quotes them.
    QTest::newRow("hostile display, Qt's own line escaped too")
        << QStringList{} << QStringList{"DISPLAY=\x1b]0;pwned\x07\\"} << plain << 1 << none
        << R"(^[^\x1b\x07]*display \\x1b\]0;pwned\\x07\\\n[^\x1b\x07]*)" + cause +
               R"(cannot open display "\\x1b\]0;pwned\\x07\\\\"\n$)";
    QTest::newRow("display from the command line, after =")
        << QStringList{"-display=:958"} << QStringList{"DISPLAY=:957"} << plain << 1 << none
        << cause + "cannot open display \":958\"\n$";
    QTest::newRow("garbage display, echoed escaped")
        << QStringList{} << QStringList{"DISPLAY=gar\nbage"} << plain << 1 << none
        << cause + "cannot open display \"gar\\\\nbage\"\n$";
    QTest::newRow("no such platform")
        << QStringList{"-platform", "nonsense"} << QStringList{"DISPLAY=:957"} << plain << 1 << none
        << cause + "no platform plugin \"nonsense\"" + plugins;
    QTest::newRow("no such platform, with options")
        << QStringList{"-platform", "nonsense:opt"} << QStringList{"DISPLAY=:957"} << plain << 1
        << none << cause + "no platform plugin \"nonsense\"" + plugins;
    QTest::newRow("no such platform, after = and in Cyrillic")
        << QStringList{"-platform=нещо°"} << QStringList{"DISPLAY=:957"} << plain << 1 << none
        << cause + "no platform plugin \"нещо°\"" + plugins;
    QTest::newRow("a platform list, none found: the first named")
        << QStringList{} << QStringList{"DISPLAY=:957", "QT_QPA_PLATFORM=nonsense;other"} << plain
        << 1 << none << cause + "no platform plugin \"nonsense\"" + plugins;
    QTest::newRow("a platform list: the cause of the plugin found")
        << QStringList{} << QStringList{"DISPLAY=:957", "QT_QPA_PLATFORM=nonsense;xcb"} << plain
        << 1 << none << cause + "cannot open display \":957\"\n$";
    QTest::newRow("no Wayland compositor")
        << QStringList{} << QStringList{"QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=nowhere"}
        << plain << 1 << none << cause + "cannot connect to Wayland display \"nowhere\"\n$";
    QTest::newRow("X11 asked for, only WAYLAND_DISPLAY set")
        << QStringList{} << QStringList{"QT_QPA_PLATFORM=xcb", "WAYLAND_DISPLAY=nowhere"} << plain
        << 1 << none << cause + "DISPLAY is not set\n$";
    QTest::newRow("no Wayland compositor, no X display")
        << QStringList{} << QStringList{"WAYLAND_DISPLAY=nowhere"} << plain << 1 << none
        << cause + "cannot connect to Wayland display \"nowhere\", and DISPLAY is not set\n$";
    // Fails only once the window is made, after Qt has warned of the style.
    QTest::newRow("no screen, a warning on the way")
        << QStringList{"-style", "nonsense"}
        << QStringList{"QT_QPA_PLATFORM=linuxfb:fb=/nonexistent"} << plain << 1 << none
        << "^(.|\n)*'nonsense' passed, ignoring it\\.\n[^\n]*Available styles(.|\n)*" + cause +
               "Cannot create window: no screens available\n$";
    QTest::newRow("too few file descriptors")
        << QStringList{} << QStringList{"DISPLAY=:957"} << SetUp::TenDescriptors << 1 << none
        << "^tarvelo: Too many open files: starting needs 8 free file descriptors \\(see ulimit "
           "-n\\)\n$";
    QTest::newRow("as few file descriptors as starting takes")
        << QStringList{} << QStringList{"DISPLAY=:957"} << SetUp::ElevenDescriptors << 1 << none
        << cause + "cannot open display \":957\"\n$";
    QTest::newRow("too little address space")
        << QStringList{} << QStringList{"DISPLAY=:957"} << SetUp::AddressSpaceOf100MB << 1 << none
        << "^tarvelo: Cannot allocate memory: starting needs [0-9]+ MiB more address space \\(see "
           "ulimit -v and ulimit -s\\)\n$";
    QTest::newRow("the same address space, with smaller stacks")
        << QStringList{} << QStringList{"DISPLAY=:957"} << SetUp::AddressSpaceOf100MBSmallStack << 1
        << none << cause + "cannot open display \":957\"\n$";
    // Started without a stderr, nothing else may take its place: Qt's warning
    // would go into the X connection, which then hangs.
    QTest::newRow("a warning, stderr closed")
        << QStringList{"-style", "nonsense"} << QStringList{live} << SetUp::StderrClosed << 0
        << none << none;
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
#elif defined(TARVELO_SANITIZERS)
    if (setUp == SetUp::AddressSpaceOf100MB || setUp == SetUp::AddressSpaceOf100MBSmallStack)
        QSKIP("AddressSanitizer's shadow memory needs an unlimited address space");
#endif
    QTemporaryDir runtime; // a private XDG_RUNTIME_DIR with no compositor in it
    QVERIFY(runtime.isValid());
    QString binary = QStringLiteral(TARVELO_BINARY);
    if (setUp == SetUp::NamedWithEscape) {
        const QString link = runtime.filePath(QString::fromUtf8("tar\x1b\x01\xc2\x9b\\velo"));
        QVERIFY(QFile::link(binary, link));
        binary = link;
    }
    const QString liveDisplay = qEnvironmentVariable("DISPLAY");
    const bool onLiveDisplay = environment.contains(QStringLiteral("DISPLAY=*"));
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        variables.remove(QString::fromLatin1(name));
    variables.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    for (const QString &variable : environment)
        variables.insert(variable.section(QLatin1Char('='), 0, 0),
                         variable.section(QLatin1Char('='), 1));
    if (onLiveDisplay)
        variables.insert(QStringLiteral("DISPLAY"), liveDisplay);

    QProcess program;
    program.setProcessEnvironment(variables);
#ifdef Q_OS_UNIX
    int closedPipe[2];
    QVERIFY(pipe(closedPipe) == 0);
    close(closedPipe[0]);
    program.setChildProcessModifier([&] {
        // Only the standard streams reach the program, as from a shell: ctest
        // leaves its log open.
        for (int descriptor = 3; descriptor < 1024; ++descriptor)
            fcntl(descriptor, F_SETFD, FD_CLOEXEC);
        switch (setUp) {
        case SetUp::Plain:
            break;
        case SetUp::StderrToClosedPipe:
            dup2(closedPipe[1], STDERR_FILENO);
            break;
        case SetUp::StdoutToClosedPipe:
            dup2(closedPipe[1], STDOUT_FILENO);
            break;
        case SetUp::StderrClosed:
            close(STDERR_FILENO);
            break;
        case SetUp::StdoutClosed:
            close(STDOUT_FILENO);
            break;
        case SetUp::StdoutFull:
            dup2(open("/dev/full", O_WRONLY), STDOUT_FILENO);
            break;
        case SetUp::TenDescriptors:
        case SetUp::ElevenDescriptors: {
            const rlim_t count = setUp == SetUp::TenDescriptors ? 10 : 11;
            const rlimit limit{count, count};
            setrlimit(RLIMIT_NOFILE, &limit);
            break;
        }
        case SetUp::AddressSpaceOf100MB:
        case SetUp::AddressSpaceOf100MBSmallStack: {
            const rlimit space{100 << 20, 100 << 20};
            const rlim_t stack = setUp == SetUp::AddressSpaceOf100MB ? 8 << 20 : 1 << 20;
            const rlimit stacks{stack, stack};
            setrlimit(RLIMIT_AS, &space);
            setrlimit(RLIMIT_STACK, &stacks);
            break;
        }
        case SetUp::NamedWithEscape:
        case SetUp::NamedEmpty:
            break;
        }
    });
    const auto closeOurEnd = qScopeGuard([&] { close(closedPipe[1]); });
#endif
    if (setUp == SetUp::NamedEmpty)
        program.start(
            QStringLiteral("bash"),
            QStringList{QStringLiteral("-c"), QStringLiteral("exec -a '' \"$0\" \"$@\""), binary} +
                arguments);
    else
        program.start(binary, arguments);
#ifdef Q_OS_LINUX
    if (onLiveDisplay && status == 0) { // closed as a window manager would, once it shows
        const QStringList search{QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                 QStringLiteral("--pid"), QString::number(program.processId())};
        QString window;
        QTRY_VERIFY2_WITH_TIMEOUT(
            !(window = RunTool(QStringLiteral("xdotool"), search).section(u'\n', 0, 0)).isEmpty(),
            "no window shows", 10000);
        SendDeleteWindow(window.toULong());
    }
#endif
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
