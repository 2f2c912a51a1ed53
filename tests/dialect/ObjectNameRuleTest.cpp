// dbo., TempDB.. and sysobjects names.
#include <gtest/gtest.h>

#include "CatalogueSchema.h"
#include "DialectDb.h"

namespace fabrikon::dialect::test {
namespace {

TEST(ObjectNameRule, Golden) {
  EXPECT_EQ(Sql("select case dbo.pp_productpo.iproperty when 1 then 'a' else 'b' end from dbo.pp_productpo"),
            "select case pp_productpo.iproperty when 1 then 'a' else 'b' end from pp_productpo");
  EXPECT_EQ(Sql("SELECT IDOrder FROM TempDB..TMPQX_pp13 ORDER BY IDOrder"),
            "SELECT IDOrder FROM temp.TMPQX_pp13 ORDER BY IDOrder");
  EXPECT_EQ(Sql("select * from tempdb.dbo.x, #work"), "select * from temp.x, temp.\"#work\"");
  EXPECT_EQ(Sql("select x.dbo.y from t x"), "select x.dbo.y from t x");
}

TEST(ObjectNameRule, ThreePartColumnReferenceRuns) {
  DialectDb db;
  db.Native("CREATE TABLE pp_productpo(ccode text COLLATE TSQL, iproperty int, itype int);"
            "INSERT INTO pp_productpo VALUES ('B', 2, 1), ('A', 1, 2)");
  const DialectDb::Rows rows = db.Query(
      "select distinct ccode, case dbo.pp_productpo.iproperty when 1 then '生产订单' else '委外订单' end as "
      "ipropertyname, case dbo.pp_productpo.itype when 1 then '普通订单' else '返工订单' end as itypename from "
      "pp_productpo order by ccode");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"A", "生产订单", "返工订单"}));
}

TEST(ObjectNameRule, SysobjectsListsTablesAndViews) {
  DialectDb db;
  db.Native(kCatalogueSchema);
  EXPECT_EQ(db.Value("select count(*) from sysobjects where name = 'OM_PRODUCTPO' and type = 'U'"), "1");
  EXPECT_EQ(db.Value("select xtype from sysobjects where name = 'v_om_h'"), "V");
}

}  // namespace
}  // namespace fabrikon::dialect::test
