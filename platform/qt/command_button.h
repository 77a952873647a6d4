#pragma once

#include "platform/control.h"

#include <QPushButton>

namespace platform::qt {

// A push button. A graphical one paints its own raised face in its own colour,
// whatever the style in use would do with the palette.
class CommandButton final : public QPushButton, public Control
{
public:
    CommandButton(const QString &caption, QWidget *parent);

    // Paints the face in this colour from now on.
    void SetGraphical(QColor face);

protected:
    void paintEvent(QPaintEvent *event) override;
    // Return and Enter press the focused button, as Space does.
    void keyPressEvent(QKeyEvent *event) override;

private:
    QColor face_; // invalid: painted by the style
};

} // namespace platform::qt
