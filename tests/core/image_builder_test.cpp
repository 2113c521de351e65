#include "board/image_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "board/motion_compiler.h"
#include "board/settings_image.h"
#include "byte_code_fixtures.h"
#include "motion/motion_reader.h"
#include "motion/motion_writer.h"
#include "recording_ports.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "temp_dir.h"
#include "text/format.h"

namespace gestalon::core {
namespace {

using testing::AddBlock;
using testing::B;
using testing::Bytes;
using testing::FakeCompileList;
using testing::L;
using testing::Mem;
using testing::Op;
using testing::operator+;

const SliderTable kNoSliders{};

// A chain Start -> blocks... -> End in list order, written to `name` in `folder`.
void WriteChain(const std::filesystem::path& folder, const std::string& name,
                const std::vector<MotionBlock>& middle) {
  MotionDocument document;
  MotionBlock* previous = &AddBlock(document, BlockKind::Start);
  for (const MotionBlock& record : middle) {
    MotionBlock& block = document.Append(record);
    previous->next = &block;
    previous = &block;
  }
  previous->next = &AddBlock(document, BlockKind::End);
  ASSERT_TRUE(WriteMotionFile(folder / name, document, kNoSliders, 100, nullptr));
}

MotionBlock Block(BlockKind kind, std::u16string fileName = u"") {
  MotionBlock block;
  block.type = static_cast<std::int32_t>(kind);
  block.time = 40;
  block.fileName = std::move(fileName);
  return block;
}

MotionDocument Read(const std::filesystem::path& file) {
  auto document = ReadMotionFile(file, kNoSliders, nullptr);
  EXPECT_TRUE(document.has_value());
  return document ? std::move(*document) : MotionDocument();
}

// The motion compiled on its own at `base`, calls answered from `addresses`.
Bytes CompiledAlone(const std::filesystem::path& file, std::uint32_t base,
                    std::map<std::u16string, std::uint32_t> addresses = {}) {
  FakeCompileList list;
  list.addresses = std::move(addresses);
  return CompileMotion(Read(file), {.baseAddress = base, .compileList = &list}).value_or(Bytes{});
}

std::vector<std::pair<std::u16string, int>> Entries(const CopyList& list) {
  std::vector<std::pair<std::u16string, int>> entries;
  for (const CopyEntry& entry : list.entries) {
    entries.emplace_back(entry.name, entry.kind);
  }
  return entries;
}

class ImageBuilderTest : public ::testing::Test {
 protected:
  ImageBuilderTest() {
    context.projectFolder = dir.Path();
    context.sliders = &kNoSliders;
    context.cpu = &cpu;
    context.progress = &progress;
    context.prompter = &prompter;
    WriteChain(dir.Path(), "main.KX4",
               {Block(BlockKind::SubRoutine, u"sub.KX4"), Block(BlockKind::Sound, u"voice.wav"),
                Block(BlockKind::FileRead, u"data.bin")});
    WriteChain(dir.Path(), "sub.KX4", {Block(BlockKind::Pose)});
  }

  testing::TempDir dir;
  CpuSettings cpu;
  testing::RecordingProgressSink progress;
  testing::RecordingPrompter prompter;
  ImageBuildContext context;
  CopyList copyList;
};

TEST_F(ImageBuilderTest, CalledMotionFollowsTheCallIsLinkedAndProgressIsShown) {
  MotionDocument edited = Read(dir / "main.KX4");
  context.editedMotion = &edited;
  const auto image = BuildMotionImage(context, u"main.KX4", u"", 100, 0, copyList);
  ASSERT_TRUE(image.has_value());
  EXPECT_TRUE(prompter.Calls().empty());
  const Bytes mainAlone = CompiledAlone(dir / "main.KX4", 0);
  const auto subAddress = static_cast<std::uint32_t>(mainAlone.size());
  const Bytes main = CompiledAlone(dir / "main.KX4", 0, {{u"sub.KX4", subAddress}});
  const Bytes sub = CompiledAlone(dir / "sub.KX4", subAddress);
  EXPECT_EQ(image->bytes, main + sub);
  // The call of the subroutine block (after the Start block and the code-address write).
  EXPECT_EQ(Bytes(image->bytes.begin() + 16, image->bytes.begin() + 21), Op(0x82, subAddress));
  EXPECT_EQ(Entries(copyList),
            (std::vector<std::pair<std::u16string, int>>{
                {u"main.KX4", 1}, {u"sub.KX4", 0}, {u"voice.wav", 2}, {u"data.bin", 3}}));
  // The edited motion's blocks receive the main motion's code ranges.
  EXPECT_EQ(std::tuple(edited.At(1)->fileStart, edited.At(1)->fileEnd), std::tuple(6u, 21u));
  // Progress goes to the writing dialog.
  auto shown = [&](int id, const std::u16string& text) {
    return std::find(progress.texts.begin(), progress.texts.end(), std::make_pair(id, text)) !=
           progress.texts.end();
  };
  EXPECT_EQ(progress.texts.front(),
            std::make_pair(WriteDialogText::kStep, LoadText(TextId::kWriteDlgStepCompile)));
  EXPECT_TRUE(shown(WriteDialogText::kCurrentFile,
                    Format(LoadText(TextId::kFmtWriteDlgLoading), u"sub.KX4")));
  EXPECT_TRUE(
      shown(WriteDialogText::kCounts, Format(LoadText(TextId::kFmtWriteDlgCompiledCount), 4, 2)));
}

TEST_F(ImageBuilderTest, StartupImageCallsTheMotionPlacedAfterTheSettings) {
  EXPECT_EQ(BuildStartupImage(context, copyList), BuildSettingsImage(cpu)) << "no startup motion";
  EXPECT_TRUE(copyList.entries.empty());
  cpu.startupMotion = u"main.KX4";
  const auto image = BuildStartupImage(context, copyList);
  ASSERT_TRUE(image.has_value());
  const Bytes mainAlone = CompiledAlone(dir / "main.KX4", 2795);
  const auto subAddress = static_cast<std::uint32_t>(2795 + mainAlone.size());
  Bytes settings = BuildSettingsImage(cpu);
  PatchStartupCall(settings, 2795);
  EXPECT_EQ(*image, settings + CompiledAlone(dir / "main.KX4", 2795, {{u"sub.KX4", subAddress}}) +
                        CompiledAlone(dir / "sub.KX4", subAddress));
  EXPECT_EQ(Bytes(image->begin() + 2785, image->begin() + 2795), Op(0x82, 2795) + Op(0x81, 2790));
  context.cpu = nullptr;
  EXPECT_FALSE(BuildStartupImage(context, copyList).has_value());
}

TEST_F(ImageBuilderTest, MissingCalledMotionReturnsAtOnce) {
  WriteChain(
      dir.Path(), "main.KX4",
      {Block(BlockKind::SubRoutine, u"missing.KX4"), Block(BlockKind::SubRoutine, u"sub.KX4")});
  const auto image = BuildMotionImage(context, u"main.KX4", u"", 100, 0, copyList);
  ASSERT_TRUE(image.has_value());
  ASSERT_EQ(prompter.Calls().size(), 1u);
  EXPECT_EQ(prompter.Calls()[0].text,
            Format(LoadText(TextId::kFmtMsgCannotOpenFile), u"missing.KX4"));
  const auto stub = static_cast<std::uint32_t>(CompiledAlone(dir / "main.KX4", 0).size());
  EXPECT_EQ(image->bytes[stub], 0x83);
  EXPECT_EQ(Bytes(image->bytes.begin() + 16, image->bytes.begin() + 21), Op(0x82, stub));
  EXPECT_EQ(Bytes(image->bytes.begin() + 31, image->bytes.begin() + 36), Op(0x82, stub + 1));
  EXPECT_EQ(Bytes(image->bytes.begin() + stub + 1, image->bytes.end()),
            CompiledAlone(dir / "sub.KX4", stub + 1));
  // Not a file to copy, nor a motion of the image.
  EXPECT_EQ(Entries(copyList),
            (std::vector<std::pair<std::u16string, int>>{{u"main.KX4", 1}, {u"sub.KX4", 0}}));
}

TEST_F(ImageBuilderTest, MainMotionThatCannotBeUsedGivesNoImage) {
  EXPECT_FALSE(BuildMotionImage(context, u"none.KX4", u"", 100, 0, copyList).has_value());
  EXPECT_TRUE(copyList.entries.empty());
  prompter.Clear();
  testing::WriteBytes(dir / "empty.KX4", "no blocks here");
  EXPECT_FALSE(BuildMotionImage(context, u"empty.KX4", u"", 100, 0, copyList).has_value());
  ASSERT_EQ(prompter.Calls().size(), 1u);
  EXPECT_EQ(prompter.Calls()[0].text,
            Format(LoadText(TextId::kFmtMsgCannotBinarize), u"empty.KX4"));
  cpu.startupMotion = u"none.KX4";
  EXPECT_FALSE(BuildStartupImage(context, copyList).has_value());
  // A too long file name leaves the motion out.
  prompter.Clear();
  WriteChain(dir.Path(), "main.KX4",
             {Block(BlockKind::Sound, std::u16string(255, u'x')),
              Block(BlockKind::SubRoutine, u"sub.KX4")});
  EXPECT_FALSE(BuildMotionImage(context, u"main.KX4", u"", 100, 0, copyList).has_value());
  ASSERT_EQ(prompter.Calls().size(), 2u);
  EXPECT_EQ(prompter.Calls()[1].text, Format(LoadText(TextId::kFmtMsgCannotBinarize), u"main.KX4"));
}

TEST_F(ImageBuilderTest, NamesMatchWithoutLetterCaseRecursionIsOneEntryAndTheOverrideScales) {
  WriteChain(dir.Path(), "main.KX4",
             {Block(BlockKind::SubRoutine, u"sub.KX4"), Block(BlockKind::SubRoutine, u"SUB.kx4"),
              Block(BlockKind::SubRoutine, u"MAIN.KX4")});
  const auto image = BuildMotionImage(context, u"main.KX4", u"", 100, 0x40, copyList);
  ASSERT_TRUE(image.has_value());
  const auto subAddress =
      static_cast<std::uint32_t>(0x40 + CompiledAlone(dir / "main.KX4", 0).size());
  EXPECT_EQ(Bytes(image->bytes.begin() + 16, image->bytes.begin() + 21), Op(0x82, subAddress));
  EXPECT_EQ(Bytes(image->bytes.begin() + 31, image->bytes.begin() + 36), Op(0x82, subAddress));
  EXPECT_EQ(Bytes(image->bytes.begin() + 46, image->bytes.begin() + 51), Op(0x82, 0x40));
  EXPECT_EQ(copyList.entries.size(), 2u);
}

TEST(ImageFiles, WriteReplacesAndFoldersAreCreated) {
  testing::TempDir dir;
  const Bytes bytes = B({0x81, 0, 0, 0, 0, 0x80});
  ASSERT_TRUE(WriteImageFile(dir / "STARTUP.BIN", bytes));
  ASSERT_TRUE(WriteImageFile(dir / "STARTUP.BIN", B({1})));
  EXPECT_EQ(testing::ReadBytes(dir / "STARTUP.BIN"), "\x01");
  EXPECT_FALSE(WriteImageFile(dir / "no" / "such" / "x.BIN", bytes));
  EXPECT_TRUE(CreateFolders(dir / "a" / "b" / "c"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "a" / "b" / "c"));
  testing::WriteBytes(dir / "file", "x");
  EXPECT_FALSE(CreateFolders(dir / "file" / "sub"));
}

}  // namespace
}  // namespace gestalon::core
