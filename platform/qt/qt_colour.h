#pragma once

#include "platform/colour.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace platform::qt {

inline QColor ToQColor(Colour colour)
{
    return QColor(redOf(colour), greenOf(colour), blueOf(colour));
}

// Black or white, whichever reads better on `background`: where the program
// fixes a background, it fixes its text colour too, whatever the desktop's theme.
inline QColor ReadableOn(QColor background)
{
    return qGray(background.rgb()) >= 128 ? QColor(Qt::black) : QColor(Qt::white);
}

// A fixed background, with the text colour that reads on it.
inline void SetBackground(QWidget *widget, Colour colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, ToQColor(colour));
    palette.setColor(QPalette::WindowText, ReadableOn(ToQColor(colour)));
    widget->setPalette(palette);
}

} // namespace platform::qt
