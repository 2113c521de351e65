#pragma once

#include <QImage>
#include <QWidget>
#include <array>
#include <filesystem>

#include "project/display_options.h"
#include "project/system_settings.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace gestalon::ui {

class EditorSession;
class SkinPreview;

// Page 136 of the display settings: the skin image of each of the 12 kinds (combo 1165) with its
// path (1162, shortened), its description (1166) and a preview (1160) scaled to fit; "変更"
// (1161) chooses another bitmap file into the working copy. Below, the wallpaper and arrow
// options (1107, 1007, 40648) and the hidden "ジャンプの設定を使う" (40006).
class DisplaySkinPage : public QWidget {
  Q_OBJECT

 public:
  // `copy` is the dialog's working copy; its skin paths are resolved against the project folder
  // or `programFolder` by their folder flags.
  DisplaySkinPage(EditorSession& session, core::SystemSettings& copy,
                  std::filesystem::path programFolder, const core::DisplayOptions& options,
                  QWidget* parent = nullptr);

  void StoreOptions(core::DisplayOptions& options) const;

 private:
  void ShowKind();
  void ChangeSkin();
  void LoadPreview(int kind);

  EditorSession& session_;
  core::SystemSettings& copy_;
  std::filesystem::path projectFolder_;
  std::filesystem::path programFolder_;
  std::array<QImage, core::kSkinImageCount> previews_;
  QComboBox* kinds_;
  QLabel* path_;
  QLabel* description_;
  SkinPreview* preview_;
  QCheckBox* wallpaper_;
  QCheckBox* oldArrows_;
  QCheckBox* arrowMarks_;
  QCheckBox* useJump_;
};

}  // namespace gestalon::ui
