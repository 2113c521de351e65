#include "flowchart/operand_checks.h"

#include <gtest/gtest.h>

#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/utf.h"

namespace gestalon::core {
namespace {

TEST(OperandChecks, ConstantMustBeANumberThatFitsTheFirstVariable) {
  const std::u16string notNumber = LoadText(TextId::kMsgConstNotNumber);
  const std::u16string over1 = LoadText(TextId::kMsgConstOver1Byte);
  const std::u16string over2 = LoadText(TextId::kMsgConstOver2Byte);
  const struct {
    std::u16string_view text;
    std::uint32_t varSize;
    std::u16string message;  // empty: accepted with `value`
    std::int32_t value;
  } cases[] = {
      {u"0x1f -", 2, {}, 31},  // the digits end at the first other character
      {u"0xFF", 1, notNumber, 0},
      {u"0x1", 1, {}, 1},
      {u"0x", 1, notNumber, 0},
      {u"０ｘ１ｆ", 1, {}, 31},  // full-width digits, x and a-f count as ASCII
      {u"０Ｘ１", 1, notNumber, 0},
      {u"255", 1, {}, 255},
      {u"-128", 1, {}, -128},
      {u"256", 1, over1, 0},
      {u"-129", 1, over1, 0},
      {u"0x100", 1, over1, 0},
      {u"65535", 2, {}, 65535},
      {u"-32768", 2, {}, -32768},
      {u"65536", 2, over2, 0},
      {u"-32769", 2, over2, 0},
      {u"0x100000001", 2, over2, 0},  // saturates rather than wraps to a small number
      {u"-2147483648", 4, {}, INT32_MIN},
      {u"0xffffffff", 4, {}, -1},
      {u"", 1, {}, 0},
  };
  for (const auto& c : cases) {
    std::int32_t value = 0;
    EXPECT_EQ(CheckBlockConstant(c.text, c.varSize, value), c.message) << ToUtf8(c.text);
    EXPECT_EQ(value, c.value) << ToUtf8(c.text);
  }
}

TEST(OperandChecks, ConstantFieldTextByNumberStyleAndSize) {
  const struct {
    std::int32_t value;
    std::uint32_t varSize;
    bool hexadecimal;
    std::u16string_view text;
  } cases[] = {
      {-5, 1, false, u"-5"},
      {255, 1, true, u"0xff"},
      {7, 4, true, u"0x00000007"},
      {-1, 2, true, u"0xffffffff"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BlockConstantText(c.value, c.varSize, c.hexadecimal), c.text) << c.value;
  }
}

}  // namespace
}  // namespace gestalon::core
