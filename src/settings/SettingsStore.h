#pragma once

#include "SettingsValues.h"

#include <QSettings>
#include <QString>

#include <memory>
#include <optional>

namespace velmora {

// Reads and writes the thirteen settings through a QSettings that the caller
// opens: the application passes the per-user store of "Quorvane"/"Velmora",
// tests pass an INI file in a temporary folder.
//
// Values that are missing keep their defaults. A value that cannot be read as
// its type (a font size of "abc", a colour of "aqua") is treated as missing,
// because the store may have been edited by hand and one bad line must not
// cost the user the other twelve. Positions are NOT range-checked here: the
// dialog's lists and sliders decide what an out-of-range position means.
class SettingsStore
{
public:
    // Value names in the store, in reading and writing order.
    static constexpr const char* FontName = "FontName";
    static constexpr const char* FontSize = "FontSize";
    static constexpr const char* FontColor = "FontColor";
    static constexpr const char* FontStyle = "FontStyle";
    static constexpr const char* AutoReduce = "AutoReduce";
    static constexpr const char* ShowTips = "ShowTips";
    static constexpr const char* Device = "Device";
    static constexpr const char* Instrument = "Instrument";
    static constexpr const char* AutoHide = "AutoHide";
    static constexpr const char* BeatVolume = "BeatVolume";
    static constexpr const char* BarVolume = "BarVolume";
    static constexpr const char* Skin = "Skin";
    static constexpr const char* DoubleFont = "DoubleFont";

    // The application's store: the user's configuration folder, organisation
    // "Quorvane", application "Velmora" (~/.config/Quorvane/Velmora.conf).
    static std::unique_ptr<QSettings> OpenUserStore();

    static SettingsValues Load(QSettings& store);

    // Writes all thirteen values and flushes the store. Returns an error text
    // for the user when the store could not be written, nothing on success.
    static std::optional<QString> Save(QSettings& store, const SettingsValues& values);
};

} // namespace velmora
