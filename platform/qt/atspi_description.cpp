#include "platform/qt/atspi_description.h"

#include <QAccessible>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QWidget>

namespace platform::qt {

void SendDescriptionChanged(QWidget *widget)
{
    // The connection Qt's AT-SPI bridge opens under this name.
    const QDBusConnection bus(QStringLiteral("a11y"));
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
    if (!bus.isConnected() || !accessible)
        return;
    // Where the bridge puts the object on the bus.
    const QString path = QStringLiteral("/org/a11y/atspi/accessible/") +
                         QString::number(QAccessible::uniqueId(accessible));
    QDBusMessage signal = QDBusMessage::createSignal(
        path, QStringLiteral("org.a11y.atspi.Event.Object"), QStringLiteral("PropertyChange"));
    signal << QStringLiteral("accessible-description") << 0 << 0
           << QVariant::fromValue(QDBusVariant(accessible->text(QAccessible::Description)))
           << QVariantMap();
    bus.send(signal);
}

} // namespace platform::qt
