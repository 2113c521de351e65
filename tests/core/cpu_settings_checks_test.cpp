#include "cpusettings/cpu_settings_checks.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace gestalon::core {
namespace {

const std::u16string kBase = u"モータのベースの設定範囲は0～65535です";
const std::u16string kNotNumber = u"モータのパラメータの設定には数値(0～9,+,-)を代入してください";
const std::u16string kCoefficient = u"モータの係数の設定範囲は-32768～32767です";
const std::u16string kLimit = u"モータの可動範囲の設定範囲は-32768～32767です";

TEST(MotorCheck, RefusesTheFirstBadFieldInOrderAndStoresOnlyWhenAllPass) {
  struct Case {
    MotorFieldTexts texts;
    std::u16string message;  // empty: accepted
    MotorField field;
  };
  const MotorFieldTexts good{u"-100", {u"2590", u"-3", u"+7", u""}, u"-32768", u"32767"};
  const auto with = [&](auto change) {
    MotorFieldTexts texts = good;
    change(texts);
    return texts;
  };
  const Case cases[] = {
      {good, u"", MotorField::kBase},
      {with([](auto& t) { t.base = u"32768"; }), kBase, MotorField::kBase},
      {with([](auto& t) { t.base = u"-32769"; }), kBase, MotorField::kBase},
      // The base is read as a decimal number; other characters end it.
      {with([](auto& t) { t.base = u"12abc"; }), u"", MotorField::kBase},
      {with([](auto& t) { t.coefficients[1] = u"1.5"; }), kNotNumber, MotorField::kCoefficient1},
      {with([](auto& t) { t.coefficients[2] = u"40000"; }), kCoefficient,
       MotorField::kCoefficient2},
      // A bad base is reported before a bad coefficient, a coefficient before a limit.
      {with([](auto& t) {
         t.base = u"99999";
         t.coefficients[0] = u"x";
       }),
       kBase, MotorField::kBase},
      {with([](auto& t) {
         t.coefficients[0] = u"-40000";
         t.lowerLimit = u"x";
       }),
       kCoefficient, MotorField::kCoefficient0},
      {with([](auto& t) { t.upperLimit = u"32768"; }), kLimit, MotorField::kUpperLimit},
      {with([](auto& t) { t.lowerLimit = u"-32769"; }), kLimit, MotorField::kLowerLimit},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    MotorRecord motor;
    motor.words.fill(0x5555);
    const MotorCheck check = CheckAndStoreMotor(c.texts, motor);
    EXPECT_EQ(check.message, c.message);
    if (!c.message.empty()) {
      EXPECT_EQ(check.field, c.field);
      EXPECT_EQ(motor.words[MotorWord::kOfs], 0x5555) << "a refused motor stores nothing";
      continue;
    }
    EXPECT_EQ(static_cast<std::int16_t>(motor.words[MotorWord::kOfs]),
              c.texts.base == u"12abc" ? 12 : -100);
    const auto& w = motor.words;
    EXPECT_EQ(
        std::tuple(w[TermCoefficientWord(0)], w[TermCoefficientWord(1)], w[TermCoefficientWord(2)],
                   w[TermCoefficientWord(3)], w[MotorWord::kLimL], w[MotorWord::kLimH]),
        std::tuple(2590, 0xFFFD, 7, 0, 0x8000, 0x7FFF));
    EXPECT_EQ(w[TermVariableAWord(0)], 0x5555) << "variables are not the check's";
  }
}

TEST(ServoIdChecks, KeepEachPortToFourteenDistinctIdsFrom0To255) {
  SerialBus bus;
  bus.SBUS_N = 3;
  bus.SBUS_ID = {5, 6, 7};
  struct Case {
    int row;
    std::u16string_view text;
    std::u16string message;
  };
  const std::u16string range = u"サーボIDの設定には、0～255の整数を入力してください";
  const std::u16string duplicate = u"IDが重複しています。";
  const Case cases[] = {
      {0, u"255", u""},   {0, u"0", u""},       {1, u"6", u""},  // its own value again
      {0, u"256", range}, {0, u"-1", range},    {0, u"", range},
      {0, u"1a", range},  {0, u"7", duplicate}, {2, u"5", duplicate},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    std::uint8_t id = 99;
    EXPECT_EQ(CheckServoIdEdit(bus, c.row, c.text, id), c.message);
    EXPECT_EQ(id, c.message.empty() ? std::stoi(std::string(c.text.begin(), c.text.end())) : 99);
  }

  // Insertion at a row moves the rows below down; the end when no row is chosen.
  const auto firstFour = [&] {
    return std::tuple(bus.SBUS_N, bus.SBUS_ID[0], bus.SBUS_ID[1], bus.SBUS_ID[2], bus.SBUS_ID[3]);
  };
  ASSERT_TRUE(InsertServoId(bus, 1));
  EXPECT_EQ(firstFour(), std::tuple(4u, 5, 6, 6, 7));
  RemoveServoId(bus, 0);
  EXPECT_EQ(firstFour(), std::tuple(3u, 6, 6, 7, 0));
  while (CheckServoIdAdd(bus).empty()) {
    ASSERT_TRUE(InsertServoId(bus, -1));
  }
  EXPECT_EQ(ServoIdCount(bus), 14);
  EXPECT_EQ(CheckServoIdAdd(bus), u"一つのポートに接続できるモータの数は14個までです。");
  EXPECT_FALSE(InsertServoId(bus, 0));
  RemoveServoId(bus, 14);  // no such row: nothing changes
  EXPECT_EQ(ServoIdCount(bus), 14);
}

TEST(CpuSettingsFieldChecks, ControlCycleAndLedCoefficientRanges) {
  struct Case {
    std::u16string_view text;
    bool cycleAccepted, ledAccepted;
  };
  const Case cases[] = {
      {u"0", true, true}, {u"65535", true, true}, {u"65536", false, false}, {u"-1", false, false},
      {u"", true, false}, {u"12x", true, false},  {u"+10000", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    std::int32_t cycle = -5;
    EXPECT_EQ(CheckControlCycle(c.text, cycle).empty(), c.cycleAccepted);
    EXPECT_EQ(cycle == -5, !c.cycleAccepted);
    std::uint16_t coefficient = 7;
    const std::u16string led = CheckLedCoefficient(3, c.text, coefficient);
    if (c.ledAccepted) {
      EXPECT_EQ(led, u"");
      EXPECT_NE(coefficient, 7);
    } else {
      EXPECT_EQ(led, u"LED ch3の係数が異常です。0～65535の範囲の整数で入力してください。");
      EXPECT_EQ(coefficient, 7);
    }
  }
  std::int32_t cycle = 0;
  EXPECT_EQ(CheckControlCycle(u"65536", cycle), u"CPU基本制御周期の設定範囲は0～65535までです");
}

TEST(CpuSettingsFieldConversions, TermConditionBitsAndVolume) {
  const std::pair<std::array<int, 4>, std::uint8_t> terms[] = {
      {{1, 0, 0, 0}, 0x01}, {{0, 1, 2, 0}, 0x24}, {{2, 2, 2, 2}, 0xAA}};
  for (const auto& [conditions, packed] : terms) {
    EXPECT_EQ(PackTermConditions(conditions), packed);
    EXPECT_EQ(UnpackTermConditions(packed), conditions);
  }
  const std::pair<int, std::uint16_t> volumes[] = {{7, 0}, {0, 7}, {3, 4}};
  for (const auto& [volume, attenuator] : volumes) {
    EXPECT_EQ(AttenuatorFromVolume(volume), attenuator);
    EXPECT_EQ(VolumeFromAttenuator(attenuator), volume);
  }
  EXPECT_EQ(VolumeFromAttenuator(200), 0) << "an attenuator beyond the scale shows silence";
}

}  // namespace
}  // namespace gestalon::core
