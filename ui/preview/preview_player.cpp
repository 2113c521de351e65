#include "preview_player.h"

#include <QTemporaryDir>
#include <algorithm>

#include "board/board_flags.h"
#include "board/copy_list.h"
#include "board/image_builder.h"
#include "board/playback.h"
#include "board/settings_image.h"
#include "board_addresses.h"
#include "flowchart/current_block.h"
#include "main_window/editor_session.h"
#include "motion/motion_writer.h"
#include "platform/paths.h"
#include "pose/edit_context.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "virtual_board.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {

namespace {

constexpr char16_t kMotionName[] = u"PREVIEW.KX4";
// Board time given to the settings program before the motion starts: it only writes memory and
// then idles.
constexpr std::uint32_t kSettingsRunUs = 200000;
// The longest step the board takes at once, so that a stalled user interface does not make the
// motion jump ahead.
constexpr std::uint32_t kMaxStepUs = 100000;

}  // namespace

PreviewPlayer::PreviewPlayer(EditorSession& session, core::Prompter& prompter, QObject* parent)
    : QObject(parent), session_(session), prompter_(prompter) {
  timer_.setObjectName(QStringLiteral("previewPlayerTimer"));
  timer_.setInterval(kTickMs);
  connect(&timer_, &QTimer::timeout, this, &PreviewPlayer::Tick);
}

PreviewPlayer::~PreviewPlayer() {
  session_.previewPlaying.store(false);
}

bool PreviewPlayer::Start(core::MotionBlock* selectedBlock, int overridePercent) {
  if (Playing()) {
    return false;
  }
  if (session_.link.Flags().online.load() != 0) {
    prompter_.Show(core::PromptIcon::kWarning, core::LoadText(core::TextId::kMsgPreviewPlayOnline));
    return false;
  }
  core::MotionDocument& motion = session_.motion.document;
  // The motion is compiled from a file of its own, as for the robot; the file is not needed once
  // the image is built.
  const QTemporaryDir folder;
  if (!folder.isValid()) {
    prompter_.Show(
        core::PromptIcon::kError,
        core::Format(core::LoadText(core::TextId::kMsgMotionSaveFailed), ToU16(folder.path())));
    return false;
  }
  const std::filesystem::path motionFile =
      core::PathFromText(ToU16(folder.path())) / std::u16string(kMotionName);
  std::optional<core::MotionImage> image;
  core::CpuSettings cpu;
  {
    std::lock_guard lock(session_.sessionMutex);
    core::MotionBlock* startBlock = core::MoveStartBlockToFront(motion, selectedBlock);
    const core::MotionBlock* head = motion.head();
    if (head && head->Is(core::BlockKind::Start) && !head->next) {
      prompter_.Show(core::PromptIcon::kWarning, core::LoadText(core::TextId::kMsgNoStartPose));
      return false;
    }
    const core::LoadedProject& project = session_.project;
    cpu = project.cpu;
    if (!core::WriteMotionFile(motionFile, motion, project.sliders, 100, startBlock)) {
      prompter_.Show(core::PromptIcon::kError,
                     core::Format(core::LoadText(core::TextId::kMsgMotionSaveFailed),
                                  core::TextFromPath(motionFile)));
      return false;
    }
    core::ImageBuildContext context;
    context.projectFolder = core::PathFromText(project.project.folder);
    context.sliders = &project.sliders;
    context.cpu = &cpu;
    context.editedMotion = &motion;
    context.prompter = &prompter_;
    core::CopyList copyList;
    image = core::BuildMotionImage(context, core::TextFromPath(motionFile), u"",
                                   static_cast<std::uint32_t>(overridePercent), 0, copyList);
    if (!image) {
      return false;  // reported by the image builder
    }
    firstAddress_ = motion.head() ? motion.head()->fileStart : 0;
    lastAddress_ = motion.tail() ? motion.tail()->fileEnd : 0;
    if (const core::MotionBlock* current = core::CurrentPose(session_.context)) {
      values_ = current->slots;
    }
  }

  auto board = std::make_unique<sim::VirtualBoard>();
  board->RunImage(core::BuildSettingsImage(cpu));
  board->Advance(kSettingsRunUs);
  // The robot starts where the preview shows it.
  for (std::size_t i = 0; i < values_.size(); ++i) {
    board->SetWord(sim::kServoCurrentAddress + 2 * static_cast<std::uint32_t>(i),
                   static_cast<std::uint16_t>(values_[i]));
  }
  board->RunImage(std::move(image->bytes));
  board_ = std::move(board);
  markedIndex_ = -1;
  session_.previewPlaying.store(true);
  lastNs_ = 0;
  clock_.start();
  timer_.start();
  Q_EMIT playingChanged(true);
  return true;
}

void PreviewPlayer::Stop() {
  if (Playing()) {
    Finish();
  }
}

void PreviewPlayer::Tick() {
  std::uint32_t step = fixedTickUs_;
  if (step == 0) {
    const std::int64_t now = clock_.nsecsElapsed();
    step = static_cast<std::uint32_t>(std::min<std::int64_t>((now - lastNs_) / 1000, kMaxStepUs));
    lastNs_ = now;
  }
  Advance(step);
}

void PreviewPlayer::Advance(std::uint32_t microseconds) {
  if (!board_) {
    return;
  }
  if (const sim::VirtualBoard* pad = session_.VirtualBoard()) {
    sim::ControllerInput input;
    input.present = pad->Byte(sim::kControllerPresentAddress);
    input.buttons = pad->Word(sim::kControllerButtonsAddress);
    input.rx = pad->Word(sim::kControllerRxAddress);
    input.ry = pad->Word(sim::kControllerRyAddress);
    input.lx = pad->Word(sim::kControllerLxAddress);
    input.ly = pad->Word(sim::kControllerLyAddress);
    board_->SetController(input);
  }
  board_->Advance(microseconds);
  for (std::size_t i = 0; i < values_.size(); ++i) {
    values_[i] = static_cast<std::int16_t>(
        board_->Word(sim::kServoCurrentAddress + 2 * static_cast<std::uint32_t>(i)));
  }
  core::ExecutedBlockMark mark;
  {
    std::lock_guard lock(session_.sessionMutex);
    mark = core::MarkExecutedBlock(
        session_.motion.document, board_->Word32(sim::kCodeAddressAddress),
        board_->Word32(sim::kBlockCodeAddress), firstAddress_, lastAddress_, markedIndex_);
  }
  if (mark.poseToLoad) {
    core::MakeBlockCurrent(session_.context, *mark.poseToLoad);
  }
  if ((mark.newMark || mark.byBlockAddress) && session_.context.views) {
    session_.context.views->Repaint(core::Pane::kMotion);
  }
  // The motion has ended once the board cleared the play byte and its last move is done.
  if (board_->Byte(sim::kPlayByteAddress) == 0 && board_->Byte(sim::kFillCountAddress) == 0 &&
      board_->Byte(sim::kBufferBusyAddress[0]) == 0) {
    Finish();
  }
}

void PreviewPlayer::Finish() {
  timer_.stop();
  board_.reset();
  session_.previewPlaying.store(false);
  Q_EMIT playingChanged(false);
}

}  // namespace gestalon::ui
