#pragma once

// The beat display: a 600 x 600 picture that steps through twelve frames per
// beat. It holds a skin's pictures in memory and, on each tick, copies only the
// part of a frame that changes for the four skins it knows by name.

#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>

#include <array>
#include <optional>

namespace velmora {

// What DrawRadar reads from the rest of the main window at the moment it runs.
struct DrawState
{
    bool textOnly = false;   // the TextOnly item of the mode menu is checked
    bool syncClient = false; // PlayMode is 2: following a sync server
    // Only the "metronome" skin reads these: the counter captions as they stand
    // and the beats-per-bar value (Up).
    QString barText;
    QString beatText;
    int beatsPerBar = 4;
};

struct SkinLoadResult
{
    bool loaded = false;
    // Where the counter panel goes, relative to the display's top edge; empty
    // when the counter stays where it is (load failed, or a skin without a
    // place of its own). The caller skips this while text-only mode is on.
    std::optional<int> counterTop;
};

class SkinDisplay : public QObject
{
    Q_OBJECT

public:
    static constexpr int Size = 600;
    static constexpr int Frames = 12;

    // appFolder is the folder that holds "skins" (the executable's folder).
    explicit SkinDisplay(QString appFolder, QObject* parent = nullptr);

    // Reads skins/<name>/<name>0..11.bmp, <name>.bmp and, for "metronome",
    // metronome12.bmp. Stops silently at the first file that is missing or not
    // a picture: pictures read before it are kept, the rest stay as they were,
    // the display is left alone and the skin name does not change.
    // counterHeight is the counter panel's height, for centring it on "radar".
    // Centring the display on the screen beforehand, and leaving the counter
    // alone while text-only mode is on, are the window's part.
    SkinLoadResult LoadSkin(const QString& name, int counterHeight);

    // Shows position `frame` (0..11) of the current beat.
    void DrawRadar(unsigned frame, const DrawState& state);

    // Copies the whole blank picture onto the display.
    void BlankRadar();

    int LastDrawnTick() const { return lastDrawnTick_; }
    // The sync client records the position it has caught up with.
    void setLastDrawnTick(int tick) { lastDrawnTick_ = tick; }

    const QString& currentSkin() const { return skinName_; }
    // The window paints from this reference; holding a copy of it would make
    // every tick copy the whole picture before drawing (implicit sharing).
    const QImage& image() const { return display_; }

    // Counter place for a skin name (exact, case-sensitive), relative to the
    // display's top; empty for names without one.
    static std::optional<int> counterTopFor(const QString& name, int counterHeight);

signals:
    // The part of image() that changed; the widget repaints just that.
    void changed(const QRect& rect);

private:
    enum class Skin
    {
        Radar,
        Infinity,
        Ball,
        Metronome,
        Other
    };
    static Skin kindOf(const QString& name);
    bool loadPicture(const QString& path, QImage& into) const;
    void copy(const QImage& from, const QRect& r);

    QString appFolder_;
    QString skinName_ = QStringLiteral("radar");
    Skin skin_ = Skin::Radar;
    int lastDrawnTick_ = -1;
    std::array<QImage, Frames + 1> frames_; // 12 is the metronome's backward end
    QImage blank_;
    QImage display_;
};

} // namespace velmora
