#pragma once

#include <QFrame>
#include <QImage>
#include <QTimer>
#include <QWidget>

class QPushButton;

// The same window written as bare Qt, with no layers: the yardstick for the
// program's cost. Same widgets, geometry, colours, font and picture; each tick
// draws into the image and repaints the whole framed area.
class BaselineArea final : public QFrame
{
public:
    explicit BaselineArea(QWidget *parent);
    QImage image;

protected:
    void paintEvent(QPaintEvent *event) override;
};

class BaselineWindow final : public QWidget
{
public:
    BaselineWindow();

    QPushButton *start;
    QPushButton *stop;
    QTimer timer;

private:
    void Idle();
    void Tick();

    BaselineArea *area_;
    int step_ = 0;
};
