#pragma once

#include <cstdint>
#include <string>

#include "board/board_link.h"
#include "cpusettings/cpu_settings.h"
#include "ui_port/prompter.h"

namespace gestalon::core {

// Board image of motor record k at 0x1000 + 64k: word n at byte 2n, little-endian; word 20 is
// byte A at byte 40 and byte B at byte 41; words 23..31 are 0.
void PackMotorRecord(const MotorRecord& motor, BoardMirror& mirror, std::uint32_t address);
// The reverse: words 0..22 (word 20's bytes into word20A / word20B; words[20] is left alone).
void UnpackMotorRecord(const BoardMirror& mirror, std::uint32_t address, MotorRecord& motor);

// Reads the board's settings into `settings`: firmware version, control cycle, voice attenuator,
// interpolation methods, the 32 motor records and, from firmware 10 on, the settings word at
// 0x0092. Fields whose read fails keep their values; the model name field of `settings` is not
// touched. When `modelName` is given it receives the board's model name (the first 16 bytes of
// the name field are fetched, up to 31 taken from the mirror) after a successful read. DEVMEM
// must be open; the caller holds the board or runs offline. Always 1.
// The pose sliders' servo-channel links follow the motor records: callers that keep the
// settings run DeriveServoChannels (pose/servo_channels.h) afterwards.
int ReadBoardSettings(BoardLink& link, CpuSettings& settings, std::u16string* modelName);

// Writes the board settings, taking the board for the whole operation. Every value is stored in
// the mirror even when nothing can be sent. 1 when every transaction was sent; 0 when the board
// could not be taken (the time-out message is shown through `prompter` unless playback is
// active; a null prompter shows nothing), when the connection is not active, or when a flush
// failed (which sets the communication-error flag).
int WriteBoardSettings(BoardLink& link, const CpuSettings& settings, Prompter* prompter);

// The settings write while offline: 1 at once when online (the online connection writes them
// itself); otherwise opens DEVMEM on the current board drive (0 when it cannot), marks the
// connection active for the write, then clears the mark and closes DEVMEM.
int WriteBoardSettingsOffline(BoardLink& link, const CpuSettings& settings, Prompter* prompter);

}  // namespace gestalon::core
