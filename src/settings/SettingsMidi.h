#pragma once

#include <QString>
#include <QtGlobal>

namespace velmora {

// What the settings dialog asks of the MIDI layer: the output devices to list
// and the note generator it configures and tests. The application passes its
// TMidiGen and device list through GeneratorSettingsMidi; tests use a double.
class SettingsMidi
{
public:
    virtual ~SettingsMidi() = default;

    // Output devices, in identifier order: list position == device identifier.
    virtual int DeviceCount() const = 0;
    virtual QString DeviceName(int id) const = 0;

    virtual bool MidiAvailable() = 0;
    virtual bool SetDevice(int id) = 0;
    virtual void SetInstrument(int instrument) = 0;
    virtual quint32 Duration() const = 0;
    virtual void SetDuration(quint32 ticks) = 0;
    virtual quint32 Loops() const = 0;
    virtual void SetLoops(quint32 loops) = 0;
    virtual bool Play() = 0;
};

// Adapts a generator (TMidiGen) and a device list (velmora::MidiSystem) that
// the caller owns and that outlive the adapter.
template <class Generator, class Devices> class GeneratorSettingsMidi final : public SettingsMidi
{
public:
    GeneratorSettingsMidi(Generator& generator, const Devices& devices)
        : m_generator(generator), m_devices(devices)
    {
    }

    int DeviceCount() const override { return int(m_devices.deviceCount()); }
    QString DeviceName(int id) const override { return m_devices.deviceName(id); }
    bool MidiAvailable() override { return m_generator.MidiAvailable(); }
    bool SetDevice(int id) override { return m_generator.SetDevice(id); }
    void SetInstrument(int instrument) override { m_generator.SetInstrument(instrument); }
    quint32 Duration() const override { return m_generator.Duration(); }
    void SetDuration(quint32 ticks) override { m_generator.SetDuration(ticks); }
    quint32 Loops() const override { return m_generator.Loops(); }
    void SetLoops(quint32 loops) override { m_generator.SetLoops(loops); }
    bool Play() override { return m_generator.Play(); }

private:
    Generator& m_generator;
    const Devices& m_devices;
};

} // namespace velmora
