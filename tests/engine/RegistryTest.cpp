// The host entry points without COM: creating public classes by ProgID or
// CLSID, asking for interfaces by IID, and the C interface of the façade
// driving the demo database.
#include "EngineTestSupport.h"
#include "fabrikon/ClassRegistry.h"
#include "fabrikon/clsSCDDOrder.h"
#include "fabrikon/fabrikon_c.h"

namespace fabrikon::enginetest {
namespace {

TEST(ClassRegistry, CreatesTheFacadeByProgIdOrClsid) {
  for (const char* name : {"FABRIKON.clsVoucherCO", "fabrikon.clsvoucherco", "{AA219276-CC99-4CCE-837C-E8831494A171}",
                           "aa219276-cc99-4cce-837c-e8831494a171"}) {
    ComObjectPtr object = ClassRegistry::CreateObject(name);
    EXPECT_EQ(object->Class().className, "clsVoucherCO") << name;
    EXPECT_EQ(object->Class().interfaceName, "_clsVoucherCO");
    std::shared_ptr<clsVoucherCO> co = object->QueryInterface<clsVoucherCO>();
    ASSERT_TRUE(co) << name;
    EXPECT_FALSE(co->Bof());
  }
}

TEST(ClassRegistry, EveryCreationIsANewInstance) {
  auto a = ClassRegistry::Create<clsVoucherCO>("FABRIKON.clsVoucherCO");
  auto b = ClassRegistry::Create<clsVoucherCO>("FABRIKON.clsVoucherCO");
  EXPECT_NE(a, b);
}

TEST(ClassRegistry, TheProductionOrderIsAPublicClass) {
  auto order = ClassRegistry::Create<clsSCDDOrder>("{F00098BC-F5F9-46C4-9085-A8A42B74A0FD}");
  ASSERT_TRUE(order);
  EXPECT_STREQ(order->ClassName(), "clsSCDDOrder");
}

TEST(ClassRegistry, InterfacesAreCheckedByIid) {
  ComObjectPtr object = ClassRegistry::CreateObject("FABRIKON.clsVoucherCO");
  EXPECT_TRUE(object->QueryInterface("{2808CE93-E99F-4E15-91A8-420119D2C8D6}"));
  EXPECT_TRUE(object->QueryInterface(InterfaceId::IUnknown));
  EXPECT_TRUE(object->QueryInterface(InterfaceId::IDispatch));
  EXPECT_EQ(ErrorNumberOf([&] { object->QueryInterface(InterfaceOf<clsSCDDOrder>::iid); }),
            ErrorNumber::NoInterface);
  EXPECT_EQ(ErrorNumberOf([&] { object->QueryInterface<clsSCDDOrder>(); }), ErrorNumber::NoInterface);
}

TEST(ClassRegistry, UnknownAndUnbuiltClassesAreNotRegistered) {
  EXPECT_EQ(ErrorNumberOf([] { ClassRegistry::CreateObject("FABRIKON.clsNothing"); }),
            ErrorNumber::ClassNotRegistered);
  EXPECT_EQ(ErrorNumberOf([] { ClassRegistry::CreateObject("{00000000-0000-0000-0000-000000000000}"); }),
            ErrorNumber::ClassNotRegistered);
  EXPECT_EQ(ErrorNumberOf([] { ClassRegistry::CreateObject(""); }), ErrorNumber::ClassNotRegistered);
}

TEST(ClassRegistry, ListsTheFivePublicClassesOfTheTypeLibrary) {
  EXPECT_EQ(TypeLibrary::Name, "FABRIKON");
  EXPECT_EQ(TypeLibrary::MajorVersion, 5);
  EXPECT_EQ(TypeLibrary::MinorVersion, 0);
  EXPECT_EQ(TypeLibrary::LibId, "{59A8BF68-7931-43C9-BFB8-CD8A2BB1E969}");
  ASSERT_EQ(ClassRegistry::Classes().size(), 5u);
  const ClassInfo* link = ClassRegistry::FindByProgId("FABRIKON.clsRefLink");
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->clsid, "{28414472-0497-4CCF-97F7-A6ABAFC29749}");
  EXPECT_EQ(ClassRegistry::FindByClsid("{560881ed-7287-4ba4-a148-7e6376dd7bd8}")->className, "clsWWSCDDOrder");
}

// --- The C interface ------------------------------------------------------------------

class CInterface : public ::testing::Test {
 protected:
  void SetUp() override { co = fabrikon_co_create(); }
  void TearDown() override { fabrikon_co_destroy(co); }
  std::string Head(const char* field) {
    const char* xml = nullptr;
    EXPECT_EQ(fabrikon_co_get_head_xml(co, &xml), 0);
    DOMDocumentPtr head = DOMDocument::Create();
    head->loadXML(xml);
    return TryGetHeadValue(head, field);
  }
  DemoDatabase db;
  fabrikon_voucher_co* co = nullptr;
};

TEST_F(CInterface, LoadsMovesAndNumbers) {
  int answer = -1;
  ASSERT_EQ(fabrikon_co_init(co, db.ConnectionString().c_str(), "pp25", "demo", "演示", "2024-03-10", &answer), 0)
      << fabrikon_co_last_error(co);
  EXPECT_EQ(answer, 0);
  ASSERT_EQ(fabrikon_co_get_voucher_data(co, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(Head("id"), "4");
  int eof = 0;
  fabrikon_co_eof(co, &eof);
  EXPECT_EQ(eof, 1);
  ASSERT_EQ(fabrikon_co_move(co, FABRIKON_MOVE_FIRST), 0);
  EXPECT_EQ(Head("id"), "1");
  int bof = 0;
  fabrikon_co_bof(co, &bof);
  EXPECT_EQ(bof, 1);

  const char* number = nullptr;
  const char* errMsg = nullptr;
  ASSERT_EQ(fabrikon_co_get_voucher_no(co, 0, &number, &errMsg), 0);
  EXPECT_EQ(std::string(number).rfind("SC", 0), 0u);
  EXPECT_STREQ(errMsg, "");

  const char* values[8] = {};
  ASSERT_EQ(fabrikon_co_voucher_parameter(co, values), 0);
  EXPECT_STREQ(values[0], "pp_productpo");
  EXPECT_STREQ(values[7], "ccode");
  const char* vtid = nullptr;
  fabrikon_co_default_vtid(co, &vtid);
  EXPECT_STREQ(vtid, "25");
}

TEST_F(CInterface, ErrorsComeBackAsNumbersWithADescription) {
  const char* result = nullptr;
  EXPECT_EQ(fabrikon_co_default_vtid(co, &result), ErrorNumber::ObjectNotSet);  // before init
  EXPECT_STRNE(fabrikon_co_last_error(co), "");
  int answer = 0;
  ASSERT_EQ(fabrikon_co_init(co, db.ConnectionString().c_str(), "pp17", "demo", "演示", nullptr, &answer), 0);
  EXPECT_STREQ(fabrikon_co_last_error(co), "");
  EXPECT_EQ(fabrikon_co_call(co, "VoucherConfirm", &result), ErrorNumber::ObjectNotSet);
  EXPECT_EQ(fabrikon_co_call(co, "NoSuchOperation", &result), ErrorNumber::NotSupported);
  EXPECT_NE(fabrikon_co_set_head_xml(co, "<not xml"), 0);
  EXPECT_NE(fabrikon_co_init(co, db.ConnectionString().c_str(), "pp25", "demo", "演示", "not a date", &answer), 0);
  EXPECT_EQ(fabrikon_co_move(nullptr, FABRIKON_MOVE_NEXT), ErrorNumber::ObjectNotSet);
}

TEST_F(CInterface, DocumentsCanBeReplacedAndForwarded) {
  int answer = 0;
  ASSERT_EQ(fabrikon_co_init(co, db.ConnectionString().c_str(), "pp25", "demo", "演示", "2024-03-10", &answer), 0);
  ASSERT_EQ(fabrikon_co_get_voucher_data(co, "", "2", ""), 0);
  EXPECT_EQ(Head("ccode"), "SC000002");
  ASSERT_EQ(fabrikon_co_set_head_xml(co, "<z:row id=\"9\" ccode=\"X\"/>"), 0);
  EXPECT_EQ(Head("ccode"), "X");
  const char* result = nullptr;
  EXPECT_EQ(fabrikon_co_call(co, "VoucherAllowNew", &result), 0) << fabrikon_co_last_error(co);
  EXPECT_STREQ(result, "");
}

}  // namespace
}  // namespace fabrikon::enginetest
