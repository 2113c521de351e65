#pragma once

#include <cstdint>
#include <string>

#include "board/board_link.h"
#include "project/slider_defs.h"
#include "ui_port/prompter.h"

namespace gestalon::core {

// Shows "the communication with the CPU board timed out" (error icon) through `prompter`, unless
// playback is active (then board waits fail silently) or the prompter is null.
void ReportBoardTimeout(const BoardLink& link, Prompter* prompter);

// Asks the online worker to read [address, address + length) again. Does nothing while offline,
// for an address at or beyond 0x2000, or when the board cannot be taken; the part of the range
// beyond the end of memory is ignored. Any thread.
void RequestBoardRefresh(BoardLink& link, std::uint32_t address, std::int32_t length);

// RequestBoardRefresh without waiting, for the user-interface thread: false when another task
// holds the board (nothing is requested; ask again later), true otherwise, also when there was
// nothing to request (offline, or an address at or beyond 0x2000).
bool TryRequestBoardRefresh(BoardLink& link, std::uint32_t address, std::int32_t length);

// Reads up to 255 requested addresses, in runs from the scan cursor upward, one read
// transaction per run. A run read successfully loses its requests and clears the pending flag,
// so what is left waits until a new request sets it again. Online worker, holding the board.
void ServiceRefreshRequests(BoardLink& link);

// One status poll (online worker, holding the board). Fills each slider's `reading`: for a slider
// that drives a servo channel (SliderFlag2::kServoChannel) the word at the motor record's ADRRDP
// address minus its OFS, taken from the mirror's motor record whose ADR0 names the slider's
// current-value address 0x0C00 + 2i (the last such record, as the channel links are derived);
// otherwise, or when no record names it, the current value at 0x0C00 + 2i. Updates the status
// snapshot, then refreshes the board's status range and the addresses the motor records name.
// Returns the BoardStatusBit bits of the busy interpolation buffers; 0 when the read failed
// (readings and snapshot unchanged).
std::uint32_t PollBoardStatus(BoardLink& link, SliderTable& sliders);

// Reads the board's last error. Returns the 32-bit error address from the mirror (also after a
// failed read); `text`, when given, receives the error text (at most 31 bytes, converted).
std::uint32_t ReadLastError(BoardLink& link, std::u16string* text);

// Reads the name of the voice file the board played last into `text` (when given). Returns the
// mirror's error address, as ReadLastError last read it.
std::uint32_t ReadLatestVoice(BoardLink& link, std::u16string* text);

// Empties the board's three interpolation buffers (the stop request when no motion plays).
// 0 at once while playback is active; 0 with the time-out message (unless playback became
// active) when the board cannot be taken; 0 when the write was not sent. 1 when sent, which also
// clears the pose-pending flag.
int ResetInterpolationBuffers(BoardLink& link, Prompter* prompter);

}  // namespace gestalon::core
