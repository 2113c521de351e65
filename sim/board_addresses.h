#pragma once

#include <array>
#include <cstdint>

namespace gestalon::sim {

// Board memory: 8192 bytes, byte i at board address i; multi-byte values are little-endian.
inline constexpr std::uint32_t kMemorySize = 0x2000;

// Status values the board keeps up to date itself.
inline constexpr std::uint32_t kFirmwareVersionAddress = 0x0010;  // word
inline constexpr std::uint32_t kModelNameAddress = 0x0020;        // 32 bytes, ANSI text
inline constexpr std::uint32_t kModelNameSize = 32;
inline constexpr std::uint32_t kControlCycleAddress = 0x0040;  // 32-bit, microseconds; 0 = default
inline constexpr std::uint32_t kServoPowerAddress = 0x0048;    // word, 1 = servos on
inline constexpr std::uint32_t kBatteryAddress = 0x0090;  // signed word, volts = raw / 4096 x 16.62

// Flash transfer registers (32-bit each) and their command values.
inline constexpr std::uint32_t kFlashTargetAddress = 0x0160;
inline constexpr std::uint32_t kFlashLengthAddress = 0x0164;
inline constexpr std::uint32_t kFlashSourceAddress = 0x0168;
inline constexpr std::uint32_t kFlashCommandAddress = 0x016C;
inline constexpr std::uint32_t kFlashCommandDone = 0;
inline constexpr std::uint32_t kFlashCommandWrite = 2;       // copy board memory into flash
inline constexpr std::uint32_t kFlashCommandRunUpdater = 3;  // run the updater at the flash address
// Left in the command register when a request cannot be carried out (anything but 0 and 2 tells
// the PC that the transfer failed).
inline constexpr std::uint32_t kFlashCommandFailed = 0xFFFFFFFF;
// Where the updater looks for the firmware it installs.
inline constexpr std::uint32_t kFirmwareFlashAddress = 0x08020000;

// Last error the board reports: code address (32-bit) and ANSI text, zero-terminated.
inline constexpr std::uint32_t kErrorAddressAddress = 0x017C;
inline constexpr std::uint32_t kErrorTextAddress = 0x0180;
inline constexpr std::uint32_t kErrorTextSize = 32;

// Card commands of running programs: a non-zero command byte is carried out at once and cleared.
inline constexpr std::uint32_t kFileCommandAddress = 0x01D0;   // 1 read, 2 write
inline constexpr std::uint32_t kFileDataAddress = 0x01D8;      // 32-bit board address of the data
inline constexpr std::uint32_t kSoundCommandAddress = 0x01E0;  // 1 play
inline constexpr std::uint32_t kFileNameAddress = 0x0400;      // narrow text
inline constexpr std::uint8_t kFileCommandRead = 1;
inline constexpr std::uint8_t kFileCommandWrite = 2;
inline constexpr std::uint8_t kSoundCommandPlay = 1;

// Playback.
inline constexpr std::uint32_t kPlayByteAddress = 0x01FB;     // 1 = play the image named at 0x0200
inline constexpr std::uint32_t kCodeAddressAddress = 0x01FC;  // 32-bit, instruction executing
inline constexpr std::uint32_t kImageNameAddress = 0x0200;    // narrow text
inline constexpr std::uint32_t kBlockCodeAddress = 0x0FFC;    // 32-bit, set by compiled code
// Longest file name the board takes from memory, in bytes, without the terminating zero.
inline constexpr std::uint32_t kMaxFileNameSize = 259;

// Servos: 128 slots of signed 16-bit values.
inline constexpr std::uint32_t kServoSlotCount = 128;
inline constexpr std::uint32_t kServoTargetAddress = 0x0A00;  // word per slot
inline constexpr std::uint32_t kMoveTimeAddress = 0x0B00;     // word; writing it starts a move
inline constexpr std::uint32_t kFillCountAddress = 0x0B42;    // moves in buffer 0
inline constexpr std::uint32_t kInterpolationMethodAddress = 0x0B80;  // byte per slot
inline constexpr std::uint32_t kServoCurrentAddress = 0x0C00;         // word per slot

// Motor records: 32 records of 32 words. Word 0 is the capture variable's address (where the
// servo's reported position goes), word 1 the address of the output's source value, word 5 the
// base value added to it, words 6 and 7 the lower and upper output limits.
inline constexpr std::uint32_t kMotorRecordAddress = 0x1000;
inline constexpr std::uint32_t kMotorRecordSize = 64;
inline constexpr std::uint32_t kMotorRecordCount = 32;
inline constexpr std::uint32_t kMotorCaptureWord = 0, kMotorSourceWord = 1, kMotorBaseWord = 5,
                               kMotorLowerLimitWord = 6, kMotorUpperLimitWord = 7;

// Interpolation buffers 0, 1 and 2: busy byte and reset-request byte of each.
inline constexpr std::uint32_t kInterpolationBufferCount = 3;
inline constexpr std::array<std::uint32_t, kInterpolationBufferCount> kBufferBusyAddress{
    0x0B43, 0x0B53, 0x0B63};
inline constexpr std::array<std::uint32_t, kInterpolationBufferCount> kBufferResetAddress{
    0x0B44, 0x0B54, 0x0B64};

// Controller input.
inline constexpr std::uint32_t kControllerPresentAddress = 0x0EE0;  // byte
inline constexpr std::uint32_t kControllerErrorAddress = 0x0EE1;    // byte, non-zero = error
inline constexpr std::uint32_t kControllerButtonsAddress = 0x0EE4;  // word, bit 0 = first button
inline constexpr std::uint32_t kControllerRxAddress = 0x0EE8;       // words RX, RY, LX, LY
inline constexpr std::uint32_t kControllerRyAddress = 0x0EEA;
inline constexpr std::uint32_t kControllerLxAddress = 0x0EEC;
inline constexpr std::uint32_t kControllerLyAddress = 0x0EEE;

}  // namespace gestalon::sim
