#include "platform/qt/accessibility.h"

#include "platform/qt/picture_box.h"
#include "platform/qt/qt_form.h"
#include "platform/qt/reader_requests.h"
#include "platform/qt/text_box.h"
#include "platform/qt/text_box_accessible.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QApplication>

#include <algorithm>

namespace platform::qt {

namespace {

QString &ApplicationDescription()
{
    static QString description;
    return description;
}

class ApplicationAccessible final : public QAccessibleApplication
{
public:
    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Description)
            return ApplicationDescription();
        return QAccessibleApplication::text(kind);
    }
};

// A graphic; animated and busy while its animation runs.
class PictureAccessible final : public QAccessibleWidget
{
public:
    explicit PictureAccessible(PictureBox *picture)
        : QAccessibleWidget(picture, QAccessible::Graphic)
    {}

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.animated = state.busy = static_cast<PictureBox *>(widget())->Animated();
        return state;
    }
};

// The window, with its shown controls in reading order: top to bottom, then
// left to right, whatever order the window was built in (Qt 6.4 and 6.8 list
// children as they were made). A hidden control is left out, on every Qt:
// Orca 48's say-all reads every child it is given, shown or not.
class FormAccessible final : public QAccessibleWidget
{
public:
    explicit FormAccessible(QWidget *form) : QAccessibleWidget(form, QAccessible::Window) {}

    int childCount() const override { return int(Children().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> children = Children();
        return index >= 0 && index < children.size()
                   ? QAccessible::queryAccessibleInterface(children[index])
                   : nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? int(Children().indexOf(child->object())) : -1;
    }

private:
    QList<QWidget *> Children() const
    {
        QList<QWidget *> children = widget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        children.removeIf(
            [](const QWidget *child) { return child->isWindow() || child->isHidden(); });
        std::stable_sort(children.begin(), children.end(), [](const QWidget *a, const QWidget *b) {
            return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
        });
        return children;
    }
};

QAccessibleInterface *Factory(const QString &, QObject *object)
{
    if (object == qApp)
        return new ApplicationAccessible;
    if (auto *picture = dynamic_cast<PictureBox *>(object))
        return new PictureAccessible(picture);
    if (auto *text = dynamic_cast<TextBox *>(object))
        return new TextBoxAccessible(text);
    if (auto *form = dynamic_cast<QtForm *>(object))
        return new FormAccessible(form);
    return nullptr;
}

} // namespace

void InstallAccessibility(const QString &applicationDescription)
{
    ApplicationDescription() = applicationDescription;
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
    CheckReaderRequests();
}

} // namespace platform::qt
