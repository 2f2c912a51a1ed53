// clsWWSCDDOrder workflow: whether an outsourcing order may be created,
// edited or deleted, and its approval, cancelling of approval, closing and
// reopening. Every state change carries the row-version guard; closing and
// reopening change head and lines together or not at all.
#include "fabrikon/clsWWSCDDOrder.h"

#include <optional>

#include "fabrikon/host/MessageBox.h"
#include "fabrikon/modVoucher.h"
#include "production/modProduction.h"

namespace fabrikon {

using production::KeyList;

namespace {

constexpr const char* kKind = "委外订单";
constexpr const char* kNoDocument = "此张单据已经被删除或不存在任何单据，请刷新后重试！";

std::string Message(const std::string& ids, const std::string& tail) {
  return production::OrderMessage(kKind, ids, tail);
}

bool HasRow(const DOMDocumentPtr& document) {
  return document && document->selectNodes("//z:row").length() > 0;
}

std::string Quoted(const std::string& text) { return SqlStr(Variant(text)); }

// The order id as it may go into SQL text unquoted; nothing when the
// document's id is not a number (no stored order can have it).
std::optional<std::string> IdNumber(const std::string& id) {
  if (!IsNumeric(id)) return std::nullopt;
  return SqlNumber(id, "id");
}

bool HasRecord(const ConnectionPtr& Conn, const std::string& query) {
  RecordsetPtr rs = Conn->Open(query, adOpenStatic, adLockReadOnly);
  const bool found = !rs->Eof();
  rs->Close();
  return found;
}

std::string InvoiceQuery(const std::string& ccode) {
  return "select top 1 * from om_purbillvouchs where isnull(ompoccode,'')=" + Quoted(ccode);
}

std::string IssueQuery(const std::string& idNumber) {
  return "select top 1 * from om_podetails where isnull(foutquantity,0)>0 and (mainid in (select mainid from "
         "om_pomain where id=" + idNumber + " )) ";
}

std::string Guarded(const std::string& statement, const DOMDocumentPtr& domHead, const std::string& id) {
  return statement + QxtsGuard(GetHeadValue(domHead, "qxts")) + " AND om_productpo.id=" + Quoted(id);
}

long Run(const ConnectionPtr& Conn, const std::string& statement) {
  long affected = 0;
  Conn->Execute(statement, affected);
  return affected;
}

// Runs the guarded head update and then the line update so that both take
// effect or neither: in a transaction of its own when the caller has none
// open; inside the caller's transaction, the lines are looked for first so
// that an order without lines never has its head changed.
bool UpdateHeadAndLines(const ConnectionPtr& Conn, const std::string& head, const std::string& lines,
                        const std::string& id) {
  if (Conn->InTransaction()) {
    if (!HasRecord(Conn, "select top 1 mainid from om_pomain where om_pomain.id=" + Quoted(id))) return false;
    return Run(Conn, head) > 0 && Run(Conn, lines) > 0;
  }
  Conn->BeginTrans();
  try {
    if (Run(Conn, head) > 0 && Run(Conn, lines) > 0) {
      Conn->CommitTrans();
      return true;
    }
  } catch (...) {
    Conn->RollbackTrans();
    throw;
  }
  Conn->RollbackTrans();
  return false;
}

}  // namespace

std::string clsWWSCDDOrder::VoucherAllowNew(DOMDocumentPtr, ConnectionPtr&) { return ""; }

std::string clsWWSCDDOrder::VoucherAllowEdit(DOMDocumentPtr domHead, ConnectionPtr&) {
  return HasRow(domHead) ? "" : kNoDocument;
}

std::string clsWWSCDDOrder::VoucherAllowDelete(DOMDocumentPtr domHead, DOMDocumentPtr, ConnectionPtr& Conn) {
  if (!HasRow(domHead)) return kNoDocument;
  const std::string id = GetHeadValue(domHead, "id");
  const std::string refused = "此张单据[" + id;
  // The order must still be there as loaded: look for the row itself (a
  // select's records-affected count says nothing about what it found).
  const std::optional<std::string> number = IdNumber(id);
  if (!number || !HasRecord(Conn, "select * from om_productpo WHERE " + QxtsGuard(GetHeadValue(domHead, "qxts")) +
                                      " AND om_productpo.ID=" + Quoted(id))) {
    return refused + "]已经被改变或删除，删除失败！";
  }
  if (HasRecord(Conn, "select top 1 * from om_pomain where (isnull(finquantity,0)>0 or isnull(iTookQuantity,0)<>0 "
                      "or isnull(iInvalidQuantity,0)<>0 )and om_pomain.id=" + *number)) {
    return refused + "]已有入库,不能删除！";
  }
  if (HasRecord(Conn, InvoiceQuery(GetHeadValue(domHead, "ccode")))) return refused + "]有开过发票,不能删除！";
  if (HasRecord(Conn, IssueQuery(*number))) return refused + "]已有出库,不能删除！";
  if (HasRecord(Conn, "select top 1 * from om_productpo where istate<>1  and  id=" + *number)) {
    return refused + "]已审或关闭,不能删除！";
  }
  return "";
}

std::string clsWWSCDDOrder::VoucherConfirm(DOMDocumentPtr domHead, ConnectionPtr& Conn, LoginInfoPtr& Login) {
  const std::string id = GetHeadValue(domHead, "id");
  const std::string ids = KeyList(Conn, "Select cdepcode,id from om_productpo_t where id=" + Quoted(id), "id");
  if (!GetHeadValue(domHead, "cverifier").empty()) return Message(ids, "已经被审核，审核失败！");
  const long affected = Run(Conn, Guarded("UPDATE om_productpo SET istate=2, cverifier=" + Quoted(Login->cUserId()) +
                                              ", dcheckdate=" + Quoted(Login->CurDate().ToText()) + " WHERE ",
                                          domHead, id));
  return Message(ids, affected > 0 ? "审核成功！" : "已经被改变或删除，审核失败！");
}

std::string clsWWSCDDOrder::VoucherCancelconfirm(DOMDocumentPtr domHead, ConnectionPtr& Conn) {
  const std::string id = GetHeadValue(domHead, "id");
  const std::string ids = KeyList(Conn, "Select cdepcode,id from om_productpo_t where id=" + Quoted(id), "id");
  if (GetHeadValue(domHead, "cverifier").empty()) return Message(ids, "尚未被审核，弃审失败！");
  if (GetHeadValue(domHead, "istate") == "3") return Message(ids, "已经被关闭，弃审失败！");
  const std::string received =
      KeyList(Conn,
              "select top 1 id from om_pomain where (isnull(finquantity,0)<>0 or isnull(iTookQuantity,0)<>0 or "
              "isnull(iInvalidQuantity,0)<>0 ) and (id=" + Quoted(id) + ") ",
              "id");
  if (!received.empty()) return Message(received, "已经有产成品入库，弃审失败！");
  if (HasRecord(Conn, InvoiceQuery(GetHeadValue(domHead, "ccode")))) return Message(ids, "有开过发票，弃审失败！");
  const std::optional<std::string> number = IdNumber(id);
  if (!number) return Message(ids, "已经被改变或删除，弃审失败！");
  if (HasRecord(Conn, IssueQuery(*number))) return Message(ids, "已经有材料出库，弃审失败！");
  const long affected =
      Run(Conn, Guarded("UPDATE om_productpo SET istate=1,cverifier=null,dcheckdate=null WHERE ", domHead, id));
  return Message(ids, affected > 0 ? "弃审成功！" : "已经被改变或删除，弃审失败！");
}

std::string clsWWSCDDOrder::VoucherClose(DOMDocumentPtr domHead, ConnectionPtr& Conn, LoginInfoPtr& Login) {
  const std::string id = GetHeadValue(domHead, "id");
  const std::string ids = KeyList(Conn, "Select cdepcode,id from om_productpo where id=" + Quoted(id), "id");
  if (GetHeadValue(domHead, "cverifier").empty()) return Message(ids, "尚未被审核，关闭失败！");
  if (GetHeadValue(domHead, "istate") == "3") return Message(ids, "已经被关闭，关闭失败！");
  // The order is gone: nothing to count or close.
  if (ids.empty()) return Message(ids, "已经被改变或删除，关闭失败！");

  RecordsetPtr rs = Conn->Open("select count(*) as mCount from OM_POMain where fQuantity> fInQuantity and "
                               "isnull(cClose,'')='' and ID=" + SqlNumber(ids, "id"));
  const bool open = !rs->Eof() && rs->Fields("mCount").Value().ToDouble() > 0;
  rs->Close();
  if (open && !MessageBox::AskYesNo("委外订单没有全部入库，是否继续？")) return Message(ids, " 关闭失败！");

  const bool done = UpdateHeadAndLines(
      Conn, Guarded("update om_productpo set istate=3 where ", domHead, id),
      "UPDATE om_pomain SET cclose=" + Quoted(Login->cUserId()) + "WHERE om_pomain.ID=" + Quoted(id), id);
  return Message(ids, done ? "关闭成功！" : "已经被改变或删除，关闭失败！");
}

std::string clsWWSCDDOrder::VoucherOpen(DOMDocumentPtr domHead, ConnectionPtr& Conn) {
  const std::string id = GetHeadValue(domHead, "id");
  const std::string ids = KeyList(Conn, "select id from om_productpo where id=" + Quoted(id), "id");
  if (GetHeadValue(domHead, "istate") != "3") return Message(ids, "尚未被关闭，打开失败！");
  const bool done = UpdateHeadAndLines(Conn, Guarded("UPDATE om_productpo SET istate=2 WHERE ", domHead, id),
                                       "update om_pomain set cclose=null where om_pomain.id=" + Quoted(id), id);
  return Message(ids, done ? "打开成功！" : "已经被改变或删除，打开失败！");
}

}  // namespace fabrikon
