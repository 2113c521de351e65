#include <gtest/gtest.h>

#include "preview/robot_preview.h"
#include "preview/urdf_reader.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "temp_dir.h"

namespace gestalon::preview {
namespace {

using testing::TempDir;
using testing::WriteBytes;

struct MappingCase {
  const char* mapping;
  PreviewLoad result;
  int line;
  int detailId;  // 0: any detail
};

// Every mistake names the mapping file and the line it is on; the rest of the project loads.
TEST(PreviewFiles, MappingMistakesNameTheirLine) {
  const MappingCase cases[] = {
      {"_URDF:[[arm.urdf]]\n_JOINT:[[shoulder]]-[3]-[1]-[0]-[10]\n", PreviewLoad::kLoaded, 0, 0},
      {"_URDF:[[arm.urdf]]\r\n\r\n_JOINT:[[shoulder]]-[128]-[1]\r\n", PreviewLoad::kFailed, 3,
       core::TextId::kPreviewSliderRange},
      {"_URDF:[[arm.urdf]]\n_JOINT:[[shoulder]]-[3]-[2]\n", PreviewLoad::kFailed, 2,
       core::TextId::kPreviewSignValue},
      {"_URDF:[[arm.urdf]]\n_JIONT:[[shoulder]]-[3]-[1]\n", PreviewLoad::kFailed, 2,
       core::TextId::kPreviewUnknownLine},
      {"_URDF:[[arm.urdf]]\n\n\n_JOINT:[[elbow]]-[3]-[1]\n", PreviewLoad::kFailed, 4, 0},
      {"_URDF:[[arm.urdf]]\n_JOINT:[[shoulder]]-[3]-[1]\n_JOINT:[[shoulder]]-[4]-[1]\n",
       PreviewLoad::kFailed, 3, 0},
      // Slider 5 has no counts per degree of its own and the line gives none.
      {"_URDF:[[arm.urdf]]\n_JOINT:[[shoulder]]-[5]-[1]\n", PreviewLoad::kFailed, 2,
       core::TextId::kPreviewNoScale},
      {"_URDF:[[missing.urdf]]\n", PreviewLoad::kFailed, 0, core::TextId::kPreviewCannotOpen},
  };
  core::SliderTable sliders{};
  sliders[3].countsPerDegree = 100.0;
  for (const MappingCase& c : cases) {
    const TempDir folder;
    std::filesystem::copy_file(GESTALON_FIXTURES_DIR "/preview/arm.urdf", folder / "arm.urdf");
    WriteBytes(folder / "preview.ini", c.mapping);
    RobotPreview preview;
    FileError error;
    EXPECT_EQ(LoadRobotPreview(folder.Path(), sliders, preview, error), c.result) << c.mapping;
    EXPECT_EQ(error.line, c.line) << c.mapping;
    if (c.result == PreviewLoad::kFailed) {
      const bool urdf = c.detailId == core::TextId::kPreviewCannotOpen;
      EXPECT_EQ(error.file, urdf ? folder / "missing.urdf" : folder / "preview.ini");
      if (c.detailId != 0) {
        EXPECT_EQ(error.detail, core::LoadText(c.detailId)) << c.mapping;
      }
    } else {
      ASSERT_EQ(preview.drives.size(), 1u);
      EXPECT_EQ(preview.drives[0].countsPerUnit, 10.0);
    }
  }
}

TEST(PreviewFiles, NoMappingFileIsNoPreviewNotAnError) {
  const TempDir folder;
  RobotPreview preview;
  FileError error;
  EXPECT_EQ(LoadRobotPreview(folder.Path(), core::SliderTable{}, preview, error),
            PreviewLoad::kNoPreview);
}

// A description the parser refuses points at the line where it went wrong.
TEST(PreviewFiles, DescriptionErrorsNameTheLine) {
  struct Case {
    const char* text;
    int line;
  };
  const Case cases[] = {
      // An element left open: the end tag that does not match it.
      {"<?xml version=\"1.0\"?>\n<robot name=\"r\">\n  <link name=\"a\">\n</robot>\n", 4},
      // A tag cut short.
      {"<?xml version=\"1.0\"?>\n<!-- a\n comment -->\n<robot name=\"r\">\n  <link name=\"a\"\n",
       5},
      // A joint whose child link does not exist.
      {"<?xml version=\"1.0\"?>\n<robot name=\"r\">\n  <link name=\"a\"/>\n"
       "  <joint name=\"j\" type=\"fixed\"><parent link=\"a\"/><child link=\"ghost\"/></joint>\n"
       "</robot>\n",
       4},
  };
  for (const Case& c : cases) {
    const TempDir folder;
    WriteBytes(folder / "r.urdf", c.text);
    RobotModel model;
    FileError error;
    EXPECT_FALSE(ReadUrdfFile(folder / "r.urdf", model, error));
    EXPECT_EQ(error.file, folder / "r.urdf");
    EXPECT_EQ(error.line, c.line) << c.text;
    EXPECT_FALSE(error.detail.empty());
  }
}

}  // namespace
}  // namespace gestalon::preview
