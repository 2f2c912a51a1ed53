// The statement builders of saving on real table metadata: the exact
// statement texts, the literal of each column type and the error box of a
// value that cannot be converted.
#include "SaveTestSupport.h"

namespace fabrikon::savetest {
namespace {

class StatementBuilders : public SaveTest {
 protected:
  XmlNode Row(const std::string& attributes) {
    document = DOMDocument::Create();
    EXPECT_TRUE(document->loadXML("<xml><rs:data><z:row " + attributes + "/></rs:data></xml>"));
    return document->selectSingleNode("//z:row");
  }
  std::string Literal(const std::string& table, const std::string& column, const std::string& value) {
    RecordsetPtr rs = conn->Open("SELECT * FROM " + table + " WHERE 1=0");
    return ConvertFieldByType(rs->Fields(column), value);
  }
  DOMDocumentPtr document;
};

TEST_F(StatementBuilders, InsertUpdateAndDeleteTexts) {
  XmlNode row = Row(R"(id="5" ccode="W'1" cmemo="x" qxts=" 0.2001 " editprop="M")");
  EXPECT_EQ(InsertSQL(conn, row, "om_productpo", "id", ""),
            " IF NOT EXISTS (SELECT id FROM om_productpo WHERE id='5') INSERT INTO om_productpo(id,ccode,cmemo)"
            " Values (5,'W''1','x')");
  EXPECT_EQ(InsertSQL(conn, row, "om_productpo", "id", "ccode"),
            " IF NOT EXISTS (SELECT id FROM om_productpo WHERE ccode='W''1' or id='5')  INSERT INTO "
            "om_productpo(id,ccode,cmemo) Values (5,'W''1','x')");
  EXPECT_EQ(UpdateSQL(conn, row, "om_productpo", "id"),
            " Update om_productpo Set ccode ='W''1',cmemo ='x' WHERE  id= 5 AND "
            "CONVERT(CHAR,Convert(MONEY,qxts),2)=CONVERT(CHAR,Convert(MONEY,'0.2001'),2)");
  EXPECT_EQ(UpdateSQL(conn, Row(R"(isosid="5" id="1" cinvcode="X")"), "SO_SODetails", "id"),
            " Update SO_SODetails Set cinvcode ='X' WHERE  id= 1");  // identity skipped, no guard
  EXPECT_EQ(DeleteSQL(Row(R"(mainid=" 7 ")"), "om_pomain", "MainID"), " DELETE FROM om_pomain WHERE MainID= 7");
}

TEST_F(StatementBuilders, UnquotedKeysMustBeNumbers) {
  for (const char* key : {"7 or 1=1", "", "7;", "1e", "--1", "0x10"}) {
    const XmlNode row = Row(std::string("mainid=\"") + key + "\"");
    try {
      DeleteSQL(row, "om_pomain", "mainid");
      ADD_FAILURE() << key;
    } catch (const ComError& e) {
      EXPECT_EQ(e.Number(), ErrorNumber::TypeMismatch) << key;
    }
  }
  EXPECT_EQ(SqlNumber("-1.5E+3", "x"), "-1.5E+3");
}

TEST_F(StatementBuilders, LookupsAnswerTextOrNothing) {
  EXPECT_EQ(MaxValue("om_pomain", "mainid", conn), "3");
  EXPECT_EQ(LookupValue("om_productpo", "id", "ccode", "WW000002", conn), "2");
  EXPECT_EQ(LookupValue("om_productpo", "id", "ccode", "x' or '1'='1", conn), "");
}

TEST_F(StatementBuilders, LiteralsByColumnType) {
  EXPECT_EQ(Literal("om_pomain", "fquantity", ""), "0");
  EXPECT_EQ(Literal("om_pomain", "fquantity", " 12.50 "), "12.5");
  EXPECT_EQ(Literal("om_pomain", "fquantity", "1E-05"), "0.00001");
  EXPECT_EQ(Literal("om_productpo", "ihlevel", "3"), "3");
  EXPECT_EQ(Literal("om_pomain", "idatafrom", ""), "NULL");
  EXPECT_EQ(Literal("om_pomain", "idatafrom", "42"), "42");
  EXPECT_EQ(Literal("om_pomain", "cmemo", "  "), "NULL");
  EXPECT_EQ(Literal("om_pomain", "cmemo", "O'Brien "), "'O''Brien '");
  for (const char* no : {"", " ", "0", "FALSE", "false", "否"}) {
    EXPECT_EQ(Literal("om_pomain", "bbexpandend", no), "0");
  }
  for (const char* yes : {"1", "True", "是"}) EXPECT_EQ(Literal("om_pomain", "bbexpandend", yes), "1");
  EXPECT_EQ(Literal("om_pomain", "dstartdate", "2024-03-05T08:00:00"), "'2024-03-05'");
  EXPECT_EQ(Literal("om_pomain", "dstartdate", "2024-3-5"), "'2024-03-05'");
  EXPECT_EQ(Literal("om_pomain", "dstartdate", "5 March"), "NULL");
  EXPECT_TRUE(MessageBox::TakeErrors().empty());
}

TEST_F(StatementBuilders, UnconvertibleValuesShowTheErrorBox) {
  EXPECT_EQ(Literal("om_pomain", "fquantity", "12; drop table om_pomain"), "");
  EXPECT_EQ(Literal("om_pomain", "qxts", "1"), "");  // a type without a rule
  const std::vector<std::string> errors = MessageBox::TakeErrors();
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0], "Public:ConvertFieldByType\r\n13Type mismatch");
  EXPECT_EQ(errors[1].rfind("Public:ConvertFieldByType\r\n" + std::to_string(ErrorNumber::NoCurrentRecord), 0), 0u)
      << errors[1];
}

}  // namespace
}  // namespace fabrikon::savetest
