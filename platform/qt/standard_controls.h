#pragma once

#include "platform/control.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace platform::qt {

// The display controls the form builds. The program addresses them only as
// array elements; none has drawing or timing of its own.

class CommandButton final : public QPushButton, public Control
{
public:
    using QPushButton::QPushButton;
};

class Label final : public QLabel, public Control
{
public:
    using QLabel::QLabel;
};

class TextBox final : public QPlainTextEdit, public Control
{
public:
    using QPlainTextEdit::QPlainTextEdit;
};

} // namespace platform::qt
