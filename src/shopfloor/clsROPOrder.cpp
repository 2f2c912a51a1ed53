// clsROPOrder: reorder-point plan (card "pp02"). Approval, its cancellation
// (refused once a quota of the plan has been ordered), closing and reopening.
// The state is tested by the database inside the guarded statement, so a
// wrong state, a deleted plan and a stale document fail alike.
#include "fabrikon/clsROPOrder.h"

#include "fabrikon/modVoucher.h"
#include "shopfloor/modShopfloor.h"

namespace fabrikon {

using namespace shopfloor;

namespace {

std::string Named(const std::string& code, const std::string& outcome) { return "单据[" + code + "]" + outcome; }

long Run(const ConnectionPtr& conn, const std::string& statement) {
  long affected = 0;
  conn->Execute(statement, affected);
  return affected;
}

std::string Guard(const DOMDocumentPtr& domHead) { return QxtsGuard(GetHeadValue(domHead, "qxts")); }

std::string Muid(const DOMDocumentPtr& domHead) { return SqlStr(Variant(GetHeadValue(domHead, "muid"))); }

}  // namespace

std::string clsROPOrder::VoucherConfirm(DOMDocumentPtr domHead, ConnectionPtr& m_Conn, LoginInfoPtr& m_Login) {
  if (!HasRow(domHead)) return kNoDocument;
  const std::string code = GetHeadValue(domHead, "cROPCode");
  const long affected = Run(m_Conn, " Update PP_ROPMain Set iState=1,cVerifier=" +
                                        SqlStr(Variant(m_Login->cUserName())) +
                                        ",dVerifiedDate=" + SqlStr(Variant(LoginDate(m_Login))) +
                                        " where muid=" + Muid(domHead) + " and isnull(iState,0)= 0 and " +
                                        Guard(domHead));
  return Named(code, affected != 0 ? "审核成功！" : "已经被删除或已经被审核,审核失败！");
}

std::string clsROPOrder::VoucherCancelconfirm(DOMDocumentPtr domHead, ConnectionPtr& m_Conn) {
  if (!HasRow(domHead)) return kNoDocument;
  const std::string code = GetHeadValue(domHead, "cROPCode");
  const std::string muid = Muid(domHead);
  // The quota test and the UPDATE are one batch; a skipped UPDATE reports
  // no count above 0.
  const long affected =
      Run(m_Conn, "if not exists(select quid from pp_ropquota where duid In (Select duid From pp_ropdetails where muid =" +
                      muid + ") and isnull(fpoquantity,0)>0  ) Update pp_ropmain Set iState=0,cVerifier= NULL,"
                      "dverifieddate=NULL  where muid=" + muid + " and iState= 1 and " + Guard(domHead));
  return Named(code, affected > 0 ? "弃审成功！" : "已经被删除或者已经被关闭或者尚未审核或已被参照，弃审失败！");
}

std::string clsROPOrder::VoucherClose(DOMDocumentPtr domHead, ConnectionPtr& m_Conn, LoginInfoPtr& m_Login) {
  if (!HasRow(domHead)) return kNoDocument;
  std::string code;
  try {
    code = GetHeadValue(domHead, "cROPCode");
    const long affected = Run(m_Conn, "Update PP_ROPMain Set iState=2,cCloser=" +
                                          SqlStr(Variant(m_Login->cUserName())) + " where muid=" + Muid(domHead) +
                                          " and isnull(iState,0)= 1 and " + Guard(domHead));
    return Named(code, affected != 0 ? "关闭成功！" : "已经被删除或者已经被关闭或者尚未审核，关闭失败！");
  } catch (const ComError& e) {
    // Lock conflicts and timeouts ask for a retry; any other failure is
    // reported, never answered as success.
    if (e.Number() == ErrorNumber::E_FAIL_ || e.Number() == ErrorNumber::Timeout) {
      return "因数据库操作出现冲突，请稍后重试此操作！";
    }
    return Named(code, "关闭失败！") + e.Description();
  }
}

std::string clsROPOrder::VoucherOpen(DOMDocumentPtr domHead, ConnectionPtr& m_Conn) {
  if (!HasRow(domHead)) return kNoDocument;
  const std::string code = GetHeadValue(domHead, "cROPCode");
  const long affected = Run(m_Conn, "Update PP_ROPMain Set iState=1,cCloser=NULL where muid=" + Muid(domHead) +
                                        " and isnull(iState,'') = 2 and " + Guard(domHead));
  return Named(code, affected != 0 ? "打开成功！" : "已经被删除或者尚未关闭，不能打开！");
}

}  // namespace fabrikon
