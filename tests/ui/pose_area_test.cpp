#include "pose_area/pose_area.h"

#include <QPainter>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QToolTip>
#include <QtTest>
#include <memory>

#include "main_window/editor_session.h"
#include "main_window/split_pane.h"
#include "motion/block_factory.h"
#include "pose/value_texts.h"
#include "recording_ports.h"
#include "sample_robot.h"
#include "window_driving.h"

namespace gestalon::ui {
namespace {

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

class PoseAreaTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void creationStoresTheCurrentPoseWithoutAnUndoStep() {
    Fixture f;
    f.session->state.lastTransitionTime = 90;
    const int steps = f.session->undo.Count();
    PoseArea area(*f.session);
    QCOMPARE(f.session->state.lastTransitionTime, std::uint16_t{18});
    QCOMPARE(f.session->undo.Count(), steps);
    QVERIFY(f.session->state.poseClipboard.copyMask.all());
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
    f.mouse.Move({170, kRow0});
    QCOMPARE(f.Value(0), std::int16_t{350});
    QCOMPARE(f.session->undo.Count(), 1);
    f.mouse.Release({170, kRow0});
    QCOMPARE(f.session->undo.Count(), 2);
    // Ctrl snaps to step / 16 = 3 instead (the knob's centre is now at 36 + 128 + 5).
    f.mouse.Press({169, kRow0});
    f.mouse.Move({159, kRow0}, Qt::ControlModifier);
    QCOMPARE(f.Value(0), std::int16_t{240});
    f.mouse.Release({159, kRow0});
    QCOMPARE(f.session->undo.Count(), 3);
    // A click without a move leaves no step; the drag reaches the exact ends.
    f.mouse.Click({158, kRow0});  // the knob's centre at 240
    QCOMPARE(f.session->undo.Count(), 3);
    f.mouse.Press({158, kRow0});
    f.mouse.Move({390, kRow0});
    QCOMPARE(f.Value(0), std::int16_t{1000});
    f.mouse.Move({0, kRow0});
    QCOMPARE(f.Value(0), std::int16_t{-1000});
    f.mouse.Release({0, kRow0});
    QCOMPARE(f.session->undo.Count(), 4);
    // Value 0 of -500..500 sits in the middle either way; an inverted slider's right end is its
    // minimum.
    f.mouse.Drag({136, kRow2}, {390, kRow2});
    QCOMPARE(f.Value(2), std::int16_t{-500});
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

  void rubberBandReplacesAndCtrlAdds() {
    Fixture f;
    f.mouse.Click({kBodyX, kRow2});
    QVERIFY(f.Selected(2));
    f.mouse.Press({5, 25});
    f.mouse.Move({100, 50});
    QVERIFY(f.Selected(0) && !f.Selected(2));
    f.mouse.Release({100, 50});
    f.mouse.Press({5, 90}, Qt::ControlModifier);
    f.mouse.Move({100, 110}, Qt::ControlModifier);
    f.mouse.Release({100, 110});
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

  void clicksSelectAndSpinsClearTheSelectionUnlessCtrlIsHeld() {
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
  }

  void layoutPlacesKnobsMarkersCheckBoxesAndGhostKnobs() {
    core::LoadedProject project = SmallProject();
    PoseSnapshot snapshot;
    snapshot.values[0] = -1000;
    snapshot.values[2] = -500;
    const PoseSkinMetrics metrics = SkinMetricsOf(project.system);
    PoseLayout layout = LayoutSliders(project, snapshot, metrics, QSize(400, 300));
    QCOMPARE(layout[2].trackLeft, kTrackLeft);
    QCOMPARE(layout[2].knobLeft, kTrackLeft + 200 - 10);
    QCOMPARE(layout[0].knobLeft, kTrackLeft);
    QVERIFY(!layout[5].shown);
    // The base pose marker, the servo check box and the ghost knob of the reading.
    core::BasePose& base = project.basePoses.entries[0];
    base.registered = true;
    base.values[0] = 1000;
    project.basePoses.current = 0;
    snapshot.online = true;
    snapshot.readings[0] = 0;
    snapshot.readings[3] = 32767;  // no reading: off the track
    layout = LayoutSliders(project, snapshot, metrics, QSize(400, 300));
    QCOMPARE(layout[0].markerLeft, kTrackLeft + 190 + 5 - 2);
    QVERIFY(layout[0].ghostShown);
    QCOMPARE(QPoint(layout[0].ghostLeft, layout[0].ghostTop), QPoint(kTrackLeft + 95, kRow0 - 8));
    QVERIFY(!layout[3].ghostShown);
    QCOMPARE(layout[0].checkState, -1);
    QCOMPARE(layout[3].checkState, 1);
    QCOMPARE(QPoint(layout[3].checkLeft, layout[3].checkTop),
             QPoint(kTrackLeft + 200 + 16 - 14, kRow3 + 14));
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
    QCOMPARE(s[0].filePos, (std::array<std::int32_t, 2>{60, kRow0 + 20}));
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
    QCOMPARE(spy.at(0).at(0).toPoint(), f.area->mapToGlobal(QPoint(kBodyX, kRow2)));
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

  void tooltipShowsTheValueOfTheSliderUnderThePointer() {
    Fixture f;
    f.area->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.area.get()));
    const QPoint point(kBodyX, kRow0);
    QHelpEvent help(QEvent::ToolTip, point, f.area->mapToGlobal(point));
    QApplication::sendEvent(f.area.get(), &help);
    QTRY_COMPARE_WITH_TIMEOUT(
        QToolTip::text(), QString::fromStdU16String(core::FormatValueTip(f.session->project, 0, 0)),
        30000);
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

  void displayInversionSwapsTheSideTexts() {
    Fixture f;
    const QImage plain = FullPaint(*f.area);
    f.session->project.sliders[0].flags1 |= kInverted;
    const QImage inverted = FullPaint(*f.area);
    // The side texts sit left of x and right of the right spin button, both on row 0.
    const QRect leftText(0, kRow0 - 10, 20, 20);
    const QRect rightText(kTrackLeft + 200 + 16, kRow0 - 10, 20, 20);
    QVERIFY(plain.copy(leftText) != inverted.copy(leftText));
    QVERIFY(plain.copy(rightText) != inverted.copy(rightText));
  }

  void narrowPoseAreaKeepsTheSlidersApart_data() {
    QTest::addColumn<int>("width");
    for (const int width : {300, 640, 1200}) {
      QTest::addRow("%d px", width) << width;
    }
  }

  // Beside the motion area in a window 1300 pixels wide, the sample robot's sliders keep their
  // places at any split: those past the split line are hidden, none pile up over another, and a
  // click on a spin button steps the slider drawn there and no other.
  void narrowPoseAreaKeepsTheSlidersApart() {
    QFETCH(int, width);
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

QTEST_MAIN(gestalon::ui::PoseAreaTest)
#include "pose_area_test.moc"
