#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <string_view>

namespace velmora {

// The 47 General MIDI percussion sounds as the user sees them: list position
// 0..46, generator instrument value 128..174, percussion key 35..81.
// The names are the list texts exactly, including the trailing blank of
// "Vibraslap " that song files carry.
class PercussionTable
{
public:
    static constexpr int Count = 47;
    static constexpr int FirstValue = 128;
    static constexpr int DefaultPosition = 2; // "Side Stick"

    static constexpr std::array<std::string_view, Count> Names = {
        "Acoustic Bass Drum", "Bass Drum 1",   "Side Stick",     "Acoustic Snare", "Hand Clap",
        "Electric Snare",     "Low Floor Tom", "Closed Hi Hat",  "High Floor Tom", "Pedal Hi Hat",
        "Low Tom",            "Open Hi Hat",   "Low Mid Tom",    "Hi Mid Tom",     "Crash Cymbal 1",
        "High Tom",           "Ride Cymbal 1", "Chinese Cymbal", "Ride Bell",      "Tambourine",
        "Splash Cymbal",      "Cowbell",       "Crash Cymbal 2", "Vibraslap ",     "Ride Cymbal 2",
        "Hi Bongo",           "Low Bongo",     "Mute Hi Conga",  "Open Hi Conga",  "Low Conga",
        "High Timbale",       "Low Timbale",   "High Agogo",     "Low Agogo",      "Cabasa",
        "Maracas",            "Short Whistle", "Long Whistle",   "Short Guiro",    "Long Guiro",
        "Claves",             "Hi Wood Block", "Low Wood Block", "Mute Cuica",     "Open Cuica",
        "Mute Triangle",      "Open Triangle"};

    // Instrument value at a list position; nothing for a position outside 0..46.
    static std::optional<int> valueOf(int position);

    // First position whose name equals the text, ASCII letters compared without
    // regard to case, everything else (blanks included) exactly.
    static std::optional<int> positionOf(QStringView name);

    // Name of the first position carrying this instrument value.
    static std::optional<QString> nameOf(int value);

    static QString nameAt(int position);
};

} // namespace velmora
