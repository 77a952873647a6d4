#include "ring_model.h"

#include "platform/qt/picture_box.h"
#include "platform/qt/qt_form.h"
#include "rings/ring_display.h"
#include "shell/tarvelo_description.h"

#include <set>

namespace {

struct Paint
{
    int ring;
    Ink ink;
    std::set<int> quarters;
};

// What steps 1 to 6 add: two complementary arcs a ring, outer ring closed first.
const std::array<Paint, 6> Added{{
    {0, Ink::Red, {225}},
    {1, Ink::Green, {135, 225}},
    {2, Ink::Blue, {45, 135, 225}},
    {2, Ink::Blue, {315}},
    {1, Ink::Green, {315, 45}},
    {0, Ink::Red, {315, 45, 135}},
}};

QChar Letter(Ink ink)
{
    return ink == Ink::Background || ink == Ink::Other ? QLatin1Char('?') : InkName(ink).at(0);
}

} // namespace

Ink ExpectedInk(int step, int ring, int quarter)
{
    // Step 7 wipes everything; step 0 adds nothing to that.
    if (step == 7 || step == 0)
        return Ink::Dark;
    for (int s = 1; s <= step; ++s) {
        const Paint &paint = Added[std::size_t(s - 1)];
        if (paint.ring == ring && paint.quarters.contains(quarter))
            return paint.ink;
    }
    return Ink::Dark;
}

QString IdlePictureFault(const QImage &image, QPointF centre)
{
    for (const double radius : IdleRadii)
        if (const QString fault = DashDotFault(image, centre, radius); !fault.isEmpty())
            return QStringLiteral("radius %1: %2").arg(radius).arg(fault);
    for (const double between : {20.0, 39.0, 54.5, 68.0}) {
        const double coverage = Coverage(image, centre, between, 0, 360, Ink::Background);
        if (coverage < 1.0)
            return QStringLiteral("radius %1: background coverage %2").arg(between).arg(coverage);
    }
    return {};
}

QString Signature(const QImage &image, QPointF centre)
{
    QString signature;
    for (const double radius : IdleRadii) {
        for (const int quarter : Quarters) {
            Ink seen = Ink::Other;
            for (const Ink colour : {Ink::Red, Ink::Green, Ink::Blue})
                if (Coverage(image, centre, radius, quarter - 40, quarter + 40, colour) >= 0.95)
                    seen = colour;
            if (seen == Ink::Other) {
                const double dark =
                    Coverage(image, centre, radius, quarter - 40, quarter + 40, Ink::Dark);
                if (dark > 0.2 && dark < 0.95)
                    seen = Ink::Dark;
            }
            signature += Letter(seen);
        }
        signature += QLatin1Char(' ');
    }
    return signature.trimmed();
}

QString ExpectedSignature(int step)
{
    QString signature;
    for (int ring = 0; ring < 3; ++ring) {
        for (const int quarter : Quarters)
            signature += Letter(ExpectedInk(step, ring, quarter));
        signature += QLatin1Char(' ');
    }
    return signature.trimmed();
}

int StepShown(const QImage &image, QPointF centre)
{
    const QString signature = Signature(image, centre);
    for (int step = 0; step <= 6; ++step)
        if (signature == ExpectedSignature(step))
            return step;
    return -1;
}

std::array<QImage, 8> CanonicalPictures()
{
    platform::qt::QtForm form(shell::TarveloDescription());
    auto &picture = *static_cast<platform::qt::PictureBox *>(form.Widget("Picture1", 0));
    picture.SetAutoRedraw(true);
    rings::RingDisplay display(form);
    display.DrawIdleRings();
    std::array<QImage, 8> pictures;
    pictures[0] = picture.persistentImage();
    for (std::size_t step = 1; step < 8; ++step) {
        display.AdvanceAnimation();
        pictures[step] = picture.persistentImage();
    }
    return pictures;
}
