#include "x_session.h"

#include <QDeadlineTimer>
#include <QRegularExpression>

QString RunTool(const QString &program, const QStringList &arguments, int timeoutMs)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(timeoutMs)) {
        tool.kill();
        tool.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(tool.readAllStandardOutput());
}

namespace {

int Field(const QString &text, const QString &label)
{
    const QRegularExpression pattern(QRegularExpression::escape(label) +
                                     QStringLiteral(":\\s+(-?\\d+)"));
    return pattern.match(text).captured(1).toInt();
}

} // namespace

QString LaunchedWindow::Start(const QString &binary, const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    process_.setProcessEnvironment(environment);
    process_.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    process_.start(binary, arguments);
    if (!process_.waitForStarted())
        return QStringLiteral("cannot start %1: %2").arg(binary, process_.errorString());
    return {};
}

QString LaunchedWindow::FindWindow(const QString &titlePattern, int milliseconds)
{
    // Polled here: xdotool's own --sync waits in half-second steps.
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QStringList search{QStringLiteral("search"), QStringLiteral("--onlyvisible")};
        if (ownWindow_)
            search << QStringLiteral("--pid") << QString::number(process_.processId());
        const QString found =
            RunTool(QStringLiteral("xdotool"), search << QStringLiteral("--name") << titlePattern)
                .trimmed();
        // xdotool's own pattern matching is looser than the title asked for.
        const QRegularExpression pattern(titlePattern);
        for (const QString &window : found.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QString title =
                RunTool(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), window})
                    .trimmed();
            if (pattern.match(title).hasMatch())
                return window;
        }
        if (process_.waitForFinished(50) || process_.state() == QProcess::NotRunning)
            return {};
    }
    return {};
}

QString LaunchedWindow::Launch(const QString &binary, const QStringList &arguments)
{
    if (const QString failure = Start(binary, arguments); !failure.isEmpty())
        return failure;
    return FindMainWindow();
}

QString LaunchedWindow::LaunchThrough(const QString &launcher, const QStringList &arguments,
                                      const QProcessEnvironment &environment)
{
    ownWindow_ = false;
    process_.setProcessEnvironment(environment);
    process_.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    process_.start(launcher, arguments);
    if (!process_.waitForStarted())
        return QStringLiteral("cannot start %1: %2").arg(launcher, process_.errorString());
    return FindMainWindow();
}

QString LaunchedWindow::FindMainWindow()
{
    windowId_ = FindWindow(QStringLiteral("Tarvelo"), 30000);
    if (windowId_.isEmpty()) {
        if (process_.state() == QProcess::NotRunning)
            return QStringLiteral("the program ended with status %1 before showing a window")
                .arg(process_.exitCode());
        return QStringLiteral("no window appeared within 30 s");
    }
    const QString info = RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), windowId_});
    geometry_ = QRect(Field(info, QStringLiteral("Absolute upper-left X")),
                      Field(info, QStringLiteral("Absolute upper-left Y")),
                      Field(info, QStringLiteral("Width")), Field(info, QStringLiteral("Height")));
    return {};
}

QString LaunchedWindow::StandardError()
{
    standardError_ += QString::fromLocal8Bit(process_.readAllStandardError());
    return standardError_;
}

void LaunchedWindow::PressKey(const QString &window, const QString &key) const
{
    RunTool(QStringLiteral("xdotool"),
            {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), key});
}

QImage LaunchedWindow::Screenshot() const
{
    QProcess import;
    import.start(QStringLiteral("import"), {QStringLiteral("-silent"), QStringLiteral("-window"),
                                            QStringLiteral("root"), QStringLiteral("png:-")});
    if (!import.waitForFinished(10000))
        return {};
    return QImage::fromData(import.readAllStandardOutput(), "PNG");
}

QString LaunchedWindow::Property(const QString &name) const
{
    return RunTool(QStringLiteral("xprop"), {QStringLiteral("-id"), windowId_, name});
}

void LaunchedWindow::Click(QPoint clientPoint) const
{
    const QPoint at = geometry_.topLeft() + clientPoint;
    RunTool(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
             QStringLiteral("click"), QStringLiteral("1")});
}

void LaunchedWindow::RequestClose() const
{
    SendDeleteWindow(windowId_.toULong());
}

int LaunchedWindow::WaitForExit(int milliseconds)
{
    if (!process_.waitForFinished(milliseconds))
        return -1;
    return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}

LaunchedWindow::~LaunchedWindow()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished();
    }
}
