#include "shell/main_window.h"

#include "platform/surface.h"

namespace shell {

void Tarvelo::Form_Load()
{
    // Before anything is drawn, so that drawing done before the window shows is kept.
    form_.Item<platform::Surface>("Picture1", 0).SetAutoRedraw(true);
    rings_.DrawIdleRings();
}

void Tarvelo::Click(std::string_view, std::int16_t) {}

void Tarvelo::Tick(std::string_view, std::int16_t) {}

} // namespace shell
