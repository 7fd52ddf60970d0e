#pragma once

#include "SettingsHost.h"
#include "SettingsMidi.h"

#include <QStringList>

#include <vector>

// A main window that records what the settings dialog does to it.
class FakeHost : public velmora::SettingsHost
{
public:
    bool LoadSkin(const QString& name) override
    {
        loadedSkins << name;
        log << QStringLiteral("load ") + name;
        // The real loader keeps the old skin when the folder is missing.
        if (knownSkins.contains(name)) currentSkin = name;
        return knownSkins.contains(name);
    }
    QString CurrentSkinName() const override { return currentSkin; }
    void SetLyricsFont(const QFont& font, const QColor& color) override
    {
        lyricsFont = font;
        lyricsColor = color;
        ++fontCalls;
    }
    void SetLyricsFontSize(int pointSize) override { lyricsFontSizes.push_back(pointSize); }
    void PlaceLyricsLabel(int top, int height) override
    {
        labelTop = top;
        labelHeight = height;
        ++placeCalls;
    }
    int MainWindowHeight() const override { return windowHeight; }
    bool TextOnlyChecked() const override { return textOnly; }
    void SetMainWindowEnabled(bool enabled) override { mainWindowEnabled = enabled; }
    void ShowSplashText(const QString& text) override
    {
        splash << text;
        log << QStringLiteral("splash ") + text;
    }
    void SetUltraPrecise(bool value) override { ultraPrecise = value; }
    void ReportError(const QString& text) override { errors << text; }

    QStringList knownSkins{"radar", "infinity", "ball", "metronome"};
    QString currentSkin = QStringLiteral("radar");
    QStringList loadedSkins;
    QFont lyricsFont;
    QColor lyricsColor;
    int fontCalls = 0;
    std::vector<int> lyricsFontSizes;
    int labelTop = -1;
    int labelHeight = -1;
    int placeCalls = 0;
    int windowHeight = 768;
    bool textOnly = false;
    bool mainWindowEnabled = true;
    QStringList splash;
    QStringList log; // splash texts and skin loads, in order
    bool ultraPrecise = false;
    QStringList errors;
};

// A generator and device list. Each device can be made unavailable; a play
// records the length and repeat count in force at that moment.
class FakeMidi : public velmora::SettingsMidi
{
public:
    struct PlayCall
    {
        quint32 duration;
        quint32 loops;
    };

    int DeviceCount() const override { return int(devices.size()); }
    QString DeviceName(int id) const override { return devices.at(id); }
    bool MidiAvailable() override
    {
        ++probes;
        if (device < 0) return defaultAvailable;
        return device < int(available.size()) && available[device];
    }
    bool SetDevice(int id) override
    {
        device = id;
        setDeviceCalls.push_back(id);
        return id < DeviceCount() && DeviceCount() > 0;
    }
    void SetInstrument(int value) override
    {
        instrument = value;
        setInstrumentCalls.push_back(value);
    }
    quint32 Duration() const override { return duration; }
    void SetDuration(quint32 ticks) override { duration = ticks; }
    quint32 Loops() const override { return loops; }
    void SetLoops(quint32 value) override { loops = value; }
    bool Play() override
    {
        plays.push_back({duration, loops});
        return true;
    }

    QStringList devices{"Velmora Synth", "USB MIDI"};
    std::vector<bool> available{true, true};
    bool defaultAvailable = true;
    int device = -1;
    int instrument = 130;
    quint32 duration = 36;
    quint32 loops = 1;
    int probes = 0;
    std::vector<int> setDeviceCalls;
    std::vector<int> setInstrumentCalls;
    std::vector<PlayCall> plays;
};
