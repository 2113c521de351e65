#include "settings/settings_fields.h"

#include <gtest/gtest.h>

namespace gestalon::core {
namespace {

TEST(FieldReader, ReadsNumericAndTextFieldsAfterTheKey) {
  FieldReader fields(u"_POSITION:[12]-[-3]-[[a-b:[c] d]]-[0.25]\r", u"_POSITION:");
  ASSERT_TRUE(fields.KeyFound());
  EXPECT_EQ(fields.NextInt(), 12);
  EXPECT_EQ(fields.NextInt(), -3);
  EXPECT_EQ(fields.NextText(), u"a-b:[c] d");
  EXPECT_DOUBLE_EQ(fields.NextDouble(), 0.25);
  EXPECT_EQ(fields.NextField(), u"") << "past the last field";
}

TEST(FieldReader, KeyIsFoundAnywhereAndCaseSensitively) {
  EXPECT_TRUE(FieldReader(u"xx SLDINI:[[s.ini]]", u"SLDINI:").KeyFound());
  EXPECT_FALSE(FieldReader(u"sldini:[[s.ini]]", u"SLDINI:").KeyFound());
  FieldReader missing(u"OTHER:[5]", u"KEY:");
  EXPECT_EQ(missing.NextInt(), 0);
  EXPECT_EQ(missing.NextText(), u"");
}

TEST(FieldReader, KeyTextInsideATextFieldIsNotTheKey) {
  FieldReader fields(u"_AXISNAME:[[my _NUMBER:[7] axis]]-_NUMBER:[3]", u"_NUMBER:");
  ASSERT_TRUE(fields.KeyFound());
  EXPECT_EQ(fields.NextInt(), 3);
  EXPECT_FALSE(FieldReader(u"DEFPOS:[[AXISENABLE:[1]]]", u"AXISENABLE:").KeyFound());
  EXPECT_TRUE(FieldReader(u"X:[[unclosed AXISENABLE:[1]", u"AXISENABLE:").KeyFound());
}

TEST(FieldReader, MissingBracketsGiveEmptyFields) {
  FieldReader noBrackets(u"SYSINI:\r", u"SYSINI:");
  EXPECT_EQ(noBrackets.NextText(), u"");
  FieldReader unclosed(u"KEY:[12-[3]", u"KEY:");
  EXPECT_EQ(unclosed.NextField(), u"12-[3");
  FieldReader openOnly(u"KEY:[[name]-[2]", u"KEY:");
  EXPECT_EQ(openOnly.NextText(), u"");
  EXPECT_EQ(openOnly.NextInt(), 0) << "a field without its brackets ends the line";
}

TEST(FieldReader, CommaGroups) {
  FieldReader fields(u"_FONT:[[MS UI Gothic]]-[255,0,16]-[]", u"_FONT:");
  EXPECT_EQ(fields.NextText(), u"MS UI Gothic");
  EXPECT_EQ(fields.NextGroup(), (std::vector<std::u16string_view>{u"255", u"0", u"16"}));
  EXPECT_EQ(fields.NextGroup(), std::vector<std::u16string_view>{u""});
}

}  // namespace
}  // namespace gestalon::core
