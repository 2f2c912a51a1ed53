// Saving in the façade: the save-mode checks, the one transaction around the
// engine's statements, the sales-order write-backs and the after-save hook of
// production and outsourcing orders.
//
// VoucherSave2 goes on past a failing check, hook or number request and
// decides by the message it has gathered, as hosts have always relied on.
// What it never does is answer "" for a save that did not happen: a
// transaction that cannot be opened or committed, or a write-back that
// fails, fails the save with the error's description.
#include "engine/EngineErrors.h"
#include "fabrikon/clsVoucherCO.h"
#include "fabrikon/host/HostServices.h"
#include "fabrikon/modVoucher.h"

namespace fabrikon {
using engine::Require;
using engine::Use;

namespace {

const char* const kNoData = "保存之前必须先录入数据，请检查！";

const char* const kPushedDownChanged =
    "//z:row [(@bputfromso=1 or @bputfromso='True') and (@editprop='M' or @editprop='D')]";
const char* const kPushedDownAdded = "//z:row [(@bputfromso=1 or @bputfromso='True') and (@editprop='A')]";

const char* const kReplaceQuantity =
    " update SO_SODetails set SO_SODetails.fTotolPut=isnull(SO_SODetails.fTotolPut,0) - isnull(OM_POMain.fQuantity,0) + ";
const char* const kReplaceQuantityJoin =
    " from SO_SODetails inner join OM_POMain on  OM_POMain.cSOsIDs=','+cast (iSOsID as varchar)+','  where "
    "OM_POMain.mainid=";
const char* const kSubtractQuantity =
    " update SO_SODetails set SO_SODetails.fTotolPut=isnull(SO_SODetails.fTotolPut,0) - isnull(OM_POMain.fQuantity,0)";
const char* const kSubtractQuantityJoin =
    " from SO_SODetails inner join OM_POMain on  OM_POMain.cSOsIDs=','+cast (iSOsID as varchar)+',' where "
    "OM_POMain.mainid=";
const char* const kAddQuantity = " update SO_SODetails set SO_SODetails.fTotolPut= isnull(SO_SODetails.fTotolPut,0)+";
const char* const kAddQuantityJoin =
    " from SO_SODetails inner join OM_POMain on OM_POMain.cSOsIDs=','+cast (iSOsID as varchar)+','  where "
    "OM_POMain.mainid=";

// The message of a save that failed on an error outside the engine.
std::string SaveFailed() { return std::string("保存失败！") + "\r" + "错误原因：" + engine::CurrentErrorDescription(); }

// Runs a step of VoucherSave2 whose failure the save goes past.
template <class Step>
void GoPast(Step&& step) {
  try {
    step();
  } catch (...) {
    // The save decides by its message, not by this step's error.
  }
}

void RollbackQuietly(const ConnectionPtr& Conn) {
  GoPast([&] { Use(Conn).RollbackTrans(); });
}

// The line's value of an attribute that goes into the statement unquoted.
std::string NumberOf(const XmlNode& row, const std::string& name) {
  return SqlNumber(NullToEmpty(row.getAttribute(name)), name);
}

void RunWriteBack(const ConnectionPtr& Conn, const std::string& batch) {
  if (!batch.empty()) Use(Conn).Execute(batch);
}

}  // namespace

std::string clsVoucherCO::VoucherSave1(const VoucherFormPtr& VO, int16_t iState) {
  DOMDocumentPtr head = Use(VO).HeadDOM();
  if (Use(head).selectSingleNode("//z:row").IsNothing()) return kNoData;
  std::string message;
  DOMDocumentPtr domReturn;
  const std::string answer = Business().HeadCheck(VO, conn_, "", domReturn, true, cardNumber_);
  if (!answer.empty()) message += answer + "\r";
  if (!message.empty()) return message;
  VoucherParameters params = ReadParameters();
  return Engine().VoucherSave1(conn_, head, params.strTableNameMain, params.strFieldNameMainID, iState);
}

std::string clsVoucherCO::VoucherSave2(const VoucherFormPtr& VO, int16_t iState, Variant& varCurID) {
  GetRealNo() = true;
  DOMDocumentPtr head;
  DOMDocumentPtr body;
  GoPast([&] { head = Use(VO).HeadDOM(); });
  GoPast([&] { body = Use(VO).BodyDOM(); });

  std::string message;
  DOMDocumentPtr domReturn;
  GoPast([&] { message += Business().HeadCheck(Require(VO), conn_, "", domReturn, true, cardNumber_); });
  GoPast([&] { message += Business().BodyCheck(Require(VO), conn_, 1, "", domReturn, true, cardNumber_); });

  // Without a transaction of its own the save would write outside one (or
  // into the caller's); it does not start at all.
  try {
    Use(conn_).BeginTrans();
  } catch (...) {
    varCurID = Variant();
    return SaveFailed();
  }
  try {
    DoWriteBackVoucherM(head, body, conn_);
  } catch (...) {
    if (message.empty()) message = SaveFailed();
  }

  if (message.empty()) {
    VoucherParameters params;
    GoPast([&] { params = ReadParameters(); });
    GoPast([&] {
      message = Engine().VoucherSave2(conn_, head, body, params.strTableNameMain, params.strTableNameSub,
                                      params.strFieldNameMainID, params.strFieldNameSubID, params.strFieldNameCode,
                                      iState, varCurID);
    });
  }
  if (message.empty()) message = FinishSave(head, body, iState);
  if (message.empty()) return "";
  RollbackQuietly(conn_);
  // The rollback removed whatever the engine wrote: no key to hand back.
  varCurID = Variant();
  return message;
}

std::string clsVoucherCO::VoucherSave2(const VoucherFormPtr& VO, int16_t iState, Variant&& varCurID) {
  return VoucherSave2(VO, iState, varCurID);
}

std::string clsVoucherCO::VoucherSave2(const VoucherFormPtr& VO, int16_t iState) {
  Variant varCurID;
  return VoucherSave2(VO, iState, varCurID);
}

// After the engine wrote the voucher: write-back of added lines, the
// after-save hook, the real number of a new outsourcing order, commit.
// Answers the message that fails the save ("" once committed).
std::string clsVoucherCO::FinishSave(const DOMDocumentPtr& head, const DOMDocumentPtr& body, int16_t iState) {
  std::string message;
  GoPast([&] { DoWriteBackVoucherA(head, body, conn_); });
  if (cardNumber_ == "pp25") GoPast([&] { message = Business().VoucherAfterSave(head, body, conn_); });

  std::string outsourcingCard;
  bool isOutsourcingCard = false;
  GoPast([&] {
    outsourcingCard = Use(HostServices::GetCardNumberRegistry()).WWOrderCardNumber(Use(conn_).ConnectionString());
    isOutsourcingCard = LCase(outsourcingCard) == LCase(cardNumber_);
  });
  if (isOutsourcingCard) GoPast([&] { message = Business().VoucherAfterSave(head, body, conn_); });
  if (!message.empty()) return message;

  // Only an outsourcing order takes its number for good here; other cards
  // must not use up the outsourcing order's counter.
  if (iState != 1 && isOutsourcingCard) {
    GoPast([&] {
      std::string ignored;
      Engine().GetVoucherNO(conn_, outsourcingCard, head, ignored, GetRealNo(), false, "", "", "");
    });
  }
  try {
    Use(conn_).CommitTrans();
  } catch (...) {
    return SaveFailed();
  }
  return "";
}

std::string clsVoucherCO::DoWriteBackVoucherM(const DOMDocumentPtr& /*domHead*/, const DOMDocumentPtr& domBody,
                                              ConnectionPtr& Conn) {
  std::string batch;
  for (const XmlNode& row : Use(domBody).selectNodes(kPushedDownChanged)) {
    const std::string mark = NullToEmpty(row.getAttribute("editprop"));
    if (mark == "M") {
      batch += kReplaceQuantity + NumberOf(row, "fquantity") + kReplaceQuantityJoin + NumberOf(row, "mainid") + "\r";
    } else if (mark == "D") {
      batch += kSubtractQuantity + std::string(kSubtractQuantityJoin) + NumberOf(row, "mainid") + "\r";
    }
  }
  RunWriteBack(Conn, batch);
  return "";
}

std::string clsVoucherCO::DoWriteBackVoucherA(const DOMDocumentPtr& /*domHead*/, const DOMDocumentPtr& domBody,
                                              ConnectionPtr& Conn) {
  std::string batch;
  for (const XmlNode& row : Use(domBody).selectNodes(kPushedDownAdded)) {
    batch += kAddQuantity + NumberOf(row, "fquantity") + kAddQuantityJoin + NumberOf(row, "mainid") + "\r";
  }
  RunWriteBack(Conn, batch);
  return "";
}

}  // namespace fabrikon
