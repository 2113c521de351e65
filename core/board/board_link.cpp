#include "board/board_link.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace gestalon::core {
namespace {

constexpr std::uint8_t kWriteCommand = 0x57;  // 'W'
constexpr std::uint8_t kReadCommand = 0x52;   // 'R'
constexpr std::size_t kRecordHeader = 4;
constexpr std::int32_t kMaxReadChunk = 16;
constexpr std::uint8_t kTagStep = 8;

DevmemRecord RecordHeader(std::uint8_t command, std::int32_t address) {
  DevmemRecord record{};
  record[0] = command;
  record[1] = static_cast<std::uint8_t>(address & 0xFF);
  record[2] = static_cast<std::uint8_t>((address >> 8) & 0xFF);
  return record;
}

}  // namespace

bool BoardLink::TryTakeBoard() {
  std::uint32_t expected = 0;
  return boardBusy_.compare_exchange_strong(expected, 1, std::memory_order_acquire,
                                            std::memory_order_relaxed);
}

void BoardLink::ReleaseBoard() {
  boardBusy_.store(0, std::memory_order_release);
}

bool BoardLink::BoardBusy() const {
  return boardBusy_.load(std::memory_order_acquire) != 0;
}

int BoardLink::WaitBoardIdle() const {
  if (flags_.playbackActive.load() != 0) {
    return 0;
  }
  if (!BoardBusy()) {
    return 1;
  }
  for (;;) {
    std::this_thread::yield();
    if (flags_.communicationError.load() != 0) {
      return 0;
    }
    if (flags_.connectionActive.load() == 0) {
      return -1;
    }
    if (!BoardBusy()) {
      return 1;
    }
  }
}

int BoardLink::TakeBoard() {
  for (;;) {
    const int idle = WaitBoardIdle();
    if (idle == 0) {
      return 0;
    }
    if (TryTakeBoard()) {
      return idle;
    }
    // Another task took the board between the wait and the take: wait for it again.
    std::this_thread::yield();
  }
}

BoardDrive BoardLink::CurrentDrive() const {
  std::lock_guard lock(driveMutex_);
  return currentDrive_;
}

void BoardLink::SetCurrentDrive(BoardDrive drive) {
  std::lock_guard lock(driveMutex_);
  currentDrive_ = std::move(drive);
}

BoardDriveList BoardLink::DriveList() const {
  std::lock_guard lock(driveMutex_);
  return driveList_;
}

void BoardLink::SetDriveList(BoardDriveList list) {
  std::lock_guard lock(driveMutex_);
  driveList_ = std::move(list);
}

bool BoardLink::OpenBoard(const BoardDrive& drive) {
  if (port_ || !drive.openDevmem) {
    return false;
  }
  port_ = drive.openDevmem();
  return port_ != nullptr;
}

void BoardLink::CloseBoard() {
  port_.reset();
}

void BoardLink::ClearWriteList() {
  writeList_.clear();
}

void BoardLink::ClearReadList() {
  readList_.clear();
}

bool BoardLink::Append(TransferList& list, std::uint32_t tag, std::int32_t address,
                       std::int32_t length) {
  if (!InBoardMemory(address, length)) {
    return false;
  }
  list.push_back({tag, address, length});
  return true;
}

bool BoardLink::AppendWrite(std::int32_t address, std::int32_t length) {
  return Append(writeList_, 0, address, length);
}

bool BoardLink::AppendRead(std::int32_t address, std::int32_t length) {
  return Append(readList_, tag_, address, length);
}

void BoardLink::MergeList(TransferListId which) {
  MergeTransferList(which == TransferListId::kWrite ? writeList_ : readList_);
}

std::uint8_t BoardLink::AdvanceTag() {
  tag_ = static_cast<std::uint8_t>(tag_ + kTagStep);
  return tag_;
}

bool BoardLink::FlushWriteList() {
  for (const TransferEntry& entry : writeList_) {
    std::int32_t done = 0;
    while (done < entry.length) {
      DevmemRecord record = RecordHeader(kWriteCommand, entry.address + done);
      std::size_t count = 0;
      while (kRecordHeader + count < record.size() && done < entry.length) {
        record[kRecordHeader + count] = mirror_[static_cast<std::size_t>(entry.address + done)];
        ++count;
        ++done;
      }
      // A full record of 508 bytes says 252 here: the board takes the count modulo 256.
      record[3] = static_cast<std::uint8_t>(count & 0xFF);
      if (!port_ || !port_->WriteRecord(record)) {
        return false;
      }
    }
  }
  return true;
}

bool BoardLink::RunReadList(std::uint8_t tag) {
  for (const TransferEntry& entry : readList_) {
    if (entry.tag != tag) {
      continue;
    }
    std::int32_t done = 0;
    while (done < entry.length) {
      DevmemRecord request = RecordHeader(kReadCommand, entry.address + done);
      request[3] = static_cast<std::uint8_t>(std::min(kMaxReadChunk, entry.length - done));
      if (!port_ || !port_->WriteRecord(request)) {
        return false;
      }
      DevmemRecord reply{};
      if (!port_->ReadRecord(reply) || reply[0] != kReadCommand) {
        return false;
      }
      const std::int32_t address = reply[2] << 8 | reply[1];
      const std::int32_t count = reply[3];
      // A count of 0 would never finish the entry; data past the end of memory has no place.
      if (count == 0 || !InBoardMemory(address, count)) {
        return false;
      }
      std::copy_n(reply.begin() + kRecordHeader, count, mirror_.begin() + address);
      done += count;
    }
  }
  return true;
}

bool BoardLink::ReadTransaction(std::span<const TransferRange> ranges) {
  const std::uint8_t tag = AdvanceTag();
  ClearReadList();
  for (const TransferRange& range : ranges) {
    AppendRead(range.address, range.length);
  }
  MergeList(TransferListId::kRead);
  return RunReadList(tag);
}

bool BoardLink::ReadTransaction(std::initializer_list<TransferRange> ranges) {
  return ReadTransaction(std::span<const TransferRange>(ranges.begin(), ranges.size()));
}

bool BoardLink::SendWriteList() {
  MergeList(TransferListId::kWrite);
  if (flags_.connectionActive.load() == 0) {
    return false;
  }
  if (!FlushWriteList()) {
    flags_.communicationError.store(1);
    return false;
  }
  return true;
}

bool BoardLink::WriteTransaction(std::span<const TransferRange> ranges) {
  ClearWriteList();
  for (const TransferRange& range : ranges) {
    AppendWrite(range.address, range.length);
  }
  return SendWriteList();
}

bool BoardLink::WriteTransaction(std::initializer_list<TransferRange> ranges) {
  return WriteTransaction(std::span<const TransferRange>(ranges.begin(), ranges.size()));
}

BoardStatus BoardLink::Status() const {
  std::lock_guard lock(statusMutex_);
  return status_;
}

void BoardLink::SetStatus(const BoardStatus& status) {
  std::lock_guard lock(statusMutex_);
  status_ = status;
}

BoardError BoardLink::LastError() const {
  std::lock_guard lock(statusMutex_);
  return lastError_;
}

void BoardLink::SetLastError(BoardError error) {
  std::lock_guard lock(statusMutex_);
  lastError_ = std::move(error);
}

}  // namespace gestalon::core
