#pragma once

#include "platform/form.h"
#include "platform/window_description.h"

#include <functional>

class QWidget;

namespace platform::qt {

struct CreatedControl
{
    Control *control;
    QWidget *widget; // null for a timer
};

// Raises an event of the window's module.
using RaiseEvent = std::function<void(const std::function<void(FormModule &)> &)>;

// One control of the window, made as described, its clicks and ticks raised
// through `raise`.
CreatedControl CreateControl(QWidget *window, const ControlDescription &control,
                             const RaiseEvent &raise);

// "Picture1(0)": how an element is named to users and in object names.
std::string ElementName(std::string_view array, std::int16_t index);

} // namespace platform::qt
