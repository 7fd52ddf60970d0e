// velmora_artgen: draws every picture the application shows (skins, panel
// pictures, icons) into a runtime folder. It runs at build time, so the
// repository holds only this program and no bitmaps. Output is deterministic:
// the same program and fonts give the same bytes.
//
// Usage: velmora_artgen <output folder>

#include "Artwork.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSaveFile>
#include <QString>

#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <stdexcept>

namespace {

using namespace velmora::artwork;

constexpr double Pi = std::numbers::pi;
constexpr int S = SkinSize;

// Palette: black screen, lime accents that match the lime counter.
const QColor Lime(0x00, 0xFF, 0x00);
const QColor LimeSoft(0x7C, 0xFF, 0x6B);
const QColor GreenDim(0x1B, 0x5E, 0x1B);
const QColor GreenDeep(0x0C, 0x2A, 0x0C);
const QColor PanelTop(0x17, 0x1C, 0x17);
const QColor PanelBottom(0x08, 0x0A, 0x08);
const QColor PanelEdge(0x2E, 0x6B, 0x2E);
const QColor ButtonTop(0x22, 0x2B, 0x22);
const QColor ButtonBottom(0x10, 0x15, 0x10);
const QColor ButtonEdge(0x3A, 0x7A, 0x3A);
const QColor TextLight(0xDD, 0xFF, 0xD8);
const QColor Warn(0xF0, 0x50, 0x40);

QString outRoot;

QString pathOf(std::string_view rel)
{
    return outRoot + QLatin1Char('/') + QString::fromLatin1(rel.data(), qsizetype(rel.size()));
}

// Written through QSaveFile, so an interrupted build never leaves half a picture
// that a later run would mistake for a finished one.
void save(const QImage& img, const QString& path, const char* format)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !img.save(&file, format) || !file.commit())
        throw std::runtime_error("cannot write " + path.toStdString());
}

void savePng(const QImage& img, std::string_view rel)
{
    save(img, pathOf(rel), "PNG");
}

QImage canvas(QSize size, QColor fill = Qt::transparent)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(fill);
    return img;
}

void aa(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

QFont uiFont(int pixelSize, bool bold = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// A soft round light: used for the radar blips, the infinity dot and flashes.
void glow(QPainter& p, QPointF c, double r, QColor col, double alpha = 1.0)
{
    QRadialGradient g(c, r);
    QColor a = col;
    a.setAlphaF(float(alpha));
    QColor b = col;
    b.setAlphaF(float(alpha * 0.35));
    QColor z = col;
    z.setAlphaF(0);
    g.setColorAt(0, a);
    g.setColorAt(0.35, b);
    g.setColorAt(1, z);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

// ====================================================================== skins

using Painter = std::function<void(QPainter&)>;

QImage skinImage(const Painter& draw)
{
    QImage img(S, S, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    aa(p);
    draw(p);
    return img;
}

void saveSkin(const QImage& img, const QString& skin, const QString& file)
{
    // 24-bit BMP: Qt writes RGB888 images as 24 bits per pixel.
    save(img.convertToFormat(QImage::Format_RGB888), outRoot + "/skins/" + skin + '/' + file,
         "BMP");
}

// ---------------------------------------------------------------- radar
// A phosphor radar scope. The beam sweeps clockwise; frame f points at
// 30 f - 15 degrees from north, so frames 10, 11, 0 lie in the upper-left
// quadrant, 1-3 upper-right, 4-6 lower-right and 7-9 lower-left: each frame's
// light stays inside the quadrant that the display copies for it.
namespace radar {

constexpr QPointF C(300, 300);
constexpr double Inner = 112; // the counter covers the middle
constexpr double Outer = 286;

QPointF polar(double deg, double r)
{
    const double a = deg * Pi / 180;
    return {C.x() + r * std::sin(a), C.y() - r * std::cos(a)};
}

struct Blip
{
    double deg, r;
};
constexpr Blip Blips[] = {{22, 236},  {63, 168},  {131, 254}, {158, 150}, {214, 205},
                          {247, 262}, {301, 181}, {338, 248}, {103, 205}, {196, 262}};

void blank(QPainter& p)
{
    // scope face
    QRadialGradient face(C, Outer);
    face.setColorAt(0, QColor(0x06, 0x14, 0x06));
    face.setColorAt(0.8, QColor(0x04, 0x10, 0x04));
    face.setColorAt(1, QColor(0x02, 0x08, 0x02));
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawEllipse(C, Outer, Outer);

    p.setBrush(Qt::NoBrush);
    for (double r : {150.0, 195.0, 240.0}) {
        p.setPen(QPen(GreenDim, 1.2));
        p.drawEllipse(C, r, r);
    }
    p.setPen(QPen(GreenDim, 1.0, Qt::DotLine));
    p.drawEllipse(C, Inner, Inner);
    // cross hair and diagonals, kept out of the counter's middle
    for (int deg = 0; deg < 360; deg += 45) {
        p.setPen(QPen(deg % 90 == 0 ? GreenDim : GreenDeep.lighter(140), 1.0));
        p.drawLine(polar(deg, Inner + 6), polar(deg, Outer - 2));
    }
    // bezel with ticks every 5 degrees
    p.setPen(QPen(QColor(0x2F, 0x9A, 0x2F), 2.2));
    p.drawEllipse(C, Outer, Outer);
    for (int deg = 0; deg < 360; deg += 5) {
        const double len = deg % 30 == 0 ? 12 : 5;
        p.setPen(QPen(deg % 30 == 0 ? QColor(0x3C, 0xC0, 0x3C) : GreenDim, 1.4));
        p.drawLine(polar(deg, Outer - len), polar(deg, Outer));
    }
    p.setFont(uiFont(11));
    p.setPen(QColor(0x3C, 0xB0, 0x3C));
    for (int deg = 0; deg < 360; deg += 90) {
        const QPointF at = polar(deg, Outer - 24);
        p.drawText(QRectF(at.x() - 20, at.y() - 8, 40, 16), Qt::AlignCenter,
                   QString::number(deg).rightJustified(3, QLatin1Char('0')));
    }
    // faint echoes
    for (const Blip& b : Blips)
        glow(p, polar(b.deg, b.r), 5, QColor(0x2A, 0x7A, 0x2A), 0.8);
}

QRect quadrantOf(int frame)
{
    switch (frame) {
    case 10:
    case 11:
    case 0:
        return {0, 0, 300, 300};
    case 1:
    case 2:
    case 3:
        return {300, 0, 300, 300};
    case 4:
    case 5:
    case 6:
        return {300, 300, 300, 300};
    default:
        return {0, 300, 300, 300};
    }
}

void frame(QPainter& p, int f)
{
    blank(p);
    const double beam = 30.0 * f - 15.0;
    p.setClipRect(quadrantOf(f));

    QPainterPath ring;
    ring.addEllipse(C, Outer - 1.5, Outer - 1.5);
    QPainterPath hole;
    hole.addEllipse(C, Inner, Inner);
    ring = ring.subtracted(hole);

    // Afterglow trailing the beam (counter-clockwise of it). Qt's conical
    // gradient runs counter-clockwise from 3 o'clock; our angles run clockwise
    // from north.
    QConicalGradient sweep(C, 90.0 - beam);
    sweep.setColorAt(0.0, QColor(0, 255, 0, 150));
    sweep.setColorAt(0.03, QColor(0, 230, 0, 90));
    sweep.setColorAt(0.12, QColor(0, 160, 0, 25));
    sweep.setColorAt(0.16, QColor(0, 120, 0, 0));
    sweep.setColorAt(1.0, QColor(0, 120, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sweep);
    p.drawPath(ring);

    // echoes the beam has just passed light up
    for (const Blip& b : Blips) {
        double behind = beam - b.deg;
        while (behind < 0)
            behind += 360;
        if (behind < 55) glow(p, polar(b.deg, b.r), 13 - behind / 8, Lime, 1.0 - behind / 70);
    }

    // the beam itself
    p.setPen(QPen(QColor(0, 255, 0, 70), 9, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(polar(beam, Inner + 2), polar(beam, Outer - 3));
    p.setPen(QPen(QColor(0xB8, 0xFF, 0xB0), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(polar(beam, Inner + 2), polar(beam, Outer - 3));
    p.setClipping(false);
}

} // namespace radar

// ---------------------------------------------------------------- infinity
// A light running a figure eight (a lemniscate lying on its side) in the upper
// part of the display, above the counter. Frame 0 is just right of the
// crossing, 1-5 run the right loop, 6 is just left of the crossing and 7-11 run
// the left loop, because the display copies only the right half for frames
// 2-5 and only the left half for 7-11: frame 1 must leave the left half blank
// and frame 6 the right half, or their light would linger.
namespace infinity {

constexpr double Cx = 300, Cy = 250, A = 255;
constexpr double Phase = 0.36; // in frames: keeps 0 and 6 clear of the crossing

QPointF at(double t)
{
    const double s = std::sin(t), c = std::cos(t);
    const double d = 1 + s * s;
    // -cos so that after the crossing (t = pi/2) the light heads right
    return {Cx - A * c / d, Cy + A * s * c / d * 1.05};
}

double tOf(double f)
{
    return Pi / 2 + 2 * Pi * (f + Phase) / 12.0;
}

QRect allowed(int f)
{
    if (f == 0) return {0, 100, 600, 500};
    if (f >= 1 && f <= 5) return {300, 100, 300, 500};
    return {0, 100, 300, 500};
}

void blank(QPainter& p)
{
    QPainterPath track;
    for (int i = 0; i <= 720; ++i) {
        const QPointF q = at(2 * Pi * i / 720.0);
        if (i == 0)
            track.moveTo(q);
        else
            track.lineTo(q);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x0A, 0x22, 0x0A), 26, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(track);
    p.setPen(QPen(QColor(0x12, 0x3A, 0x12), 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(track);
    p.setPen(QPen(QColor(0x2A, 0x80, 0x2A), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(track);
    // beat marks where frames fall
    for (int f = 0; f < 12; ++f) {
        p.setPen(Qt::NoPen);
        p.setBrush(f == 0 ? QColor(0x3C, 0xC0, 0x3C) : QColor(0x2A, 0x70, 0x2A));
        p.drawEllipse(at(tOf(f)), f == 0 ? 3.5 : 2.2, f == 0 ? 3.5 : 2.2);
    }
    // a quiet baseline under the eight
    QLinearGradient line(60, 0, 540, 0);
    line.setColorAt(0, QColor(0, 0, 0, 0));
    line.setColorAt(0.5, QColor(0x1E, 0x5A, 0x1E));
    line.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(QPen(QBrush(line), 1.2));
    p.drawLine(QPointF(60, 372), QPointF(540, 372));
}

void frame(QPainter& p, int f)
{
    blank(p);
    p.setClipRect(allowed(f));
    // comet tail along the track
    constexpr int Steps = 28;
    for (int i = Steps; i >= 1; --i) {
        const double back = 0.75 * i / Steps;
        const double k = 1.0 - double(i) / Steps;
        glow(p, at(tOf(f - back)), 6 + 10 * k, Lime, 0.10 + 0.35 * k * k);
    }
    const QPointF c = at(tOf(f));
    glow(p, c, 34, Lime, 0.55);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xE8, 0xFF, 0xE0));
    p.drawEllipse(c, 8, 8);
    p.setClipping(false);
}

} // namespace infinity

// ---------------------------------------------------------------- ball
// A ball bouncing in the strip x 220-399. Frame 0 is the impact: a squash and a
// ripple over the floor block (x 100-499, y 300-599). Frame 1 copies the block
// again, which wipes the ripple; 2-11 copy only the strip. The ball of frame 11
// must lie below y 300, because frames 0 and 1 leave the strip above that alone.
namespace ball {

constexpr double X = 309.5;
constexpr double Floor = 560;
constexpr double R = 30;
constexpr double Rise = 390; // apex: top of the ball at y 110, clear of the counter

double centreY(int f)
{
    const double u = (f - 6) / 6.0;
    return Floor - R - Rise * (1 - u * u);
}

void floor(QPainter& p, double flash)
{
    QLinearGradient line(100, 0, 500, 0);
    QColor mid = QColor(0x2F, 0xA0, 0x2F);
    if (flash > 0) mid = Lime;
    line.setColorAt(0, QColor(0, 0, 0, 0));
    line.setColorAt(0.2, mid);
    line.setColorAt(0.8, mid);
    line.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(QPen(QBrush(line), 2.0 + flash));
    p.drawLine(QPointF(104, Floor), QPointF(496, Floor));
    // soft sheen under the floor line
    QRadialGradient under(QPointF(X, Floor), 190);
    under.setColorAt(0, QColor(0x10, 0x48, 0x10, flash > 0 ? 170 : 90));
    under.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(under);
    p.drawEllipse(QPointF(X, Floor + 1), 190, 26);
}

void guide(QPainter& p)
{
    // faint height marks at the strip's edges
    for (int y = 130; y <= 530; y += 40) {
        p.setPen(QPen(QColor(0x16, 0x40, 0x16), 1.2));
        p.drawLine(QPointF(232, y), QPointF(244, y));
        p.drawLine(QPointF(375, y), QPointF(387, y));
    }
}

void blank(QPainter& p)
{
    floor(p, 0);
    guide(p);
}

void drawBall(QPainter& p, QPointF c, double rx, double ry)
{
    glow(p, c, std::max(rx, ry) * 2.0, Lime, 0.22);
    QRadialGradient body(c + QPointF(-rx * 0.35, -ry * 0.4), std::max(rx, ry) * 1.3);
    body.setColorAt(0, QColor(0xF0, 0xFF, 0xE8));
    body.setColorAt(0.25, QColor(0x6C, 0xFF, 0x4C));
    body.setColorAt(0.8, QColor(0x12, 0xA0, 0x12));
    body.setColorAt(1, QColor(0x06, 0x50, 0x06));
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawEllipse(c, rx, ry);
}

void shadow(QPainter& p, double height)
{
    const double k = 1 - height / (Rise + 40);
    QRadialGradient g(QPointF(X, Floor + 2), 60);
    g.setColorAt(0, QColor(0, 0xFF, 0, int(90 * k)));
    g.setColorAt(1, QColor(0, 0xFF, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(QPointF(X, Floor + 2), 24 + 50 * k, 4 + 5 * k);
}

void frame(QPainter& p, int f)
{
    if (f == 0) {
        floor(p, 1.5);
        guide(p);
        p.setClipRect(QRect(100, 300, 400, 300));
        // ripple over the floor block
        for (int i = 0; i < 3; ++i) {
            const double rx = 70 + 55 * i, ry = 9 + 6 * i;
            p.setPen(QPen(QColor(0, 255, 0, 170 - 50 * i), 2.2 - 0.5 * i));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(X, Floor), rx, ry);
        }
        glow(p, QPointF(X, Floor), 120, Lime, 0.35);
        drawBall(p, QPointF(X, Floor - 21), 41, 21);
        p.setClipping(false);
        return;
    }
    blank(p);
    p.setClipRect(f == 1 ? QRect(220, 300, 180, 300) : QRect(220, 0, 180, 600));
    const double y = centreY(f);
    shadow(p, Floor - R - y);
    // stretched a little while fast (near the floor), round at the top
    const double speed = std::abs(f - 6) / 6.0;
    drawBall(p, QPointF(X, y), R * (1 - 0.08 * speed), R * (1 + 0.1 * speed));
    p.setClipping(false);
}

} // namespace ball

// ---------------------------------------------------------------- metronome
// A pyramid metronome with an upside-down pendulum. Frame f shows the rod at
// -A cos(pi f / 12): 0 is the far left, 12 the far right, so the forward run
// 0..11 and the backward run 12..1 both end where the next beat clicks. The
// face plate near the bottom is where the counter stands (display top + 420).
namespace metronome {

constexpr QPointF Pivot(300, 392);
constexpr double RodLen = 300;
constexpr double Amp = 27; // degrees
constexpr double WeightAt = 205;

QPolygonF casing()
{
    return QPolygonF{{QPointF(262, 58), QPointF(338, 58), QPointF(492, 572), QPointF(108, 572)}};
}

void body(QPainter& p)
{
    // casing
    QLinearGradient wood(108, 0, 492, 0);
    wood.setColorAt(0, QColor(0x0B, 0x12, 0x0B));
    wood.setColorAt(0.5, QColor(0x18, 0x24, 0x18));
    wood.setColorAt(1, QColor(0x0B, 0x12, 0x0B));
    p.setPen(QPen(PanelEdge, 2.0));
    p.setBrush(wood);
    p.drawPolygon(casing());
    // cap
    p.setBrush(QColor(0x1E, 0x2C, 0x1E));
    p.drawRoundedRect(QRectF(254, 46, 92, 16), 6, 6);
    // base
    QLinearGradient base(0, 566, 0, 592);
    base.setColorAt(0, QColor(0x22, 0x30, 0x22));
    base.setColorAt(1, QColor(0x0A, 0x10, 0x0A));
    p.setBrush(base);
    p.drawRoundedRect(QRectF(92, 566, 416, 24), 6, 6);

    // the slot the rod swings in front of, with a tempo scale
    p.setPen(QPen(QColor(0x06, 0x0A, 0x06), 1));
    p.setBrush(QColor(0x05, 0x08, 0x05));
    p.drawRoundedRect(QRectF(282, 82, 36, 292), 8, 8);
    p.setFont(uiFont(9));
    const int marks[] = {40, 60, 80, 100, 120, 144, 168, 208};
    for (int i = 0; i < 8; ++i) {
        const double y = 100 + i * 34;
        p.setPen(QPen(GreenDim, 1.2));
        p.drawLine(QPointF(286, y), QPointF(294, y));
        p.drawLine(QPointF(306, y), QPointF(314, y));
        p.setPen(QColor(0x3C, 0x9A, 0x3C));
        p.drawText(QRectF(224, y - 7, 56, 14), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(marks[i]));
    }

    // face plate for the counter: the counter panel stands here, so the plate
    // is kept plain
    p.setPen(QPen(GreenDim, 1.4));
    p.setBrush(QColor(0x03, 0x06, 0x03));
    p.drawRoundedRect(QRectF(176, 412, 248, 90), 12, 12);

    // arc of the swing
    p.setPen(QPen(QColor(0x1C, 0x4C, 0x1C), 1.2, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    const double r = RodLen + 10;
    p.drawArc(QRectF(Pivot.x() - r, Pivot.y() - r, 2 * r, 2 * r), int((90 - Amp) * 16),
              int(2 * Amp * 16));
}

void rod(QPainter& p, double deg, bool click)
{
    const double a = deg * Pi / 180;
    const QPointF dir(std::sin(a), -std::cos(a));
    const QPointF tip = Pivot + dir * RodLen;
    const QPointF w = Pivot + dir * WeightAt;
    if (click) glow(p, tip, 46, Lime, 0.7);
    p.setPen(QPen(QColor(0, 255, 0, 60), 8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(Pivot, tip);
    p.setPen(QPen(QColor(0xC8, 0xFF, 0xC0), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(Pivot, tip);
    // sliding weight
    p.save();
    p.translate(w);
    p.rotate(deg);
    QLinearGradient g(-20, 0, 20, 0);
    g.setColorAt(0, QColor(0x10, 0x80, 0x10));
    g.setColorAt(0.45, Lime);
    g.setColorAt(1, QColor(0x10, 0x80, 0x10));
    p.setPen(QPen(QColor(0x04, 0x30, 0x04), 1.2));
    p.setBrush(g);
    QPolygonF weight{{QPointF(-13, -16), QPointF(13, -16), QPointF(20, 16), QPointF(-20, 16)}};
    p.drawPolygon(weight);
    p.restore();
    // pivot
    p.setPen(QPen(PanelEdge, 1.5));
    p.setBrush(QColor(0x30, 0x50, 0x30));
    p.drawEllipse(Pivot, 8, 8);
}

double angleOf(int f)
{
    return -Amp * std::cos(Pi * f / 12.0);
}

void blank(QPainter& p)
{
    body(p);
    rod(p, 0, false);
}

void frame(QPainter& p, int f)
{
    body(p);
    rod(p, angleOf(f), f == 0 || f == 12);
}

} // namespace metronome

struct SkinDef
{
    const char* name;
    void (*blank)(QPainter&);
    void (*frame)(QPainter&, int);
    int frames;
};

const SkinDef Skins[] = {
    {"radar", radar::blank, radar::frame, 12},
    {"infinity", infinity::blank, infinity::frame, 12},
    {"ball", ball::blank, ball::frame, 12},
    {"metronome", metronome::blank, metronome::frame, 13},
};

// A preview is the blank picture with one frame's region laid over it, scaled.
QImage preview(const SkinDef& s, int f, QRect region)
{
    QImage img = skinImage(s.blank);
    const QImage fr = skinImage([&](QPainter& p) { s.frame(p, f); });
    {
        QPainter p(&img);
        p.drawImage(region, fr, region);
    }
    QImage small = img.scaledToWidth(SkinPreviewSize.width(), Qt::SmoothTransformation);
    QPainter p(&small);
    p.setPen(QPen(PanelEdge, 1));
    p.drawRect(QRect(0, 0, 99, 99));
    return small;
}

void makeSkins()
{
    for (const SkinDef& s : Skins) {
        const QString n = QString::fromLatin1(s.name);
        saveSkin(skinImage(s.blank), n, n + ".bmp");
        for (int f = 0; f < s.frames; ++f)
            saveSkin(skinImage([&](QPainter& p) { s.frame(p, f); }), n,
                     n + QString::number(f) + ".bmp");
    }
    savePng(preview(Skins[0], 2, {300, 0, 300, 300}), SkinPreviewFiles[0]);
    savePng(preview(Skins[1], 3, {300, 100, 300, 500}), SkinPreviewFiles[1]);
    savePng(preview(Skins[2], 5, {220, 0, 180, 600}), SkinPreviewFiles[2]);
    savePng(preview(Skins[3], 3, {0, 0, 600, 600}), SkinPreviewFiles[3]);
}

// ====================================================================== icons
// Glyphs are drawn in a 24 x 24 box and scaled to where they are used.

enum class Glyph
{
    Play,
    Stop,
    Pause,
    Next,
    Gear,
    Note,
    Modes,
    Help,
    About,
    Power,
    Plus,
    Minus,
    Folder,
    Disk,
    SpeakerOn,
    SpeakerOff,
    Sync,
    Text,
    Wait,
    Up,
    Down,
    Pencil,
    Sheet,
    Minimize,
    Close
};

void speaker(QPainter& p, QColor c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    QPolygonF s{{QPointF(2, 9), QPointF(7, 9), QPointF(13, 3.5), QPointF(13, 20.5), QPointF(7, 15),
                 QPointF(2, 15)}};
    p.drawPolygon(s);
}

void drawGlyph(QPainter& p, Glyph g, QRectF box, QColor c, QColor accent = Warn)
{
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / 24.0, box.height() / 24.0);
    const QPen line(c, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    switch (g) {
    case Glyph::Play:
        p.drawPolygon(QPolygonF{{QPointF(6, 3.5), QPointF(20, 12), QPointF(6, 20.5)}});
        break;
    case Glyph::Stop:
        p.drawRoundedRect(QRectF(5, 5, 14, 14), 2, 2);
        break;
    case Glyph::Pause:
        p.drawRoundedRect(QRectF(5.5, 4, 4.5, 16), 1, 1);
        p.drawRoundedRect(QRectF(14, 4, 4.5, 16), 1, 1);
        break;
    case Glyph::Next:
        p.drawPolygon(QPolygonF{{QPointF(2, 4), QPointF(11, 12), QPointF(2, 20)}});
        p.drawPolygon(QPolygonF{{QPointF(10, 4), QPointF(19, 12), QPointF(10, 20)}});
        p.drawRect(QRectF(19, 4, 3, 16));
        break;
    case Glyph::Gear: {
        QPainterPath gear;
        constexpr int Teeth = 8;
        for (int i = 0; i < Teeth * 2; ++i) {
            const double a0 = (i - 0.5) * Pi / Teeth, a1 = (i + 0.5) * Pi / Teeth;
            const double r = (i % 2 == 0) ? 11 : 8;
            const QPointF q0(12 + r * std::cos(a0), 12 + r * std::sin(a0));
            const QPointF q1(12 + r * std::cos(a1), 12 + r * std::sin(a1));
            if (i == 0)
                gear.moveTo(q0);
            else
                gear.lineTo(q0);
            gear.lineTo(q1);
        }
        gear.closeSubpath();
        QPainterPath hole;
        hole.addEllipse(QPointF(12, 12), 3.6, 3.6);
        p.drawPath(gear.subtracted(hole));
        break;
    }
    case Glyph::Note:
        p.drawEllipse(QPointF(7, 18), 4.2, 3.2);
        p.drawEllipse(QPointF(18, 16), 4.2, 3.2);
        p.setPen(line);
        p.drawLine(QPointF(10.8, 18), QPointF(10.8, 5));
        p.drawLine(QPointF(21.8, 16), QPointF(21.8, 3));
        p.setPen(QPen(c, 3.2, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(10.8, 5.5), QPointF(21.8, 3.5));
        break;
    case Glyph::Modes:
        for (int i = 0; i < 3; ++i) {
            p.drawEllipse(QPointF(4.5, 6 + 6 * i), 2.2, 2.2);
            p.drawRoundedRect(QRectF(9, 4.8 + 6 * i, 13, 2.6), 1.2, 1.2);
        }
        break;
    case Glyph::Help:
    case Glyph::About: {
        p.setPen(line);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(12, 12), 10, 10);
        p.setPen(c);
        QFont f = uiFont(15, true);
        p.setFont(f);
        p.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter,
                   g == Glyph::Help ? QStringLiteral("?") : QStringLiteral("i"));
        break;
    }
    case Glyph::Power:
        p.setPen(line);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3, 4, 18, 18), 130 * 16, 280 * 16);
        p.drawLine(QPointF(12, 2.5), QPointF(12, 12));
        break;
    case Glyph::Plus:
        p.drawRoundedRect(QRectF(10, 3, 4, 18), 1, 1);
        p.drawRoundedRect(QRectF(3, 10, 18, 4), 1, 1);
        break;
    case Glyph::Minus:
        p.drawRoundedRect(QRectF(3, 10, 18, 4), 1, 1);
        break;
    case Glyph::Folder: {
        QPainterPath f;
        f.moveTo(2, 6);
        f.lineTo(9, 6);
        f.lineTo(11, 8.5);
        f.lineTo(22, 8.5);
        f.lineTo(22, 20);
        f.lineTo(2, 20);
        f.closeSubpath();
        p.drawPath(f);
        p.setBrush(c.darker(170));
        p.drawPolygon(
            QPolygonF{{QPointF(5, 11.5), QPointF(23.5, 11.5), QPointF(21, 20), QPointF(2, 20)}});
        break;
    }
    case Glyph::Disk: {
        QPainterPath d;
        d.addRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
        QPainterPath cut;
        cut.addRect(QRectF(7, 3, 10, 6));
        cut.addRect(QRectF(6.5, 12.5, 11, 8.5));
        p.drawPath(d.subtracted(cut));
        p.drawRect(QRectF(13, 4, 2.5, 4));
        break;
    }
    case Glyph::SpeakerOn:
        speaker(p, c);
        p.setPen(line);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(9, 7, 10, 10), -50 * 16, 100 * 16);
        p.drawArc(QRectF(6, 3, 17, 18), -50 * 16, 100 * 16);
        break;
    case Glyph::SpeakerOff:
        speaker(p, c);
        p.setPen(QPen(accent, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 8.5), QPointF(22.5, 15.5));
        p.drawLine(QPointF(22.5, 8.5), QPointF(16, 15.5));
        break;
    case Glyph::Sync: {
        p.setPen(line);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4, 4, 16, 16), 30 * 16, 140 * 16);
        p.drawArc(QRectF(4, 4, 16, 16), 210 * 16, 140 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawPolygon(QPolygonF{{QPointF(16.5, 1.8), QPointF(22.5, 7.5), QPointF(14.5, 9.5)}});
        p.drawPolygon(QPolygonF{{QPointF(7.5, 22.2), QPointF(1.5, 16.5), QPointF(9.5, 14.5)}});
        break;
    }
    case Glyph::Text:
        p.drawRect(QRectF(3, 3, 18, 3.5));
        p.drawRect(QRectF(10.25, 3, 3.5, 18));
        break;
    case Glyph::Wait:
        p.drawEllipse(QPointF(12, 14), 2.6, 2.6);
        p.drawPolygon(QPolygonF{{QPointF(12, 14), QPointF(8, 23), QPointF(16, 23)}});
        p.setPen(line);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(6.5, 8.5, 11, 11), 30 * 16, 120 * 16);
        p.drawArc(QRectF(2, 4, 20, 20), 35 * 16, 110 * 16);
        break;
    case Glyph::Up:
        p.drawPolygon(QPolygonF{{QPointF(12, 3), QPointF(21, 13), QPointF(3, 13)}});
        p.drawRect(QRectF(9, 12, 6, 9));
        break;
    case Glyph::Down:
        p.drawPolygon(QPolygonF{{QPointF(12, 21), QPointF(21, 11), QPointF(3, 11)}});
        p.drawRect(QRectF(9, 3, 6, 9));
        break;
    case Glyph::Pencil:
        p.save();
        p.translate(12, 12);
        p.rotate(45);
        p.drawRect(QRectF(-3, -11, 6, 15));
        p.drawPolygon(QPolygonF{{QPointF(-3, 5), QPointF(3, 5), QPointF(0, 11)}});
        p.restore();
        break;
    case Glyph::Sheet:
        p.setPen(QPen(c, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(4, 2, 16, 20), 2, 2);
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(7.5, 7 + 4 * i), QPointF(16.5, 7 + 4 * i));
        break;
    case Glyph::Minimize:
        p.drawRoundedRect(QRectF(5, 15, 14, 3), 1, 1);
        break;
    case Glyph::Close:
        p.setPen(QPen(c, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 6), QPointF(18, 18));
        p.drawLine(QPointF(18, 6), QPointF(6, 18));
        break;
    }
    p.restore();
}

void panelBackground(QPainter& p, QRectF r, double radius = 10)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, PanelTop);
    g.setColorAt(1, PanelBottom);
    p.setPen(QPen(PanelEdge, 1.2));
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(0.6, 0.6, -0.6, -0.6), radius, radius);
}

void button(QPainter& p, QRectF r, double radius = 6, bool lit = false)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, lit ? QColor(0x1E, 0x4A, 0x1E) : ButtonTop);
    g.setColorAt(1, lit ? QColor(0x0C, 0x26, 0x0C) : ButtonBottom);
    p.setPen(QPen(lit ? Lime : ButtonEdge, 1.1));
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(0.55, 0.55, -0.55, -0.55), radius, radius);
    // top highlight
    p.setPen(QPen(QColor(255, 255, 255, 18), 1));
    p.drawLine(QPointF(r.left() + radius, r.top() + 1.6),
               QPointF(r.right() - radius, r.top() + 1.6));
}

void labelledButton(QPainter& p, QRect r, Glyph g, const QString& text, bool lit = false)
{
    button(p, r, 7, lit);
    drawGlyph(p, g, QRectF(r.left() + 10, r.center().y() - 9.5, 20, 20), lit ? Lime : LimeSoft);
    p.setFont(uiFont(12, true));
    p.setPen(lit ? Lime : TextLight);
    p.drawText(QRectF(r.left() + 40, r.top(), r.width() - 44, r.height()),
               Qt::AlignLeft | Qt::AlignVCenter, text);
}

void wordmark(QPainter& p, QRectF r, int px)
{
    QFont f = uiFont(px, true);
    f.setLetterSpacing(QFont::AbsoluteSpacing, px * 0.18);
    p.setFont(f);
    p.setPen(Lime);
    p.drawText(r, Qt::AlignCenter, QStringLiteral("VELMORA"));
}

void makeMenu()
{
    QImage img = canvas(MenuPanelSize, Qt::black);
    QPainter p(&img);
    aa(p);
    panelBackground(p, QRectF(0, 0, 150, 340));
    wordmark(p, QRectF(0, 10, 150, 22), 15);
    p.setPen(QPen(GreenDim, 1));
    p.drawLine(QPointF(22, 37.5), QPointF(128, 37.5));
    struct Item
    {
        MenuButton b;
        Glyph g;
        const char* text;
    };
    const Item items[] = {
        {MenuButton::Play, Glyph::Play, "Play"},
        {MenuButton::Settings, Glyph::Gear, "Settings"},
        {MenuButton::SongEditor, Glyph::Note, "Song editor"},
        {MenuButton::Modes, Glyph::Modes, "Modes"},
        {MenuButton::Help, Glyph::Help, "Help"},
        {MenuButton::About, Glyph::About, "About"},
        {MenuButton::Exit, Glyph::Power, "Exit"},
    };
    for (const Item& it : items)
        labelledButton(p, menuButtonRect(it.b), it.g, QString::fromLatin1(it.text));
    p.end();
    savePng(img, MenuImageFile);

    // The stop face is drawn in menu coordinates and cut out, so that it lines
    // up pixel for pixel with the play button it covers.
    QImage full = canvas(MenuPanelSize, Qt::black);
    {
        QPainter q(&full);
        aa(q);
        panelBackground(q, QRectF(0, 0, 150, 340));
        labelledButton(q, StopImageRect, Glyph::Stop, QStringLiteral("Stop"), true);
    }
    savePng(full.copy(StopImageRect), StopImageFile);
}

void smallButton(QPainter& p, QRect r, Glyph g)
{
    button(p, r, 4);
    const double side = std::min(r.width(), r.height()) - 7.0;
    drawGlyph(p, g,
              QRectF(r.center().x() + 0.5 - side / 2, r.center().y() + 0.5 - side / 2, side, side),
              LimeSoft);
}

void makePlaylist()
{
    QImage img = canvas(PlaylistPanelSize, Qt::black);
    QPainter p(&img);
    aa(p);
    panelBackground(p, QRectF(0, 0, 150, 340));
    smallButton(p, PlaylistPlayRect, Glyph::Play);
    smallButton(p, PlaylistPauseRect, Glyph::Pause);
    smallButton(p, PlaylistStopRect, Glyph::Stop);
    smallButton(p, PlaylistNextRect, Glyph::Next);
    smallButton(p, PlaylistAddRect, Glyph::Plus);
    smallButton(p, PlaylistRemoveRect, Glyph::Minus);
    smallButton(p, PlaylistLoadRect, Glyph::Folder);
    smallButton(p, PlaylistSaveRect, Glyph::Disk);
    // well for the list
    p.setPen(QPen(GreenDim, 1.2));
    p.setBrush(QColor(0x04, 0x07, 0x04));
    p.drawRoundedRect(QRectF(PlayListRect).adjusted(-2.5, -2.5, 0.5, 2.5), 4, 4);
    // caption down the left edge
    p.save();
    p.translate(18, PlayListRect.center().y());
    p.rotate(-90);
    QFont f = uiFont(12, true);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    p.setFont(f);
    p.setPen(LimeSoft);
    p.drawText(QRectF(-120, -9, 240, 18), Qt::AlignCenter, QStringLiteral("PLAYLIST"));
    p.restore();
    p.end();
    savePng(img, PlaylistImageFile);
}

void makeSys()
{
    QImage img = canvas(SysPanelSize, Qt::black);
    QPainter p(&img);
    aa(p);
    panelBackground(p, QRectF(0, 0, 101, 34), 8);
    smallButton(p, SysMinRect, Glyph::Minimize);
    button(p, SysCloseRect, 4);
    drawGlyph(p, Glyph::Close, QRectF(SysCloseRect).adjusted(7, 4, -7, -4), Warn);
    p.end();
    savePng(img, SysImageFile);
}

void makeCorner()
{
    const auto square = [](Glyph g, QColor c) {
        QImage img = canvas(SoundSize, Qt::black);
        QPainter p(&img);
        aa(p);
        panelBackground(p, QRectF(0, 0, 49, 48), 9);
        drawGlyph(p, g, QRectF(10.5, 10, 28, 28), c);
        return img;
    };
    savePng(square(Glyph::SpeakerOn, Lime), SoundOnFile);
    savePng(square(Glyph::SpeakerOff, QColor(0x70, 0x80, 0x70)), SoundOffFile);

    QImage sync = canvas(SyncSize, Qt::black);
    {
        QPainter p(&sync);
        aa(p);
        panelBackground(p, QRectF(0, 0, 81, 48), 9);
        glow(p, QPointF(22, 24), 20, Lime, 0.25);
        drawGlyph(p, Glyph::Sync, QRectF(9, 11, 26, 26), Lime);
        p.setFont(uiFont(13, true));
        p.setPen(Lime);
        p.drawText(QRectF(38, 0, 40, 48), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("SYNC"));
    }
    savePng(sync, SyncImageFile);
}

void makeTempoPanel()
{
    // Only a vertical gradient in the stretchable middle, so the window may tile
    // or stretch those columns.
    QImage img = canvas(TempoPanelSize, Qt::black);
    QPainter p(&img);
    aa(p);
    panelBackground(p, QRectF(0, 0, 505, 81), 12);
    p.setPen(QPen(QColor(0x1C, 0x3C, 0x1C), 1));
    p.drawLine(QPointF(12, 77.5), QPointF(493, 77.5));
    p.end();
    savePng(img, TempoPanelFile);
}

void makeMenuIcons()
{
    const QColor c(0x1F, 0xA8, 0x1F); // reads on light and dark menus alike
    const Glyph glyphs[9] = {Glyph::Up,         Glyph::Down,      Glyph::Pencil,
                             Glyph::Sheet,      Glyph::Text,      Glyph::Sync,
                             Glyph::SpeakerOff, Glyph::SpeakerOn, Glyph::Wait};
    for (int i = 0; i < 9; ++i) {
        QImage img = canvas(PopupIconSize);
        QPainter p(&img);
        aa(p);
        drawGlyph(p, glyphs[i], QRectF(0, 0, 16, 16), c);
        p.end();
        savePng(img, PopupImageFiles[std::size_t(i)]);
    }
    // Row images of the sky-blue playlist: black notes, a blue arrow.
    QImage notes = canvas(RowIconSize);
    {
        QPainter p(&notes);
        aa(p);
        drawGlyph(p, Glyph::Note, QRectF(1, 0, 14, 14), Qt::black);
    }
    savePng(notes, RowIconFiles[0]);
    QImage arrow = canvas(RowIconSize);
    {
        QPainter p(&arrow);
        aa(p);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x10, 0x3C, 0xD0));
        p.drawPolygon(QPolygonF{{QPointF(1, 5), QPointF(8, 5), QPointF(8, 1.5), QPointF(15, 7),
                                 QPointF(8, 12.5), QPointF(8, 9), QPointF(1, 9)}});
    }
    savePng(arrow, RowIconFiles[1]);
}

QImage appIcon(int size)
{
    QImage img = canvas(QSize(size, size));
    QPainter p(&img);
    aa(p);
    p.scale(size / 256.0, size / 256.0);
    QLinearGradient bg(0, 0, 0, 256);
    bg.setColorAt(0, QColor(0x18, 0x22, 0x18));
    bg.setColorAt(1, QColor(0x04, 0x06, 0x04));
    p.setPen(QPen(Lime, 5));
    p.setBrush(bg);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);
    // metronome silhouette
    p.setPen(QPen(QColor(0x3A, 0xA0, 0x3A), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0x0E, 0x1E, 0x0E));
    p.drawPolygon(
        QPolygonF{{QPointF(108, 44), QPointF(148, 44), QPointF(206, 212), QPointF(50, 212)}});
    glow(p, QPointF(184, 56), 34, Lime, 0.6);
    p.setPen(QPen(Lime, 10, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(128, 180), QPointF(184, 56));
    p.setPen(Qt::NoPen);
    p.setBrush(Lime);
    p.save();
    p.translate(QPointF(128, 180) + (QPointF(184, 56) - QPointF(128, 180)) * 0.62);
    p.rotate(24.3);
    p.drawPolygon(
        QPolygonF{{QPointF(-13, -14), QPointF(13, -14), QPointF(19, 14), QPointF(-19, 14)}});
    p.restore();
    p.setBrush(QColor(0x3A, 0xA0, 0x3A));
    p.drawEllipse(QPointF(128, 180), 9, 9);
    return img;
}

void makeAppIcons()
{
    savePng(appIcon(256), AppIconFile);
    savePng(appIcon(64), AppIcon64File);

    QImage strip = canvas(SettingsStripSize, Qt::black);
    QPainter p(&strip);
    aa(p);
    QLinearGradient g(0, 0, 0, 343);
    g.setColorAt(0, QColor(0x14, 0x24, 0x14));
    g.setColorAt(1, QColor(0x03, 0x05, 0x03));
    p.fillRect(QRect(0, 0, 100, 343), g);
    // pendulum arcs fading downwards
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 6; ++i) {
        p.setPen(QPen(QColor(0, 255, 0, 70 - 10 * i), 1.4));
        const double r = 60 + 26 * i;
        p.drawArc(QRectF(50 - r, 330 - r, 2 * r, 2 * r), 62 * 16, 56 * 16);
    }
    p.save();
    p.translate(50, 250);
    p.rotate(-90);
    QFont f = uiFont(20, true);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 5);
    p.setFont(f);
    p.setPen(Lime);
    p.drawText(QRectF(-80, -14, 160, 28), Qt::AlignCenter, QStringLiteral("VELMORA"));
    p.restore();
    p.setPen(QPen(PanelEdge, 1));
    p.drawLine(QPointF(99.5, 0), QPointF(99.5, 343));
    p.end();
    savePng(strip, SettingsStripFile);
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora_artgen <output folder>\n");
        return 2;
    }
    outRoot = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    try {
        makeSkins();
        makeMenu();
        makePlaylist();
        makeSys();
        makeCorner();
        makeTempoPanel();
        makeMenuIcons();
        makeAppIcons();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velmora_artgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
