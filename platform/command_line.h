#pragma once

#include <string>
#include <vector>

namespace platform {

// What the command line asks for, answered before any display is touched. The
// program's own options only describe it; Qt's standard options (-platform,
// -style, -reverse, …) pass through to Qt, in the one spelling Qt honours for
// each, whichever the user typed.
struct CommandLine
{
    enum class Answer
    {
        Run,     // open the window
        Help,    // `text` goes to stdout, exit 0
        Version, // `text` goes to stdout, exit 0
        Refuse   // `text` goes to stderr, exit UsageExitStatus
    };
    Answer answer = Answer::Run;
    std::string text;
    // For Run: the command line Qt is to see, the command first.
    std::vector<std::string> qtArguments;
    // For Run: what -display and -platform ask for, if anything, as typed.
    std::string display;
    std::string platform;
};

// The exit status for a command line the program does not understand.
inline constexpr int UsageExitStatus = 2;

// `name` is the command as the user typed it; `summary` is one sentence on what
// the program shows.
CommandLine ReadCommandLine(const std::vector<std::string> &arguments, const std::string &name,
                            const std::string &version, const std::string &summary);

} // namespace platform
