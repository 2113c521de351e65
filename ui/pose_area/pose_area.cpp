#include "pose_area/pose_area.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <mutex>
#include <utility>

#include "main_window/editor_session.h"
#include "pose/pose_operations.h"
#include "pose/pose_store.h"
#include "pose/value_texts.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "widgets/qt_drawing.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace SliderFlag1 = core::SliderFlag1;
namespace SliderFlag2 = core::SliderFlag2;

// Behind the sliders when the wallpaper is off or smaller than the area.
const QColor kBackground(64, 64, 64);

// Spin button cells: which pair a slider shows depends on whether its display and sign
// inversions agree.
constexpr int kSpinCellsAgreeing[2] = {3, 0};
constexpr int kSpinCellsDiffering[2] = {1, 2};

core::StepModifiers ModifiersOf(Qt::KeyboardModifiers modifiers) {
  return {(modifiers & Qt::ShiftModifier) != 0, (modifiers & Qt::ControlModifier) != 0};
}

QImage SkinImage(const core::SystemSettings& settings, int index) {
  const auto& bitmap = settings.skins[static_cast<std::size_t>(index)].bitmap;
  return bitmap ? ToQImage(*bitmap).convertToFormat(QImage::Format_ARGB32_Premultiplied) : QImage();
}

}  // namespace

PoseArea::PoseArea(EditorSession& session, QWidget* parent)
    : QWidget(parent), session_(session), spinTimer_(this) {
  setObjectName(QStringLiteral("poswindow"));
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  spinTimer_.setObjectName(QStringLiteral("spinRepeat"));
  spinTimer_.setSingleShot(true);
  spinTimer_.setTimerType(Qt::PreciseTimer);
  connect(&spinTimer_, &QTimer::timeout, this, &PoseArea::SpinOnce);
  LoadSkins();
  // The clipboard starts with the initial pose, and the robot gets it when it comes online.
  core::CopyJointValues(session_.context);
  if (const core::MotionBlock* current = core::CurrentPose(session_.context)) {
    core::StorePose(session_.context, *current, core::kSliderChangeTime, false);
  }
}

void PoseArea::RequestRelayout() {
  LoadSkins();
  for (SliderFont& font : fonts_) {
    font.valid = false;
  }
  fullRelayout_ = true;
  update();
}

void PoseArea::StepWheel(int notches, Qt::KeyboardModifiers modifiers) {
  if (InputLocked() || notches == 0) {
    return;
  }
  core::StepSelectedSliders(session_.context, notches > 0 ? 1 : -1, ModifiersOf(modifiers));
  update();
}

void PoseArea::SetInputLocked(bool locked) {
  inputLocked_ = locked;
  if (locked) {
    EndInteraction();
    update();
  }
}

bool PoseArea::InputLocked() const {
  return inputLocked_ || session_.MotionLocked();
}

void PoseArea::LoadSkins() {
  const core::SystemSettings& settings = session_.project.system;
  metrics_ = SkinMetricsOf(settings);
  skins_.wallpaper = SkinImage(settings, core::SkinIndex::kPoseWallpaper);
  skins_.track = SkinImage(settings, core::SkinIndex::kPoseTrack);
  skins_.knob = SkinImage(settings, core::SkinIndex::kPoseKnob);
  skins_.spin = SkinImage(settings, core::SkinIndex::kPoseSpin);
  skins_.marker = SkinImage(settings, core::SkinIndex::kPoseBaseMarker);
  skins_.check = SkinImage(settings, core::SkinIndex::kPoseCheckBox);
}

const QFont& PoseArea::FontOf(int k) {
  SliderFont& cached = fonts_[static_cast<std::size_t>(k)];
  const core::FontSpec& record = session_.project.sliders[static_cast<std::size_t>(k)].font;
  if (!cached.valid || !(cached.record == record)) {
    cached.font = ToQFont(record);
    if (record.faceName.empty()) {
      // The application font, with a Japanese font for the glyphs it lacks.
      cached.font.setFamilies({QApplication::font().family(), QStringLiteral("IPAGothic"),
                               QStringLiteral("IPAPGothic")});
    }
    cached.record = record;
    cached.valid = true;
  }
  return cached.font;
}

PoseSnapshot PoseArea::TakeSnapshot() {
  PoseSnapshot snapshot;
  snapshot.online = (session_.systemFlags.load() & core::SystemFlag::kOnline) != 0;
  // The online worker writes the readings and may store poses; copy under its lock.
  std::lock_guard lock(session_.sessionMutex);
  if (const core::MotionBlock* current = core::CurrentPose(session_.context)) {
    snapshot.values = current->slots;
    snapshot.servoEnableMask = current->servoEnableMask;
  }
  for (std::size_t k = 0; k < snapshot.readings.size(); ++k) {
    snapshot.readings[k] = session_.project.sliders[k].reading;
  }
  return snapshot;
}

QSize PoseArea::LayoutBounds() const {
  const QWidget* top = window();
  const int clientRight = mapFrom(top, QPoint(top->width(), 0)).x();
  return {std::max(width(), clientRight), height()};
}

void PoseArea::RefreshLayout() {
  snapshot_ = TakeSnapshot();
  layout_ = LayoutSliders(session_.project, snapshot_, metrics_, LayoutBounds());
}

void PoseArea::PaintBackground(QPainter& painter, const QRect& rect) const {
  painter.fillRect(rect, kBackground);
  if ((session_.systemFlags.load() & core::SystemFlag::kWallpaper) != 0 &&
      !skins_.wallpaper.isNull()) {
    // Drawn at the top left, unscaled; beyond its edges the plain background shows.
    const QRect part = rect & skins_.wallpaper.rect();
    if (!part.isEmpty()) {
      painter.drawImage(part.topLeft(), skins_.wallpaper, part);
    }
  }
}

QRect PoseArea::DrawSlider(QPainter* painter, int k) {
  const auto index = static_cast<std::size_t>(k);
  const core::LoadedProject& project = session_.project;
  const core::SliderDef& slider = project.sliders[index];
  const SliderLayout& s = layout_[index];
  const PoseSkinMetrics& m = metrics_;
  QRect extent;

  auto image = [&](const QImage& source, int x, int y, const QRect& part,
                   QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver) {
    extent |= QRect(QPoint(x, y), part.size());
    if (painter && !source.isNull()) {
      painter->setCompositionMode(mode);
      painter->drawImage(QPoint(x, y), source, part);
      painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
  };
  auto whole = [](const QImage& source, int width, int height) {
    return source.isNull() ? QRect(0, 0, width, height) : source.rect();
  };

  image(skins_.track, s.trackLeft, s.y - m.trackHeight / 2,
        whole(skins_.track, m.trackWidth, m.trackHeight));

  // Texts are drawn on the slider's background colour, as boxes over the wallpaper.
  const QFont& font = FontOf(k);
  const QFontMetrics fm(font);
  const QColor textColor = ToQColor(slider.textColor);
  const QColor backColor = ToQColor(slider.textBkColor);
  if (painter) {
    painter->setFont(font);
    painter->setPen(textColor);
  }
  auto text = [&](const QString& value, int x, int y) {
    if (value.isEmpty()) {
      return;
    }
    const QRect box(x, y, fm.horizontalAdvance(value), fm.height());
    // Italic and bold glyphs may reach a little beyond their advance.
    extent |= box.adjusted(-2, 0, 2, 0);
    if (painter) {
      painter->fillRect(box, backColor);
      painter->drawText(x, y + fm.ascent(), value);
    }
  };
  // The value row and the name sit just below and above the track, or the spin buttons where
  // those are taller, so that no image covers a text.
  const int halfRow = std::max(m.trackHeight, m.spinHeight) / 2;
  const std::int16_t value = snapshot_.values[index];
  const int valueTop = s.y + halfRow;
  text(ToQString(core::FormatValueField(project, k, value)).left(core::kValueFieldChars), s.x,
       valueTop);
  if ((slider.flags2 & SliderFlag2::kShowName) != 0) {
    text(ToQString(slider.axisName), s.x, s.y - halfRow - fm.height());
  }
  if (const int companion = core::CompanionSlider(project.sliders, k);
      companion >= 0 && s.checkState >= 0) {
    const QString companionText = ToQString(
        core::FormatCompanionValue(snapshot_.values[static_cast<std::size_t>(companion)]));
    text(companionText, s.checkLeft - fm.horizontalAdvance(companionText), valueTop);
  }
  const bool inverted = (slider.flags1 & SliderFlag1::kInverted) != 0;
  if ((slider.flags2 & SliderFlag2::kHideTexts) == 0) {
    QString lowText = ToQString(slider.lowerText);
    QString highText = ToQString(slider.upperText);
    if (inverted) {
      std::swap(lowText, highText);
    }
    const int textTop = s.y - fm.height() / 2;
    text(lowText, s.x - fm.horizontalAdvance(lowText), textTop);
    text(highText, s.trackLeft + m.trackWidth + m.SpinCell(), textTop);
  }

  const bool signInverted = (slider.flags2 & SliderFlag2::kSignInverted) != 0;
  const int* cells = inverted == signInverted ? kSpinCellsAgreeing : kSpinCellsDiffering;
  const int cell = m.SpinCell();
  const int spinTop = s.y - m.spinHeight / 2;
  image(skins_.spin, s.x, spinTop, QRect(cells[0] * cell, 0, cell, m.spinHeight));
  image(skins_.spin, s.trackLeft + m.trackWidth, spinTop,
        QRect(cells[1] * cell, 0, cell, m.spinHeight));
  const QRect knobPart = whole(skins_.knob, m.knobWidth, m.knobHeight);
  if (s.ghostShown) {
    // ANDing the knob into the track gives a darker knob for the robot's reading.
    image(skins_.knob, s.ghostLeft, s.ghostTop, knobPart, QPainter::RasterOp_SourceAndDestination);
  }
  image(skins_.knob, s.knobLeft, s.knobTop, knobPart);
  if (s.markerLeft != -1) {
    image(skins_.marker, s.markerLeft, s.markerTop,
          whole(skins_.marker, m.markerWidth, m.markerHeight));
  }
  if (s.checkState >= 0) {
    image(skins_.check, s.checkLeft, s.checkTop,
          QRect(s.checkState * m.CheckCell(), 0, m.CheckCell(), m.checkHeight));
  }
  const QRect body = SliderBodyRect(s, m);
  extent |= body;
  if (painter && core::SliderSelected(slider)) {
    painter->setCompositionMode(QPainter::RasterOp_NotDestination);
    painter->fillRect(body, Qt::white);
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
  }
  return extent;
}

void PoseArea::PaintAll(QPainter& painter) {
  RefreshLayout();
  PaintBackground(painter, rect());
  for (int k = 0; k < core::kSliderCount; ++k) {
    if (layout_[static_cast<std::size_t>(k)].shown) {
      DrawSlider(&painter, k);
    }
  }
}

void PoseArea::UpdateBackBuffer() {
  const qreal ratio = devicePixelRatioF();
  const QSize pixels = size() * ratio;
  if (backBuffer_.size() != pixels || backBuffer_.devicePixelRatio() != ratio) {
    backBuffer_ = QImage(pixels, QImage::Format_RGB32);
    if (backBuffer_.isNull()) {
      ShowBackBufferFailure();
      return;
    }
    backBuffer_.setDevicePixelRatio(ratio);
    // A new size lays everything out afresh.
    fullRelayout_ = true;
  }
  // So does a new window width, which may move sliders pulled in from beyond it.
  if (const QSize bounds = LayoutBounds(); bounds != lastBounds_) {
    lastBounds_ = bounds;
    fullRelayout_ = true;
  }
  RefreshLayout();
  const core::LoadedProject& project = session_.project;
  // Changes that touch every slider or the background.
  const std::uint32_t wallpaperFlag = session_.systemFlags.load() & core::SystemFlag::kWallpaper;
  const int basePose = core::CurrentBasePose(project) ? project.basePoses.current : -1;
  if (snapshot_.online != lastOnline_ || wallpaperFlag != lastWallpaperFlag_ ||
      basePose != lastBasePose_) {
    fullRelayout_ = true;
    lastOnline_ = snapshot_.online;
    lastWallpaperFlag_ = wallpaperFlag;
    lastBasePose_ = basePose;
  }

  std::array<bool, core::kSliderCount> dirty{};
  for (std::size_t k = 0; k < dirty.size(); ++k) {
    const SliderLayout& s = layout_[k];
    if (!s.shown) {
      continue;
    }
    const Drawn& drawn = drawn_[k];
    const std::uint32_t flags1 = project.sliders[k].flags1;
    if (drawn.valid && ((drawn.flags1 ^ flags1) & SliderFlag1::kInverted) != 0) {
      fullRelayout_ = true;
    }
    dirty[k] = !drawn.valid || drawn.value != snapshot_.values[k] ||
               (snapshot_.online && drawn.reading != snapshot_.readings[k]) ||
               drawn.flags1 != flags1 || drawn.servoEnabled != (s.checkState == 0);
  }
  // A channel slider shows its companion's value: a change of either redraws both.
  for (int k = 0; k < core::kSliderCount; ++k) {
    const int companion = core::CompanionSlider(project.sliders, k);
    if (companion < 0) {
      continue;
    }
    const auto a = static_cast<std::size_t>(k);
    const auto b = static_cast<std::size_t>(companion);
    const bool companionChanged = drawn_[a].companionValue != snapshot_.values[b];
    const bool either = dirty[a] || dirty[b] || companionChanged;
    dirty[a] = either && layout_[a].shown;
    dirty[b] = either && layout_[b].shown;
  }

  QPainter painter(&backBuffer_);
  auto draw = [&](int k) {
    const auto index = static_cast<std::size_t>(k);
    Drawn& drawn = drawn_[index];
    drawn.extent = DrawSlider(&painter, k);
    drawn.valid = true;
    drawn.value = snapshot_.values[index];
    drawn.reading = snapshot_.readings[index];
    drawn.flags1 = project.sliders[index].flags1;
    drawn.servoEnabled = layout_[index].checkState == 0;
    const int companion = core::CompanionSlider(project.sliders, k);
    drawn.companionValue =
        companion >= 0 ? snapshot_.values[static_cast<std::size_t>(companion)] : 0;
  };
  if (fullRelayout_) {
    fullRelayout_ = false;
    for (Drawn& drawn : drawn_) {
      drawn.valid = false;
    }
    PaintBackground(painter, rect());
    for (int k = 0; k < core::kSliderCount; ++k) {
      if (layout_[static_cast<std::size_t>(k)].shown) {
        draw(k);
      }
    }
    return;
  }
  // Only the changed sliders: their old and new areas get the background again, and every
  // slider reaching into those areas is drawn again inside them.
  QRegion region;
  for (int k = 0; k < core::kSliderCount; ++k) {
    if (dirty[static_cast<std::size_t>(k)]) {
      region += drawn_[static_cast<std::size_t>(k)].extent;
      region += DrawSlider(nullptr, k);
    }
  }
  if (region.isEmpty()) {
    return;
  }
  painter.setClipRegion(region);
  PaintBackground(painter, region.boundingRect());
  for (int k = 0; k < core::kSliderCount; ++k) {
    const auto index = static_cast<std::size_t>(k);
    if (layout_[index].shown && (dirty[index] || region.intersects(drawn_[index].extent))) {
      draw(k);
    }
  }
}

void PoseArea::ShowBackBufferFailure() {
  if (bufferFailureShown_) {
    return;
  }
  // Reported once, outside the paint; the area stays blank until a later size fits.
  bufferFailureShown_ = true;
  QTimer::singleShot(0, this, [this] {
    if (core::Prompter* prompter = session_.context.prompter) {
      prompter->Show(core::PromptIcon::kError, core::LoadText(core::TextId::kMsgBackBufferFailed));
    }
  });
}

void PoseArea::paintEvent(QPaintEvent*) {
  UpdateBackBuffer();
  QPainter painter(this);
  if (backBuffer_.isNull()) {
    painter.fillRect(rect(), kBackground);
    return;
  }
  painter.drawImage(QPoint(0, 0), backBuffer_);
  if (state_ == Interaction::kRubberReplace || state_ == Interaction::kRubberAdd) {
    // White in difference mode inverts what lies under the band, so it shows on any skin.
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.setPen(Qt::white);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(anchor_, rubberEnd_).normalized());
  }
}

bool PoseArea::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) {
    return QWidget::event(event);
  }
  const auto* help = static_cast<QHelpEvent*>(event);
  RefreshLayout();
  const int k = SliderBodyAt(layout_, metrics_, help->pos());
  if (k < 0) {
    QToolTip::hideText();
    event->ignore();
    return true;
  }
  const QString tip = ToQString(
      core::FormatValueTip(session_.project, k, snapshot_.values[static_cast<std::size_t>(k)]));
  QToolTip::showText(help->globalPos(), tip, this,
                     SliderBodyRect(layout_[static_cast<std::size_t>(k)], metrics_));
  return true;
}

void PoseArea::mousePressEvent(QMouseEvent* event) {
  if (InputLocked()) {
    return;
  }
  if (event->button() == Qt::LeftButton) {
    LeftPress(event->position().toPoint(), event->modifiers());
  } else if (event->button() == Qt::RightButton) {
    RightPress(event);
  }
}

void PoseArea::LeftPress(QPoint point, Qt::KeyboardModifiers modifiers) {
  EndInteraction();
  RefreshLayout();
  const core::StepModifiers keys = ModifiersOf(modifiers);
  const SliderHit hit = HitTest(layout_, metrics_, point);
  lastPressHitNothing_ = hit.part == SliderPart::kNone;
  switch (hit.part) {
    case SliderPart::kRightSpin:
    case SliderPart::kLeftSpin:
      spin_ = SpinStepFor(session_.project.sliders, hit.slider, hit.part == SliderPart::kRightSpin,
                          modifiers);
      state_ = Interaction::kSpinRepeat;
      repeatInterval_ = kFirstRepeatMs;
      if (!keys.ctrl) {
        ClearSelection();
      }
      SpinOnce();
      break;
    case SliderPart::kKnob:
      state_ = Interaction::kKnobDrag;
      activeSlider_ = hit.slider;
      dragOffset_ = point.x() - layout_[static_cast<std::size_t>(hit.slider)].knobLeft -
                    metrics_.knobWidth / 2;
      dragChanged_ = false;
      if (!keys.ctrl) {
        ClearSelection();
      }
      break;
    case SliderPart::kBody:
      if (keys.shift && !keys.ctrl) {
        if (!core::SliderSelected(session_.project.sliders[static_cast<std::size_t>(hit.slider)])) {
          ClearSelection();
        }
        state_ = Interaction::kMoving;
        anchor_ = point;
      } else if (!keys.ctrl) {
        ClearSelection();
      }
      {
        std::lock_guard lock(session_.sessionMutex);
        session_.project.sliders[static_cast<std::size_t>(hit.slider)].flags1 |=
            SliderFlag1::kSelected;
      }
      break;
    case SliderPart::kCheckBox:
      core::ToggleServoEnable(session_.context, hit.slider);
      break;
    case SliderPart::kNone:
      if (keys.ctrl) {
        state_ = Interaction::kRubberAdd;
      } else {
        state_ = Interaction::kRubberReplace;
        ClearSelection();
      }
      anchor_ = rubberEnd_ = point;
      break;
  }
  update();
}

void PoseArea::RightPress(QMouseEvent* event) {
  EndInteraction();
  RefreshLayout();
  if (const int k = SliderBodyAt(layout_, metrics_, event->position().toPoint()); k >= 0) {
    SelectOnly(k);
  }
  update();
  Q_EMIT contextMenuRequested(event->globalPosition().toPoint());
}

void PoseArea::mouseMoveEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  if (point != lastPointer_) {
    // The tip shows the value of the moment; it comes back with fresh text when the pointer rests.
    if (QToolTip::isVisible()) {
      QToolTip::hideText();
    }
    lastPointer_ = point;
  }
  if (InputLocked()) {
    return;
  }
  const bool leftHeld = (event->buttons() & Qt::LeftButton) != 0;
  switch (state_) {
    case Interaction::kKnobDrag:
      DragKnob(point, event->modifiers());
      if (!leftHeld) {
        // The release went elsewhere: the drag ends here.
        EndInteraction();
      }
      update();
      break;
    case Interaction::kMoving: {
      const Qt::KeyboardModifiers keys =
          event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
      if (event->buttons() == Qt::LeftButton && keys == Qt::ShiftModifier) {
        MoveSelectedSliders(point);
      }
      break;
    }
    case Interaction::kRubberReplace:
    case Interaction::kRubberAdd:
      SelectByRubberBand(point, state_ == Interaction::kRubberReplace);
      break;
    case Interaction::kIdle:
    case Interaction::kSpinRepeat:
      break;
  }
}

void PoseArea::DragKnob(QPoint point, Qt::KeyboardModifiers modifiers) {
  RefreshLayout();
  const auto index = static_cast<std::size_t>(activeSlider_);
  const std::int32_t value = DraggedValue(session_.project, activeSlider_, layout_[index].trackLeft,
                                          point.x(), dragOffset_, metrics_, modifiers);
  if (value == snapshot_.values[index]) {
    return;
  }
  // The undo step is taken once, when the drag ends.
  core::ChangeSliderValue(session_.context, activeSlider_, value, 1, false);
  dragChanged_ = true;
}

void PoseArea::MoveSelectedSliders(QPoint point) {
  const QPoint delta = point - anchor_;
  if (delta.isNull()) {
    return;
  }
  {
    std::lock_guard lock(session_.sessionMutex);
    for (core::SliderDef& slider : session_.project.sliders) {
      if (core::SliderSelected(slider)) {
        slider.pos[0] += delta.x();
        slider.pos[1] += delta.y();
        slider.filePos[0] += delta.x();
        slider.filePos[1] += delta.y();
      }
    }
  }
  anchor_ = point;
  fullRelayout_ = true;
  update();
}

void PoseArea::SelectByRubberBand(QPoint point, bool replace) {
  rubberEnd_ = point;
  RefreshLayout();
  const int left = std::min(anchor_.x(), point.x());
  const int right = std::max(anchor_.x(), point.x());
  const int top = std::min(anchor_.y(), point.y());
  const int bottom = std::max(anchor_.y(), point.y());
  {
    std::lock_guard lock(session_.sessionMutex);
    core::SliderTable& sliders = session_.project.sliders;
    if (replace) {
      core::ClearSliderSelection(sliders);
    }
    // The band selects what it is drawn over: sliders pulled inside the area are tested where
    // they are drawn, and keep their stored positions.
    std::array<std::array<std::int32_t, 2>, core::kSliderCount> stored;
    for (std::size_t k = 0; k < sliders.size(); ++k) {
      stored[k] = sliders[k].pos;
      sliders[k].pos = {layout_[k].x, layout_[k].y};
    }
    core::SelectSlidersInRect(sliders, left, top, right, bottom,
                              {metrics_.trackWidth, metrics_.trackHeight, metrics_.spinWidth});
    for (std::size_t k = 0; k < sliders.size(); ++k) {
      sliders[k].pos = stored[k];
    }
  }
  update();
}

void PoseArea::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    return;
  }
  EndInteraction();
  update();
}

void PoseArea::mouseDoubleClickEvent(QMouseEvent* event) {
  if (InputLocked()) {
    return;
  }
  if (event->button() == Qt::LeftButton && lastPressHitNothing_) {
    Q_EMIT emptyAreaDoubleClicked();
  }
  // The second click acts as a press of its own.
  mousePressEvent(event);
}

void PoseArea::wheelEvent(QWheelEvent* event) {
  // The main window gathers the notches and calls StepWheel.
  event->ignore();
}

void PoseArea::contextMenuEvent(QContextMenuEvent* event) {
  // A right click has already asked for the menu on its press; the menu key asks here.
  if (event->reason() != QContextMenuEvent::Mouse && !InputLocked()) {
    Q_EMIT contextMenuRequested(event->globalPos());
  }
  event->accept();
}

void PoseArea::SpinOnce() {
  if (state_ != Interaction::kSpinRepeat) {
    return;
  }
  RefreshLayout();
  const std::int16_t value = snapshot_.values[static_cast<std::size_t>(spin_.slider)];
  const std::int16_t next = SpunValue(session_.project, spin_, value);
  // A button held at the end of the range adds no empty undo steps.
  if (next != value) {
    core::ChangeSliderValue(session_.context, spin_.slider, next, 1, true);
  }
  spinTimer_.start(repeatInterval_);
  repeatInterval_ = kRepeatMs;
  update();
}

void PoseArea::ClearSelection() {
  std::lock_guard lock(session_.sessionMutex);
  core::ClearSliderSelection(session_.project.sliders);
}

void PoseArea::SelectOnly(int k) {
  std::lock_guard lock(session_.sessionMutex);
  core::ClearSliderSelection(session_.project.sliders);
  session_.project.sliders[static_cast<std::size_t>(k)].flags1 |= SliderFlag1::kSelected;
}

void PoseArea::EndInteraction() {
  spinTimer_.stop();
  if (state_ == Interaction::kKnobDrag && dragChanged_) {
    core::RecordUndoStep(session_.context);
  }
  dragChanged_ = false;
  activeSlider_ = -1;
  state_ = Interaction::kIdle;
}

}  // namespace gestalon::ui
