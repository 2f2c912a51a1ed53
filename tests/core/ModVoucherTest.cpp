// Module helpers: the reading, quoting and formatting rules every voucher
// class leans on, with the edge cases that break SQL text or messages.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <thread>
#include <utility>
#include <vector>

#include "fabrikon/ComError.h"
#include "fabrikon/modVoucher.h"

using namespace fabrikon;

namespace {

DOMDocumentPtr Load(const std::string& text) {
  auto doc = DOMDocument::Create();
  EXPECT_TRUE(doc->loadXML(text)) << text;
  return doc;
}

const char* kLoadedHead =
    "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882' "
    "xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><s:Schema id='RowsetSchema'/>"
    "<rs:data><z:row ccode='0000000012' CCode='upper' cmemo='   ' cdepcode=' 01 ' editprop=''/>"
    "<z:row ccode='second'/></rs:data></xml>";

}  // namespace

TEST(ToDbl, ReadsOnlyNumericTexts) {
  EXPECT_EQ(ToDbl(""), 0);
  EXPECT_EQ(ToDbl("abc"), 0);
  EXPECT_EQ(ToDbl("12.5"), 12.5);
  EXPECT_EQ(ToDbl(" 12.5 "), 12.5);  // the numeric test trims blanks
  EXPECT_EQ(ToDbl("   "), 0);
  EXPECT_EQ(ToDbl("12abc"), 0);  // not numeric as a whole, unlike Val
  EXPECT_EQ(ToDbl("-1.5E2"), -150);
  EXPECT_EQ(ToDbl("1e999"), 0);  // beyond a double: not numeric
}

TEST(SqlStr, QuotesTextAndSpellsNull) {
  EXPECT_EQ(SqlStr(Variant::Null()), "NULL");
  EXPECT_EQ(SqlStr(Variant("abc")), "'abc'");
  EXPECT_EQ(SqlStr(Variant("")), "''");
  EXPECT_EQ(SqlStr(Variant()), "''");  // Empty is not NULL
  EXPECT_EQ(SqlStr(Variant(21.0)), "'21'");
  EXPECT_EQ(SqlStr(Variant(true)), "'True'");
}

TEST(SqlStr, DoublesEmbeddedQuotesSoTheLiteralCannotEnd) {
  EXPECT_EQ(SqlStr(Variant("O'Brien")), "'O''Brien'");
  EXPECT_EQ(SqlStr(Variant("x' OR 1=1 --")), "'x'' OR 1=1 --'");
  EXPECT_EQ(SqlStr(Variant("''")), "''''''");
}

TEST(QxtsGuard, DoublesQuotesSoACraftedVersionCannotWidenTheWhere) {
  EXPECT_EQ(QxtsGuard("0.0001"),
            "convert(char, convert(money, qxts), 2)=convert(char, convert(money,'0.0001'), 2)");
  EXPECT_EQ(QxtsGuard("0'), 2) OR 1=1 OR convert(char, convert(money,'0"),
            "convert(char, convert(money, qxts), 2)=convert(char, convert(money,"
            "'0''), 2) OR 1=1 OR convert(char, convert(money,''0'), 2)");
}

TEST(FieldModeRow, PicksLineROrTheFirstRow) {
  DOMDocumentPtr body = Load(kLoadedHead);
  EXPECT_EQ(RowValue(FieldModeRow(body, 2), "CCODE"), "second");
  EXPECT_EQ(RowValue(FieldModeRow(body, 1), "ccode"), "0000000012");
  for (long r : {0L, -1L, 3L}) EXPECT_EQ(RowValue(FieldModeRow(body, r), "ccode"), "0000000012") << r;
  EXPECT_EQ(RowValue(FieldModeRow(body, 1), "cdepcode"), "01");
  EXPECT_TRUE(FieldModeRow(DOMDocument::Create(), 1).IsNothing());
  EXPECT_EQ(RowValue(FieldModeRow(nullptr, 1), "ccode"), "");
}

TEST(NullToEmpty, GivesTextOrNothing) {
  EXPECT_EQ(NullToEmpty(Variant::Null()), "");
  EXPECT_EQ(NullToEmpty(Variant()), "");
  EXPECT_EQ(NullToEmpty(Variant(0.1 + 0.2)), "0.3");
  EXPECT_EQ(NullToEmpty(Variant("a b ")), "a b ");
}

TEST(GetHeadValue, LooksUpTheTrimmedLowerCasedNameOnTheFirstRow) {
  auto doc = Load(kLoadedHead);
  EXPECT_EQ(GetHeadValue(doc, " CCode "), "0000000012");  // finds ccode, not CCode
  EXPECT_EQ(GetHeadValue(doc, "cdepcode"), "01");         // value trimmed
  EXPECT_EQ(GetHeadValue(doc, "cmemo"), "");              // blanks only
  EXPECT_EQ(GetHeadValue(doc, "absent"), "");
  EXPECT_EQ(GetHeadValue(doc, "editprop"), "");
}

TEST(GetHeadValue, RaisesWithoutARowWhileTryGetHeadValueGivesEmpty) {
  auto empty = DOMDocument::Create();
  EXPECT_THROW(GetHeadValue(empty, "ccode"), ComError);
  EXPECT_THROW(GetHeadValue(nullptr, "ccode"), ComError);
  auto noRows = Load("<xml><rs:data/></xml>");
  EXPECT_THROW(GetHeadValue(noRows, "ccode"), ComError);
  EXPECT_EQ(TryGetHeadValue(empty, "ccode"), "");
  EXPECT_EQ(TryGetHeadValue(nullptr, "ccode", 0), "");
  EXPECT_EQ(TryGetHeadValue(Load(kLoadedHead), "CCODE"), "0000000012");
}

TEST(GetHeadValue, ReadsABareRowLikeALoadedOne) {
  auto doc = DOMDocument::Create();
  XmlNode row = doc->createElement("z:row");
  row.setAttribute("ccode", Variant(" 0000000012 "));
  doc->appendChild(row);
  EXPECT_EQ(GetHeadValue(doc, "CCode"), "0000000012");
}

TEST(DateText, KeepsTheDatePart) {
  EXPECT_EQ(DateText("2024-03-05T08:30:00"), "2024-03-05");
  EXPECT_EQ(DateText("2024-03-05"), "2024-03-05");
  EXPECT_EQ(DateText(""), "");
  EXPECT_EQ(DateText("T"), "");
}

TEST(Val, ReadsTheLeadingNumber) {
  EXPECT_EQ(Val(""), 0);
  EXPECT_EQ(Val("abc"), 0);
  EXPECT_EQ(Val("12abc"), 12);
  EXPECT_EQ(Val("  -3.5kg"), -3.5);
  EXPECT_EQ(Val("1 2 3"), 123);  // blanks are skipped anywhere
  EXPECT_EQ(Val("1.2.3"), 1.2);
  EXPECT_EQ(Val(".5"), 0.5);
  EXPECT_EQ(Val("-.5"), -0.5);
  EXPECT_EQ(Val("--7"), 0);
  EXPECT_EQ(Val("1e3x"), 1000);
  EXPECT_EQ(Val("1D2"), 100);
  EXPECT_EQ(Val("1e"), 1);
  EXPECT_EQ(Val("1e+"), 1);
  EXPECT_EQ(Val("1e-400"), 0);
  EXPECT_EQ(Val("0.000"), 0);
  EXPECT_EQ(Val("12."), 12);
  EXPECT_EQ(Val("-12.75"), -12.75);
  EXPECT_EQ(Val("0.1"), 0.1);
  EXPECT_EQ(Val("-3.5-2"), -3.5);
}

TEST(Val, RaisesOnOverflow) {
  try {
    Val("1e400");
    FAIL() << "no overflow";
  } catch (const ComError& e) {
    EXPECT_EQ(e.Number(), ErrorNumber::Overflow);
  }
}

TEST(IsNumeric, AcceptsTheClassicNumberForms) {
  for (const char* yes : {"0", "12", "-12", "+12", "1.", ".5", "-.5", " 12 ", "1e5", "1E-05", "1d2", "\t3\t"})
    EXPECT_TRUE(IsNumeric(yes)) << yes;
  for (const char* no : {"", " ", ".", "-", "+", "1e", "e5", "1 2", "12abc", "1,000", "1.2.3", "--1", "1e400",
                         "abc", "0x10"})
    EXPECT_FALSE(IsNumeric(no)) << no;
}

TEST(FormatNumber, FollowsThePatterns) {
  EXPECT_EQ(FormatNumber(0, "#"), "");
  EXPECT_EQ(FormatNumber(0.4, "#"), "");
  EXPECT_EQ(FormatNumber(0.5, "#"), "1");
  EXPECT_EQ(FormatNumber(2.5, "#"), "3");  // half away from zero, not to even
  EXPECT_EQ(FormatNumber(-2.5, "#"), "-3");
  EXPECT_EQ(FormatNumber(0.5, "#.00"), ".50");
  EXPECT_EQ(FormatNumber(0, "#.00"), ".00");
  EXPECT_EQ(FormatNumber(12.345, "#.00"), "12.35");
  EXPECT_EQ(FormatNumber(1.005, "#.00"), "1.01");  // rounds the decimal text, not the binary value
  EXPECT_EQ(FormatNumber(9.999, "#.00"), "10.00");
  EXPECT_EQ(FormatNumber(-99999.9999, "0.00"), "-100000.00");  // the carry adds a digit
  EXPECT_EQ(FormatNumber(0.96, "#.0"), "1.0");
  EXPECT_EQ(FormatNumber(123456789012345678.0, "0.0"), "123456789012346000.0");  // 15 significant digits
  EXPECT_EQ(FormatNumber(-0.5, "#.00"), "-.50");
  EXPECT_EQ(FormatNumber(-0.001, "#.00"), ".00");  // no sign on a rounded zero
  EXPECT_EQ(FormatNumber(0.5, "0.00"), "0.50");
  EXPECT_EQ(FormatNumber(0.125, "0.00"), "0.13");
  EXPECT_EQ(FormatNumber(0.1234565, "0.000000"), "0.123457");
  EXPECT_EQ(FormatNumber(1e20, "#"), "100000000000000000000");
  EXPECT_EQ(FormatNumber(0.0005, "#.000"), ".001");
  EXPECT_EQ(FormatNumber(1.5, "0.##"), "1.5");
  EXPECT_EQ(FormatNumber(21, ""), "21");
  EXPECT_EQ(FormatDate(DateTime{987, 12, 31, 13, 4, 5}), "0987-12-31");
}

TEST(FormatNumber, RejectsUnknownPatterns) {
  // Alternating with valid patterns: a pattern read before never stands in for another.
  EXPECT_EQ(FormatNumber(1, "0.00"), "1.00");
  EXPECT_THROW(FormatNumber(1, "#,##0.00"), ComError);
  EXPECT_THROW(FormatNumber(1, "#,##0.00"), ComError);
  EXPECT_EQ(FormatNumber(1, "0.00"), "1.00");
  EXPECT_EQ(FormatNumber(1, "0.0"), "1.0");
  EXPECT_THROW(FormatNumber(1, "abc"), ComError);
}

// No statement may carry a number that is not finite: turning one into SQL
// text fails as SQL Server fails such float arithmetic.
TEST(NumbersInSqlText, InfiniteOrNaNValuesRaiseTheFloatOverflow) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<std::pair<const char*, std::function<std::string(double)>>> helpers = {
      {"NumberText", [](double v) { return NumberText(v); }},
      {"SqlStr", [](double v) { return SqlStr(Variant(v)); }},
  };
  for (const auto& [name, helper] : helpers) {
    for (double value : {inf, -inf, nan, inf - inf, 1e308 * 10}) {
      SCOPED_TRACE(std::string(name) + " " + std::to_string(value));
      try {
        const std::string text = helper(value);
        ADD_FAILURE() << "written as " << text;
      } catch (const ComError& e) {
        EXPECT_EQ(e.Number(), static_cast<int32_t>(0x80040E07));
        EXPECT_EQ(e.Description(), "Arithmetic overflow error converting expression to data type float.");
      }
    }
    EXPECT_EQ(helper(1e308), std::string(name) == "SqlStr" ? "'1E+308'" : "1E+308");
    EXPECT_EQ(helper(-2.5), std::string(name) == "SqlStr" ? "'-2.5'" : "-2.5");
  }
}

TEST(ModuleSettings, QuantityFormatFollowsDecimals) {
  SetQuantityDecimals(0);
  EXPECT_EQ(QuantityDecimals(), 0);
  EXPECT_EQ(QuantityFormat(), "#");
  SetQuantityDecimals(3);
  EXPECT_EQ(QuantityFormat(), "#.000");
  EXPECT_EQ(FormatNumber(2.5, QuantityFormat()), "2.500");
  SetQuantityDecimals(-1);
  EXPECT_EQ(QuantityFormat(), "#");
  SetQuantityDecimals(2);
}

TEST(ModuleSettings, EachThreadHasItsOwnCopy) {
  SetQuantityDecimals(4);
  GetRealNo() = true;
  int16_t otherDecimals = -1;
  std::string otherFormat;
  bool otherRealNo = true;
  std::thread other([&] {
    otherDecimals = QuantityDecimals();
    otherFormat = QuantityFormat();
    otherRealNo = GetRealNo();
    SetQuantityDecimals(6);
  });
  other.join();
  EXPECT_EQ(otherDecimals, 0);  // a thread that never ran Init has no decimals
  EXPECT_EQ(otherFormat, "");  // and no format: its quantities are used as they are
  EXPECT_FALSE(otherRealNo);
  EXPECT_EQ(QuantityDecimals(), 4);
  GetRealNo() = false;
  SetQuantityDecimals(2);
}
