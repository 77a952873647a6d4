#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

// The command line and start-up failures, answered by the real binary before
// any window: what it prints, where, and the exit status.
class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
};

void tst_CommandLine::answers_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<bool>("stderrClosed");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QString none = QStringLiteral("^$");
    const QString hint = QStringLiteral("\nTry 'tarvelo --help' for more information\\.\n$");
    QTest::newRow("--version, with no display")
        << QStringList{"--version"} << QStringList{} << false << 0 << "^tarvelo 1\\.00\n$" << none;
    QTest::newRow("--help") << QStringList{"--help"} << QStringList{} << false << 0
                            << "^Usage: tarvelo \\[OPTION\\]\\.\\.\\.\n(.|\n)* --version " << none;
    QTest::newRow("Qt's own options pass")
        << QStringList{"-style", "Fusion", "-reverse", "--version"} << QStringList{} << false << 0
        << "^tarvelo 1\\.00\n$" << none;
    QTest::newRow("unknown option")
        << QStringList{"--frobnicate"} << QStringList{} << false << 2 << none
        << "^tarvelo: unrecognised option '--frobnicate'" + hint;
    QTest::newRow("stray argument") << QStringList{"stray"} << QStringList{} << false << 2 << none
                                    << "^tarvelo: unexpected argument 'stray'" + hint;
    QTest::newRow("Qt option without its value")
        << QStringList{"-platform"} << QStringList{} << false << 2 << none
        << "^tarvelo: option '-platform' needs a value" + hint;
    QTest::newRow("no display")
        << QStringList{} << QStringList{} << false << 1 << none
        << "^tarvelo: no display to open: set DISPLAY or WAYLAND_DISPLAY\n$";
    QTest::newRow("dead display") << QStringList{} << QStringList{"DISPLAY=:957"} << false << 1
                                  << none << "^tarvelo: cannot open display \":957\"\n$";
    QTest::newRow("garbage display") << QStringList{} << QStringList{"DISPLAY=garbage"} << false
                                     << 1 << none << "^tarvelo: cannot open display \"garbage\"\n$";
    QTest::newRow("no such platform")
        << QStringList{"-platform", "nonsense"} << QStringList{"DISPLAY=:957"} << false << 1 << none
        << "^tarvelo: no platform plugin \"nonsense\" \\(see -platform in --help\\)\n$";
    QTest::newRow("no Wayland compositor")
        << QStringList{} << QStringList{"QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=nowhere"}
        << false << 1 << none << "^tarvelo: cannot connect to Wayland display \"nowhere\"\n$";
    // Written to a pipe nobody reads, an error line must not kill the program.
    QTest::newRow("unknown option, stderr closed")
        << QStringList{"--frobnicate"} << QStringList{} << true << 2 << none << none;
    QTest::newRow("no display, stderr closed")
        << QStringList{} << QStringList{} << true << 1 << none << none;
}

void tst_CommandLine::answers()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, environment);
    QFETCH(bool, stderrClosed);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);

    QTemporaryDir runtime; // a private XDG_RUNTIME_DIR with no compositor in it
    QVERIFY(runtime.isValid());
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        variables.remove(QString::fromLatin1(name));
    variables.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    for (const QString &variable : environment)
        variables.insert(variable.section(QLatin1Char('='), 0, 0),
                         variable.section(QLatin1Char('='), 1));

    int closedPipe[2];
    QVERIFY(pipe(closedPipe) == 0);
    close(closedPipe[0]);
    QProcess program;
    program.setProcessEnvironment(variables);
    if (stderrClosed)
        program.setChildProcessModifier([&] { dup2(closedPipe[1], STDERR_FILENO); });
    program.start(QStringLiteral(TARVELO_BINARY), arguments);
    QVERIFY(program.waitForFinished(10000));
    close(closedPipe[1]);

    const QString standardError = QString::fromLocal8Bit(program.readAllStandardError());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY2(program.exitCode() == status, qPrintable(standardError));
    QVERIFY2(QRegularExpression(out)
                 .match(QString::fromLocal8Bit(program.readAllStandardOutput()))
                 .hasMatch(),
             qPrintable(out));
    QVERIFY2(QRegularExpression(err).match(standardError).hasMatch(), qPrintable(standardError));
}

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
