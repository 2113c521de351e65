#include "board/board_settings.h"

#include <algorithm>

#include "board/board_addresses.h"
#include "board/board_memory.h"
#include "text/code_page.h"

namespace gestalon::core {
namespace {

constexpr std::uint16_t kFirmwareWithSettingsWord = 10;
constexpr std::size_t kModelNameMaxBytes = 31;
constexpr std::size_t kModelNameMaxChars = 32;
constexpr std::uint32_t kWord20 = 2 * MotorWord::kBytesAB;

std::uint32_t MotorAddress(int k) {
  return BoardAddress::kMotorRecords +
         BoardAddress::kMotorRecordSize * static_cast<std::uint32_t>(k);
}

TransferRange Range(std::uint32_t address, std::uint32_t length) {
  return {static_cast<std::int32_t>(address), static_cast<std::int32_t>(length)};
}

}  // namespace

void PackMotorRecord(const MotorRecord& motor, BoardMirror& mirror, std::uint32_t address) {
  for (int n = 0; n < MotorWord::kBoardWords; ++n) {
    const std::uint16_t value =
        n < MotorWord::kKept && n != MotorWord::kBytesAB ? motor.words[n] : 0;
    StoreMirrorWord(mirror, address + 2 * static_cast<std::uint32_t>(n), value);
  }
  StoreMirrorByte(mirror, address + kWord20, motor.word20A);
  StoreMirrorByte(mirror, address + kWord20 + 1, motor.word20B);
}

void UnpackMotorRecord(const BoardMirror& mirror, std::uint32_t address, MotorRecord& motor) {
  for (int n = 0; n < MotorWord::kKept; ++n) {
    if (n != MotorWord::kBytesAB) {
      motor.words[n] = MirrorWord(mirror, address + 2 * static_cast<std::uint32_t>(n));
    }
  }
  motor.word20A = MirrorByte(mirror, address + kWord20);
  motor.word20B = MirrorByte(mirror, address + kWord20 + 1);
}

int ReadBoardSettings(BoardLink& link, CpuSettings& settings, std::u16string* modelName) {
  using namespace BoardAddress;
  const BoardMirror& mirror = link.Mirror();
  if (link.ReadTransaction({Range(kModelName, kModelNameReadSize), Range(kFirmwareVersion, 2),
                            Range(kControlCycle, 4), Range(kInterpolationMethods, 128),
                            Range(kVoiceAttenuator, 2)})) {
    settings.firmwareVersion = MirrorWord(mirror, kFirmwareVersion);
    settings.basicControlCycle = static_cast<std::int32_t>(MirrorLong(mirror, kControlCycle));
    settings.voiceAttenuator = MirrorWord(mirror, kVoiceAttenuator);
    std::copy_n(mirror.begin() + kInterpolationMethods, settings.interpolationMethods.size(),
                settings.interpolationMethods.begin());
    if (modelName) {
      *modelName = FromAnsi(MirrorText(mirror, kModelName, kModelNameMaxBytes));
      if (modelName->size() > kModelNameMaxChars) {
        modelName->resize(kModelNameMaxChars);
      }
    }
  }
  for (int k = 0; k < kMotorCount; ++k) {
    if (link.ReadTransaction({Range(MotorAddress(k), kMotorRecordSize)})) {
      UnpackMotorRecord(mirror, MotorAddress(k), settings.motors[k]);
    }
  }
  if (settings.firmwareVersion < kFirmwareWithSettingsWord) {
    return 1;
  }
  const bool wordRead = link.ReadTransaction({Range(kSettingsWord92, 2)});
  link.ReadTransaction({});
  if (wordRead) {
    settings.settingsWord92 = MirrorWord(mirror, kSettingsWord92);
  }
  return 1;
}

int WriteBoardSettings(BoardLink& link, const CpuSettings& settings, Prompter* prompter) {
  using namespace BoardAddress;
  if (link.TakeBoard() == 0) {
    ReportBoardTimeout(link, prompter);
    return 0;
  }
  BoardMirror& mirror = link.Mirror();

  StoreMirrorLong(mirror, kControlCycle, static_cast<std::uint32_t>(settings.basicControlCycle));
  StoreMirrorWord(mirror, kVoiceAttenuator, settings.voiceAttenuator);
  std::copy(settings.interpolationMethods.begin(), settings.interpolationMethods.end(),
            mirror.begin() + kInterpolationMethods);
  std::copy(settings.modelName.begin(), settings.modelName.end(), mirror.begin() + kModelName);
  bool sent =
      link.WriteTransaction({Range(kControlCycle, 4), Range(kInterpolationMethods, 128),
                             Range(kModelName, kModelNameSize), Range(kVoiceAttenuator, 2)});

  for (std::uint32_t i = 0; i < kServoOverrideCount; ++i) {
    StoreMirrorWord(mirror, kServoOverride + 2 * i, kServoOverrideInitial);
  }
  sent = link.WriteTransaction({Range(kServoOverride, 2 * kServoOverrideCount)}) && sent;

  for (int k = 0; k < kSerialBusCount; ++k) {
    const SerialBus& bus = settings.serialBuses[k];
    const std::uint32_t address = kSerialBus + kSerialBusSize * static_cast<std::uint32_t>(k);
    StoreMirrorByte(mirror, address, static_cast<std::uint8_t>(bus.SBUS_PROTOCOL));
    StoreMirrorByte(mirror, address + 1, static_cast<std::uint8_t>(bus.SBUS_N));
    std::copy(bus.SBUS_ID.begin(), bus.SBUS_ID.end(), mirror.begin() + address + 2);
    sent = link.WriteTransaction({Range(address, kSerialBusSize)}) && sent;
  }

  StoreMirrorByte(mirror, kLedEnable, static_cast<std::uint8_t>(settings.ledEnable));
  StoreMirrorByte(mirror, kControllerEnable, static_cast<std::uint8_t>(settings.controllerEnable));
  StoreMirrorByte(mirror, kThirdEnable, static_cast<std::uint8_t>(settings.thirdEnable));
  StoreMirrorWord(mirror, kControllerCancel, 0);
  sent = link.WriteTransaction({Range(kLedEnable, 1), Range(kControllerEnable, 1),
                                Range(kThirdEnable, 1), Range(kControllerCancel, 2)}) &&
         sent;

  for (int i = 0; i < kLedCount; ++i) {
    const std::uint32_t offset = 2 * static_cast<std::uint32_t>(i);
    StoreMirrorWord(mirror, kLedFirst + offset, settings.leds[i].first);
    StoreMirrorWord(mirror, kLedSecond + offset, settings.leds[i].second);
    StoreMirrorWord(mirror, kLedThird + offset, settings.leds[i].third);
  }
  sent = link.WriteTransaction({Range(kLedFirst, 48)}) && sent;

  for (int k = 0; k < kMotorCount; ++k) {
    PackMotorRecord(settings.motors[k], mirror, MotorAddress(k));
    sent = link.WriteTransaction({Range(MotorAddress(k), kMotorRecordSize)}) && sent;
  }

  StoreMirrorWord(mirror, kSettingsWord92, 0);
  sent = link.WriteTransaction({Range(kSettingsWord92, 2)}) && sent;
  sent = link.WriteTransaction({}) && sent;
  link.ReleaseBoard();
  return sent ? 1 : 0;
}

int WriteBoardSettingsOffline(BoardLink& link, const CpuSettings& settings, Prompter* prompter) {
  if (link.Flags().online.load() != 0) {
    return 1;
  }
  if (!link.OpenBoard(link.CurrentDrive())) {
    return 0;
  }
  link.Flags().connectionActive.store(1);
  const int result = WriteBoardSettings(link, settings, prompter);
  link.Flags().connectionActive.store(0);
  link.CloseBoard();
  return result;
}

}  // namespace gestalon::core
