// Screen formats and fixed items come from the template tables, and the
// rules the schema seeds number their cards.
#include "HostTestDatabase.h"
#include "fabrikon/ComError.h"
#include "host/EmbeddedVoucherFormatService.h"
#include "host/EmbeddedVoucherNumberService.h"

namespace fabrikon::test {
namespace {

class TemplateTest : public HostDatabaseTest {
 protected:
  void SetUp() override {
    HostDatabaseTest::SetUp();
    conn_->Execute(
        "INSERT INTO FabrikonTemplates (VT_ID,CardNumber,cName) VALUES (901,'tst1','测试模板');"
        "INSERT INTO FabrikonTemplateFields (VT_ID,iPart,iOrder,cFieldName,cCaption) VALUES (901,1,1,'cinvcode','存货');"
        "INSERT INTO FabrikonTemplateFields (VT_ID,iPart,iOrder,cFieldName,cCaption) VALUES (901,0,2,'ddate','日期');"
        "INSERT INTO FabrikonTemplateFields (VT_ID,iPart,iOrder,cFieldName,cCaption) VALUES (901,0,1,'ccode','单号');"
        "INSERT INTO FabrikonTemplateFixed (VT_ID,iOrder,cName,cText) VALUES (901,2,'maker','制单人：');"
        "INSERT INTO FabrikonTemplateFixed (VT_ID,iOrder,cName,cText) VALUES (901,1,'title','测试单')");
  }

  static std::vector<std::string> Column(const RecordsetPtr& rs, const std::string& name) {
    std::vector<std::string> values;
    for (; !rs->Eof(); rs->MoveNext()) values.push_back(rs->Fields(name).Value().ToText());
    return values;
  }

  EmbeddedVoucherFormatService service_;
};

TEST_F(TemplateTest, FormatListsHeadFieldsBeforeBodyFieldsInScreenOrder) {
  RecordsetPtr rs = service_.GetFormat(conn_, "TST1", Variant("901"));
  EXPECT_EQ(Column(rs, "cFieldName"), (std::vector<std::string>{"ccode", "ddate", "cinvcode"}));
  EXPECT_EQ(service_.GetFormat(conn_, "tst1", Variant("999"))->RecordCount(), 0);
  EXPECT_EQ(service_.GetFormat(conn_, "tst1", Variant("9' or '1'='1"))->RecordCount(), 0);
}

TEST_F(TemplateTest, FixedItemsAreReadOnTheCallersConnection) {
  RecordsetPtr rs = service_.GetFixed(connectionString_, Variant("901"));
  EXPECT_EQ(Column(rs, "cText"), (std::vector<std::string>{"测试单", "制单人："}));
  EXPECT_THROW(service_.GetFixed(connectionString_ + ";Other=1", Variant("901")), ComError);
}

TEST_F(TemplateTest, SeededRulesNumberTheirCards) {
  EmbeddedVoucherNumberService numbers;
  std::string card = "OM01";
  ASSERT_TRUE(numbers.InitNumbering(connectionString_, card));
  EXPECT_EQ(numbers.GetNumber(numbers.GetRuleXml(), false).substr(0, 2), "WW");
  card = "pp01";
  ASSERT_TRUE(numbers.InitNumbering(connectionString_, card));
  std::string code = numbers.GetNumber(numbers.GetRuleXml(), false);
  EXPECT_EQ(code.size(), 10u);
  EXPECT_EQ(code.find_first_not_of("0123456789"), std::string::npos);
}

}  // namespace
}  // namespace fabrikon::test
