#pragma once

// Names and geometry of the pictures that tools/velmora_artgen draws at build time.
// The generator and the windows both read this header, so the button rectangles
// drawn into a panel picture and the transparent click areas laid over it cannot
// drift apart. All paths are relative to the executable's folder.

#include <QRect>
#include <QSize>

#include <array>
#include <string_view>

namespace velmora::artwork {

// ---------------------------------------------------------------- skins
// skins/<name>/<name>0.bmp ... <name>11.bmp, skins/<name>/<name>.bmp (blank),
// and skins/metronome/metronome12.bmp. Every picture is 600 x 600, 24-bit BMP.
inline constexpr int SkinSize = 600;
inline constexpr int SkinFrames = 12;
inline constexpr std::array<std::string_view, 4> SkinNames{"radar", "infinity", "ball",
                                                           "metronome"};
inline constexpr std::string_view SkinsFolder = "skins";

// ---------------------------------------------------------------- menu panel
// images/menu.png, 150 x 340: the seven command buttons stacked top to bottom.
inline constexpr std::string_view MenuImageFile = "images/menu.png";
inline constexpr QSize MenuPanelSize{150, 340};

enum class MenuButton
{
    Play,
    Settings,
    SongEditor,
    Modes,
    Help,
    About,
    Exit
};
inline constexpr int MenuButtonCount = 7;

// Rectangles in MenuImage coordinates; the main window lays its command labels
// (PlayLabel, SettingsLabel, SongLabel, ModesLabel, HelpLabel, AboutLabel,
// ExitLabel) exactly over them.
inline constexpr std::array<QRect, MenuButtonCount> MenuButtonRects{
    QRect(10, 48, 130, 36),  // Play
    QRect(10, 89, 130, 36),  // Settings
    QRect(10, 130, 130, 36), // Song editor
    QRect(10, 171, 130, 36), // Modes
    QRect(10, 212, 130, 36), // Help
    QRect(10, 253, 130, 36), // About
    QRect(10, 294, 130, 36), // Exit
};
inline constexpr QRect menuButtonRect(MenuButton b)
{
    return MenuButtonRects[static_cast<int>(b)];
}

// images/stop.png: the "Stop" face of the play button. StopImage is placed at
// StopImageRect (menu panel coordinates) while the clock runs.
inline constexpr std::string_view StopImageFile = "images/stop.png";
inline constexpr QRect StopImageRect = MenuButtonRects[0];

// ---------------------------------------------------------------- playlist panel
// images/playlist.png, 150 x 340. The click areas are those of the playlist's
// window layout; the list itself stands in PlayListRect.
inline constexpr std::string_view PlaylistImageFile = "images/playlist.png";
inline constexpr QSize PlaylistPanelSize{150, 340};
inline constexpr QRect PlayListRect(31, 44, 117, 256);
inline constexpr QRect PlaylistPlayRect(25, 17, 21, 21);
inline constexpr QRect PlaylistPauseRect(53, 17, 21, 21);
inline constexpr QRect PlaylistStopRect(81, 17, 21, 21);
inline constexpr QRect PlaylistNextRect(112, 17, 25, 21);
inline constexpr QRect PlaylistAddRect(27, 303, 19, 18);
inline constexpr QRect PlaylistRemoveRect(53, 303, 19, 18);
inline constexpr QRect PlaylistLoadRect(85, 303, 21, 20);
inline constexpr QRect PlaylistSaveRect(113, 303, 21, 20);

// ---------------------------------------------------------------- system panel
// images/sys.png, 101 x 34: minimize and close (MinLabel, CloseLabel).
inline constexpr std::string_view SysImageFile = "images/sys.png";
inline constexpr QSize SysPanelSize{101, 34};
inline constexpr QRect SysMinRect(17, 4, 32, 26);
inline constexpr QRect SysCloseRect(55, 4, 32, 26);

// ---------------------------------------------------------------- corner pictures
inline constexpr std::string_view SoundOnFile = "images/sound_on.png";
inline constexpr std::string_view SoundOffFile = "images/sound_off.png";
inline constexpr QSize SoundSize{49, 48};
// The sync indicator VST (81 x 48, shown at 16, 72 while following a server).
inline constexpr std::string_view SyncImageFile = "images/sync.png";
inline constexpr QSize SyncSize{81, 48};

// ---------------------------------------------------------------- tempo panel
// Background of the tempo panel; the panel stretches with the window, so the
// picture is drawn so that its middle can be tiled horizontally (columns
// TempoPanelStretchLeft..TempoPanelStretchRight are all alike).
inline constexpr std::string_view TempoPanelFile = "images/tempo_panel.png";
inline constexpr QSize TempoPanelSize{505, 81};
inline constexpr int TempoPanelStretchLeft = 24;
inline constexpr int TempoPanelStretchRight = 480;

// ---------------------------------------------------------------- menu images
// 16 x 16 icons of the mode menu and the playlist's context menu. The mode menu
// uses image list indexes 4 (Text Only), 5 (Sync with Server), 6 (sound off),
// 7 (sound on) and 8 (Wait for Connections); PopupImageFiles lists the whole
// image list in index order so that it can be filled in one loop.
inline constexpr QSize PopupIconSize{16, 16};
inline constexpr std::array<std::string_view, 9> PopupImageFiles{
    "images/popup_moveup.png",   // 0 Move Up
    "images/popup_movedown.png", // 1 Move Down
    "images/popup_editor.png",   // 2 Open in Editor
    "images/popup_playlist.png", // 3 (spare: a playlist sheet)
    "images/mode_textonly.png",  // 4 Text Only
    "images/mode_sync.png",      // 5 Sync with Server
    "images/mode_soundoff.png",  // 6 Sound Enabled, sound off
    "images/mode_soundon.png",   // 7 Sound Enabled, sound on
    "images/mode_wait.png",      // 8 Wait for Connections
};
inline constexpr int ModeIconTextOnly = 4;
inline constexpr int ModeIconSync = 5;
inline constexpr int ModeIconSoundOff = 6;
inline constexpr int ModeIconSoundOn = 7;
inline constexpr int ModeIconWait = 8;

// Playlist row images (16 x 14): 0 a pair of beamed notes, 1 the "playing" arrow.
inline constexpr QSize RowIconSize{16, 14};
inline constexpr std::array<std::string_view, 2> RowIconFiles{"images/row_song.png",
                                                              "images/row_playing.png"};

// ---------------------------------------------------------------- settings dialog
// One 100 x 100 preview per skin, in SkinNames order; the decorative strip down
// the dialog's left side (100 x 343) and the application icon in two sizes.
inline constexpr QSize SkinPreviewSize{100, 100};
inline constexpr std::array<std::string_view, 4> SkinPreviewFiles{
    "images/preview_radar.png", "images/preview_infinity.png", "images/preview_ball.png",
    "images/preview_metronome.png"};
inline constexpr std::string_view SettingsStripFile = "images/settings_strip.png";
inline constexpr QSize SettingsStripSize{100, 343};
inline constexpr std::string_view AppIconFile = "images/velmora.png"; // 256 x 256
inline constexpr std::string_view AppIcon64File = "images/velmora64.png";

// ---------------------------------------------------------------- colours
// The counter is drawn in lime on black with a dotted lime outline; the artwork
// takes its accents from the same lime.
inline constexpr unsigned CounterLime = 0x00FF00;

} // namespace velmora::artwork
