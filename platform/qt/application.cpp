#include "platform/application.h"

#include "platform/command_line.h"
#include "platform/out_of_memory.h"
#include "platform/qt/event_boundary.h"
#include "platform/qt/frame_hints.h"
#include "platform/qt/process.h"
#include "platform/qt/qt_form.h"
#include "platform/qt/qt_messages.h"
#include "platform/qt/startup_guard.h"
#include "platform/quoted.h"

#include <QApplication>
#include <QStyleHints>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {

namespace {

// Says `text` on `stream`. A failed write (a closed or full stdout) is said on
// stderr, as the one thing still worth trying, and is a failure; a reader that
// has gone (`tarvelo --help | true`) is told nothing, as GNU tools tell it.
bool Say(std::FILE *stream, const std::string &text, const std::string &command)
{
    errno = 0;
    if (std::fputs(text.c_str(), stream) >= 0 && std::fflush(stream) == 0)
        return true;
    if (errno == EPIPE)
        return false;
    const std::string line = command + ": write error: " + std::strerror(errno) + "\n";
    std::fputs(line.c_str(), stderr);
    return false;
}

} // namespace

int RunApplication(int &argc, char **argv, const WindowDescription &description,
                   const ModuleFactory &makeModule)
{
    const std::string problem = qt::PrepareProcess();

    // Escaped: it heads every line the program says, and a path can hold anything.
    std::string command = Escaped(qt::CommandName(argc > 0 ? argv[0] : ""));
    if (command.empty())
        command = description.executableName;
    PrepareOutOfMemoryReport(command);
    CommandLine line = ReadCommandLine(std::vector<std::string>(argv, argv + argc), command,
                                       description.version, description.summary);
    switch (line.answer) {
    case CommandLine::Answer::Help:
    case CommandLine::Answer::Version:
        return Say(stdout, line.text, command) ? 0 : RuntimeErrorExitStatus;
    case CommandLine::Answer::Refuse:
        Say(stderr, line.text, command);
        return UsageExitStatus;
    case CommandLine::Answer::Run:
        break;
    }
    if (!problem.empty()) {
        Say(stderr, command + ": " + problem + "\n", command);
        return RuntimeErrorExitStatus;
    }

    // Qt keeps the arguments it is given for the life of the application.
    std::vector<char *> qtArgv;
    for (std::string &argument : line.qtArguments)
        qtArgv.push_back(argument.data());
    qtArgv.push_back(nullptr);
    int qtArgc = int(line.qtArguments.size());

    qt::EscapeQtMessages();
    std::optional<qt::StartupGuard> guard(std::in_place, QString::fromStdString(command), line);
    QApplication application(qtArgc, qtArgv.data());
    QApplication::setApplicationName(QString::fromStdString(description.objectName));
    QApplication::setApplicationVersion(QString::fromStdString(description.version));
    // A steady caret: a blinking one would wake the program twice a second
    // while nothing else moves.
    QGuiApplication::styleHints()->setCursorFlashTime(0);
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QString::fromStdString(description.applicationId));

    // The module refers to the form, so it is declared after it and goes first.
    std::unique_ptr<qt::QtForm> form;
    std::unique_ptr<FormModule> module;
    const bool built = qt::RunHandler([&] {
        form = std::make_unique<qt::QtForm>(description);
        module = makeModule(*form);
        form->Bind(module.get());
    });
    if (!built || !form->Load())
        return RuntimeErrorExitStatus;

    if (description.fixedBorder)
        qt::AskForMoveAndCloseOnly(*form);
    form->show();
    guard.reset(); // the window exists: what fails from here on is the program's
    return qt::FinishProcess(QApplication::exec());
}

} // namespace platform
