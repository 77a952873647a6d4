#pragma once

#include <utility>
#include <vector>

class QWidget;

namespace platform::qt {

// Chains the widgets by their tab index and puts the focus on the first shown.
void ApplyTabOrder(std::vector<std::pair<int, QWidget *>> order);

} // namespace platform::qt
