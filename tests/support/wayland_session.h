#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QTemporaryDir>

// A private headless Wayland compositor (sway, with no display of its own) and
// the real program on it, seen and driven from outside: grim for screenshots,
// wtype for keys, swaymsg for where the window stands.
class WaylandSession
{
public:
    // Starts the compositor with one output at `scale`. Empty on success, else
    // what went wrong.
    QString Start(double scale);

    // Starts the binary on the compositor and waits for its window.
    QString Launch(const QString &binary);

    // The window's client area in the output's logical pixels.
    QRect Geometry() const { return geometry_; }

    // The whole output, its device pixel ratio the output's scale.
    QImage Screenshot() const;

    // Types keys (xkb names: Tab, space, Return) into the focused window.
    void Keys(const QStringList &keys) const;

    // Asks the window to close, as the compositor's close binding does.
    void RequestClose() const;

    // The program's exit status, or -1 when it did not end in time.
    int WaitForExit(int milliseconds);

    ~WaylandSession();

private:
    QProcessEnvironment Environment() const;
    QString Sway(const QStringList &arguments) const;

    QTemporaryDir runtime_;
    QString socket_;
    double scale_ = 1;
    QProcess compositor_;
    QProcess keyboard_; // keeps a keyboard on the seat between key presses
    QProcess program_;
    QRect geometry_;
};
