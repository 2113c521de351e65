#include "project/robot_project.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/folders.h"
#include "platform/paths.h"
#include "project/recent_projects.h"
#include "temp_dir.h"

namespace gestalon::core {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::Utf16Bytes;
using testing::WriteBytes;

TEST(ProjectFile, ReadsTheSixNamesAndTheFolder) {
  TempDir dir;
  const auto path = dir / "robot.KJZ";
  WriteBytes(path,
             Utf16Bytes(u"ROMINI:[[STARTUP.XML]]\r\nSYSINI:[[sys.ini]]\r\nDEFPOSINI:[[pos.ini]]"
                        u"\r\nSLDINI:[[ロボ スライダ-1.ini]]\r\nDEFOFSINI:[[ofs.ini]]\r\n"
                        u"MEMMAPINI:[[mem.txt]]\r\n"));
  RobotProject project;
  ASSERT_TRUE(ReadProjectFile(path, project));
  EXPECT_EQ(project, (RobotProject{.folder = TextFromPath(dir.Path() / ""),
                                   .SYSINI = u"sys.ini",
                                   .SLDINI = u"ロボ スライダ-1.ini",
                                   .ROMINI = u"STARTUP.XML",
                                   .DEFPOSINI = u"pos.ini",
                                   .DEFOFSINI = u"ofs.ini",
                                   .MEMMAPINI = u"mem.txt"}));
  EXPECT_EQ(ProjectFilePath(project, project.SYSINI), dir / "sys.ini");
  EXPECT_FALSE(ReadProjectFile(dir / "missing.KJZ", project));
}

TEST(ProjectFile, WriteReadsBackAndRenameFindsAnyCase) {
  TempDir dir;
  RobotProject project{u"", u"s", u"l", u"r", u"p", u"o", u"m"};
  ASSERT_TRUE(WriteProjectFile(dir / "old.kjz", project));
  ASSERT_TRUE(RenameProjectFile(dir.Path(), u"新しい名前"));
  RobotProject back;
  ASSERT_TRUE(ReadProjectFile(dir.Path() / u"新しい名前.KJZ", back));
  back.folder.clear();
  EXPECT_EQ(back, project);
  TempDir empty;
  EXPECT_FALSE(RenameProjectFile(empty.Path(), u"x"));
  // A name that is no plain file name, or that would replace another file, moves nothing.
  WriteBytes(dir.Path() / u"龍.KJZ", "keep");  // after the renamed file in name order
  for (const std::u16string_view name : {u"", u"../up", u"sub\\x", u"..", u".", u"龍"}) {
    EXPECT_FALSE(RenameProjectFile(dir.Path(), name));
  }
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / u"新しい名前.KJZ"));
  EXPECT_EQ(ReadBytes(dir.Path() / u"龍.KJZ"), "keep");
  testing::ExpectFailedWritesChangeNothing(
      [&](const std::filesystem::path& path) { return WriteProjectFile(path, project); });
}

// Names on disk need not be UTF-8 and texts from files may hold lone surrogates: both convert
// with replacement characters instead of throwing out of the reader.
TEST(ProjectFile, NamesThatDoNotConvertAreReplacedNotThrown) {
#ifdef _WIN32
  EXPECT_EQ(TextFromPath(PathFromText(u"a\xD800.KJZ")), u"a\xD800.KJZ") << "names are UTF-16 there";
#else
  EXPECT_EQ(TextFromPath(PathFromText(u"a\xD800.KJZ")), u"a\xFFFD.KJZ");
  TempDir dir;
  WriteBytes(dir / "a.K\xffJZ", "");
  WriteBytes(dir / "b.KJZ", "");
  EXPECT_EQ(FindProjectFile(dir.Path()), dir / "b.KJZ");
  EXPECT_EQ(TextFromPath(std::filesystem::path("a.K\xffJZ")), u"a.K\xFFFDJZ");
#endif
}

class RecentLogTest : public ::testing::Test {
 protected:
  // A project file that exists, so that the log keeps its entry.
  std::u16string Project(int n) {
    const auto path = dir_ / ("p" + std::to_string(n) + ".KJZ");
    WriteBytes(path, "");
    return TextFromPath(path);
  }
  TempDir dir_;
};

TEST_F(RecentLogTest, HoldsThirtyTwoAndDropsVanishedProjects) {
  RecentProjects log;
  for (int i = 0; i < 40; ++i) {
    RecordRecentProject(log, u"r" + std::u16string(1, char16_t(0x3040 + i)), Project(i));
  }
  EXPECT_TRUE(log.entries[31].valid);
  EXPECT_EQ(log.entries[31].path, Project(8)) << "the oldest eight fell off the end";
  std::filesystem::remove(PathFromText(Project(39)));
  const auto logFile = dir_ / "kjplog.dat";
  ASSERT_TRUE(WriteRecentProjects(logFile, log, nullptr, u""));
  RecentProjects back;
  std::u16string first;
  ASSERT_TRUE(ReadRecentProjects(logFile, back, &first));
  EXPECT_EQ(first, Project(38)) << "the vanished most recent project is gone";
  EXPECT_EQ(back.entries[30].path, Project(8));
  EXPECT_FALSE(back.entries[31].valid);
}

TEST_F(RecentLogTest, WriteRecordsThePathInItsFormat) {
  const auto logFile = dir_ / "kjplog.dat";
  RecentProjects log;
  const std::u16string path = Project(1);
  ASSERT_TRUE(WriteRecentProjects(logFile, log, &path, u"ロボット"));
  const std::string bytes = testing::ReadBytes(logFile);
  EXPECT_EQ(bytes, Utf16Bytes(u"ROBOT_LOG[[ロボット]]-[[" + path + u"]]\r\n"));
  RecentProjects back;
  std::u16string first = u"stale";
  EXPECT_FALSE(ReadRecentProjects(dir_ / "none.dat", back, &first));
  EXPECT_TRUE(first.empty());
  EXPECT_FALSE(WriteRecentProjects(dir_ / "no" / "kjplog.dat", log, nullptr, u""));
}

TEST(ProgramInstance, StartsTheProgramWithItsArgument) {
  TempDir dir;
  EXPECT_FALSE(StartProgramInstance(dir / "no_such_program", {}));
#ifndef _WIN32  // the started program is the shell
  const auto marker = dir / "started";
  ASSERT_TRUE(StartProgramInstance("/bin/sh", {u"-c", u"echo ok > \"$0\"", TextFromPath(marker)}));
  for (int i = 0; i < 6000 && !std::filesystem::exists(marker); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(std::filesystem::exists(marker));
#endif
}

}  // namespace
}  // namespace gestalon::core
