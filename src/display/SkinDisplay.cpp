#include "SkinDisplay.h"

#include <QImageReader>
#include <QPainter>

#include <cstring>
#include <utility>

namespace velmora {

namespace {

constexpr QRect UpperLeft(0, 0, 300, 300);
constexpr QRect UpperRight(300, 0, 300, 300);
constexpr QRect LowerRight(300, 300, 300, 300);
constexpr QRect LowerLeft(0, 300, 300, 300);
constexpr QRect Whole(0, 0, SkinDisplay::Size, SkinDisplay::Size);

// Radar: the quadrant the beam has just left goes back to the blank picture on
// the first tick in the next one, so only one quadrant ever shows light.
struct RadarStep
{
    QRect reset; // empty: no reset on this tick
    QRect copy;
};
constexpr std::array<RadarStep, SkinDisplay::Frames> RadarSteps{{
    {QRect(), UpperLeft},
    {UpperLeft, UpperRight},
    {QRect(), UpperRight},
    {QRect(), UpperRight},
    {UpperRight, LowerRight},
    {QRect(), LowerRight},
    {QRect(), LowerRight},
    {LowerRight, LowerLeft},
    {QRect(), LowerLeft},
    {QRect(), LowerLeft},
    {LowerLeft, UpperLeft},
    {QRect(), UpperLeft},
}};

// Infinity never touches the top 100 rows; its loops live in one half each.
constexpr QRect InfinityWide(0, 100, 600, 500);
constexpr QRect InfinityRight(300, 100, 300, 500);
constexpr QRect InfinityLeft(0, 100, 300, 500);

constexpr QRect infinityRegion(unsigned frame)
{
    if (frame <= 1 || frame == 6) return InfinityWide;
    return frame <= 5 ? InfinityRight : InfinityLeft;
}

// Ball: the floor block around the impact, then the strip the ball flies in.
constexpr QRect BallBlock(100, 300, 400, 300);
constexpr QRect BallStrip(220, 0, 180, 600);

// A caption that is not a number counts as 0, so a half-typed or empty counter
// cannot stop the animation.
int numberIn(const QString& text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? n : 0;
}

QImage blackPicture()
{
    QImage img(SkinDisplay::Size, SkinDisplay::Size, QImage::Format_RGB32);
    img.fill(Qt::black);
    return img;
}

} // namespace

SkinDisplay::SkinDisplay(QString appFolder, QObject* parent)
    : QObject(parent), appFolder_(std::move(appFolder)), blank_(blackPicture()),
      display_(blackPicture())
{
    for (QImage& f : frames_)
        f = blackPicture();
}

SkinDisplay::Skin SkinDisplay::kindOf(const QString& name)
{
    // Exact comparison on purpose: "Radar" is some other skin and gets whole
    // frames.
    if (name == QLatin1String("radar")) return Skin::Radar;
    if (name == QLatin1String("infinity")) return Skin::Infinity;
    if (name == QLatin1String("ball")) return Skin::Ball;
    if (name == QLatin1String("metronome")) return Skin::Metronome;
    return Skin::Other;
}

std::optional<int> SkinDisplay::counterTopFor(const QString& name, int counterHeight)
{
    switch (kindOf(name)) {
    case Skin::Radar:
        return (Size - counterHeight) / 2;
    case Skin::Infinity:
        return 400;
    case Skin::Ball:
        return 10;
    case Skin::Metronome:
        return 420;
    case Skin::Other:
        break;
    }
    return std::nullopt;
}

bool SkinDisplay::loadPicture(const QString& path, QImage& into) const
{
    QImageReader reader(path);
    QImage img = reader.read();
    if (img.isNull()) return false;
    img = img.convertToFormat(QImage::Format_RGB32);
    if (img.size() != QSize(Size, Size)) {
        // Region copies work in 600 x 600 coordinates; a picture of another size
        // is placed at the top-left of a black one rather than read out of range.
        QImage fitted = blackPicture();
        QPainter p(&fitted);
        p.drawImage(0, 0, img);
        p.end();
        img = fitted;
    }
    into = img;
    return true;
}

SkinLoadResult SkinDisplay::LoadSkin(const QString& name, int counterHeight)
{
    const QString folder = appFolder_ + QStringLiteral("/skins/") + name + QLatin1Char('/');
    // Files are read one by one straight into the held pictures; a failure stops
    // there and leaves the later pictures from the previous skin.
    for (int i = 0; i < Frames; ++i)
        if (!loadPicture(folder + name + QString::number(i) + QStringLiteral(".bmp"),
                         frames_[std::size_t(i)]))
            return {};
    if (!loadPicture(folder + name + QStringLiteral(".bmp"), blank_)) return {};
    if (kindOf(name) == Skin::Metronome &&
        !loadPicture(folder + QStringLiteral("metronome12.bmp"), frames_[Frames]))
        return {};

    BlankRadar();
    skinName_ = name;
    skin_ = kindOf(name);
    return {true, counterTopFor(name, counterHeight)};
}

void SkinDisplay::copy(const QImage& from, const QRect& r)
{
    // Straight row copies: both pictures are RGB32 of the same size, and this
    // runs twelve times a beat.
    const qsizetype bytes = qsizetype(r.width()) * 4;
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::memcpy(display_.scanLine(y) + r.left() * 4, from.constScanLine(y) + r.left() * 4,
                    std::size_t(bytes));
}

void SkinDisplay::DrawRadar(unsigned frame, const DrawState& state)
{
    lastDrawnTick_ = int(frame);
    if (state.textOnly) return;
    // Callers pass a tick count modulo 12; anything else would index past the
    // frames, so it is folded back into the beat.
    frame %= Frames;

    if (state.syncClient) {
        copy(frames_[frame], Whole);
        emit changed(Whole);
        return;
    }

    QRect changedRect;
    switch (skin_) {
    case Skin::Radar: {
        const RadarStep& step = RadarSteps[frame];
        if (!step.reset.isNull()) {
            copy(blank_, step.reset);
            changedRect = step.reset;
        }
        copy(frames_[frame], step.copy);
        changedRect |= step.copy;
        break;
    }
    case Skin::Infinity:
        changedRect = infinityRegion(frame);
        copy(frames_[frame], changedRect);
        break;
    case Skin::Ball:
        changedRect = frame <= 1 ? BallBlock : BallStrip;
        copy(frames_[frame], changedRect);
        break;
    case Skin::Metronome: {
        // The pendulum swings one way per beat: K counts beats from bar 0, and
        // on odd beats the frames run backwards from the far end (frame 12).
        // With an odd number of beats per bar the direction carries on across
        // the bar line.
        const long long k =
            numberIn(state.beatText) + (long long)numberIn(state.barText) * state.beatsPerBar;
        const unsigned shown = k % 2 == 0 ? frame : Frames - frame;
        copy(frames_[shown], Whole);
        changedRect = Whole;
        break;
    }
    case Skin::Other:
        copy(frames_[frame], Whole);
        changedRect = Whole;
        break;
    }
    emit changed(changedRect);
}

void SkinDisplay::BlankRadar()
{
    copy(blank_, Whole);
    emit changed(Whole);
}

} // namespace velmora
