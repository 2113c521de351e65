#include "virtual_board.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "bytecode_interpreter.h"
#include "card_files.h"
#include "devmem_records.h"
#include "flash_image.h"
#include "realtime_driver.h"
#include "servo_interpolator.h"
#include "temp_dir.h"

namespace gestalon::sim {
namespace {

using gestalon::testing::ReadBytes;
using gestalon::testing::TempDir;
using gestalon::testing::WriteBytes;
using testing::CurrentValue;
using testing::ErrorField;
using testing::ErrorText;
using testing::LittleEndian;
using testing::Memory;
using testing::ReadRequestOf;
using testing::SendMove;
using testing::SendValue;
using testing::WriteRecordOf;
using Code = std::vector<std::uint8_t>;

constexpr std::uint32_t kUnit = VirtualBoard::kDefaultControlCycle;
constexpr std::uint32_t kScratch = 0x0600;  // free board memory the programs below use

// --- A tiny assembler: each helper appends one instruction. ---

void Op(Code& code, std::uint8_t opcode) {
  code.push_back(opcode);
}

void Op32(Code& code, std::uint8_t opcode, std::uint32_t operand) {
  code.push_back(opcode);
  const auto bytes = LittleEndian(operand, 4);
  code.insert(code.end(), bytes.begin(), bytes.end());
}

void Write(Code& code, std::uint32_t address, const Code& data) {
  Op32(code, Opcode::kWrite, address);
  code.push_back(static_cast<std::uint8_t>(data.size()));
  code.insert(code.end(), data.begin(), data.end());
}

void WriteText(Code& code, std::uint32_t address, const std::string& text) {
  Code data(text.begin(), text.end());
  data.push_back(0);
  Write(code, address, data);
}

void Wait(Code& code, std::uint32_t units) {
  if (units < 256) {
    code.push_back(Opcode::kWait8);
    code.push_back(static_cast<std::uint8_t>(units));
  } else {
    code.push_back(Opcode::kWait16);
    code.push_back(static_cast<std::uint8_t>(units));
    code.push_back(static_cast<std::uint8_t>(units >> 8));
  }
}

std::uint32_t Here(const Code& code) {
  return static_cast<std::uint32_t>(code.size());
}

void Patch32(Code& code, std::uint32_t offset, std::uint32_t value) {
  const auto bytes = LittleEndian(value, 4);
  std::copy(bytes.begin(), bytes.end(), code.begin() + offset);
}

void PutFile(const std::filesystem::path& path, const Code& bytes) {
  std::filesystem::create_directories(path.parent_path());
  WriteBytes(path, std::string(bytes.begin(), bytes.end()));
}

void Units(VirtualBoard& board, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) {
    board.Advance(kUnit);
  }
}

// Runs `code` as a played image for `units` time units.
void Play(VirtualBoard& board, const Code& code, std::uint32_t units = 1) {
  board.RunImage(code);
  Units(board, units);
}

TEST(VirtualBoardProgramExpression, EveryOperatorCombinesSecondFromTopWithTop) {
  struct Case {
    std::uint8_t opcode;
    std::uint32_t a, b, result;
  };
  const std::vector<Case> cases{
      {Opcode::kAdd, 0x7FFFFFFF, 1, 0x80000000},
      {Opcode::kSub, 3, static_cast<std::uint32_t>(-7), 10},
      {Opcode::kMul, static_cast<std::uint32_t>(-7), 3, static_cast<std::uint32_t>(-21)},
      {Opcode::kDiv, 100, 7, 14},
      {Opcode::kDiv, 5, 0, 0},
      {Opcode::kDiv, 0x80000000, static_cast<std::uint32_t>(-1), 0x80000000},
      {Opcode::kDiv, 0x80000000, 2, 0xC0000000},
      {Opcode::kMod, static_cast<std::uint32_t>(-7), 3, static_cast<std::uint32_t>(-1)},
      {Opcode::kMod, 5, 0, 5},
      {Opcode::kMod, 0x80000000, static_cast<std::uint32_t>(-1), 0},
      {Opcode::kAnd, 0xFFFFFFF9, 3, 1},
      {Opcode::kOr, 0xFFFFFFF9, 3, 0xFFFFFFFB},
      {Opcode::kXor, 0xFFFFFFF9, 3, 0xFFFFFFFA},
  };
  Code code;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    Op(code, Opcode::kExpression);
    Op32(code, Opcode::kPushConst, cases[i].a);
    Op32(code, Opcode::kPushConst, cases[i].b);
    Op(code, cases[i].opcode);
    Op32(code, Opcode::kPop4, static_cast<std::uint32_t>(kScratch + 4 * i));
  }
  Op(code, Opcode::kExpression);
  Op32(code, Opcode::kPushConst, 3);
  Op(code, Opcode::kNot);
  Op32(code, Opcode::kPop4, 0x0700);
  Op(code, Opcode::kEnd);
  VirtualBoard board;
  Play(board, code);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(board.Word32(static_cast<std::uint32_t>(kScratch + 4 * i)), cases[i].result)
        << "case " << i;
  }
  EXPECT_EQ(board.Word32(0x0700), 0xFFFFFFFCu);
  EXPECT_EQ(ErrorText(board), ErrorField(""));
}

// One- and two-byte variables are pushed sign-extended; pops store only the variable's size.
TEST(VirtualBoardProgramExpression, VariablesArePushedSignExtendedAndPoppedToTheirSize) {
  VirtualBoard board;
  board.WriteMemory(0x0500, Code{0x80, 0x7F, 0x00, 0x80, 0xFF, 0x7F, 0x00, 0x00, 0x00, 0x80});
  board.WriteMemory(0x0700, Code(12, 0xAA));
  Code code;
  const std::vector<std::pair<std::uint8_t, std::uint32_t>> pushes{{Opcode::kPush1, 0x0500},
                                                                   {Opcode::kPush1, 0x0501},
                                                                   {Opcode::kPush2, 0x0502},
                                                                   {Opcode::kPush2, 0x0504},
                                                                   {Opcode::kPush4, 0x0506}};
  for (std::size_t i = 0; i < pushes.size(); ++i) {
    Op(code, Opcode::kExpression);
    Op32(code, pushes[i].first, pushes[i].second);
    Op32(code, Opcode::kPop4, static_cast<std::uint32_t>(kScratch + 4 * i));
  }
  for (const auto& [pop, offset] :
       {std::pair{Opcode::kPop1, 0u}, {Opcode::kPop2, 4u}, {Opcode::kPop4, 8u}}) {
    Op32(code, Opcode::kPushConst, 0x11223344);
    Op32(code, pop, 0x0700 + offset);
  }
  Op(code, Opcode::kEnd);
  Play(board, code);
  std::vector<std::uint32_t> pushed;
  for (std::uint32_t i = 0; i < pushes.size(); ++i) {
    pushed.push_back(board.Word32(kScratch + 4 * i));
  }
  EXPECT_EQ(pushed,
            (std::vector<std::uint32_t>{0xFFFFFF80u, 0x7Fu, 0xFFFF8000u, 0x7FFFu, 0x80000000u}));
  EXPECT_EQ(Memory(board, 0x0700, 12),
            (Code{0x44, 0xAA, 0xAA, 0xAA, 0x44, 0x33, 0xAA, 0xAA, 0x44, 0x33, 0x22, 0x11}));
}

// Whether 0xE0 jumps after `test` of `value`.
bool Jumps(std::uint8_t test, std::int32_t value) {
  Code code;
  Op(code, Opcode::kExpression);
  Op32(code, Opcode::kPushConst, static_cast<std::uint32_t>(value));
  Op(code, test);
  const std::uint32_t branch = Here(code);
  Op32(code, Opcode::kJumpIfTest, 0);
  Write(code, kScratch, {2});
  Op(code, Opcode::kEnd);
  Patch32(code, branch + 1, Here(code));
  Write(code, kScratch, {1});
  Op(code, Opcode::kEnd);
  VirtualBoard board;
  Play(board, code);
  return board.Byte(kScratch) == 1;
}

TEST(VirtualBoardProgramTest, EachTestComparesTheTopWithZero) {
  struct Case {
    std::uint8_t opcode;
    bool negative, zero, positive;
  };
  const std::vector<Case> cases{
      {Opcode::kTestZero, false, true, false},     {Opcode::kTestNonZero, true, false, true},
      {Opcode::kTestPositive, false, false, true}, {Opcode::kTestNotNegative, false, true, true},
      {Opcode::kTestNegative, true, false, false}, {Opcode::kTestNotPositive, true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.opcode));
    EXPECT_EQ(Jumps(c.opcode, -1), c.negative);
    EXPECT_EQ(Jumps(c.opcode, 0), c.zero);
    EXPECT_EQ(Jumps(c.opcode, 1), c.positive);
  }
}

TEST(VirtualBoardProgramFlow, ACallReturnsAfterItselfAndTheTopLevelEndClearsThePlayByte) {
  Code code;
  Op32(code, Opcode::kCall, 0);
  Write(code, kScratch, {2});
  const std::uint32_t end = Here(code);
  Op(code, Opcode::kEnd);
  const std::uint32_t outer = Here(code);
  Patch32(code, 1, outer);
  Write(code, kScratch + 1, {1});
  const std::uint32_t innerCall = Here(code);
  Op32(code, Opcode::kCall, 0);
  Write(code, kScratch + 3, {4});
  Op(code, Opcode::kEnd);
  Patch32(code, innerCall + 1, Here(code));
  Write(code, kScratch + 2, {3});
  Op(code, Opcode::kEnd);
  VirtualBoard board;
  board.RunImage(code);
  EXPECT_EQ(board.Byte(kPlayByteAddress), 1);
  Units(board, 1);
  EXPECT_EQ(Memory(board, kScratch, 4), (Code{2, 1, 3, 4}));
  EXPECT_FALSE(board.Running());
  EXPECT_EQ(board.Byte(kPlayByteAddress), 0);
  EXPECT_EQ(board.Word32(kCodeAddressAddress), end);
}

TEST(VirtualBoardProgramFlow, WaitsCountTimeUnits) {
  Code code;
  Write(code, kScratch, {1});
  const std::uint32_t shortWait = Here(code);
  Wait(code, 3);
  Wait(code, 0);
  Write(code, kScratch, {2});
  Wait(code, 256);
  Write(code, kScratch, {3});
  Op(code, Opcode::kEnd);
  VirtualBoard board;
  Play(board, code, 1);
  EXPECT_EQ(board.Byte(kScratch), 1);
  EXPECT_EQ(board.Word32(kCodeAddressAddress), shortWait);
  Units(board, 3);  // unit 4
  EXPECT_EQ(board.Byte(kScratch), 2);
  Units(board, 255);  // unit 259
  EXPECT_EQ(board.Byte(kScratch), 2);
  Units(board, 1);  // unit 260
  EXPECT_EQ(board.Byte(kScratch), 3);
  EXPECT_FALSE(board.Running());
}

TEST(VirtualBoardProgramFlow, LoopsHandBackTheTimeUnit) {
  VirtualBoard board;
  Play(board, {Opcode::kExpression, Opcode::kJump, 0, 0, 0, 0}, 3);
  EXPECT_EQ(board.InstructionsExecuted(), 3u * BytecodeInterpreter::kInstructionsPerTimeUnit);
  EXPECT_TRUE(board.Running());
}

// Each fault stops the program where it happened, with its text, and nothing runs after it.
TEST(VirtualBoardProgramFlow, FaultsStopTheProgramAndAreReported) {
  struct Case {
    Code code;
    std::uint32_t address;
    std::string text;
  };
  Code tooDeep;
  Op(tooDeep, Opcode::kExpression);
  for (std::size_t i = 0; i < BytecodeInterpreter::kExpressionStackDepth; ++i) {
    Op32(tooDeep, Opcode::kPushConst, 1);
  }
  const std::uint32_t lastPush = Here(tooDeep);
  Op32(tooDeep, Opcode::kPushConst, 1);
  Op(tooDeep, Opcode::kEnd);
  const std::vector<Case> cases{
      {Code{Opcode::kExpression, Opcode::kJump, 6, 0, 0, 0}, 1, "jump outside the image"},
      {Code{Opcode::kExpression}, 1, "address outside the image"},
      {Code{Opcode::kExpression, Opcode::kPushConst, 1, 2}, 1, "truncated instruction"},
      // An expression start empties the stack: the add after it has nothing to add.
      {Code{Opcode::kPushConst, 1, 0, 0, 0, Opcode::kExpression, Opcode::kAdd}, 6,
       "expression stack underflow"},
      {tooDeep, lastPush, "expression stack overflow"},
      {Code{Opcode::kExpression, Opcode::kCall, 1, 0, 0, 0}, 1, "call stack overflow"},
      {Code{Opcode::kExpression, 0x80, Opcode::kEnd}, 1, "unknown opcode 0x80"},
      {Code(BytecodeInterpreter::kMaxImageSize + 1, Opcode::kExpression), 0, "image too large"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    VirtualBoard board;
    Play(board, c.code);
    EXPECT_FALSE(board.Running());
    EXPECT_EQ(board.Byte(kPlayByteAddress), 0);
    EXPECT_EQ(board.Word32(kErrorAddressAddress), c.address);
    EXPECT_EQ(ErrorText(board), ErrorField(c.text));
    const std::uint64_t executed = board.InstructionsExecuted();
    Units(board, 5);
    EXPECT_EQ(board.InstructionsExecuted(), executed);
  }
  VirtualBoard board;
  board.RunImage(Code(BytecodeInterpreter::kMaxImageSize, Opcode::kExpression));
  EXPECT_TRUE(board.Running());
}

// A missing file is reported where it was asked for and the program goes on.
TEST(VirtualBoardProgramCard, SoundIsLoggedAndItsCommandCleared) {
  TempDir card;
  PutFile(card / "VOICE" / "hello.wav", Code{1, 2});
  Code code;
  WriteText(code, kFileNameAddress, "VOICE\\HELLO.WAV");
  Write(code, kSoundCommandAddress, {kSoundCommandPlay});
  WriteText(code, kFileNameAddress, "MISSING.WAV");
  const std::uint32_t second = Here(code);
  Write(code, kSoundCommandAddress, {kSoundCommandPlay});
  Write(code, kScratch, {1});
  Op(code, Opcode::kEnd);
  VirtualBoard board(card.Path());
  Play(board, code);
  EXPECT_EQ(board.SoundLog(), (std::vector<std::string>{"VOICE\\HELLO.WAV", "MISSING.WAV"}));
  EXPECT_EQ(board.Word32(kErrorAddressAddress), second);
  EXPECT_EQ(ErrorText(board), ErrorField("sound file not found"));
  EXPECT_EQ(board.Byte(kScratch), 1);
}

// A write stores a fixed size from memory, or what is left of it; a read is in memory before the
// next instruction and stops at the end of memory.
TEST(VirtualBoardProgramCard, FileCommandsCopyBetweenTheCardAndMemory) {
  TempDir card;
  PutFile(card / "DATA" / "TABLE.BIN", Code{1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  PutFile(card / "BIG.BIN", Code(300, 0x5A));
  PutFile(card / "OUT.BIN", Code{9});
  VirtualBoard board(card.Path());
  Code pattern(kMemorySize);
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    pattern[i] = static_cast<std::uint8_t>(i * 7);
  }
  const std::uint32_t data = 0x1000;
  board.WriteMemory(data, std::span<const std::uint8_t>(pattern).subspan(data));
  board.WriteMemory(kScratch + 10, Code{0xEE});
  Code code;
  WriteText(code, kFileNameAddress, "out.bin");
  Write(code, kFileDataAddress, LittleEndian(data, 4));
  Write(code, kFileCommandAddress, {kFileCommandWrite});
  WriteText(code, kFileNameAddress, "END.BIN");
  Write(code, kFileDataAddress, LittleEndian(kMemorySize - 16, 4));
  Write(code, kFileCommandAddress, {kFileCommandWrite});
  WriteText(code, kFileNameAddress, "data\\table.bin");
  Write(code, kFileDataAddress, LittleEndian(kScratch, 4));
  Write(code, kFileCommandAddress, {kFileCommandRead});
  Op(code, Opcode::kExpression);
  Op32(code, Opcode::kPush1, kScratch + 9);
  Op32(code, Opcode::kPop1, kScratch + 0x20);
  WriteText(code, kFileNameAddress, "BIG.BIN");
  Write(code, kFileDataAddress, LittleEndian(kMemorySize - 4, 4));
  Write(code, kFileCommandAddress, {kFileCommandRead});
  Op(code, Opcode::kEnd);
  Play(board, code);
  EXPECT_EQ(
      ReadBytes(card / "OUT.BIN"),
      std::string(pattern.begin() + data, pattern.begin() + data + VirtualBoard::kFileWriteSize));
  EXPECT_EQ(ReadBytes(card / "END.BIN"), std::string(pattern.end() - 16, pattern.end()));
  EXPECT_EQ(Memory(board, kScratch, 11), (Code{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0xEE}));
  EXPECT_EQ(board.Byte(kScratch + 0x20), 10);
  EXPECT_EQ(Memory(board, kMemorySize - 5, 5),
            (Code{pattern[kMemorySize - 5], 0x5A, 0x5A, 0x5A, 0x5A}));
  EXPECT_EQ(board.Byte(0), 0);
  EXPECT_EQ(board.Byte(kFileCommandAddress), 0);
  EXPECT_EQ(ErrorText(board), ErrorField(""));
}

TEST(VirtualBoardProgramCard, FailedFileCommandsAreReportedAndTouchNothing) {
  TempDir card;
  std::filesystem::create_directory(card / "inner");
  VirtualBoard board(card.Path() / "inner");
  struct Case {
    std::string name;
    std::uint8_t command;
    std::string text;
  };
  const std::vector<Case> cases{
      {"NONE.BIN", kFileCommandRead, "file not found"},
      {"..\\ESCAPE.BIN", kFileCommandWrite, "file write failed"},
      {"NOFOLDER\\X.BIN", kFileCommandWrite, "file write failed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Code code;
    WriteText(code, kFileNameAddress, c.name);
    Write(code, kFileDataAddress, LittleEndian(kScratch, 4));
    const std::uint32_t command = Here(code);
    Write(code, kFileCommandAddress, {c.command});
    Write(code, kScratch + 0x100, {1});
    Op(code, Opcode::kEnd);
    board.PowerOn();
    Play(board, code);
    EXPECT_EQ(board.Word32(kErrorAddressAddress), command);
    EXPECT_EQ(ErrorText(board), ErrorField(c.text));
    EXPECT_EQ(board.Word(kScratch), 0);
    EXPECT_EQ(board.Byte(kScratch + 0x100), 1);
  }
  EXPECT_FALSE(std::filesystem::exists(card / "ESCAPE.BIN"));
  EXPECT_EQ(std::filesystem::directory_iterator(card / "inner"),
            std::filesystem::directory_iterator());
}

TEST(VirtualBoardCardPath, ResolvesInsideTheCardIgnoringCase) {
  TempDir card;
  PutFile(card / "Motion" / "Walk.BIN", Code{1});
  // The same file (on Windows the name may keep the case it was given).
  std::error_code ec;
  EXPECT_TRUE(std::filesystem::equivalent(CardPath(card.Path(), "MOTION\\walk.bin").value_or(""),
                                          card / "Motion" / "Walk.BIN", ec));
  EXPECT_EQ(CardPath(card.Path(), ""), std::nullopt);
  EXPECT_EQ(CardPath(card.Path(), "D:X.BIN"), std::nullopt);
  EXPECT_EQ(CardPath(card.Path(), "Motion\\..\\..\\X.BIN"), std::nullopt);
}

// An image too large for the board is refused whole, not cut short.
TEST(VirtualBoardPlayImage, ACardImageTooLargeIsRefusedWhole) {
  TempDir card;
  PutFile(card / "BIG.BIN", Code(BytecodeInterpreter::kMaxImageSize + 1, Opcode::kExpression));
  VirtualBoard board(card.Path());
  const std::string name = "BIG.BIN";
  ASSERT_TRUE(board.WriteDevmemRecord(
      WriteRecordOf(kImageNameAddress, Code(name.c_str(), name.c_str() + name.size() + 1))));
  ASSERT_TRUE(SendValue(board, kPlayByteAddress, 1, 1));
  EXPECT_FALSE(board.Running());
  EXPECT_EQ(ErrorText(board), ErrorField("image too large"));
}

TEST(VirtualBoardPlayImage, AProgramCanPlayAnotherImage) {
  TempDir card;
  Code next;
  Write(next, kScratch + 1, {7});
  Op(next, Opcode::kEnd);
  PutFile(card / "NEXT.BIN", next);
  Code first;
  WriteText(first, kImageNameAddress, "NEXT.BIN");
  Write(first, kPlayByteAddress, {1});
  Write(first, kScratch, {9});
  Op(first, Opcode::kEnd);
  VirtualBoard board(card.Path());
  Play(board, first, 1);
  EXPECT_TRUE(board.Running());
  Units(board, 1);
  EXPECT_EQ(board.Byte(kScratch + 1), 7);
  EXPECT_EQ(board.Byte(kScratch), 0);
  EXPECT_FALSE(board.Running());
}

std::vector<std::uint8_t> Sequence(std::size_t size, std::uint8_t first) {
  std::vector<std::uint8_t> bytes(size);
  std::iota(bytes.begin(), bytes.end(), first);
  return bytes;
}

// Memory is zero but for the status values; a power-on clears it and keeps the board's own
// values.
TEST(VirtualBoardPowerOn, MemoryIsZeroExceptTheStatusValues) {
  VirtualBoard board;
  EXPECT_EQ(board.Word(kFirmwareVersionAddress), VirtualBoard::kDefaultFirmwareVersion);
  EXPECT_EQ(board.Word(kBatteryAddress), 2950);
  std::vector<std::uint8_t> all = Memory(board, 0, kMemorySize);
  all[kFirmwareVersionAddress] = all[kFirmwareVersionAddress + 1] = 0;
  all[kBatteryAddress] = all[kBatteryAddress + 1] = 0;
  EXPECT_EQ(all, std::vector<std::uint8_t>(kMemorySize, 0));
  board.SetFirmwareVersion(0x0123);
  board.SetWord(0x0500, 0xBEEF);
  board.PowerOn();
  EXPECT_EQ(board.Word(0x0500), 0);
  EXPECT_EQ(board.Word(kFirmwareVersionAddress), 0x0123);
  // The model name is padded and cut to its field, its bytes as given (here Shift_JIS).
  board.SetWord32(kControlCycleAddress, 0x11223344);
  board.SetModelName(std::string(40, 'x'));
  EXPECT_EQ(Memory(board, kModelNameAddress, 32), std::vector<std::uint8_t>(32, 'x'));
  EXPECT_EQ(board.Word32(kControlCycleAddress), 0x11223344u);
  board.SetModelName("\x83\x8d\x83\x7b");
  EXPECT_EQ(Memory(board, kModelNameAddress, 6),
            (std::vector<std::uint8_t>{0x83, 0x8d, 0x83, 0x7b, 0, 0}));
}

TEST(VirtualBoardMemory, BoardSideAccessStopsAtTheEndOfMemory) {
  VirtualBoard board;
  const std::array<std::uint8_t, 4> bytes{1, 2, 3, 4};
  board.WriteMemory(0x1FFE, bytes);
  EXPECT_EQ(Memory(board, 0x1FFE, 4), (std::vector<std::uint8_t>{1, 2, 0, 0}));
  std::vector<std::uint8_t> read(3, 0xEE);
  board.ReadMemory(0x1FFE, std::span(read).first(2));  // reads no more than asked
  EXPECT_EQ(read, (std::vector<std::uint8_t>{1, 2, 0xEE}));
  EXPECT_EQ(board.Byte(0), 0);
  EXPECT_EQ(board.Word(0x1FFF), 2);
  board.SetWord32(0xFFFFFFFE, 0xFFFFFFFF);
  EXPECT_EQ(board.Word(0), 0);
}

// Exactly the counted bytes (count 0: 256) at the address, none at or beyond the end of memory.
TEST(VirtualBoardWriteRecord, StoresExactlyTheCountedBytesAtTheAddress) {
  VirtualBoard board;
  core::DevmemRecord record = WriteRecordOf(0x0345, Sequence(3, 0x11));
  record[7] = 0x99;  // beyond the count: not data
  ASSERT_TRUE(board.WriteDevmemRecord(record));
  EXPECT_EQ(Memory(board, 0x0344, 5), (std::vector<std::uint8_t>{0, 0x11, 0x12, 0x13, 0}));
  record = WriteRecordOf(0x0400, std::vector<std::uint8_t>(300, 0x5A));
  record[3] = 0;
  ASSERT_TRUE(board.WriteDevmemRecord(record));
  EXPECT_EQ(Memory(board, 0x03FF, 2), (std::vector<std::uint8_t>{0, 0x5A}));
  EXPECT_EQ(Memory(board, 0x0400 + 255, 2), (std::vector<std::uint8_t>{0x5A, 0}));
  const core::DevmemRecord full = WriteRecordOf(0x0600, std::vector<std::uint8_t>(508, 0x5A));
  ASSERT_EQ(full[3], 252);  // a full record counts 508 modulo 256
  ASSERT_TRUE(board.WriteDevmemRecord(full));
  EXPECT_EQ(Memory(board, 0x0600 + 251, 2), (std::vector<std::uint8_t>{0x5A, 0}));
  ASSERT_TRUE(board.WriteDevmemRecord(WriteRecordOf(0x1FFC, Sequence(8, 1))));
  EXPECT_EQ(Memory(board, 0x1FFC, 4), (std::vector<std::uint8_t>{1, 2, 3, 4}));
  ASSERT_TRUE(board.WriteDevmemRecord(WriteRecordOf(0xFFF0, Sequence(32, 1))));
  EXPECT_EQ(Memory(board, 0, 16), std::vector<std::uint8_t>(16, 0));
}

// Nothing to read is a zero record; a reply is read once, with the counted bytes from the address
// (no more than memory holds).
TEST(VirtualBoardReadRecord, RepliesOnceWithTheCountedBytesFromTheAddress) {
  VirtualBoard board;
  core::DevmemRecord reply{};
  reply.fill(0xEE);
  ASSERT_TRUE(board.ReadDevmemRecord(reply));
  EXPECT_EQ(reply, core::DevmemRecord{});
  board.WriteMemory(0x0C10, Sequence(20, 0xA0));
  ASSERT_TRUE(board.WriteDevmemRecord(ReadRequestOf(0x0C10, 16)));
  reply.fill(0xEE);
  ASSERT_TRUE(board.ReadDevmemRecord(reply));
  core::DevmemRecord expected = WriteRecordOf(0x0C10, Sequence(16, 0xA0));
  expected[0] = 'R';  // laid out as a write record of the same bytes
  EXPECT_EQ(reply, expected);
  ASSERT_TRUE(board.ReadDevmemRecord(reply));
  EXPECT_EQ(reply, core::DevmemRecord{});
  board.WriteMemory(0x1FFA, Sequence(6, 1));
  ASSERT_TRUE(board.WriteDevmemRecord(ReadRequestOf(0x1FFA, 16)));
  ASSERT_TRUE(board.ReadDevmemRecord(reply));
  EXPECT_EQ(reply[3], 6);
  EXPECT_EQ(reply[9], 6);
  EXPECT_EQ(reply[10], 0);
}

TEST(VirtualBoardReadRecord, InvalidCountsAndAddressesGetNoReply) {
  VirtualBoard board;
  for (const auto& request : {ReadRequestOf(0x0010, 0), ReadRequestOf(0x0010, 17),
                              ReadRequestOf(0x2000, 1), ReadRequestOf(0xFFFF, 4)}) {
    ASSERT_TRUE(board.WriteDevmemRecord(ReadRequestOf(0x0010, 2)));
    ASSERT_TRUE(board.WriteDevmemRecord(request));  // replaces the queued reply with none
    core::DevmemRecord reply{};
    ASSERT_TRUE(board.ReadDevmemRecord(reply));
    EXPECT_EQ(reply, core::DevmemRecord{});
  }
}

// Sends `image` to flash in 128-byte pieces through one buffer, as the firmware update does: the
// last piece carries the rest of the buffer too.
void SendFlashImage(VirtualBoard& board, std::uint32_t flashAddress,
                    const std::vector<std::uint8_t>& image) {
  std::vector<std::uint8_t> buffer(128, 0);
  for (std::size_t offset = 0; offset < image.size(); offset += 128) {
    const std::size_t count = std::min<std::size_t>(128, image.size() - offset);
    std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(offset), count, buffer.begin());
    ASSERT_TRUE(board.WriteDevmemRecord(WriteRecordOf(0x0F00, buffer)));
    ASSERT_TRUE(SendValue(board, kFlashTargetAddress, flashAddress + offset, 4));
    ASSERT_TRUE(SendValue(board, kFlashLengthAddress, 128, 4));
    ASSERT_TRUE(SendValue(board, kFlashSourceAddress, 0x0F00, 4));
    ASSERT_TRUE(SendValue(board, kFlashCommandAddress, kFlashCommandWrite, 4));
  }
}

TEST(VirtualBoardFlash, ACopyItCannotMakeLeavesAFailureValue) {
  VirtualBoard board;
  board.SetWord32(kFlashTargetAddress, 0x08020000);
  board.SetWord32(kFlashLengthAddress, 128);
  board.SetWord32(kFlashSourceAddress, 0x1FC0);  // runs past the end of memory
  ASSERT_TRUE(SendValue(board, kFlashCommandAddress, kFlashCommandWrite, 4));
  EXPECT_EQ(board.Word32(kFlashCommandAddress), kFlashCommandFailed);
  board.SetWord32(kFlashSourceAddress, 0x0F00);
  board.SetWord32(kFlashTargetAddress, 0x0807FFC0);  // runs past the end of flash
  ASSERT_TRUE(SendValue(board, kFlashCommandAddress, kFlashCommandWrite, 4));
  EXPECT_EQ(board.Word32(kFlashCommandAddress), kFlashCommandFailed);
  EXPECT_EQ(board.Flash(0x0807FFC0, 64), std::vector<std::uint8_t>(64, 0xFF));
  // Copies from the last bytes of memory to the first or the last bytes of flash are made.
  board.SetWord32(kFlashSourceAddress, kMemorySize - 128);
  board.SetWord(kMemorySize - 128, 0x6587);
  board.SetWord(kMemorySize - 2, 0x4321);
  for (const std::uint32_t target : {0x08000000u, 0x0807FF80u}) {
    board.SetWord32(kFlashTargetAddress, target);
    ASSERT_TRUE(SendValue(board, kFlashCommandAddress, kFlashCommandWrite, 4));
    EXPECT_EQ(board.Word32(kFlashCommandAddress), kFlashCommandDone);
    EXPECT_EQ(board.Flash(target, 2), (std::vector<std::uint8_t>{0x87, 0x65}));
    EXPECT_EQ(board.Flash(target + 126, 2), (std::vector<std::uint8_t>{0x21, 0x43}));
  }
}

std::vector<std::uint8_t> ShippedFile(const char* name) {
  std::ifstream in(std::filesystem::path(GESTALON_RESOURCES_DIR) / "firm" / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(VirtualBoardFlash, TheShippedUpdaterInstallsValidFirmwareAndRefusesAnythingElse) {
  const std::vector<std::uint8_t> updater = ShippedFile("zupdater.bin");
  const std::vector<std::uint8_t> firmware = ShippedFile("sample_firmware.bin");
  ASSERT_EQ(updater, MakeUpdaterImage());  // the generator's output, as shipped
  const auto flipped = [](std::vector<std::uint8_t> bytes, std::size_t offset) {
    bytes.at(offset) ^= 1;
    return bytes;
  };
  const std::vector<std::uint8_t> otherFormat = flipped(updater, 4);
  const std::vector<std::uint8_t> badFirmware = flipped(firmware, kFlashImageHeaderSize);
  struct Case {
    const char* name;
    const std::vector<std::uint8_t>& updater;
    const std::vector<std::uint8_t>& firmware;
    std::uint16_t version;  // the board's version afterwards
    const char* error;      // reported at 0x0180; empty: none
    std::uint32_t errorAddress;
  };
  const Case cases[] = {
      {"valid", updater, firmware, 0x0200, "", 0},
      {"updater of another format", otherFormat, firmware, 10, "updater invalid", 0x0803F000},
      {"firmware body changed", updater, badFirmware, 10, "firmware invalid", 0x08020000},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    VirtualBoard board;
    SendFlashImage(board, 0x08020000, test.firmware);
    SendFlashImage(board, 0x0803F000, test.updater);
    ASSERT_TRUE(SendValue(board, kFlashTargetAddress, 0x0803F000, 4));
    board.SetWord(kImageNameAddress, 0x4141);  // cleared only by a restart
    ASSERT_TRUE(SendValue(board, kFlashCommandAddress, kFlashCommandRunUpdater, 4));
    EXPECT_EQ(board.UpdaterRuns(), 1);
    EXPECT_EQ(board.Word32(kFlashCommandAddress), kFlashCommandDone);
    EXPECT_EQ(board.Word(kFirmwareVersionAddress), test.version);
    EXPECT_EQ(ErrorText(board), ErrorField(test.error));
    EXPECT_EQ(board.Word32(kErrorAddressAddress), test.errorAddress);
    EXPECT_EQ(board.Word(kImageNameAddress), *test.error ? 0x4141 : 0);
  }
}

TEST(VirtualBoardPower, OffFailsDevmemAndStopsTimeOnStartsTheCardsStartupImage) {
  gestalon::testing::TempDir card;
  VirtualBoard empty(card.Path());  // no STARTUP.BIN: no program
  Units(empty, 3);
  EXPECT_EQ(empty.InstructionsExecuted(), 0u);
  const std::vector<std::uint8_t> idle = {Opcode::kJump, 0, 0, 0, 0};  // jumps to itself
  gestalon::testing::WriteBytes(card / "STARTUP.BIN", std::string(idle.begin(), idle.end()));
  VirtualBoard board(card.Path());
  board.PowerOff();
  EXPECT_FALSE(board.Running());
  EXPECT_FALSE(SendValue(board, kServoPowerAddress, 1, 2));
  core::DevmemRecord reply{};
  EXPECT_FALSE(board.ReadDevmemRecord(reply));
  board.Advance(100000);
  EXPECT_EQ(board.ElapsedMicroseconds(), 0u);
  board.PowerOn();
  EXPECT_TRUE(board.Running());
  EXPECT_TRUE(SendValue(board, kServoPowerAddress, 1, 2));
}

TEST(VirtualBoardPlay, APlayRequestWithoutACardReportsTheMissingImage) {
  VirtualBoard board;
  ASSERT_TRUE(SendValue(board, kErrorAddressAddress, 0xFFFFFFFF, 4));
  ASSERT_TRUE(SendValue(board, kPlayByteAddress, 1, 1));
  EXPECT_EQ(board.Byte(kPlayByteAddress), 0);
  EXPECT_FALSE(board.Running());
  EXPECT_EQ(board.Word32(kErrorAddressAddress), 0u);
  EXPECT_EQ(ErrorText(board), ErrorField("image not found"));
}

// The only test that waits for real time: a 20 ms move must finish (within a ceiling of a minute)
// while another thread talks to the board through DEVMEM.
TEST(RealTimeDriver, RunsTheBoardInRealTimeUntilDestroyed) {
  VirtualBoard board;
  ASSERT_TRUE(testing::SendValue(board, kControlCycleAddress, 1000, 4));
  ASSERT_TRUE(testing::SendValue(board, kInterpolationMethodAddress, kInterpolationLinear, 1));
  auto port = board.OpenDevmem();
  {
    RealTimeDriver driver(board, std::chrono::milliseconds(1));
    testing::SendMove(board, {500}, 20);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    core::DevmemRecord reply{};
    while (std::chrono::steady_clock::now() < deadline) {
      ASSERT_TRUE(port->WriteRecord(testing::ReadRequestOf(kBufferBusyAddress[0], 1)));
      ASSERT_TRUE(port->ReadRecord(reply));
      if (reply[4] == 0) {
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(reply[4], 0);
    EXPECT_EQ(testing::CurrentValue(board, 0), 500);
    EXPECT_GE(board.ElapsedMicroseconds(), 20000u);
    EXPECT_TRUE(driver.Running());
  }
  const std::uint64_t afterDestruction = board.ElapsedMicroseconds();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(board.ElapsedMicroseconds(), afterDestruction);
}

void SetMethod(VirtualBoard& board, std::uint32_t slot, std::uint8_t method) {
  ASSERT_TRUE(SendValue(board, kInterpolationMethodAddress + slot, method, 1));
}

TEST(InterpolatedValue, EachMethodFollowsItsCurve) {
  struct Case {
    std::uint8_t method;
    std::int16_t start, target;
    std::uint32_t elapsed, time;
    std::int16_t value;
  };
  const std::vector<Case> cases{
      {kInterpolationLinear, 0, 1000, 0, 10, 0},
      {kInterpolationLinear, 0, 1000, 10, 10, 1000},
      {kInterpolationLinear, 0, 1000, 11, 10, 1000},
      {kInterpolationLinear, 0, 1000, 0, 0, 1000},  // no time: at the target at once
      {9, 0, 1000, 3, 10, 300},
      {kInterpolationJump, -20, 700, 1, 100, 700},
      {kInterpolationCubic, 1000, 0, 2, 10, 896},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(InterpolatedValue(c.method, c.start, c.target, c.elapsed, c.time), c.value)
        << int{c.method} << " at " << c.elapsed << "/" << c.time;
  }
}

TEST(VirtualBoardServos, ALinearMoveReachesItsTargetsAfterItsTime) {
  VirtualBoard board;
  SetMethod(board, 0, kInterpolationLinear);
  SetMethod(board, 1, kInterpolationLinear);
  SendMove(board, {1000, -400}, 10);
  board.Advance(5 * kUnit);
  EXPECT_EQ(CurrentValue(board, 1), -200);
  board.Advance(4 * kUnit);
  EXPECT_EQ(CurrentValue(board, 0), 900);
  EXPECT_NE(board.Byte(kBufferBusyAddress[0]), 0);
  board.Advance(kUnit);
  EXPECT_EQ(CurrentValue(board, 0), 1000);
  EXPECT_EQ(CurrentValue(board, 1), -400);
  EXPECT_EQ(board.Byte(kFillCountAddress), 0);
  EXPECT_EQ(board.Byte(kBufferBusyAddress[0]), 0);
}

// A move starts from where the servos stand, with the power on or off.
TEST(VirtualBoardServos, AMoveStartsFromWhereTheServosAre) {
  VirtualBoard board;
  SetMethod(board, 0, kInterpolationLinear);
  ASSERT_TRUE(SendValue(board, kServoPowerAddress, 0, 2));
  board.SetWord(kServoCurrentAddress, 200);
  SendMove(board, {600}, 4);
  board.Advance(kUnit);
  EXPECT_EQ(CurrentValue(board, 0), 300);
  board.Advance(3 * kUnit);
  EXPECT_EQ(CurrentValue(board, 0), 600);
}

// The servos report their outputs at the capture variables: source plus base, within the limits.
TEST(VirtualBoardServos, OutputsReportTheirPositionsAtTheCaptureVariables) {
  VirtualBoard board;
  const auto setMotor = [&](std::uint32_t k, std::uint16_t capture, std::uint16_t source,
                            std::int16_t base, std::int16_t lower, std::int16_t upper) {
    const std::uint32_t record = kMotorRecordAddress + kMotorRecordSize * k;
    board.SetWord(record, capture);
    board.SetWord(record + 2, source);
    board.SetWord(record + 10, static_cast<std::uint16_t>(base));
    board.SetWord(record + 12, static_cast<std::uint16_t>(lower));
    board.SetWord(record + 14, static_cast<std::uint16_t>(upper));
  };
  setMotor(0, 0x0D80, kServoCurrentAddress, 100, -1000, 1000);
  setMotor(1, 0x0D82, kServoCurrentAddress + 2, 0, -50, 50);
  setMotor(2, 0x0D84, kServoCurrentAddress + 4, 7, 1, -1);  // no limits when lower > upper
  setMotor(4, 0x0D86, kServoCurrentAddress, 0, 10, 10);     // lower = upper: a fixed output
  SendMove(board, {-200, 300, 3000}, 0);
  board.Advance(kUnit);
  EXPECT_EQ(static_cast<std::int16_t>(board.Word(0x0D80)), -100);
  EXPECT_EQ(board.Word(0x0D82), 50);
  EXPECT_EQ(board.Word(0x0D84), 3007);
  EXPECT_EQ(board.Word(0x0D86), 10);
}

// Only a DEVMEM write touching the time word starts a move (its high byte alone will do), also
// when the targets come in the same record.
TEST(VirtualBoardServos, OnlyWritesTouchingTheTimeWordStartMoves) {
  VirtualBoard board;
  ASSERT_TRUE(SendValue(board, kServoTargetAddress, 100, 2));
  board.SetWord(kMoveTimeAddress, 5);  // board-side writes have no side effects
  ASSERT_TRUE(SendValue(board, kMoveTimeAddress + 2, 5, 2));  // right after the word
  ASSERT_TRUE(SendValue(board, kMoveTimeAddress - 2, 5, 2));  // right before it
  EXPECT_EQ(board.Byte(kFillCountAddress), 0);
  ASSERT_TRUE(SendValue(board, kMoveTimeAddress + 1, 0, 1));
  EXPECT_EQ(board.Byte(kFillCountAddress), 1);
  SetMethod(board, 127, kInterpolationLinear);
  ASSERT_TRUE(board.WriteDevmemRecord(  // slot 127 and the time word
      WriteRecordOf(0x0AFE, std::vector<std::uint8_t>{0x64, 0x00, 0x02, 0x00})));
  EXPECT_EQ(board.Byte(kFillCountAddress), 2);
  board.Advance(5 * kUnit + 2 * kUnit);  // the first move, then the second
  EXPECT_EQ(CurrentValue(board, 127), 100);
}

TEST(VirtualBoardServos, AFullBufferReplacesItsLastWaitingMove) {
  VirtualBoard board;
  SetMethod(board, 0, kInterpolationJump);
  for (std::int16_t i = 1; i <= static_cast<std::int16_t>(ServoInterpolator::kDepth); ++i) {
    SendMove(board, {i}, 1);
  }
  SendMove(board, {99}, 1);
  EXPECT_EQ(board.Byte(kFillCountAddress), ServoInterpolator::kDepth);
  std::vector<std::int16_t> reached;
  for (std::size_t unit = 0; unit < ServoInterpolator::kDepth; ++unit) {
    board.Advance(kUnit);
    reached.push_back(CurrentValue(board, 0));
  }
  EXPECT_EQ(reached, (std::vector<std::int16_t>{1, 2, 3, 4, 5, 6, 7, 99}));
}

// A reset of buffer 0 empties it where the servos stand; only the value 1 asks for a reset.
TEST(VirtualBoardServos, ResetEmptiesTheBufferWhereTheServosStand) {
  VirtualBoard board;
  SetMethod(board, 0, kInterpolationLinear);
  SendMove(board, {1000}, 10);
  SendMove(board, {-1000}, 10);
  board.Advance(3 * kUnit);
  ASSERT_TRUE(SendValue(board, kBufferResetAddress[0], 2, 1));
  EXPECT_EQ(board.Byte(kFillCountAddress), 2);
  ASSERT_TRUE(SendValue(board, kBufferResetAddress[0], 1, 1));
  EXPECT_EQ(board.Byte(kFillCountAddress), 0);
  EXPECT_EQ(board.Byte(kBufferBusyAddress[0]), 0);
  EXPECT_EQ(board.Byte(kBufferResetAddress[0]), 0);
  board.Advance(20 * kUnit);
  EXPECT_EQ(CurrentValue(board, 0), 300);
}

TEST(VirtualBoardTime, OneUnitPerBasicControlCycleAndZeroMeansTenMilliseconds) {
  for (const std::uint32_t cycle : {2500u, 0u}) {
    SCOPED_TRACE(cycle);
    const std::uint32_t unit = cycle == 0 ? 10000 : cycle;
    VirtualBoard board;
    ASSERT_TRUE(SendValue(board, kControlCycleAddress, cycle, 4));
    SetMethod(board, 0, kInterpolationLinear);
    SendMove(board, {400}, 4);
    board.Advance(unit - 1);
    EXPECT_EQ(CurrentValue(board, 0), 0);
    board.Advance(1);
    EXPECT_EQ(CurrentValue(board, 0), 100);
    board.Advance(unit + unit / 5);  // a fifth of a unit left over
    EXPECT_EQ(CurrentValue(board, 0), 200);
    board.Advance(unit - unit / 5);
    EXPECT_EQ(CurrentValue(board, 0), 300);
    EXPECT_EQ(board.ElapsedMicroseconds(), 3u * unit);
  }
}

}  // namespace
}  // namespace gestalon::sim
