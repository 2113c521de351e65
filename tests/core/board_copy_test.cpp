#include <gtest/gtest.h>

#include <chrono>

#include "board/copy_list.h"
#include "platform/paths.h"
#include "recording_ports.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "temp_dir.h"
#include "text/format.h"

namespace gestalon::core {
namespace {

using namespace std::chrono;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

std::filesystem::file_time_type At(seconds s, milliseconds ms = milliseconds(0)) {
  return std::filesystem::file_time_type(
      duration_cast<std::filesystem::file_time_type::duration>(s + ms));
}

TEST(BoardCopy, CardTimesAreWholeEvenSeconds) {
  const seconds noon(43200);
  EXPECT_EQ(CardFileTime(At(noon + seconds(1), milliseconds(500))), At(noon + seconds(2)));
  EXPECT_EQ(CardFileTime(At(noon + seconds(4))), At(noon + seconds(4)));
  EXPECT_EQ(CardFileTime(At(noon + seconds(59), milliseconds(1))), At(noon + seconds(60)))
      << "59 seconds and a bit become the next minute";
}

class BoardCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir_ / "project" / "sub");
    std::filesystem::create_directories(dir_ / "card");
    context_.projectFolder = dir_ / "project";
    context_.drive.root = dir_ / "card";
    context_.drive.label = u"card";
    context_.prompter = &prompter_;
    context_.progress = &progress_;
  }
  CopyList List() {
    CopyList list;
    CopyListAdd(list, u"STARTUP.BIN", CopyKind::kFile);
    CopyListAdd(list, u"sub\\voice.wav", CopyKind::kFile);
    CopyListAdd(list, u"walk.KX4", CopyKind::kUsedMotion);
    CopyListAdd(list, u"extra.dat", CopyKind::kFirstWriteFile);
    return list;
  }
  TempDir dir_;
  CopyContext context_;
  testing::RecordingPrompter prompter_;
  testing::RecordingProgressSink progress_;
};

TEST_F(BoardCopyTest, CopiesFilesButNotMotionsAndFirstWriteFilesOnlyOnTheFirstWrite) {
  WriteBytes(dir_ / "project" / "STARTUP.BIN", "image");
  WriteBytes(dir_ / "project" / "sub" / "voice.wav", "wav");
  WriteBytes(dir_ / "project" / "walk.KX4", "motion");
  WriteBytes(dir_ / "project" / "extra.dat", "extra");
  CopyList list = List();
  EXPECT_EQ(CopyListToDrive(list, context_), 1);
  EXPECT_TRUE(list.entries.empty());
  EXPECT_EQ(ReadBytes(dir_ / "card" / "STARTUP.BIN"), "image");
  EXPECT_EQ(ReadBytes(dir_ / "card" / "sub" / "voice.wav"), "wav") << "folders are created";
  EXPECT_FALSE(std::filesystem::exists(dir_ / "card" / "walk.KX4")) << "compiled motions stay";
  EXPECT_FALSE(std::filesystem::exists(dir_ / "card" / "extra.dat")) << "first write only";

  list = List();
  context_.firstWrite = true;
  CopyListToDrive(list, context_);
  EXPECT_EQ(ReadBytes(dir_ / "card" / "extra.dat"), "extra");
  EXPECT_TRUE(prompter_.Calls().empty());
}

TEST_F(BoardCopyTest, MissingSourceIsReportedAndEscapeStopsAfterAYes) {
  CopyList list = List();
  EXPECT_EQ(CopyListToDrive(list, context_), 0) << "a missing file is not a complete copy";
  ASSERT_FALSE(prompter_.Calls().empty());
  EXPECT_EQ(prompter_.Calls()[0].text, Format(LoadText(TextId::kFmtMsgFileNotFound),
                                              TextFromPath(dir_ / "project" / "STARTUP.BIN")));

  WriteBytes(dir_ / "project" / "STARTUP.BIN", "image");
  std::atomic<bool> escape{true};
  context_.cancelRequest = &escape;
  prompter_.Clear();
  prompter_.QueueAnswer(PromptAnswer::kNo);
  list = List();
  CopyListToDrive(list, context_);
  EXPECT_TRUE(std::filesystem::exists(dir_ / "card" / "STARTUP.BIN")) << "No: the copy goes on";
  std::filesystem::remove(dir_ / "card" / "STARTUP.BIN");
  escape = true;
  prompter_.Clear();
  prompter_.QueueAnswer(PromptAnswer::kYes);
  list = List();
  EXPECT_EQ(CopyListToDrive(list, context_), 0);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "card" / "STARTUP.BIN"));
  ASSERT_EQ(prompter_.Calls().size(), 2u);
  EXPECT_EQ(prompter_.Calls()[1].text, LoadText(TextId::kMsgAborted));
  EXPECT_TRUE(list.entries.empty());

  escape = true;  // with nobody to ask, Escape stops at once
  context_.prompter = nullptr;
  list = List();
  EXPECT_EQ(CopyListToDrive(list, context_), 0);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "card" / "STARTUP.BIN"));
}

TEST_F(BoardCopyTest, FlushRetriesUpToItsLimitsAndReportsAMissingDrive) {
  EXPECT_EQ(FlushDriveCache(context_.drive, &prompter_, 3, milliseconds(0)), 1);
  BoardDrive gone{dir_ / "gone", u"gone", {}, {}, {}};
  EXPECT_EQ(FlushDriveCache(gone, &prompter_, 3, milliseconds(0)), 0);
  ASSERT_EQ(prompter_.Calls().size(), 1u);
  EXPECT_EQ(prompter_.Calls()[0].text, LoadText(TextId::kMsgBoardDriveNotFound));

  // Plain failures give up after exactly the limit; a busy drive neither counts towards it nor
  // is asked about before the 21st attempt.
  std::vector<DriveFlushResult> results;
  int calls = 0;
  BoardDrive flaky = context_.drive;
  flaky.flushOnce = [&] {
    const std::size_t at = static_cast<std::size_t>(calls++);
    return at < results.size() ? results[at] : DriveFlushResult::kFailed;
  };
  const auto flush = [&](int limit, Prompter* prompter, std::vector<PromptAnswer> answers = {}) {
    calls = 0;
    prompter_.Clear();
    for (const PromptAnswer answer : answers) {
      prompter_.QueueAnswer(answer);
    }
    return FlushDriveCache(flaky, prompter, limit, milliseconds(0));
  };
  EXPECT_EQ(flush(kFlushAttempts, nullptr), 0);
  EXPECT_EQ(calls, 100);
  EXPECT_EQ(flush(3, &prompter_), 0);
  EXPECT_EQ(calls, 3);
  ASSERT_EQ(prompter_.Calls().size(), 1u);
  EXPECT_EQ(prompter_.Calls()[0].text,
            Format(LoadText(TextId::kFmtMsgFlushGaveUp), TextFromPath(flaky.root), 3));
  results = {DriveFlushResult::kFailed, DriveFlushResult::kFailed, DriveFlushResult::kFlushed};
  EXPECT_EQ(flush(3, &prompter_), 1);
  EXPECT_TRUE(prompter_.Calls().empty());
  results.assign(30, DriveFlushResult::kAccessDenied);
  EXPECT_EQ(flush(3, nullptr), 0);
  EXPECT_EQ(calls, 21) << "without anyone to ask, a busy drive is given up at the 21st attempt";
  EXPECT_EQ(flush(3, &prompter_, {PromptAnswer::kOk, PromptAnswer::kCancel}), 0);
  EXPECT_EQ(calls, 22);
  EXPECT_EQ(prompter_.Calls().size(), 2u);
  EXPECT_EQ(prompter_.Calls()[0].text, LoadText(TextId::kMsgFilesOpenElsewhere));
}

}  // namespace
}  // namespace gestalon::core
