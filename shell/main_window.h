#pragma once

#include "platform/form.h"
#include "rings/ring_display.h"

#include <cstdint>

namespace shell {

// The code of the window Tarvelo: its event handlers, routed to the ring display.
class Tarvelo final : public platform::FormModule
{
public:
    explicit Tarvelo(platform::Form &form) : form_(form), rings_(form) {}

    void Form_Load();
    // 0 starts the animation, 1 stops it and restores the idle picture.
    void Command1_Click(std::int16_t index);
    void Timer1_Timer(std::int16_t index);

    const rings::RingDisplay &Rings() const { return rings_; }

    // platform::FormModule
    void Load() override { Form_Load(); }
    void Click(std::string_view array, std::int16_t index) override;
    void Tick(std::string_view array, std::int16_t index) override;

private:
    platform::Form &form_;
    rings::RingDisplay rings_;
};

} // namespace shell
