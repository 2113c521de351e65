#include "board/virtual_controller.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPushButton>
#include <QVBoxLayout>

#include "board_addresses.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "virtual_board.h"
#include "widgets/control_lookup.h"
#include "widgets/pad_layout.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace TextId = core::TextId;

constexpr int kButtonWidth = 52;
constexpr int kButtonHeight = 30;
constexpr int kPowerWatchMs = 250;

// The keys that press the buttons, by bit of the controller word.
constexpr std::array<Qt::Key, core::kPadButtonCount> kPadKeys{
    Qt::Key_V,    Qt::Key_C,    Qt::Key_N, Qt::Key_B, Qt::Key_Up, Qt::Key_Right,
    Qt::Key_Down, Qt::Key_Left, Qt::Key_1, Qt::Key_0, Qt::Key_Q,  Qt::Key_P,
    Qt::Key_I,    Qt::Key_L,    Qt::Key_K, Qt::Key_J};

QString KeyTip(Qt::Key key) {
  const QString name = QKeySequence(key).toString(QKeySequence::NativeText);
  return ToQString(core::Format(core::LoadText(TextId::kFmtVirtualControllerKey), ToU16(name)));
}

}  // namespace

VirtualControllerWindow::VirtualControllerWindow(sim::VirtualBoard& board, QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      board_(board) {
  setObjectName(QString::number(TextId::kVirtualControllerTitle));
  setWindowTitle(Text(TextId::kVirtualControllerTitle));
  // The window itself takes the keys: no button keeps the focus.
  setFocusPolicy(Qt::StrongFocus);

  auto* pad = new QGridLayout;
  for (const int gap : kPadGapColumns) {
    pad->setColumnMinimumWidth(gap, 12);
  }
  for (std::size_t bit = 0; bit < kPadKeys.size(); ++bit) {
    const int textId = core::kPadButtonTextIds[bit];
    QPushButton* button = Named(new QPushButton(Text(textId), this), textId);
    button->setFixedSize(kButtonWidth, kButtonHeight);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(KeyTip(kPadKeys[bit]));
    connect(button, &QPushButton::pressed, this, [this, bit] {
      if (!Latched()) {
        Press(bit, true);
      }
    });
    connect(button, &QPushButton::released, this, [this, bit] {
      if (!Latched()) {
        Press(bit, false);
      }
    });
    connect(button, &QPushButton::clicked, this, [this, bit](bool checked) {
      if (Latched()) {
        Press(bit, checked);
      }
    });
    pad->addWidget(button, kPadCells[bit].row, kPadCells[bit].column);
    buttons_[bit] = button;
  }

  latch_ = Named(new QCheckBox(Text(TextId::kVirtualControllerLatch), this),
                 TextId::kVirtualControllerLatch);
  latch_->setFocusPolicy(Qt::NoFocus);
  latch_->setToolTip(Text(TextId::kVirtualControllerLatchTip));
  connect(latch_, &QCheckBox::toggled, this, [this](bool on) {
    for (QPushButton* button : buttons_) {
      button->setCheckable(on);
    }
    ReleaseAll();
  });
  power_ = Named(new QPushButton(this), TextId::kVirtualBoardPowerOn);
  power_->setCheckable(true);
  power_->setFocusPolicy(Qt::NoFocus);
  power_->setToolTip(Text(TextId::kVirtualBoardPowerTip));
  connect(power_, &QPushButton::clicked, this, &VirtualControllerWindow::TogglePower);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(power_);
  bottom->addSpacing(12);
  bottom->addWidget(latch_);
  bottom->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(pad);
  layout->addSpacing(6);
  layout->addLayout(bottom);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // Other work restarts the board too (a firmware update): the button follows it.
  connect(&powerWatch_, &QTimer::timeout, this, &VirtualControllerWindow::ShowPower);
  powerWatch_.start(kPowerWatchMs);
  ShowPower();
}

bool VirtualControllerWindow::Latched() const {
  return latch_->isChecked();
}

void VirtualControllerWindow::Press(std::size_t bit, bool down) {
  const auto mask = static_cast<std::uint16_t>(1u << bit);
  pressed_ = down ? (pressed_ | mask) : (pressed_ & ~mask);
  if (Latched()) {
    buttons_[bit]->setChecked(down);
  } else {
    buttons_[bit]->setDown(down);
  }
  SendButtons();
}

void VirtualControllerWindow::ReleaseAll() {
  for (QPushButton* button : buttons_) {
    button->setChecked(false);
    button->setDown(false);
  }
  pressed_ = 0;
  SendButtons();
}

// The controller word goes to the board with the controller present; the sticks stay as the
// board has them.
void VirtualControllerWindow::SendButtons() {
  sim::ControllerInput input;
  input.present = 1;
  input.buttons = pressed_;
  input.rx = board_.Word(sim::kControllerRxAddress);
  input.ry = board_.Word(sim::kControllerRyAddress);
  input.lx = board_.Word(sim::kControllerLxAddress);
  input.ly = board_.Word(sim::kControllerLyAddress);
  board_.SetController(input);
}

void VirtualControllerWindow::keyPressEvent(QKeyEvent* event) {
  for (std::size_t bit = 0; bit < kPadKeys.size(); ++bit) {
    if (kPadKeys[bit] == event->key()) {
      if (!event->isAutoRepeat()) {
        Press(bit, Latched() ? (pressed_ & (1u << bit)) == 0 : true);
      }
      return;
    }
  }
  QWidget::keyPressEvent(event);
}

void VirtualControllerWindow::keyReleaseEvent(QKeyEvent* event) {
  for (std::size_t bit = 0; bit < kPadKeys.size(); ++bit) {
    if (kPadKeys[bit] == event->key()) {
      if (!event->isAutoRepeat() && !Latched()) {
        Press(bit, false);
      }
      return;
    }
  }
  QWidget::keyReleaseEvent(event);
}

void VirtualControllerWindow::closeEvent(QCloseEvent* event) {
  ReleaseAll();
  QWidget::closeEvent(event);
}

void VirtualControllerWindow::TogglePower() {
  if (board_.Powered()) {
    board_.PowerOff();
  } else {
    board_.PowerOn();
  }
  ShowPower();
}

void VirtualControllerWindow::ShowPower() {
  const bool on = board_.Powered();
  power_->setChecked(on);
  power_->setText(Text(on ? TextId::kVirtualBoardPowerOn : TextId::kVirtualBoardPowerOff));
  // Green while on, red while off: the state reads at a glance.
  power_->setStyleSheet(on ? QStringLiteral("color: #087a08; font-weight: bold;")
                           : QStringLiteral("color: #b00000; font-weight: bold;"));
}

void ShowVirtualController(sim::VirtualBoard& board, QWidget* parent) {
  auto* window = parent->findChild<VirtualControllerWindow*>(QString(), Qt::FindDirectChildrenOnly);
  if (!window) {
    window = new VirtualControllerWindow(board, parent);
    window->adjustSize();
    // Beside the top right corner of the parent, where it hides least of the panes.
    const QRect frame = parent->frameGeometry();
    window->move(frame.right() - window->width() - 24, frame.top() + 80);
  }
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace gestalon::ui
