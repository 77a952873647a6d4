#pragma once

#include "platform/control.h"

#include <QLabel>

namespace platform::qt {

// A caption on the window; takes no focus.
class Label final : public QLabel, public Control
{
public:
    using QLabel::QLabel;
};

} // namespace platform::qt
