// Bills of materials that are large in depth or in breadth: a very deep
// chain explodes on a worker thread's small stack, shared sub-assemblies are
// counted once per use and an explosion too large to hold is refused before
// any material is built, and the save through the façade rolls back.
#include <pthread.h>

#include <functional>

#include "OutsourcingTestSupport.h"
#include "fabrikon/clsVoucherCO.h"
#include "support/NativeSql.h"

namespace fabrikon::testing_outsourcing {
namespace {

constexpr const char* kFailed = "保存委外订单子件失败";

// Runs `work` on a thread of its own whose stack is `bytes` large, as a
// host's worker thread may have; `work` must not throw.
void OnThreadWithStack(size_t bytes, std::function<void()> work) {
#if defined(__SANITIZE_ADDRESS__)
  bytes *= 4;  // instrumented frames are larger; still far below a walk of one frame per level
#endif
  pthread_attr_t attributes;
  ASSERT_EQ(pthread_attr_init(&attributes), 0);
  ASSERT_EQ(pthread_attr_setstacksize(&attributes, bytes), 0);
  pthread_t thread;
  const int created = pthread_create(
      &thread, &attributes,
      [](void* job) -> void* {
        (*static_cast<std::function<void()>*>(job))();
        return nullptr;
      },
      &work);
  pthread_attr_destroy(&attributes);
  ASSERT_EQ(created, 0);
  pthread_join(thread, nullptr);
}

class ExplosionSizeTest : public OutsourcingTest {
 protected:
  // Product `product` (head `first`) whose BOM is `levels` levels deep: the
  // row of each level (per unit 1, no waste) is a sub-assembly whose BOM is
  // the next level, the last one a material D<levels>. Heads and rows share
  // their numbers.
  void AddChain(const std::string& product, int first, int levels) {
    AddHead(first, product);
    const std::string n = std::to_string(levels);
    testsupport::RunNative(db.Path(), "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + n +
           ") INSERT INTO ProductStructures(autoid,iPId,cpscode,ipsquantity,iwasterate,cdepcode,cwhcode,childguid) "
           "SELECT " + std::to_string(first - 1) + " + i, " + std::to_string(first - 1) +
           " + i, 'D' || i, 1, 0, 'D01', 'W01', CASE WHEN i < " + n + " THEN " + std::to_string(first) +
           " + i END FROM n");
  }

  // Product `product` (head `first`) whose every level holds `width` rows of
  // one shared sub-assembly, the next level, `levels` levels deep; the last
  // level's rows are materials.
  void AddShared(const std::string& product, int first, int levels, int width) {
    AddHead(first, product);
    int autoid = first * 10;
    for (int level = 0; level < levels; ++level) {
      for (int i = 0; i < width; ++i) {
        AddRow(++autoid, first + level, "S" + std::to_string(level) + "-" + std::to_string(i), 1, 0,
               level + 1 < levels ? first + level + 1 : 0);
      }
    }
  }

  std::string AfterSave() { return order.VoucherAfterSave(LoadHead(), LoadBody(), conn); }
};

// The depth is written to iblevel, a smallint: 32767 is the deepest chain a
// line can record (a deeper one is refused at the save, as SQL Server
// refuses the value).
TEST_F(ExplosionSizeTest, ThirtyTwoThousandLevelsExplodeOnASmallStack) {
  constexpr int kLevels = 32767;
  AddChain("DEEP", 800001, kLevels);
  AddLine(90011, "DEEP", 2, ",iblevel,bbexpandend", ",1,1");
  const DOMDocumentPtr head = LoadHead(), body = LoadBody();
  std::string result = "not run";
  OnThreadWithStack(256 * 1024, [&] {
    try {
      result = order.VoucherAfterSave(head, body, conn);
    } catch (const std::exception& e) {
      result = std::string("raised: ") + e.what();
    }
  });
  EXPECT_EQ(result, "");
  EXPECT_EQ(Scalar("select iblevel from om_pomain where mainid=90011"), std::to_string(kLevels));
  EXPECT_EQ(Scalar("select count(*) from om_podetails where MainID=90011"), "1");
  EXPECT_EQ(Scalar("select cInvCode from om_podetails where MainID=90011"), "D" + std::to_string(kLevels));
  EXPECT_EQ(Scalar("select fQuantity from om_podetails where MainID=90011"), "2");
}

TEST_F(ExplosionSizeTest, SharedSubAssembliesAreCountedOncePerUse) {
  // Three levels of two shared rows: every path is a material, in depth-first order.
  AddShared("W300", 9301, 3, 2);
  Exec("update ProductStructures set ipsquantity=2, iwasterate=10 where autoid=93012");
  AddLine(90011, "W300", 1, ",bbexpandend", ",1");
  EXPECT_EQ(ExplodeProductLine(90011, "", conn), "93015,93016,93015,93016,93015,93016,93015,93016");
  std::string quantities;
  for (const auto& line : SelectedBomLines()) quantities += NumberText(line->fQuantity()) + " ";
  EXPECT_EQ(quantities, "1 1 1 1 2.2 2.2 2.2 2.2 ");
  EXPECT_EQ(Scalar("select iblevel from om_pomain where mainid=90011"), "3");
}

TEST_F(ExplosionSizeTest, AnExplosionPastAMillionMaterialsIsRefusedNamingTheItem) {
  // 2^21 materials (2,097,152); with 64 levels the count must not wrap round to 0.
  struct Case {
    int levels;
    int width;
  };
  for (const Case& c : {Case{21, 2}, Case{64, 2}, Case{7, 8}}) {
    SCOPED_TRACE(c.levels);
    Exec("delete from ProductStructure; delete from ProductStructures; delete from om_pomain");
    AddShared("WIDE", 9401, c.levels, c.width);
    AddLine(90011, "WIDE", 1, ",bbexpandend", ",1");
    EXPECT_EQ(AfterSave(), std::string("产品 WIDE 的物料清单展开超过1000000行,") + kFailed);
    EXPECT_TRUE(SelectedBomLines().empty());
    EXPECT_EQ(Scalar("select count(*) from om_podetails where MainID=90011"), "0");
  }
}

TEST_F(ExplosionSizeTest, TheRefusedSaveRollsBack) {
  AddShared("WIDE", 9401, 2, 2);
  AddLine(90011, "WIDE", 1, ",bbexpandend", ",1");
  clsVoucherCO co;
  co.Init(login, conn, "om01");
  auto form = Form(DOMDocument::Create(), DOMDocument::Create());
  co.GetVoucherData(form, "", Variant(kOrder));
  Variant curId;
  ASSERT_EQ(co.VoucherSave2(form, 1, curId), "");
  EXPECT_EQ(Scalar("select count(*) from om_podetails where MainID=90011"), "4");

  // The BOM grows to 21 levels of two shared rows.
  Exec("update ProductStructures set childguid=9403 where childguid is null");
  AddShared("NEXT", 9403, 19, 2);
  co.GetVoucherData(form, "", Variant(kOrder));
  form->HeadDOM()->selectSingleNode("//z:row").setAttribute("cmemo", Variant("changed"));
  EXPECT_EQ(co.VoucherSave2(form, 1, curId), std::string("产品 WIDE 的物料清单展开超过1000000行,") + kFailed);
  EXPECT_EQ(Scalar("select isnull(cmemo,'') from om_productpo where id=9001"), "");
  EXPECT_EQ(Scalar("select iblevel from om_pomain where mainid=90011"), "2");
  EXPECT_EQ(Scalar("select count(*) from om_podetails where MainID=90011"), "4");
}

}  // namespace
}  // namespace fabrikon::testing_outsourcing
