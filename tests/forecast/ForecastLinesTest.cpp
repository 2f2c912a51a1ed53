// Forecast lines carry their head's code: saved through the façade with a
// code of letters or of leading zeros, loaded back with their head, and kept
// with their head when an older database file is upgraded.
#include <filesystem>

#include "ForecastTestSupport.h"
#include "data/HostDatabase.h"
#include "data/SchemaScripts.h"
#include "data/SqliteConnection.h"

namespace fabrikon::forecasttest {
namespace {

TEST_F(ForecastTest, LinesKeepTheCodeOfTheirHead) {
  for (const std::string code : {"YC0004", "0000000005"}) {
    ASSERT_TRUE(form->HeadDOM()->loadXML("<xml><rs:data><z:row cfcid=\"" + code +
                                         "\" dplandate=\"2024-03-10\"/></rs:data></xml>"));
    ASSERT_TRUE(form->BodyDOM()->loadXML(
        "<xml><rs:data><z:row cinvcode=\"P100\" imqty=\"10\" editprop=\"A\"/>"
        "<z:row cinvcode=\"P200\" imqty=\"20\" editprop=\"A\"/></rs:data></xml>"));
    Variant curId;
    ASSERT_EQ(co.VoucherSave2(form, 2, curId), "") << code;
    EXPECT_EQ(Scalar("SELECT count(*) FROM pp_forecastdetail WHERE cfcid=" + SqlStr(Variant(code))), "2");
    Load(code);
    EXPECT_EQ(form->BodyDOM()->selectNodes("//z:row[@cfcid='" + code + "']").length(), 2) << code;
  }
  EXPECT_EQ(Scalar("SELECT count(*) FROM v_pp01_list WHERE cfcid='0000000005' AND cinvcode IS NOT NULL"), "2");
}

TEST(ForecastSchemaUpgrade, LinesOfAnOlderFileFindTheCodeOfTheirHead) {
  if (testsupport::TestsUsePg()) GTEST_SKIP() << "upgrades an embedded database file of an older version";
  const std::string path = testsupport::TempPath("upgrade");
  {
    std::shared_ptr<SqliteConnection> old = SqliteConnection::Connect(HostDatabase::ConnectionStringFor(path), SqliteConnection::Missing::Create);
    for (const SchemaScript& script : SchemaScripts()) {
      if (script.version <= 4) old->ExecuteNative(script.text);
    }
    old->ExecuteNative(
        "PRAGMA user_version=4;"
        "INSERT INTO PP_ForecastMain (cFCID, bMRP) VALUES ('0000000007', 0), ('AB12', 0);"
        "INSERT INTO pp_forecastdetail (cfcid, autoid, cinvcode, imqty) VALUES "
        "(7, 1, 'P100', 5), ('AB12', 2, 'P200', 6), (99, 3, 'P100', 7);");
  }
  {
    ConnectionPtr conn = OpenConnection(HostDatabase::ConnectionStringFor(path));
    RecordsetPtr rs = conn->Open("SELECT cfcid FROM v_pp01_l ORDER BY autoid", adOpenStatic, adLockReadOnly);
    std::vector<std::string> codes;
    for (; !rs->Eof(); rs->MoveNext()) codes.push_back(rs->Fields(size_t{0}).Value().ToText());
    EXPECT_EQ(codes, (std::vector<std::string>{"0000000007", "AB12", "99"}));
    RecordsetPtr type = conn->Open("SELECT cfcid FROM pp_forecastdetail WHERE autoid=1", adOpenStatic,
                                   adLockReadOnly);
    EXPECT_NE(type->Fields("cfcid").Type(), AdoType::Integer);
  }
  testsupport::RemoveDatabase(path);
}

}  // namespace
}  // namespace fabrikon::forecasttest
