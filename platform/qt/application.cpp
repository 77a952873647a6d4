#include "platform/application.h"

#include "platform/command_line.h"
#include "platform/qt/event_boundary.h"
#include "platform/qt/qt_form.h"
#include "platform/qt/startup_guard.h"
#include "platform/qt/x11_frame_hints.h"

#include <QApplication>
#include <QStyleHints>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace platform {

int RunApplication(int &argc, char **argv, const WindowDescription &description,
                   const ModuleFactory &makeModule)
{
    // A closed stderr (`tarvelo 2>&1 | true`) must not end the program.
    std::signal(SIGPIPE, SIG_IGN);

    const std::string command = std::filesystem::path(argc > 0 ? argv[0] : "").filename().string();
    const CommandLine line = ReadCommandLine(std::vector<std::string>(argv, argv + argc), command,
                                             description.version, description.summary);
    switch (line.answer) {
    case CommandLine::Answer::Help:
    case CommandLine::Answer::Version:
        std::fputs(line.text.c_str(), stdout);
        return 0;
    case CommandLine::Answer::Refuse:
        std::fputs(line.text.c_str(), stderr);
        return UsageExitStatus;
    case CommandLine::Answer::Run:
        break;
    }

    std::optional<qt::StartupGuard> guard(std::in_place, QString::fromStdString(command));
    QApplication application(argc, argv);
    guard.reset();
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
    const int status = QApplication::exec();
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        // Qt 6.4's Wayland plugin can hang for good while it stops its event thread,
        // leaving a closed window's process behind. Nothing of ours needs tearing
        // down, and the compositor frees the window with the connection.
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}

} // namespace platform
