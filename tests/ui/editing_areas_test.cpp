#include <QPainter>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>
#include <memory>
#include <optional>

#include "main_window/editor_session.h"
#include "main_window/split_pane.h"
#include "motion/block_factory.h"
#include "motion_area/arrow_router.h"
#include "motion_area/block_label.h"
#include "motion_area/motion_area.h"
#include "pose/value_texts.h"
#include "pose_area/pose_area.h"
#include "project/system_settings.h"
#include "recording_ports.h"
#include "sample_robot.h"
#include "widgets/qt_drawing.h"
#include "widgets/qt_text.h"
#include "widgets/qt_translations.h"
#include "window_driving.h"

namespace gestalon::ui {
namespace {

using core::BlockKind;
using core::MotionBlock;

core::LoadedProject DefaultProject() {
  core::LoadedProject project;
  core::SetSystemSettingsDefaults(project.system);
  return project;
}

// A motion area of 600 x 700 over its own editing session with an empty motion; the mouse works
// in content coordinates.
struct Area {
  testing::RecordingPrompter prompter;
  testing::RecordingViewNotifier views;
  EditorSession session;
  MotionArea area;
  testing::MouseOn mouse{area.viewport(), [this] { return area.ScrollPosition(); }};

  explicit Area(core::LoadedProject project = DefaultProject())
      : session(std::move(project), &prompter, &views), area(session) {
    area.resize(600, 700);
  }

  core::MotionDocument& Document() { return session.motion.document; }

  MotionBlock& Add(BlockKind kind, int x, int y, std::u16string name = u"B") {
    MotionBlock record;
    record.type = static_cast<std::int32_t>(kind);
    record.name = std::move(name);
    record.time = 50;
    record.xpos = x;
    record.ypos = y;
    record.bluearrow = record.redarrow = 6;
    return Document().Append(record);
  }

  // Lays the blocks out as a paint does and starts the undo history from here.
  void Ready() {
    LayOut();
    session.undo.ResetUndoHistory();
  }
  void LayOut() { area.RenderForBenchmark(QSize(8, 8)); }
  int UndoSteps() const { return session.undo.Count() - 1; }
};

// A point inside the block's top left corner, away from its arrows and buttons.
QPoint Inside(const MotionBlock& block) {
  return {block.xpos + 3, block.ypos + 3};
}
QPoint Centre(const Box& box) {
  return {box.left + (box.right - box.left) / 2, box.top + (box.bottom - box.top) / 2};
}

struct Rect {
  int left, top, right, bottom;
};

MotionBlock Block(BlockKind kind, Rect r = {}) {
  MotionBlock block;
  block.type = static_cast<std::int32_t>(kind);
  block.xpos = r.left;
  block.ypos = r.top;
  block.rect = {r.right, r.bottom, 0, 0};
  block.bluearrow = block.redarrow = 6;
  return block;
}

// The route of `from`'s arrow to `to`.
ArrowRoute Route(MotionBlock from, MotionBlock& to, ArrowColor color, bool oldRouter = false) {
  (color == ArrowColor::kRed ? from.branch : from.next) = &to;
  return RouteArrow(from, color, oldRouter);
}

using core::SliderFlag1::kInverted;
using core::SliderFlag1::kSelected;

// Skin sizes of the test project: a 200 x 10 track, a 10 x 20 knob (190 pixels of travel), four
// 16 x 20 spin cells, two 14 x 14 check box cells.
constexpr int kTrackLeft = 36;  // slider x 20 + one spin cell
constexpr int kRightSpinX = 244;
constexpr int kLeftSpinX = 28;
constexpr int kBodyX = 60;

// Slider rows (centre lines).
constexpr int kRow0 = 40;   // -1000..1000, step 50
constexpr int kRow1 = 100;  // -1000..1000, step 0
constexpr int kRow2 = 160;  // -500..500, step 10, display inversion
constexpr int kRow3 = 220;  // servo channel 0, companion slider 4 (step 5, not shown)

core::Bitmap Solid(int width, int height, std::uint32_t argb) {
  core::Bitmap bitmap;
  bitmap.width = width;
  bitmap.height = height;
  bitmap.pixels.assign(static_cast<std::size_t>(width * height), argb);
  return bitmap;
}

core::SliderDef Slider(int y, std::int16_t minimum, std::int16_t maximum, std::uint16_t step) {
  core::SliderDef slider;
  slider.pos = slider.filePos = {20, y};
  slider.minimum = minimum;
  slider.maximum = maximum;
  slider.step = step;
  slider.textColor = core::MakeColorRef(0, 0, 0);
  slider.textBkColor = core::MakeColorRef(255, 255, 255);
  return slider;
}

core::LoadedProject SmallProject() {
  core::LoadedProject project;
  auto& skins = project.system.skins;
  skins[core::SkinIndex::kPoseTrack].bitmap = Solid(200, 10, 0xFF808080);
  skins[core::SkinIndex::kPoseKnob].bitmap = Solid(10, 20, 0xFFC0C0C0);
  skins[core::SkinIndex::kPoseSpin].bitmap = Solid(64, 20, 0xFF4060A0);
  skins[core::SkinIndex::kPoseBaseMarker].bitmap = Solid(4, 18, 0xFFFF0000);
  skins[core::SkinIndex::kPoseCheckBox].bitmap = Solid(28, 14, 0xFF00A000);
  for (core::SliderDef& slider : project.sliders) {
    slider.flags2 = core::SliderFlag2::kDisabled;
  }
  auto& s = project.sliders;
  s[0] = Slider(kRow0, -1000, 1000, 50);
  s[0].axisName = u"頭";
  s[0].flags2 = core::SliderFlag2::kShowName;
  s[0].lowerText = u"左";
  s[0].upperText = u"右";
  s[1] = Slider(kRow1, -1000, 1000, 0);
  s[2] = Slider(kRow2, -500, 500, 10);
  s[2].flags1 = kInverted;
  s[3] = Slider(kRow3, -1000, 1000, 20);
  s[3].flags2 = core::SliderFlag2::kServoChannel;
  s[3].companion = 4;
  s[4] = Slider(0, 0, 255, 5);
  s[4].flags2 = core::SliderFlag2::kServoCompanion | core::SliderFlag2::kDisabled;
  s[4].companion = 3;
  return project;
}

// An editing session on the small project with a new motion, and its pose area.
struct Fixture {
  explicit Fixture(core::LoadedProject project = SmallProject()) {
    session = std::make_unique<EditorSession>(std::move(project), &prompter, &views);
    core::NewMotion(session->motion.document, session->project.basePoses);
    area = std::make_unique<PoseArea>(*session);
    area->resize(400, 300);
    mouse = testing::MouseOn(area.get());
    session->undo.ResetUndoHistory();
  }
  std::int16_t Value(int k) const {
    return session->motion.document.current->slots[static_cast<std::size_t>(k)];
  }
  bool Selected(int k) const {
    return (session->project.sliders[static_cast<std::size_t>(k)].flags1 & kSelected) != 0;
  }
  testing::RecordingPrompter prompter;
  testing::RecordingViewNotifier views;
  std::unique_ptr<EditorSession> session;
  std::unique_ptr<PoseArea> area;
  testing::MouseOn mouse{nullptr};
};

QImage FullPaint(PoseArea& area) {
  QImage image(area.size(), QImage::Format_RGB32);
  QPainter painter(&image);
  area.PaintAll(painter);
  return image;
}

}  // namespace

// The two editing areas of the window: the flowchart of the motion and the sliders of the pose.
class EditingAreasTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void blocksAreMeasuredWithTheAreaFontAndKeptOnTheCanvas() {
    Area a;
    MotionBlock& start = a.Add(BlockKind::Start, 50, 10, u"");
    MotionBlock& pose = a.Add(BlockKind::Pose, 50, 100, u"P 0");
    MotionBlock& calc = a.Add(BlockKind::Calc, 50, 200, u" CALCULATION ");
    MotionBlock& far = a.Add(BlockKind::Pose, 4090, 5000);
    MotionBlock& before = a.Add(BlockKind::Pose, -30, -5);
    a.LayOut();
    QCOMPARE(pose.label, std::u16string(u"050step"));
    const int poseHeight = pose.rect[1] - pose.ypos;
    QCOMPARE(start.rect[1] - start.ypos, poseHeight / 2);
    QCOMPARE(calc.rect[1] - calc.ypos, poseHeight);
    // The pose block has room for its time buttons beside its text.
    QVERIFY(pose.rect[0] - pose.xpos >= kTimeButtonWidth + 8 + 30);
    QVERIFY(calc.rect[0] - calc.xpos > pose.rect[0] - pose.xpos - kTimeButtonWidth);
    QCOMPARE(QPoint(far.rect[0], far.rect[1]), QPoint(4096, 4096));
    QCOMPARE(QPoint(before.xpos, before.ypos), QPoint(0, 0));
  }

  void scrollRangesReachPastTheLargestBlockAndScrollIntoViewShowsIt() {
    Area a;
    MotionBlock& low = a.Add(BlockKind::Pose, 900, 2000);
    a.Ready();
    a.area.ScrollIntoView(low.xpos, low.ypos, low.rect[0], low.rect[1]);
    QCOMPARE(a.area.ScrollPosition(), QPoint(880, 1980));
    a.area.show();
    a.area.grab();  // the ranges shrink to the content again; the block stays in view
    const QSize client = a.area.viewport()->size();
    QCOMPARE(a.area.verticalScrollBar()->maximum(), low.rect[1] + 15 - client.height());
    const QPoint scroll = a.area.ScrollPosition();
    QVERIFY(QRect(scroll, client).contains(low.xpos, low.ypos));
    // A block already in view does not scroll; near the origin the position stops at 0.
    a.area.ScrollIntoView(low.xpos + 10, low.ypos + 10, 0, 0);
    QCOMPARE(a.area.ScrollPosition(), scroll);
    a.area.ScrollIntoView(10, 5, 0, 0);
    QCOMPARE(a.area.ScrollPosition(), QPoint(0, 0));
  }

  // A click selects one block, Ctrl+click adds one; the rubber band replaces the selection and
  // adds to it with Ctrl. Selecting is no edit.
  void blocksAreSelectedByClicksAndTheRubberBand() {
    Area a;
    MotionBlock& left = a.Add(BlockKind::Pose, 50, 50);
    MotionBlock& right = a.Add(BlockKind::Pose, 250, 50);
    MotionBlock& low = a.Add(BlockKind::Pose, 50, 400);
    a.Ready();
    a.mouse.Click(Inside(right));
    QVERIFY(right.Selected() && !left.Selected());
    QCOMPARE(a.Document().current, &right);
    a.mouse.Click(Inside(left), Qt::ControlModifier);
    QVERIFY(left.Selected() && right.Selected());
    QCOMPARE(a.Document().current, &left);
    a.mouse.Click(Inside(right));  // already selected: the selection stays
    QVERIFY(left.Selected());
    a.mouse.Click(Inside(low), Qt::ControlModifier);
    a.mouse.Press({20, 20});
    QCOMPARE(a.area.MouseMode(), MotionArea::Mode::kBand);
    QVERIFY(!low.Selected());  // a press without Ctrl clears the selection
    a.mouse.Move({400, 120});
    QVERIFY(left.selFlags & core::kBlockInBand);
    QVERIFY(!(low.selFlags & core::kBlockInBand));
    a.mouse.Release({400, 120});
    QVERIFY(left.Selected() && right.Selected() && !low.Selected());
    QVERIFY(!(left.selFlags & core::kBlockInBand));
    a.mouse.Drag({20, 380}, {300, 500}, Qt::ControlModifier);
    QVERIFY(left.Selected() && right.Selected() && low.Selected());
    QCOMPARE(a.UndoSteps(), 0);
  }

  void rightClickSelectsTheBlockAndSetsTheInsertionPoint() {
    Area a;
    MotionBlock& first = a.Add(BlockKind::Pose, 50, 50);
    MotionBlock& second = a.Add(BlockKind::Calc, 300, 50);
    a.Ready();
    first.selFlags |= core::kBlockSelected;
    QSignalSpy menu(&a.area, &MotionArea::contextMenuRequested);
    const auto insertionPoint = [&] {
      return QPoint(a.session.state.insertionPoint.x, a.session.state.insertionPoint.y);
    };
    a.mouse.Press(Inside(second), Qt::NoModifier, Qt::RightButton);
    QCOMPARE(menu.count(), 1);
    QVERIFY(second.Selected() && !first.Selected());
    QCOMPARE(insertionPoint(), Inside(second));
    // On empty ground only the insertion point moves (content coordinates).
    a.area.ScrollIntoView(1000, 1000, 0, 0);
    const QPoint ground = a.area.ScrollPosition() + QPoint(40, 30);
    a.mouse.Press(ground, Qt::NoModifier, Qt::RightButton);
    QCOMPARE(menu.count(), 2);
    QVERIFY(second.Selected());
    QCOMPARE(insertionPoint(), ground);
  }

  // A double click on a block opens its dialog (the block dialog test follows it there); on
  // empty ground it is reported.
  void doubleClickOnEmptyGroundIsReported() {
    Area a;
    MotionBlock& calc = a.Add(BlockKind::Calc, 50, 50);
    a.Ready();
    QSignalSpy properties(&a.area, &MotionArea::blockPropertiesRequested);
    QSignalSpy empty(&a.area, &MotionArea::emptyAreaDoubleClicked);
    a.mouse.DoubleClick(Inside(calc));
    QCOMPARE(empty.count(), 0);
    a.mouse.Click({400, 400});
    a.mouse.Send(QEvent::MouseButtonDblClick, {400, 400}, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(empty.count(), 1);
    QCOMPARE(a.area.MouseMode(), MotionArea::Mode::kBand);  // and it acts as a press
    a.mouse.Release({400, 400});
    QCOMPARE(properties.count(), 1);
  }

  void movedBlocksStopAtTheCanvasOrigin() {
    Area a;
    MotionBlock& pose = a.Add(BlockKind::Pose, 30, 20);
    MotionBlock& other = a.Add(BlockKind::Pose, 200, 300);
    a.Ready();
    a.mouse.Drag(Inside(pose), Inside(pose));  // a click without moving records nothing
    QCOMPARE(a.UndoSteps(), 0);
    const int width = pose.rect[0] - pose.xpos;
    a.mouse.Click(Inside(other));
    a.mouse.Drag(Inside(pose), Inside(pose) + QPoint(-100, -50), Qt::ControlModifier);
    QCOMPARE(QPoint(pose.xpos, pose.ypos), QPoint(0, 0));
    QCOMPARE(pose.rect[0], width);
    QCOMPARE(QPoint(other.xpos, other.ypos), QPoint(100, 250));
    QCOMPARE(a.UndoSteps(), 1);
  }

  void shiftDragSnapsToTheGridFirst() {
    Area a;
    MotionBlock& pose = a.Add(BlockKind::Pose, 53, 47);
    a.Ready();
    const QPoint grip = Inside(pose);  // (56, 50)
    const auto at = [&] { return QPoint(pose.xpos, pose.ypos); };
    a.mouse.Press(grip);
    a.mouse.Move(grip + QPoint(2, 2), Qt::ShiftModifier);
    QCOMPARE(at(), QPoint(50, 40));
    // From x 58 to 72 the cursor crosses two grid lines (60, 70): the block moves 20.
    a.mouse.Move(grip + QPoint(16, 2), Qt::ShiftModifier);
    QCOMPARE(at(), QPoint(70, 40));
    a.mouse.Move(grip + QPoint(19, 5));  // without Shift: exact steps again
    QCOMPARE(at(), QPoint(73, 43));
    a.mouse.Release(grip + QPoint(19, 5));
    QCOMPARE(a.UndoSteps(), 1);
    // A grid of zero does not snap.
    a.session.project.system.gridX = a.session.project.system.gridY = 0;
    a.mouse.Press(Inside(pose));
    a.mouse.Move(Inside(pose) + QPoint(1, 1), Qt::ShiftModifier);
    QCOMPARE(at(), QPoint(74, 44));
  }

  void altDragRelinksTheBlueArrowButNotOntoStartOrItself() {
    Area a;
    MotionBlock& start = a.Add(BlockKind::Start, 50, 10, u"");
    MotionBlock& pose = a.Add(BlockKind::Pose, 50, 100);
    MotionBlock& other = a.Add(BlockKind::Pose, 300, 300);
    MotionBlock& end = a.Add(BlockKind::End, 50, 500);
    pose.next = &end;
    a.Ready();
    a.mouse.Press(Inside(pose), Qt::AltModifier);
    QCOMPARE(a.area.MouseMode(), MotionArea::Mode::kBlueEnd);
    QVERIFY(pose.selFlags & core::kBlockBlueDrag);
    a.mouse.Move(Inside(other), Qt::AltModifier);
    QCOMPARE(pose.next, &other);
    a.mouse.Move({500, 600}, Qt::AltModifier);  // nothing there
    QVERIFY(pose.next == nullptr);
    QCOMPARE(QPoint(pose.rect[2], pose.rect[3]), QPoint(500, 600));
    a.mouse.Move(Inside(other), Qt::AltModifier);
    a.mouse.Release(Inside(other), Qt::AltModifier);
    QCOMPARE(pose.next, &other);
    QVERIFY(!(pose.selFlags & core::kBlockBlueDrag));
    QCOMPARE(a.UndoSteps(), 1);
    QVERIFY(start.next == nullptr);
    for (const QPoint onto : {Inside(start), Inside(pose) + QPoint(1, 1)}) {
      pose.next = &end;
      a.mouse.Drag(Inside(pose), onto, Qt::AltModifier);
      QVERIFY(pose.next == nullptr);
    }
  }

  void altShiftDragsTheRedLinkOfBranchesOnly() {
    Area a;
    MotionBlock& calc = a.Add(BlockKind::Calc, 50, 50);
    MotionBlock& branch = a.Add(BlockKind::If, 50, 200);
    MotionBlock& target = a.Add(BlockKind::Pose, 350, 400);
    MotionBlock& end = a.Add(BlockKind::End, 50, 600);
    branch.next = &end;
    a.Ready();
    a.mouse.Drag(Inside(calc), Inside(target), Qt::AltModifier | Qt::ShiftModifier);
    QCOMPARE(calc.next, &target);
    QVERIFY(calc.branch == nullptr);
    a.mouse.Drag(Inside(branch), Inside(target), Qt::AltModifier | Qt::ShiftModifier);
    QCOMPARE(branch.branch, &target);
    QCOMPARE(branch.next, &end);
    QCOMPARE(a.UndoSteps(), 2);
  }

  void draggingAnArrowsEndRelinksIt() {
    Area a;
    MotionBlock& branch = a.Add(BlockKind::If, 50, 50);
    MotionBlock& first = a.Add(BlockKind::Pose, 350, 300);
    MotionBlock& second = a.Add(BlockKind::Pose, 50, 500);
    a.Ready();
    const ArrowRoute red = RouteArrow(branch, ArrowColor::kRed, false);  // a stub
    a.mouse.Press({red.end.x, red.end.y});
    QCOMPARE(a.area.MouseMode(), MotionArea::Mode::kRedEnd);
    a.mouse.Move(Inside(first));
    a.mouse.Release(Inside(first));
    QCOMPARE(branch.branch, &first);
    // The arrow's far end, on the target's top edge, can be picked up again.
    a.LayOut();
    const ArrowRoute linked = RouteArrow(branch, ArrowColor::kRed, false);
    a.mouse.Press({linked.end.x, linked.end.y + 2});
    QCOMPARE(a.area.MouseMode(), MotionArea::Mode::kRedEnd);
    a.mouse.Move(Inside(second));
    a.mouse.Release(Inside(second));
    QCOMPARE(branch.branch, &second);
  }

  void draggingTheRoutingSegmentSetsTheOffsetWithinItsLimits() {
    Area a;
    MotionBlock& source = a.Add(BlockKind::Pose, 50, 50);
    MotionBlock& target = a.Add(BlockKind::Pose, 300, 300);
    source.next = &target;
    a.Ready();
    const ArrowRoute route = RouteArrow(source, ArrowColor::kBlue, false);
    const int x = route.start.x + 60;
    a.mouse.Press({x, route.start.y + route.offset});
    QCOMPARE(a.area.MouseMode(), MotionArea::Mode::kBlueRoute);
    for (const auto& [y, offset] :
         {std::pair{2000, target.ypos - route.start.y - 6}, {0, 0}, {route.start.y + 30, 30}}) {
      a.mouse.Move({x, y});
      QCOMPARE(source.bluearrow, offset);
    }
    a.mouse.Release({x, route.start.y + 30});
    QCOMPARE(source.bluearrow, 30);
    QVERIFY(!(source.selFlags & core::kBlockBlueDrag));
    QCOMPARE(a.UndoSteps(), 1);
  }

  void timeButtonsStepAndStopAtTheLimits() {
    Area a;
    MotionBlock& pose = a.Add(BlockKind::Pose, 50, 50);
    a.Ready();
    auto* timer = a.area.findChild<QTimer*>(QStringLiteral("timeButtonRepeat"));
    QVERIFY(timer);
    const QPoint plus = Centre(TimePlusBox(BlockBox(pose)));
    a.mouse.Press(plus);
    QCOMPARE(pose.time, 51);  // at once
    // The first repeat waits for the pause (the spin buttons' test follows the repeats).
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 500);
    a.mouse.Release(plus);
    QVERIFY(!timer->isActive());
    QCOMPARE(a.UndoSteps(), 1);
    // Modifiers choose the step; the time stays within 1..65535.
    const QPoint minus = Centre(TimeMinusBox(BlockBox(pose)));
    const Qt::KeyboardModifiers none, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
    struct Case {
      QPoint button;
      Qt::KeyboardModifiers modifiers;
      int from, to;
    };
    const Case cases[] = {
        {plus, shift, 50, 60},         {minus, ctrl, 60, 55},
        {minus, ctrl | shift, 55, 54},  // not exactly one of them
        {plus, shift, 65530, 65535},   {plus, none, 65535, 65535},
        {minus, shift, 4, 1},          {minus, none, 1, 1},
    };
    for (const Case& c : cases) {
      pose.time = static_cast<std::uint16_t>(c.from);
      const int steps = a.UndoSteps();
      a.mouse.Click(c.button, c.modifiers);
      QCOMPARE(int{pose.time}, c.to);
      QCOMPARE(a.UndoSteps(), steps + (c.to != c.from ? 1 : 0));  // nothing changed, none kept
    }
  }

  void wheelChangesTheTimesOfSelectedPosesUnlessLocked() {
    Area a;
    MotionBlock& first = a.Add(BlockKind::Pose, 50, 50);
    MotionBlock& second = a.Add(BlockKind::Pose, 50, 200);
    MotionBlock& unselected = a.Add(BlockKind::Pose, 300, 50);
    MotionBlock& calc = a.Add(BlockKind::Calc, 300, 200);
    a.Ready();
    second.time = 60;
    for (MotionBlock* block : {&first, &second, &calc}) {
      block->selFlags |= core::kBlockSelected;
    }
    a.area.StepWheel(2, Qt::NoModifier);
    QCOMPARE(first.time, 52);
    QCOMPARE(second.time, 62);
    QCOMPARE(unselected.time, 50);
    QCOMPARE(a.UndoSteps(), 1);
    a.area.StepWheel(-20, Qt::ControlModifier);
    QCOMPARE(first.time, 1);
    QCOMPARE(second.time, 1);
    QCOMPARE(a.UndoSteps(), 2);
    a.area.StepWheel(-1, Qt::NoModifier);  // already at the limit
    QCOMPARE(a.UndoSteps(), 2);
    // Locked while a motion plays (the window test drags and turns the wheel then), the time
    // buttons do nothing either.
    first.time = 50;
    a.area.SetInputLocked(true);
    a.mouse.Click(Centre(TimePlusBox(BlockBox(first))));
    QCOMPARE(first.time, 50);
    a.area.SetInputLocked(false);
    a.area.StepWheel(1, Qt::NoModifier);
    QCOMPARE(first.time, 51);
  }

  void wheelWithoutSelectedPosesScrollsALineAndWheelEventsAreLeftToTheMainWindow() {
    Area a;
    a.Add(BlockKind::Pose, 50, 50);
    a.Add(BlockKind::Calc, 50, 3000).selFlags |= core::kBlockSelected;
    a.Ready();
    a.area.show();
    a.area.grab();
    // Ignored, so that the application hands a real wheel turn on to the main window.
    QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(a.area.viewport(), &wheel);
    QVERIFY(!wheel.isAccepted());
    QCOMPARE(a.area.ScrollPosition(), QPoint(0, 0));
    a.area.verticalScrollBar()->setValue(100);
    a.area.StepWheel(1, Qt::NoModifier);
    QCOMPARE(a.area.ScrollPosition().y(), 84);
    a.area.StepWheel(-3, Qt::ShiftModifier);
    QCOMPARE(a.area.ScrollPosition().y(), 100);
    QCOMPARE(a.UndoSteps(), 0);
  }

  // Every kind, five to a column, each linked on to the next down to End (the if and the pad if
  // also by their red arrow), with every arrow style.
  void drawsEveryBlockKind() {
    using K = BlockKind;
    const K kinds[] = {K::Start,      K::Pose,         K::If,    K::Wait,     K::Sound,
                       K::SubRoutine, K::Calc,         K::PadIf, K::FileRead, K::FileWrite,
                       K::Cancel,     K::InterpChange, K::End,   K::Comment,  K::Pose};
    for (const std::uint32_t flags :
         {core::SystemFlag::kArrowMarks, core::SystemFlag::kOldArrows}) {
      Area a;
      a.session.systemFlags = flags;
      std::vector<MotionBlock*> b;
      for (int i = 0; i < 15; ++i) {
        b.push_back(&a.Add(kinds[i], 30 + 200 * (i / 5), 10 + 75 * (i % 5)));
        if (i > 0 && i < 13) {
          b[static_cast<std::size_t>(i - 1)]->next = b.back();
        }
      }
      MotionBlock &pose = *b[1], &sound = *b[4], &sub = *b[5];
      MotionBlock &read = *b[8], &cancel = *b[10], &change = *b[11], &waiting = *b[14];
      b[2]->branch = b[6];
      b[7]->branch = &cancel;
      b[7]->constValue = 0x0011;
      sound.noFile = cancel.noFile = true;
      sub.fileName = u"wave.KX4";
      sub.fileFound = true;
      read.fileName = u"data.txt";
      change.refAddr = 1;
      b[13]->comment = u"歩き始める前に\nボタンを確かめる";
      waiting.interpWait = true;
      waiting.time = 40000;
      waiting.selFlags = core::kBlockSelected;
      a.Document().current = &pose;
      a.area.show();
      QVERIFY(QTest::qWaitForWindowExposed(&a.area));
      const QImage image = a.area.grab().toImage();
      const auto count = [&](const MotionBlock& block, const QColor& color) {
        int n = 0;
        for (int y = block.ypos; y <= block.rect[1]; ++y) {
          for (int x = block.xpos; x <= block.rect[0]; ++x) {
            n += image.pixelColor(x, y) == color ? 1 : 0;
          }
        }
        return n;
      };
      const QColor fileMissing(255, 160, 160);  // no file found: the label's background
      for (const MotionBlock* missing : {&sound, &cancel, &read}) {
        QVERIFY(count(*missing, fileMissing) > 20);
      }
      QVERIFY(count(change, QColor(34, 255, 34)) > 100);
      QCOMPARE(image.pixelColor(pose.xpos + 10, pose.ypos + 10), QColor(255, 0, 0));
      QVERIFY(count(waiting, QColor(0, 0, 128)) > 10);  // the interpolation-wait zigzag
      QVERIFY(count(waiting, QColor(255, 0, 0)) > 10);  // the time bar
      const QColor selected = ToQColor(a.session.project.system.motionAreaColors[4]);
      QCOMPARE(image.pixelColor(waiting.xpos + 1, waiting.ypos + 10), selected);
    }
  }

  void labelsSayWhatEachBlockDoes() {
    using K = BlockKind;
    struct Fields {
      K kind;
      int op = 0, var = 0, varSize = 0, ref = 0, refSize = 0, useConst = 0, constValue = 0;
      int time = 0;
      const char16_t* text = u"";  // the file name, or the comment's text
      bool noFile = false;
    };
    struct Case {
      Fields block;
      const char* japanese;
      const char* english = nullptr;  // none: the same in both
      bool hex = false;               // constants in hexadecimal
    };
    using namespace core::CalcOp;
    using namespace core::BranchOp;
    const Case cases[] = {
        {{K::Calc, kAdd, 0x0F00, 2, 0x0F02, 1}, "3840:歩数 += 3842:速さ"},
        {{K::Calc, 40, 0x0F00, 2, 0, 0, 1, -3}, "3840:歩数  -3"},  // an unknown operator
        {{K::If, kGreaterEqual, 0x0100, 2, 0, 0, 1, 16}, "256:Unkown >= 16", "256:Unknown >= 16"},
        // Hexadecimal constants take the variable's width.
        {{K::If, kNotEqual, 0x0F02, 1, 0, 0, 1, -1}, "0x0f02:速さ != 0xff", nullptr, true},
        {{.kind = K::Sound, .text = u"HELLO.WAV", .noFile = true}, "STOP"},
        // An interpolation change names the group without its details.
        {{.kind = K::InterpChange, .var = 0, .ref = 2}, "全部 → ch2", "All → ch2"},
        {{.kind = K::PadIf}, "何も入力しない", "No input"},
        {{.kind = K::PadIf, .constValue = 0x0011},
         "SELECT,前を入力",
         "SELECT,Up pressed"},  // bits 0, 4
    };
    core::LoadedProject project;
    project.variables = {{2, u"歩数", 0x0F00}, {1, u"速さ", 0x0F02}};
    const bool english = InterfaceLanguage() == QStringLiteral("en");
    for (const auto& [f, japanese, inEnglish, hex] : cases) {
      MotionBlock block = Block(f.kind);
      block.op = static_cast<std::uint16_t>(f.op);
      block.varAddr = static_cast<std::uint16_t>(f.var);
      block.varSize = static_cast<std::uint32_t>(f.varSize);
      block.refAddr = static_cast<std::uint16_t>(f.ref);
      block.refSize = static_cast<std::uint32_t>(f.refSize);
      block.useConst = static_cast<std::uint32_t>(f.useConst);
      block.constValue = f.constValue;
      block.time = static_cast<std::uint16_t>(f.time);
      (f.kind == K::Comment ? block.comment : block.fileName) = f.text;
      block.noFile = f.noFile;
      project.hexadecimalDisplay = hex;
      QCOMPARE(ToQString(BlockLabel(block, project)),
               QString::fromUtf8(english && inEnglish ? inEnglish : japanese));
    }
  }

  void routeTypesFollowWhereTheTargetLies() {
    using namespace RouteType;
    const auto blue = ArrowColor::kBlue;
    const auto red = ArrowColor::kRed;
    struct Case {
      Rect source, target;
      ArrowColor color;
      bool oldRouter;
      int type;
    };
    const Case cases[] = {
        {{0, 0, 100, 40}, {0, 60, 100, 100}, blue, false, kBelow},
        {{100, 100, 200, 140}, {110, 0, 210, 40}, blue, false, kLoopLeft},
        // Overlapping in x but starting lower than the source's top: still below.
        {{0, 100, 100, 140}, {10, 120, 110, 160}, blue, false, kBelow},
        {{0, 100, 100, 140}, {200, 100, 300, 140}, blue, false, kBesideRight},
        // The red arrow starts at the source's right side, (100, 120).
        {{0, 100, 100, 140}, {200, 160, 300, 200}, red, false, kRedCorner},
        {{0, 100, 100, 140}, {0, 200, 100, 240}, red, false, kRedBelow},
        {{0, 100, 100, 140}, {0, 0, 100, 40}, red, false, kRedLoopRight},
        {{0, 100, 100, 140}, {200, 50, 300, 90}, red, false, kRedRight},
        {{200, 100, 300, 140}, {0, 130, 100, 170}, red, false, kRedLeftLevel},
        // The older router's shapes.
        {{100, 100, 200, 140}, {100, 200, 200, 240}, blue, true, kOldStraight},
        {{100, 100, 200, 140}, {300, 200, 400, 240}, red, true, kOldCorner},
        {{100, 100, 200, 140}, {0, 0, 80, 40}, blue, true, kOldLoopLeft},
    };
    for (const Case& c : cases) {
      MotionBlock target = Block(BlockKind::Pose, c.target);
      const ArrowRoute route = Route(Block(BlockKind::If, c.source), target, c.color, c.oldRouter);
      QCOMPARE(route.type, c.type);
      QCOMPARE(route.points[0], route.start);
      QCOMPARE(route.points[static_cast<std::size_t>(route.pointCount - 1)], route.end);
    }
  }

  void offsetsKeepSixPixelsFromBothBlocks() {
    // Target 60 pixels below: the horizontal run stays between 6 below the source and 6 above
    // the target, whatever the stored offset.
    MotionBlock below = Block(BlockKind::Pose, {0, 100, 100, 140});
    MotionBlock source = Block(BlockKind::Pose, {200, 0, 300, 40});
    source.bluearrow = 0;
    QCOMPARE(Route(source, below, ArrowColor::kBlue).offset, 6);
    source.bluearrow = 500;
    QCOMPARE(Route(source, below, ArrowColor::kBlue).offset, 54);
    // Only 8 pixels between them: the run takes the middle of the gap.
    MotionBlock close = Block(BlockKind::Pose, {0, 48, 100, 88});
    QCOMPARE(Route(source, close, ArrowColor::kBlue).offset, 4);
    // A red run to a target at the right, dragged into the target, jumps clear of it.
    MotionBlock branch = Block(BlockKind::If, {0, 100, 100, 140});
    MotionBlock upperRight = Block(BlockKind::Pose, {200, 50, 300, 90});
    branch.redarrow = 120;  // x 220, inside the target's width, left of its middle
    QCOMPARE(Route(branch, upperRight, ArrowColor::kRed).points[1].x, 194);
    branch.redarrow = 170;  // right of its middle
    QCOMPARE(Route(branch, upperRight, ArrowColor::kRed).points[1].x, 306);
  }

  // The limits of a route below are driven by the motion area test; loops have no maximum.
  void draggedLoopOffsetsHaveNoMaximum() {
    MotionBlock above = Block(BlockKind::Pose, {100, 0, 200, 40});
    const ArrowRoute loop =
        Route(Block(BlockKind::Pose, {100, 100, 200, 140}), above, ArrowColor::kBlue);
    QCOMPARE(loop.maxOffset, kNoOffsetLimit);
    QCOMPARE(DraggedOffset(loop, {-850, 120}), 1000);
    QCOMPARE(DraggedOffset(loop, {400, 120}), 0);
  }

  void hitTestFindsBodiesTimeButtonsAndArrowParts() {
    core::MotionDocument document;
    MotionBlock& pose = document.Append(Block(BlockKind::Pose, {100, 100, 200, 148}));
    MotionBlock& branch = document.Append(Block(BlockKind::If, {100, 300, 200, 340}));
    MotionBlock& end = document.Append(Block(BlockKind::End, {100, 500, 200, 520}));
    pose.next = &branch;
    branch.next = &end;
    struct Case {
      Point at;
      int kind, index;
    };
    using namespace HitKind;
    const Case cases[] = {
        // Pose: middle y 124, quarter 12; the strip is x 185..200.
        {{150, 110}, kBody, 0},
        {{190, 124}, kTimePlus, 0},
        {{185, 136}, kTimeMinus, 0},
        // The start of the pose's blue arrow (150, 148): 6 pixels around, 7 towards the top.
        {{143, 150}, kBlueEnd, 0},
        {{142, 150}, kNothing, -1},
        // The branch's red arrow starts at (200, 320).
        {{203, 320}, kRedEnd, 1},
    };
    for (const Case& c : cases) {
      const Hit hit = HitTest(document, c.at, false);
      QCOMPARE(QPoint(hit.kind, hit.index), QPoint(c.kind, c.index));
    }
  }

  void knobDragSnapsReachesTheEndsAndRecordsOneUndoStepAtTheEnd() {
    Fixture f;
    // Value 0 puts the knob's centre at 36 + 95 + 5.
    const QPoint knob(136, kRow0);
    f.mouse.Press(knob);
    // 123 pixels along: -1000 + 118 / 190 x 2000 = 242; a pixel is worth 10, the step is 50.
    f.mouse.Move({159, kRow0});
    QCOMPARE(f.Value(0), std::int16_t{200});
    QCOMPARE(f.session->undo.Count(), 1);
    f.mouse.Release({159, kRow0});
    QCOMPARE(f.session->undo.Count(), 2);
    // A click without a move leaves no step; the drag reaches the exact ends.
    f.mouse.Click({155, kRow0});  // the knob's centre at 200
    QCOMPARE(f.session->undo.Count(), 2);
    f.mouse.Press({155, kRow0});
    f.mouse.Move({390, kRow0});
    QCOMPARE(f.Value(0), std::int16_t{1000});
    f.mouse.Move({0, kRow0});
    QCOMPARE(f.Value(0), std::int16_t{-1000});
    f.mouse.Release({0, kRow0});
    QCOMPARE(f.session->undo.Count(), 3);
  }

  void spinStepsAtOnceThenAfterTheFirstDelayThenRepeatedly() {
    Fixture f;
    auto* timer = f.area->findChild<QTimer*>(QStringLiteral("spinRepeat"));
    QVERIFY(timer);
    f.mouse.Press({kRightSpinX, kRow0});
    QCOMPARE(f.Value(0), std::int16_t{50});
    QCOMPARE(f.session->undo.Count(), 2);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), PoseArea::kFirstRepeatMs);
    QTRY_VERIFY_WITH_TIMEOUT(f.Value(0) >= 100, 30000);
    QCOMPARE(timer->interval(), PoseArea::kRepeatMs);
    QTRY_VERIFY_WITH_TIMEOUT(f.Value(0) >= 300, 30000);
    f.mouse.Release({kRightSpinX, kRow0});
    QVERIFY(!timer->isActive());
    const std::int16_t held = f.Value(0);
    QTest::qWait(150);
    QCOMPARE(f.Value(0), held);
  }

  // The spin buttons hand their modifiers to the pose stepping (whose steps the core tests
  // check): each row from the values the rows before it left.
  void spinModifiersChooseTheStepAndTheCheckBoxFlipsTheServo() {
    Fixture f;
    const Qt::KeyboardModifiers none, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
    struct Case {
      int x, row;
      Qt::KeyboardModifiers modifiers;
      int slider;
      std::int16_t value;
    };
    const Case cases[] = {
        {kLeftSpinX, kRow1, none, 1, -1},  // step 0 moves by one
        {kRightSpinX, kRow1, shift, 1, 0},
        {kRightSpinX, kRow0, shift, 0, 500},
        {kLeftSpinX, kRow0, ctrl, 0, 495},  // 500 - 3 = 497, snapped to the unit 3
        // Ctrl+Shift: a slider without a servo channel takes its plain step (545 snaps to 500),
        // a servo-channel slider spins its companion by the companion's step.
        {kRightSpinX, kRow0, ctrl | shift, 0, 500},
        {kRightSpinX, kRow3, ctrl | shift, 4, 5},
        {kRightSpinX, kRow2, none, 2, -10},  // display inversion turns the buttons round
    };
    for (const Case& c : cases) {
      f.mouse.Click({c.x, c.row}, c.modifiers);
      QCOMPARE(f.Value(c.slider), c.value);
    }
    QCOMPARE(f.Value(3), std::int16_t{0});  // the servo-channel slider itself stays
    // The check box below the right spin button flips the servo enable bit, with an undo step.
    const int steps = f.session->undo.Count();
    f.mouse.Click({kRightSpinX, kRow3 + 20});
    QCOMPARE(f.session->motion.document.current->servoEnableMask, std::uint64_t{1});
    QCOMPARE(f.session->undo.Count(), steps + 1);
    f.mouse.Click({kRightSpinX, kRow3 + 20});
    QCOMPARE(f.session->motion.document.current->servoEnableMask, std::uint64_t{0});
  }

  // Clicks select and spins clear the selection unless Ctrl is held; the rubber band replaces
  // the selection and adds to it with Ctrl.
  void slidersAreSelectedByClicksAndTheRubberBand() {
    Fixture f;
    f.mouse.Click({kBodyX, kRow0});
    f.mouse.Click({kBodyX, kRow1}, Qt::ControlModifier);
    QVERIFY(f.Selected(0) && f.Selected(1));
    f.mouse.Click({kRightSpinX, kRow0}, Qt::ControlModifier);
    QVERIFY(f.Selected(0) && f.Selected(1));
    f.mouse.Click({kBodyX, kRow2});
    QVERIFY(!f.Selected(0) && !f.Selected(1) && f.Selected(2));
    f.mouse.Click({kRightSpinX, kRow0});
    QVERIFY(!f.Selected(2));
    // Shift on an unselected slider starts a new selection.
    f.mouse.Click({kBodyX, kRow0});
    f.mouse.Click({kBodyX, kRow1}, Qt::ShiftModifier);
    QVERIFY(!f.Selected(0) && f.Selected(1));
    f.mouse.Click({kBodyX, kRow2});
    QVERIFY(f.Selected(2));
    f.mouse.Press({5, 25});
    f.mouse.Move({100, 50});
    QVERIFY(f.Selected(0) && !f.Selected(2));
    f.mouse.Release({100, 50});
    f.mouse.Drag({5, 90}, {100, 110}, Qt::ControlModifier);
    QVERIFY(f.Selected(0) && f.Selected(1) && !f.Selected(2));
    // Shrinking the band while replacing drops what it no longer covers.
    f.mouse.Press({5, 25});
    f.mouse.Move({100, 110});
    QVERIFY(f.Selected(0) && f.Selected(1));
    f.mouse.Move({100, 50});
    QVERIFY(f.Selected(0) && !f.Selected(1));
  }

  // A slider moved beyond the right edge keeps its stored place, is drawn pulled inside
  // (400 - 232 = 168) and is selected by the band where it is drawn.
  void shiftDragBeyondTheEdgeKeepsTheStoredPositionAndTheBandFindsItWhereDrawn() {
    Fixture f;
    f.mouse.Press({kBodyX, kRow2}, Qt::ShiftModifier);
    QVERIFY(f.Selected(2));
    f.mouse.Move({kBodyX + 500, kRow2}, Qt::ShiftModifier);
    f.mouse.Release({kBodyX + 500, kRow2});
    QCOMPARE(f.session->project.sliders[2].pos[0], 520);
    f.mouse.Press({150, kRow2 - 10});
    f.mouse.Move({200, kRow2 + 10});
    QVERIFY(f.Selected(2));
    QCOMPARE(f.session->project.sliders[2].pos[0], 520);
  }

  void layoutPlacesKnobsCheckBoxesAndGhostKnobs() {
    core::LoadedProject project = SmallProject();
    PoseSnapshot snapshot;
    snapshot.values[2] = -500;
    const PoseSkinMetrics metrics = SkinMetricsOf(project.system);
    // The knob of an inverted slider's minimum at the right end.
    PoseLayout layout = LayoutSliders(project, snapshot, metrics, QSize(400, 300));
    QCOMPARE(layout[2].knobLeft, kTrackLeft + 200 - 10);
    // The servo check box and the ghost knob of the reading.
    snapshot.online = true;
    snapshot.readings[0] = 0;
    snapshot.readings[3] = 32767;  // no reading: off the track
    layout = LayoutSliders(project, snapshot, metrics, QSize(400, 300));
    QVERIFY(layout[0].ghostShown);
    QVERIFY(!layout[3].ghostShown);
    QCOMPARE(layout[0].checkState, -1);
    QCOMPARE(layout[3].checkState, 1);
    snapshot.servoEnableMask = 1;
    snapshot.online = false;
    const SliderLayout servo = LayoutSlider(project, 3, snapshot, metrics, QSize(400, 300));
    QCOMPARE(servo.checkState, 0);
    QVERIFY(!servo.ghostShown);
  }

  void shiftDragMovesTheSelectedSliders() {
    Fixture f;
    f.mouse.Click({kBodyX, kRow0});
    f.mouse.Click({kBodyX, kRow1}, Qt::ControlModifier);
    f.mouse.Press({kBodyX, kRow0}, Qt::ShiftModifier);
    f.mouse.Move({kBodyX + 30, kRow0 + 15}, Qt::ShiftModifier);
    f.mouse.Move({kBodyX + 40, kRow0 + 20}, Qt::ShiftModifier);
    // Without Shift the move stops.
    f.mouse.Move({kBodyX + 90, kRow0 + 20});
    f.mouse.Release({kBodyX + 90, kRow0 + 20});
    const auto& s = f.session->project.sliders;
    QCOMPARE(s[0].pos, (std::array<std::int32_t, 2>{60, kRow0 + 20}));
    QCOMPARE(s[1].pos, (std::array<std::int32_t, 2>{60, kRow1 + 20}));
    QCOMPARE(s[2].pos, (std::array<std::int32_t, 2>{20, kRow2}));
    QCOMPARE(f.Value(0), std::int16_t{0});
  }

  void rightClickSelectsOnlyThatSliderAndDoubleClickReportsEmptyGround() {
    Fixture f;
    QSignalSpy spy(f.area.get(), &PoseArea::contextMenuRequested);
    f.mouse.Click({kBodyX, kRow0});
    f.mouse.Click({kBodyX, kRow1}, Qt::ControlModifier);
    f.mouse.Press({kBodyX, kRow2}, {}, Qt::RightButton);
    QVERIFY(!f.Selected(0) && !f.Selected(1) && f.Selected(2));
    QCOMPARE(spy.count(), 1);
    // Off the sliders the selection stays and the menu still opens.
    f.mouse.Press({5, 5}, {}, Qt::RightButton);
    QVERIFY(f.Selected(2));
    QCOMPARE(spy.count(), 2);
    // A double click is reported on empty ground only.
    QSignalSpy empty(f.area.get(), &PoseArea::emptyAreaDoubleClicked);
    f.mouse.DoubleClick({kBodyX, kRow0});
    QCOMPARE(empty.count(), 0);
    QVERIFY(f.Selected(0));
    f.mouse.DoubleClick({5, 5});
    QCOMPARE(empty.count(), 1);
  }

  void wheelIsLeftToTheMainWindowStepWheelStepsTheSelectionUnlessLocked() {
    Fixture f;
    QWheelEvent wheel(QPointF(kBodyX, kRow0), QPointF(f.area->mapToGlobal(QPoint(kBodyX, kRow0))),
                      QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(f.area.get(), &wheel);
    QVERIFY(!wheel.isAccepted());
    f.mouse.Click({kBodyX, kRow0});
    f.area->StepWheel(3, Qt::NoModifier);
    QCOMPARE(f.Value(0), std::int16_t{50});
    // Shift: a unit of 500; 50 - 500 snaps to 0.
    f.area->StepWheel(-1, Qt::ShiftModifier);
    QCOMPARE(f.Value(0), std::int16_t{0});
    // Locking ends a knob drag with its undo step and ignores the mouse and the wheel.
    const int steps = f.session->undo.Count();
    f.mouse.Press({136, kRow0});
    f.mouse.Move({159, kRow0});
    f.area->SetInputLocked(true);
    QCOMPARE(f.session->undo.Count(), steps + 1);
    f.mouse.Move({170, kRow0});
    f.mouse.Click({kRightSpinX, kRow0});
    f.area->StepWheel(1, Qt::NoModifier);
    QCOMPARE(f.Value(0), std::int16_t{200});
    f.area->SetInputLocked(false);
    f.mouse.Click({kRightSpinX, kRow0});
    QCOMPARE(f.Value(0), std::int16_t{250});
  }

  void changedSlidersRedrawToTheSamePictureAsAFullPaint() {
    Fixture f;
    f.session->systemFlags.fetch_or(core::SystemFlag::kOnline);
    f.session->project.sliders[0].reading = 400;
    f.session->project.sliders[1].reading = 400;
    QImage before = f.area->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(before, FullPaint(*f.area));
    // A value, a reading, a selection and a companion value change; only those redraw.
    f.mouse.Click({kRightSpinX, kRow0}, Qt::ShiftModifier);
    f.session->project.sliders[1].reading = -300;
    f.mouse.Click({kBodyX, kRow2});
    f.mouse.Click({kRightSpinX, kRow3}, Qt::ControlModifier | Qt::ShiftModifier);
    const QImage after = f.area->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QVERIFY(after != before);
    QCOMPARE(after, FullPaint(*f.area));
  }

  // Beside the motion area in a window 1300 pixels wide, the sample robot's sliders keep their
  // places at a narrow split: those past the split line are hidden, none pile up over another,
  // and a click on a spin button steps the slider drawn there and no other.
  void narrowPoseAreaKeepsTheSlidersApart() {
    const int width = 300;
    Fixture f(testing::ShippedSampleRobot());
    SplitPane window(f.area.get(), new QWidget);
    const auto handBack = qScopeGuard([&] { f.area->setParent(nullptr); });
    window.resize(1300, 720);
    window.SetRatio((width + 1.5) / 1300.0);
    QCOMPARE(f.area->width(), width);
    const core::LoadedProject& project = f.session->project;
    const PoseSkinMetrics metrics = SkinMetricsOf(project.system);
    const PoseLayout layout =
        LayoutSliders(project, PoseSnapshot{}, metrics, f.area->LayoutBounds());
    int clicked = 0;
    for (int k = 0; k < core::kSliderCount; ++k) {
      const SliderLayout& s = layout[static_cast<std::size_t>(k)];
      if (!s.shown) {
        continue;
      }
      const QRect body = SliderBodyRect(s, metrics);
      for (int j = k + 1; j < core::kSliderCount; ++j) {
        const SliderLayout& other = layout[static_cast<std::size_t>(j)];
        QVERIFY2(!other.shown || !body.intersects(SliderBodyRect(other, metrics)),
                 qPrintable(QStringLiteral("sliders %1 and %2").arg(k).arg(j)));
      }
      const QPoint leftSpin(s.x + metrics.SpinCell() / 2, s.y);
      if (!f.area->rect().contains(leftSpin)) {
        continue;  // behind the motion area
      }
      const auto before = f.session->motion.document.current->slots;
      f.mouse.Click(leftSpin);
      const auto after = f.session->motion.document.current->slots;
      for (std::size_t j = 0; j < after.size(); ++j) {
        QVERIFY2((after[j] != before[j]) == (j == static_cast<std::size_t>(k)),
                 qPrintable(QStringLiteral("clicked %1, slider %2").arg(k).arg(j)));
      }
      ++clicked;
    }
    QVERIFY(clicked >= 10);
  }

  void overlappingSlidersAnswerWithTheOneDrawnOnTop() {
    Fixture f;
    // Slider 1 is drawn after slider 0, four pixels lower, over most of it.
    f.session->project.sliders[1].pos = {20, kRow0 + 4};
    f.mouse.Click({kLeftSpinX, kRow0});
    QCOMPARE(f.Value(0), std::int16_t{0});
    QCOMPARE(f.Value(1), std::int16_t{-1});
    f.mouse.Press({kBodyX, kRow0}, {}, Qt::RightButton);
    QVERIFY(!f.Selected(0) && f.Selected(1));
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::EditingAreasTest)
#include "editing_areas_test.moc"
