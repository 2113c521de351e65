#include "virtual_board.h"

#include <algorithm>
#include <utility>

#include "card_files.h"
#include "flash_image.h"
#include "virtual_devmem.h"

namespace gestalon::sim {
namespace {

constexpr std::uint8_t kWriteRecord = 'W';
constexpr std::uint8_t kReadRecord = 'R';
constexpr std::size_t kRecordHeaderSize = 4;
constexpr std::uint32_t kMaxReadSize = 16;
constexpr char kStartupImageName[] = "STARTUP.BIN";

// True when the byte range [first, first + count) touches [address, address + size).
bool Covers(std::uint64_t first, std::uint64_t count, std::uint64_t address, std::uint64_t size) {
  return first < address + size && address < first + count;
}

}  // namespace

VirtualBoard::VirtualBoard(std::filesystem::path cardFolder) : cardFolder_(std::move(cardFolder)) {
  PowerOnLocked();
}

void VirtualBoard::PowerOn() {
  std::lock_guard lock(mutex_);
  PowerOnLocked();
}

void VirtualBoard::PowerOff() {
  std::lock_guard lock(mutex_);
  powered_ = false;
  interpreter_.Stop();
  played_ = false;
}

bool VirtualBoard::Powered() const {
  std::lock_guard lock(mutex_);
  return powered_;
}

void VirtualBoard::PowerOnLocked() {
  powered_ = true;
  memory_.fill(0);
  interpolator_.Reset();
  reply_.reset();
  elapsed_ = 0;
  pendingTime_ = 0;
  StoreStatusValues();
  interpreter_.Stop();
  played_ = false;
  if (const auto path = CardPath(cardFolder_, kStartupImageName)) {
    if (auto image = ReadCardFile(*path, BytecodeInterpreter::kMaxImageSize + 1)) {
      StartProgram(std::move(*image), false);
    }
  }
}

bool VirtualBoard::WriteDevmemRecord(const core::DevmemRecord& record) {
  std::lock_guard lock(mutex_);
  if (failing_ || !powered_) {
    return false;
  }
  ++recordsWritten_;
  if (record[0] == kWriteRecord) {
    ApplyWriteRecord(record);
  } else if (record[0] == kReadRecord) {
    QueueReply(record);
  }
  return true;
}

bool VirtualBoard::ReadDevmemRecord(core::DevmemRecord& record) {
  std::lock_guard lock(mutex_);
  if (failing_ || !powered_) {
    return false;
  }
  ++recordsRead_;
  record.fill(0);
  if (reply_) {
    record = *reply_;
    reply_.reset();
  }
  return true;
}

std::unique_ptr<core::DevmemPort> VirtualBoard::OpenDevmem() {
  return std::make_unique<VirtualDevmemPort>(*this);
}

void VirtualBoard::SetDevmemFailing(bool failing) {
  std::lock_guard lock(mutex_);
  failing_ = failing;
}

std::size_t VirtualBoard::RecordsWritten() const {
  std::lock_guard lock(mutex_);
  return recordsWritten_;
}

std::size_t VirtualBoard::RecordsRead() const {
  std::lock_guard lock(mutex_);
  return recordsRead_;
}

void VirtualBoard::ApplyWriteRecord(const core::DevmemRecord& record) {
  const std::uint32_t first = record[1] | (std::uint32_t{record[2]} << 8);
  const std::uint32_t count = record[3] == 0 ? 256 : record[3];
  WriteLocked(first,
              std::span<const std::uint8_t>(record).subspan(kRecordHeaderSize, std::size_t{count}));
}

void VirtualBoard::WriteLocked(std::uint64_t first, std::span<const std::uint8_t> bytes) {
  const std::uint64_t count = bytes.size();
  const std::uint32_t block = Word32At(kBlockCodeAddress);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    StoreByte(first + i, bytes[i]);
  }
  if (blockObserver_ && Covers(first, count, kBlockCodeAddress, 4) &&
      Word32At(kBlockCodeAddress) != block) {
    blockObserver_(Word32At(kBlockCodeAddress));
  }

  // Side effects, in an order that lets one record both reset buffer 0 and start a new move.
  for (std::size_t buffer = 0; buffer < kInterpolationBufferCount; ++buffer) {
    const std::uint32_t reset = kBufferResetAddress[buffer];
    if (Covers(first, count, reset, 1) && ByteAt(reset) == 1) {
      ResetBuffer(buffer);
    }
  }
  if (Covers(first, count, kMoveTimeAddress, 2)) {
    QueueMove();
  }
  if (Covers(first, count, kFlashCommandAddress, 4)) {
    RunFlashCommand();
  }
  if (Covers(first, count, kSoundCommandAddress, 1) && ByteAt(kSoundCommandAddress) != 0) {
    RunSoundCommand();
  }
  if (Covers(first, count, kFileCommandAddress, 1) && ByteAt(kFileCommandAddress) != 0) {
    RunFileCommand();
  }
  if (Covers(first, count, kPlayByteAddress, 1)) {
    const std::uint8_t play = ByteAt(kPlayByteAddress);
    if (play == 1) {
      PlayImage();
    } else if (play == 0 && played_) {
      interpreter_.Stop();
      played_ = false;
    }
  }
}

void VirtualBoard::QueueReply(const core::DevmemRecord& request) {
  reply_.reset();
  const std::uint32_t address = request[1] | (std::uint32_t{request[2]} << 8);
  const std::uint32_t wanted = request[3];
  if (wanted < 1 || wanted > kMaxReadSize || address >= kMemorySize) {
    return;
  }
  const std::uint32_t count = std::min(wanted, kMemorySize - address);
  core::DevmemRecord reply{};
  reply[0] = kReadRecord;
  reply[1] = request[1];
  reply[2] = request[2];
  reply[3] = static_cast<std::uint8_t>(count);
  std::copy_n(memory_.begin() + address, count, reply.begin() + kRecordHeaderSize);
  reply_ = reply;
}

void VirtualBoard::Advance(std::uint32_t microseconds) {
  std::lock_guard lock(mutex_);
  if (!powered_) {
    return;
  }
  elapsed_ += microseconds;
  pendingTime_ += microseconds;
  for (std::uint32_t cycle = ControlCycle(); pendingTime_ >= cycle; cycle = ControlCycle()) {
    pendingTime_ -= cycle;
    RunTimeUnit();
  }
}

std::uint64_t VirtualBoard::ElapsedMicroseconds() const {
  std::lock_guard lock(mutex_);
  return elapsed_;
}

// One basic control cycle. Servos move whatever the servo power word says: the board only
// computes values, and the PC reads them back either way.
void VirtualBoard::RunTimeUnit() {
  interpreter_.RunTimeUnit();
  if (interpolator_.Busy()) {
    InterpolationMethods methods{};
    std::copy_n(memory_.begin() + kInterpolationMethodAddress, kServoSlotCount, methods.begin());
    ServoValues current = CurrentServoValues();
    interpolator_.Step(methods, current);
    StoreCurrentServoValues(current);
    SyncInterpolationBytes();
  }
  DriveServoOutputs();
}

void VirtualBoard::DriveServoOutputs() {
  for (std::uint32_t k = 0; k < kMotorRecordCount; ++k) {
    const std::uint64_t record = kMotorRecordAddress + std::uint64_t{kMotorRecordSize} * k;
    const auto word = [&](std::uint32_t n) { return WordAt(record + 2 * n); };
    const std::uint16_t capture = word(kMotorCaptureWord);
    const std::uint16_t source = word(kMotorSourceWord);
    if (capture == 0 || source == 0) {
      continue;
    }
    int output =
        static_cast<std::int16_t>(WordAt(source)) + static_cast<std::int16_t>(word(kMotorBaseWord));
    const int lower = static_cast<std::int16_t>(word(kMotorLowerLimitWord));
    const int upper = static_cast<std::int16_t>(word(kMotorUpperLimitWord));
    if (lower <= upper) {
      output = std::clamp(output, lower, upper);
    }
    StoreWord(capture, static_cast<std::uint16_t>(output));
  }
}

void VirtualBoard::QueueMove() {
  ServoMove move;
  move.time = WordAt(kMoveTimeAddress);
  for (std::uint32_t i = 0; i < kServoSlotCount; ++i) {
    move.targets[i] = static_cast<std::int16_t>(WordAt(kServoTargetAddress + 2 * i));
  }
  if (moveObserver_) {
    moveObserver_(move);
  }
  ServoValues current = CurrentServoValues();
  interpolator_.Queue(move, current);
  StoreCurrentServoValues(current);
  SyncInterpolationBytes();
}

// Only buffer 0 carries moves; buffers 1 and 2 have nothing to empty but their status bytes.
void VirtualBoard::ResetBuffer(std::size_t buffer) {
  if (buffer == 0) {
    interpolator_.Reset();
    SyncInterpolationBytes();
  }
  StoreByte(kBufferBusyAddress[buffer], 0);
  StoreByte(kBufferResetAddress[buffer], 0);
}

void VirtualBoard::RunFlashCommand() {
  const std::uint32_t command = Word32At(kFlashCommandAddress);
  if (command == kFlashCommandWrite) {
    const std::uint32_t source = Word32At(kFlashSourceAddress);
    const std::uint32_t length = Word32At(kFlashLengthAddress);
    const bool inMemory = std::uint64_t{source} + length <= kMemorySize;
    const bool written =
        inMemory && flash_.Write(Word32At(kFlashTargetAddress),
                                 std::span<const std::uint8_t>(memory_).subspan(source, length));
    StoreWord32(kFlashCommandAddress, written ? kFlashCommandDone : kFlashCommandFailed);
  } else if (command == kFlashCommandRunUpdater) {
    RunUpdater();
  }
}

void VirtualBoard::RunUpdater() {
  ++updaterRuns_;
  const std::uint32_t updater = Word32At(kFlashTargetAddress);
  lastUpdaterAddress_ = updater;
  StoreWord32(kFlashCommandAddress, kFlashCommandDone);
  if (!CheckFlashImage(flash_, updater, FlashImageKind::kUpdater)) {
    StoreErrorReport(bus_, updater, "updater invalid");
    return;
  }
  const auto firmware = CheckFlashImage(flash_, kFirmwareFlashAddress, FlashImageKind::kFirmware);
  if (!firmware) {
    StoreErrorReport(bus_, kFirmwareFlashAddress, "firmware invalid");
    return;
  }
  // The new firmware starts the board afresh. A program that asked for the run is stopped by the
  // restart; its interpreter notices and returns.
  firmwareVersion_ = firmware->firmwareVersion;
  PowerOnLocked();
}

void VirtualBoard::PlayImage() {
  const auto path = CardPath(cardFolder_, NarrowTextAt(kImageNameAddress));
  auto image = path ? ReadCardFile(*path, BytecodeInterpreter::kMaxImageSize + 1) : std::nullopt;
  if (!image) {
    interpreter_.Stop();
    played_ = false;
    StoreErrorReport(bus_, 0, "image not found");
    StoreByte(kPlayByteAddress, 0);
    return;
  }
  StartProgram(std::move(*image), true);
}

void VirtualBoard::StartProgram(std::vector<std::uint8_t> image, bool played) {
  played_ = played;
  interpreter_.Start(std::move(image));
}

void VirtualBoard::RunSoundCommand() {
  if (ByteAt(kSoundCommandAddress) == kSoundCommandPlay) {
    const std::string name = NarrowTextAt(kFileNameAddress);
    soundLog_.push_back(name);
    const auto path = CardPath(cardFolder_, name);
    std::error_code ec;
    // An empty name stops the sound that is playing: nothing to find on the card.
    if (!name.empty() && (!path || !std::filesystem::is_regular_file(*path, ec))) {
      ReportCommandError("sound file not found");
    }
  }
  StoreByte(kSoundCommandAddress, 0);
}

void VirtualBoard::RunFileCommand() {
  const std::uint8_t command = ByteAt(kFileCommandAddress);
  const std::uint32_t data = Word32At(kFileDataAddress);
  const auto path = CardPath(cardFolder_, NarrowTextAt(kFileNameAddress));
  // Data beyond memory is cut off: an address past its end moves no bytes at all.
  const std::size_t first = std::min<std::size_t>(data, kMemorySize);
  const std::size_t room = kMemorySize - first;
  if (command == kFileCommandRead) {
    const auto bytes = path ? ReadCardFile(*path, room) : std::nullopt;
    if (bytes) {
      std::copy(bytes->begin(), bytes->end(), memory_.begin() + first);
    } else {
      ReportCommandError("file not found");
    }
  } else if (command == kFileCommandWrite) {
    const auto bytes = std::span<const std::uint8_t>(memory_).subspan(
        first, std::min<std::size_t>(room, kFileWriteSize));
    if (!path || !WriteCardFile(*path, bytes)) {
      ReportCommandError("file write failed");
    }
  }
  StoreByte(kFileCommandAddress, 0);
}

void VirtualBoard::ReportCommandError(std::string_view text) {
  StoreErrorReport(bus_, Word32At(kCodeAddressAddress), text);
}

std::string VirtualBoard::NarrowTextAt(std::uint64_t address) const {
  std::string text;
  for (std::uint32_t i = 0; i < kMaxFileNameSize; ++i) {
    const std::uint8_t c = ByteAt(address + i);
    if (c == 0) {
      break;
    }
    text.push_back(static_cast<char>(c));
  }
  return text;
}

void VirtualBoard::RunImage(std::vector<std::uint8_t> image) {
  std::lock_guard lock(mutex_);
  StoreByte(kPlayByteAddress, 1);
  StartProgram(std::move(image), true);
}

bool VirtualBoard::Running() const {
  std::lock_guard lock(mutex_);
  return interpreter_.Running();
}

std::uint32_t VirtualBoard::CodeAddress() const {
  std::lock_guard lock(mutex_);
  return interpreter_.CodeAddress();
}

std::uint64_t VirtualBoard::InstructionsExecuted() const {
  std::lock_guard lock(mutex_);
  return interpreter_.InstructionsExecuted();
}

std::vector<std::string> VirtualBoard::SoundLog() const {
  std::lock_guard lock(mutex_);
  return soundLog_;
}

std::uint8_t VirtualBoard::ProgramBus::ReadByte(std::uint64_t address) const {
  return board_.ByteAt(address);
}

void VirtualBoard::ProgramBus::WriteBytes(std::uint64_t address,
                                          std::span<const std::uint8_t> bytes) {
  board_.WriteLocked(address, bytes);
}

void VirtualBoard::ProgramBus::StoreBytes(std::uint64_t address,
                                          std::span<const std::uint8_t> bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    board_.StoreByte(address + i, bytes[i]);
  }
}

void VirtualBoard::SyncInterpolationBytes() {
  StoreByte(kFillCountAddress, static_cast<std::uint8_t>(interpolator_.Count()));
  StoreByte(kBufferBusyAddress[0], interpolator_.Busy() ? 1 : 0);
}

ServoValues VirtualBoard::CurrentServoValues() const {
  ServoValues values{};
  for (std::uint32_t i = 0; i < kServoSlotCount; ++i) {
    values[i] = static_cast<std::int16_t>(WordAt(kServoCurrentAddress + 2 * i));
  }
  return values;
}

void VirtualBoard::StoreCurrentServoValues(const ServoValues& values) {
  for (std::uint32_t i = 0; i < kServoSlotCount; ++i) {
    StoreWord(kServoCurrentAddress + 2 * i, static_cast<std::uint16_t>(values[i]));
  }
}

std::uint32_t VirtualBoard::ControlCycle() const {
  const std::uint32_t cycle = Word32At(kControlCycleAddress);
  return cycle == 0 ? kDefaultControlCycle : cycle;
}

void VirtualBoard::StoreStatusValues() {
  StoreWord(kFirmwareVersionAddress, firmwareVersion_);
  StoreWord(kBatteryAddress, static_cast<std::uint16_t>(batteryRaw_));
  StoreByte(kControllerPresentAddress, controller_.present);
  StoreByte(kControllerErrorAddress, controller_.error);
  StoreWord(kControllerButtonsAddress, controller_.buttons);
  StoreWord(kControllerRxAddress, controller_.rx);
  StoreWord(kControllerRyAddress, controller_.ry);
  StoreWord(kControllerLxAddress, controller_.lx);
  StoreWord(kControllerLyAddress, controller_.ly);
}

void VirtualBoard::ReadMemory(std::uint32_t address, std::span<std::uint8_t> out) const {
  std::lock_guard lock(mutex_);
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = ByteAt(std::uint64_t{address} + i);
  }
}

void VirtualBoard::WriteMemory(std::uint32_t address, std::span<const std::uint8_t> bytes) {
  std::lock_guard lock(mutex_);
  for (std::size_t i = 0; i < bytes.size() && std::uint64_t{address} + i < kMemorySize; ++i) {
    StoreByte(std::uint64_t{address} + i, bytes[i]);
  }
}

std::uint8_t VirtualBoard::Byte(std::uint32_t address) const {
  std::lock_guard lock(mutex_);
  return ByteAt(address);
}

std::uint16_t VirtualBoard::Word(std::uint32_t address) const {
  std::lock_guard lock(mutex_);
  return WordAt(address);
}

void VirtualBoard::SetWord(std::uint32_t address, std::uint16_t value) {
  std::lock_guard lock(mutex_);
  StoreWord(address, value);
}

std::uint32_t VirtualBoard::Word32(std::uint32_t address) const {
  std::lock_guard lock(mutex_);
  return Word32At(address);
}

void VirtualBoard::SetWord32(std::uint32_t address, std::uint32_t value) {
  std::lock_guard lock(mutex_);
  StoreWord32(address, value);
}

void VirtualBoard::SetFirmwareVersion(std::uint16_t version) {
  std::lock_guard lock(mutex_);
  firmwareVersion_ = version;
  StoreStatusValues();
}

std::uint16_t VirtualBoard::FirmwareVersion() const {
  std::lock_guard lock(mutex_);
  return firmwareVersion_;
}

void VirtualBoard::SetBatteryRaw(std::int16_t raw) {
  std::lock_guard lock(mutex_);
  batteryRaw_ = raw;
  StoreStatusValues();
}

void VirtualBoard::SetController(const ControllerInput& input) {
  std::lock_guard lock(mutex_);
  controller_ = input;
  StoreStatusValues();
}

void VirtualBoard::SetModelName(const std::string& ansiBytes) {
  std::lock_guard lock(mutex_);
  for (std::uint32_t i = 0; i < kModelNameSize; ++i) {
    StoreByte(kModelNameAddress + i,
              i < ansiBytes.size() ? static_cast<std::uint8_t>(ansiBytes[i]) : 0);
  }
}

void VirtualBoard::SetMoveObserver(std::function<void(const ServoMove& move)> observer) {
  std::lock_guard lock(mutex_);
  moveObserver_ = std::move(observer);
}

void VirtualBoard::SetBlockObserver(std::function<void(std::uint32_t address)> observer) {
  std::lock_guard lock(mutex_);
  blockObserver_ = std::move(observer);
}

std::vector<std::uint8_t> VirtualBoard::Flash(std::uint32_t address, std::size_t size) const {
  std::lock_guard lock(mutex_);
  return flash_.Read(address, size);
}

int VirtualBoard::UpdaterRuns() const {
  std::lock_guard lock(mutex_);
  return updaterRuns_;
}

std::uint32_t VirtualBoard::LastUpdaterAddress() const {
  std::lock_guard lock(mutex_);
  return lastUpdaterAddress_;
}

std::uint8_t VirtualBoard::ByteAt(std::uint64_t address) const {
  return address < kMemorySize ? memory_[address] : 0;
}

void VirtualBoard::StoreByte(std::uint64_t address, std::uint8_t value) {
  if (address < kMemorySize) {
    memory_[address] = value;
  }
}

std::uint16_t VirtualBoard::WordAt(std::uint64_t address) const {
  return static_cast<std::uint16_t>(ByteAt(address) | (ByteAt(address + 1) << 8));
}

void VirtualBoard::StoreWord(std::uint64_t address, std::uint16_t value) {
  StoreByte(address, static_cast<std::uint8_t>(value));
  StoreByte(address + 1, static_cast<std::uint8_t>(value >> 8));
}

std::uint32_t VirtualBoard::Word32At(std::uint64_t address) const {
  return WordAt(address) | (std::uint32_t{WordAt(address + 2)} << 16);
}

void VirtualBoard::StoreWord32(std::uint64_t address, std::uint32_t value) {
  StoreWord(address, static_cast<std::uint16_t>(value));
  StoreWord(address + 2, static_cast<std::uint16_t>(value >> 16));
}

}  // namespace gestalon::sim
