#pragma once

#include "platform/control.h"

#include <QLabel>
#include <QPlainTextEdit>

namespace platform::qt {

// The display controls the form builds. The program addresses them only as
// array elements; none has drawing or timing of its own.

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
