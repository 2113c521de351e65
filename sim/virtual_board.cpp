#include "virtual_board.h"

#include <algorithm>
#include <utility>

#include "virtual_devmem.h"

namespace gestalon::sim {
namespace {

constexpr std::uint8_t kWriteRecord = 'W';
constexpr std::uint8_t kReadRecord = 'R';
constexpr std::size_t kRecordHeaderSize = 4;
constexpr std::uint32_t kMaxReadSize = 16;

// True when the byte range [first, first + count) touches [address, address + size).
bool Covers(std::uint32_t first, std::uint32_t count, std::uint32_t address, std::uint32_t size) {
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

void VirtualBoard::PowerOnLocked() {
  memory_.fill(0);
  interpolator_.Reset();
  reply_.reset();
  elapsed_ = 0;
  pendingTime_ = 0;
  StoreStatusValues();
  // The card's STARTUP.BIN would run from here; byte code is not executed by this board yet.
}

bool VirtualBoard::WriteDevmemRecord(const core::DevmemRecord& record) {
  std::lock_guard lock(mutex_);
  if (failing_) {
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
  if (failing_) {
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
  for (std::uint32_t i = 0; i < count; ++i) {
    StoreByte(first + i, record[kRecordHeaderSize + i]);
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
  if (Covers(first, count, kPlayByteAddress, 1) && ByteAt(kPlayByteAddress) == 1) {
    PlayImage();
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
  if (interpolator_.Busy()) {
    InterpolationMethods methods{};
    std::copy_n(memory_.begin() + kInterpolationMethodAddress, kServoSlotCount, methods.begin());
    ServoValues current = CurrentServoValues();
    interpolator_.Step(methods, current);
    StoreCurrentServoValues(current);
    SyncInterpolationBytes();
  }
  // The byte-code interpreter would run its time unit here.
}

void VirtualBoard::QueueMove() {
  ServoMove move;
  move.time = WordAt(kMoveTimeAddress);
  for (std::uint32_t i = 0; i < kServoSlotCount; ++i) {
    move.targets[i] = static_cast<std::int16_t>(WordAt(kServoTargetAddress + 2 * i));
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
    // The updater installs the firmware it finds in flash; the virtual board keeps running as it
    // was and only notes the run.
    ++updaterRuns_;
    lastUpdaterAddress_ = Word32At(kFlashTargetAddress);
    StoreWord32(kFlashCommandAddress, kFlashCommandDone);
  }
}

// Playing the image named at 0x0200 needs the byte-code interpreter, which this board does not
// have yet: the motion ends at once.
void VirtualBoard::PlayImage() {
  StoreByte(kPlayByteAddress, 0);
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
