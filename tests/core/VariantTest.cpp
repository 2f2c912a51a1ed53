// Variant and DateTime: the classic text conversions that documents and SQL
// text are built from, and the date forms the database and documents use.
#include <gtest/gtest.h>

#include <cmath>

#include "fabrikon/ComError.h"
#include "fabrikon/Variant.h"

using namespace fabrikon;

TEST(FormatDouble, WritesTheClassicNumberText) {
  EXPECT_EQ(FormatDouble(21.0), "21");
  EXPECT_EQ(FormatDouble(0.1 + 0.2), "0.3");
  EXPECT_EQ(FormatDouble(69.3), "69.3");
  EXPECT_EQ(FormatDouble(23.1 * 3), "69.3");
  EXPECT_EQ(FormatDouble(1e-5), "1E-05");
  EXPECT_EQ(FormatDouble(0.0001), "0.0001");
  EXPECT_EQ(FormatDouble(123456789012345.0), "123456789012345");
  EXPECT_EQ(FormatDouble(1e15), "1E+15");
  EXPECT_EQ(FormatDouble(-0.0), "0");
  EXPECT_EQ(FormatDouble(1.0 / 3), "0.333333333333333");
}

TEST(VariantText, ConvertsEachKind) {
  EXPECT_EQ(Variant().ToText(), "");
  EXPECT_EQ(Variant::Null().ToText(), "");
  EXPECT_EQ(Variant(true).ToText(), "True");
  EXPECT_EQ(Variant(false).ToText(), "False");
  EXPECT_EQ(Variant(-7LL).ToText(), "-7");
  EXPECT_EQ(Variant(21.0).ToText(), "21");
  EXPECT_EQ(Variant("abc").ToText(), "abc");
  EXPECT_EQ(Variant(DateTime{2024, 3, 5}).ToText(), "2024-03-05");
  EXPECT_EQ(Variant(DateTime{2024, 3, 5, 8, 0, 9}).ToText(), "2024-03-05 08:00:09");
}

TEST(VariantKinds, NullAndEmptyAreDistinct) {
  const Variant empty, null = Variant::Null();
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_FALSE(empty.IsNull());
  EXPECT_TRUE(null.IsNull());
  EXPECT_FALSE(null == empty);
  const Variant number(1), text("1");
  EXPECT_TRUE(number.IsNumeric());
  EXPECT_FALSE(text.IsNumeric());
}

TEST(VariantNumbers, ReadTextWithVal) {
  EXPECT_EQ(Variant("12.5kg").ToDouble(), 12.5);
  EXPECT_EQ(Variant("abc").ToDouble(), 0);
  EXPECT_EQ(Variant::Null().ToDouble(), 0);
  EXPECT_EQ(Variant(true).ToDouble(), 1);
  EXPECT_EQ(Variant(DateTime{1900, 1, 1}).ToDouble(), 2);
  EXPECT_EQ(Variant(DateTime{2000, 1, 1, 12, 0, 0}).ToDouble(), 36526.5);
}

TEST(VariantNumbers, ToIntRoundsHalfToEvenAndRaisesOnOverflow) {
  EXPECT_EQ(Variant(2.5).ToInt(), 2);
  EXPECT_EQ(Variant(3.5).ToInt(), 4);
  EXPECT_EQ(Variant(-2.5).ToInt(), -2);
  EXPECT_EQ(Variant("7.6").ToInt(), 8);
  EXPECT_EQ(Variant(9007199254740993LL).ToInt(), 9007199254740993LL);  // integers are not routed through double
  EXPECT_THROW(Variant(1e30).ToInt(), ComError);
  EXPECT_THROW(Variant(std::nan("")).ToInt(), ComError);
}

TEST(VariantBool, AcceptsWordsAndNumbers) {
  EXPECT_TRUE(Variant("True").ToBool());
  EXPECT_TRUE(Variant(" true ").ToBool());
  EXPECT_FALSE(Variant("False").ToBool());
  EXPECT_TRUE(Variant("1").ToBool());
  EXPECT_FALSE(Variant("0").ToBool());
  EXPECT_FALSE(Variant::Null().ToBool());
}

TEST(DateTimeParse, AcceptsTheDatabaseAndDocumentForms) {
  DateTime d;
  ASSERT_TRUE(DateTime::Parse("2024-03-05", d));
  EXPECT_EQ(d, (DateTime{2024, 3, 5}));
  ASSERT_TRUE(DateTime::Parse("2024-03-05T08:30:15", d));
  EXPECT_EQ(d, (DateTime{2024, 3, 5, 8, 30, 15}));
  ASSERT_TRUE(DateTime::Parse("2024-03-05 08:30:15.997", d));
  EXPECT_EQ(d, (DateTime{2024, 3, 5, 8, 30, 15}));
  ASSERT_TRUE(DateTime::Parse("2024/3/5", d));
  EXPECT_EQ(d, (DateTime{2024, 3, 5}));
  ASSERT_TRUE(DateTime::Parse("2024-02-29", d));
  EXPECT_EQ(d.ToIsoText(), "2024-02-29T00:00:00");
}

TEST(DateTimeText, IsoTextPadsEveryPartAsThePrintfFormatDoes) {
  const struct {
    DateTime date;
    const char* text;
  } cases[] = {
      {{2024, 3, 5, 8, 30, 15}, "2024-03-05T08:30:15"}, {{1899, 12, 30}, "1899-12-30T00:00:00"},
      {{9999, 12, 31, 23, 59, 59}, "9999-12-31T23:59:59"}, {{0, 1, 1}, "0000-01-01T00:00:00"},
      {{7, 9, 9, 9, 9, 9}, "0007-09-09T09:09:09"},
      // Out of the usual ranges (never from the database): the format's own text.
      {{10000, 1, 1}, "10000-01-01T00:00:00"}, {{-5, 1, 1}, "-005-01-01T00:00:00"},
      {{2024, 100, 1}, "2024-100-01T00:00:00"}, {{2024, 1, 1, -1, 0, 0}, "2024-01-01T-1:00:00"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.date.ToIsoText(), c.text) << c.text;
}

TEST(DateTimeParse, RejectsImpossibleDatesAndLeavesTheTargetAlone) {
  DateTime d{2000, 1, 2};
  for (const char* bad : {"", "2023-02-29", "2024-13-01", "2024-04-31", "2024-1-5x", "2024-03-05T25:00:00",
                          "2024-03-05T10:60", "2024-03/05", "24-03-05", "abc", "2024-03-05TT10:00:00"})
    EXPECT_FALSE(DateTime::Parse(bad, d)) << bad;
  EXPECT_EQ(d, (DateTime{2000, 1, 2}));
}
