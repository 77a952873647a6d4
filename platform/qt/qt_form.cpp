#include "platform/qt/qt_form.h"

#include "platform/qt/accessibility.h"
#include "platform/qt/command_button.h"
#include "platform/qt/event_boundary.h"
#include "platform/qt/form_timer.h"
#include "platform/qt/label.h"
#include "platform/qt/picture_box.h"
#include "platform/qt/qt_colour.h"
#include "platform/qt/reader_events.h"
#include "platform/qt/text_box.h"
#include "platform/runtime_error.h"
#include "platform/twips.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QScrollBar>

#include <algorithm>
#include <vector>

namespace platform::qt {

namespace {

QString ToQString(const std::string &utf8)
{
    return QString::fromStdString(utf8);
}

QRect ToPixels(const TwipRect &twips)
{
    return QRect(TwipsToWholePixels(twips.left), TwipsToWholePixels(twips.top),
                 TwipsToWholePixels(twips.width), TwipsToWholePixels(twips.height));
}

std::string ElementName(std::string_view array, std::int16_t index)
{
    return std::string(array) + "(" + std::to_string(index) + ")";
}

void SetBackground(QWidget *widget, Colour colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, ToQColor(colour));
    palette.setColor(QPalette::WindowText, ReadableOn(ToQColor(colour)));
    widget->setPalette(palette);
}

QFont ToQFont(const FontDescription &description)
{
    // Where a system lacks one of Windows' core faces, one that keeps its metrics
    // and carries Cyrillic, as fontconfig chooses on Linux; without it Qt would
    // fall back to a sans face for the Cyrillic text.
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                                   {QStringLiteral("Liberation Serif"), QStringLiteral("Tinos")});
        return true;
    }();
    (void)substituted;
    QFont font(ToQString(description.family));
    font.setPointSizeF(description.pointSize);
    font.setWeight(static_cast<QFont::Weight>(description.weight));
    font.setItalic(description.italic);
    font.setUnderline(description.underline);
    font.setStrikeOut(description.strikeOut);
    return font;
}

} // namespace

QtForm::QtForm(const WindowDescription &description)
{
    InstallAccessibility(ToQString(description.accessibleDescription));
    ApplyFrame(description);
    for (const ControlDescription &control : description.controls) {
        auto &elements = arrays_[control.array];
        if (elements.contains(control.index))
            throw RuntimeError::InvalidArgument(
                "the window describes " + ElementName(control.array, control.index) + " twice");
        elements.emplace(control.index, Create(control));
    }
    ApplyTabOrder(description);
    FollowAnimation(description);
}

void QtForm::FollowAnimation(const WindowDescription &description)
{
    if (!description.animation)
        return;
    const AnimationDescription &animation = *description.animation;
    running_ = ToQString(animation.running);
    stopped_ = ToQString(animation.stopped);
    for (const ControlDescription &control : description.controls) {
        QWidget *widget = Find(control.array, control.index).widget;
        if (control.tellsAnimation && widget)
            tellers_.push_back({widget, widget->accessibleDescription()});
        if (auto *picture = dynamic_cast<PictureBox *>(widget); control.showsAnimation && picture)
            animatedPictures_.push_back(picture);
    }
    // A button that tells the animation drives it: Qt names a button the
    // controller of whatever receives its click.
    for (const Teller &teller : tellers_)
        if (auto *button = qobject_cast<QPushButton *>(teller.widget))
            for (PictureBox *picture : animatedPictures_)
                connect(button, &QPushButton::clicked, picture, [] {});
    auto *timer =
        dynamic_cast<FormTimer *>(Find(animation.timerArray, animation.timerIndex).control);
    if (!timer)
        throw RuntimeError(RuntimeError::WrongControlKindCode,
                           "the animation's " +
                               ElementName(animation.timerArray, animation.timerIndex) +
                               " is not a timer");
    timer->OnEnabledChanged([this](bool on) { TellAnimation(on); });
    TellAnimation(timer->Enabled());
}

void QtForm::TellAnimation(bool running)
{
    for (PictureBox *picture : animatedPictures_) {
        picture->SetAnimated(running);
        QAccessible::State changed;
        changed.animated = changed.busy = true;
        QAccessibleStateChangeEvent event(picture, changed);
        QAccessible::updateAccessibility(&event);
        SendStateChanged(picture, "animated", running);
        SendStateChanged(picture, "busy", running);
    }
    // A changed description reaches screen readers as an event of its own, so the
    // focused button speaks the new state without the focus moving.
    for (const Teller &teller : tellers_) {
        teller.widget->setAccessibleDescription(
            (teller.description.isEmpty() ? QString() : teller.description + QLatin1Char(' ')) +
            (running ? running_ : stopped_));
        SendDescriptionChanged(teller.widget);
    }
}

void QtForm::ApplyFrame(const WindowDescription &description)
{
    setObjectName(ToQString(description.objectName));
    setWindowTitle(ToQString(description.caption));
    // The caption starts with a web address; a screen reader would spell it out.
    if (!description.accessibleName.empty())
        setAccessibleName(ToQString(description.accessibleName));
    if (!description.accessibleDescription.empty())
        setAccessibleDescription(ToQString(description.accessibleDescription));
    setFont(ToQFont(description.font));
    SetBackground(this, description.background);
    setAutoFillBackground(true);

    const QSize client(TwipsToWholePixels(description.clientWidth),
                       TwipsToWholePixels(description.clientHeight));
    resize(client);
    if (description.fixedBorder) {
        // Equal minimum and maximum size tell the window manager not to resize.
        setFixedSize(client);
        setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    }

    if (!description.icon.empty()) {
        // Read by the format its name gives, without probing image plugins:
        // loading one would cost more start-up time than the whole window.
        QImageReader reader(ToQString(description.icon),
                            QFileInfo(ToQString(description.icon)).suffix().toLatin1());
        reader.setAutoDetectImageFormat(false);
        const QPixmap icon = QPixmap::fromImageReader(&reader);
        if (icon.isNull())
            throw RuntimeError::InvalidArgument("the window icon " + description.icon +
                                                " cannot be read");
        setWindowIcon(QIcon(icon));
    }
}

QtForm::Element QtForm::Create(const ControlDescription &control)
{
    const std::string array = control.array;
    const std::int16_t index = control.index;
    QWidget *widget = nullptr;
    Control *element = nullptr;

    switch (control.kind) {
    case ControlKind::Timer: {
        auto *timer = new FormTimer(this, [this, array, index] {
            Dispatch([&](FormModule &module) { module.Tick(array, index); });
        });
        timer->SetInterval(control.interval);
        timer->SetEnabled(control.enabled);
        return {timer, nullptr};
    }
    case ControlKind::PictureBox: {
        auto *picture = new PictureBox(this, control.bordered);
        if (control.tabIndex)
            picture->setFocusPolicy(Qt::StrongFocus);
        widget = picture;
        element = picture;
        break;
    }
    case ControlKind::CommandButton: {
        auto *button = new CommandButton(ToQString(control.text), this);
        if (control.graphical && control.background)
            button->SetGraphical(ToQColor(*control.background));
        // The button is the click's context, not the window: screen readers learn
        // from a click's receivers what a button controls.
        connect(button, &QPushButton::clicked, button, [this, array, index] {
            Dispatch([&](FormModule &module) { module.Click(array, index); });
        });
        widget = button;
        element = button;
        break;
    }
    case ControlKind::Label: {
        auto *label = new Label(ToQString(control.text), this);
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
        auto *text = new TextBox(control.text, this);
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

void QtForm::ApplyTabOrder(const WindowDescription &description)
{
    std::vector<std::pair<int, QWidget *>> order;
    for (const ControlDescription &control : description.controls) {
        QWidget *widget = Find(control.array, control.index).widget;
        if (control.tabIndex && widget && widget->focusPolicy() != Qt::NoFocus)
            order.emplace_back(*control.tabIndex, widget);
    }
    std::sort(order.begin(), order.end());
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1].second, order[i].second);
    const auto first = std::find_if(order.begin(), order.end(),
                                    [](const auto &entry) { return !entry.second->isHidden(); });
    if (first != order.end())
        first->second->setFocus();
}

Control &QtForm::Item(std::string_view array, std::int16_t index)
{
    return *Find(array, index).control;
}

QWidget *QtForm::Widget(std::string_view array, std::int16_t index)
{
    return Find(array, index).widget;
}

QtForm::Element &QtForm::Find(std::string_view array, std::int16_t index)
{
    if (const auto elements = arrays_.find(array); elements != arrays_.end())
        if (const auto element = elements->second.find(index); element != elements->second.end())
            return element->second;
    throw RuntimeError(RuntimeError::NoSuchControlCode,
                       "there is no control " + ElementName(array, index));
}

bool QtForm::Load()
{
    if (!loaded_) {
        loaded_ = true;
        Dispatch([](FormModule &module) { module.Load(); });
    }
    return !failed_;
}

void QtForm::Dispatch(const std::function<void(FormModule &)> &event)
{
    if (failed_ || !module_)
        return;
    if (!RunHandler([&] { event(*module_); }))
        Fail();
}

void QtForm::Fail()
{
    failed_ = true;
    for (auto &[name, elements] : arrays_)
        for (auto &[index, element] : elements)
            if (auto *timer = dynamic_cast<Timer *>(element.control))
                timer->SetEnabled(false);
    QCoreApplication::exit(RuntimeErrorExitStatus);
}

} // namespace platform::qt
