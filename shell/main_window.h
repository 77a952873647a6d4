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
