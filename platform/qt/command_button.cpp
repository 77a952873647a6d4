#include "platform/qt/command_button.h"

#include "platform/qt/qt_colour.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

namespace platform::qt {

CommandButton::CommandButton(const QString &caption, QWidget *parent) : QPushButton(caption, parent)
{}

void CommandButton::SetGraphical(QColor face)
{
    face_ = face;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Button, face);
    palette.setColor(QPalette::ButtonText, ReadableOn(face));
    setPalette(palette);
    update();
}

void CommandButton::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void CommandButton::paintEvent(QPaintEvent *event)
{
    if (!face_.isValid()) {
        QPushButton::paintEvent(event);
        return;
    }
    QPainter painter(this);
    const bool sunken = isDown();
    // Light and shadow edges shaded from the face itself.
    const QPalette shades(face_);
    const QBrush fill(face_);
    qDrawWinButton(&painter, rect(), shades, sunken, &fill);

    QRect inside = rect().adjusted(4, 4, -4, -4);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = inside;
        focus.backgroundColor = face_;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
    if (sunken)
        inside.translate(1, 1);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(inside, Qt::AlignCenter | Qt::TextShowMnemonic, text());
}

} // namespace platform::qt
