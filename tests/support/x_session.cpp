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

QString LaunchedWindow::Launch(const QString &binary)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    process_.setProcessEnvironment(environment);
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
    process_.start(binary, {});
    if (!process_.waitForStarted())
        return QStringLiteral("cannot start %1: %2").arg(binary, process_.errorString());

    // Polled here: xdotool's own --sync waits in half-second steps.
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        const QString found =
            RunTool(QStringLiteral("xdotool"),
                    {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--pid"), QString::number(process_.processId()),
                     QStringLiteral("--name"), QStringLiteral("Tarvelo")})
                .trimmed();
        if (!found.isEmpty()) {
            windowId_ = found.section(QLatin1Char('\n'), 0, 0);
            const QString info =
                RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), windowId_});
            geometry_ =
                QRect(Field(info, QStringLiteral("Absolute upper-left X")),
                      Field(info, QStringLiteral("Absolute upper-left Y")),
                      Field(info, QStringLiteral("Width")), Field(info, QStringLiteral("Height")));
            return {};
        }
        if (process_.waitForFinished(50) || process_.state() == QProcess::NotRunning)
            return QStringLiteral("the program ended with status %1 before showing a window")
                .arg(process_.exitCode());
    }
    return QStringLiteral("no window appeared within 15 s");
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
