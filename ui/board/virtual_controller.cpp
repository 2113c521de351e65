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
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace TextId = core::TextId;

constexpr int kButtonWidth = 52;
constexpr int kButtonHeight = 30;
constexpr int kPowerWatchMs = 250;

// The buttons by bit of the controller word: label, key, and cell in the gamepad grid (shoulder
// buttons on top, the cross keys left, SELECT / START and the stick buttons in the middle, the
// symbol buttons right; columns 3 and 6 are gaps).
struct PadKey {
  int textId;
  Qt::Key key;
  int row;
  int column;
};
constexpr std::array<PadKey, 16> kPadKeys{{
    {TextId::kPadSelect, Qt::Key_V, 1, 4},
    {TextId::kPadL3, Qt::Key_C, 2, 4},
    {TextId::kPadR3, Qt::Key_N, 2, 5},
    {TextId::kPadStart, Qt::Key_B, 1, 5},
    {TextId::kPadUp, Qt::Key_Up, 1, 1},
    {TextId::kPadRight, Qt::Key_Right, 2, 2},
    {TextId::kPadDown, Qt::Key_Down, 3, 1},
    {TextId::kPadLeft, Qt::Key_Left, 2, 0},
    {TextId::kPadL2, Qt::Key_1, 0, 0},
    {TextId::kPadR2, Qt::Key_0, 0, 9},
    {TextId::kPadL1, Qt::Key_Q, 0, 2},
    {TextId::kPadR1, Qt::Key_P, 0, 7},
    {TextId::kPadTriangle, Qt::Key_I, 1, 8},
    {TextId::kPadCircle, Qt::Key_L, 2, 9},
    {TextId::kPadCross, Qt::Key_K, 3, 8},
    {TextId::kPadSquare, Qt::Key_J, 2, 7},
}};
constexpr int kGapColumns[] = {3, 6};

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
  for (const int gap : kGapColumns) {
    pad->setColumnMinimumWidth(gap, 12);
  }
  for (std::size_t bit = 0; bit < kPadKeys.size(); ++bit) {
    const PadKey& key = kPadKeys[bit];
    QPushButton* button = Named(new QPushButton(Text(key.textId), this), key.textId);
    button->setFixedSize(kButtonWidth, kButtonHeight);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(KeyTip(key.key));
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
    pad->addWidget(button, key.row, key.column);
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
    if (kPadKeys[bit].key == event->key()) {
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
    if (kPadKeys[bit].key == event->key()) {
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
