#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "board/devmem_port.h"
#include "board_addresses.h"
#include "bytecode_interpreter.h"
#include "flash_store.h"
#include "servo_interpolator.h"

namespace gestalon::sim {

// Controller input as the board reports it at 0x0EE0..0x0EEF.
struct ControllerInput {
  std::uint8_t present = 0;   // 0x0EE0
  std::uint8_t error = 0;     // 0x0EE1, non-zero = communication error
  std::uint16_t buttons = 0;  // 0x0EE4, bit 0 = first button
  std::uint16_t rx = 0;       // 0x0EE8
  std::uint16_t ry = 0;       // 0x0EEA
  std::uint16_t lx = 0;       // 0x0EEC
  std::uint16_t ly = 0;       // 0x0EEE
};

// Stand-in for the robot's CPU board: its memory, its DEVMEM record protocol, servo interpolation
// in time units of the basic control cycle, the byte-code programs it plays from its card, and
// its flash for firmware transfer.
//
// Writes, whether by DEVMEM or by a running program, act on the board: the time word 0x0B00
// queues a move, 1 at a reset byte empties that interpolation buffer, the flash command runs,
// a non-zero sound command 0x01E0 or file command 0x01D0 is carried out on the card and cleared,
// 1 at the play byte 0x01FB plays the image named at 0x0200 and 0 there stops a played program.
//
// Thread-safe: every member takes one internal lock, so DEVMEM ports, a RealTimeDriver and test
// code may use the board from different threads. Ports and drives made from a board hold a
// reference to it and must not outlive it.
class VirtualBoard {
 public:
  static constexpr std::uint16_t kDefaultFirmwareVersion = 10;
  static constexpr std::int16_t kDefaultBatteryRaw = 2950;  // about 12.0 V
  // Basic control cycle used while the word at 0x0040 is 0.
  static constexpr std::uint32_t kDefaultControlCycle = 10000;

  // `cardFolder` stands in for the microSD card; empty = no card.
  explicit VirtualBoard(std::filesystem::path cardFolder = {});
  VirtualBoard(const VirtualBoard&) = delete;
  VirtualBoard& operator=(const VirtualBoard&) = delete;

  // Restarts the board: memory all zero, then the status values (firmware version, battery,
  // controller input) in place; interpolation idle, no reply queued, time back to 0, no program.
  // Then STARTUP.BIN from the card's root, when there, starts running from code address 0 (its
  // first instruction runs in the first time unit). Flash, the counters and the sound log
  // survive. Also switches a board that is off on again.
  void PowerOn();
  // Switches the board off: the program stops, time stands still and every DEVMEM write and read
  // fails until PowerOn. Memory is left as it was (PowerOn clears it).
  void PowerOff();
  // False between PowerOff and the next PowerOn.
  bool Powered() const;

  const std::filesystem::path& CardFolder() const { return cardFolder_; }

  // DEVMEM. A 'W' record writes byte 3 bytes (0 = 256) from offset 4 at the address in bytes
  // 1-2; bytes at or beyond 0x2000 are dropped. An 'R' request of 1..16 bytes queues the reply
  // that the next read returns (only the bytes below 0x2000; none when the address is beyond);
  // any other request, and a read with nothing queued, gets a zeroed record. Other first bytes
  // are ignored. Both fail (with no effect) while the board is set failing.
  bool WriteDevmemRecord(const core::DevmemRecord& record);
  bool ReadDevmemRecord(core::DevmemRecord& record);
  // A port whose every write and read goes to this board; any number may be open.
  std::unique_ptr<core::DevmemPort> OpenDevmem();
  // While set, every DEVMEM write and read fails.
  void SetDevmemFailing(bool failing);
  // Records accepted by WriteDevmemRecord / ReadDevmemRecord since construction.
  std::size_t RecordsWritten() const;
  std::size_t RecordsRead() const;

  // Runs the board for `microseconds`: one time unit per basic control cycle (the 32-bit value at
  // 0x0040, read afresh for every unit; 10 ms when 0). Time left over carries into the next call.
  // In each unit the program runs first (so a move it queues takes its first step in the same
  // unit, as one queued by DEVMEM just before would), then the servos step.
  void Advance(std::uint32_t microseconds);
  // Microseconds advanced since power-on.
  std::uint64_t ElapsedMicroseconds() const;

  // Board-side memory access (no DEVMEM side effects). Bytes beyond the memory read as 0 and
  // are dropped on writing.
  void ReadMemory(std::uint32_t address, std::span<std::uint8_t> out) const;
  void WriteMemory(std::uint32_t address, std::span<const std::uint8_t> bytes);
  std::uint8_t Byte(std::uint32_t address) const;
  std::uint16_t Word(std::uint32_t address) const;
  void SetWord(std::uint32_t address, std::uint16_t value);
  std::uint32_t Word32(std::uint32_t address) const;
  void SetWord32(std::uint32_t address, std::uint32_t value);

  // Status values; they are written at once and again at every power-on.
  void SetFirmwareVersion(std::uint16_t version);
  std::uint16_t FirmwareVersion() const;
  void SetBatteryRaw(std::int16_t raw);
  void SetController(const ControllerInput& input);
  // Writes the 32-byte model name field at 0x0020: the first 32 bytes of `ansiBytes`, zero-padded.
  // Memory only: a power-on clears it like the rest.
  void SetModelName(const std::string& ansiBytes);

  // Programs. Playing (1 at 0x01FB): the image named at 0x0200 (narrow text) is read from the
  // card and replaces whatever runs, from code address 0; code addresses are offsets in the
  // image file. A missing image is reported at 0x017C/0x0180 (address 0, "image not found") and
  // the play byte cleared. Writing 0 at 0x01FB stops a played program (one started at power-on
  // keeps running); the servos stop when the PC then resets interpolation buffer 0.
  //
  // Card commands: the file name is the narrow text at 0x0400. Sound (1 at 0x01E0) notes the name
  // in the sound log. File read (1 at 0x01D0) copies the file into memory from the address at
  // 0x01D8, up to the end of memory; file write (2) replaces the file with kFileWriteSize bytes of
  // memory from that address (fewer at the end of memory). Data copied by a read is plain memory
  // and sets nothing in motion. A missing sound or data file, or a failed write, is reported at
  // 0x017C/0x0180 with the current code address ("sound file not found", "file not found",
  // "file write failed") and the program goes on.

  static constexpr std::uint32_t kFileWriteSize = 256;

  // Starts `image` as if it had been played: play byte 1, code address 0.
  void RunImage(std::vector<std::uint8_t> image);
  // True while a program runs (waiting and idling on a jump to itself included).
  bool Running() const;
  // Address of the instruction the program started last (also kept at 0x01FC).
  std::uint32_t CodeAddress() const;
  // Instructions the board's programs have started since construction.
  std::uint64_t InstructionsExecuted() const;
  // Names (narrow text as at 0x0400) of the sounds played since construction, in order.
  std::vector<std::string> SoundLog() const;

  // Observers for tools that trace what the board does. Each is called on the thread whose write
  // caused the event, while the board is locked: an observer must not call the board. An empty
  // function removes the observer.
  // A move was queued: a write touched the time word 0x0B00 (its time and the targets at 0x0A00).
  void SetMoveObserver(std::function<void(const ServoMove& move)> observer);
  // A write changed the code address of the executing block at 0x0FFC; the new address.
  void SetBlockObserver(std::function<void(std::uint32_t address)> observer);

  // Flash bytes from `address` (0xFF where erased).
  std::vector<std::uint8_t> Flash(std::uint32_t address, std::size_t size) const;
  // Running the updater (command 3 at 0x016C, the flash address at 0x0160): a valid updater there
  // (flash_image.h) installs a valid firmware image found at 0x08020000: the firmware's version
  // becomes the board's, and the board restarts (PowerOn). An invalid updater or firmware changes
  // nothing and is reported at 0x017C/0x0180 with its flash address ("updater invalid",
  // "firmware invalid"). The command word is cleared either way.
  // Times the updater was run, valid or not, and the flash address it last ran from.
  int UpdaterRuns() const;
  std::uint32_t LastUpdaterAddress() const;

 private:
  // Everything below expects the lock to be held. Addresses are 64-bit so that address + n never
  // wraps into memory.
  void PowerOnLocked();
  // The program's view of this board: reads and stores memory, writes through WriteLocked.
  class ProgramBus final : public BoardBus {
   public:
    explicit ProgramBus(VirtualBoard& board) : board_(board) {}
    std::uint8_t ReadByte(std::uint64_t address) const override;
    void WriteBytes(std::uint64_t address, std::span<const std::uint8_t> bytes) override;
    void StoreBytes(std::uint64_t address, std::span<const std::uint8_t> bytes) override;

   private:
    VirtualBoard& board_;
  };

  void ApplyWriteRecord(const core::DevmemRecord& record);
  // Stores `bytes` at `first` and acts on what they touched.
  void WriteLocked(std::uint64_t first, std::span<const std::uint8_t> bytes);
  void QueueReply(const core::DevmemRecord& request);
  void RunTimeUnit();
  // Every servo output of the motor records goes to its source value plus its base, within its
  // limits, and the servo reports where it is at the record's capture variable, as the servos
  // on the board's bus answer; the PC reads those positions back while online.
  void DriveServoOutputs();
  void QueueMove();
  void ResetBuffer(std::size_t buffer);
  void RunFlashCommand();
  void RunUpdater();
  void PlayImage();
  void StartProgram(std::vector<std::uint8_t> image, bool played);
  void RunSoundCommand();
  void RunFileCommand();
  // Reports a failure of a card command without stopping the program.
  void ReportCommandError(std::string_view text);
  std::string NarrowTextAt(std::uint64_t address) const;
  void SyncInterpolationBytes();
  ServoValues CurrentServoValues() const;
  void StoreCurrentServoValues(const ServoValues& values);
  std::uint32_t ControlCycle() const;
  void StoreStatusValues();
  std::uint8_t ByteAt(std::uint64_t address) const;
  void StoreByte(std::uint64_t address, std::uint8_t value);
  std::uint16_t WordAt(std::uint64_t address) const;
  void StoreWord(std::uint64_t address, std::uint16_t value);
  std::uint32_t Word32At(std::uint64_t address) const;
  void StoreWord32(std::uint64_t address, std::uint32_t value);

  const std::filesystem::path cardFolder_;
  mutable std::mutex mutex_;
  std::array<std::uint8_t, kMemorySize> memory_{};
  ServoInterpolator interpolator_;
  FlashStore flash_;
  std::optional<core::DevmemRecord> reply_;
  bool failing_ = false;
  bool powered_ = true;
  std::size_t recordsWritten_ = 0;
  std::size_t recordsRead_ = 0;
  std::uint64_t elapsed_ = 0;      // microseconds since power-on
  std::uint64_t pendingTime_ = 0;  // microseconds not yet spent on a whole time unit
  std::uint16_t firmwareVersion_ = kDefaultFirmwareVersion;
  std::int16_t batteryRaw_ = kDefaultBatteryRaw;
  ControllerInput controller_;
  int updaterRuns_ = 0;
  std::uint32_t lastUpdaterAddress_ = 0;
  std::vector<std::string> soundLog_;
  bool played_ = false;  // the program was started by the play byte (or RunImage)
  std::function<void(const ServoMove&)> moveObserver_;
  std::function<void(std::uint32_t)> blockObserver_;
  ProgramBus bus_{*this};
  BytecodeInterpreter interpreter_{bus_};
};

}  // namespace gestalon::sim
