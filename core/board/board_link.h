#pragma once

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <span>

#include "board/board_drive.h"
#include "board/board_drive_list.h"
#include "board/board_flags.h"
#include "board/board_mirror.h"
#include "board/board_status.h"
#include "board/devmem_port.h"
#include "board/refresh_table.h"
#include "board/transfer_list.h"

namespace gestalon::core {

// Owner of everything the program shares about the CPU board: the board drive, the one open
// DEVMEM port, the memory mirror, the transfer lists, the transaction tag, the flags and the
// status snapshot. The program owns one; tests make their own.
//
// Threading: the flags, the drive, the drive list, the status snapshot and the last error may be
// used from any thread. The mirror, the lists, the tag, the port and the refresh table belong to
// whoever holds the board (TryTakeBoard / TakeBoard ... ReleaseBoard), or to a task that runs
// while no online connection exists.
class BoardLink {
 public:
  BoardLink() = default;
  BoardLink(const BoardLink&) = delete;
  BoardLink& operator=(const BoardLink&) = delete;

  // ---- The board-busy flag.
  // Takes the board if nobody holds it (atomic 0 -> 1). True when taken.
  bool TryTakeBoard();
  void ReleaseBoard();
  bool BoardBusy() const;
  // Waits, yielding between checks and without a time limit, until nobody holds the board.
  // 0 = failed (playback active at the start, or a communication error while waiting),
  // 1 = idle, -1 = the connection stopped being active while waiting. It does not take the board.
  int WaitBoardIdle() const;
  // WaitBoardIdle, then TryTakeBoard, waiting again while another task wins the board. Returns
  // WaitBoardIdle's last result: 0 = not taken (give up), 1 or -1 = taken; ReleaseBoard when done.
  int TakeBoard();

  BoardFlags& Flags() { return flags_; }
  const BoardFlags& Flags() const { return flags_; }

  BoardMirror& Mirror() { return mirror_; }
  const BoardMirror& Mirror() const { return mirror_; }

  RefreshTable& Refresh() { return refresh_; }

  // ---- The board drive and the last scan's list.
  BoardDrive CurrentDrive() const;
  void SetCurrentDrive(BoardDrive drive);
  BoardDriveList DriveList() const;
  void SetDriveList(BoardDriveList list);

  // ---- DEVMEM.
  // Opens DEVMEM on `drive`. False when it cannot be opened or another DEVMEM is still open
  // (only one is open at a time; the online worker may be holding it).
  bool OpenBoard(const BoardDrive& drive);
  void CloseBoard();
  bool IsBoardOpen() const { return port_ != nullptr; }

  // ---- Transfer lists.
  void ClearWriteList();
  void ClearReadList();
  // Appends a range at the tail. Ranges outside board memory (or of negative length) are not
  // appended: false.
  bool AppendWrite(std::int32_t address, std::int32_t length);
  // The read entry is stamped with the current transaction tag.
  bool AppendRead(std::int32_t address, std::int32_t length);
  void MergeList(TransferListId which);
  const TransferList& WriteList() const { return writeList_; }
  const TransferList& ReadList() const { return readList_; }

  // The transaction tag: 1 at start; each read transaction advances it by 8 (modulo 256).
  std::uint8_t Tag() const { return tag_; }
  std::uint8_t AdvanceTag();

  // Sends every write entry of positive length as W records of up to 508 bytes taken from the
  // mirror. The list stays. False on a closed port or a failed write, stopping there.
  bool FlushWriteList();
  // Fetches every read entry with this tag as R requests of up to 16 bytes; each reply's own
  // address and count say where its data goes in the mirror and how far the entry advances.
  // False on a closed port, a failed write or read, a reply that does not start with 'R', or one
  // whose count is 0 or whose data would reach past the end of memory; it stops there.
  bool RunReadList(std::uint8_t tag);

  // ---- Transactions (the caller holds the board or runs offline).
  // Advances the tag, empties the read list, appends the ranges with the new tag, merges and
  // runs them. True when all were fetched (also for no ranges).
  bool ReadTransaction(std::span<const TransferRange> ranges);
  bool ReadTransaction(std::initializer_list<TransferRange> ranges);
  // Merges the write list and, only while the connection is active, flushes it; a failed flush
  // sets the communication-error flag. False when nothing was sent or the flush failed.
  bool SendWriteList();
  // Empties the write list, appends the ranges (their values already stored in the mirror) and
  // sends them as SendWriteList does.
  bool WriteTransaction(std::span<const TransferRange> ranges);
  bool WriteTransaction(std::initializer_list<TransferRange> ranges);

  // ---- What the online worker reports to the status window.
  BoardStatus Status() const;
  void SetStatus(const BoardStatus& status);
  BoardError LastError() const;
  void SetLastError(BoardError error);

 private:
  bool Append(TransferList& list, std::uint32_t tag, std::int32_t address, std::int32_t length);

  std::atomic<std::uint32_t> boardBusy_{0};
  BoardFlags flags_;

  BoardMirror mirror_{};
  TransferList writeList_;
  TransferList readList_;
  std::uint8_t tag_ = 1;
  std::unique_ptr<DevmemPort> port_;
  RefreshTable refresh_;

  mutable std::mutex driveMutex_;
  BoardDrive currentDrive_;
  BoardDriveList driveList_;

  mutable std::mutex statusMutex_;
  BoardStatus status_;
  BoardError lastError_;
};

}  // namespace gestalon::core
