#include "platform/qt/startup_guard.h"

#include "platform/command_line.h"
#include "platform/quoted.h"
#include "platform/runtime_error.h"

#include <QRegularExpression>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace platform::qt {

namespace {

struct Held
{
    QString command;
    QByteArray display, platform; // as the user gave them
    QtMessageHandler previous = nullptr;
    QStringList said;
    int fatalWarnings = 0, fatalCriticals = 0;
};
Held held;

// How many warnings (or criticals) Qt lets pass before the one it aborts on,
// read as Qt reads it.
int FatalCount(const char *variable)
{
    const QByteArray value = qgetenv(variable);
    if (value.isEmpty())
        return 0;
    bool ok = false;
    const int count = value.toInt(&ok, 0);
    return ok ? count : 1;
}

// Whether Qt aborts after this message: counted alongside Qt's own count, so
// that the abort is forestalled by a plain exit. Qt 6.4 and 6.8 count a
// critical against QT_FATAL_CRITICALS only, whatever QT_FATAL_WARNINGS says.
bool AbortsAfter(QtMsgType type)
{
    const auto countDown = [](int &count) { return count && count-- == 1; };
    switch (type) {
    case QtFatalMsg:
        return true;
    case QtCriticalMsg:
        return countDown(held.fatalCriticals);
    case QtWarningMsg:
        return countDown(held.fatalWarnings);
    default:
        return false;
    }
}

QString Quote(const QByteArray &text)
{
    return QString::fromStdString(Quoted(text.toStdString()));
}

// The cause in plain words, from all that Qt said on the way.
QString Cause(const QString &said, const QString &last)
{
    static const QRegularExpression missingPlugin(
        QStringLiteral(R"re(Could not find the Qt platform plugin "([^"\n]*)")re"));
    static const QRegularExpression available(
        QStringLiteral(R"re(Available platform plugins are: ([^\n]*)\.)re"));
    static const QRegularExpression xDisplay(QStringLiteral("could not connect to display"));

    const QByteArray display = held.display.isEmpty() ? qgetenv("DISPLAY") : held.display;
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    const bool noWayland = said.contains(QStringLiteral("Failed to create wl_display"));
    const bool noX = xDisplay.match(said).hasMatch();
    const QString toX = display.isEmpty()
                            ? QStringLiteral("DISPLAY is not set")
                            : QStringLiteral("cannot open display %1").arg(Quote(display));
    const QString toWayland =
        QStringLiteral("cannot connect to Wayland display %1")
            .arg(Quote(wayland.isEmpty() ? QByteArrayLiteral("wayland-0") : wayland));
    if (noWayland && noX)
        return toWayland + QStringLiteral(", and ") + toX;
    if (noWayland)
        return toWayland;
    if (noX)
        return display.isEmpty() && wayland.isEmpty()
                   ? QStringLiteral("no display to open: set DISPLAY or WAYLAND_DISPLAY")
                   : toX;
    // A plugin not found is the cause only when none of those listed was found
    // and failed on the way.
    if (const auto match = missingPlugin.match(said); match.hasMatch()) {
        const auto plugins = available.match(said);
        // Qt's message garbles a name that is not ASCII: the user's own bytes,
        // then, where the user named one plugin.
        QByteArray name = held.platform.isEmpty() ? qgetenv("QT_QPA_PLATFORM") : held.platform;
        if (name.isEmpty() || name.contains(';') || name.contains(':'))
            name = match.captured(1).toUtf8();
        return QStringLiteral("no platform plugin %1").arg(Quote(name)) +
               (plugins.hasMatch() ? QStringLiteral(" (available: %1)").arg(plugins.captured(1))
                                   : QString());
    }
    // Qt's own words, less the advice to reinstall, which never helps here.
    QString cause = last.section(QLatin1Char('\n'), 0, 0).trimmed();
    cause.remove(QRegularExpression(QStringLiteral(" *Reinstalling the application.*$")));
    return QString::fromStdString(Escaped(cause.toStdString(), false));
}

void Guard(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    held.said.append(message);
    const bool fatal = AbortsAfter(type);
    if (type != QtFatalMsg)
        held.previous(type, context, message);
    if (!fatal)
        return;
    const QByteArray line =
        (held.command + QStringLiteral(": ") + Cause(held.said.join(QLatin1Char('\n')), message))
            .toUtf8() +
        '\n';
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stderr);
    std::fflush(stderr);
    // Not an abort: there is nothing to debug, only a display to find.
    std::_Exit(RuntimeErrorExitStatus);
}

} // namespace

StartupGuard::StartupGuard(const QString &command, const CommandLine &line)
{
    held = Held{command, QByteArray::fromStdString(line.display),
                QByteArray::fromStdString(line.platform)};
    held.fatalWarnings = FatalCount("QT_FATAL_WARNINGS");
    held.fatalCriticals = FatalCount("QT_FATAL_CRITICALS");
    held.previous = qInstallMessageHandler(Guard);
}

StartupGuard::~StartupGuard()
{
    qInstallMessageHandler(held.previous);
    held = Held{};
}

} // namespace platform::qt
