#include "platform/qt/reader_requests.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QPointer>

#include <algorithm>

namespace platform::qt {

namespace {

const QString AccessiblePath = QStringLiteral("/org/a11y/atspi/accessible");

// Stands at the bridge's place on the bus and passes every request on to it,
// a text range clamped to the text.
class RangeClamp final : public QDBusVirtualObject
{
public:
    explicit RangeClamp(QDBusVirtualObject *bridge) : QDBusVirtualObject(bridge), bridge_(bridge) {}

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        if (message.interface() == QLatin1String("org.a11y.atspi.Text") &&
            message.member() == QLatin1String("GetRangeExtents"))
            Clamp(message);
        return bridge_ && bridge_->handleMessage(message, connection);
    }

    QString introspect(const QString &path) const override
    {
        return bridge_ ? bridge_->introspect(path) : QString();
    }

private:
    QPointer<QDBusVirtualObject> bridge_;

    // Start and end, the first two arguments, into [0, the text's length]; an
    // end of -1 stands for the length.
    static void Clamp(const QDBusMessage &message)
    {
        QList<QVariant> arguments = message.arguments();
        QAccessibleInterface *accessible =
            QAccessible::accessibleInterface(message.path().section(QLatin1Char('/'), -1).toUInt());
        QAccessibleTextInterface *text = accessible ? accessible->textInterface() : nullptr;
        if (arguments.size() < 2 || !text)
            return;
        const int length = text->characterCount();
        const int end = arguments[1].toInt();
        arguments[0] = std::clamp(arguments[0].toInt(), 0, length);
        arguments[1] = end == -1 ? length : std::clamp(end, 0, length);
        // A copy shares its arguments with the message the bridge reads.
        QDBusMessage(message).setArguments(arguments);
    }
};

// Once the bridge has put itself on the bus, takes its place there.
void StandInFrontOfBridge()
{
    QDBusConnection bus(QStringLiteral("a11y")); // the bridge's connection
    auto *bridge = qobject_cast<QDBusVirtualObject *>(bus.objectRegisteredAt(AccessiblePath));
    if (!bus.isConnected() || !bridge || dynamic_cast<RangeClamp *>(bridge))
        return;
    bus.unregisterObject(AccessiblePath);
    bus.registerVirtualObject(AccessiblePath, new RangeClamp(bridge), QDBusConnection::SubPath);
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
