#include "board/drive_selection_dialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>
#include <utility>

#include "strings/text_id.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

constexpr int kComboMinWidth = 280;

QPushButton* Button(int textId, const char* id, QWidget* parent) {
  auto* button = new QPushButton(Text(textId), parent);
  button->setObjectName(QString::fromLatin1(id));
  return button;
}

}  // namespace

DriveSelectionDialog::DriveSelectionDialog(core::BoardLink& link, core::BoardScanResult scan,
                                           QtPrompter* prompter, QWidget* parent)
    : QDialog(parent), link_(link), scan_(std::move(scan)), prompter_(prompter) {
  using namespace core::TextId;
  if (prompter_) {
    previousOwner_ = prompter_->Owner();
    prompter_->SetOwner(this);
  }
  setObjectName(QStringLiteral("195"));
  setWindowTitle(Text(kDlgSelectBoardTitle));

  auto* info = new QLabel(
      Text(kDlgSelectBoardInfoLine1) + QLatin1Char('\n') + Text(kDlgSelectBoardInfoLine2), this);
  boards_ = new QComboBox(this);
  boards_->setObjectName(QStringLiteral("1121"));
  boards_->setMinimumWidth(kComboMinWidth);
  boards_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  for (const std::u16string& text : core::BoardChoiceTexts(scan_)) {
    boards_->addItem(ToQString(text));
  }
  if (boards_->count() > 0) {
    boards_->setCurrentIndex(core::CurrentBoardChoice(link_, scan_));
  }

  QPushButton* ok = Button(kButtonOk, "1", this);
  QPushButton* cancel = Button(kButtonCancel, "2", this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &DriveSelectionDialog::Confirm);
  connect(cancel, &QPushButton::clicked, this, &DriveSelectionDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(info);
  layout->addWidget(boards_);
  layout->addSpacing(6);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

DriveSelectionDialog::~DriveSelectionDialog() {
  if (prompter_) {
    prompter_->SetOwner(previousOwner_.data());
  }
}

void DriveSelectionDialog::Confirm() {
  core::ChooseBoard(link_, scan_, boards_->currentIndex());
  accept();
}

namespace {

// Runs the dialog on the user-interface thread; `parent` is looked at there only.
bool RunChoice(core::BoardLink& link, const core::BoardScanResult& scan,
               const QPointer<QWidget>& parent, QtPrompter* prompter) {
  auto run = [&] {
    DriveSelectionDialog dialog(link, scan, prompter, parent.data());
    return dialog.exec() == QDialog::Accepted;
  };
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || QThread::currentThread() == app->thread()) {
    return run();
  }
  bool chosen = false;
  QMetaObject::invokeMethod(
      app, [&] { chosen = run(); }, Qt::BlockingQueuedConnection);
  return chosen;
}

}  // namespace

bool ChooseBoardDrive(core::BoardLink& link, const core::BoardScanResult& scan, QWidget* parent,
                      QtPrompter* prompter) {
  return RunChoice(link, scan, QPointer<QWidget>(parent), prompter);
}

std::function<bool(core::BoardLink&, const core::BoardScanResult&)> MakeBoardChooser(
    QWidget* parent, QtPrompter* prompter) {
  return [owner = QPointer<QWidget>(parent), prompter](core::BoardLink& link,
                                                       const core::BoardScanResult& scan) {
    return RunChoice(link, scan, owner, prompter);
  };
}

}  // namespace gestalon::ui
