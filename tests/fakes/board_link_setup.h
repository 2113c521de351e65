#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "board/board_link.h"
#include "fake_devmem.h"

namespace gestalon::testing {

using SentRecords = std::vector<std::pair<std::uint32_t, int>>;

// The records of one command ('W' or 'R') the board received, as (address, count) pairs in order.
inline SentRecords Sent(const FakeBoard& board, char command) {
  SentRecords out;
  for (const auto& record : board.Records(command)) {
    out.emplace_back(FakeBoard::AddressOf(record), record[3]);
  }
  return out;
}

// A link with a fake board open on drive D; online and connected when asked.
struct OpenBoardLink {
  std::shared_ptr<FakeBoard> board = std::make_shared<FakeBoard>();
  core::BoardLink link;
  explicit OpenBoardLink(bool connected = false) {
    EXPECT_TRUE(link.OpenBoard(FakeBoardDrive(board, u"D")));
    link.Flags().connectionActive = connected;
    link.Flags().online = connected;
  }
};

}  // namespace gestalon::testing
