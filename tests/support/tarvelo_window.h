#pragma once

#include "platform/qt/picture_box.h"
#include "platform/qt/qt_form.h"
#include "platform/timer.h"
#include "shell/main_window.h"
#include "shell/tarvelo_description.h"

#include <QAbstractButton>
#include <QTest>

// The real window with its real module, not yet loaded or shown.
struct TarveloWindow
{
    platform::qt::QtForm form{shell::TarveloDescription()};
    shell::Tarvelo module{form};

    TarveloWindow() { form.Bind(&module); }

    // Loads and shows the window, as start-up does, and waits until it is active.
    bool Open()
    {
        if (!form.Load())
            return false;
        form.show();
        return QTest::qWaitForWindowActive(&form);
    }

    platform::qt::PictureBox &picture()
    {
        return *static_cast<platform::qt::PictureBox *>(form.Widget("Picture1", 0));
    }
    QAbstractButton *button(std::int16_t index)
    {
        return static_cast<QAbstractButton *>(form.Widget("Command1", index));
    }
    platform::Timer &timer() { return form.Item<platform::Timer>("Timer1", 0); }
    std::optional<int> step() const { return module.Rings().StepIndex(); }
};
