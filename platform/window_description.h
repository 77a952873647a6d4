#pragma once

#include "platform/colour.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class ControlKind
{
    Timer,
    CommandButton,
    PictureBox,
    TextBox,
    Label
};

enum class Alignment
{
    Left,
    Centre
};

// Left, top, width and height in twips, relative to the client area.
struct TwipRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// One element of a control array. Fields that do not apply to a kind are ignored.
struct ControlDescription
{
    ControlKind kind;
    std::string array;
    std::int16_t index = 0;
    TwipRect bounds;
    std::string text; // caption or contents, UTF-8
    std::optional<Colour> background;
    std::optional<int> tabIndex; // absent: not in the tab order
    bool visible = true;
    std::string accessibleName; // for screen readers, where the caption says too little
    std::string accessibleDescription;
    std::string scrollBarName;   // text box: its scroll bars, for screen readers
    bool showsAnimation = false; // seen by screen readers as animated while the animation runs
    bool tellsAnimation = false; // its accessible description ends with the animation's state

    bool bordered = false;  // picture box: sunken frame
    bool graphical = false; // command button: shows its own background colour
    bool multiLine = false; // text box
    bool verticalScrollBar = false;
    bool readOnly = false;
    Alignment alignment = Alignment::Left;
    bool enabled = true; // timer
    int interval = 0;    // timer, milliseconds
};

struct FontDescription
{
    std::string family;
    double pointSize = 0;
    int weight = 400; // 100..900
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 0; // 204: Cyrillic
};

// The animation a timer drives, as screen readers are told of it: each control
// that tells it ends its accessible description with `running` while the timer
// is enabled and with `stopped` while it is not.
struct AnimationDescription
{
    std::string timerArray;
    std::int16_t timerIndex = 0;
    std::string running;
    std::string stopped;
};

// Everything needed to build a window; the platform turns it into real controls
// in the order of `controls`.
struct WindowDescription
{
    std::string objectName;
    std::string caption;
    int clientWidth = 0; // twips
    int clientHeight = 0;
    Colour background = RGB(255, 255, 255);
    FontDescription font;
    std::string icon;         // resource path
    bool fixedBorder = false; // fixed single frame: no resizing, no minimise or maximise
    std::string version;
    std::string summary;        // one sentence on what the program shows, for --help
    std::string executableName; // the command's name, where the system gives none
    std::string applicationId;  // reverse-DNS, names the desktop entry
    std::string accessibleName; // the window's name for screen readers; the caption when empty
    std::string accessibleDescription; // the program in a sentence, for screen readers
    std::optional<AnimationDescription> animation;
    std::vector<ControlDescription> controls;
};

} // namespace platform
