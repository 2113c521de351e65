#include "board/board_link.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "board_link_setup.h"

namespace gestalon::core {
namespace {

using testing::FakeBoard;
using testing::FakeBoardDrive;

using OpenLink = testing::OpenBoardLink;
using testing::SentRecords;

TEST(BoardLinkFlush, RecordsCarryUpTo508BytesCountedInWords) {
  OpenLink t;
  for (std::size_t i = 0; i < t.link.Mirror().size(); ++i) {
    t.link.Mirror()[i] = static_cast<std::uint8_t>(i * 7 + 3);
  }
  t.link.AppendWrite(0x0123, 508);
  t.link.AppendWrite(0x1000, 509);
  ASSERT_TRUE(t.link.FlushWriteList());
  EXPECT_EQ(testing::Sent(*t.board, 'W'),
            (SentRecords{{0x0123, 252}, {0x1000, 252}, {0x1000 + 508, 1}}));
  const DevmemRecord& first = t.board->written[0];
  EXPECT_TRUE(std::equal(first.begin() + 4, first.end(), t.link.Mirror().begin() + 0x0123));
  const DevmemRecord& last = t.board->written[2];
  EXPECT_EQ(last[4], t.link.Mirror()[0x1000 + 508]);
  EXPECT_TRUE(std::all_of(last.begin() + 5, last.end(), [](auto b) { return b == 0; }));
  EXPECT_EQ(t.link.WriteList().size(), 2u);  // the list stays

  BoardLink closed;
  closed.AppendWrite(0x10, 2);
  EXPECT_FALSE(closed.FlushWriteList());
  t.board->failWrites = true;
  EXPECT_FALSE(t.link.FlushWriteList());
}

TEST(BoardLinkLists, RangesOutsideBoardMemoryAreNotAppendedAndTagsAdvanceBy8Wrapping) {
  BoardLink link;
  EXPECT_EQ(link.Tag(), 1);
  link.ReadTransaction({});
  EXPECT_EQ(link.Tag(), 9);
  for (int i = 0; i < 31; ++i) {
    link.ReadTransaction({});
  }
  EXPECT_EQ(link.Tag(), 1);
  EXPECT_FALSE(link.AppendWrite(0x1FFF, 2));
  EXPECT_FALSE(link.AppendWrite(-1, 2));
  EXPECT_FALSE(link.AppendRead(0x2000, 1));
  EXPECT_FALSE(link.AppendRead(0x10, -4));
  EXPECT_TRUE(link.AppendWrite(0x1FFE, 2));
  EXPECT_EQ(link.WriteList().size(), 1u);
  EXPECT_TRUE(link.ReadList().empty());
}

TEST(BoardLinkRead, RequestsOf16BytesOnlyForTheCurrentTag) {
  OpenLink t;
  for (std::size_t i = 0; i < 40; ++i) {
    t.board->memory[0x0300 + i] = static_cast<std::uint8_t>(0xA0 + i);
  }
  t.board->memory[0x0010] = 0x11;
  const std::uint8_t oldTag = t.link.Tag();
  t.link.AppendRead(0x0010, 1);
  const std::uint8_t tag = t.link.AdvanceTag();
  EXPECT_NE(oldTag, tag);
  t.link.AppendRead(0x0300, 40);
  ASSERT_TRUE(t.link.RunReadList(tag));
  EXPECT_EQ(testing::Sent(*t.board, 'R'), (SentRecords{{0x0300, 16}, {0x0310, 16}, {0x0320, 8}}));
  for (std::size_t i = 0; i < 40; ++i) {
    ASSERT_EQ(t.link.Mirror()[0x0300 + i], 0xA0 + i) << i;
  }
  EXPECT_EQ(t.link.Mirror()[0x0328], 0);
  EXPECT_EQ(t.link.Mirror()[0x0010], 0);
}

TEST(BoardLinkRead, TheReplyDecidesWhereTheDataGoesAndBadRepliesFail) {
  OpenLink t;
  auto reply = FakeBoard::Reply('R', 0x0500, 4);
  reply[4] = 9;
  reply[7] = 8;
  t.board->scriptedReplies.push_back(reply);
  ASSERT_TRUE(t.link.ReadTransaction({{0x0100, 4}}));
  EXPECT_EQ(t.link.Mirror()[0x0500], 9);
  EXPECT_EQ(t.link.Mirror()[0x0503], 8);

  auto full = FakeBoard::Reply('R', 0x1FF8, 16);
  full[4] = 0x55;
  const std::pair<const char*, DevmemRecord> bad[] = {{"not R", FakeBoard::Reply('W', 0x0100, 4)},
                                                      {"count 0", FakeBoard::Reply('R', 0x0100, 0)},
                                                      {"beyond memory", full}};
  for (const auto& [what, badReply] : bad) {
    OpenLink u;
    u.board->scriptedReplies.push_back(badReply);
    EXPECT_FALSE(u.link.ReadTransaction({{0x0100, 4}})) << what;
    EXPECT_EQ(u.board->Records('R').size(), 1u) << what;
    EXPECT_EQ(u.link.Mirror()[0x1FF8], 0) << what;
  }
  t.board->failReads = true;
  EXPECT_FALSE(t.link.ReadTransaction({{0x10, 2}}));
  BoardLink closed;
  EXPECT_FALSE(closed.ReadTransaction({{0x10, 2}}));
  EXPECT_TRUE(closed.ReadTransaction({}));  // nothing to fetch
}

std::vector<TransferEntry> Merged(std::vector<TransferEntry> list) {
  MergeTransferList(list);
  return list;
}

TEST(BoardLinkMerge, TouchingAndCoveredRangesMergeSeparateOnesStay) {
  EXPECT_EQ(Merged({{0, 10, 2}, {0, 12, 2}}), (TransferList{{0, 10, 4}}));
  EXPECT_EQ(Merged({{0, 10, 2}, {0, 13, 2}}), (TransferList{{0, 10, 2}, {0, 13, 2}}));
  // The lower range absorbs the higher one wherever it stands; survivors keep their order.
  EXPECT_EQ(Merged({{0, 50, 1}, {0, 12, 2}, {0, 10, 2}}), (TransferList{{0, 50, 1}, {0, 10, 4}}));
  // Tags are not compared; the survivor keeps its own.
  EXPECT_EQ(Merged({{3, 12, 2}, {5, 10, 2}}), (TransferList{{5, 10, 4}}));
}

TEST(BoardLinkTransaction, WriteSendsMergedRangesOnlyWhileConnected) {
  OpenLink t;
  StoreMirrorWord(t.link.Mirror(), 0x0A00, 1);
  EXPECT_FALSE(t.link.WriteTransaction({{0x0A00, 2}}));
  EXPECT_TRUE(t.board->written.empty());
  EXPECT_EQ(t.link.Flags().communicationError.load(), 0u);

  t.link.Flags().connectionActive = 1;
  EXPECT_TRUE(t.link.WriteTransaction({{0x0A02, 2}, {0x0A00, 2}, {0x0B00, 2}}));
  EXPECT_EQ(testing::Sent(*t.board, 'W'), (SentRecords{{0x0A00, 4}, {0x0B00, 2}}));
  EXPECT_EQ(t.board->Word(0x0A00), 1);
  EXPECT_EQ(t.link.Flags().communicationError.load(), 0u);
  t.board->failWrites = true;
  EXPECT_FALSE(t.link.WriteTransaction({{0x0048, 2}}));
  EXPECT_EQ(t.link.Flags().communicationError.load(), 1u);
}

TEST(BoardLinkPort, OnlyOneDevmemIsOpenAtATime) {
  auto first = std::make_shared<FakeBoard>();
  auto second = std::make_shared<FakeBoard>();
  BoardLink link;
  ASSERT_TRUE(link.OpenBoard(FakeBoardDrive(first, u"D")));
  EXPECT_FALSE(link.OpenBoard(FakeBoardDrive(second, u"E")));
  EXPECT_EQ(second->opens, 0);
  link.CloseBoard();
  EXPECT_EQ(first->closes, 1);
  EXPECT_FALSE(link.IsBoardOpen());
  EXPECT_FALSE(link.OpenBoard(BoardDrive{}));
}

TEST(BoardLinkBusy, WaitBoardIdleResults) {
  BoardLink link;
  EXPECT_EQ(link.WaitBoardIdle(), 1);
  link.Flags().playbackActive = 1;
  EXPECT_EQ(link.WaitBoardIdle(), 0);
  EXPECT_EQ(link.TakeBoard(), 0);
  EXPECT_FALSE(link.BoardBusy());
  link.Flags().playbackActive = 0;

  ASSERT_TRUE(link.TryTakeBoard());
  EXPECT_FALSE(link.TryTakeBoard());
  link.Flags().connectionActive = 0;
  EXPECT_EQ(link.WaitBoardIdle(), -1);
  link.Flags().connectionActive = 1;
  link.Flags().communicationError = 1;
  EXPECT_EQ(link.WaitBoardIdle(), 0);
}

TEST(BoardLinkBusy, TwoTasksNeverHoldTheBoardTogether) {
  BoardLink link;
  link.Flags().connectionActive = 1;
  std::atomic<int> holders{0};
  std::atomic<bool> overlap{false};
  int shared = 0;  // plain memory, guarded only by the board
  constexpr int kRounds = 2000;
  auto task = [&] {
    for (int i = 0; i < kRounds; ++i) {
      if (link.TakeBoard() == 0) {
        overlap = true;
        return;
      }
      if (holders.fetch_add(1) != 0) {
        overlap = true;
      }
      shared = shared + 1;
      std::this_thread::yield();
      holders.fetch_sub(1);
      link.ReleaseBoard();
    }
  };
  std::thread a(task);
  std::thread b(task);
  a.join();
  b.join();
  EXPECT_FALSE(overlap.load());
  EXPECT_EQ(shared, 2 * kRounds);
}

}  // namespace
}  // namespace gestalon::core
