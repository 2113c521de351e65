#include "project/project_creation.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/paths.h"
#include "project/default_robots.h"
#include "project/project_loader.h"
#include "recording_ports.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "temp_dir.h"
#include "text/format.h"
#include "text/utf.h"

namespace gestalon::core {
namespace {

namespace fs = std::filesystem;

const fs::path kResources = GESTALON_RESOURCES_DIR;

std::set<fs::path> Entries(const fs::path& folder) {
  std::set<fs::path> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename());
  }
  return names;
}

TEST(ProjectCreation, ChecksTheNameThenTheFolderInOrder) {
  const std::u16string name32(32, u'a');
  struct Case {
    std::u16string name;
    std::u16string folder;
    int textId;  // 0: accepted
    PromptIcon icon;
  };
  const Case cases[] = {
      {name32, u"/robots/a", 0, PromptIcon::kNone},
      {name32 + u"b", u"", TextId::kMsgRobotNameTooLong, PromptIcon::kWarning},
      {u"", u"", TextId::kMsgRobotNameEmpty, PromptIcon::kWarning},
      {u"ロボ:1", u"", TextId::kMsgInvalidNameChars, PromptIcon::kError},
      {u"ロボ", u"", TextId::kMsgProjectFolderEmpty, PromptIcon::kWarning},
      {u"ロボ", u"/robots/a?", TextId::kMsgInvalidNameChars, PromptIcon::kError},
      {u"ロボ", u"C:\\robots\\a", 0, PromptIcon::kNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.name + u" | " + c.folder));
    const NewProjectCheck check = CheckNewProject(c.name, c.folder);
    EXPECT_EQ(check.message, c.textId ? LoadText(c.textId) : std::u16string());
    EXPECT_EQ(check.icon, c.icon);
  }
}

TEST(ProjectCreation, ProposedFolderIsTheChosenOneWithTheRobotNameInside) {
  const std::u16string separator(1, static_cast<char16_t>(fs::path::preferred_separator));
  EXPECT_EQ(ProposedProjectFolder(u"/robots/", u"ロボ"), u"/robots/ロボ");
  EXPECT_EQ(ProposedProjectFolder(u"/robots", u"ロボ"), u"/robots" + separator + u"ロボ");
  EXPECT_EQ(ProposedProjectFolder(u"", u""),
            separator + LoadText(TextId::kDefaultNewRobotFolderName));
}

TEST(ProjectCreation, EveryShippedTemplateMakesAProjectThatLoadsWithTheNewName) {
  const auto robots = ReadDefaultRobots(kResources / "defrobots.dat");
  ASSERT_GE(robots.size(), 2u);
  testing::TempDir dir;
  for (std::size_t i = 0; i < robots.size(); ++i) {
    const std::u16string name = u"新ロボ" + std::u16string(1, char16_t(u'A' + i));
    const fs::path folder = dir / "nested" / std::to_string(i);
    const CreatedProject made =
        CreateRobotProject(ResolveInFolder(kResources, robots[i].templateFolder), folder, name);
    ASSERT_TRUE(made.created) << ToUtf8(made.message);
    EXPECT_EQ(made.projectFile, folder / PathFromText(name + u".KJZ"));
    EXPECT_EQ(FindProjectFile(folder), made.projectFile);  // the template's file was renamed
    testing::RecordingPrompter prompter;
    LoadedProject project;
    ProjectLoadOptions options;
    options.programFolder = kResources;
    options.prompter = &prompter;
    ASSERT_TRUE(LoadRobotProject(made.projectFile, false, project, options));
    EXPECT_TRUE(prompter.Calls().empty());
    EXPECT_EQ(ProjectRobotName(project), name);
    EXPECT_EQ(project.cpu, made.cpu);
  }
}

// A step that fails takes back what the creation made, and says whether the folder is as before.
TEST(ProjectCreation, AFailedStepTakesBackWhatItMadeAndSaysWhatIsLeft) {
  testing::TempDir dir;
  const fs::path humanoid = kResources / "templates" / "humanoid";
  // A template without its CPU settings file fails after everything was copied.
  const fs::path noSettings = dir / "nosettings";
  fs::copy(humanoid, noSettings);
  fs::remove(noSettings / "STARTUP.XML");
  const std::u16string notCreated = LoadText(TextId::kMsgProjectNotCreated);
  struct Case {
    fs::path templateFolder;
    std::vector<std::string> before;  // files in the target folder before; "dir/" a folder
    int textId;
    fs::path failed;  // relative to the target folder, else to the template, else absolute
    bool left;
  };
  const int copyFailed = TextId::kFmtMsgTemplateCopyFailed;
  const Case cases[] = {
      // A missing template, into a new folder.
      {dir / "missing", {}, copyFailed, dir / "missing", false},
      // A folder where a template file goes.
      {humanoid, {"memo.txt", "slider.ini/"}, copyFailed, humanoid / "slider.ini", false},
      // The settings file is missing after the copy, which overwrote a file.
      {noSettings, {"system.ini"}, TextId::kFmtMsgNewProjectFileFailed, "STARTUP.XML", true},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(n);
    const fs::path folder = dir / ("target" + std::to_string(n++)) / "robot";
    if (!c.before.empty()) {
      fs::create_directories(folder);
      for (const std::string& entry : c.before) {
        if (entry.back() == '/') {
          fs::create_directories(folder / entry.substr(0, entry.size() - 1) / "inner");
        } else {
          testing::WriteBytes(folder / entry, "old");
        }
      }
    }
    const std::set<fs::path> entriesBefore =
        c.before.empty() ? std::set<fs::path>{} : Entries(folder);
    const CreatedProject made = CreateRobotProject(c.templateFolder, folder, u"ロボ");
    EXPECT_FALSE(made.created);
    const fs::path failed = c.failed.is_absolute() ? c.failed : folder / c.failed;
    const std::u16string tail =
        c.left ? Format(LoadText(TextId::kFmtMsgProjectPartlyLeft), TextFromPath(folder))
               : notCreated;
    EXPECT_EQ(made.message, Format(LoadText(c.textId), TextFromPath(failed)) + u"\r\n" + tail);
    if (c.before.empty()) {
      EXPECT_FALSE(fs::exists(folder.parent_path()));
    } else {
      EXPECT_EQ(Entries(folder), entriesBefore);
    }
  }
}

}  // namespace
}  // namespace gestalon::core
