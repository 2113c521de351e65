#pragma once

#include "cpusettings/cpu_settings.h"
#include "project/slider_defs.h"

namespace gestalon::core {

// Ties pose sliders to the servo channels of the motor records: the slider whose current-value
// address (0x0C00 + 2i) a record's ADR0 word names drives that channel (flag 0x40), the one its
// ADREN word names is the channel's companion (flag 0x80); both get the channel number and each
// channel slider is linked with its companion both ways. Only sliders 0..95 take part; their
// 0x40/0x80 flags are cleared first.
void DeriveServoChannels(SliderTable& sliders, const CpuSettings& cpu);

}  // namespace gestalon::core
