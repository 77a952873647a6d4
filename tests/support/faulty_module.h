#pragma once

#include "platform/form.h"
#include "platform/surface.h"
#include "shell/main_window.h"

#include <new>
#include <stdexcept>
#include <string>

// The real window module, except that one kind of event ends in a fault: a
// platform call that fails (pen width 0), memory run out, or an exception of
// another kind.
class FaultyModule final : public platform::FormModule
{
public:
    enum class Event
    {
        Load,
        Click,
        Tick
    };
    enum class Fault
    {
        PlatformCall,
        StandardException,
        OutOfMemory,
        Unknown
    };

    FaultyModule(platform::Form &form, Event event, Fault fault)
        : form_(form), inner_(form), event_(event), fault_(fault)
    {}

    int handled = 0; // events that reached the module

    void Load() override
    {
        ++handled;
        inner_.Load();
        if (event_ == Event::Load)
            Raise();
        if (event_ == Event::Tick)
            inner_.Command1_Click(0); // the tick comes a period later
    }
    void Click(std::string_view array, std::int16_t index) override
    {
        ++handled;
        if (event_ == Event::Click)
            Raise();
        inner_.Click(array, index);
    }
    void Tick(std::string_view array, std::int16_t index) override
    {
        ++handled;
        if (event_ == Event::Tick)
            Raise();
        inner_.Tick(array, index);
    }

private:
    void Raise()
    {
        switch (fault_) {
        case Fault::PlatformCall:
            form_.Item<platform::Surface>("Picture1", 0).SetDrawWidth(0);
            break;
        case Fault::StandardException:
            throw std::length_error("test fault");
        case Fault::OutOfMemory:
            throw std::bad_alloc();
        case Fault::Unknown:
            throw 42;
        }
    }

    platform::Form &form_;
    shell::Tarvelo inner_;
    Event event_;
    Fault fault_;
};
