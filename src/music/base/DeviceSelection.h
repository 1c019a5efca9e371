// Choosing a MIDI device by the name stored in the settings, shared by input and output.
#pragma once

#include <cstddef>
#include <cstdint>

#include <QString>

namespace pv {

/// Opens the entry of devices whose name is name (entry numbers from 1) through
/// changeDevice; an empty name opens entry 1 and keeps its name, cut to nameCapacity. The
/// placeholder's name is never kept: a later run with a device present would look for "no
/// device" by name, find nothing and stay silent.
template <class Entries, class ChangeDevice>
bool SelectDeviceByName(const Entries& devices, QString& name, int nameCapacity,
                        ChangeDevice&& changeDevice)
{
    if (!name.isEmpty()) {
        for (std::size_t i = 0; i < devices.size(); ++i) {
            if (devices[i].name == name)
                return changeDevice(static_cast<std::uint16_t>(i + 1));
        }
        return false;
    }
    const bool ok = changeDevice(std::uint16_t{1});
    if (ok && !devices.empty() && !devices.front().placeholder)
        name = devices.front().name.left(nameCapacity);
    return ok;
}

} // namespace pv
