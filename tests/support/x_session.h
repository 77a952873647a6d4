#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>

// The real program on the X server named by DISPLAY, seen and driven from
// outside as a user would: xdotool to find and click, import for screenshots.
class LaunchedWindow
{
public:
    // Starts the binary and waits until its window is mapped. Empty on success,
    // else what went wrong.
    QString Launch(const QString &binary, const QStringList &arguments = {});

    // Starts the binary without waiting for a window.
    QString Start(const QString &binary, const QStringList &arguments = {});

    // Starts a launcher (`wine start /wait …`) whose program shows the window
    // from a process of its own, and waits until a window titled Tarvelo, of
    // any process, is mapped. The launcher's status is then the program's.
    QString LaunchThrough(const QString &launcher, const QStringList &arguments,
                          const QProcessEnvironment &environment);

    // A mapped window of the process whose title matches the pattern, polled
    // until `milliseconds` pass; empty when none appeared.
    QString FindWindow(const QString &titlePattern, int milliseconds);

    // What the process wrote on stderr so far.
    QString StandardError();

    // The client area in root-window coordinates.
    QRect Geometry() const { return geometry_; }
    QString WindowId() const { return windowId_; }

    // A fresh screenshot of the whole screen.
    QImage Screenshot() const;

    // What xprop says of a property of the window.
    QString Property(const QString &name) const;

    // Left click at a point of the client area, through the X server.
    void Click(QPoint clientPoint) const;

    // Asks the window to close, as a window manager's close button does.
    void RequestClose() const;

    // Focuses a window and types a key there, through the X server.
    void PressKey(const QString &window, const QString &key) const;

    // Waits for the process to end; its exit status, or -1 when it did not end.
    int WaitForExit(int milliseconds);

    ~LaunchedWindow();

private:
    QProcess process_;
    QString standardError_;
    QString windowId_;
    QRect geometry_;
    bool ownWindow_ = true; // the window is the started process's own

    QString FindMainWindow();
};

// Runs a command to its end and returns what it printed on stdout.
QString RunTool(const QString &program, const QStringList &arguments, int timeoutMs = 10000);

// Sends WM_DELETE_WINDOW to the window, as a window manager would.
void SendDeleteWindow(unsigned long window);
