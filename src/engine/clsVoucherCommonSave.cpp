// Saving and deleting vouchers in the engine: the INSERT, UPDATE and DELETE
// statements built from the head and body documents and their editprop
// marks, the keys of new rows (MAX + 1), the renumbering of an outsourcing
// order whose code was taken meanwhile, and the deletion of a voucher with
// the rows that depend on it.
//
// Every statement of the line batches is checked on its own: a batch answers
// with the count of its first statement only, which would let a stale second
// line or an added line whose key was taken slip through as success.
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "engine/EngineErrors.h"
#include "engine/TableMetadataCache.h"
#include "fabrikon/clsVoucherCommon.h"
#include "fabrikon/host/HostServices.h"
#include "fabrikon/modVoucher.h"

namespace fabrikon {
using engine::Use;

namespace {

const char* const kHeadOnlyChanged = "保存失败！可能因为本条记录已被别的操作员修改或删除。";
const char* const kHeadOnlyDuplicate = "保存失败！可能因为作为关键字的编码重复或引用的数据被修改。";
const char* const kSaveFailed = "保存失败！";
const char* const kChanged = "保存失败，可能该单据已被其它用户修改或删除！";
const char* const kSalesOrderChanged = "保存失败，关联的销售订单已被修改！";
const char* const kNoNumberRule = "保存失败，读取单据编码规则失败！";
const char* const kDuplicateNumber = "保存失败，可能因为单号或ID重复，请重新保存或查看并修改当前流水号！";
const char* const kErrorNew = "保存失败，可能因为单号或ID重复或引用的数据被修改，请重新保存！";
const char* const kErrorEdited = "保存失败，可能因为单号或ID重复或单据已经被修改，请刷新后重试！";
const char* const kErrorCause = "错误原因：";
const char* const kManualNumbering = "非自动编号";
const char* const kOutsourcingHead = "om_productpo";
const char* const kProductionHead = "pp_productpo";
constexpr int kMaxRenumberings = 6;

// A save that stops with one of its messages (the message without its
// carriage return).
struct SaveRefused {
  std::string message;
};

// The count ADO reports for a batch: that of its first statement with one.
long BatchCount(const std::vector<long>& counts) {
  for (long count : counts) {
    if (count != kNoCount) return count;
  }
  return -1;
}

// Rolls back what this save wrote; the transaction may already be gone.
void RollbackQuietly(const ConnectionPtr& Conn) {
  try {
    if (Conn) Conn->RollbackTrans();
  } catch (...) {
    // Nothing left to roll back.
  }
}

bool SameName(const std::string& a, const std::string& b) { return LCase(a) == LCase(b); }

std::string Attribute(const XmlNode& row, const std::string& name) { return NullToEmpty(row.getAttribute(name)); }

bool IsTrueText(const std::string& text) {
  const std::string value = LCase(Trim(text));
  return value == "true" || (IsNumeric(value) && Val(value) != 0);
}

CardNumberRegistry& Registry() { return Use(HostServices::GetCardNumberRegistry()); }

std::string OutsourcingOrderCard(const ConnectionPtr& Conn) {
  return Registry().WWOrderCardNumber(Use(Conn).ConnectionString());
}

// A line key as the 32-bit integer the lines are numbered with.
int32_t LineKey(double value) {
  if (!(value >= -2147483648.0 && value <= 2147483647.0)) throw ComError(ErrorNumber::Overflow, "Overflow");
  return static_cast<int32_t>(value);
}

// The lines of one save, sorted into the three batches.
struct LineBatches {
  std::string deletes, updates, inserts;
  size_t updateCount = 0, insertCount = 0;
};

// Runs a batch that is not blank; answers each statement's count.
std::vector<long> RunBatch(const ConnectionPtr& Conn, const std::string& batch, long& lastCount) {
  if (Trim(batch).empty()) return {};
  std::vector<long> counts = Use(Conn).ExecuteEach(batch);
  lastCount = BatchCount(counts);
  return counts;
}

// Every guarded line update must have found its line, and every added line
// must have been inserted (its IF NOT EXISTS guard reports no count when the
// key was taken).
void RequireEveryLine(const std::vector<long>& counts, size_t expected) {
  if (counts.size() != expected) throw SaveRefused{kChanged};
  for (long count : counts) {
    if (count < 1) throw SaveRefused{kChanged};
  }
}

}  // namespace

// --- Head only -------------------------------------------------------------------

std::string clsVoucherCommon::VoucherSave1(const ConnectionPtr& Conn, const DOMDocumentPtr& domHead,
                                           const std::string& strTableName, const std::string& strKeyField,
                                           int16_t iState) {
  try {
    for (const XmlNode& row : Use(domHead).selectNodes("//z:row")) {
      long affected = 0;
      if (iState == 1) {
        Use(Conn).Execute(UpdateSQL(Conn, row, strTableName, strKeyField), affected);
        if (affected == 0) return kHeadOnlyChanged;
        if (affected == -1) break;
      } else if (iState == 2) {
        Use(Conn).Execute(InsertSQL(Conn, row, strTableName, strKeyField, ""), affected);
        if (affected == -1) return kHeadOnlyDuplicate;
      }
    }
  } catch (...) {
    // A statement that failed wrote nothing: that is a failed save, not a success.
    return std::string(kSaveFailed) + "\r" + kErrorCause + engine::CurrentErrorDescription();
  }
  return "";
}

// --- Head and lines ------------------------------------------------------------------

namespace {

// What one pass of the engine's save works with.
struct SavePass {
  ConnectionPtr conn;
  DOMDocumentPtr head, body;
  std::string tableMain, tableSub, keyMain, keySub, codeColumn;
  int16_t state = 0;
  std::string newHeadKey;  // iState 2 only
  double bodyKeyBase = 0;
  std::string headKey;     // the saved voucher's key, handed back as varCurID
  long lastCount = -1;     // the count of the last statement run
};

void ComputeKeys(SavePass& pass) {
  pass.newHeadKey.clear();
  if (pass.state == 2) {
    pass.newHeadKey = SameName(pass.codeColumn, pass.keyMain)
                          ? GetHeadValue(pass.head, pass.codeColumn)
                          : NumberText(Val(MaxValue(pass.tableMain, pass.keyMain, pass.conn)) + 1);
  }
  pass.bodyKeyBase = Val(MaxValue(pass.tableSub, pass.keySub, pass.conn)) + 1;
}

// Inserts or updates the head rows. Answers the row whose code or key was
// taken by someone else (Nothing when every row was written).
XmlNode WriteHead(SavePass& pass, bool renumbered) {
  for (XmlNode row : Use(pass.head).selectNodes("//z:row")) {
    if (pass.state == 2) {
      row.setAttribute(LCase(pass.keyMain), pass.newHeadKey);
      Use(pass.conn).Execute(InsertSQL(pass.conn, row, pass.tableMain, pass.keyMain, pass.codeColumn),
                             pass.lastCount);
      if (pass.lastCount == -1) return row;
      pass.headKey = pass.newHeadKey;
      if (LCase(pass.tableMain) == kOutsourcingHead) {
        const int16_t vtid = Registry().WWOrderDefaultVTID(pass.conn->ConnectionString());
        pass.conn->Execute("update om_productpo set ivtid=isnull(ivtid," + std::to_string(vtid) +
                           ") where om_productpo.id=" + SqlStr(Variant(pass.newHeadKey)) +
                           " and om_productpo.ivtid is null");
      }
      GetRealNo() = !renumbered;
    } else if (pass.state == 1) {
      pass.headKey = Attribute(row, pass.keyMain);
      Use(pass.conn).Execute(UpdateSQL(pass.conn, row, pass.tableMain, pass.keyMain), pass.lastCount);
      if (pass.lastCount == 0) throw SaveRefused{kChanged};
    }
  }
  return XmlNode();
}

// An added line pushed down from a sales order must come from the version of
// the order that the user saw.
void CheckSalesOrder(const SavePass& pass, const XmlNode& row) {
  if (!HasAttribute(row, "bputfromso") || !IsTrueText(Attribute(row, "bputfromso"))) return;
  const std::string soqxts = Attribute(row, "soqxts");
  if (soqxts.empty()) return;
  const std::string sql = "select top 1 convert(char,convert(money,qxts),2) as qxts from so_somain where id=" +
                          SqlNumber(Attribute(row, "soid"), "soid");
  RecordsetPtr rs = pass.conn->Open(sql, adOpenStatic, adLockReadOnly);
  const bool changed = !rs->Eof() && NullToEmpty(rs->Fields("qxts").Value()) != soqxts;
  rs->Close();
  if (changed) throw SaveRefused{kSalesOrderChanged};
}

// The head an added line belongs to: found by the voucher's code, or the key
// just given to the new head. A head keyed by its code is referred to by the
// code text itself (reading it as a number would orphan the line).
std::string HeadReference(const SavePass& pass) {
  const std::string code = GetHeadValue(pass.head, pass.codeColumn);
  if (code.empty()) return pass.newHeadKey;
  if (SameName(pass.keyMain, pass.codeColumn)) return code;
  return NumberText(Val(LookupValue(pass.tableMain, pass.keyMain, pass.codeColumn, code, pass.conn)));
}

LineBatches SortLines(const SavePass& pass) {
  LineBatches batches;
  std::optional<std::string> headReference;  // the same for every added line
  for (XmlNode row : Use(pass.body).selectNodes("//z:row")) {
    const std::string mark = Attribute(row, "editprop");
    if (mark == "M") {
      batches.updates += " " + UpdateSQL(pass.conn, row, pass.tableSub, pass.keySub);
      ++batches.updateCount;
    } else if (mark == "D") {
      batches.deletes += " " + DeleteSQL(row, pass.tableSub, pass.keySub);
    } else if (mark == "A") {
      CheckSalesOrder(pass, row);
      if (!headReference) headReference = HeadReference(pass);
      row.setAttribute(pass.keyMain, *headReference);
      // Added lines take consecutive keys from the base, in document order.
      row.setAttribute(pass.keySub, std::to_string(LineKey(pass.bodyKeyBase + batches.insertCount)));
      batches.inserts += " " + InsertSQL(pass.conn, row, pass.tableSub, pass.keySub, "");
      ++batches.insertCount;
    }
  }
  return batches;
}

// Gives the head row a fresh code after its code was found taken. Only
// automatically numbered outsourcing orders are renumbered.
void RenumberOutsourcingOrder(clsVoucherCommon& engine, const ConnectionPtr& Conn, const std::string& tableMain,
                              const std::string& codeColumn, const DOMDocumentPtr& domHead, XmlNode row) {
  const std::string card = OutsourcingOrderCard(Conn);
  DOMDocumentPtr format = DOMDocument::Create();
  std::string noType;
  if (!engine.GetVoucherNOType(Conn, card, format, noType).empty()) throw SaveRefused{kNoNumberRule};
  if (noType == kManualNumbering || LCase(tableMain) != kOutsourcingHead) throw SaveRefused{kDuplicateNumber};
  std::string errMsg;
  row.setAttribute(LCase(codeColumn), engine.GetVoucherNO(Conn, card, domHead, errMsg, true, false, "", "", ""));
}

void WriteLines(SavePass& pass) {
  const LineBatches batches = SortLines(pass);
  RunBatch(pass.conn, batches.deletes, pass.lastCount);
  if (batches.updateCount) RequireEveryLine(RunBatch(pass.conn, batches.updates, pass.lastCount), batches.updateCount);
  if (batches.insertCount) RequireEveryLine(RunBatch(pass.conn, batches.inserts, pass.lastCount), batches.insertCount);
  if (pass.state == 1 && pass.lastCount == 0) throw SaveRefused{kChanged};
}

}  // namespace

std::string clsVoucherCommon::VoucherSave2(ConnectionPtr& Conn, const DOMDocumentPtr& domHead,
                                           const DOMDocumentPtr& domBody, const std::string& strTableNameMain,
                                           const std::string& strTableNameSub, const std::string& strFieldNameMainID,
                                           const std::string& strFieldNameSubID, const std::string& strFieldNameCode,
                                           int16_t iState, Variant& varCurID) {
  TableMetadataCache columns;
  SavePass pass;
  pass.conn = Conn;
  pass.head = domHead;
  pass.body = domBody;
  pass.tableMain = strTableNameMain;
  pass.tableSub = strTableNameSub;
  pass.keyMain = strFieldNameMainID;
  pass.keySub = strFieldNameSubID;
  pass.codeColumn = strFieldNameCode;
  pass.state = iState;
  std::string result;
  try {
    for (int renumberings = 0;;) {
      ComputeKeys(pass);
      const XmlNode taken = WriteHead(pass, renumberings > 0);
      if (taken.IsNothing()) break;
      RenumberOutsourcingOrder(*this, Conn, strTableNameMain, strFieldNameCode, domHead, taken);
      if (++renumberings >= kMaxRenumberings) throw SaveRefused{kDuplicateNumber};
    }
    WriteLines(pass);
    if (LCase(strTableNameMain) == kOutsourcingHead) {
      Use(Conn).Execute("update om_pomain set imakecharge=isnull(imakecharge,0) where om_pomain.id=" +
                        SqlStr(Variant(pass.headKey)));
    }
    varCurID = Variant(pass.headKey);
    return "";
  } catch (const SaveRefused& refused) {
    result = refused.message + "\r";
  } catch (...) {
    if (iState == 2) result = std::string(kErrorNew) + "\r" + kErrorCause + engine::CurrentErrorDescription();
    if (iState == 1) result = std::string(kErrorEdited) + "\r" + kErrorCause + engine::CurrentErrorDescription();
  }
  RollbackQuietly(Conn);
  return result;
}

// --- Deleting ------------------------------------------------------------------------------

namespace {

const char* const kSalesOrderSubtract =
    " update SO_SODetails set SO_SODetails.fTotolPut=isnull(SO_SODetails.fTotolPut,0) - isnull(OM_POMain.fQuantity,0)";
const char* const kSalesOrderJoinD =
    " from SO_SODetails inner join OM_POMain on OM_POMain.cSOsIDs=','+cast (iSOsID as varchar)+','  where OM_POMain.mainid=";

std::string DeleteByKey(const std::string& table, const std::string& keyColumn, const std::string& keyLiteral) {
  return "delete from " + table + " where " + keyColumn + " = " + keyLiteral;
}

// The rows that hang on an outsourcing order: material lines and the
// receipts that name its code.
void DeleteOutsourcingDependents(const ConnectionPtr& Conn, const std::string& id) {
  const std::string x = SqlNumber(id, "id");
  Connection& conn = Use(Conn);
  conn.Execute("delete from om_podetails where mainid in (select mainid from om_pomain where id=" + x + ")");
  conn.Execute(
      "delete from YK_MachineInBills where AutoIDs in (select autoid from YK_MachineInBill where ccode in "
      "(select ccode from om_productpo where id=" + x + " )) ");
  conn.Execute("delete from YK_MachineInBill where ccode in (select ccode from om_productpo where id=" + x + ") ");
}

// A production order's material lines hang on its order lines; without this
// they would outlive the order and still be counted as demand.
void DeleteProductionDependents(const ConnectionPtr& Conn, const std::string& id) {
  Use(Conn).Execute("delete from PP_PODetails where mainid in (select mainid from pp_pomain where id=" +
                    SqlNumber(id, "id") + ")");
}

void DeleteVoucherRows(const ConnectionPtr& Conn, const DOMDocumentPtr& domHead, const std::string& tableMain,
                       const std::string& tableSub, const std::string& keyMain, const std::string& codeColumn) {
  const std::string k = GetHeadValue(domHead, keyMain);
  // A head keyed by its code is deleted by the quoted code; a numeric key goes in as it is.
  const std::string literal = SameName(codeColumn, keyMain) ? SqlStr(Variant(k)) : SqlNumber(k, keyMain);
  if (!tableSub.empty()) Use(Conn).Execute(DeleteByKey(tableSub, keyMain, literal));
  if (!tableMain.empty()) Use(Conn).Execute(DeleteByKey(tableMain, keyMain, literal));
}

}  // namespace

std::string clsVoucherCommon::DoWriteBackVoucherD(const DOMDocumentPtr& /*domHead*/, const DOMDocumentPtr& domBody,
                                                  const ConnectionPtr& Conn) {
  std::string batch;
  for (const XmlNode& row : Use(domBody).selectNodes("//z:row [(@bputfromso=1 or @bputfromso='True')]")) {
    batch += std::string(kSalesOrderSubtract) + kSalesOrderJoinD + SqlNumber(Attribute(row, "mainid"), "mainid") + "\r";
  }
  if (!batch.empty()) Use(Conn).Execute(batch);
  return "";
}

std::string clsVoucherCommon::VoucherDelete(const DOMDocumentPtr& domHead, const DOMDocumentPtr& domBody,
                                            ConnectionPtr& Conn, const std::string& strTableNameMain,
                                            const std::string& strTableNameSub,
                                            const std::string& strFieldNameMainID,
                                            const std::string& strFieldNameCode) {
  bool began = false;
  try {
    Use(Conn).BeginTrans();
    began = true;
    DoWriteBackVoucherD(domHead, domBody, Conn);
    if (LCase(strTableNameMain) == kOutsourcingHead) DeleteOutsourcingDependents(Conn, GetHeadValue(domHead, "id"));
    if (LCase(strTableNameMain) == kProductionHead) DeleteProductionDependents(Conn, GetHeadValue(domHead, "id"));
    DeleteVoucherRows(Conn, domHead, strTableNameMain, strTableNameSub, strFieldNameMainID, strFieldNameCode);
    Conn->Execute(
        " update pp_rmrpdetails set iinput=ISNULL((select sum(isnull(fquantity,0)) from pp_pomain where "
        "idatafrom=pp_rmrpdetails.nid),0)+ISNULL((select sum(isnull(fquantity,0)) from om_pomain where "
        "idatafrom=pp_rmrpdetails.nid),0) ");
    Conn->CommitTrans();
    return "删除单据[" + GetHeadValue(domHead, "ccode") + "]成功！";
  } catch (...) {
    // A transaction this call did not open (BeginTrans refused) is not ours to end.
    if (began) RollbackQuietly(Conn);
    return "删除单据[" + TryGetHeadValue(domHead, "ccode") + "]失败！";
  }
}

}  // namespace fabrikon
