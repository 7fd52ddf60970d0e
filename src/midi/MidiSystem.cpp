#include "MidiSystem.h"

#include "FluidSynthOutput.h"
#include "RtMidiOutputs.h"

namespace velmora {

MidiSystem::MidiSystem(std::vector<std::unique_ptr<MidiOutput>> outputs)
    : m_outputs(std::move(outputs))
{
}

MidiSystem::~MidiSystem() = default;

std::unique_ptr<MidiSystem> MidiSystem::createDefault()
{
    std::vector<std::unique_ptr<MidiOutput>> outputs;
    outputs.push_back(std::make_unique<FluidSynthOutput>(FluidSynthOutput::Mode::Live));
    for (auto& port : EnumerateRtMidiOutputs())
        outputs.push_back(std::move(port));
    return std::make_unique<MidiSystem>(std::move(outputs));
}

int MidiSystem::deviceCount() const
{
    return static_cast<int>(m_outputs.size());
}

QString MidiSystem::deviceName(int id) const
{
    if (id < 0 || id >= deviceCount()) return {};
    return m_outputs[static_cast<std::size_t>(id)]->name();
}

MidiOutput* MidiSystem::output(int id) const
{
    if (id == -1) id = 0;
    if (id < 0 || id >= deviceCount()) return nullptr;
    return m_outputs[static_cast<std::size_t>(id)].get();
}

bool MidiSystem::probe(int id) const
{
    MidiOutput* device = output(id);
    if (!device) return false;
    const bool opened = device->open();
    device->close();
    return opened;
}

} // namespace velmora
