#include "platform/qt/picture_accessible.h"

#include "platform/qt/picture_box.h"

#include <QAccessibleWidget>

namespace platform::qt {

namespace {

QAccessibleInterface *PictureFactory(const QString &, QObject *object)
{
    if (auto *picture = dynamic_cast<PictureBox *>(object))
        return new QAccessibleWidget(picture, QAccessible::Graphic);
    return nullptr;
}

} // namespace

void InstallPictureAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(PictureFactory);
        return true;
    }();
    (void)installed;
}

} // namespace platform::qt
