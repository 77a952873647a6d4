#include "shell/main_window.h"

#include "platform/surface.h"
#include "platform/timer.h"

namespace shell {

void Tarvelo::Form_Load()
{
    // Before anything is drawn, so that drawing done before the window shows is kept.
    form_.Item<platform::Surface>("Picture1", 0).SetAutoRedraw(true);
    rings_.DrawIdleRings();
}

void Tarvelo::Command1_Click(std::int16_t index)
{
    switch (index) {
    case 0:
        // Neither draws nor touches the step: the first tick, a period later, draws step 1.
        form_.Item<platform::Timer>("Timer1", 0).SetEnabled(true);
        break;
    case 1:
        form_.Item<platform::Timer>("Timer1", 0).SetEnabled(false);
        form_.Item<platform::Surface>("Picture1", 0).Cls();
        rings_.DrawIdleRings();
        break;
    default:
        break;
    }
}

void Tarvelo::Timer1_Timer(std::int16_t index)
{
    if (index == 0)
        rings_.AdvanceAnimation();
}

void Tarvelo::Click(std::string_view array, std::int16_t index)
{
    if (array == "Command1")
        Command1_Click(index);
}

void Tarvelo::Tick(std::string_view array, std::int16_t index)
{
    if (array == "Timer1")
        Timer1_Timer(index);
}

} // namespace shell
