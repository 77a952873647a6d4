#include "platform/qt/startup_guard.h"

#include "platform/runtime_error.h"

#include <QRegularExpression>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace platform::qt {

namespace {

struct Held
{
    QString command;
    QtMessageHandler previous = nullptr;
    int savedStderr = -1; // the real stderr, while fd 2 goes to `captured`
    std::FILE *captured = nullptr;
    QList<std::tuple<QtMsgType, QByteArray, QString>> messages; // category and text
};
Held held;

// What went to stderr, straight from a library, while the guard stood.
QString Captured()
{
    if (!held.captured)
        return {};
    std::fflush(stderr);
    std::rewind(held.captured);
    QByteArray text;
    char buffer[4096];
    for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, held.captured)) > 0;)
        text.append(buffer, qsizetype(read));
    return QString::fromLocal8Bit(text);
}

// The cause in plain words, from what the platform said and the fatal message.
QString Cause(const QString &said, const QString &fatal)
{
    static const QRegularExpression display(QStringLiteral("could not connect to display ?(.*)"));
    static const QRegularExpression plugin(
        QStringLiteral(R"re(Could not find the Qt platform plugin "([^"]*)")re"));
    if (const auto match = display.match(said); match.hasMatch()) {
        const QString name = match.captured(1).section(QLatin1Char('\n'), 0, 0).trimmed();
        return name.isEmpty() ? QStringLiteral("no display to open: set DISPLAY or WAYLAND_DISPLAY")
                              : QStringLiteral("cannot open display \"%1\"").arg(name);
    }
    if (const auto match = plugin.match(said); match.hasMatch())
        return QStringLiteral("no platform plugin \"%1\" (see -platform in --help)")
            .arg(match.captured(1));
    if (said.contains(QStringLiteral("wl_display")))
        return QStringLiteral("cannot connect to Wayland display \"%1\"")
            .arg(qEnvironmentVariable("WAYLAND_DISPLAY", QStringLiteral("wayland-0")));
    // Qt's own words, less the advice to reinstall, which never helps here.
    QString cause = fatal.section(QLatin1Char('\n'), 0, 0).trimmed();
    cause.remove(QRegularExpression(QStringLiteral(" *Reinstalling the application.*$")));
    return cause;
}

void Guard(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        held.messages.append({type, QByteArray(context.category), message});
        return;
    }
    QString said = Captured();
    for (const auto &[kind, category, text] : std::as_const(held.messages))
        said += text + QLatin1Char('\n');
    const QByteArray line =
        (held.command + QStringLiteral(": ") + Cause(said, message)).toLocal8Bit() + '\n';
    if (write(held.savedStderr, line.constData(), std::size_t(line.size())) < 0) {
        // Nowhere left to say it; the status still tells.
    }
    // Not an abort: there is nothing to debug, only a display to find.
    std::_Exit(RuntimeErrorExitStatus);
}

} // namespace

StartupGuard::StartupGuard(const QString &command)
{
    held = Held{command};
    std::fflush(stderr);
    held.captured = std::tmpfile();
    held.savedStderr = dup(STDERR_FILENO);
    if (held.captured && held.savedStderr >= 0)
        dup2(fileno(held.captured), STDERR_FILENO);
    held.previous = qInstallMessageHandler(Guard);
}

StartupGuard::~StartupGuard()
{
    qInstallMessageHandler(held.previous);
    const QByteArray captured = Captured().toLocal8Bit();
    if (held.savedStderr >= 0) {
        dup2(held.savedStderr, STDERR_FILENO);
        close(held.savedStderr);
    }
    if (held.captured)
        std::fclose(held.captured);
    // Started after all: what was said on the way is said now.
    std::fwrite(captured.constData(), 1, std::size_t(captured.size()), stderr);
    for (const auto &[type, category, text] : std::as_const(held.messages)) {
        const QMessageLogContext context(nullptr, 0, nullptr, category.constData());
        held.previous(type, context, text);
    }
    held = Held{};
}

} // namespace platform::qt
