#include "platform/qt/control_factory.h"

#include "platform/qt/command_button.h"
#include "platform/qt/form_timer.h"
#include "platform/qt/label.h"
#include "platform/qt/picture_box.h"
#include "platform/qt/qt_colour.h"
#include "platform/qt/qt_string.h"
#include "platform/qt/text_box.h"
#include "platform/twips.h"

#include <QScrollBar>

namespace platform::qt {

namespace {

QRect ToPixels(const TwipRect &twips)
{
    return QRect(TwipsToWholePixels(twips.left), TwipsToWholePixels(twips.top),
                 TwipsToWholePixels(twips.width), TwipsToWholePixels(twips.height));
}

} // namespace

std::string ElementName(std::string_view array, std::int16_t index)
{
    return std::string(array) + "(" + std::to_string(index) + ")";
}

CreatedControl CreateControl(QWidget *window, const ControlDescription &control,
                             const RaiseEvent &raise)
{
    const std::string array = control.array;
    const std::int16_t index = control.index;
    QWidget *widget = nullptr;
    Control *element = nullptr;

    switch (control.kind) {
    case ControlKind::Timer: {
        auto *timer = new FormTimer(window, [raise, array, index] {
            raise([&](FormModule &module) { module.Tick(array, index); });
        });
        timer->SetInterval(control.interval);
        timer->SetEnabled(control.enabled);
        return {timer, nullptr};
    }
    case ControlKind::PictureBox: {
        auto *picture = new PictureBox(window, control.bordered);
        if (control.tabIndex)
            picture->setFocusPolicy(Qt::StrongFocus);
        widget = picture;
        element = picture;
        break;
    }
    case ControlKind::CommandButton: {
        auto *button = new CommandButton(ToQString(control.text), window);
        if (control.graphical && control.background)
            button->SetGraphical(ToQColor(*control.background));
        // The button is the click's context, not the window: screen readers learn
        // from a click's receivers what a button controls.
        QObject::connect(button, &QPushButton::clicked, button, [raise, array, index] {
            raise([&](FormModule &module) { module.Click(array, index); });
        });
        widget = button;
        element = button;
        break;
    }
    case ControlKind::Label: {
        auto *label = new Label(ToQString(control.text), window);
        label->setAlignment(control.alignment == Alignment::Centre ? Qt::AlignHCenter | Qt::AlignTop
                                                                   : Qt::AlignLeft | Qt::AlignTop);
        if (control.background) {
            SetBackground(label, *control.background);
            label->setAutoFillBackground(true);
        }
        widget = label;
        element = label;
        break;
    }
    case ControlKind::TextBox: {
        auto *text = new TextBox(control.text, window);
        text->setLineWrapMode(control.multiLine ? QPlainTextEdit::WidgetWidth
                                                : QPlainTextEdit::NoWrap);
        text->setReadOnly(control.readOnly);
        if (control.readOnly) // still readable and selectable from the keyboard
            text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        text->setVerticalScrollBarPolicy(control.verticalScrollBar ? Qt::ScrollBarAlwaysOn
                                                                   : Qt::ScrollBarAlwaysOff);
        if (!control.scrollBarName.empty())
            for (QScrollBar *bar : {text->verticalScrollBar(), text->horizontalScrollBar()})
                bar->setAccessibleName(ToQString(control.scrollBarName));
        widget = text;
        element = text;
        break;
    }
    }

    widget->setObjectName(QString::fromStdString(ElementName(array, index)));
    if (!control.accessibleName.empty())
        widget->setAccessibleName(ToQString(control.accessibleName));
    if (!control.accessibleDescription.empty())
        widget->setAccessibleDescription(ToQString(control.accessibleDescription));
    widget->setGeometry(ToPixels(control.bounds));
    if (!control.visible)
        widget->hide();
    return {element, widget};
}

} // namespace platform::qt
