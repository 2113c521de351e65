#include "display/display_skin_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "main_window/editor_session.h"
#include "platform/paths.h"
#include "pose/dialog_prompts.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/truncate.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_drawing.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {

// The preview box: the chosen kind's image, scaled down to fit and centred.
class SkinPreview : public QFrame {
 public:
  explicit SkinPreview(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Sunken | QFrame::StyledPanel);
    setFixedSize(kBoxWidth, kBoxHeight);
  }
  void SetImage(const QImage* image) {
    image_ = image;
    update();
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QFrame::paintEvent(event);
    if (!image_ || image_->isNull()) {
      return;
    }
    const QRect box = contentsRect();
    const core::PreviewRect fit =
        core::FitPreview(image_->width(), image_->height(), box.width(), box.height());
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(box.x() + fit.x, box.y() + fit.y, fit.width, fit.height), *image_);
  }

 private:
  static constexpr int kBoxWidth = 240, kBoxHeight = 180;
  const QImage* image_ = nullptr;
};

namespace {

namespace TextId = core::TextId;

constexpr std::size_t kMaxPathChars = 259;

int DescriptionOf(int kind) {
  return kind == core::SkinIndex::kPoseWallpaper  ? TextId::kSkinDescPoseBackground
         : kind <= core::SkinIndex::kPoseCheckBox ? TextId::kSkinDescPoseParts
                                                  : TextId::kSkinDescMotionParts;
}

}  // namespace

DisplaySkinPage::DisplaySkinPage(EditorSession& session, core::SystemSettings& copy,
                                 std::filesystem::path programFolder,
                                 const core::DisplayOptions& options, QWidget* parent)
    : QWidget(parent),
      session_(session),
      copy_(copy),
      projectFolder_(core::PathFromText(session.project.project.folder)),
      programFolder_(std::move(programFolder)) {
  setObjectName(QStringLiteral("136"));
  kinds_ = Named(new QComboBox(this), 1165);
  for (int kind = 0; kind < core::kSkinImageCount; ++kind) {
    kinds_->addItem(Text(TextId::kSkinPoseWallpaper + kind));
    LoadPreview(kind);
  }
  path_ = Named(new QLabel(this), 1162);
  path_->setFrameStyle(QFrame::Sunken | QFrame::StyledPanel);
  path_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  path_->setMinimumWidth(360);
  auto* change = Named(new QPushButton(Text(TextId::kButtonChange), this), 1161);
  change->setAutoDefault(false);
  preview_ = Named(new SkinPreview(this), 1160);
  description_ = Named(new QLabel(this), 1166);
  description_->setWordWrap(true);
  description_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  wallpaper_ = Named(new QCheckBox(Text(TextId::kOptDrawPoseWallpaper), this), 1107);
  oldArrows_ = Named(new QCheckBox(Text(TextId::kOptOldStyleArrows), this), 1007);
  arrowMarks_ = Named(new QCheckBox(Text(TextId::kOptArrowMarksNotSimplified), this), 40648);
  useJump_ = Named(new QCheckBox(Text(TextId::kUseJumpSettingCheck), this), 40006);
  useJump_->setVisible(false);
  wallpaper_->setChecked(options.drawWallpaper);
  oldArrows_->setChecked(options.oldArrows);
  arrowMarks_->setChecked(options.arrowMarks);
  useJump_->setChecked(options.useJump);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(Text(TextId::kSkinKindLabel), this), 0, 0);
  grid->addWidget(kinds_, 0, 1);
  grid->addWidget(path_, 1, 0, 1, 2);
  grid->addWidget(change, 1, 2);
  grid->addWidget(preview_, 2, 0, 1, 2, Qt::AlignLeft | Qt::AlignTop);
  grid->addWidget(description_, 3, 0, 1, 3);
  grid->setColumnStretch(1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(wallpaper_);
  layout->addWidget(oldArrows_);
  layout->addWidget(arrowMarks_);
  layout->addStretch(1);

  connect(kinds_, &QComboBox::currentIndexChanged, this, &DisplaySkinPage::ShowKind);
  connect(change, &QPushButton::clicked, this, &DisplaySkinPage::ChangeSkin);
  ShowKind();
}

void DisplaySkinPage::StoreOptions(core::DisplayOptions& options) const {
  options.drawWallpaper = wallpaper_->isChecked();
  options.oldArrows = oldArrows_->isChecked();
  options.arrowMarks = arrowMarks_->isChecked();
  options.useJump = useJump_->isChecked();
}

void DisplaySkinPage::LoadPreview(int kind) {
  const core::SkinImage& skin = copy_.skins[static_cast<std::size_t>(kind)];
  QImage& preview = previews_[static_cast<std::size_t>(kind)];
  preview = QImage();
  if (skin.path.empty()) {
    return;
  }
  if (const auto bitmap =
          core::LoadBitmapFile(core::SkinImagePath(skin, projectFolder_, programFolder_))) {
    preview = ToQImage(*bitmap);
  }
}

void DisplaySkinPage::ShowKind() {
  const int kind = std::max(kinds_->currentIndex(), 0);
  path_->setText(ToQString(core::CompactPath(copy_.skins[static_cast<std::size_t>(kind)].path,
                                             core::kShownSkinPathChars)));
  description_->setText(Text(DescriptionOf(kind)));
  preview_->SetImage(&previews_[static_cast<std::size_t>(kind)]);
}

void DisplaySkinPage::ChangeSkin() {
  const int kind = std::max(kinds_->currentIndex(), 0);
  FileChoice choice;
  choice.title = kinds_->currentText();
  choice.filters = {FileFilter(TextId::kFilterBmp, TextId::kFilterBmpPattern)};
  const QString chosen =
      session_.dialogs.pickFile(this, choice, ToQString(core::TextFromPath(projectFolder_)));
  if (chosen.isEmpty()) {
    return;
  }
  const core::SkinPathChoice path =
      core::SkinPathForFile(projectFolder_, std::filesystem::path(ToU16(chosen)));
  core::Prompter* prompter = session_.context.prompter;
  if (!core::CheckSettingsName(path.path, prompter)) {
    return;
  }
  if (path.outsideProject &&
      (!prompter ||
       prompter->Ask(core::PromptIcon::kWarning, core::LoadText(TextId::kSkinOutsideProjectConfirm),
                     core::PromptButtons::kYesNo) != core::PromptAnswer::kYes)) {
    return;
  }
  core::SkinImage& skin = copy_.skins[static_cast<std::size_t>(kind)];
  skin.folderFlag = 1;
  skin.path = core::TruncateText(path.path, kMaxPathChars);
  LoadPreview(kind);
  ShowKind();
}

}  // namespace gestalon::ui
