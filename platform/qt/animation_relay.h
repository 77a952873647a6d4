#pragma once

#include <QString>
#include <QWidget>

#include <vector>

namespace platform::qt {

class FormTimer;
class PictureBox;

// Tells screen readers whether the animation runs: the pictures that show it
// are animated and busy while its timer is enabled, and the controls that
// tell it end their descriptions with its state.
class AnimationRelay
{
public:
    AnimationRelay(QString running, QString stopped) : running_(running), stopped_(stopped) {}

    void AddTeller(QWidget *widget);
    void AddPicture(PictureBox *picture);
    // From now on, tells each change of the timer's state, and the state it has.
    void Follow(FormTimer &timer);

private:
    void Tell(bool running);

    struct Teller
    {
        QWidget *widget;
        QString description; // before the animation's state
    };
    QString running_, stopped_;
    std::vector<Teller> tellers_;
    std::vector<PictureBox *> pictures_;
};

} // namespace platform::qt
