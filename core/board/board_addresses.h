#pragma once

#include <array>
#include <cstdint>

namespace gestalon::core {

// Board memory addresses the PC reads or writes. Words are 16-bit little-endian.
namespace BoardAddress {
inline constexpr std::uint32_t kStatusRange = 0x0008;  // 0x0008..0x0043, refreshed by the poll
inline constexpr std::uint32_t kFirmwareVersion = 0x0010;
inline constexpr std::uint32_t kModelName = 0x0020;  // 32 bytes, ANSI text, zero-padded
inline constexpr std::uint32_t kModelNameSize = 32;
inline constexpr std::uint32_t kModelNameReadSize = 16;  // the settings read fetches only these
inline constexpr std::uint32_t kControlCycle = 0x0040;   // 32-bit, microseconds
inline constexpr std::uint32_t kVoiceAttenuator = 0x0046;
inline constexpr std::uint32_t kServoPower = 0x0048;  // 1 = servos on
inline constexpr std::uint32_t kBattery = 0x0090;     // signed raw; volts = raw / 4096 x 16.62
inline constexpr std::uint32_t kSettingsWord92 = 0x0092;
inline constexpr std::uint32_t kSerialBus = 0x00C0;  // + 16k, k = 0..3
inline constexpr std::uint32_t kSerialBusSize = 16;
inline constexpr std::uint32_t kFlashTarget = 0x0160;  // 32-bit each
inline constexpr std::uint32_t kFlashLength = 0x0164;
inline constexpr std::uint32_t kFlashSource = 0x0168;
inline constexpr std::uint32_t kFlashCommand = 0x016C;
inline constexpr std::uint32_t kLastErrorAddress = 0x017C;  // 32-bit
inline constexpr std::uint32_t kLastErrorText = 0x0180;     // 32 bytes, ANSI text
inline constexpr std::uint32_t kPlayByte = 0x01FB;
inline constexpr std::uint32_t kCodeAddress = 0x01FC;   // 32-bit
inline constexpr std::uint32_t kLatestMotion = 0x0200;  // up to 260 bytes, ANSI text
inline constexpr std::uint32_t kLatestVoice = 0x0400;   // 32 bytes, ANSI text
inline constexpr std::uint32_t kServoTarget = 0x0A00;   // + 2i, i = 0..127
inline constexpr std::uint32_t kMoveTime = 0x0B00;      // writing it starts a move
inline constexpr std::uint32_t kFillCount = 0x0B42;
inline constexpr std::array<std::uint32_t, 3> kBufferBusy{0x0B43, 0x0B53, 0x0B63};
inline constexpr std::array<std::uint32_t, 3> kBufferReset{0x0B44, 0x0B54, 0x0B64};
inline constexpr std::uint32_t kInterpolationMethods = 0x0B80;  // 128 bytes
inline constexpr std::uint32_t kServoCurrent = 0x0C00;          // + 2i, i = 0..127
inline constexpr std::uint32_t kServoOverride = 0x0D00;         // 64 words
inline constexpr std::uint32_t kServoOverrideCount = 64;
inline constexpr std::uint16_t kServoOverrideInitial = 0x8000;
inline constexpr std::uint32_t kStatusBlock = 0x0D80;  // 64 bytes, refreshed by the poll
inline constexpr std::uint32_t kLedEnable = 0x0EA0;
inline constexpr std::uint32_t kLedFirst = 0x0EB0;  // + 2i, i = 0..7
inline constexpr std::uint32_t kLedSecond = 0x0EC0;
inline constexpr std::uint32_t kLedThird = 0x0ED0;
inline constexpr std::uint32_t kControllerEnable = 0x0EE0;  // read back as "controller present"
inline constexpr std::uint32_t kControllerError = 0x0EE1;
inline constexpr std::uint32_t kControllerButtons = 0x0EE4;
inline constexpr std::uint32_t kControllerCancel = 0x0EE6;
inline constexpr std::uint32_t kControllerRx = 0x0EE8;
inline constexpr std::uint32_t kControllerRy = 0x0EEA;
inline constexpr std::uint32_t kControllerLx = 0x0EEC;
inline constexpr std::uint32_t kControllerLy = 0x0EEE;
inline constexpr std::uint32_t kThirdEnable = 0x0EF0;
inline constexpr std::uint32_t kFlashBuffer = 0x0F00;       // 128 bytes
inline constexpr std::uint32_t kBlockCodeAddress = 0x0FFC;  // 32-bit
inline constexpr std::uint32_t kMotorRecords = 0x1000;      // + 64k, k = 0..31
inline constexpr std::uint32_t kMotorRecordSize = 64;
}  // namespace BoardAddress

// Bits of the status poll's result: interpolation buffers 0, 1 and 2 busy.
namespace BoardStatusBit {
inline constexpr std::uint32_t kBuffer0Busy = 0x20;
inline constexpr std::uint32_t kBuffer1Busy = 0x2000000;
inline constexpr std::uint32_t kBuffer2Busy = 0x4000000;
}  // namespace BoardStatusBit

}  // namespace gestalon::core
