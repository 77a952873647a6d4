#include "platform/application.h"

#include "platform/qt/event_boundary.h"
#include "platform/qt/qt_form.h"

#include <QApplication>
#include <QStyleHints>

namespace platform {

int RunApplication(int &argc, char **argv, const WindowDescription &description,
                   const ModuleFactory &makeModule)
{
    QApplication application(argc, argv);
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

    form->show();
    return QApplication::exec();
}

} // namespace platform
