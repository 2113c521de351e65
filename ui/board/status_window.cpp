#include "board/status_window.h"

#include <QCloseEvent>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMoveEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <utility>

#include "board/board_addresses.h"
#include "board/board_memory.h"
#include "board/board_mirror.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/code_page.h"
#include "text/format.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

constexpr int kLineHeight = 18;
constexpr int kModelNameY = 0;
constexpr int kLastErrorY = 18;
constexpr int kLatestMotionTop = 36;
constexpr int kLatestMotionBottom = 72;
constexpr int kLatestVoiceBottom = 90;
constexpr int kBatteryY = 90;
constexpr int kPadFirstY = 116;
constexpr int kPadAnalogY = 132;
constexpr int kBatteryBarX = 112;
constexpr int kBatteryBarTop = 96;
constexpr int kBatteryBarBottom = 106;
constexpr int kBatteryBarMax = 400;
constexpr int kButtonCount = 16;
// The motion and voice names are shown up to this many bytes.
constexpr std::size_t kBoardNameMaxBytes = 259;
// The first refresh asks the worker to read the latest motion's name (and what follows it).
constexpr std::uint32_t kRefreshAddress = core::BoardAddress::kLatestMotion;
constexpr std::int32_t kRefreshLength = 260;
constexpr int kFontPixels = 13;
// Blank border around the texts; the layout above is inside it.
constexpr int kMargin = 4;
constexpr int kTextWidth = StatusWindow::kWidth - 2 * kMargin;
constexpr int kBatteryBarGap = 6;

QString Formatted(int id, const auto&... args) {
  return ToQString(core::Format(core::LoadText(id), args...));
}

StatusText Line(int y, QString text) {
  return {QRect(0, y, kTextWidth, kLineHeight), std::move(text), false};
}

std::u16string BoardName(const core::BoardMirror& mirror, std::uint32_t address) {
  return core::FromAnsi(core::MirrorText(mirror, address, kBoardNameMaxBytes));
}

// Draws `text` word-wrapped (or broken anywhere when a word is too long) inside `box`. The last
// line that fits ends in an ellipsis when the text goes on.
void DrawWrapped(QPainter& painter, const QRect& box, const QString& text) {
  const QFontMetrics metrics = painter.fontMetrics();
  const int maxLines = std::max(1, box.height() / metrics.lineSpacing());
  QTextOption option(Qt::AlignLeft | Qt::AlignTop);
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  QTextLayout layout(text, painter.font(), painter.device());
  layout.setTextOption(option);
  layout.beginLayout();
  std::vector<QTextLine> lines;
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(box.width());
    lines.push_back(line);
  }
  layout.endLayout();
  for (int i = 0; i < maxLines && i < static_cast<int>(lines.size()); ++i) {
    const QTextLine& line = lines[static_cast<std::size_t>(i)];
    const bool cut = i == maxLines - 1 && lines.size() > static_cast<std::size_t>(maxLines);
    const QString part =
        cut ? metrics.elidedText(text.mid(line.textStart()), Qt::ElideRight, box.width())
            : text.mid(line.textStart(), line.textLength());
    painter.drawText(QRect(box.left(), box.top() + i * metrics.lineSpacing(), box.width(),
                           metrics.lineSpacing()),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, part);
  }
}

// The saved position moved inside `area` as far as a window of `size` needs.
QPoint KeepInside(QPoint position, QSize size, const QRect& area) {
  int x = position.x();
  int y = position.y();
  if (x < area.left()) {
    x = area.left();
  } else if (x + size.width() > area.right() + 1) {
    x = area.right() + 1 - size.width();
  }
  if (y < area.top()) {
    y = area.top();
  } else if (y + size.height() > area.bottom() + 1) {
    y = area.bottom() + 1 - size.height();
  }
  return {x, y};
}

}  // namespace

std::vector<StatusText> StatusWindowTexts(const StatusDisplay& display) {
  using namespace core::TextId;
  std::vector<StatusText> texts;
  if (display.communicationError) {
    texts.push_back(Line(0, Text(kStatusCommError)));
    return texts;
  }
  texts.push_back(Line(kModelNameY, Formatted(kFmtStatusModelName, display.robotName)));
  const std::u16string errorText =
      display.lastError.text.empty() ? core::LoadText(kStatusNoError) : display.lastError.text;
  texts.push_back(
      Line(kLastErrorY, Formatted(kFmtStatusLastError, errorText, display.lastError.address)));
  texts.push_back({QRect(0, kLatestMotionTop, kTextWidth, kLatestMotionBottom - kLatestMotionTop),
                   display.latestMotion.empty()
                       ? Text(kStatusNoLatestMotion)
                       : Formatted(kFmtStatusLatestMotion, display.latestMotion),
                   true});
  texts.push_back(
      {QRect(0, kLatestMotionBottom, kTextWidth, kLatestVoiceBottom - kLatestMotionBottom),
       display.latestVoice.empty() ? Text(kStatusNoLatestWav)
                                   : Formatted(kFmtStatusLatestWav, display.latestVoice),
       true});
  // The conversion factor is a single-precision constant.
  const float volts = static_cast<float>(display.status.batteryRaw) * (1.0f / 4096.0f) * 16.62f;
  texts.push_back(Line(kBatteryY, Formatted(kFmtStatusBattery, static_cast<double>(volts))));

  const core::BoardStatus& status = display.status;
  if (status.controllerPresent != 0) {
    if (status.controllerError != 0) {
      texts.push_back(Line(kPadFirstY, Text(kStatusPadCommError)));
    } else {
      QString buttons = Text(kStatusPadButtonsPrefix);
      for (int bit = 0; bit < kButtonCount; ++bit) {
        buttons += ((status.buttons >> bit) & 1U) != 0 ? QLatin1Char('1') : QLatin1Char('0');
      }
      texts.push_back(Line(kPadFirstY, buttons));
      texts.push_back(Line(
          kPadAnalogY, Formatted(kFmtStatusPadAnalog, status.rx, status.ry, status.lx, status.ly)));
    }
  }
  return texts;
}

int BatteryBarWidth(std::int16_t batteryRaw) {
  const int width = batteryRaw * kBatteryBarMax / 16384;
  return std::clamp(width, 0, kBatteryBarMax);
}

StatusWindow::StatusWindow(core::BoardLink& link, core::SystemSettings& settings,
                           std::function<std::u16string()> robotName, QWidget* owner)
    : QWidget(owner, Qt::Tool), link_(link), settings_(settings), robotName_(std::move(robotName)) {
  setObjectName(QStringLiteral("input_wnd"));
  // The main window keeps the keyboard when the status window appears.
  setAttribute(Qt::WA_ShowWithoutActivating);
  setWindowTitle(Text(core::TextId::kTitleStatusWindow));
  setAutoFillBackground(true);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, Qt::white);
  colours.setColor(QPalette::WindowText, Qt::black);
  setPalette(colours);
  QFont textFont = font();
  textFont.setPixelSize(kFontPixels);
  setFont(textFont);
  resize(kWidth, kHeight);

  QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
  const QPoint saved(settings_.statusWindowX, settings_.statusWindowY);
  move(screen ? KeepInside(saved, size(), screen->availableGeometry()) : saved);
  SavePosition();

  timer_.setInterval(kRefreshMs);
  connect(&timer_, &QTimer::timeout, this, &StatusWindow::Refresh);
  timer_.start();
  TakeSnapshot();
}

StatusWindow::~StatusWindow() = default;

void StatusWindow::Refresh() {
  TakeSnapshot();
  update();
  if (link_.Flags().online.load() == 0) {
    timer_.stop();
    close();
    return;
  }
  // Never waits for the board here: while another task holds it, the next tick asks again.
  if (!refreshRequested_) {
    refreshRequested_ = core::TryRequestBoardRefresh(link_, kRefreshAddress, kRefreshLength);
  }
}

void StatusWindow::TakeSnapshot() {
  display_.communicationError = link_.Flags().communicationError.load() != 0;
  display_.robotName = robotName_ ? robotName_() : std::u16string();
  display_.lastError = link_.LastError();
  display_.status = link_.Status();
  // The mirror belongs to whoever holds the board; a tick that finds it taken keeps the names
  // it showed last.
  if (link_.TryTakeBoard()) {
    display_.latestMotion = BoardName(link_.Mirror(), core::BoardAddress::kLatestMotion);
    display_.latestVoice = BoardName(link_.Mirror(), core::BoardAddress::kLatestVoice);
    link_.ReleaseBoard();
  }
}

void StatusWindow::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.translate(kMargin, kMargin);
  painter.setPen(palette().color(QPalette::WindowText));
  int batteryTextEnd = 0;
  for (const StatusText& text : StatusWindowTexts(display_)) {
    if (text.wrap) {
      DrawWrapped(painter, text.box, text.text);
      continue;
    }
    painter.drawText(text.box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text.text);
    if (text.box.top() == kBatteryY) {
      batteryTextEnd = painter.fontMetrics().horizontalAdvance(text.text);
    }
  }
  const int width = BatteryBarWidth(display_.status.batteryRaw);
  if (!display_.communicationError && width > 0) {
    // The bar starts at its place unless the voltage text reaches further in this font.
    const int x = std::max(kBatteryBarX, batteryTextEnd + kBatteryBarGap);
    // The outline is part of the bar: it covers exactly width x 10 pixels.
    painter.setBrush(QColor(0, 255, 255));
    painter.drawRect(x, kBatteryBarTop, width - 1, kBatteryBarBottom - kBatteryBarTop - 1);
  }
}

void StatusWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  SavePosition();
}

void StatusWindow::closeEvent(QCloseEvent* event) {
  SavePosition();
  timer_.stop();
  QWidget::closeEvent(event);
}

void StatusWindow::SavePosition() {
  settings_.statusWindowX = pos().x();
  settings_.statusWindowY = pos().y();
}

StatusWindowHost::StatusWindowHost(QWidget* mainWindow, core::BoardLink& link,
                                   core::SystemSettings& settings,
                                   std::function<std::u16string()> robotName,
                                   core::Prompter* prompter)
    : QObject(mainWindow),
      mainWindow_(mainWindow),
      link_(link),
      settings_(settings),
      robotName_(std::move(robotName)),
      prompter_(prompter) {}

void StatusWindowHost::Open() {
  if (window_) {
    return;
  }
  if (link_.Flags().online.load() == 0) {
    if (prompter_) {
      prompter_->Show(core::PromptIcon::kWarning, core::LoadText(core::TextId::kMsgNotOnline));
    }
    return;
  }
  // Owned by the main window until closed, then gone: a closed window is never reused.
  window_ = new StatusWindow(link_, settings_, robotName_, mainWindow_);
  window_->setAttribute(Qt::WA_DeleteOnClose);
  window_->show();
  if (mainWindow_) {
    mainWindow_->raise();
  }
}

void StatusWindowHost::OpenLater() {
  QMetaObject::invokeMethod(this, &StatusWindowHost::Open, Qt::QueuedConnection);
}

}  // namespace gestalon::ui
