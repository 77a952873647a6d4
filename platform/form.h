#pragma once

#include "platform/control.h"
#include "platform/runtime_error.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// A window built from its description. Controls are addressed by array name
// and element index at every use; nobody keeps a reference between statements.
class Form
{
public:
    virtual ~Form() = default;

    // Raises RuntimeError when the element does not exist.
    virtual Control &Item(std::string_view array, std::int16_t index) = 0;

    // The element as the interface the caller needs; raises RuntimeError when
    // it is of another kind.
    template <class Interface> Interface &Item(std::string_view array, std::int16_t index)
    {
        if (auto *typed = dynamic_cast<Interface *>(&Item(array, index)))
            return *typed;
        throw RuntimeError(RuntimeError::WrongControlKindCode,
                           "control " + std::string(array) + "(" + std::to_string(index) +
                               ") is not of the kind asked for");
    }
};

// The window's own code: what the form calls when something happens.
class FormModule
{
public:
    virtual ~FormModule() = default;

    // Once, after the controls exist and before the window is first shown.
    virtual void Load() = 0;
    virtual void Click(std::string_view array, std::int16_t index) = 0;
    virtual void Tick(std::string_view array, std::int16_t index) = 0;
};

} // namespace platform
