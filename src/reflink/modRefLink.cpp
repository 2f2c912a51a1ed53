// modRefLink: the reference queries and captions by filter field and report.
// The texts are the ones the host's reference window has always received.
#include "reflink/modRefLink.h"

namespace fabrikon::reflink {
namespace {

constexpr const char* kOrderCaptions = "订单编号,订单日期,订单类型,订单属性";

const std::string S = "select distinct pp_productpo.ccode, pp_productpo.ddate, ";
const std::string P = "case dbo.pp_productpo.iproperty when 1 then '生产订单' else '委外订单' end as ipropertyname, ";
const std::string T = "case dbo.pp_productpo.itype when 1 then '普通订单' else '返工订单' end as itypename ";
const std::string F = "from pp_productpo inner join pp_pomain on pp_productpo.id = pp_pomain.id ";

// Orders offered for an order code, by the report that asks.
std::string OrderQuery(const std::string& reportName) {
  if (reportName == "pp03") return "select distinct ccode,ddate, " + P + T + "from pp_productpo order by ccode";
  if (reportName == "pp13" || reportName == "pp30") {
    return "Select distinct pp_productpo.ccode,pp_productpo.ddate,pp_productpo.iproperty,pp_productpo.itype " + F +
           "inner join pp_moorderma on pp_pomain.mainid = pp_moorderma.mainid ";
  }
  if (reportName == "pp17") {
    return S + P + T + F + "where isnull(pp_productpo.cverifier,'') <> '' " +
           "and isnull(pp_pomain.cclose,'') = '' " +
           "and (not (pp_pomain.mainid in (select distinct mainid from pp_porptde))) " +
           "and (not (pp_pomain.mainid in (select distinct mainid from pp_moorderma))) " +
           "and pp_productpo.iproperty = 1 and pp_productpo.itype =1 ";
  }
  if (reportName == "pp19") {
    return S + P + T + F + "inner join pp_moorderma on pp_pomain.mainid = pp_moorderma.mainid " +
           "where (isnull(pp_moorderma.audman, '') <> '') " + "and (isnull(pp_moorderma.closeman, '') = '') ";
  }
  if (reportName == "pp20") {
    return S + P + T + F + "where (isnull(pp_productpo.cverifier, '') <> '') " +
           "and (isnull(pp_pomain.cclose, '') = '') " + "and (pp_productpo.iproperty = 1) " +
           "and (pp_pomain.mainid not in  (select distinct mainid from pp_moorderma)) ";
  }
  return "";
}

}  // namespace

std::optional<Reference> ReferenceFor(const std::string& filterName, const std::string& reportName) {
  if (filterName == "ccode") return Reference{OrderQuery(reportName), kOrderCaptions, "ccode"};
  if (filterName == "mosubid") {
    return Reference{"select distinct mosubid,ccode,startdate,enddate from pp_q_moshortlist order by mosubid",
                     "派工单号,订单编号,计划开工日期,计划完工日期", "mosubid"};
  }
  if (filterName == "wccode") {
    return Reference{"select wccode,wcname from pp_workcenter order by wccode", "工作中心编号,工作中心名称", "wccode"};
  }
  if (filterName == "rptcode") {
    return Reference{"select rptcode,keyindate,keyinman from pp_moorderrptma order by rptcode",
                     "汇报单号,汇报日期,汇报人", "rptcode"};
  }
  if (filterName == "porptcode") {
    return Reference{"select porptcode,keyindate,keyinman from pp_porptma order by porptcode",
                     "汇报单号,汇报日期,汇报人", "porptcode"};
  }
  return std::nullopt;
}

}  // namespace fabrikon::reflink
