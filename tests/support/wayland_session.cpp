#include "wayland_session.h"

#include "x_session.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <unistd.h>

#include <utility>

namespace {

// sway will not run as root; as root, it runs as nobody in a directory of its own.
constexpr uid_t Nobody = 65534;

const QString AppId = QStringLiteral("org.example.tarvelo");

// The client area of the window with `appId` in sway's tree, or an empty rectangle.
QRect FindWindow(const QJsonObject &node)
{
    if (node.value(QStringLiteral("app_id")).toString() == AppId) {
        const QJsonObject rect = node.value(QStringLiteral("rect")).toObject();
        const QJsonObject window = node.value(QStringLiteral("window_rect")).toObject();
        auto at = [](const QJsonObject &o, const char *key) {
            return o.value(QLatin1String(key)).toInt();
        };
        return QRect(at(rect, "x") + at(window, "x"), at(rect, "y") + at(window, "y"),
                     at(window, "width"), at(window, "height"));
    }
    for (const char *children : {"nodes", "floating_nodes"})
        for (const QJsonValue child : node.value(QLatin1String(children)).toArray())
            if (const QRect found = FindWindow(child.toObject()); !found.isEmpty())
                return found;
    return {};
}

} // namespace

QProcessEnvironment WaylandSession::Environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), socket_);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    return environment;
}

QString WaylandSession::Sway(const QStringList &arguments) const
{
    const QStringList sockets =
        QDir(runtime_.path()).entryList({QStringLiteral("sway-ipc.*")}, QDir::System);
    if (sockets.isEmpty())
        return {};
    return RunTool(QStringLiteral("swaymsg"),
                   QStringList{QStringLiteral("-s"), runtime_.filePath(sockets.first())} +
                       arguments);
}

QString WaylandSession::Start(double scale)
{
    scale_ = scale;
    if (!runtime_.isValid())
        return QStringLiteral("no runtime directory");
    QFile config(runtime_.filePath(QStringLiteral("sway.conf")));
    if (!config.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write the compositor's configuration");
    config.write(QStringLiteral("xwayland disable\noutput * bg #303030 solid_color scale %1\n")
                     .arg(scale)
                     .toUtf8());
    config.close();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
    environment.insert(QStringLiteral("HOME"), runtime_.path());
    environment.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    environment.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    environment.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    compositor_.setProcessEnvironment(environment);
    compositor_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    compositor_.setStandardOutputFile(QProcess::nullDevice());
    QStringList command{QStringLiteral("sway"), QStringLiteral("-c"), config.fileName()};
    if (geteuid() == 0) {
        if (chown(QFile::encodeName(runtime_.path()).constData(), Nobody, Nobody) != 0 ||
            chown(QFile::encodeName(config.fileName()).constData(), Nobody, Nobody) != 0)
            return QStringLiteral("cannot hand the runtime directory to nobody");
        command = QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
                              QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"),
                              QStringLiteral("--")} +
                  command;
    }
    compositor_.start(command.takeFirst(), command);
    if (!compositor_.waitForStarted())
        return QStringLiteral("cannot start sway: %1").arg(compositor_.errorString());

    const QDeadlineTimer deadline(10000);
    while (socket_.isEmpty() && !deadline.hasExpired()) {
        if (compositor_.waitForFinished(50))
            return QStringLiteral("sway ended with status %1").arg(compositor_.exitCode());
        const QStringList found =
            QDir(runtime_.path()).entryList({QStringLiteral("wayland-*")}, QDir::System);
        for (const QString &name : found)
            if (!name.endsWith(QLatin1String(".lock")))
                socket_ = name;
    }
    if (socket_.isEmpty())
        return QStringLiteral("sway opened no socket within 10 s");
    keyboard_.setProcessEnvironment(Environment());
    keyboard_.start(QStringLiteral("wtype"), {QStringLiteral("-s"), QStringLiteral("3600000")});
    if (!keyboard_.waitForStarted())
        return QStringLiteral("cannot start wtype: %1").arg(keyboard_.errorString());
    return {};
}

QString WaylandSession::Launch(const QString &binary)
{
    // Wait for the keyboard to reach the seat, so that the window gets it on mapping.
    QThread::msleep(200);
    program_.setProcessEnvironment(Environment());
    program_.setProcessChannelMode(QProcess::ForwardedChannels);
    program_.start(binary, {});
    if (!program_.waitForStarted())
        return QStringLiteral("cannot start %1: %2").arg(binary, program_.errorString());
    // The window first maps, then the compositor floats and centres it: wait
    // until two looks in a row agree.
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        if (program_.waitForFinished(100))
            return QStringLiteral("the program ended with status %1 before showing a window")
                .arg(program_.exitCode());
        const QRect previous = std::exchange(
            geometry_, FindWindow(QJsonDocument::fromJson(
                                      Sway({QStringLiteral("-t"), QStringLiteral("get_tree"),
                                            QStringLiteral("-r")})
                                          .toUtf8())
                                      .object()));
        if (!geometry_.isEmpty() && geometry_ == previous)
            return {};
    }
    return QStringLiteral("no window settled within 15 s");
}

QImage WaylandSession::Screenshot() const
{
    QProcess grim;
    grim.setProcessEnvironment(Environment());
    grim.start(QStringLiteral("grim"),
               {QStringLiteral("-t"), QStringLiteral("ppm"), QStringLiteral("-")});
    if (!grim.waitForFinished(10000))
        return {};
    QImage shot = QImage::fromData(grim.readAllStandardOutput(), "PPM");
    shot.setDevicePixelRatio(scale_);
    return shot;
}

void WaylandSession::Keys(const QStringList &keys) const
{
    QStringList arguments;
    for (const QString &key : keys)
        arguments << QStringLiteral("-k") << key << QStringLiteral("-s") << QStringLiteral("60");
    QProcess wtype;
    wtype.setProcessEnvironment(Environment());
    wtype.start(QStringLiteral("wtype"), arguments);
    wtype.waitForFinished(10000);
}

void WaylandSession::RequestClose() const
{
    Sway({QStringLiteral("[app_id=\"%1\"] kill").arg(AppId)});
}

int WaylandSession::WaitForExit(int milliseconds)
{
    if (!program_.waitForFinished(milliseconds))
        return -1;
    return program_.exitStatus() == QProcess::NormalExit ? program_.exitCode() : -1;
}

WaylandSession::~WaylandSession()
{
    // Only what this session started, by its own handles.
    for (QProcess *process : {&program_, &keyboard_, &compositor_}) {
        if (process->state() != QProcess::NotRunning) {
            process->terminate();
            if (!process->waitForFinished(3000)) {
                process->kill();
                process->waitForFinished();
            }
        }
    }
}
