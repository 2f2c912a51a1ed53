// The reference link: the query and captions of every filter field and
// report, what the window's answers do, the reuse of the window, and the
// filter window that receives the link.
#include "ListTestSupport.h"
#include "fabrikon/ClassRegistry.h"
#include "fabrikon/clsRefLink.h"
#include "fabrikon/host/EmbeddedFilterService.h"
#include "fabrikon/host/EmbeddedRefReport.h"
#include "fabrikon/host/EmbeddedRefWindow.h"

namespace fabrikon::listtest {
namespace {

const std::string kOrderCaptions = "订单编号,订单日期,订单类型,订单属性";
const std::string kP = "case dbo.pp_productpo.iproperty when 1 then '生产订单' else '委外订单' end as ipropertyname, ";
const std::string kT = "case dbo.pp_productpo.itype when 1 then '普通订单' else '返工订单' end as itypename ";

class RefLinkTest : public ListTest {
 protected:
  void SetUp() override {
    ListTest::SetUp();
    HostServices::SetRefWindowFactory([this] {
      ++windowsMade;
      window = std::make_shared<EmbeddedRefWindow>(conn, windowsMade);
      return window;
    });
    link = ClassRegistry::Create<clsRefLink>("FABRIKON.clsRefLink");
    link->Login(login);
  }
  // OpenRefresh with a fresh report; answers what the report received.
  std::vector<std::string> Open(const std::string& filter, const std::string& value = "") {
    auto report = std::make_shared<EmbeddedRefReport>();
    RefReportPtr target = report;
    link->OpenRefresh(filter, 0, 0, 0, 0, 0, value, target);
    std::vector<std::string> received;
    for (const auto& v : report->Values()) received.push_back(v.filterName + "=" + v.value);
    return received;
  }

  std::shared_ptr<clsRefLink> link;
  std::shared_ptr<EmbeddedRefWindow> window;
  long windowsMade = 0;
};

TEST_F(RefLinkTest, QueriesAndCaptionsByFilterAndReport) {
  struct Case {
    std::string filter, report, query, captions;
  };
  const std::string s = "select distinct pp_productpo.ccode, pp_productpo.ddate, ";
  const std::string f = "from pp_productpo inner join pp_pomain on pp_productpo.id = pp_pomain.id ";
  const std::vector<Case> cases = {
      {"ccode", "pp03", "select distinct ccode,ddate, " + kP + kT + "from pp_productpo order by ccode", kOrderCaptions},
      {"CCode", "pp13",
       "Select distinct pp_productpo.ccode,pp_productpo.ddate,pp_productpo.iproperty,pp_productpo.itype " + f +
           "inner join pp_moorderma on pp_pomain.mainid = pp_moorderma.mainid ",
       kOrderCaptions},
      {"ccode", "pp30",
       "Select distinct pp_productpo.ccode,pp_productpo.ddate,pp_productpo.iproperty,pp_productpo.itype " + f +
           "inner join pp_moorderma on pp_pomain.mainid = pp_moorderma.mainid ",
       kOrderCaptions},
      {"ccode", "pp17",
       s + kP + kT + f + "where isnull(pp_productpo.cverifier,'') <> '' and isnull(pp_pomain.cclose,'') = '' " +
           "and (not (pp_pomain.mainid in (select distinct mainid from pp_porptde))) " +
           "and (not (pp_pomain.mainid in (select distinct mainid from pp_moorderma))) " +
           "and pp_productpo.iproperty = 1 and pp_productpo.itype =1 ",
       kOrderCaptions},
      {"ccode", "pp19",
       s + kP + kT + f + "inner join pp_moorderma on pp_pomain.mainid = pp_moorderma.mainid " +
           "where (isnull(pp_moorderma.audman, '') <> '') and (isnull(pp_moorderma.closeman, '') = '') ",
       kOrderCaptions},
      {"ccode", "pp20",
       s + kP + kT + f + "where (isnull(pp_productpo.cverifier, '') <> '') and (isnull(pp_pomain.cclose, '') = '') " +
           "and (pp_productpo.iproperty = 1) " +
           "and (pp_pomain.mainid not in  (select distinct mainid from pp_moorderma)) ",
       kOrderCaptions},
      {"ccode", "PP17", "", kOrderCaptions},
      {"ccode", "", "", kOrderCaptions},
      {"MOSUBID", "pp03", "select distinct mosubid,ccode,startdate,enddate from pp_q_moshortlist order by mosubid",
       "派工单号,订单编号,计划开工日期,计划完工日期"},
      {"wccode", "", "select wccode,wcname from pp_workcenter order by wccode", "工作中心编号,工作中心名称"},
      {"rptcode", "", "select rptcode,keyindate,keyinman from pp_moorderrptma order by rptcode",
       "汇报单号,汇报日期,汇报人"},
      {"porptcode", "", "select porptcode,keyindate,keyinman from pp_porptma order by porptcode",
       "汇报单号,汇报日期,汇报人"},
  };
  for (const Case& c : cases) {
    link->SetReportName(c.report);
    EXPECT_EQ(Open(c.filter, "v"), std::vector<std::string>{c.filter + "=v"}) << c.filter << " " << c.report;
    EXPECT_EQ(window->Query(), c.query) << c.filter << " " << c.report;
    EXPECT_EQ(window->Captions(), c.captions) << c.filter << " " << c.report;
    // Every query runs on the plant's database as the window would run it.
    if (!c.query.empty()) {
      EXPECT_NO_THROW(conn->Open(c.query, adOpenStatic, adLockReadOnly, adUseClient)) << c.query;
    }
  }
  EXPECT_EQ(windowsMade, 1);  // one window, reused by every call
  EXPECT_EQ(window->InitCount(), static_cast<long>(cases.size()));
}

TEST_F(RefLinkTest, WhatTheWindowAnswersDecidesTheHandOver) {
  link->SetReportName("pp03");
  EXPECT_EQ(Open("ccode", "typed"), std::vector<std::string>{"ccode=typed"});  // closed without a choice
  window->ChooseRow(2);
  EXPECT_EQ(Open("ccode", "typed"), std::vector<std::string>{"ccode=SC000002"});
  EXPECT_EQ(Open("wccode"), std::vector<std::string>{"wccode=WC02"});
  window->Refuse();
  EXPECT_TRUE(Open("ccode", "typed").empty());  // no window, no hand-over
  // Other filter names show no window and hand the value back unchanged.
  const long inits = window->InitCount();
  EXPECT_EQ(Open("cinvcode", "P100"), std::vector<std::string>{"cinvcode=P100"});
  EXPECT_EQ(window->InitCount(), inits);
  window->ChooseRow(99);
  EXPECT_THROW(Open("ccode"), ComError);
  RefReportPtr nothing;
  window->ChooseNothing();
  try {
    link->OpenRefresh("ccode", 0, 0, 0, 0, 0, "", nothing);
    ADD_FAILURE() << "handed a value to nothing";
  } catch (const ComError& e) {
    EXPECT_EQ(e.Number(), ErrorNumber::ObjectNotSet);
  }
  EXPECT_EQ(windowsMade, 1);
}

// Replaces the login it is given, as a host window may.
class ReloggingWindow : public EmbeddedRefWindow {
 public:
  bool StrRefInit(LoginInfoPtr& login, bool flag, const std::string& text, std::string& query,
                  std::string& captions) override {
    seenFlag = flag;
    seenText = text;
    login = std::make_shared<EmbeddedLoginInfo>(DateTime{2024, 1, 1}, "新", "new");
    return EmbeddedRefWindow::StrRefInit(login, flag, text, query, captions);
  }
  bool seenFlag = true;
  std::string seenText = "x";
};

TEST_F(RefLinkTest, TheLinkKeepsTheLoginTheWindowGivesBack) {
  auto relogging = std::make_shared<ReloggingWindow>();
  HostServices::SetRefWindowFactory([relogging] { return relogging; });
  auto fresh = std::make_shared<clsRefLink>();
  fresh->Login(login);
  RefReportPtr report = std::make_shared<EmbeddedRefReport>();
  fresh->OpenRefresh("wccode", 1, 2, 3, 4, 5, "", report);
  EXPECT_EQ(fresh->Login()->cUserId(), "new");
  EXPECT_FALSE(relogging->seenFlag);
  EXPECT_EQ(relogging->seenText, "");
}

TEST_F(RefLinkTest, FilterWindowGetsTheLinkForReportsThatPickVouchers) {
  auto service = std::make_shared<EmbeddedFilterService>();
  HostServices::SetFilterServiceFactory([service] { return service; });
  std::shared_ptr<EmbeddedRefReport> lastReport;
  HostServices::SetRefReportFactory([&lastReport] {
    lastReport = std::make_shared<EmbeddedRefReport>();
    return lastReport;
  });
  std::string filter = "kept";
  bool cancel = false;
  EXPECT_EQ(co.GetFilterString(filter, cancel), "");
  EXPECT_TRUE(cancel);
  EXPECT_EQ(filter, "kept");
  EXPECT_FALSE(service->ShownWithReference());
  EXPECT_EQ(service->ShownModule(), "PP");

  service->SetFilter(" WHERE ccode='SC000001'");
  co.Init(login, conn, "PP13");
  EXPECT_EQ(co.GetFilterString(filter, cancel), "");
  EXPECT_FALSE(cancel);
  EXPECT_EQ(filter, " WHERE ccode='SC000001'");
  EXPECT_TRUE(service->ShownWithReference());
  EXPECT_EQ(service->ShownCardNumber(), "PP13");
  ASSERT_TRUE(lastReport && lastReport->Link());
  EXPECT_EQ(lastReport->Link()->ReportName(), "pp13");
  EXPECT_EQ(lastReport->Link()->Login(), login);
}

}  // namespace
}  // namespace fabrikon::listtest
