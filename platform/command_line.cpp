#include "platform/command_line.h"

#include "platform/quoted.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace platform {

namespace {

// Qt's standard options, without their leading dash.
constexpr std::array QtOptionsWithValue{
    "platform", "platformpluginpath", "platformtheme", "plugin",       "qwindowgeometry",
    "geometry", "qwindowicon",        "icon",          "qwindowtitle", "title",
    "style",    "stylesheet",         "session",       "display",      "name",
    "visual",   "qmljsdebugger"};
constexpr std::array QtFlags{"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"};

bool Contains(const auto &list, std::string_view option)
{
    return std::find(list.begin(), list.end(), option) != list.end();
}

CommandLine Refuse(const std::string &name, const std::string &problem)
{
    return {CommandLine::Answer::Refuse,
            name + ": " + problem + "\nTry '" + name + " --help' for more information.\n"};
}

std::string Help(const std::string &name, const std::string &summary)
{
    return "Usage: " + name + " [OPTION]...\n" + summary +
           "\n\n"
           "  --help       show this help and exit\n"
           "  --version    show the version and exit\n"
           "\n"
           "Qt's standard options, such as -platform NAME, -style NAME and -reverse, are\n"
           "accepted too. Exit status: 0 when the window is closed, 1 when the program\n"
           "cannot start or meets an error, " +
           std::to_string(UsageExitStatus) + " for a command line it does not understand.\n";
}

} // namespace

CommandLine ReadCommandLine(const std::vector<std::string> &arguments, const std::string &name,
                            const std::string &version, const std::string &summary)
{
    CommandLine line;
    line.qtArguments.push_back(arguments.empty() ? name : arguments.front());
    bool options = true;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (options && argument == "--") {
            options = false;
            continue;
        }
        if (!options || argument.size() < 2 || argument[0] != '-')
            return Refuse(name, "unexpected argument " + Quoted(argument, '\''));
        if (argument == "--help" || argument == "-h")
            return {CommandLine::Answer::Help, Help(name, summary)};
        if (argument == "--version")
            return {CommandLine::Answer::Version, name + " " + version + "\n"};
        // Qt takes its options with one dash or two, and a value after '=' or
        // apart; it honours only one dash and a value apart for most of them.
        std::string_view option(argument);
        option.remove_prefix(argument.starts_with("--") ? 2 : 1);
        const std::size_t equals = option.find('=');
        const std::string key(option.substr(0, equals));
        if (Contains(QtFlags, key) && equals == std::string_view::npos) {
            line.qtArguments.push_back("-" + key);
            continue;
        }
        if (!Contains(QtOptionsWithValue, key))
            return Refuse(name, "unrecognised option " + Quoted(argument, '\''));
        std::string value;
        if (equals != std::string_view::npos)
            value = option.substr(equals + 1);
        else if (++i < arguments.size())
            value = arguments[i];
        else
            return Refuse(name, "option " + Quoted(argument, '\'') + " needs a value");
        if (key == "display")
            line.display = value;
        if (key == "platform")
            line.platform = value;
        line.qtArguments.insert(line.qtArguments.end(), {"-" + key, value});
    }
    return line;
}

} // namespace platform
