// The voucher service façade: Init with its card-number table and module
// initialisation, and the forwards of every other operation to the engine or
// to the business object. Nothing here traps errors; the host sees a failed
// call. Saving and the sales-order write-backs live in clsVoucherCOSave.cpp.
#include "fabrikon/clsVoucherCO.h"

#include <cmath>

#include "data/ReadSnapshot.h"
#include "engine/BusinessObjectFactory.h"
#include "engine/EngineErrors.h"
#include "fabrikon/host/HostServices.h"
#include "fabrikon/modVoucher.h"

namespace fabrikon {
using engine::Require;
using engine::Use;

namespace {

// A value read as a 16-bit integer the classic way (CInt): numbers and
// numeric texts rounded half to even; other texts, NULL and out-of-range
// values are errors.
int16_t ToInteger16(const Variant& value) {
  if (value.IsNull()) throw ComError(ErrorNumber::InvalidUseOfNull, "Invalid use of Null");
  double number = 0;
  if (value.IsNumeric()) {
    number = value.ToDouble();
  } else if (IsNumeric(value.ToText())) {
    number = Val(value.ToText());
  } else {
    throw ComError(ErrorNumber::TypeMismatch, "Type mismatch");
  }
  number = std::nearbyint(number);
  if (number < -32768 || number > 32767) throw ComError(ErrorNumber::Overflow, "Overflow");
  return static_cast<int16_t>(number);
}

}  // namespace

clsVoucherCO::clsVoucherCO() = default;
clsVoucherCO::~clsVoucherCO() = default;

// --- Init -----------------------------------------------------------------------

bool clsVoucherCO::Init(LoginInfoPtr objLogin, ConnectionPtr Conn, const std::string& strCardNum) {
  login_ = std::move(objLogin);
  conn_ = std::move(Conn);
  cardNumber_ = strCardNum;
  InitModule();
  // A card without a business class must not keep the previous card's
  // object: its approval and after-save would run on this card's vouchers.
  business_ = CreateForCard(LCase(cardNumber_));
  return false;
}

// Quantity precision of the account; a failed read keeps the previous value.
void clsVoucherCO::InitModule() {
  int16_t decimals = QuantityDecimals();
  try {
    RecordsetPtr rs = Use(conn_).Open(
        "Select isnull(cValue,2) as cValue from AccInformation Where cSysID='AA' and cName='iStrsQuanDecDgt'");
    decimals = rs->Eof() ? int16_t{2} : ToInteger16(rs->Fields("cValue").Value());
    rs->Close();
  } catch (...) {
    // The account's setting is optional: the precision stays as it was.
  }
  SetQuantityDecimals(decimals);
}

// The card-number table; the outsourcing cards are asked of the registry,
// the connection string read anew for each question.
BusinessObjectPtr clsVoucherCO::CreateForCard(const std::string& card) {
  namespace make = BusinessObjectFactory;
  if (card == "pp01") return make::NewForecast();
  if (card == "pp02") return make::NewROPOrder();
  if (card == "pp08" || card == "pp09" || card == "pp10" || card == "pp11") return make::NewBaseFile();
  if (card == "pp13") return make::NewMOOrder();
  if (card == "pp14") return make::NewMOOrderRpt();
  if (card == "pp15") return make::NewPORpt();
  if (card == "pp16") return make::NewPODetails();
  if (card == "pp17") return nullptr;
  if (card == "pp25") return make::NewSCDDOrder();
  CardNumberRegistryPtr registry = HostServices::GetCardNumberRegistry();
  if (card == LCase(Use(registry).WWOrderCardNumber(Use(conn_).ConnectionString()))) return make::NewWWSCDDOrder();
  if (card == LCase(registry->WWPODetailsCardNumber(conn_->ConnectionString()))) return make::NewWWPODetails();
  return nullptr;
}

std::string clsVoucherCO::BusinessClassName() const { return business_ ? business_->ClassName() : ""; }

clsVoucherCommon& clsVoucherCO::Engine() {
  if (!engine_) engine_ = std::make_unique<clsVoucherCommon>();
  return *engine_;
}

BusinessObject& clsVoucherCO::Business() { return Use(business_); }

VoucherParameters clsVoucherCO::ReadParameters() {
  VoucherParameters params;
  Engine().GetVoucherParameter(conn_, cardNumber_, params);
  return params;
}

// --- Voucher kind ------------------------------------------------------------------

std::string clsVoucherCO::GetDefaultVTID() { return Engine().GetDefaultVTID(conn_, cardNumber_); }
std::string clsVoucherCO::GetDefaultVTIDPRN() { return Engine().GetDefaultVTIDPRN(conn_, cardNumber_); }

RecordsetPtr clsVoucherCO::GetVoucherFormat(const std::string& strVTID) {
  return Engine().GetVoucherFormat(conn_, cardNumber_, strVTID);
}

RecordsetPtr clsVoucherCO::GetVoucherFixed(const std::string& strVTID) {
  return Engine().GetVoucherFixed(conn_, strVTID);
}

bool clsVoucherCO::GetVoucherParameter(std::string& strTableNameMain, std::string& strTableNameSub,
                                       std::string& strViewNameMain, std::string& strViewNameSub,
                                       std::string& strViewNameList, std::string& strFieldNameMainID,
                                       std::string& strFieldNameSubID, std::string& strFieldNameCode) {
  return Engine().GetVoucherParameter(conn_, cardNumber_, strTableNameMain, strTableNameSub, strViewNameMain,
                                      strViewNameSub, strViewNameList, strFieldNameMainID, strFieldNameSubID,
                                      strFieldNameCode);
}

bool clsVoucherCO::GetVoucherParameter(VoucherParameters& params) {
  return Engine().GetVoucherParameter(conn_, cardNumber_, params);
}

// --- Numbering -----------------------------------------------------------------------

std::string clsVoucherCO::GetVoucherNOType(DOMDocumentPtr& domFormat, std::string& strNoType) {
  return Engine().GetVoucherNOType(conn_, cardNumber_, domFormat, strNoType);
}

std::string clsVoucherCO::GetVoucherNOType(std::string& strNoType) {
  DOMDocumentPtr domFormat;
  return GetVoucherNOType(domFormat, strNoType);
}

std::string clsVoucherCO::GetVoucherNO(const VoucherFormPtr& VO, std::string&& strErrMsg, bool bGetRealNo,
                                       bool bSynchronization, const std::string& strVoucherNO) {
  return GetVoucherNO(VO, strErrMsg, bGetRealNo, bSynchronization, strVoucherNO);
}

std::string clsVoucherCO::GetVoucherNO(const VoucherFormPtr& VO, std::string& strErrMsg, bool bGetRealNo,
                                       bool bSynchronization, const std::string& strVoucherNO) {
  std::string table;
  std::string codeField;
  if (bSynchronization) {
    VoucherParameters params = ReadParameters();
    table = params.strTableNameMain;
    codeField = params.strFieldNameCode;
  }
  return Engine().GetVoucherNO(conn_, cardNumber_, Use(VO).HeadDOM(), strErrMsg, bGetRealNo, bSynchronization,
                               table, codeField, strVoucherNO);
}

// --- Loading and navigation ------------------------------------------------------------

Variant clsVoucherCO::GetVoucherData(const VoucherFormPtr& VO, const std::string& strWhere,
                                     const std::optional<Variant>& varVoucherID, const std::string& strLocateWhere) {
  ReadSnapshot snapshot(conn_);  // the card's parameters and the voucher under one read lock
  VoucherParameters params = ReadParameters();
  std::string locate = strLocateWhere;
  VoucherForm& form = Use(VO);
  // The body view refers to its head through the head key column.
  return Engine().GetVoucherData(conn_, form.HeadDOM(), form.BodyDOM(), params.strViewNameMain,
                                 params.strFieldNameMainID, params.strViewNameSub, params.strFieldNameMainID,
                                 strWhere, varVoucherID, locate);
}

Variant clsVoucherCO::MoveFirst(const VoucherFormPtr& VO) {
  VoucherForm& form = Use(VO);
  return Engine().MoveFirst(conn_, form.HeadDOM(), form.BodyDOM());
}
Variant clsVoucherCO::MovePrevious(const VoucherFormPtr& VO) {
  VoucherForm& form = Use(VO);
  return Engine().MovePrevious(conn_, form.HeadDOM(), form.BodyDOM());
}
Variant clsVoucherCO::MoveNext(const VoucherFormPtr& VO) {
  VoucherForm& form = Use(VO);
  return Engine().MoveNext(conn_, form.HeadDOM(), form.BodyDOM());
}
Variant clsVoucherCO::MoveLast(const VoucherFormPtr& VO) {
  VoucherForm& form = Use(VO);
  return Engine().MoveLast(conn_, form.HeadDOM(), form.BodyDOM());
}
Variant clsVoucherCO::Refresh(const VoucherFormPtr& VO) {
  VoucherForm& form = Use(VO);
  return Engine().Refresh(conn_, form.HeadDOM(), form.BodyDOM());
}
bool clsVoucherCO::Bof() { return Engine().Bof(); }
bool clsVoucherCO::Eof() { return Engine().Eof(); }

// --- Forwarded to the business object ---------------------------------------------------
// Connection, login and card number go by reference: what the business
// object puts there is what the façade uses from then on.

// The business objects read and fill the form's documents: no form raises 91
// here instead of crashing inside them.
std::string clsVoucherCO::VoucherNew(VoucherFormPtr& VO) {
  Use(VO);
  return Business().VoucherNew(VO, login_);
}

std::string clsVoucherCO::VoucherNew(const VoucherFormPtr& VO) {
  VoucherFormPtr form = VO;
  return VoucherNew(form);
}

std::string clsVoucherCO::VoucherAllowNew(const VoucherFormPtr& VO) {
  return Business().VoucherAllowNew(Use(VO).HeadDOM(), conn_);
}

std::string clsVoucherCO::VoucherAllowEdit(const VoucherFormPtr& VO) {
  return Business().VoucherAllowEdit(Use(VO).HeadDOM(), conn_);
}

std::string clsVoucherCO::VoucherAllowDelete(const VoucherFormPtr& VO) {
  VoucherForm& form = Use(VO);
  return Business().VoucherAllowDelete(form.HeadDOM(), form.BodyDOM(), conn_);
}

std::string clsVoucherCO::HeadCheck(const VoucherFormPtr& VO, const std::string& strItem) {
  DOMDocumentPtr domReturn;
  return HeadCheck(VO, strItem, domReturn, false);
}

std::string clsVoucherCO::HeadCheck(const VoucherFormPtr& VO, const std::string& strItem,
                                    DOMDocumentPtr& domReturn, bool bSaveMode) {
  return Business().HeadCheck(Require(VO), conn_, strItem, domReturn, bSaveMode, cardNumber_);
}

std::string clsVoucherCO::HeadCheck(const VoucherFormPtr& VO, const std::string& strItem, DOMDocumentPtr&& domReturn,
                                    bool bSaveMode) {
  return HeadCheck(VO, strItem, domReturn, bSaveMode);
}

std::string clsVoucherCO::HeadCheck(const VoucherFormPtr& VO, const std::string& strItem, bool bSaveMode) {
  DOMDocumentPtr domReturn;
  return HeadCheck(VO, strItem, domReturn, bSaveMode);
}

std::string clsVoucherCO::BodyCheck(const VoucherFormPtr& VO, long R, const std::string& strItem,
                                    DOMDocumentPtr&& domReturn, bool bSaveMode) {
  return BodyCheck(VO, R, strItem, domReturn, bSaveMode);
}

std::string clsVoucherCO::BodyCheck(const VoucherFormPtr& VO, long R, const std::string& strItem, bool bSaveMode) {
  DOMDocumentPtr domReturn;
  return BodyCheck(VO, R, strItem, domReturn, bSaveMode);
}

std::string clsVoucherCO::BodyCheck(const VoucherFormPtr& VO, long R, const std::string& strItem) {
  DOMDocumentPtr domReturn;
  return BodyCheck(VO, R, strItem, domReturn, false);
}

std::string clsVoucherCO::BodyCheck(const VoucherFormPtr& VO, long R, const std::string& strItem,
                                    DOMDocumentPtr& domReturn, bool bSaveMode) {
  return Business().BodyCheck(Require(VO), conn_, R, strItem, domReturn, bSaveMode, cardNumber_);
}

std::string clsVoucherCO::VoucherClose(const VoucherFormPtr& VO) {
  return Business().VoucherClose(Use(VO).HeadDOM(), conn_, login_);
}

std::string clsVoucherCO::VoucherOpen(const VoucherFormPtr& VO) {
  return Business().VoucherOpen(Use(VO).HeadDOM(), conn_);
}

std::string clsVoucherCO::VoucherConfirm(const VoucherFormPtr& VO) {
  return Business().VoucherConfirm(Use(VO).HeadDOM(), conn_, login_);
}

std::string clsVoucherCO::VoucherCancelconfirm(const VoucherFormPtr& VO) {
  return Business().VoucherCancelconfirm(Use(VO).HeadDOM(), conn_);
}

// --- Deleting, list data and filters (engine work) ------------------------------------------

std::string clsVoucherCO::VoucherDelete(const VoucherFormPtr& VO) {
  VoucherParameters params = ReadParameters();
  VoucherForm& form = Use(VO);
  return Engine().VoucherDelete(form.HeadDOM(), form.BodyDOM(), conn_, params.strTableNameMain,
                                params.strTableNameSub, params.strFieldNameMainID, params.strFieldNameCode);
}

bool clsVoucherCO::GetVchListData(const ColumnSetPtr& objColSet, RecordsetPtr& rstRetList, RecordsetPtr& rstRetSum,
                                  const std::string& strWhere, std::string& strErrMsg, bool bShowAll,
                                  long& nRecordCount, long nPageSize, long& nPageCount, long nCurrentPage) {
  return Engine().GetVchListData(conn_, cardNumber_, objColSet, rstRetList, rstRetSum, strWhere, strErrMsg, bShowAll,
                                 nRecordCount, nPageSize, nPageCount, nCurrentPage);
}

bool clsVoucherCO::GetVchListData(const ColumnSetPtr& objColSet, RecordsetPtr& rstRetList, RecordsetPtr& rstRetSum,
                                  const std::string& strWhere, std::string& strErrMsg) {
  long recordCount = 0;
  long pageCount = 0;
  return GetVchListData(objColSet, rstRetList, rstRetSum, strWhere, strErrMsg, true, recordCount, 0, pageCount, 0);
}

VchListPage clsVoucherCO::GetVchListPage(const ColumnSetPtr& objColSet, const std::string& strWhere, long nPageSize,
                                         long nCurrentPage) {
  VchListPage page;
  page.bOk = GetVchListData(objColSet, page.rstRetList, page.rstRetSum, strWhere, page.strErrMsg, nPageSize <= 0,
                            page.nRecordCount, nPageSize, page.nPageCount, nCurrentPage);
  return page;
}

std::string clsVoucherCO::GetFilterString(std::string& strFilter, bool& bCancel) {
  return Engine().GetFilterString(conn_, login_, cardNumber_, strFilter, bCancel);
}

}  // namespace fabrikon
