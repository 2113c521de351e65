#include "flowchart/block_file_checks.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/paths.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "temp_dir.h"

namespace gestalon::core {
namespace {

namespace fs = std::filesystem;

TEST(BlockFileChecks, StatusTextsFollowTheFileAndZeroFilledFilesHaveTheTypedSize) {
  testing::TempDir dir;
  fs::create_directory(dir / "sub");
  testing::WriteBytes(dir / "sub" / "DATA.LOG", "12345");
  fs::create_directory(dir / "folder.LOG");
  const std::u16string folder = TextFromPath(dir.Path() / "");
  const std::u16string notFound = LoadText(TextId::kMsgFileNotFoundStatus);
  struct Case {
    std::u16string name;
    std::u16string called;
    std::u16string data;
  };
  const Case cases[] = {
      {u"sub\\DATA.LOG", u"", u"ファイルサイズは5byteです。"},
      {u"MISSING.LOG", notFound, notFound},
      {u"", notFound, notFound},
      {u"folder.LOG", notFound, notFound},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(fs::path(c.name).string());
    EXPECT_EQ(CalledFileStatus(folder, c.name), c.called);
    EXPECT_EQ(DataFileStatus(folder, c.name), c.data);
  }
  testing::WriteBytes(dir / "OLD.LOG", "previous contents");
  struct Created {
    std::u16string name;
    std::u16string sizeText;
    bool created;
    std::string contents;  // of the file afterwards
  };
  const Created created[] = {
      {u"NEW.LOG", u"8", true, std::string(8, '\0')},
      {u"NEGATIVE.LOG", u"-3", true, ""},
      {u"OLD.LOG", u"3", true, std::string(3, '\0')},
      {u"nofolder/X.LOG", u"8", false, ""},
      {u"", u"8", false, ""},
  };
  for (const Created& c : created) {
    SCOPED_TRACE(fs::path(c.name).string());
    EXPECT_EQ(CreateZeroFilledFile(folder, c.name, CreateFileSizeFromField(c.sizeText)), c.created);
    if (c.created) {
      EXPECT_EQ(testing::ReadBytes(dir / fs::path(c.name).string()), c.contents);
    }
  }
  // Nothing but the files made is left behind (no temporary files).
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 5);
}

}  // namespace
}  // namespace gestalon::core
