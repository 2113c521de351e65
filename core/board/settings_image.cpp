#include "board/settings_image.h"

#include <array>

#include "board/board_addresses.h"
#include "board/board_mirror.h"
#include "board/board_settings.h"
#include "board/byte_code.h"

namespace gestalon::core {
namespace {

constexpr int kFillerCount = 10;
constexpr std::uint32_t kCallSize = 5;  // opcode and address
// Words beside the servo power word that the settings program sets to 1.
constexpr std::array<std::uint32_t, 3> kStartupOnes{0x004A, 0x004C, 0x004E};

class ImageWriter {
 public:
  explicit ImageWriter(std::vector<std::uint8_t>& out) : out_(out) {}

  void Byte(std::uint8_t value) { out_.push_back(value); }
  void Word(std::uint16_t value) {
    Byte(static_cast<std::uint8_t>(value));
    Byte(static_cast<std::uint8_t>(value >> 8));
  }
  void Long(std::uint32_t value) {
    Word(static_cast<std::uint16_t>(value));
    Word(static_cast<std::uint16_t>(value >> 16));
  }
  void Write(std::uint32_t address, std::uint8_t length) {
    Byte(Opcode::kWrite);
    Long(address);
    Byte(length);
  }
  template <typename Bytes>
  void WriteBytes(std::uint32_t address, const Bytes& bytes) {
    Write(address, static_cast<std::uint8_t>(bytes.size()));
    for (auto value : bytes) {
      Byte(static_cast<std::uint8_t>(value));
    }
  }
  void WriteByte(std::uint32_t address, std::uint8_t value) {
    Write(address, 1);
    Byte(value);
  }
  void WriteWord(std::uint32_t address, std::uint16_t value) {
    Write(address, 2);
    Word(value);
  }
  std::uint32_t Offset() const { return static_cast<std::uint32_t>(out_.size()); }

 private:
  std::vector<std::uint8_t>& out_;
};

}  // namespace

std::vector<std::uint8_t> BuildSettingsImage(const CpuSettings& settings) {
  using namespace BoardAddress;
  std::vector<std::uint8_t> image;
  image.reserve(kSettingsImageSize);
  ImageWriter w(image);

  w.Write(kControlCycle, 4);
  w.Long(static_cast<std::uint32_t>(settings.basicControlCycle));
  w.WriteWord(kVoiceAttenuator, settings.voiceAttenuator);
  w.WriteBytes(kInterpolationMethods, settings.interpolationMethods);
  w.WriteBytes(kModelName, settings.modelName);

  // The motor records packed as the live settings write sends them, except that word 22 is 0
  // here, as in the settings file.
  BoardMirror scratch{};
  for (int k = 0; k < kMotorCount; ++k) {
    const std::uint32_t address = kMotorRecords + kMotorRecordSize * static_cast<std::uint32_t>(k);
    PackMotorRecord(settings.motors[static_cast<std::size_t>(k)], scratch, address);
    StoreMirrorWord(scratch, address + 2 * MotorWord::kReserved22, 0);
    w.Write(address, static_cast<std::uint8_t>(kMotorRecordSize));
    for (std::uint32_t i = 0; i < kMotorRecordSize; ++i) {
      w.Byte(scratch[address + i]);
    }
  }

  for (std::uint32_t reset : kBufferReset) {
    w.WriteByte(reset, 1);
  }
  w.Write(kServoOverride, static_cast<std::uint8_t>(2 * kServoOverrideCount));
  for (std::uint32_t i = 0; i < kServoOverrideCount; ++i) {
    w.Word(kServoOverrideInitial);
  }

  for (int k = 0; k < kSerialBusCount; ++k) {
    const SerialBus& bus = settings.serialBuses[static_cast<std::size_t>(k)];
    w.Write(kSerialBus + kSerialBusSize * static_cast<std::uint32_t>(k),
            static_cast<std::uint8_t>(kSerialBusSize));
    w.Byte(static_cast<std::uint8_t>(bus.SBUS_PROTOCOL));
    w.Byte(static_cast<std::uint8_t>(bus.SBUS_N));
    for (std::uint8_t id : bus.SBUS_ID) {
      w.Byte(id);
    }
  }

  w.WriteByte(kLedEnable, static_cast<std::uint8_t>(settings.ledEnable));
  w.WriteByte(kControllerEnable, static_cast<std::uint8_t>(settings.controllerEnable));
  w.WriteByte(kThirdEnable, static_cast<std::uint8_t>(settings.thirdEnable));
  w.WriteWord(kControllerCancel, 0);

  w.Write(kLedFirst, static_cast<std::uint8_t>(6 * kLedCount));
  for (const LedEntry& led : settings.leds) {
    w.Word(led.first);
  }
  for (const LedEntry& led : settings.leds) {
    w.Word(led.second);
  }
  for (const LedEntry& led : settings.leds) {
    w.Word(led.third);
  }

  for (std::uint32_t address : kStartupOnes) {
    w.WriteWord(address, 1);
  }

  for (int i = 0; i < kFillerCount; ++i) {
    w.Byte(Opcode::kExpression);
  }
  const std::uint32_t self = w.Offset();
  w.Byte(Opcode::kJump);
  w.Long(self);
  return image;
}

void PatchStartupCall(std::vector<std::uint8_t>& settingsImage, std::uint32_t address) {
  if (settingsImage.size() != kSettingsImageSize) {
    return;
  }
  const std::size_t at = settingsImage.size() - 2 * kCallSize;
  settingsImage[at] = Opcode::kCall;
  for (std::size_t i = 0; i < 4; ++i) {
    settingsImage[at + 1 + i] = static_cast<std::uint8_t>(address >> (8 * i));
  }
}

}  // namespace gestalon::core
