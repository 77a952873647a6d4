#include "platform/qt/qt_messages.h"

#include "platform/quoted.h"

#include <QStringList>
#include <QtGlobal>

namespace platform::qt {

namespace {

QtMessageHandler qtsOwn = nullptr;

void Escape(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    QStringList lines = message.split(QLatin1Char('\n'));
    for (QString &line : lines)
        line = QString::fromStdString(Escaped(line.toStdString(), false));
    qtsOwn(type, context, lines.join(QLatin1Char('\n')));
}

} // namespace

void EscapeQtMessages()
{
    if (!qtsOwn)
        qtsOwn = qInstallMessageHandler(Escape);
}

} // namespace platform::qt
