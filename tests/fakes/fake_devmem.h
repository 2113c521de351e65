#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "board/board_addresses.h"
#include "board/board_drive.h"
#include "board/devmem_port.h"

namespace gestalon::testing {

// A scripted CPU board behind DEVMEM: 8 KB of memory, every record written kept in order. A W
// record stores its bytes (count 0 = 256); an R request queues a reply from memory that the next
// read returns, unless a scripted reply is waiting. Used by one thread at a time.
struct FakeBoard {
  std::array<std::uint8_t, 0x2000> memory{};
  std::vector<core::DevmemRecord> written;
  std::deque<core::DevmemRecord> scriptedReplies;  // returned by reads before anything else
  core::DevmemRecord pendingReply{};
  bool failWrites = false;
  int failedWrites = 0;  // writes refused while failWrites is set
  bool failReads = false;
  bool failOpen = false;
  int opens = 0;
  int closes = 0;
  core::DriveDescriptor descriptor{"0001", core::kBoardProduct, core::kBoardVendor, "1.00", 1, 7};
  bool queryFails = false;

  void SetWord(std::uint32_t address, std::uint16_t value) {
    memory[address] = static_cast<std::uint8_t>(value);
    memory[address + 1] = static_cast<std::uint8_t>(value >> 8);
  }
  std::uint16_t Word(std::uint32_t address) const {
    return static_cast<std::uint16_t>(memory[address] | memory[address + 1] << 8);
  }
  void SetText(std::uint32_t address, const std::string& text) {
    std::copy(text.begin(), text.end(), memory.begin() + address);
    memory[address + text.size()] = 0;
  }
  // Written records of one kind ('W' or 'R').
  std::vector<core::DevmemRecord> Records(char command) const {
    std::vector<core::DevmemRecord> out;
    for (const auto& record : written) {
      if (record[0] == static_cast<std::uint8_t>(command)) {
        out.push_back(record);
      }
    }
    return out;
  }
  // Board address named by a record.
  static std::uint32_t AddressOf(const core::DevmemRecord& record) {
    return static_cast<std::uint32_t>(record[1] | record[2] << 8);
  }
  // True when some R request asked for `address`.
  bool WasRequested(std::uint32_t address) const {
    const auto reads = Records('R');
    return std::any_of(reads.begin(), reads.end(),
                       [&](const auto& record) { return AddressOf(record) == address; });
  }
  // A reply record as the board would give it.
  static core::DevmemRecord Reply(std::uint8_t command, std::uint32_t address, std::uint8_t count) {
    core::DevmemRecord reply{};
    reply[0] = command;
    reply[1] = static_cast<std::uint8_t>(address);
    reply[2] = static_cast<std::uint8_t>(address >> 8);
    reply[3] = count;
    return reply;
  }
};

class FakeDevmemPort : public core::DevmemPort {
 public:
  explicit FakeDevmemPort(std::shared_ptr<FakeBoard> board) : board_(std::move(board)) {
    ++board_->opens;
  }
  ~FakeDevmemPort() override { ++board_->closes; }

  bool WriteRecord(const core::DevmemRecord& record) override {
    if (board_->failWrites) {
      ++board_->failedWrites;
      return false;
    }
    board_->written.push_back(record);
    const std::uint32_t address = FakeBoard::AddressOf(record);
    if (record[0] == 'W') {
      const std::size_t count = record[3] == 0 ? 256 : record[3];
      for (std::size_t i = 0; i < count && address + i < board_->memory.size(); ++i) {
        board_->memory[address + i] = record[4 + i];
      }
    } else if (record[0] == 'R') {
      board_->pendingReply = FakeBoard::Reply('R', address, record[3]);
      for (std::size_t i = 0; i < record[3] && address + i < board_->memory.size(); ++i) {
        board_->pendingReply[4 + i] = board_->memory[address + i];
      }
    }
    return true;
  }
  bool ReadRecord(core::DevmemRecord& record) override {
    if (board_->failReads) {
      return false;
    }
    if (!board_->scriptedReplies.empty()) {
      record = board_->scriptedReplies.front();
      board_->scriptedReplies.pop_front();
      return true;
    }
    record = board_->pendingReply;
    return true;
  }

 private:
  std::shared_ptr<FakeBoard> board_;
};

// A board that gives `modelName` as its robot's name.
inline std::shared_ptr<FakeBoard> BoardNamed(const std::string& modelName) {
  auto board = std::make_shared<FakeBoard>();
  board->SetText(core::BoardAddress::kModelName, modelName);
  return board;
}

// A drive whose DEVMEM is `board`; it identifies itself with board->descriptor.
inline core::BoardDrive FakeBoardDrive(std::shared_ptr<FakeBoard> board, std::u16string label) {
  core::BoardDrive drive;
  drive.root = std::string("/fake/") + std::string(label.begin(), label.end());
  drive.label = std::move(label);
  drive.openDevmem = [board]() -> std::unique_ptr<core::DevmemPort> {
    if (board->failOpen) {
      return nullptr;
    }
    return std::make_unique<FakeDevmemPort>(board);
  };
  drive.queryDescriptor = [board](core::DriveDescriptor& descriptor) {
    if (board->queryFails) {
      return false;
    }
    descriptor = board->descriptor;
    return true;
  };
  return drive;
}

}  // namespace gestalon::testing
