#include "platform/qt/event_boundary.h"

#include "platform/out_of_memory.h"
#include "platform/quoted.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

#include <cstdio>
#include <exception>
#include <new>
#include <utility>

namespace platform::qt {

namespace {

void ReportToUser(const RuntimeError &error)
{
    const QString name = QCoreApplication::applicationName();
    const QString what = QString::fromUtf8(error.what());
    const std::string command =
        Escaped(QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString());
    std::fprintf(stderr, "%s: %s; %s will close\n", command.c_str(), qPrintable(what),
                 qPrintable(name));
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    QMessageBox box(
        QMessageBox::Critical, name,
        QCoreApplication::translate("Tarvelo", "%1 has met an error and will close.").arg(name),
        QMessageBox::Ok, QApplication::activeWindow());
    box.setInformativeText(what.left(1).toUpper() + what.mid(1) + QLatin1Char('.'));
    box.exec();
}

ErrorReporter &CurrentReporter()
{
    static ErrorReporter reporter = ReportToUser;
    return reporter;
}

} // namespace

ErrorReporter SetErrorReporter(ErrorReporter reporter)
{
    return std::exchange(CurrentReporter(), reporter ? std::move(reporter) : ReportToUser);
}

bool RunHandler(const std::function<void()> &handler) noexcept
{
    try {
        try {
            handler();
            return true;
        } catch (const RuntimeError &error) {
            CurrentReporter()(error);
        } catch (const std::bad_alloc &) {
            ReportOutOfMemory(); // a message box would need the memory that is missing
        } catch (const std::exception &error) {
            CurrentReporter()(RuntimeError(RuntimeError::InternalCode,
                                           std::string("internal error (") + error.what() + ")"));
        } catch (...) {
            CurrentReporter()(RuntimeError(RuntimeError::InternalCode, "internal error"));
        }
    } catch (...) {
        // The reporter itself failed; stderr is all that is left.
        std::fputs("The report of an error could not be shown; the program will close.\n", stderr);
    }
    return false;
}

} // namespace platform::qt
