#include "display/display_other_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "main_window/editor_session.h"
#include "motion_area/motion_area_painter.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_drawing.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {

// A few blocks and arrows in the working colours, the pose block with the texts "Sample" and
// "%03dstep" in the working font.
class MotionAreaSample : public QFrame {
 public:
  MotionAreaSample(const core::SystemSettings& copy, QWidget* parent)
      : QFrame(parent), copy_(copy) {
    setFrameStyle(QFrame::Sunken | QFrame::StyledPanel);
    setFixedSize(320, 120);
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    const auto color = [this](int index) {
      return ToQColor(copy_.motionAreaColors[static_cast<std::size_t>(index)]);
    };
    const QRect box = contentsRect();
    painter.fillRect(box, color(AreaColor::kBackground));
    painter.setRenderHint(QPainter::Antialiasing);
    const QFont font = ToQFont(copy_.motionAreaFont);
    const QFontMetrics metrics(font);
    const QString name = Text(core::TextId::kSampleBlockText);
    const QString time = ToQString(core::Format(core::LoadText(core::TextId::kFmtBlockTime), 30));
    const int textWidth =
        std::max(metrics.horizontalAdvance(name), metrics.horizontalAdvance(time));
    const int cx = box.center().x();
    const QRect pose(cx - textWidth / 2 - 8, box.top() + 26, textWidth + 16,
                     metrics.height() * 2 + 8);
    const QRect start(box.left() + 14, pose.center().y() - 12, 44, 24);
    const QRect calc(box.right() - 60, pose.center().y() - 12, 46, 24);
    const QRect branch(cx - 22, box.bottom() - 22, 44, 16);

    const auto arrow = [&](QPoint from, QPoint to, int colorIndex, int width) {
      painter.setPen(QPen(color(colorIndex), width));
      painter.drawLine(from, to);
      const QPointF tip(to);
      const QPointF back = QLineF(to, from).unitVector().p2() - tip;
      const QPointF side(-back.y(), back.x());
      const QPointF head[] = {tip, tip + back * 7 + side * 4, tip + back * 7 - side * 4};
      painter.setBrush(color(colorIndex));
      painter.drawPolygon(head, 3);
    };
    arrow({start.right(), start.center().y()}, {pose.left() - 1, start.center().y()},
          AreaColor::kSelectedArrow, 2);
    arrow({pose.right(), calc.center().y()}, {calc.left() - 1, calc.center().y()},
          AreaColor::kNormalFlow, 1);
    arrow({pose.center().x(), pose.bottom()}, {branch.center().x(), branch.top() - 1},
          AreaColor::kBranchFlow, 1);

    painter.setPen(QPen(color(AreaColor::kBlockLine), 1));
    const auto block = [&](const QRect& rect, int colorIndex) {
      painter.setBrush(color(colorIndex));
      painter.drawRoundedRect(rect, 5, 5);
    };
    block(start, AreaColor::kStartBlock);
    block(calc, AreaColor::kCalcBlock);
    block(branch, AreaColor::kBranchBlock);
    block(pose, AreaColor::kPoseBlock);
    painter.setFont(font);
    painter.setPen(color(AreaColor::kText));
    const QRect lines = pose.adjusted(0, 4, 0, -4);
    painter.drawText(lines.adjusted(0, 0, 0, -lines.height() / 2), Qt::AlignCenter, name);
    painter.drawText(lines.adjusted(0, lines.height() / 2, 0, 0), Qt::AlignCenter, time);
    painter.end();
    QFrame::paintEvent(event);
  }

 private:
  const core::SystemSettings& copy_;
};

namespace {

namespace TextId = core::TextId;

// Items of combo 1235 in order: the text and the colour it edits; the last is the font.
struct ColorItem {
  int textId;
  int color;
};
constexpr ColorItem kColorItems[] = {
    {TextId::kColorItemBackground, AreaColor::kBackground},
    {TextId::kColorItemBlockLines, AreaColor::kBlockLine},
    {TextId::kColorItemPoseBlockBg, AreaColor::kPoseBlock},
    {TextId::kColorItemNormalFlow, AreaColor::kNormalFlow},
    {TextId::kColorItemBranchFlow, AreaColor::kBranchFlow},
    {TextId::kColorItemSelectedArrow, AreaColor::kSelectedArrow},
    {TextId::kColorItemBranchBlockBg, AreaColor::kBranchBlock},
    {TextId::kColorItemCalcBlockBg, AreaColor::kCalcBlock},
    {TextId::kColorItemStartBlockBg, AreaColor::kStartBlock},
    {TextId::kColorItemFont, AreaColor::kText},
};
constexpr int kFontItem = 9;

}  // namespace

DisplayOtherPage::DisplayOtherPage(EditorSession& session, core::SystemSettings& copy,
                                   const core::DisplayOptions& options, QWidget* parent)
    : QWidget(parent), session_(session), copy_(copy) {
  setObjectName(QStringLiteral("162"));
  unusedSliders_ = Named(new QComboBox(this), 1201);
  for (const int id :
       {TextId::kUnusedSliderReplace, TextId::kUnusedSliderKeep, TextId::kUnusedSliderAsk}) {
    unusedSliders_->addItem(Text(id));
  }
  unusedSliders_->setCurrentIndex(options.unusedSliderChoice);
  doubleClick_ = Named(new QCheckBox(Text(TextId::kOptDoubleClickToggleSplit), this), 1202);
  spaceServoOff_ = Named(new QCheckBox(Text(TextId::kOptSpaceKeyServoOff), this), 1204);
  basePoseSelected_ = Named(new QCheckBox(Text(TextId::kOptBasePoseSelectedOnly), this), 1244);
  doubleClick_->setChecked(options.doubleClickTogglesSplit);
  spaceServoOff_->setChecked(options.spaceServoOff);
  basePoseSelected_->setChecked(options.basePoseSelectedOnly);

  auto* group = new QGroupBox(Text(TextId::kMotionAreaDisplayGroup), this);
  items_ = Named(new QComboBox(group), 1235);
  for (const ColorItem& item : kColorItems) {
    items_->addItem(Text(item.textId));
  }
  auto* change = Named(new QPushButton(Text(TextId::kButtonChange), group), 1234);
  change->setAutoDefault(false);
  sample_ = Named(new MotionAreaSample(copy_, group), 1236);
  gridX_ = Named(new QLineEdit(group), 1237);
  gridY_ = Named(new QLineEdit(group), 1238);
  for (QLineEdit* edit : {gridX_, gridY_}) {
    edit->setMaximumWidth(80);
    edit->setAlignment(Qt::AlignRight);
  }
  ShowGrid();

  auto* groupLayout = new QGridLayout(group);
  groupLayout->addWidget(new QLabel(Text(TextId::kSettingItemLabel), group), 0, 0);
  groupLayout->addWidget(items_, 0, 1);
  groupLayout->addWidget(change, 0, 2);
  groupLayout->addWidget(sample_, 1, 0, 1, 3, Qt::AlignLeft);
  auto* grid = new QHBoxLayout;
  grid->addWidget(new QLabel(Text(TextId::kGridLabel), group));
  grid->addWidget(new QLabel(Text(TextId::kLabelX), group));
  grid->addWidget(gridX_);
  grid->addWidget(new QLabel(Text(TextId::kLabelY), group));
  grid->addWidget(gridY_);
  grid->addStretch(1);
  groupLayout->addLayout(grid, 2, 0, 1, 3);
  groupLayout->setColumnStretch(1, 1);

  auto* layout = new QVBoxLayout(this);
  auto* unusedLabel = new QLabel(Text(TextId::kUnusedSliderLabel), this);
  unusedLabel->setWordWrap(true);
  layout->addWidget(unusedLabel);
  layout->addWidget(unusedSliders_);
  layout->addWidget(doubleClick_);
  layout->addWidget(spaceServoOff_);
  layout->addWidget(basePoseSelected_);
  layout->addWidget(group);
  layout->addStretch(1);

  connect(change, &QPushButton::clicked, this, &DisplayOtherPage::ChangeItem);
}

void DisplayOtherPage::StoreOptions(core::DisplayOptions& options) const {
  options.unusedSliderChoice = unusedSliders_->currentIndex();
  options.doubleClickTogglesSplit = doubleClick_->isChecked();
  options.spaceServoOff = spaceServoOff_->isChecked();
  options.basePoseSelectedOnly = basePoseSelected_->isChecked();
}

void DisplayOtherPage::StoreGrid() {
  copy_.gridX = core::GridSpacingFromText(ToU16(gridX_->text()));
  copy_.gridY = core::GridSpacingFromText(ToU16(gridY_->text()));
  ShowGrid();
}

void DisplayOtherPage::ShowGrid() {
  gridX_->setText(QString::number(copy_.gridX));
  gridY_->setText(QString::number(copy_.gridY));
}

void DisplayOtherPage::ChangeItem() {
  const int item = std::max(items_->currentIndex(), 0);
  auto& colors = copy_.motionAreaColors;
  const std::size_t color = static_cast<std::size_t>(kColorItems[item].color);
  if (item == kFontItem) {
    if (const auto chosen = session_.dialogs.pickFont(this, copy_.motionAreaFont, colors[color])) {
      copy_.motionAreaFont = chosen->font;
      colors[color] = chosen->color;
    }
  } else if (const auto chosen = session_.dialogs.pickColor(this, colors[color])) {
    colors[color] = *chosen;
  }
  sample_->update();
}

}  // namespace gestalon::ui
