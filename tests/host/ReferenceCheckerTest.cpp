// Reference checks against the archives of a real embedded database: valid
// codes and names hand their partner back through domReturn, unknown ones
// give a message, and free items follow the item's settings.
#include "HostTestDatabase.h"
#include "host/EmbeddedReferenceChecker.h"

namespace fabrikon::test {
namespace {

class ReferenceCheckerTest : public HostDatabaseTest {
 protected:
  void SetUp() override {
    HostDatabaseTest::SetUp();
    conn_->Execute(
        "INSERT INTO Department (cdepcode,cdepname) VALUES ('T01','测试一部');"
        "INSERT INTO Person (cpersoncode,cpersonname) VALUES ('TP1','张测试');"
        "INSERT INTO Vendor (cvencode,cvenname) VALUES ('TV1','测试供应商');"
        "INSERT INTO PayCondition (cpaycode,cpayname) VALUES ('TPC','月结测试');"
        "INSERT INTO ShippingChoice (csccode,cscname) VALUES ('TSC','测试发运');"
        "INSERT INTO Warehouse (cwhcode,cwhname) VALUES ('TW1','测试仓');"
        "INSERT INTO Operator (coperatorcode,coperatorname) VALUES ('TO1','王测试');"
        "INSERT INTO pp_workcenter (wccode,wcname) VALUES ('TWC','测试中心');"
        "INSERT INTO pp_operation (opcode,opname) VALUES ('TOP','测试工序');"
        "INSERT INTO inventory (cinvcode,cinvname,bfree1,bfree2,bfree3) VALUES ('TINV','测试件',1,0,1);"
        "DELETE FROM FreeItemDefinition WHERE ifreeno IN (2,3);"
        "INSERT INTO FreeItemDefinition (ifreeno,cfreename) VALUES (3,'尺码');"
        "DELETE FROM FreeItemValue WHERE ifreeno IN (1,3);"
        "INSERT INTO FreeItemValue (ifreeno,cvalue) VALUES (3,'大');"
        "INSERT INTO FreeItemValue (ifreeno,cvalue) VALUES (3,'小')");
  }

  std::string Head(const std::string& item, const Variant& value) {
    std::string message = "stale";
    checker_.CheckHeadReference(item, value, domReturn_, conn_, "", message);
    return message;
  }

  std::string Body(const std::string& item, const Variant& value, const std::string& invCode) {
    std::string message = "stale";
    checker_.CheckBodyReference(item, value, domReturn_, conn_, invCode, message);
    return message;
  }

  std::string Returned(const std::string& attribute) {
    if (!domReturn_) return "<no document>";
    XmlNode row = domReturn_->selectSingleNode("//z:row");
    return row.IsNothing() ? "<no row>" : NullToEmpty(row.getAttribute(attribute));
  }

  static std::string NullToEmpty(const Variant& v) { return v.IsNull() ? "<absent>" : v.ToText(); }

  EmbeddedReferenceChecker checker_;
  DOMDocumentPtr domReturn_;
};

struct ArchiveCase {
  const char* codeItem;
  const char* nameItem;  // "" when the archive is checked by code only
  const char* code;
  const char* name;
  const char* nameAttribute;
};

TEST_F(ReferenceCheckerTest, EveryArchiveAcceptsItsCodesAndNamesAndReturnsThePartner) {
  const ArchiveCase cases[] = {
      {"cdepcode", "cdepname", "T01", "测试一部", "cdepname"},
      {"cpersoncode", "cpersonname", "TP1", "张测试", "cpersonname"},
      {"cvencode", "cvenname", "TV1", "测试供应商", "cvenname"},
      {"cpaycode", "cpayname", "TPC", "月结测试", "cpayname"},
      {"csccode", "cscname", "TSC", "测试发运", "cscname"},
      {"cinvcode", "cinvname", "TINV", "测试件", "cinvname"},
      {"cwhcode", "cwhname", "TW1", "测试仓", "cwhname"},
      {"wccode", "wcname", "TWC", "测试中心", "wcname"},
      {"opcode", "opname", "TOP", "测试工序", "opname"},
      {"operator", "", "TO1", "王测试", "coperatorname"},
  };
  for (const ArchiveCase& c : cases) {
    SCOPED_TRACE(c.codeItem);
    domReturn_.reset();
    EXPECT_EQ(Head(c.codeItem, c.code), "");
    EXPECT_EQ(Returned(c.codeItem), c.code);
    EXPECT_EQ(Returned(c.nameAttribute), c.name);
    if (*c.nameItem) {
      domReturn_.reset();
      EXPECT_EQ(Head(c.nameItem, c.name), "");
      EXPECT_EQ(Returned(c.codeItem), c.code);
    }
  }
}

TEST_F(ReferenceCheckerTest, UnknownValueGivesAMessageAndLeavesDomReturnAlone) {
  EXPECT_EQ(Head("cDepCode", "ZZ9"), "[cDepCode]部门[ZZ9]不存在，请检查！");
  EXPECT_EQ(domReturn_, nullptr);
  EXPECT_EQ(Head("cvenname", "无此供应商"), "[cvenname]供应商[无此供应商]不存在，请检查！");
  EXPECT_EQ(Head("cdepcode", "T0'1"), "[cdepcode]部门[T0'1]不存在，请检查！");
}

TEST_F(ReferenceCheckerTest, CodesCompareWithoutCaseAndTheArchiveSpellingComesBack) {
  EXPECT_EQ(Head("cdepcode", " t01 "), "");
  EXPECT_EQ(Returned("cdepcode"), "T01");
}

TEST_F(ReferenceCheckerTest, EmptyValueIsValidAndClearsThePartner) {
  EXPECT_EQ(Head("cdepcode", ""), "");
  EXPECT_EQ(Returned("cdepname"), "");
  EXPECT_EQ(Head("cpersonname", Variant::Null()), "");
  EXPECT_EQ(Returned("cpersoncode"), "");
}

TEST_F(ReferenceCheckerTest, ItemsWithoutAnArchivePass) {
  EXPECT_EQ(Head("rptcode", "whatever"), "");
  EXPECT_EQ(Body("cinvcode", "whatever", "TINV"), "");
}

TEST_F(ReferenceCheckerTest, ReturnedValuesGoIntoTheRowDomReturnAlreadyHolds) {
  domReturn_ = DOMDocument::Create();
  domReturn_->appendChild(domReturn_->createElement("z:row")).setAttribute("fquantity", "21");
  EXPECT_EQ(Head("cwhname", "测试仓"), "");
  EXPECT_EQ(domReturn_->selectNodes("//z:row").length(), 1);
  EXPECT_EQ(Returned("fquantity"), "21");
  EXPECT_EQ(Returned("cwhcode"), "TW1");
}

TEST_F(ReferenceCheckerTest, FreeItemsFollowTheItemsSettings) {
  // Enabled without a value list: any text.
  EXPECT_EQ(Body("cfree1", "红", "TINV"), "");
  // Not enabled for the item.
  EXPECT_EQ(Body("CFree2", "红", "tinv"), "[CFree2]存货[tinv]没有启用自由项2，不能录入，请检查！");
  // Enabled with a value list: only listed values.
  EXPECT_EQ(Body("cfree3", "大", "TINV"), "");
  EXPECT_EQ(Body("cfree3", "中", "TINV"), "[cfree3]尺码[中]不存在，请检查！");
  // Clearing a free item is left to the save check.
  EXPECT_EQ(Body("cfree2", "", "TINV"), "");
  EXPECT_EQ(Body("cfree1", "红", "NOINV"), "[cfree1]存货[NOINV]不存在，请检查！");
  EXPECT_EQ(Body("cfree1", "红", ""), "[cfree1]请先录入存货！");
  EXPECT_EQ(domReturn_, nullptr);
}

}  // namespace
}  // namespace fabrikon::test
