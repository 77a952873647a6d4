#include "shell/tarvelo_description.h"

#include "shell/texts.h"

namespace shell {

using platform::ControlKind;
using platform::RGB;

platform::WindowDescription TarveloDescription()
{
    platform::WindowDescription window;
    window.objectName = "Tarvelo";
    window.caption = "https://example.org/tarvelo Tarvelo";
    window.clientWidth = 6915;
    window.clientHeight = 5175;
    window.background = RGB(192, 192, 255);
    window.font = {.family = "Times New Roman",
                   .pointSize = 12,
                   .weight = 400,
                   .italic = false,
                   .underline = false,
                   .strikeOut = false,
                   .charset = 204};
    window.icon = ":/icons/tarvelo.xpm";
    window.fixedBorder = true;
    window.version = TARVELO_VERSION;
    window.summary = "Shows an animated illuminated sign of three concentric rings.";
    window.executableName = "tarvelo";
    window.accessibleName = "Tarvelo";
    window.accessibleDescription = "Светеща реклама от три концентрични окръжности.";
    window.animation = platform::AnimationDescription{.timerArray = "Timer1",
                                                      .timerIndex = 0,
                                                      .running = "Рекламата работи.",
                                                      .stopped = "Рекламата е спряна."};
    window.applicationId = TARVELO_APP_ID;

    // In the order they are created.
    window.controls = {
        {.kind = ControlKind::Timer,
         .array = "Timer1",
         .index = 0,
         .enabled = false,
         .interval = 500},
        {.kind = ControlKind::CommandButton,
         .array = "Command1",
         .index = 1,
         .bounds = {4680, 2040, 1935, 495},
         .text = "Спри",
         .background = RGB(255, 128, 128),
         .tabIndex = 5,
         .accessibleDescription = "Спира рекламата и връща началната картина.",
         .tellsAnimation = true,
         .graphical = true},
        {.kind = ControlKind::CommandButton,
         .array = "Command1",
         .index = 0,
         .bounds = {3600, 960, 1935, 495},
         .text = "Стартирай",
         .background = RGB(128, 255, 128),
         .tabIndex = 4,
         .accessibleDescription = "Пуска рекламата.",
         .tellsAnimation = true,
         .graphical = true},
        {.kind = ControlKind::PictureBox,
         .array = "Picture1",
         .index = 0,
         .bounds = {480, 720, 2655, 2295},
         .tabIndex = 3,
         .accessibleName = "Светеща реклама",
         .accessibleDescription = "Три концентрични окръжности. Докато рекламата работи, "
                                  "те се изпълват с червена, зелена и синя дъга.",
         .showsAnimation = true,
         .tellsAnimation = true,
         .bordered = true},
        {.kind = ControlKind::TextBox,
         .array = "Text1",
         .index = 1,
         .bounds = {600, 4440, 6735, 1815},
         .text = AphorismText,
         .tabIndex = 1,
         .visible = false,
         .accessibleName = "Афоризъм",
         .scrollBarName = "Превъртане на афоризма",
         .multiLine = true,
         .verticalScrollBar = true,
         .readOnly = true},
        {.kind = ControlKind::TextBox,
         .array = "Text1",
         .index = 0,
         .bounds = {120, 3240, 6735, 1815},
         .text = DescriptionText,
         .tabIndex = 0,
         .accessibleName = "Описание",
         .scrollBarName = "Превъртане на описанието",
         .multiLine = true,
         .verticalScrollBar = true,
         .readOnly = true},
        {.kind = ControlKind::Label,
         .array = "Label1",
         .index = 0,
         .bounds = {960, 0, 4575, 375},
         .text = "Tarvelo",
         .background = RGB(255, 192, 128),
         .tabIndex = 2,
         .alignment = platform::Alignment::Centre},
    };
    return window;
}

} // namespace shell
