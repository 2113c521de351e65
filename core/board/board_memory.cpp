#include "board/board_memory.h"

#include <algorithm>
#include <vector>

#include "board/board_addresses.h"
#include "cpusettings/cpu_settings.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/code_page.h"

namespace gestalon::core {
namespace {

constexpr int kRefreshBudget = 255;
constexpr std::uint32_t kMemoryEnd = static_cast<std::uint32_t>(kBoardMemorySize);
constexpr std::size_t kBoardTextMaxBytes = 31;
constexpr std::size_t kBoardTextMaxChars = 32;

// Words of each motor record whose addresses the status poll reads again.
constexpr int kRefreshedMotorWords[] = {
    MotorWord::kAdr2B, MotorWord::kK3,           MotorWord::kAdr3B,       MotorWord::kK4,
    MotorWord::kAdr4B, MotorWord::kOnDelayKSign, MotorWord::kSu16AdrRdMt, MotorWord::kReserved19};

TransferRange Range(std::uint32_t address, std::uint32_t length) {
  return {static_cast<std::int32_t>(address), static_cast<std::int32_t>(length)};
}

std::uint32_t MotorAddress(int k) {
  return BoardAddress::kMotorRecords +
         BoardAddress::kMotorRecordSize * static_cast<std::uint32_t>(k);
}

std::uint16_t MotorWordAt(const BoardMirror& mirror, int k, int word) {
  return MirrorWord(mirror, MotorAddress(k) + 2 * static_cast<std::uint32_t>(word));
}

std::u16string BoardText(const BoardMirror& mirror, std::uint32_t address) {
  std::u16string text = FromAnsi(MirrorText(mirror, address, kBoardTextMaxBytes));
  if (text.size() > kBoardTextMaxChars) {
    text.resize(kBoardTextMaxChars);
  }
  return text;
}

// The value shown for slider i as read back from the board.
std::uint16_t SliderReading(const BoardMirror& mirror, const SliderDef& slider, int i) {
  const std::uint32_t current = BoardAddress::kServoCurrent + 2 * static_cast<std::uint32_t>(i);
  if ((slider.flags2 & SliderFlag2::kServoChannel) != 0) {
    for (int k = kMotorCount - 1; k >= 0; --k) {
      if (MotorWordAt(mirror, k, MotorWord::kAdr0) == current) {
        const std::uint16_t position =
            MirrorWord(mirror, MotorWordAt(mirror, k, MotorWord::kAdrRdp));
        return static_cast<std::uint16_t>(position - MotorWordAt(mirror, k, MotorWord::kOfs));
      }
    }
  }
  return MirrorWord(mirror, current);
}

// Marks the range for the online worker; the caller holds the board.
void MarkRefresh(BoardLink& link, std::uint32_t address, std::int32_t length) {
  RefreshTable& refresh = link.Refresh();
  const std::int64_t end = std::min<std::int64_t>(static_cast<std::int64_t>(address) + length,
                                                  static_cast<std::int64_t>(kMemoryEnd));
  for (std::int64_t a = address; a < end; ++a) {
    refresh.requested[static_cast<std::size_t>(a)] = 1;
  }
  link.Flags().refreshPending.store(1);
}

}  // namespace

void ReportBoardTimeout(const BoardLink& link, Prompter* prompter) {
  if (prompter && link.Flags().playbackActive.load() == 0) {
    prompter->Show(PromptIcon::kError, LoadText(TextId::kMsgBoardTimeout));
  }
}

void RequestBoardRefresh(BoardLink& link, std::uint32_t address, std::int32_t length) {
  if (link.Flags().online.load() == 0 || address >= kMemoryEnd || link.TakeBoard() == 0) {
    return;
  }
  MarkRefresh(link, address, length);
  link.ReleaseBoard();
}

bool TryRequestBoardRefresh(BoardLink& link, std::uint32_t address, std::int32_t length) {
  if (link.Flags().online.load() == 0 || address >= kMemoryEnd) {
    return true;
  }
  if (!link.TryTakeBoard()) {
    return false;
  }
  MarkRefresh(link, address, length);
  link.ReleaseBoard();
  return true;
}

void ServiceRefreshRequests(BoardLink& link) {
  if (link.Flags().refreshPending.load() == 0) {
    return;
  }
  RefreshTable& refresh = link.Refresh();
  auto& requested = refresh.requested;
  int budget = kRefreshBudget;
  std::uint32_t address = refresh.cursor % kMemoryEnd;
  do {
    while (address < kMemoryEnd && requested[address] == 0) {
      ++address;
    }
    const std::uint32_t start = address;
    while (address < kMemoryEnd && requested[address] != 0 && budget > 0) {
      --budget;
      ++address;
    }
    refresh.cursor = address % kMemoryEnd;
    if (address > start && link.ReadTransaction({Range(start, address - start)})) {
      std::fill(requested.begin() + start, requested.begin() + address, std::uint8_t{0});
      link.Flags().refreshPending.store(0);
    }
  } while (budget > 0 && address < kMemoryEnd);
}

std::uint32_t PollBoardStatus(BoardLink& link, SliderTable& sliders) {
  using namespace BoardAddress;
  const BoardMirror& mirror = link.Mirror();
  std::uint32_t result = 0;
  if (link.ReadTransaction(
          {Range(kBufferBusy[0], 1), Range(kBufferBusy[1], 1), Range(kBufferBusy[2], 1),
           Range(kServoCurrent, 256), Range(kStatusBlock, 64), Range(kServoPower, 2),
           Range(kBattery, 2), Range(kControllerEnable, 1), Range(kControllerError, 1),
           Range(kControllerButtons, 2), Range(kControllerRx, 2), Range(kControllerRy, 2),
           Range(kControllerLx, 2), Range(kControllerLy, 2)})) {
    for (int i = 0; i < kSliderCount; ++i) {
      sliders[i].reading = static_cast<std::int16_t>(SliderReading(mirror, sliders[i], i));
    }
    if (MirrorByte(mirror, kBufferBusy[0]) != 0) {
      result |= BoardStatusBit::kBuffer0Busy;
    }
    if (MirrorByte(mirror, kBufferBusy[1]) != 0) {
      result |= BoardStatusBit::kBuffer1Busy;
    }
    if (MirrorByte(mirror, kBufferBusy[2]) != 0) {
      result |= BoardStatusBit::kBuffer2Busy;
    }
    BoardStatus status;
    status.batteryRaw = static_cast<std::int16_t>(MirrorWord(mirror, kBattery));
    status.buttons = MirrorWord(mirror, kControllerButtons);
    status.rx = MirrorWord(mirror, kControllerRx);
    status.ry = MirrorWord(mirror, kControllerRy);
    status.lx = MirrorWord(mirror, kControllerLx);
    status.ly = MirrorWord(mirror, kControllerLy);
    status.controllerPresent = MirrorByte(mirror, kControllerEnable);
    status.controllerError = MirrorByte(mirror, kControllerError);
    link.SetStatus(status);
  }

  // Best effort: the status range and the values the motor records point at. Addresses that
  // lie outside board memory are left out rather than failing the whole pass.
  std::vector<TransferRange> ranges;
  // 2-byte pieces that merge into the one range 0x0008..0x0043.
  for (std::uint32_t k = 0; k < 32; ++k) {
    for (std::uint32_t base : {8u, 16u, 22u, 28u, 34u}) {
      ranges.push_back(Range(base + k, 2));
    }
  }
  for (int k = 0; k < kMotorCount; ++k) {
    for (int word : kRefreshedMotorWords) {
      ranges.push_back(Range(MotorWordAt(mirror, k, word), 2));
    }
  }
  link.ReadTransaction(ranges);
  return result;
}

std::uint32_t ReadLastError(BoardLink& link, std::u16string* text) {
  using namespace BoardAddress;
  link.ReadTransaction({Range(kLastErrorAddress, 4), Range(kLastErrorText, 32)});
  if (text) {
    *text = BoardText(link.Mirror(), kLastErrorText);
  }
  return MirrorLong(link.Mirror(), kLastErrorAddress);
}

std::uint32_t ReadLatestVoice(BoardLink& link, std::u16string* text) {
  using namespace BoardAddress;
  link.ReadTransaction({Range(kLatestVoice, 32)});
  if (text) {
    *text = BoardText(link.Mirror(), kLatestVoice);
  }
  return MirrorLong(link.Mirror(), kLastErrorAddress);
}

int ResetInterpolationBuffers(BoardLink& link, Prompter* prompter) {
  BoardFlags& flags = link.Flags();
  if (flags.playbackActive.load() != 0) {
    return 0;
  }
  ++flags.stopRequestNesting;
  if (link.TakeBoard() == 0) {
    ReportBoardTimeout(link, prompter);
    --flags.stopRequestNesting;
    return 0;
  }
  for (std::uint32_t address : BoardAddress::kBufferReset) {
    StoreMirrorByte(link.Mirror(), address, 1);
  }
  const bool sent = link.WriteTransaction({Range(BoardAddress::kBufferReset[0], 1),
                                           Range(BoardAddress::kBufferReset[1], 1),
                                           Range(BoardAddress::kBufferReset[2], 1)});
  --flags.stopRequestNesting;
  if (sent) {
    flags.posePending.store(0);
  }
  link.ReleaseBoard();
  return sent ? 1 : 0;
}

}  // namespace gestalon::core
