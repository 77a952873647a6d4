#include "baseline_window.h"

#include "shell/texts.h"

#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QPointF Centre(88.5, 76.5);
const double IdleRadii[] = {31.6, 46.9067, 62.2133};
const double ArcRadii[] = {31.5833, 46.8833, 62.1833};

struct Step
{
    int ring;
    QColor colour;
    int from; // degrees
    int span;
};
const Step Steps[] = {{0, QColor(200, 0, 0), 180, 90},  {1, QColor(0, 200, 0), 90, 180},
                      {2, QColor(0, 0, 200), 0, 270},   {2, QColor(0, 0, 200), 270, 90},
                      {1, QColor(0, 200, 0), 270, 180}, {0, QColor(200, 0, 0), 270, 270}};

void SetColour(QWidget *widget, QPalette::ColorRole role, QColor colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

} // namespace

BaselineArea::BaselineArea(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
}

void BaselineArea::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter(this).drawImage(contentsRect().topLeft(), image);
}

BaselineWindow::BaselineWindow()
{
    setWindowTitle(QStringLiteral("https://example.org/tarvelo Tarvelo"));
    setFixedSize(461, 345);
    setFont(QFont(QStringLiteral("Times New Roman"), 12));
    SetColour(this, QPalette::Window, QColor(192, 192, 255));
    setAutoFillBackground(true);

    stop = new QPushButton(QStringLiteral("Спри"), this);
    stop->setGeometry(312, 136, 129, 33);
    SetColour(stop, QPalette::Button, QColor(255, 128, 128));
    start = new QPushButton(QStringLiteral("Стартирай"), this);
    start->setGeometry(240, 64, 129, 33);
    SetColour(start, QPalette::Button, QColor(128, 255, 128));
    area_ = new BaselineArea(this);
    area_->setGeometry(32, 48, 177, 153);
    auto *text = new QPlainTextEdit(QString::fromUtf8(shell::DescriptionText), this);
    text->setGeometry(8, 216, 449, 121);
    text->setReadOnly(true);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto *label = new QLabel(QStringLiteral("Tarvelo"), this);
    label->setGeometry(64, 0, 305, 25);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    SetColour(label, QPalette::Window, QColor(255, 192, 128));
    label->setAutoFillBackground(true);
    text->setFocus();

    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(500);
    connect(&timer, &QTimer::timeout, this, [this] { Tick(); });
    connect(start, &QPushButton::clicked, this, [this] {
        if (!timer.isActive())
            timer.start();
    });
    connect(stop, &QPushButton::clicked, this, [this] {
        timer.stop();
        Idle();
    });
    Idle();
}

void BaselineWindow::Idle()
{
    step_ = 0;
    area_->image = QImage(173, 149, QImage::Format_ARGB32_Premultiplied);
    area_->image.fill(Qt::white);
    QPainter painter(&area_->image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1, Qt::DashDotLine));
    for (const double radius : IdleRadii)
        painter.drawEllipse(Centre, radius, radius);
    area_->update();
}

void BaselineWindow::Tick()
{
    step_ = (step_ + 1) % 8;
    if (step_ == 7) {
        Idle();
        step_ = 7;
    } else if (step_ != 0) {
        const Step &step = Steps[step_ - 1];
        QPainter painter(&area_->image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(step.colour, 5, Qt::SolidLine, Qt::FlatCap));
        const double r = ArcRadii[step.ring];
        painter.drawArc(QRectF(Centre.x() - r, Centre.y() - r, 2 * r, 2 * r), step.from * 16,
                        step.span * 16);
        area_->update();
    }
}
