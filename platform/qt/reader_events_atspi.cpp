#include "platform/qt/reader_events.h"

#include <QAccessible>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QWidget>

namespace platform::qt {

namespace {

// Sent on Qt's accessibility connection, from where the bridge puts the object
// on the bus, so that clients see it come from the program itself; nothing is
// sent while no screen reader is connected.
void Send(QWidget *widget, const QString &member, const QString &kind, int detail,
          const QVariant &data)
{
    const QDBusConnection bus(QStringLiteral("a11y")); // the bridge's connection
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
    if (!bus.isConnected() || !accessible)
        return;
    const QString path = QStringLiteral("/org/a11y/atspi/accessible/") +
                         QString::number(QAccessible::uniqueId(accessible));
    QDBusMessage signal =
        QDBusMessage::createSignal(path, QStringLiteral("org.a11y.atspi.Event.Object"), member);
    signal << kind << detail << 0 << QVariant::fromValue(QDBusVariant(data)) << QVariantMap();
    bus.send(signal);
}

} // namespace

void SendDescriptionChanged([[maybe_unused]] QWidget *widget)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
    if (accessible)
        Send(widget, QStringLiteral("PropertyChange"), QStringLiteral("accessible-description"), 0,
             accessible->text(QAccessible::Description));
#endif
}

void SendStateChanged(QWidget *widget, const char *state, bool on)
{
    Send(widget, QStringLiteral("StateChanged"), QString::fromLatin1(state), on ? 1 : 0, 0);
}

} // namespace platform::qt
