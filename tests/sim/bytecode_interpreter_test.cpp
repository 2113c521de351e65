#include "bytecode_interpreter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "card_files.h"
#include "devmem_records.h"
#include "temp_dir.h"
#include "virtual_board.h"

namespace gestalon::sim {
namespace {

using gestalon::testing::ReadBytes;
using gestalon::testing::TempDir;
using gestalon::testing::WriteBytes;
using testing::ErrorField;
using testing::ErrorText;
using testing::LittleEndian;
using testing::Memory;
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

// The target of slot 0 then the time word, as a compiled pose writes them.
void Pose(Code& code, std::uint16_t target, std::uint16_t time) {
  Write(code, kServoTargetAddress, LittleEndian(target, 2));
  Write(code, kMoveTimeAddress, LittleEndian(time, 2));
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
      {Opcode::kDiv, 7, static_cast<std::uint32_t>(-1), static_cast<std::uint32_t>(-7)},
      {Opcode::kDiv, 0x80000000, 2, 0xC0000000},
      {Opcode::kMod, static_cast<std::uint32_t>(-7), 3, static_cast<std::uint32_t>(-1)},
      {Opcode::kMod, 5, 0, 5},
      {Opcode::kMod, 0x80000000, static_cast<std::uint32_t>(-1), 0},
      {Opcode::kMod, 0x80000000, 3, static_cast<std::uint32_t>(-2)},
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
  EXPECT_NE(board.Byte(kScratch), 0);
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
    EXPECT_EQ(Jumps(c.opcode, INT32_MIN), c.negative);
    EXPECT_EQ(Jumps(c.opcode, 0), c.zero);
    EXPECT_EQ(Jumps(c.opcode, 1), c.positive);
    EXPECT_EQ(Jumps(c.opcode, INT32_MAX), c.positive);
  }
}

// A test pops the value it tests; its flag stays through an expression start until the next test.
TEST(VirtualBoardProgramTest, TheFlagStaysUntilTheNextTest) {
  Code code;
  Op(code, Opcode::kExpression);
  Op32(code, Opcode::kPushConst, 7);
  Op32(code, Opcode::kPushConst, 0);
  Op(code, Opcode::kTestZero);  // flag set
  Op32(code, Opcode::kPop4, 0x0700);
  Op(code, Opcode::kExpression);
  Op32(code, Opcode::kPushConst, 5);
  Write(code, kScratch, {1});
  const std::uint32_t first = Here(code);
  Op32(code, Opcode::kJumpIfTest, 0);
  Op(code, Opcode::kEnd);
  Patch32(code, first + 1, Here(code));
  Write(code, kScratch + 1, {1});
  Op(code, Opcode::kEnd);
  VirtualBoard board;
  board.SetWord32(0x0700, 0xFFFFFFFF);
  Play(board, code);
  EXPECT_EQ(board.Word32(0x0700), 7u);
  EXPECT_EQ(board.Byte(kScratch), 1);
  EXPECT_EQ(board.Byte(kScratch + 1), 1);
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
  Units(board, 2);
  EXPECT_EQ(board.Byte(kScratch), 1);
  Units(board, 1);  // unit 4
  EXPECT_EQ(board.Byte(kScratch), 2);
  Units(board, 255);  // unit 259
  EXPECT_EQ(board.Byte(kScratch), 2);
  Units(board, 1);  // unit 260
  EXPECT_EQ(board.Byte(kScratch), 3);
  EXPECT_FALSE(board.Running());
}

// A jump to itself idles one instruction a unit; a loop without one still hands the unit back.
TEST(VirtualBoardProgramFlow, JumpsToThemselvesIdleAndLoopsHandBackTheTimeUnit) {
  Code code;
  Write(code, kScratch, {1});
  const std::uint32_t self = Here(code);
  Op32(code, Opcode::kJump, self);
  VirtualBoard board;
  Play(board, code, 1);
  const std::uint64_t before = board.InstructionsExecuted();
  Units(board, 100);
  EXPECT_EQ(board.InstructionsExecuted() - before, 100u);
  EXPECT_EQ(board.Word32(kCodeAddressAddress), self);
  Play(board, {Opcode::kExpression, Opcode::kJump, 0, 0, 0, 0}, 3);
  EXPECT_EQ(board.InstructionsExecuted() - before - 100,
            3u * BytecodeInterpreter::kInstructionsPerTimeUnit);
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
      {Code{}, 0, "address outside the image"},
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

// The observers see moves and block addresses in program order; the same block address written
// again is no change, a write of its upper half is.
TEST(VirtualBoardObservers, SeeMovesAndBlockAddressesInProgramOrder) {
  std::vector<std::string> seen;
  VirtualBoard board;
  board.SetMoveObserver([&](const ServoMove& move) {
    seen.push_back("move " + std::to_string(move.time) + " " + std::to_string(move.targets[0]));
  });
  board.SetBlockObserver(
      [&](std::uint32_t address) { seen.push_back("block " + std::to_string(address)); });
  Code code;
  Write(code, kBlockCodeAddress, {0x20, 0x01, 0, 0});
  Pose(code, 0x1234, 5);
  Write(code, kBlockCodeAddress, {0x20, 0x01, 0, 0});
  Write(code, kBlockCodeAddress + 2, {0x01, 0});
  Write(code, kMoveTimeAddress, {9, 0});
  Op(code, Opcode::kEnd);
  Play(board, code);
  EXPECT_EQ(seen,
            (std::vector<std::string>{"block 288", "move 5 4660", "block 65824", "move 9 4660"}));
}

TEST(VirtualBoardProgramServos, WaitingOnTheBusyByteEndsWhenTheBufferIsReset) {
  Code code;
  Pose(code, 300, 1000);
  Op32(code, Opcode::kWaitZero, kBufferBusyAddress[0]);
  Write(code, kScratch, {1});
  Op(code, Opcode::kEnd);
  VirtualBoard board;
  Play(board, code, 50);
  EXPECT_EQ(board.Byte(kScratch), 0);
  ASSERT_TRUE(SendValue(board, kBufferResetAddress[0], 1, 1));
  Units(board, 1);
  EXPECT_EQ(board.Byte(kScratch), 1);
}

// A missing file is reported where it was asked for and the program goes on; an empty name
// stops the sound without an error.
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
  Code silence;
  WriteText(silence, kFileNameAddress, "");
  Write(silence, kSoundCommandAddress, {kSoundCommandPlay});
  Op(silence, Opcode::kEnd);
  VirtualBoard board(card.Path());
  Play(board, code);
  EXPECT_EQ(board.SoundLog(), (std::vector<std::string>{"VOICE\\HELLO.WAV", "MISSING.WAV"}));
  EXPECT_EQ(board.Word32(kErrorAddressAddress), second);
  EXPECT_EQ(ErrorText(board), ErrorField("sound file not found"));
  EXPECT_EQ(board.Byte(kScratch), 1);
  board.PowerOn();
  Play(board, silence);
  EXPECT_EQ(board.SoundLog().back(), "");
  EXPECT_EQ(board.Word32(kErrorAddressAddress), 0u);
}

// The file is in memory before the next instruction; a read stops at the end of memory.
TEST(VirtualBoardProgramCard, FileReadCopiesTheFileBeforeTheNextInstruction) {
  TempDir card;
  PutFile(card / "DATA" / "TABLE.BIN", Code{1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  PutFile(card / "BIG.BIN", Code(300, 0x5A));
  Code code;
  WriteText(code, kFileNameAddress, "data\\table.bin");
  Write(code, kFileDataAddress, LittleEndian(kScratch, 4));
  Write(code, kFileCommandAddress, {kFileCommandRead});
  Op(code, Opcode::kExpression);
  Op32(code, Opcode::kPush1, kScratch + 9);
  Op32(code, Opcode::kPop1, 0x0700);
  WriteText(code, kFileNameAddress, "BIG.BIN");
  Write(code, kFileDataAddress, LittleEndian(kMemorySize - 4, 4));
  Write(code, kFileCommandAddress, {kFileCommandRead});
  Op(code, Opcode::kEnd);
  VirtualBoard board(card.Path());
  board.WriteMemory(kScratch + 10, Code{0xEE});
  Play(board, code);
  EXPECT_EQ(Memory(board, kScratch, 11), (Code{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0xEE}));
  EXPECT_EQ(board.Byte(0x0700), 10);
  EXPECT_EQ(Memory(board, kMemorySize - 5, 5), (Code{0, 0x5A, 0x5A, 0x5A, 0x5A}));
  EXPECT_EQ(board.Byte(0), 0);
  EXPECT_EQ(ErrorText(board), ErrorField(""));
}

TEST(VirtualBoardProgramCard, FileWriteStoresAFixedSizeFromMemory) {
  TempDir card;
  PutFile(card / "OUT.BIN", Code{9});
  VirtualBoard board(card.Path());
  Code pattern(kMemorySize);
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    pattern[i] = static_cast<std::uint8_t>(i * 7);
  }
  const std::uint32_t data = 0x1000;
  board.WriteMemory(data, std::span<const std::uint8_t>(pattern).subspan(data));
  Code code;
  WriteText(code, kFileNameAddress, "out.bin");
  Write(code, kFileDataAddress, LittleEndian(data, 4));
  Write(code, kFileCommandAddress, {kFileCommandWrite});
  WriteText(code, kFileNameAddress, "END.BIN");
  Write(code, kFileDataAddress, LittleEndian(kMemorySize - 16, 4));
  Write(code, kFileCommandAddress, {kFileCommandWrite});
  Op(code, Opcode::kEnd);
  Play(board, code);
  EXPECT_EQ(
      ReadBytes(card / "OUT.BIN"),
      std::string(pattern.begin() + data, pattern.begin() + data + VirtualBoard::kFileWriteSize));
  EXPECT_EQ(ReadBytes(card / "END.BIN"), std::string(pattern.end() - 16, pattern.end()));
  EXPECT_EQ(board.Byte(kFileCommandAddress), 0);
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
  EXPECT_EQ(CardPath(card.Path(), "NEW.BIN"), card / "NEW.BIN");
  EXPECT_EQ(CardPath(card.Path(), ""), std::nullopt);
  EXPECT_EQ(CardPath(card.Path(), "D:X.BIN"), std::nullopt);
  EXPECT_EQ(CardPath(card.Path(), "Motion\\..\\..\\X.BIN"), std::nullopt);
  EXPECT_EQ(CardPath({}, "X.BIN"), std::nullopt);
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

TEST(VirtualBoardPlayImage, AProgramCanPlayAnotherImageOrStopItself) {
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
  Code stopper;
  Write(stopper, kPlayByteAddress, {0});
  Write(stopper, kScratch + 2, {9});
  Op(stopper, Opcode::kEnd);
  VirtualBoard board(card.Path());
  Play(board, first, 1);
  EXPECT_TRUE(board.Running());
  Units(board, 1);
  EXPECT_EQ(board.Byte(kScratch + 1), 7);
  EXPECT_EQ(board.Byte(kScratch), 0);
  EXPECT_FALSE(board.Running());
  Play(board, stopper, 2);
  EXPECT_FALSE(board.Running());
  EXPECT_EQ(board.Byte(kScratch + 2), 0);
}

TEST(VirtualBoardStartup, NoStartupBinMeansNoProgram) {
  TempDir card;
  VirtualBoard board(card.Path());
  Units(board, 3);
  EXPECT_EQ(board.InstructionsExecuted(), 0u);
}

}  // namespace
}  // namespace gestalon::sim
