// List data of the list screens against the demo plant: show-all and paged
// mode, the page rules, totals of the whole filtered list, the statements
// sent, the failures, and the default columns of every card.
#include "ListTestSupport.h"

namespace fabrikon::listtest {
namespace {

const std::vector<std::string> kAllRows = {"SC000001|1|30", "SC000001|2|20", "SC000002|3|15", "SC000003|4|5",
                                           "SC000004|5|10"};

TEST_F(ListTest, ShowAllListsTheWholeFilteredView) {
  ASSERT_TRUE(All()) << errMsg;
  EXPECT_EQ(RowsOf(list), kAllRows);
  EXPECT_EQ(RowsOf(sum), std::vector<std::string>{"80"});
  EXPECT_EQ(recordCount, 5);
  EXPECT_EQ(pageCount, -1);
  EXPECT_EQ(Sent().back(), "SELECT sum(fquantity) AS fquantity FROM v_pp25_list");

  ASSERT_TRUE(All(" WHERE isnull(cclose,'')=''")) << errMsg;
  EXPECT_EQ(recordCount, 4);
  EXPECT_EQ(RowsOf(sum), std::vector<std::string>{"75"});
  // No order columns: no ORDER BY.
  columns->OrderList("");
  ASSERT_TRUE(All(" WHERE mainid=3")) << errMsg;
  EXPECT_EQ(Sent().end()[-2], " SELECT ccode,mainid,fquantity FROM v_pp25_list WHERE mainid=3");
}

TEST_F(ListTest, PagesFollowThePageRules) {
  struct Case {
    long page;
    std::vector<std::string> rows;
  };
  const std::vector<Case> cases = {
      {1, {kAllRows[0], kAllRows[1]}}, {2, {kAllRows[2], kAllRows[3]}}, {3, {kAllRows[4]}},
      {4, {kAllRows[4]}},              {99, {kAllRows[4]}},             {0, {kAllRows[0], kAllRows[1]}},
      {-3, {kAllRows[0], kAllRows[1]}},
  };
  for (const Case& c : cases) {
    pageCount = -1;
    ASSERT_TRUE(Page(c.page, 2)) << errMsg;
    EXPECT_EQ(RowsOf(list), c.rows) << "page " << c.page;
    EXPECT_EQ(RowsOf(sum), std::vector<std::string>{"80"}) << "totals cover every page";
    EXPECT_EQ(recordCount, 5);
    EXPECT_EQ(pageCount, 3);
  }
  EXPECT_EQ(Sent(), (std::vector<std::string>{
                             "IF EXISTS (SELECT * FROM tempdb..sysobjects WHERE name = 'TMPQX_pp25' AND type='U') "
                             "DROP TABLE TempDB..TMPQX_pp25",
                             "SELECT IDENTITY(int,1,1) AS IDOrder,ccode,mainid,fquantity INTO TempDB..TMPQX_pp25 "
                             "FROM v_pp25_list ORDER BY ccode,mainid",
                             "create index IX_IDOrder ON TempDB..TMPQX_pp25(idorder)",
                             "SELECT IDOrder FROM TempDB..TMPQX_pp25 ORDER BY IDOrder",
                             " SELECT ccode,mainid,fquantity FROM TempDB..TMPQX_pp25 WHERE IdOrder  >= 1 AND "
                             "IDOrder <= 2 ORDER BY IdOrder",
                             "SELECT sum(fquantity) AS fquantity FROM TempDB..TMPQX_pp25",
                         }));
}

TEST_F(ListTest, AnEmptyPagedListKeepsThePageCount) {
  pageCount = 7;
  ASSERT_TRUE(Page(1, 2, " WHERE 1=0")) << errMsg;
  EXPECT_TRUE(RowsOf(list).empty());
  EXPECT_EQ(recordCount, 0);
  EXPECT_EQ(pageCount, 7);
  EXPECT_EQ(Sent()[4],
            " SELECT ccode,mainid,fquantity FROM TempDB..TMPQX_pp25 WHERE IdOrder  >= 0 AND IDOrder <= 0 ORDER BY "
            "IdOrder");
}

TEST_F(ListTest, FiltersWithQuotesWorkInPagedMode) {
  // An empty literal is sent with a blank between its quotes...
  ASSERT_TRUE(Page(1, 10, " WHERE isnull(cclose,'')='' AND ccode<>N''")) << errMsg;
  EXPECT_EQ(Sent()[1],
            "SELECT IDENTITY(int,1,1) AS IDOrder,ccode,mainid,fquantity INTO TempDB..TMPQX_pp25 FROM v_pp25_list "
            "WHERE isnull(cclose,' ')=' ' AND ccode<>N' ' ORDER BY ccode,mainid");
  EXPECT_EQ(recordCount, 4);
  // ...while an escaped quote inside a value stays part of that value.
  conn->Execute("UPDATE pp_productpo SET ccode='O''Brien' WHERE id=2");
  ASSERT_TRUE(Page(1, 10, " WHERE ccode='O''Brien'")) << errMsg;
  EXPECT_EQ(RowsOf(list), std::vector<std::string>{"O'Brien|3|15"});
  EXPECT_EQ(RowsOf(sum), std::vector<std::string>{"15"});
}

// A column set without totals (an empty or blank sum list) lists the rows
// and sends no totals statement; rstRetSum is null. The list statements stay
// those of a list with totals.
TEST_F(ListTest, AnEmptySumListGivesNoTotals) {
  struct Case {
    bool showAll;
    std::string sumList;
  };
  const std::vector<Case> cases = {{true, ""}, {false, ""}, {true, "  "}, {false, "  "}};
  for (const Case& c : cases) {
    SCOPED_TRACE((c.showAll ? "show-all, sum list \"" : "paged, sum list \"") + c.sumList + "\"");
    columns->SumList(c.sumList);
    sum = std::make_shared<Recordset>(std::vector<FieldInfo>{}, std::vector<std::vector<Variant>>{});  // a stale one
    ASSERT_TRUE(c.showAll ? All() : Page(2, 2)) << errMsg;
    EXPECT_EQ(errMsg, "");
    EXPECT_EQ(sum, nullptr);
    EXPECT_EQ(RowsOf(list), (c.showAll ? kAllRows : std::vector<std::string>{kAllRows[2], kAllRows[3]}));
    EXPECT_EQ(recordCount, 5);
    const std::vector<std::string> sent = Sent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back(), c.showAll ? " SELECT ccode,mainid,fquantity FROM v_pp25_list ORDER BY ccode,mainid"
                                     : " SELECT ccode,mainid,fquantity FROM TempDB..TMPQX_pp25 WHERE IdOrder  >= 3 "
                                       "AND IDOrder <= 4 ORDER BY IdOrder");
    EXPECT_EQ(sent.size(), c.showAll ? 1u : 5u);
  }
  // Through the one-value form too.
  columns->SumList("");
  const VchListPage page = co.GetVchListPage(columns, " WHERE mainid<3", 0);
  EXPECT_TRUE(page.bOk) << page.strErrMsg;
  EXPECT_EQ(page.rstRetSum, nullptr);
  EXPECT_EQ(RowsOf(page.rstRetList), (std::vector<std::string>{kAllRows[0], kAllRows[1]}));
}

// A condition written without its leading blank still follows the view's
// name as a condition, not as part of the name.
TEST_F(ListTest, AConditionWithoutItsLeadingBlankStillFilters) {
  for (const std::string where : {"WHERE mainid<3", " WHERE mainid<3", "\tWHERE mainid<3"}) {
    SCOPED_TRACE(where);
    const VchListPage page = co.GetVchListPage(columns, where, 0);
    EXPECT_TRUE(page.bOk) << page.strErrMsg;
    EXPECT_EQ(RowsOf(page.rstRetList), (std::vector<std::string>{kAllRows[0], kAllRows[1]}));
  }
}

TEST_F(ListTest, FailuresAnswerFalseWithTheReason) {
  columns->SumList("sum(ccode) AS ccode");
  for (bool showAll : {true, false}) {
    errMsg.clear();
    EXPECT_FALSE(co.GetVchListData(columns, list, sum, "", errMsg, showAll, recordCount, 2, pageCount, 1));
    EXPECT_EQ(errMsg, "不能选择非数值型项目作为合计列！");
  }
  columns->SumList("sum(fquantity) AS f");
  columns->SelectList("nosuchcolumn");
  EXPECT_FALSE(All());
  EXPECT_NE(errMsg.find("nosuchcolumn"), std::string::npos) << errMsg;
  EXPECT_FALSE(co.GetVchListData(nullptr, list, sum, "", errMsg, true, recordCount, 0, pageCount, 0));
  EXPECT_FALSE(errMsg.empty());
  // A card number that cannot name a table is refused before any SQL.
  co.Init(login, conn, "pp25;x");
  columns->SelectList("ccode");
  EXPECT_FALSE(Page(1, 2));
  for (const std::string& text : conn->texts) EXPECT_EQ(text.find("TMPQX"), std::string::npos) << text;
}

TEST_F(ListTest, EveryPagedStatementNamesTheSessionsOwnTable) {
  struct Case {
    std::string suffix;
    std::string table;  // as the statements name it after "TempDB.."
  };
  const std::vector<Case> cases = {{"", "TMPQX_pp25"}, {"_53", "TMPQX_pp25_53"}, {"_1207", "TMPQX_pp25_1207"}};
  for (const Case& c : cases) {
    conn->sessionSuffix = c.suffix;
    ASSERT_TRUE(Page(2, 2)) << c.suffix << ": " << errMsg;
    EXPECT_EQ(RowsOf(list), (std::vector<std::string>{kAllRows[2], kAllRows[3]})) << c.suffix;
    EXPECT_EQ(RowsOf(sum), std::vector<std::string>{"80"}) << c.suffix;
    const std::string t = "TempDB.." + c.table;
    EXPECT_EQ(Sent(), (std::vector<std::string>{
                          "IF EXISTS (SELECT * FROM tempdb..sysobjects WHERE name = '" + c.table +
                              "' AND type='U') DROP TABLE " + t,
                          "SELECT IDENTITY(int,1,1) AS IDOrder,ccode,mainid,fquantity INTO " + t +
                              " FROM v_pp25_list ORDER BY ccode,mainid",
                          "create index IX_IDOrder ON " + t + "(idorder)",
                          "SELECT IDOrder FROM " + t + " ORDER BY IDOrder",
                          " SELECT ccode,mainid,fquantity FROM " + t + " WHERE IdOrder  >= 3 AND IDOrder <= 4 ORDER BY IdOrder",
                          "SELECT sum(fquantity) AS fquantity FROM " + t,
                      }))
        << c.suffix;
  }
  // A suffix that is no plain name part (an unresolved "@@SPID") makes no table at all.
  conn->sessionSuffix = "_@@SPID";
  EXPECT_FALSE(Page(1, 2));
  for (const std::string& text : conn->texts) EXPECT_EQ(text.find("TMPQX"), std::string::npos) << text;
}

// Two sessions page one card at once, the second one's whole call running
// between two statements of the first one's. The SQLite ODBC driver keeps
// temporary tables per connection and reports no suffix, so each connection
// here reports one of its own, as two server sessions report their ids: the
// tables each call makes must be the suffixed ones, and neither call may see
// the other's rows, totals or table.
TEST(ListSessionTest, TwoOdbcSessionsPagingOneCardKeepTheirOwnRows) {
  struct Case {
    std::string after;  // the first session's statement after which the second pages
  };
  const std::vector<Case> cases = {{"IF EXISTS"}, {"SELECT IDENTITY"}, {"create index"}, {"SELECT IDOrder"}};
  testsupport::DemoDatabase db;
  // PostgreSQL keeps temporary tables per session too.
  const std::string connection =
      testsupport::TestsUsePg() ? db.ConnectionString() : testsupport::OdbcConnectionString(db.Path());
  auto a = std::make_shared<testsupport::RecordingConnection>(OpenConnection(connection));
  auto b = std::make_shared<testsupport::RecordingConnection>(OpenConnection(connection));
  a->sessionSuffix = "_1";
  b->sessionSuffix = "_2";
  auto login = std::make_shared<EmbeddedLoginInfo>(DateTime{2024, 3, 10}, "李娜", "lina");
  clsVoucherCO coA, coB;
  coA.Init(login, a, "pp25");
  coB.Init(login, b, "pp25");
  auto columns =
      std::make_shared<EmbeddedColumnSet>("ccode,mainid,fquantity", "sum(fquantity) AS fquantity", "ccode,mainid");
  for (const Case& c : cases) {
    RecordsetPtr listA, sumA, listB, sumB;
    std::string errA, errB;
    long countA = -1, countB = -1, pagesA = -1, pagesB = -1;
    bool okB = false, ranB = false;
    a->afterEach = [&](const std::string& text) {
      if (ranB || text.rfind(c.after, 0) != 0) return;
      ranB = true;
      okB = coB.GetVchListData(columns, listB, sumB, " WHERE mainid>=3", errB, false, countB, 2, pagesB, 1);
    };
    const bool okA = coA.GetVchListData(columns, listA, sumA, " WHERE mainid<=2", errA, false, countA, 2, pagesA, 1);
    a->afterEach = nullptr;
    ASSERT_TRUE(ranB) << c.after;
    ASSERT_TRUE(okA) << c.after << ": " << errA;
    ASSERT_TRUE(okB) << c.after << ": " << errB;
    EXPECT_EQ(RowsOf(listA), (std::vector<std::string>{kAllRows[0], kAllRows[1]})) << c.after;
    EXPECT_EQ(RowsOf(sumA), std::vector<std::string>{"50"}) << c.after;
    EXPECT_EQ(countA, 2) << c.after;
    EXPECT_EQ(RowsOf(listB), (std::vector<std::string>{kAllRows[2], kAllRows[3]})) << c.after;
    EXPECT_EQ(RowsOf(sumB), std::vector<std::string>{"30"}) << c.after;
    EXPECT_EQ(countB, 3) << c.after;
    EXPECT_EQ(pagesB, 2) << c.after;
    // Each session's table holds its own filtered list after both calls.
    EXPECT_EQ(RowsOf(a->Open("SELECT count(*) FROM TempDB..TMPQX_pp25_1", adOpenStatic, adLockReadOnly,
                             adUseClient)),
              std::vector<std::string>{"2"});
    EXPECT_EQ(RowsOf(b->Open("SELECT count(*) FROM TempDB..TMPQX_pp25_2", adOpenStatic, adLockReadOnly,
                             adUseClient)),
              std::vector<std::string>{"3"});
  }
}

TEST_F(ListTest, EveryCardListsWithItsDefaultColumns) {
  RecordsetPtr cards = conn->Open("SELECT DISTINCT CardNumber FROM FabrikonListColumns ORDER BY CardNumber",
                                  adOpenStatic, adLockReadOnly, adUseClient);
  std::vector<std::string> listed;
  for (; !cards->Eof(); cards->MoveNext()) {
    const std::string card = cards->Fields(size_t{0}).Value().ToText();
    listed.push_back(card);
    co.Init(login, conn, card);
    columns = EmbeddedColumnSet::ForCard(conn, card);
    ASSERT_TRUE(All()) << card << ": " << errMsg;
    const long all = recordCount;
    EXPECT_EQ(RowsOf(sum).size(), 1u) << card;
    ASSERT_TRUE(Page(1, 3)) << card << ": " << errMsg;
    EXPECT_EQ(recordCount, all) << card;
    EXPECT_EQ(RowsOf(list).size(), static_cast<size_t>(std::min(all, 3L))) << card;
  }
  EXPECT_EQ(listed.size(), 14u);
  EXPECT_EQ(EmbeddedColumnSet::ForCard(conn, "pp01")->SumList(), "sum(imqty) AS imqty");
  EXPECT_EQ(EmbeddedColumnSet::ForCard(conn, "pp01")->OrderList(), "cfcid,autoid");
  EXPECT_EQ(EmbeddedColumnSet::ForCard(conn, "zz99")->SelectList(), "");
}

}  // namespace
}  // namespace fabrikon::listtest
