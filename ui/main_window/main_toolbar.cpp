#include "main_window/main_toolbar.h"

#include <QToolButton>

#include "main_window/command_ids.h"
#include "strings/text_id.h"
#include "widgets/qt_drawing.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

using namespace CommandId;

struct ToolbarButton {
  int id;
  int tipId;
};

// In toolbar order; the groups are 3, 2, 7, 3, 4 and 5 buttons long.
constexpr ToolbarButton kButtons[kToolbarButtons] = {{kNew, 40113},
                                                     {kOpen, 40115},
                                                     {kSave, 40117},
                                                     {kUndo, 40119},
                                                     {kRedo, 40121},
                                                     {kCopyJointValues, 40123},
                                                     {kPasteJointValues, 40125},
                                                     {kCopyLeftToRight, 40129},
                                                     {kCopyRightToLeft, 40127},
                                                     {kMirror, 40131},
                                                     {kBasePoseButton, 40133},
                                                     {kCapturePose, 40150},
                                                     {kSplitPose, 40135},
                                                     {kDuplicatePose, 40137},
                                                     {kDeletePose, 40138},
                                                     {kPlay, 40140},
                                                     {kStop, 40142},
                                                     {kNextPose, 40143},
                                                     {kNextPoseBranch, 40144},
                                                     {kServoCorrection, 40146},
                                                     {kWriteToBoard, 40148},
                                                     {kServoOn, 40154},
                                                     {kOnline, 40155},
                                                     {kMemoryMap, 40152}};
constexpr int kGroupSizes[] = {3, 2, 7, 3, 4, 5};

constexpr int kIconWidth = 16;
constexpr int kIconHeight = 15;
const QRgb kTransparentKey = qRgb(192, 192, 192);

QIcon IconAt(const QImage& strip, int index) {
  if (strip.width() < (index + 1) * kIconWidth || strip.height() < kIconHeight) {
    return {};
  }
  QImage cell = strip.copy(index * kIconWidth, 0, kIconWidth, kIconHeight)
                    .convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < cell.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(cell.scanLine(y));
    for (int x = 0; x < cell.width(); ++x) {
      if ((line[x] & 0xFFFFFF) == (kTransparentKey & 0xFFFFFF)) {
        line[x] = 0;
      }
    }
  }
  return QIcon(QPixmap::fromImage(cell));
}

}  // namespace

int ToolbarButtonCommand(int index) {
  return kButtons[index].id;
}

MainToolbar::MainToolbar(CommandActions& actions, const std::filesystem::path& programFolder,
                         QWidget* parent)
    : QToolBar(parent), actions_(actions) {
  setObjectName(QStringLiteral("100"));
  setMovable(false);
  setFloatable(false);
  setIconSize(QSize(kIconWidth, kIconHeight));
  setToolButtonStyle(Qt::ToolButtonIconOnly);
  if (const auto bitmap = core::LoadBitmapFile(programFolder / "icons" / "toolbar.bmp")) {
    strip_ = ToQImage(*bitmap);
  }
  for (int i = 0; i < kToolbarButtons; ++i) {
    QAction* action = actions_.Action(kButtons[i].id);
    action->setToolTip(Text(kButtons[i].tipId));
    if (action->icon().isNull()) {
      action->setIcon(IconAt(strip_, i));
    }
  }
}

void MainToolbar::Build(const core::SystemSettings& settings) {
  clear();
  overrideSpin_ = loopSpin_ = nullptr;
  applyButton_ = nullptr;
  offsetSelector_ = nullptr;
  int button = 0;
  for (const int groupSize : kGroupSizes) {
    bool anyShown = false;
    for (int i = 0; i < groupSize; ++i, ++button) {
      if (!settings.toolbarButtons[static_cast<std::size_t>(button)]) {
        continue;
      }
      anyShown = true;
      QAction* action = actions_.Action(kButtons[button].id);
      addAction(action);
      if (kButtons[button].id == kBasePoseButton) {
        if (auto* tool = qobject_cast<QToolButton*>(widgetForAction(action))) {
          tool->setMenu(actions_.BasePoseDropDown());
          tool->setPopupMode(QToolButton::MenuButtonPopup);
        }
      }
    }
    if (anyShown) {
      addSeparator();
    }
  }

  const auto spinBox = [this](int minimum, int maximum, int value, int tipId) {
    auto* spin = new QSpinBox(this);
    spin->setRange(minimum, maximum);
    spin->setValue(value);
    spin->setToolTip(Text(tipId));
    spin->setAlignment(Qt::AlignRight);
    return spin;
  };
  if (settings.toolbarButtons[kLoopSpinFlag]) {
    loopSpin_ = spinBox(-1, 100, 3, core::TextId::kTipLoopCount);
    loopSpin_->setObjectName(QStringLiteral("loopCount"));
    addWidget(loopSpin_);
    addSeparator();
  }
  if (settings.toolbarButtons[kOverrideSpinFlag]) {
    overrideSpin_ = spinBox(1, 999, 100, core::TextId::kTipPlaybackOverride);
    overrideSpin_->setObjectName(QStringLiteral("playbackOverride"));
    overrideSpin_->setSuffix(QStringLiteral(" %"));
    connect(overrideSpin_, &QSpinBox::valueChanged, this, &MainToolbar::overrideChanged);
    addWidget(overrideSpin_);
    applyButton_ = new QPushButton(Text(core::TextId::kApplyOverrideButton), this);
    applyButton_->setObjectName(QString::number(kApplyOverride));
    applyButton_->setToolTip(Text(core::TextId::kTipPlaybackOverride));
    connect(applyButton_, &QPushButton::clicked, actions_.Action(kApplyOverride),
            &QAction::trigger);
    addWidget(applyButton_);
    addSeparator();
  }
  offsetSelector_ = new QComboBox(this);
  offsetSelector_->setObjectName(QStringLiteral("wheelOffset"));
  offsetSelector_->setToolTip(Text(core::TextId::kTipWheelOffset));
  offsetSelector_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  connect(offsetSelector_, &QComboBox::activated, this, &MainToolbar::offsetChosen);
  addWidget(offsetSelector_);
}

int MainToolbar::OverridePercent() const {
  return overrideSpin_ ? overrideSpin_->value() : 100;
}

void MainToolbar::SetOverridePercent(int percent) {
  if (overrideSpin_) {
    overrideSpin_->setValue(percent);
  }
}

void MainToolbar::FillOffsetSelector(const core::OffsetSelectorData& data) {
  if (!offsetSelector_) {
    return;
  }
  offsetSelector_->clear();
  for (const std::u16string& item : data.items) {
    offsetSelector_->addItem(ToQString(item));
  }
  offsetSelector_->setCurrentIndex(data.selected);
}

void MainToolbar::SetPlaybackLock(bool playing) {
  for (QWidget* widget :
       {static_cast<QWidget*>(overrideSpin_), static_cast<QWidget*>(loopSpin_),
        static_cast<QWidget*>(applyButton_), static_cast<QWidget*>(offsetSelector_)}) {
    if (widget) {
      widget->setEnabled(!playing);
    }
  }
}

}  // namespace gestalon::ui
