// The generic voucher engine: a kind's parameters and templates, loading one
// voucher into the host's documents, the moves in key order with the BOF/EOF
// state, and the numbering around the host's number service. The SQL texts
// are the ones hosts and DBAs know from traces; only the sticky filter is
// put in parentheses where it is joined to another condition, so that a
// filter with a top-level OR keeps its meaning. A load, a move and a refresh
// read under one ReadSnapshot: the head, its lines and the key range come
// from one state of the file, whose read lock is taken once.
#include "fabrikon/clsVoucherCommon.h"

#include "data/ReadSnapshot.h"
#include "engine/EngineErrors.h"
#include "fabrikon/ComError.h"
#include "fabrikon/host/HostServices.h"
#include "fabrikon/modVoucher.h"

namespace fabrikon {
using engine::CurrentErrorDescription;
using engine::LastErrorCodeOf;
using engine::Require;
using engine::Use;

namespace {

const char* const kInitNumberingFailed = "初始化单据号码失败！";
const char* const kRuleFormatFailed = "获得单据前缀格式失败！";
const char* const kDuplicateNumber = "单据号重复！";
const char* const kNumberErrorPrefix = "错误位于Function GetVoucherNO:";

const char* const kRefetchOnDuplicate = "重号自动重取";
const char* const kManualEdit = "允许手工修改";
const char* const kObjectName = "对象名称";
const char* const kSourceField = "源表字段名";
const char* const kSeed = "种子";
const char* const kRemoteNumber = "远程号";

// An attribute's text; "" when absent.
std::string AttributeText(const XmlNode& node, const std::string& name) {
  return NullToEmpty(node.getAttribute(name));
}

// A rule flag read as a boolean the classic way: "True"/"False" in any case
// or a number; anything else (an absent flag included) is an error.
bool RuleFlag(const XmlNode& node, const std::string& name) {
  Variant value = node.getAttribute(name);
  if (value.IsNull()) throw ComError(ErrorNumber::InvalidUseOfNull, "Invalid use of Null");
  std::string text = Trim(value.ToText());
  std::string lower = LCase(text);
  if (lower == "true") return true;
  if (lower == "false") return false;
  if (IsNumeric(text)) return Val(text) != 0;
  throw ComError(ErrorNumber::TypeMismatch, "Type mismatch");
}

// A key column's value against the current-ID text, by value: numeric keys
// compare numerically, NULL equals nothing.
bool SameKey(const Variant& value, const std::string& id) {
  if (value.IsNull() || value.IsEmpty()) return false;
  if (value.IsNumeric()) return IsNumeric(id) && value.ToDouble() == Val(id);
  return value.ToText() == id;
}

bool HasRows(const RecordsetPtr& rs) { return rs->RecordCount() > 0; }

// The seed of one prefix: the head's value of the source field; date fields
// give only their date part.
std::string SeedFor(const DOMDocumentPtr& domHead, const std::string& sourceField) {
  std::string tail = sourceField.size() > 4 ? sourceField.substr(sourceField.size() - 4) : sourceField;
  std::string value = GetHeadValue(domHead, sourceField);
  return LCase(tail) == "date" ? DateText(value) : value;
}

}  // namespace

// --- Voucher kind -------------------------------------------------------------

bool clsVoucherCommon::GetVoucherParameter(const ConnectionPtr& Conn, const std::string& strCardNum,
                                           std::string& strTableNameMain, std::string& strTableNameSub,
                                           std::string& strViewNameMain, std::string& strViewNameSub,
                                           std::string& strViewNameList, std::string& strFieldNameMainID,
                                           std::string& strFieldNameSubID, std::string& strFieldNameCode) {
  RecordsetPtr rs = Use(Conn).Open(
      "SELECT BTTblName,BWTblName,BTQName,VchListQName,BWQName,SelfDef1,SelfDef2,SelfDef3 FROM Vouchers "
      "WHERE CardNumber=" + SqlStr(strCardNum),
      adOpenStatic, adLockReadOnly);
  if (!rs->Eof()) {
    strTableNameMain = NullToEmpty(rs->Fields("BTTblName").Value());
    strTableNameSub = NullToEmpty(rs->Fields("BWTblName").Value());
    strViewNameMain = NullToEmpty(rs->Fields("BTQName").Value());
    strViewNameSub = NullToEmpty(rs->Fields("BWQName").Value());
    strViewNameList = NullToEmpty(rs->Fields("VchListQName").Value());
    strFieldNameMainID = NullToEmpty(rs->Fields("SelfDef1").Value());
    strFieldNameSubID = NullToEmpty(rs->Fields("SelfDef2").Value());
    strFieldNameCode = NullToEmpty(rs->Fields("SelfDef3").Value());
  }
  rs->Close();
  return false;
}

bool clsVoucherCommon::GetVoucherParameter(const ConnectionPtr& Conn, const std::string& strCardNum,
                                           VoucherParameters& p) {
  return GetVoucherParameter(Conn, strCardNum, p.strTableNameMain, p.strTableNameSub, p.strViewNameMain,
                             p.strViewNameSub, p.strViewNameList, p.strFieldNameMainID, p.strFieldNameSubID,
                             p.strFieldNameCode);
}

std::string clsVoucherCommon::GetDefaultVTID(const ConnectionPtr& Conn, const std::string& strCardNumber) {
  RecordsetPtr rs = Use(Conn).Open(
      "SELECT isnull(DEF_ID,'') AS DEF_ID FROM vouchers WHERE cardnumber=" + SqlStr(strCardNumber),
      adOpenStatic, adLockReadOnly);
  std::string id = rs->Eof() ? "" : NullToEmpty(rs->Fields("DEF_ID").Value());
  rs->Close();
  return id;
}

std::string clsVoucherCommon::GetDefaultVTIDPRN(const ConnectionPtr& Conn, const std::string& strCardNumber) {
  RecordsetPtr rs = Use(Conn).Open(
      "SELECT isnull(DEF_ID_PRN,'') AS DEF_ID_PRN FROM vouchers WHERE cardnumber=" + SqlStr(strCardNumber),
      adOpenStatic, adLockReadOnly);
  std::string id = rs->Eof() ? "" : NullToEmpty(rs->Fields("DEF_ID_PRN").Value());
  rs->Close();
  return id;
}

RecordsetPtr clsVoucherCommon::GetVoucherFormat(const ConnectionPtr& Conn, const std::string& strCardNum,
                                                const std::string& strVTID) {
  VoucherFormatServicePtr service = HostServices::CreateFormatService();
  return Use(service).GetFormat(Conn, strCardNum, Variant(strVTID));
}

RecordsetPtr clsVoucherCommon::GetVoucherFixed(const ConnectionPtr& Conn, const std::string& strVTID) {
  VoucherFormatServicePtr service = HostServices::CreateFormatService();
  return Use(service).GetFixed(Use(Conn).ConnectionString(), Variant(strVTID));
}

// --- Loading ------------------------------------------------------------------

Variant clsVoucherCommon::GetVoucherData(const ConnectionPtr& Conn, const DOMDocumentPtr& domHead,
                                         const DOMDocumentPtr& domBody, const std::string& strViewNameMain,
                                         const std::string& strPrimaryKey, const std::string& strViewNameSub,
                                         const std::string& strForeignKey, const std::string& strWhere,
                                         const std::optional<Variant>& varVoucherID,
                                         std::string& strLocateWhere) {
  ReadSnapshot snapshot(Conn);  // the head, its lines and the key range from one state
  try {
    headView_ = strViewNameMain;
    bodyView_ = strViewNameSub;
    headKey_ = strPrimaryKey;
    bodyKey_ = strForeignKey;
    if (!strWhere.empty()) filter_ = strWhere;
    if (!strLocateWhere.empty()) strLocateWhere = (filter_.empty() ? " WHERE " : " AND ") + strLocateWhere;

    bool deriveState = true;
    if (!varVoucherID) {
      RecordsetPtr rs = Use(Conn).Open("SELECT MAX(" + headKey_ + ") AS " + headKey_ + " FROM " + headView_ +
                                           W1(!strLocateWhere.empty()) + strLocateWhere,
                                       adOpenStatic, adLockReadOnly, adUseClient);
      if (!rs->Eof() && !rs->Fields(headKey_).Value().IsNull()) currentId_ = rs->Fields(headKey_).Value().ToText();
      rs->Close();
    } else {
      if (varVoucherID->IsNull()) throw ComError(ErrorNumber::InvalidUseOfNull, "Invalid use of Null");
      currentId_ = varVoucherID->ToText();
      deriveState = !currentId_.empty();
    }

    RecordsetPtr head = OpenIntoDocument(
        Conn, "SELECT *,'' AS editprop FROM " + headView_ + " WHERE " + headKey_ + " = " + SqlStr(currentId_),
        domHead);
    if (!bodyView_.empty()) {
      OpenIntoDocument(Conn,
                       "SELECT *,'' AS editprop FROM " + bodyView_ + " WHERE " + bodyKey_ + " = " +
                           SqlStr(currentId_) + " ORDER BY " + bodyKey_,
                       domBody);
    }
    if (deriveState) DeriveNavigationState(Conn, head);
  } catch (...) {
    // A failed load reports nothing: the host sees what the documents hold.
  }
  return Variant();
}

Variant clsVoucherCommon::GetVoucherData(const ConnectionPtr& Conn, const DOMDocumentPtr& domHead,
                                         const DOMDocumentPtr& domBody, const std::string& strViewNameMain,
                                         const std::string& strPrimaryKey, const std::string& strViewNameSub,
                                         const std::string& strForeignKey, const std::string& strWhere,
                                         const std::optional<Variant>& varVoucherID) {
  std::string noLocate;
  return GetVoucherData(Conn, domHead, domBody, strViewNameMain, strPrimaryKey, strViewNameSub, strForeignKey,
                        strWhere, varVoucherID, noLocate);
}

// --- Moves --------------------------------------------------------------------

Variant clsVoucherCommon::MoveFirst(const ConnectionPtr& Conn, const DOMDocumentPtr& domHead,
                                    const DOMDocumentPtr& domBody) {
  return MoveTo(Conn, "SELECT Top 1 *,'' AS editprop FROM " + headView_ + W1() + " ORDER BY " + headKey_, domHead,
                domBody);
}

Variant clsVoucherCommon::MovePrevious(const ConnectionPtr& Conn, const DOMDocumentPtr& domHead,
                                       const DOMDocumentPtr& domBody) {
  return MoveTo(Conn,
                "SELECT Top 1 *,'' AS editprop FROM " + headView_ + " WHERE " + headKey_ + " < " +
                    SqlStr(currentId_) + W2() + " ORDER BY " + headKey_ + " DESC",
                domHead, domBody);
}

Variant clsVoucherCommon::MoveNext(const ConnectionPtr& Conn, const DOMDocumentPtr& domHead,
                                   const DOMDocumentPtr& domBody) {
  return MoveTo(Conn,
                "SELECT Top 1 *,'' AS editprop FROM " + headView_ + " WHERE " + headKey_ + " > " +
                    SqlStr(currentId_) + W2() + " ORDER BY " + headKey_,
                domHead, domBody);
}

Variant clsVoucherCommon::MoveLast(const ConnectionPtr& Conn, const DOMDocumentPtr& domHead,
                                   const DOMDocumentPtr& domBody) {
  return MoveTo(Conn, "SELECT Top 1 *,'' AS editprop FROM " + headView_ + W1() + " ORDER BY " + headKey_ + " DESC",
                domHead, domBody);
}

Variant clsVoucherCommon::Refresh(const ConnectionPtr& Conn, const DOMDocumentPtr& domHead,
                                  const DOMDocumentPtr& domBody) {
  Connection& conn = Use(Conn);
  ReadSnapshot snapshot(Conn);
  RecordsetPtr head = conn.Open("SELECT Top 1 *,'' AS editprop FROM " + headView_ + " WHERE " + headKey_ +
                                    ">=" + SqlStr(currentId_) + W2() + " ORDER BY " + headKey_,
                                adOpenStatic, adLockBatchOptimistic, adUseClient);
  if (!HasRows(head)) {
    head->Close();
    head = conn.Open("SELECT Top 1 *,'' AS editprop FROM " + headView_ + W1() + " ORDER BY " + headKey_ + " DESC",
                     adOpenStatic, adLockBatchOptimistic, adUseClient);
  }
  std::string bodySql = HasRows(head) ? BodyByKeySql(head->Fields(headKey_).Value().ToText())
                                      : "SELECT *,'' AS editprop FROM " + bodyView_ + " WHERE " + bodyKey_ + " = ''";
  RecordsetPtr body = conn.Open(bodySql, adOpenStatic, adLockBatchOptimistic, adUseClient);
  DeriveNavigationState(Conn, head);
  head->Save(Require(domHead), adPersistXML);
  body->Save(Require(domBody), adPersistXML);
  head->Close();
  body->Close();
  return Variant();
}

Variant clsVoucherCommon::MoveTo(const ConnectionPtr& Conn, const std::string& headSql,
                                 const DOMDocumentPtr& domHead, const DOMDocumentPtr& domBody) {
  ReadSnapshot snapshot(Conn);
  RecordsetPtr head = OpenIntoDocument(Conn, headSql, domHead);
  if (!bodyView_.empty() && HasRows(head)) {
    OpenIntoDocument(Conn, BodyByKeySql(head->Fields(headKey_).Value().ToText()), domBody)->Close();
  }
  DeriveNavigationState(Conn, head);
  head->Close();
  return Variant();
}

// Where the loaded voucher stands in the filtered set.
void clsVoucherCommon::DeriveNavigationState(const ConnectionPtr& Conn, const RecordsetPtr& head) {
  if (!HasRows(head)) {
    currentId_.clear();
    bof_ = eof_ = true;
    return;
  }
  head->MoveFirst();
  currentId_ = head->Fields(headKey_).Value().ToText();
  RecordsetPtr range =
      Use(Conn).Open("SELECT MAX(" + headKey_ + ") AS MaxID,min(" + headKey_ + ") AS MinID FROM " + headView_ + W1());
  bool isLast = SameKey(range->Fields("maxid").Value(), currentId_);
  bool isFirst = SameKey(range->Fields("MinID").Value(), currentId_);
  range->Close();
  bof_ = isFirst;
  eof_ = isLast;
}

RecordsetPtr clsVoucherCommon::OpenIntoDocument(const ConnectionPtr& Conn, const std::string& sql,
                                                const DOMDocumentPtr& document) const {
  Require(document);
  RecordsetPtr rs = Use(Conn).Open(sql, adOpenStatic, adLockBatchOptimistic, adUseClient);
  rs->Save(document, adPersistXML);
  return rs;
}

// The filter as the whole WHERE clause; in parentheses when another
// condition follows it.
std::string clsVoucherCommon::W1(bool joined) const {
  if (filter_.empty()) return "";
  return joined ? " WHERE (" + filter_ + ")" : " WHERE " + filter_;
}

// The filter joined to the key condition.
std::string clsVoucherCommon::W2() const { return filter_.empty() ? "" : " AND (" + filter_ + ")"; }

std::string clsVoucherCommon::BodyByKeySql(const std::string& key) const {
  return "SELECT *,'' AS editprop FROM " + bodyView_ + " WHERE " + bodyKey_ + " = " + SqlStr(key);
}

// --- Numbering ----------------------------------------------------------------

std::string clsVoucherCommon::GetVoucherNOType(const ConnectionPtr& Conn, const std::string& strCardNum,
                                               DOMDocumentPtr& domFormat, std::string& strNoType) {
  try {
    VoucherNumberServicePtr service = HostServices::CreateNumberService();
    std::string card = strCardNum;
    if (!Use(service).InitNumbering(Use(Conn).ConnectionString(), card)) return kInitNumberingFailed;
    if (!domFormat) domFormat = DOMDocument::Create();
    if (!domFormat->loadXML(service->GetRuleXml())) return kRuleFormatFailed;
    XmlNode number = domFormat->selectSingleNode("//单据编号");
    if (!number) throw ComError(ErrorNumber::ObjectNotSet, "Object variable or With block variable not set");
    bool refetch = RuleFlag(number, kRefetchOnDuplicate);
    bool editable = RuleFlag(number, kManualEdit);
    if (!refetch && !editable) {
      strNoType = "自动编号不许手工修改";
    } else if (refetch && !editable) {
      strNoType = "自动编号允许手工修改";
    } else if (!refetch && editable) {
      strNoType = "非自动编号";
    }
  } catch (...) {
    // The numbering type stays as it was; the host asks again later.
  }
  return "";
}

std::string clsVoucherCommon::GetVoucherNO(const ConnectionPtr& Conn, const std::string& strCardNum,
                                           const DOMDocumentPtr& domHead, std::string& strErrMsg, bool bGetRealNo,
                                           bool bSynchronization, const std::string& strTableName,
                                           const std::string& strFieldNameCode, const std::string& strVoucherNO) {
  strErrMsg = "";
  VoucherNumberServicePtr service;
  try {
    service = HostServices::CreateNumberService();
    std::string card = strCardNum;
    if (!Use(service).InitNumbering(Use(Conn).ConnectionString(), card)) {
      strErrMsg = kInitNumberingFailed;
      return "";
    }
    DOMDocumentPtr rule = DOMDocument::Create();
    if (!rule->loadXML(service->GetRuleXml())) {
      strErrMsg = kRuleFormatFailed;
      return "";
    }
    // A manually numbered card never receives a code from here.
    for (const XmlNode& number : rule->selectNodes("//单据编号")) {
      if (AttributeText(number, kRefetchOnDuplicate) == "False" && AttributeText(number, kManualEdit) == "True") {
        strErrMsg = kDuplicateNumber;
        return "";
      }
    }
    for (XmlNode prefix : rule->selectNodes("//单据编号/前缀[@对象类型!=5]")) {
      if (AttributeText(prefix, kObjectName) == kRemoteNumber) continue;
      prefix.setAttribute(kSeed, Variant(SeedFor(domHead, AttributeText(prefix, kSourceField))));
    }
    if (bSynchronization) {
      XmlNode first = rule->selectSingleNode("//前缀");
      std::string seed = first ? AttributeText(first, kSeed) : "";
      service->SyncNumber(strTableName, strFieldNameCode, strVoucherNO, seed, "");
    }
    return service->GetNumber(rule->xml(), bGetRealNo);
  } catch (...) {
    strErrMsg = kNumberErrorPrefix + CurrentErrorDescription() + std::to_string(LastErrorCodeOf(service));
  }
  return "";
}

}  // namespace fabrikon
