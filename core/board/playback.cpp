#include "board/playback.h"

#include <exception>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "board/board_addresses.h"
#include "board/board_memory.h"
#include "board/byte_code.h"
#include "board/copy_list.h"
#include "board/image_builder.h"
#include "motion/motion_writer.h"
#include "platform/paths.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"

namespace gestalon::core {
namespace {

// Name of the image to play, as the board reads it at 0x0200 (zero included).
constexpr char kImageNameOnBoard[] = "TEMP.BIN";
constexpr std::uint32_t kImageNameBytes = sizeof(kImageNameOnBoard);
constexpr std::uint32_t kErrorTextBytes = 32;
constexpr std::uint32_t kLatestMotionBytes = 512;

TransferRange Range(std::uint32_t address, std::uint32_t length) {
  return {static_cast<std::int32_t>(address), static_cast<std::int32_t>(length)};
}

MotionBlock* Redirect(MotionBlock* target, MotionBlock* a, MotionBlock* b) {
  return target == a ? b : target == b ? a : target;
}

// None when `file` is not a readable file. A folder opens as a stream whose reads throw, so
// only regular files are read.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) {
    return std::nullopt;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    return std::nullopt;
  }
  try {
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (in.bad()) {
      return std::nullopt;
    }
    return bytes;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

// The card keeps file times in even seconds, so an image rebuilt within the same two seconds
// would look up to date and the board would play the previous one. A card copy that differs
// from the new image is therefore removed first, which makes the copy happen.
void RemoveStaleCardImage(const std::filesystem::path& cardImage,
                          const std::vector<std::uint8_t>& image) {
  const auto onCard = ReadWholeFile(cardImage);
  if (onCard && *onCard != image) {
    std::error_code ec;
    std::filesystem::remove(cardImage, ec);
  }
}

// Releases the board taken by the playback thread when the scope ends, also on an exception.
class BoardHold {
 public:
  explicit BoardHold(BoardLink& link) : link_(link) {}
  ~BoardHold() {
    if (held_) {
      link_.ReleaseBoard();
    }
  }
  BoardHold(const BoardHold&) = delete;
  BoardHold& operator=(const BoardHold&) = delete;

  void Taken() { held_ = true; }
  void Release() {
    if (held_) {
      link_.ReleaseBoard();
      held_ = false;
    }
  }

 private:
  BoardLink& link_;
  bool held_ = false;
};

}  // namespace

ExecutedBlockMark MarkExecutedBlock(MotionDocument& motion, std::uint32_t codeAddress,
                                    std::uint32_t blockAddress, std::uint32_t first,
                                    std::uint32_t last, int& markedIndex) {
  ExecutedBlockMark mark;
  // Code ranges are half-open: the address just past the last block is code of a called motion.
  mark.byBlockAddress = !(first <= codeAddress && codeAddress < last);
  const std::uint32_t address = mark.byBlockAddress ? blockAddress : codeAddress;
  int index = 0;
  for (MotionBlock& block : motion) {
    if (block.fileStart <= address && address < block.fileEnd) {
      block.selFlags |= kBlockSelected | kBlockRedraw;
      if (index != markedIndex) {
        markedIndex = index;
        mark.newMark = true;
        mark.poseToLoad = block.Is(BlockKind::Pose) ? &block : nullptr;
      }
    } else {
      block.selFlags = (block.selFlags & ~kBlockSelected) | kBlockRedraw;
    }
    ++index;
  }
  return mark;
}

MotionBlock* MoveStartBlockToFront(MotionDocument& motion, MotionBlock* follow) {
  MotionBlock* first = motion.head();
  if (!first || first->Is(BlockKind::Start)) {
    return follow;
  }
  MotionBlock* start = nullptr;
  for (MotionBlock& block : motion) {
    if (block.Is(BlockKind::Start)) {
      start = &block;
      break;
    }
  }
  if (!start) {
    return follow;
  }
  MotionBlock* const firstPrev = first->prev;
  MotionBlock* const firstNext = first->nextInList;
  MotionBlock* const startPrev = start->prev;
  MotionBlock* const startNext = start->nextInList;
  std::swap(*first, *start);
  first->prev = firstPrev;
  first->nextInList = firstNext;
  start->prev = startPrev;
  start->nextInList = startNext;
  for (MotionBlock& block : motion) {
    block.next = Redirect(block.next, first, start);
    block.branch = Redirect(block.branch, first, start);
  }
  motion.current = Redirect(motion.current, first, start);
  return Redirect(follow, first, start);
}

MotionPlayback::MotionPlayback(BoardLink& link, PlaybackContext context)
    : link_(link), context_(std::move(context)) {}

MotionPlayback::~MotionPlayback() {
  shuttingDown_.store(true);
  {
    std::lock_guard lock(stateMutex_);
    cancelPending_ = true;
    if (playing_.exchange(false)) {
      stopRequest_.store(true);
    }
  }
  if (preparation_.joinable()) {
    preparation_.join();
  }
  if (playback_.joinable()) {
    playback_.join();
  }
}

int MotionPlayback::PlayMotion(MotionDocument& motion, MotionBlock* selectedBlock,
                               std::uint32_t overridePercent) {
  if (link_.Flags().online.load() == 0 || shuttingDown_.load()) {
    return 0;
  }
  bool idle = false;
  if (!active_.compare_exchange_strong(idle, true)) {
    return 0;
  }
  // Both threads of the previous playback have done their work; collect them.
  if (preparation_.joinable()) {
    preparation_.join();
  }
  if (playback_.joinable()) {
    playback_.join();
  }
  {
    std::lock_guard lock(stateMutex_);
    cancelPending_ = false;
  }

  MotionBlock* startBlock = nullptr;
  {
    auto lock = LockSession();
    startBlock = MoveStartBlockToFront(motion, selectedBlock);
  }
  const MotionBlock* head = motion.head();
  if (head && head->Is(BlockKind::Start) && !head->next) {
    if (context_.prompter) {
      context_.prompter->Show(PromptIcon::kWarning, LoadText(TextId::kMsgNoStartPose));
    }
    active_.store(false);
    return 0;
  }

  if (link_.TakeBoard() == 0) {
    active_.store(false);
    return 0;
  }
  const std::filesystem::path folder = PathFromText(context_.project.project.folder);
  const std::filesystem::path motionFile = ResolveInFolder(folder, kPlaybackMotionName);
  bool written = false;
  {
    auto lock = LockSession();
    scratchSliders_ = context_.project.sliders;
    scratchCpu_ = context_.project.cpu;
    // The override is applied once, when the file is compiled; the file keeps the motion's own
    // times.
    written = WriteMotionFile(motionFile, motion, scratchSliders_, 100, startBlock);
  }
  if (!written) {
    link_.ReleaseBoard();
    if (context_.prompter) {
      context_.prompter->Show(PromptIcon::kError, Format(LoadText(TextId::kMsgMotionSaveFailed),
                                                         TextFromPath(motionFile)));
    }
    active_.store(false);
    return 0;
  }

  motion_ = &motion;
  overridePercent_ = overridePercent;
  try {
    preparation_ = std::thread([this] { RunPreparation(); });
  } catch (...) {
    link_.ReleaseBoard();
    active_.store(false);
    return 0;
  }
  return 1;
}

void MotionPlayback::StopMotion() {
  {
    std::lock_guard lock(stateMutex_);
    if (playing_.exchange(false)) {
      stopRequest_.store(true);
      return;
    }
    if (active_.load()) {
      // Being prepared (or ending): the motion does not start; an ending playback holds the
      // board, so there is nothing else to stop.
      cancelPending_ = true;
      return;
    }
  }
  ResetInterpolationBuffers(link_, context_.prompter);
}

bool MotionPlayback::Playing() const {
  return playing_.load();
}

bool MotionPlayback::Active() const {
  return active_.load();
}

void MotionPlayback::RunPreparation() noexcept {
  int result = 0;
  try {
    result = Prepare();
  } catch (...) {
    result = 0;
  }
  try {
    if (context_.progress) {
      context_.progress->Finish(result);
    }
  } catch (...) {
    // The dialog's end is the front end's; playback goes on regardless.
  }
  link_.ReleaseBoard();
  if (result == 1 && !shuttingDown_.load()) {
    try {
      playback_ = std::thread([this] { RunPlayback(); });
      return;
    } catch (...) {
      // No thread: nothing plays.
    }
  }
  active_.store(false);
}

int MotionPlayback::Prepare() {
  const std::filesystem::path folder = PathFromText(context_.project.project.folder);

  // The builder hands the code ranges of the played motion's blocks to a scratch list of the
  // same length; they reach the edited motion under the session lock.
  MotionDocument ranges;
  std::int32_t blockCount = 0;
  {
    auto lock = LockSession();
    blockCount = motion_->count();
  }
  for (std::int32_t i = 0; i < blockCount; ++i) {
    ranges.Append(MotionBlock{});
  }
  ImageBuildContext build;
  build.projectFolder = folder;
  build.sliders = &scratchSliders_;
  build.cpu = &scratchCpu_;
  build.editedMotion = &ranges;
  build.progress = context_.progress;
  build.prompter = context_.prompter;

  CopyList copyList;
  auto image = BuildMotionImage(build, kPlaybackMotionName, u"", overridePercent_, 0, copyList);
  if (!image) {
    return 0;
  }
  {
    auto lock = LockSession();
    MotionBlock* target = motion_->head();
    for (const MotionBlock& source : ranges) {
      if (!target) {
        break;
      }
      target->fileStart = source.fileStart;
      target->fileEnd = source.fileEnd;
      target = target->nextInList;
    }
  }

  std::vector<std::uint8_t> bytes = std::move(image->bytes);
  bytes.push_back(kPlaybackImageEnd);
  const std::filesystem::path imageFile = ResolveInFolder(folder, kPlaybackImageName);
  if (!WriteImageFile(imageFile, bytes)) {
    if (context_.prompter) {
      context_.prompter->Show(PromptIcon::kError, LoadText(TextId::kFileSaveFailed));
    }
    return 0;
  }

  const BoardDrive drive = link_.CurrentDrive();
  const std::filesystem::path cardImage = ResolveInFolder(drive.root, kPlaybackImageName);
  RemoveStaleCardImage(cardImage, bytes);
  if (!scratchCpu_.extraFile.empty()) {
    CopyListAdd(copyList, scratchCpu_.extraFile, CopyKind::kFirstWriteFile);
  }
  CopyListAdd(copyList, kPlaybackImageName, CopyKind::kFile);
  const CopyContext copy{.projectFolder = folder,
                         .drive = drive,
                         .firstWrite = true,
                         .progress = context_.progress,
                         .prompter = context_.prompter,
                         .cancelRequest = context_.cancelRequest};
  // The copy and the flush report their own failures.
  const bool copied = CopyListToDrive(copyList, copy) == 1;
  const bool flushed = FlushDriveCache(drive, context_.prompter, context_.timing.flushAttempts,
                                       context_.timing.flushPause) == 1;
  // Only the image just built may play: not one left on the card by an earlier playback when
  // the copy was stopped or failed.
  const auto onCard = ReadWholeFile(cardImage);
  const bool imageOnCard = onCard && *onCard == bytes;
  if (copied && flushed && !imageOnCard && context_.prompter) {
    context_.prompter->Show(PromptIcon::kError, Format(LoadText(TextId::kFmtMsgCardImageMismatch),
                                                       TextFromPath(cardImage)));
  }
  return flushed && imageOnCard ? 1 : 0;
}

void MotionPlayback::RunPlayback() noexcept {
  try {
    Play();
  } catch (...) {
    // Nothing escapes the thread; the flags are cleared below.
  }
  std::this_thread::sleep_for(context_.timing.endPause);
  playing_.store(false);
  link_.Flags().playbackActive.store(0);
  active_.store(false);
}

void MotionPlayback::Play() {
  BoardFlags& flags = link_.Flags();
  if (flags.online.load() == 0) {
    return;
  }
  {
    std::lock_guard lock(stateMutex_);
    if (cancelPending_) {
      return;
    }
    stopRequest_.store(false);
    playing_.store(true);
  }
  if (context_.views) {
    context_.views->SetPlaybackLock(true);
  }
  try {
    BoardHold hold(link_);
    if (link_.TakeBoard() == 0) {
      ReportBoardTimeout(link_, context_.prompter);
    } else {
      hold.Taken();
      flags.playbackActive.store(1);
      if (StartBoard()) {
        FollowBoard();
        EndBoard();
      }
      hold.Release();
    }
  } catch (...) {
    // The board is released by the hold; the views are unlocked below.
  }
  if (context_.views) {
    context_.views->SetPlaybackLock(false);
  }
}

bool MotionPlayback::StartBoard() {
  BoardFlags& flags = link_.Flags();
  BoardMirror& mirror = link_.Mirror();
  // A send that fails stops the start; `essential` false only notes the failure.
  const auto send = [&](std::initializer_list<TransferRange> ranges, bool essential) {
    if (flags.connectionActive.load() == 0) {
      return false;
    }
    if (!link_.WriteTransaction(ranges)) {
      flags.communicationError.store(1);
      return !essential;
    }
    return true;
  };

  for (std::uint32_t i = 0; i < kImageNameBytes; ++i) {
    StoreMirrorByte(mirror, BoardAddress::kLatestMotion + i,
                    static_cast<std::uint8_t>(kImageNameOnBoard[i]));
  }
  if (!send({Range(BoardAddress::kLatestMotion, kImageNameBytes)}, true)) {
    return false;
  }

  StoreMirrorLong(mirror, BoardAddress::kLastErrorAddress, 0);
  StoreMirrorLong(mirror, BoardAddress::kCodeAddress, 0);
  for (std::uint32_t i = 0; i < kErrorTextBytes; ++i) {
    StoreMirrorByte(mirror, BoardAddress::kLastErrorText + i, 0);
  }
  if (!send({Range(BoardAddress::kLastErrorAddress, 4), Range(BoardAddress::kCodeAddress, 4),
             Range(BoardAddress::kLastErrorText, kErrorTextBytes)},
            true)) {
    return false;
  }

  StoreMirrorByte(mirror, BoardAddress::kBufferReset[0], 1);
  StoreMirrorWord(mirror, BoardAddress::kControllerCancel, 0);
  if (!send({Range(BoardAddress::kBufferReset[0], 1), Range(BoardAddress::kControllerCancel, 2)},
            false)) {
    return false;
  }

  StoreMirrorByte(mirror, BoardAddress::kPlayByte, 1);
  return send({Range(BoardAddress::kPlayByte, 1)}, true);
}

void MotionPlayback::FollowBoard() {
  {
    auto lock = LockSession();
    firstAddress_ = motion_->head() ? motion_->head()->fileStart : 0;
    lastAddress_ = motion_->tail() ? motion_->tail()->fileEnd : 0;
  }
  markedIndex_ = -1;
  for (;;) {
    if (link_.ReadTransaction(
            {Range(BoardAddress::kPlayByte, 1), Range(BoardAddress::kCodeAddress, 4),
             Range(BoardAddress::kBlockCodeAddress, 4), Range(BoardAddress::kFillCount, 1)})) {
      if (MirrorByte(link_.Mirror(), BoardAddress::kPlayByte) == 0) {
        playing_.store(false);
        stopRequest_.store(false);
      }
      MarkExecutedBlock();
    }
    ReadLatestVoice(link_, nullptr);
    std::u16string errorText;
    const std::uint32_t errorAddress = ReadLastError(link_, &errorText);
    link_.SetLastError({std::move(errorText), errorAddress});
    PollStatus();
    Repaint(Pane::kPose);
    if (!playing_.load()) {
      break;
    }
    if (context_.timing.followPause.count() > 0) {
      std::this_thread::sleep_for(context_.timing.followPause);
    } else {
      std::this_thread::yield();
    }
  }
}

void MotionPlayback::EndBoard() {
  BoardMirror& mirror = link_.Mirror();
  StoreMirrorByte(mirror, BoardAddress::kPlayByte, 0);
  link_.WriteTransaction({Range(BoardAddress::kPlayByte, 1)});
  if (stopRequest_.load()) {
    StoreMirrorByte(mirror, BoardAddress::kBufferReset[0], 1);
    link_.WriteTransaction({Range(BoardAddress::kBufferReset[0], 1)});
  }
  // Poses loaded into the pose area while playing are not sent afterwards.
  link_.Flags().posePending.store(0);
  if (link_.ReadTransaction({Range(BoardAddress::kPlayByte, 1),
                             Range(BoardAddress::kLatestMotion, kLatestMotionBytes),
                             Range(BoardAddress::kCodeAddress, 4),
                             Range(BoardAddress::kBlockCodeAddress, 4)})) {
    MarkExecutedBlock();
  }
}

void MotionPlayback::MarkExecutedBlock() {
  const BoardMirror& mirror = link_.Mirror();
  ExecutedBlockMark mark;
  {
    auto lock = LockSession();
    mark = core::MarkExecutedBlock(*motion_, MirrorLong(mirror, BoardAddress::kCodeAddress),
                                   MirrorLong(mirror, BoardAddress::kBlockCodeAddress),
                                   firstAddress_, lastAddress_, markedIndex_);
  }
  if (mark.poseToLoad && context_.loadPose) {
    context_.loadPose(*mark.poseToLoad);
  }
  if (mark.newMark || mark.byBlockAddress) {
    Repaint(Pane::kMotion);
  }
}

void MotionPlayback::PollStatus() {
  // The poll fills a table of its own; the session lock is held only for the copies.
  {
    auto lock = LockSession();
    for (int i = 0; i < kSliderCount; ++i) {
      pollSliders_[i].flags2 = context_.project.sliders[i].flags2;
      pollSliders_[i].reading = context_.project.sliders[i].reading;
    }
  }
  PollBoardStatus(link_, pollSliders_);
  auto lock = LockSession();
  for (int i = 0; i < kSliderCount; ++i) {
    context_.project.sliders[i].reading = pollSliders_[i].reading;
  }
}

void MotionPlayback::Repaint(Pane pane) {
  if (context_.views) {
    context_.views->Repaint(pane);
  }
}

std::unique_lock<std::mutex> MotionPlayback::LockSession() {
  return context_.sessionMutex ? std::unique_lock<std::mutex>(*context_.sessionMutex)
                               : std::unique_lock<std::mutex>();
}

}  // namespace gestalon::core
