#include "support/ring_model.h"
#include "support/x_session.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The Windows installer, end to end, in a fresh Wine prefix on its own Xvfb:
// installed silently, the program started from its Start-menu entry, driven
// from the keyboard and read by screenshots with the probes the Linux tests
// use, closed by the window manager, installed over, then uninstalled
// without a trace.

namespace {

// The strings a shortcut (.lnk) carries after its header, target list and
// link info, in the order of their flags: name, relative path, working
// folder, arguments, icon; UTF-16 when the link says so, up to a terminator
// where the writer counted one. Empty for a string it does not carry.
QStringList ShortcutStrings(const QByteArray &link)
{
    const auto at = [&](qsizetype offset, int bytes) {
        quint32 value = 0;
        for (int i = bytes - 1; i >= 0 && offset + i < link.size(); --i)
            value = value << 8 | quint8(link[offset + i]);
        return value;
    };
    const quint32 flags = at(20, 4);
    qsizetype offset = 76;
    if (flags & 0x1)
        offset += 2 + at(offset, 2);
    if (flags & 0x2)
        offset += at(offset, 4);
    const bool unicode = flags & 0x80;
    QStringList strings;
    for (quint32 flag : {0x4, 0x8, 0x10, 0x20, 0x40}) {
        QString text;
        if (flags & flag) {
            const int count = int(at(offset, 2));
            const QByteArray chars = link.mid(offset + 2, unicode ? 2 * count : count);
            text = unicode
                       ? QString::fromUtf16(reinterpret_cast<const char16_t *>(chars.data()), count)
                       : QString::fromLatin1(chars);
            offset += 2 + chars.size();
            text.truncate(text.indexOf(QChar(0)) < 0 ? text.size() : text.indexOf(QChar(0)));
        }
        strings << text;
    }
    return strings;
}

const QPointF RingCentre(32 + 2 + 1327.5 / 15, 48 + 2 + 1147.5 / 15);
const QString UninstallKey =
    QStringLiteral(R"(HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvelo)");

} // namespace

class tst_Windows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void installsSilently();
    void runsFromTheStartMenu();
    void upgradesInPlace();
    void uninstallsWithoutATrace();
    void portableZipRunsFromAnyFolder();

private:
    // Runs a Windows program in the prefix to its end; its exit status. What it
    // writes on stdout goes to `output` where one is given.
    int Wine(const QStringList &arguments, QByteArray *output = nullptr);
    QProcessEnvironment Environment() const;
    QString InPrefix(const QString &path) const { return prefix_.filePath(path); }

    QTemporaryDir prefix_;
};

QProcessEnvironment tst_Windows::Environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), prefix_.path());
    environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    environment.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("mscoree,mshtml="));
    return environment;
}

int tst_Windows::Wine(const QStringList &arguments, QByteArray *output)
{
    QProcess wine;
    wine.setProcessEnvironment(Environment());
    wine.setProcessChannelMode(output ? QProcess::ForwardedErrorChannel
                                      : QProcess::ForwardedChannels);
    wine.start(QStringLiteral("wine"), arguments);
    if (!wine.waitForFinished(120000))
        return -1;
    if (output)
        *output = wine.readAllStandardOutput();
    return wine.exitStatus() == QProcess::NormalExit ? wine.exitCode() : -1;
}

void tst_Windows::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QFAIL("needs an X server: run it under xvfb-run, as ctest does");
    QVERIFY(prefix_.isValid());
    QCOMPARE(Wine({QStringLiteral("wineboot"), QStringLiteral("--init")}), 0);
}

void tst_Windows::installsSilently()
{
    QCOMPARE(Wine({QStringLiteral(TARVELO_WINDOWS_SETUP), QStringLiteral("/S")}), 0);
    for (const char *file :
         {"drive_c/Program Files/Tarvelo/tarvelo.exe",
          "drive_c/Program Files/Tarvelo/uninstall.exe",
          "drive_c/Program Files/Tarvelo/platforms/qwindows.dll",
          // the native look: without it Qt falls back to its plain Windows style
          "drive_c/Program Files/Tarvelo/styles/qmodernwindowsstyle.dll",
          "drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tarvelo.lnk"})
        QVERIFY2(QFile::exists(InPrefix(QString::fromLatin1(file))), file);

    // Listed with the installed programs: name, version, publisher and icon.
    QByteArray listed;
    QCOMPARE(Wine({QStringLiteral("reg"), QStringLiteral("query"), UninstallKey}, &listed), 0);
    const QString entry = QString::fromLocal8Bit(listed);
    for (const char *value :
         {"DisplayName\\s+REG_SZ\\s+Tarvelo", "DisplayVersion\\s+REG_SZ\\s+1\\.00",
          "Publisher\\s+REG_SZ\\s+Tarvelo developers", "DisplayIcon\\s+REG_SZ\\s+.*tarvelo\\.exe,0",
          "UninstallString\\s+REG_SZ\\s+.*uninstall\\.exe"})
        QVERIFY2(entry.contains(QRegularExpression(QString::fromLatin1(value))), qPrintable(entry));
}

void tst_Windows::runsFromTheStartMenu()
{
    // The Start-menu entry's target, as the shell reads it from the shortcut: run
    // so, Wine reports the program's own exit status.
    QFile shortcut(InPrefix(
        QStringLiteral("drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tarvelo.lnk")));
    QVERIFY(shortcut.open(QIODevice::ReadOnly));
    const QString target =
        QRegularExpression(QStringLiteral(R"([A-Z]:\\[^\x00-\x1f]*\\tarvelo\.exe)"))
            .match(QString::fromLatin1(shortcut.readAll()))
            .captured();
    QCOMPARE(target, QStringLiteral(R"(C:\Program Files\Tarvelo\tarvelo.exe)"));
    // Its icon is the program's own, from the file the entry starts.
    QVERIFY(shortcut.seek(0));
    const QString icon = ShortcutStrings(shortcut.readAll()).value(4);
    QCOMPARE(icon, target);

    LaunchedWindow window;
    const QString failure = window.LaunchThrough(QStringLiteral("wine"), {target}, Environment());
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(window.Geometry().size(), QSize(461, 345));
    const QPointF centre = RingCentre + window.Geometry().topLeft();
    QTRY_VERIFY_WITH_TIMEOUT(IdlePictureFault(window.Screenshot(), centre).isEmpty(), 10000);

    // From the keyboard: Tab to Start, Space; the cycle's first steps appear.
    window.PressKey(window.WindowId(), QStringLiteral("Tab"));
    window.PressKey(window.WindowId(), QStringLiteral("Tab"));
    window.PressKey(window.WindowId(), QStringLiteral("space"));
    QList<int> seen{0};
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 4000 && seen.size() < 3) {
        const int step = StepShown(window.Screenshot(), centre);
        if (step >= 0 && step != seen.last())
            seen.append(step);
    }
    QCOMPARE(seen, (QList<int>{0, 1, 2}));

    // Tab to Stop, Return: the idle picture again.
    window.PressKey(window.WindowId(), QStringLiteral("Tab"));
    window.PressKey(window.WindowId(), QStringLiteral("Return"));
    QTRY_VERIFY_WITH_TIMEOUT(IdlePictureFault(window.Screenshot(), centre).isEmpty(), 3000);

    window.RequestClose();
    QCOMPARE(window.WaitForExit(15000), 0);
}

void tst_Windows::upgradesInPlace()
{
    const QString folder = InPrefix(QStringLiteral("drive_c/Program Files/Tarvelo"));
    const auto installed = [&] {
        QStringList files;
        for (QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            files << QDir(folder).relativeFilePath(it.next());
        files.sort();
        return files;
    };
    const auto entries = [&] {
        QByteArray listed;
        Wine({QStringLiteral("reg"), QStringLiteral("query"), UninstallKey.section('\\', 0, -2),
              QStringLiteral("/s")},
             &listed);
        return QString::fromLocal8Bit(listed);
    };
    const QStringList shipped = installed();
    const QString previous = QStringLiteral("styles/qwindowsvistastyle.dll");
    QCOMPARE(Wine({QStringLiteral(TARVELO_WINDOWS_PREVIOUS_SETUP), QStringLiteral("/S")}), 0);
    QVERIFY(installed().contains(previous));

    // A newer version over it, then the same again: one copy, this one's files only.
    for (const char *over : {"newer over older", "the same again"}) {
        QCOMPARE(Wine({QStringLiteral(TARVELO_WINDOWS_SETUP), QStringLiteral("/S")}), 0);
        QCOMPARE(installed(), shipped);
        QCOMPARE(QDir(folder + QStringLiteral("/..")).entryList({QStringLiteral("Tarvelo*")}),
                 QStringList{QStringLiteral("Tarvelo")});
        QCOMPARE(QDir(InPrefix(QStringLiteral(
                          "drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs")))
                     .entryList({QStringLiteral("Tarvelo*")}),
                 QStringList{QStringLiteral("Tarvelo.lnk")});
        const QString listed = entries();
        QVERIFY2(listed.count(QStringLiteral("Tarvelo developers")) == 1, over);
        QVERIFY2(listed.contains(
                     QRegularExpression(QStringLiteral("DisplayVersion\\s+REG_SZ\\s+1\\.00"))),
                 over);
        // The size the installed programs show, within 5% of the folder's.
        qint64 bytes = 0;
        for (const QString &file : shipped)
            bytes += QFileInfo(folder + u'/' + file).size();
        const auto size =
            QRegularExpression(QStringLiteral("EstimatedSize\\s+REG_DWORD\\s+0x(\\w+)"))
                .match(listed)
                .captured(1)
                .toLongLong(nullptr, 16);
        QVERIFY2(qAbs(size - bytes / 1024) <= bytes / 1024 / 20, qPrintable(QString::number(size)));
    }

    // Run as on Windows 11, where Qt picks its Windows 11 style: Start green and
    // Stop red still, each lettered.
    QCOMPARE(
        Wine({QStringLiteral("reg"), QStringLiteral("add"), QStringLiteral(R"(HKCU\Software\Wine)"),
              QStringLiteral("/v"), QStringLiteral("Version"), QStringLiteral("/d"),
              QStringLiteral("win11"), QStringLiteral("/f")}),
        0);
    LaunchedWindow window;
    const QString failure = window.LaunchThrough(
        QStringLiteral("wine"), {QStringLiteral(R"(C:\Program Files\Tarvelo\tarvelo.exe)")},
        Environment());
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    const auto buttonsFault = [&](const QImage &shot) {
        for (const auto &[button, face] : {std::pair{QPoint(240, 64), qRgb(128, 255, 128)},
                                           std::pair{QPoint(312, 136), qRgb(255, 128, 128)}}) {
            const QPoint at = window.Geometry().topLeft() + button;
            int ink = 0;
            for (int x = 20; x < 110; ++x)
                ink += qGray(shot.pixel(at + QPoint(x, 16))) < 64;
            if (shot.pixel(at + QPoint(3, 16)) != face || ink < 4)
                return QStringLiteral("the button at %1,%2: face %3, %4 dark pixels")
                    .arg(button.x())
                    .arg(button.y())
                    .arg(shot.pixel(at + QPoint(3, 16)), 0, 16)
                    .arg(ink);
        }
        return QString();
    };
    QTRY_COMPARE_WITH_TIMEOUT(buttonsFault(window.Screenshot()), QString(), 10000);

    // While it runs, nothing is touched, and the silent installer says so by its status.
    QCOMPARE(Wine({QStringLiteral(TARVELO_WINDOWS_SETUP), QStringLiteral("/S")}), 2);
    QCOMPARE(installed(), shipped);
    QVERIFY(entries().contains(QStringLiteral("Tarvelo developers")));
    window.RequestClose();
    QCOMPARE(window.WaitForExit(15000), 0);
}

void tst_Windows::uninstallsWithoutATrace()
{
    // The uninstaller runs a copy of itself and returns at once: wait for the copy.
    QCOMPARE(
        Wine({QStringLiteral(R"(C:\Program Files\Tarvelo\uninstall.exe)"), QStringLiteral("/S")}),
        0);
    QTRY_VERIFY_WITH_TIMEOUT(
        !QFileInfo::exists(InPrefix(QStringLiteral("drive_c/Program Files/Tarvelo"))), 30000);
    QVERIFY(!QFileInfo::exists(InPrefix(
        QStringLiteral("drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tarvelo.lnk"))));
    QCOMPARE(Wine({QStringLiteral("reg"), QStringLiteral("query"), UninstallKey}), 1);
}

void tst_Windows::portableZipRunsFromAnyFolder()
{
    const QString folder = InPrefix(QStringLiteral("drive_c/Some Folder"));
    QProcess unzip;
    unzip.start(QStringLiteral("python3"),
                {QStringLiteral("-m"), QStringLiteral("zipfile"), QStringLiteral("-e"),
                 QStringLiteral(TARVELO_WINDOWS_ZIP), folder});
    QVERIFY(unzip.waitForFinished(60000));
    QCOMPARE(unzip.exitCode(), 0);
    // It loads every library it links before it answers.
    QByteArray answer;
    QCOMPARE(Wine({QStringLiteral(R"(C:\Some Folder\tarvelo-1.00-win64\tarvelo.exe)"),
                   QStringLiteral("--version")},
                  &answer),
             0);
    // Text on Windows ends its lines with CR LF.
    QCOMPARE(answer, QByteArray("tarvelo 1.00\r\n"));
}

QTEST_GUILESS_MAIN(tst_Windows)
#include "tst_windows.moc"
