#include "platform/qt/reader_requests.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QXmlStreamReader>

#include <algorithm>
#include <optional>

namespace platform::qt {

namespace {

const QString AccessiblePath = QStringLiteral("/org/a11y/atspi/accessible");
const QLatin1String Properties("org.freedesktop.DBus.Properties");
const QLatin1String EditableText("org.a11y.atspi.EditableText");
const QLatin1String Text("org.a11y.atspi.Text");
const QLatin1String Value("org.a11y.atspi.Value");

// What an object answers, as its introspection data publishes it.
struct Published
{
    QHash<QString, QString> methods; // name: the signature of its arguments
    QHash<QString, bool> properties; // name: whether it may be set
};
using Interfaces = QHash<QString, Published>;

Interfaces Parse(const QString &introspection)
{
    Interfaces interfaces;
    // The bus adds these to what the bridge publishes, and answers them itself.
    Published &properties = interfaces[Properties];
    properties.methods = {{QStringLiteral("Get"), QStringLiteral("ss")},
                          {QStringLiteral("Set"), QStringLiteral("ssv")},
                          {QStringLiteral("GetAll"), QStringLiteral("s")}};
    interfaces[QStringLiteral("org.freedesktop.DBus.Introspectable")].methods = {
        {QStringLiteral("Introspect"), QString()}};
    interfaces[QStringLiteral("org.freedesktop.DBus.Peer")].methods = {
        {QStringLiteral("Ping"), QString()}, {QStringLiteral("GetMachineId"), QString()}};

    // The bridge gives its interfaces one after another, without a root.
    QXmlStreamReader xml(QStringLiteral("<node>") + introspection + QStringLiteral("</node>"));
    Published *interface = nullptr;
    QString *method = nullptr;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto attribute = [&](const char *name) {
            return xml.attributes().value(QLatin1String(name)).toString();
        };
        if (xml.name() == QLatin1String("interface")) {
            interface = &interfaces[attribute("name")];
            method = nullptr;
        } else if (interface && xml.name() == QLatin1String("method")) {
            method = &interface->methods[attribute("name")];
        } else if (interface && xml.name() == QLatin1String("property")) {
            interface->properties[attribute("name")] = attribute("access").contains(u"write");
            method = nullptr;
        } else if (method && xml.name() == QLatin1String("arg") &&
                   attribute("direction") != QLatin1String("out")) {
            method->append(attribute("type"));
        }
    }
    return interfaces;
}

// Why the bridge must not see this call, as a D-Bus error name and message,
// or nothing.
struct Refusal
{
    QString name, message;
};

std::optional<Refusal> Check(const QDBusMessage &call, const Interfaces &interfaces)
{
    const auto invalid = [](const QString &message) {
        return Refusal{QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"), message};
    };
    const auto interface = interfaces.constFind(call.interface());
    if (interface == interfaces.cend())
        return Refusal{QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface"),
                       QStringLiteral("no interface \"%1\" here").arg(call.interface())};
    const auto method = interface->methods.constFind(call.member());
    // The bridge answers a few calls it does not publish, none of them with
    // arguments (GetInterfaces, on which readers depend).
    if (method == interface->methods.cend() && call.signature().isEmpty())
        return {};
    if (method == interface->methods.cend())
        return Refusal{
            QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
            QStringLiteral("no method \"%1\" in \"%2\"").arg(call.member(), call.interface())};
    if (call.signature() != *method)
        return invalid(QStringLiteral("\"%1\" takes \"%2\", not \"%3\"")
                           .arg(call.member(), *method, call.signature()));
    if (call.interface() != Properties)
        return {};

    // Which property of which interface: both must be there.
    const QList<QVariant> arguments = call.arguments();
    const auto owner = interfaces.constFind(arguments[0].toString());
    if (owner == interfaces.cend())
        return invalid(QStringLiteral("no interface \"%1\" here").arg(arguments[0].toString()));
    if (call.member() == QLatin1String("GetAll"))
        return {};
    const auto property = owner->properties.constFind(arguments[1].toString());
    if (property == owner->properties.cend())
        return invalid(QStringLiteral("no property \"%1\" in \"%2\"")
                           .arg(arguments[1].toString(), arguments[0].toString()));
    if (call.member() == QLatin1String("Set") && !*property)
        return Refusal{QStringLiteral("org.freedesktop.DBus.Error.PropertyReadOnly"),
                       QStringLiteral("\"%1\" cannot be set").arg(arguments[1].toString())};
    return {};
}

// The calls that would change the text, with their signatures.
bool IsEditing(const QDBusMessage &call)
{
    static const QHash<QString, QString> editing = {
        {QStringLiteral("InsertText"), QStringLiteral("isi")},
        {QStringLiteral("PasteText"), QStringLiteral("i")},
        {QStringLiteral("DeleteText"), QStringLiteral("ii")},
        {QStringLiteral("CutText"), QStringLiteral("ii")},
        {QStringLiteral("SetTextContents"), QStringLiteral("s")}};
    const auto signature = editing.constFind(call.member());
    return call.interface() == EditableText && signature != editing.cend() &&
           *signature == call.signature();
}

bool Is(const QDBusMessage &call, QLatin1String interface, QLatin1String member)
{
    return call.interface() == interface && call.member() == member;
}

// Start and end, the first two arguments, into [0, the text's length]; an end
// of -1 stands for the length.
void ClampRange(const QDBusMessage &call)
{
    QList<QVariant> arguments = call.arguments();
    QAccessibleInterface *accessible =
        QAccessible::accessibleInterface(call.path().section(QLatin1Char('/'), -1).toUInt());
    QAccessibleTextInterface *text = accessible ? accessible->textInterface() : nullptr;
    if (!text)
        return;
    const int length = text->characterCount();
    const int end = arguments[1].toInt();
    arguments[0] = std::clamp(arguments[0].toInt(), 0, length);
    arguments[1] = end == -1 ? length : std::clamp(end, 0, length);
    // A copy shares its arguments with the message the bridge reads.
    QDBusMessage(call).setArguments(arguments);
}

// Stands at the bridge's place on the bus and passes on only the calls that
// match what the called object publishes, mending on the way the calls that
// the bridge of Qt 6.4 and 6.8 answers wrongly.
class BridgeGate final : public QDBusVirtualObject
{
public:
    explicit BridgeGate(QDBusVirtualObject *bridge) : QDBusVirtualObject(bridge), bridge_(bridge) {}

    bool handleMessage(const QDBusMessage &call, const QDBusConnection &connection) override
    {
        if (!bridge_)
            return false;
        if (call.type() != QDBusMessage::MethodCallMessage)
            return bridge_->handleMessage(call, connection);
        const auto refuse = [&](const Refusal &refusal) {
            return connection.send(call.createErrorReply(refusal.name, refusal.message));
        };
        const auto notSupported = [&](const char *message) {
            return refuse({QStringLiteral("org.freedesktop.DBus.Error.NotSupported"),
                           QLatin1String(message)});
        };
        // Nothing here is editable, yet the bridge builds the text an insertion
        // or a paste would make first: "not done", at once.
        if (IsEditing(call))
            return connection.send(call.createReply(false));
        if (const auto refusal = Check(call, Parse(bridge_->introspect(call.path()))))
            return refuse(*refusal);

        // The bridge reads a property's name in GetAll too, past its one argument.
        if (Is(call, Properties, QLatin1String("GetAll")))
            return notSupported("ask for each property with Get");
        // Its answer has a type it never registers, and is never sent.
        if (Is(call, Text, QLatin1String("GetBoundedRanges")))
            return notSupported("bounded ranges are not answered here");
        // It walks a range character by character as it is given.
        if (Is(call, Text, QLatin1String("GetRangeExtents")))
            ClampRange(call);
        // It reads the value as the third argument of a Properties.Set.
        if (Is(call, Value, QLatin1String("SetCurrentValue"))) {
            const QVariant value = QVariant::fromValue(QDBusVariant(call.arguments().constFirst()));
            QDBusMessage(call).setArguments({Value, QStringLiteral("CurrentValue"), value});
        }
        const bool handled = bridge_->handleMessage(call, connection);
        // It keeps the registry's id without answering.
        if (handled && Is(call, Properties, QLatin1String("Set")) &&
            call.arguments().value(1) == QLatin1String("Id") && call.isReplyRequired())
            connection.send(call.createReply());
        return handled;
    }

    QString introspect(const QString &path) const override
    {
        return bridge_ ? bridge_->introspect(path) : QString();
    }

private:
    QPointer<QDBusVirtualObject> bridge_;
};

// Once the bridge has put itself on the bus, takes its place there.
void StandInFrontOfBridge()
{
    QDBusConnection bus(QStringLiteral("a11y")); // the bridge's connection
    auto *bridge = qobject_cast<QDBusVirtualObject *>(bus.objectRegisteredAt(AccessiblePath));
    if (!bus.isConnected() || !bridge || dynamic_cast<BridgeGate *>(bridge))
        return;
    bus.unregisterObject(AccessiblePath);
    bus.registerVirtualObject(AccessiblePath, new BridgeGate(bridge), QDBusConnection::SubPath);
}

// The bridge registers itself just after it turns accessibility on.
class BridgeWatch final : public QAccessible::ActivationObserver
{
public:
    void accessibilityActiveChanged(bool active) override
    {
        if (active)
            QMetaObject::invokeMethod(QCoreApplication::instance(), StandInFrontOfBridge,
                                      Qt::QueuedConnection);
    }
};

} // namespace

void CheckReaderRequests()
{
    static BridgeWatch *const watch = [] {
        auto *observer = new BridgeWatch; // for the life of the process
        QAccessible::installActivationObserver(observer);
        return observer;
    }();
    watch->accessibilityActiveChanged(QAccessible::isActive());
}

} // namespace platform::qt
