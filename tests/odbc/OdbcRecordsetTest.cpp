// Recordsets through the SQLite ODBC driver: the same field types, sizes and
// values as the embedded connection gives for the same rows, and text of any
// length and script (Chinese, characters beyond the basic plane) unchanged.
#include <gtest/gtest.h>

#include "OdbcTestSupport.h"
#include "fabrikon/modVoucher.h"

namespace fabrikon::odbctest {
namespace {

TEST_F(OdbcTest, FieldsAndValuesAreTheEmbeddedOnes) {
  embedded->Execute(
      "INSERT INTO parts(code, qty, price, rate, flag, small, tiny, big, made, note, fixed) VALUES "
      "(N'螺栓', 2.5, 12.3456, 0.125, 1, -3, 200, 5000000000, '2024-03-10 08:30:00', N'备注', 'ab')");
  embedded->Execute("INSERT INTO parts(code) VALUES ('empty')");
  const std::string query =
      "SELECT id, code, qty, price, rate, flag, small, tiny, big, made, note, fixed, qty * 2 AS twice, "
      "count(*) OVER () AS n, 'k' AS literal FROM parts ORDER BY id";
  RecordsetPtr expected = embedded->Open(query);
  RecordsetPtr actual = odbc->Open(query);
  ASSERT_EQ(actual->FieldCount(), expected->FieldCount());
  for (size_t i = 0; i < expected->FieldCount(); ++i) {
    const FieldInfo& want = expected->Info(i);
    const FieldInfo& got = actual->Info(i);
    SCOPED_TRACE(want.name);
    EXPECT_EQ(got.name, want.name);
    EXPECT_EQ(got.type, want.type);
    EXPECT_EQ(got.definedSize, want.definedSize);
    EXPECT_EQ(got.precision, want.precision);
    EXPECT_EQ(got.numericScale, want.numericScale);
    EXPECT_EQ(got.isAutoIncrement, want.isAutoIncrement);
  }
  ASSERT_EQ(actual->RecordCount(), expected->RecordCount());
  for (; !expected->Eof(); expected->MoveNext(), actual->MoveNext()) {
    for (size_t i = 0; i < expected->FieldCount(); ++i) {
      const Variant& want = expected->Fields(i).Value();
      const Variant& got = actual->Fields(i).Value();
      SCOPED_TRACE(expected->Info(i).name + " = " + (want.IsNull() ? "NULL" : want.ToText()));
      EXPECT_EQ(got.kind(), want.kind());
      EXPECT_EQ(got.IsNull() ? "NULL" : got.ToText(), want.IsNull() ? "NULL" : want.ToText());
    }
  }
  EXPECT_EQ(odbc->Open("SELECT id FROM parts")->Fields("id").Properties("ISAUTOINCREMENT").ToBool(), true);
}

TEST_F(OdbcTest, WideTextRoundTripsUnchanged) {
  std::string longText;
  for (int i = 0; i < 3000; ++i) longText += "中文字";  // longer than one fetch buffer
  const std::vector<std::string> texts = {"生产订单", "𠀀𠀁 beyond the basic plane", "mixed 文字 and 'quotes'",
                                          longText};
  for (size_t i = 0; i < texts.size(); ++i) {
    const std::string code = "w" + std::to_string(i);
    odbc->Execute("INSERT INTO parts(code, note) VALUES ('" + code + "', N" + SqlStr(Variant(texts[i])) + ")");
    RecordsetPtr rows = odbc->Open("SELECT note, len(note) AS n FROM parts WHERE code='" + code + "'");
    ASSERT_FALSE(rows->Eof());
    EXPECT_EQ(rows->Fields("note").Value().ToText(), texts[i]);
    EXPECT_EQ(embedded->Open("SELECT note FROM parts WHERE code='" + code + "'")->Fields(0).Value().ToText(),
              texts[i]);
  }
  // Chinese in the statement text itself reaches the database as such.
  long affected = 0;
  odbc->Execute("UPDATE parts SET code=N'第一' WHERE code='w0'", affected);
  EXPECT_EQ(affected, 1);
  EXPECT_EQ(odbc->Open("SELECT count(*) FROM parts WHERE code=N'第一'")->Fields(0).Value().ToText(), "1");
}

}  // namespace
}  // namespace fabrikon::odbctest
