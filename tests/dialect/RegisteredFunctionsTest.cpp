// What RegisterFunctions installs: the TSQL collation, the strict sum, LIKE
// with T-SQL patterns, and the conversions' text forms.
#include <gtest/gtest.h>

#include "CatalogueSchema.h"
#include "DialectDb.h"
#include "data/dialect/TSqlCollation.h"
#include "data/dialect/TSqlConversions.h"
#include "data/dialect/TSqlLike.h"
#include "data/dialect/TranslationCache.h"

namespace fabrikon::dialect::test {
namespace {

TEST(TSqlCollation, CaseAndTrailingBlanksDoNotCount) {
  EXPECT_EQ(TSqlCollation::Compare("PP13", "pp13"), 0);
  EXPECT_EQ(TSqlCollation::Compare("abc", "abc   "), 0);
  EXPECT_EQ(TSqlCollation::Compare("", "  "), 0);
  EXPECT_EQ(TSqlCollation::Compare("Ärger", "ärger "), 0);
  EXPECT_EQ(TSqlCollation::Compare("ΑΒΓ", "αβγ"), 0);
  EXPECT_EQ(TSqlCollation::Compare("ПЛАН", "план"), 0);
  EXPECT_EQ(TSqlCollation::Compare("ＡＢ", "ab"), 0);  // full-width letters
  EXPECT_EQ(TSqlCollation::Compare("Ŀ", "ŀ"), 0);
}

TEST(TSqlCollation, OrderIsConsistent) {
  EXPECT_LT(TSqlCollation::Compare("a", "B"), 0);
  EXPECT_GT(TSqlCollation::Compare("b", "A"), 0);
  EXPECT_LT(TSqlCollation::Compare("abc", "abcd"), 0);
  EXPECT_GT(TSqlCollation::Compare("abc", "abc\t"), 0);  // a tab sorts below the padding blank
  EXPECT_NE(TSqlCollation::Compare("e", "é"), 0);         // accents count
  EXPECT_LT(TSqlCollation::Compare("委外", "生产"), 0);
  EXPECT_NE(TSqlCollation::Compare("\xff\xfe", "x"), 0);  // invalid UTF-8 still compares
}

TEST(TSqlCollation, DistinctAndOrderByFollowTheCollation) {
  DialectDb db;
  db.Native("CREATE TABLE t(c text COLLATE TSQL); INSERT INTO t VALUES ('b'), ('A'), ('a '), ('B')");
  EXPECT_EQ(db.Value("select count(distinct c) from t"), "2");
  EXPECT_EQ(TSqlCollation::Compare(db.Query("select c from t order by c").front().front(), "a"), 0);
}

TEST(StrictSum, FailsOnTextWithTheConversionError) {
  DialectDb db;
  db.Native(kCatalogueSchema);
  db.Native("INSERT INTO om_productpo(id, ccode) VALUES (1, 'a'), (2, 'b')");
  try {
    db.Value("SELECT sum(ccode) as ccode FROM om_productpo");
    ADD_FAILURE() << "sum over text accepted";
  } catch (const ComError& e) {
    EXPECT_EQ(e.Number(), ErrorNumber::CantConvertValue);
    EXPECT_EQ(e.Description().rfind("conversion failed", 0), 0u) << e.Description();
  }
  // The raw code the connection sees.
  sqlite3_stmt* stmt = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db.Handle(), "select sum(ccode) from om_productpo", -1, &stmt, nullptr), SQLITE_OK);
  EXPECT_EQ(sqlite3_step(stmt), SQLITE_MISMATCH);
  sqlite3_finalize(stmt);
}

TEST(StrictSum, AddsNumbersAsSQLiteDoes) {
  DialectDb db;
  db.Native("CREATE TABLE t(i int, r float); INSERT INTO t VALUES (1, 0.5), (2, NULL), (NULL, 0.25)");
  EXPECT_EQ(db.Value("select sum(i) from t"), "3");
  EXPECT_EQ(db.Value("select sum(r) from t"), "0.75");
  EXPECT_EQ(db.Value("select sum(i) from t where 1=0"), "NULL");
  EXPECT_EQ(db.Value("select avg(i) from t"), "1.5");
  EXPECT_EQ(db.Query("select sum(i) over (order by i rows between 1 preceding and current row) from t where i is "
                     "not null order by i")
                .back()
                .front(),
            "3");
  EXPECT_THROW(db.Value("select sum(x) from (select 9223372036854775807 as x union all select 1)"), ComError);
}

TEST(TSqlLike, Patterns) {
  EXPECT_TRUE(TSqlLike::Match("WW%", "ww0001"));
  EXPECT_TRUE(TSqlLike::Match("_b%", "abc"));
  EXPECT_TRUE(TSqlLike::Match("[a-c]x", "Bx"));
  EXPECT_FALSE(TSqlLike::Match("[^a-c]x", "bx"));
  EXPECT_TRUE(TSqlLike::Match("%[%]%", "50%"));
  EXPECT_TRUE(TSqlLike::Match("a!%", "a%", U'!'));
  EXPECT_FALSE(TSqlLike::Match("a!%", "ab", U'!'));
  EXPECT_TRUE(TSqlLike::Match("%订单", "生产订单"));
  EXPECT_FALSE(TSqlLike::Match("abc", "abcd"));
  EXPECT_TRUE(TSqlLike::Match("%a%b%c%", "xxaxxbxxcxx"));
}

TEST(TSqlLike, IsTheLikeOperatorOfTheConnection) {
  DialectDb db;
  EXPECT_EQ(db.Value("select case when 'PP13' like 'pp[0-9]_' then 1 else 0 end"), "1");
  EXPECT_EQ(db.Value("select case when 'a_b' like 'a\\_b' escape '\\' then 1 else 0 end"), "1");
}

TEST(TSqlConversions, NumberAndMoneyTexts) {
  EXPECT_EQ(TSqlConversions::FormatNumber(21.0), "21");
  EXPECT_EQ(TSqlConversions::FormatNumber(0.1 + 0.2), "0.3");
  EXPECT_EQ(TSqlConversions::FormatNumber(1e-05), "1E-05");
  EXPECT_EQ(TSqlConversions::FormatNumber(-3), "-3");
  EXPECT_EQ(TSqlConversions::FormatMoney(2001, 2), "0.2001");
  EXPECT_EQ(TSqlConversions::FormatMoney(-12345678, 1), "-1,234.57");
  EXPECT_EQ(TSqlConversions::FormatMoney(99995, 0), "10.00");
  int64_t units = 0;
  EXPECT_TRUE(TSqlConversions::ParseMoney(" 0.2001 ", units));
  EXPECT_EQ(units, 2001);
  EXPECT_FALSE(TSqlConversions::ParseMoney("1x", units));
  double value = 0;
  EXPECT_TRUE(TSqlConversions::ParseNumber(".50", value));
  EXPECT_FALSE(TSqlConversions::ParseNumber("", value));
  EXPECT_FALSE(TSqlConversions::ParseNumber("1e", value));
}

TEST(TSqlConversions, DayNumbers) {
  EXPECT_EQ(TSqlConversions::DayNumber(1900, 1, 1), 0);
  EXPECT_EQ(TSqlConversions::DayNumber(2008, 1, 14), 39459);
  const DateTime d = TSqlConversions::FromDayNumber(39459);
  EXPECT_EQ(d.year * 10000 + d.month * 100 + d.day, 20080114);
  EXPECT_EQ(TSqlConversions::CanonicalDate(TSqlConversions::FromSerial(1.5)), "1900-01-02 12:00:00");
}

// tsql_as of quoted digits (a key compared with an int column): the short
// plain ones, which skip the parsing, give what the parsed ones give.
TEST(TsqlAs, QuotedDigitsBecomeIntegers) {
  struct Case {
    const char* call;
    const char* value;  // "value type", or the error message
  };
  const Case cases[] = {
      {"tsql_as('50001', 'int', 'varchar', 1)", "50001 integer"},
      {"tsql_as('007', 'int', 'varchar', 1)", "7 integer"},
      {"tsql_as('0', 'bigint', 'varchar')", "0 integer"},
      {"tsql_as('999999999', 'int', 'varchar', 1)", "999999999 integer"},
      {"tsql_as('2147483647', 'int', 'varchar', 1)", "2147483647 integer"},  // ten digits: parsed
      {"tsql_as(' 12 ', 'int', 'varchar', 1)", "12 integer"},
      {"tsql_as('-12', 'int', 'varchar', 1)", "-12 integer"},
      {"tsql_as('', 'int', 'varchar', 1)", "0 integer"},
      {"tsql_as('300', 'tinyint', 'varchar', 1)",
       "The conversion of the varchar value '300' overflowed an tinyint column. Use a larger integer column."},
      {"tsql_as('2147483648', 'int', 'varchar', 1)",
       "The conversion of the varchar value '2147483648' overflowed an int column. Use a larger integer column."},
      {"tsql_as('12a', 'int', 'varchar', 1)", "12a text"},  // lenient: not a number, left as it is
      {"tsql_as('12a', 'int', 'varchar')", "Conversion failed when converting the varchar value '12a' to data type int."},
      {"tsql_as('12', 'float', 'varchar')", "12.0 real"},
  };
  DialectDb db;
  for (const Case& c : cases) {
    sqlite3_stmt* stmt = nullptr;
    const std::string sql = std::string("select ") + c.call + ", typeof(" + c.call + ")";
    ASSERT_EQ(sqlite3_prepare_v2(db.Handle(), sql.c_str(), -1, &stmt, nullptr), SQLITE_OK) << sql;
    std::string got;
    if (sqlite3_step(stmt) == SQLITE_ROW) {
      got = std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))) + " " +
            reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1));
    } else {
      got = sqlite3_errmsg(db.Handle());
    }
    sqlite3_finalize(stmt);
    EXPECT_EQ(got, c.value) << c.call;
  }
}

TEST(TranslationCache, KeepsTheMostRecentlyUsed) {
  TranslationCache cache(2);
  auto entry = std::make_shared<const std::vector<TranslatedStatement>>();
  cache.Insert("a", entry);
  cache.Insert("b", entry);
  EXPECT_NE(cache.Find("a"), nullptr);  // a is now the most recent
  cache.Insert("c", entry);
  EXPECT_EQ(cache.Find("b"), nullptr);
  EXPECT_NE(cache.Find("a"), nullptr);
  EXPECT_NE(cache.Find("c"), nullptr);
  EXPECT_EQ(cache.size(), 2u);
}

TEST(TranslationCache, RepeatedBatchGivesTheSameTranslation) {
  const std::string batch = "select top 3 a from t where b = ''";
  EXPECT_EQ(TranslateBatch(batch)[0].sql, TranslateBatch(batch)[0].sql);
  EXPECT_THROW(TranslateBatch("select ("), ComError);
  EXPECT_THROW(TranslateBatch("select ("), ComError);  // failures are not remembered as successes
}

}  // namespace
}  // namespace fabrikon::dialect::test
