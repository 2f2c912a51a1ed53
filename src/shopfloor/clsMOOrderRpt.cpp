// clsMOOrderRpt: the business object behind the card; every rule lives in the
// completion report it shares with its twin, set up for this kind.
#include "fabrikon/clsMOOrderRpt.h"

#include "shopfloor/CompletionReport.h"

namespace fabrikon {

namespace {
constexpr shopfloor::ReportKind kKind{"进度完工汇报单", "PP_MOOrderRptMa", "PP_MOOrderRptMa", "rptid",  "rptcode",
                                     "rptcode",        "RptCode",         "pp14",            "修改",   true,
                                     false};
const shopfloor::CompletionReport kReport(kKind);
}  // namespace

std::string clsMOOrderRpt::VoucherNew(VoucherFormPtr& VO, LoginInfoPtr& Login) { return kReport.VoucherNew(VO, Login); }

std::string clsMOOrderRpt::HeadCheck(VoucherFormPtr VO, ConnectionPtr& Conn, const std::string& strItem,
                            DOMDocumentPtr& domReturn, bool bSaveMode, std::string&) {
  return kReport.HeadCheck(VO, Conn, strItem, domReturn, bSaveMode);
}

std::string clsMOOrderRpt::BodyCheck(VoucherFormPtr VO, ConnectionPtr& Conn, long R, const std::string& strItem,
                            DOMDocumentPtr& domReturn, bool bSaveMode, std::string&) {
  return kReport.BodyCheck(VO, Conn, R, strItem, domReturn, bSaveMode);
}

std::string clsMOOrderRpt::VoucherAllowNew(DOMDocumentPtr, ConnectionPtr&) { return ""; }

std::string clsMOOrderRpt::VoucherAllowEdit(DOMDocumentPtr domHead, ConnectionPtr&) {
  return kReport.VoucherAllowEdit(domHead);
}

std::string clsMOOrderRpt::VoucherAllowDelete(DOMDocumentPtr domHead, DOMDocumentPtr, ConnectionPtr& Conn) {
  return kReport.VoucherAllowDelete(domHead, Conn);
}

std::string clsMOOrderRpt::VoucherConfirm(DOMDocumentPtr domHead, ConnectionPtr& Conn, LoginInfoPtr& Login) {
  return kReport.VoucherConfirm(domHead, Conn, Login);
}

std::string clsMOOrderRpt::VoucherCancelconfirm(DOMDocumentPtr domHead, ConnectionPtr& Conn) {
  return kReport.VoucherCancelconfirm(domHead, Conn);
}

}  // namespace fabrikon
