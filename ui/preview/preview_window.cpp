#include "preview_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <mutex>

#include "main_window/editor_session.h"
#include "platform/paths.h"
#include "pose/edit_context.h"
#include "preview_player.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {

namespace {

QPushButton* AddButton(QHBoxLayout* row, int textId) {
  auto* button = new QPushButton(ToQString(core::LoadText(textId)));
  button->setObjectName(QString::number(textId));
  button->setFocusPolicy(Qt::NoFocus);
  row->addWidget(button);
  return button;
}

}  // namespace

PreviewWindow::PreviewWindow(EditorSession& session, const PreviewPlayer& player, QWidget* owner)
    : QWidget(owner, Qt::Tool), session_(session), player_(player) {
  using namespace core::TextId;
  setObjectName(QString::number(kPreviewTitle));
  setWindowTitle(ToQString(core::LoadText(kPreviewTitle)));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(4, 4, 4, 4);
  auto* row = new QHBoxLayout;
  column->addLayout(row);
  connect(AddButton(row, kPreviewFront), &QPushButton::clicked, this,
          [this] { view_->LookFrom(CannedView::kFront); });
  connect(AddButton(row, kPreviewSide), &QPushButton::clicked, this,
          [this] { view_->LookFrom(CannedView::kSide); });
  connect(AddButton(row, kPreviewTop), &QPushButton::clicked, this,
          [this] { view_->LookFrom(CannedView::kTop); });
  row->addStretch(1);
  connect(AddButton(row, kPreviewReload), &QPushButton::clicked, this, &PreviewWindow::Reload);
  view_ = new PreviewView(this);
  column->addWidget(view_, 1);
  message_ = new QLabel(this);
  message_->setObjectName(QStringLiteral("previewMessage"));
  message_->setWordWrap(true);
  message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  column->addWidget(message_);
  resize(480, 560);

  timer_.setInterval(kRefreshMs);
  connect(&timer_, &QTimer::timeout, this, &PreviewWindow::Refresh);
  Reload();
}

void PreviewWindow::Reload() {
  preview::RobotPreview robot;
  preview::FileError error;
  preview::PreviewLoad result;
  {
    std::lock_guard lock(session_.sessionMutex);
    result = preview::LoadRobotPreview(core::PathFromText(session_.project.project.folder),
                                       session_.project.sliders, robot, error);
  }
  switch (result) {
    case preview::PreviewLoad::kLoaded:
      fileProblem_.clear();
      view_->SetRobot(std::move(robot));
      break;
    case preview::PreviewLoad::kNoPreview:
      fileProblem_ = ToQString(core::Format(core::LoadText(core::TextId::kFmtPreviewNoFiles),
                                            core::TextFromPath(error.file)));
      view_->SetRobot(std::nullopt);
      break;
    case preview::PreviewLoad::kFailed:
      fileProblem_ = ToQString(preview::FileErrorText(error));
      view_->SetRobot(std::nullopt);
      break;
  }
  Refresh();
}

PreviewPose PreviewWindow::TakePose() {
  PreviewPose pose;
  const bool online = (session_.systemFlags.load() & core::SystemFlag::kOnline) != 0;
  const bool boardPlaying = session_.playback->Playing();
  std::lock_guard lock(session_.sessionMutex);
  SlotValues readings{};
  for (std::size_t k = 0; k < readings.size(); ++k) {
    readings[k] = session_.project.sliders[k].reading;
    pose.selected[k] = (session_.project.sliders[k].flags1 & core::SliderFlag1::kSelected) != 0;
  }
  if (player_.Playing()) {
    pose.values = player_.Values();
  } else if (boardPlaying) {
    pose.values = readings;
  } else {
    if (const core::MotionBlock* current = core::CurrentPose(session_.context)) {
      pose.values = current->slots;
    }
    if (online) {
      pose.ghost = readings;
    }
  }
  return pose;
}

void PreviewWindow::Refresh() {
  view_->ShowPose(TakePose());
  QString text = fileProblem_;
  if (text.isEmpty() && !view_->JointsOutOfLimits().empty()) {
    QStringList names;
    for (const std::string& name : view_->JointsOutOfLimits()) {
      names << QString::fromStdString(name);
    }
    text = ToQString(core::Format(core::LoadText(core::TextId::kFmtPreviewOutOfLimits),
                                  ToU16(names.join(QStringLiteral(", ")))));
  }
  if (message_->text() != text) {
    message_->setText(text);
  }
  message_->setVisible(!text.isEmpty());
}

void PreviewWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  timer_.start();
  Refresh();
}

void PreviewWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  timer_.stop();
}

void PreviewWindow::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  Q_EMIT closed();
}

QString PreviewWindow::Message() const {
  return message_->text();
}

}  // namespace gestalon::ui
