#pragma once

#include <cstdint>
#include <vector>

#include "cpusettings/cpu_settings.h"

namespace gestalon::core {

// Size of the settings program at the start of "STARTUP.BIN".
inline constexpr std::uint32_t kSettingsImageSize = 2795;

// The settings program: memory writes that put the board settings in place (control cycle,
// voice attenuator, interpolation methods, model name, the 32 motor records, the resets of the
// interpolation buffers, the servo override words, serial buses, LED and controller enables, the
// cleared cancel word, the LED table and the three words 0x004A..0x004E), ten filler bytes and a
// jump to itself, where the program stops. Always kSettingsImageSize bytes.
std::vector<std::uint8_t> BuildSettingsImage(const CpuSettings& settings);

// Makes the settings program call the code at `address` before it stops: the last five filler
// bytes become a call instruction. An image of another size is left unchanged.
void PatchStartupCall(std::vector<std::uint8_t>& settingsImage, std::uint32_t address);

}  // namespace gestalon::core
