#pragma once

namespace platform {

// Every element of a control array is a Control; Form::Item() narrows it to the
// interface a caller needs.
class Control
{
public:
    virtual ~Control() = default;

protected:
    Control() = default;
    Control(const Control &) = delete;
    Control &operator=(const Control &) = delete;
};

} // namespace platform
