#include "platform/qt/tab_order.h"

#include <QWidget>

#include <algorithm>

namespace platform::qt {

void ApplyTabOrder(std::vector<std::pair<int, QWidget *>> order)
{
    std::sort(order.begin(), order.end());
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1].second, order[i].second);
    const auto first = std::find_if(order.begin(), order.end(),
                                    [](const auto &entry) { return !entry.second->isHidden(); });
    if (first != order.end())
        first->second->setFocus();
}

} // namespace platform::qt
