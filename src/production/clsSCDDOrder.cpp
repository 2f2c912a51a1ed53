// clsSCDDOrder: production order (card "pp25"). Defaults of a new head, the
// field and save checks of head and lines, approval and closing with their
// reversals, and the material list rebuilt from the bills of materials after
// each save. Messages and statements are the ones the host's screens and
// the other vouchers of the database expect, byte for byte.
#include "fabrikon/clsSCDDOrder.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <exception>
#include <optional>
#include <string_view>

#include "engine/EngineErrors.h"
#include "fabrikon/modVoucher.h"
#include "production/modProduction.h"

namespace fabrikon {

using production::BodyFieldMessage;
using production::BodyLineMessage;
using production::kCR;
using production::KeyList;
using production::OrderMessage;
using production::RowVersionGuard;

namespace {

constexpr const char* kKind = "生产订单";
constexpr const char* kNoDocument = "此张单据已经被删除或不存在任何单据，请刷新后重试！";
constexpr const char* kNoBodyData = "表体：没有数据不能保存，请检查！";
constexpr const char* kNotEmpty = "]不能为空，请检查！";

XmlNode HeadRow(const DOMDocumentPtr& domHead) {
  XmlNode row = domHead ? domHead->selectSingleNode("//z:row") : XmlNode();
  if (!row) throw ComError(ErrorNumber::ObjectNotSet, "Object variable or With block variable not set");
  return row;
}

bool HasRow(const DOMDocumentPtr& document) {
  return document && document->selectNodes("//z:row").length() > 0;
}

std::string SaveModeHeadCheck(const DOMDocumentPtr& domHead) {
  std::string result;
  XmlAttributes attributes = HeadRow(domHead).attributes();
  for (long i = 0; i < attributes.length(); ++i) {
    const std::string name = attributes.item(i).nodeName();
    if (LCase(name) == "dplandate" && GetHeadValue(domHead, name).empty()) {
      result += "表头：[" + name + kNotEmpty + kCR;
    }
  }
  return result;
}

// Save mode: the required cells of one line, in the order of its attributes.
std::string SaveModeLineCheck(const XmlNode& row, long line) {
  std::string result;
  XmlAttributes attributes = row.attributes();
  for (long i = 0; i < attributes.length(); ++i) {
    XmlNode attribute = attributes.item(i);
    const std::string lower = LCase(attribute.nodeName());
    if ((lower == "cinvcode" || lower == "dstartdate" || lower == "denddate") &&
        attribute.nodeValue().empty()) {
      result += BodyFieldMessage(line, attribute.nodeName(), kNotEmpty);
    }
  }
  return result;
}

// Field mode: the one cell the user just edited, read from the edited line.
std::string FieldModeLineCheck(const DOMDocumentPtr& domBody, ConnectionPtr& Conn, long R,
                               const std::string& strItem, DOMDocumentPtr& domReturn) {
  const XmlNode row = FieldModeRow(domBody, R);
  const std::string item = LCase(strItem);
  const std::string value = RowValue(row, strItem);
  ReferenceCheckerPtr checker;
  std::string answer;
  if (production::IsFreeItemName(item)) {
    answer = production::BodyReferenceAnswer(checker, strItem, value, domReturn, Conn, RowValue(row, "cInvCode"));
  } else if (item == "cinvcode") {
    answer = production::HeadReferenceAnswer(checker, strItem, value, domReturn, Conn, "");
  } else if (item == "dstartdate") {
    const std::string endDate = RowValue(row, "denddate");
    // Dates are compared as the texts the document holds, ordinally.
    if (!endDate.empty() && value > endDate) {
      return BodyFieldMessage(R, strItem, "]不能大于[denddate]，请检查！");
    }
  } else if (item == "denddate") {
    if (value < RowValue(row, "dstartdate")) {
      return BodyFieldMessage(R, strItem, "]不能小于[dstartdate]，请检查！");
    }
  }
  return answer.empty() ? "" : BodyLineMessage(R, answer);
}

}  // namespace

// ---- defaults and checks ----------------------------------------------------

std::string clsSCDDOrder::VoucherNew(VoucherFormPtr& VO, LoginInfoPtr& Login) {
  VO->HeadDOM(NewHeadDocument({
      {"ddate", Variant(Login->CurDate())},
      {"cmaker", Variant(Login->cUserId())}}));
  return "";
}

std::string clsSCDDOrder::HeadCheck(VoucherFormPtr VO, ConnectionPtr& Conn, const std::string& strItem,
                                    DOMDocumentPtr& domReturn, bool bSaveMode, std::string&) {
  DOMDocumentPtr domHead = VO->HeadDOM();
  HeadRow(domHead);  // a head without a row fails in both modes
  if (bSaveMode) return SaveModeHeadCheck(domHead);

  const std::string item = LCase(strItem);
  if (item != "cdepname" && item != "cdepcode" && item != "cpersoncode" && item != "cpersonname") {
    return "";
  }
  ReferenceCheckerPtr checker;
  const std::string answer = production::HeadReferenceAnswer(
      checker, strItem, GetHeadValue(domHead, strItem), domReturn, Conn, "");
  return answer.empty() ? "" : "表头：" + answer + kCR;
}

std::string clsSCDDOrder::BodyCheck(VoucherFormPtr VO, ConnectionPtr& Conn, long R,
                                    const std::string& strItem, DOMDocumentPtr& domReturn,
                                    bool bSaveMode, std::string&) {
  DOMDocumentPtr domBody = engine::Require(VO->BodyDOM());
  const XmlNodeList rows = domBody->selectNodes("//z:row");
  if (rows.length() == 0 || domBody->selectNodes("//z:row [@editprop='D']").length() == rows.length()) {
    return std::string(kNoBodyData) + kCR;
  }
  // Field mode checks the edited line once.
  if (!bSaveMode) return FieldModeLineCheck(domBody, Conn, R, strItem, domReturn);

  std::string result;
  long line = 0;
  for (const XmlNode& row : rows) result += SaveModeLineCheck(row, ++line);
  return result;
}

// ---- workflow -----------------------------------------------------------------

std::string clsSCDDOrder::VoucherAllowNew(DOMDocumentPtr, ConnectionPtr&) { return ""; }

std::string clsSCDDOrder::VoucherAllowEdit(DOMDocumentPtr domHead, ConnectionPtr&) {
  return HasRow(domHead) ? "" : kNoDocument;
}

std::string clsSCDDOrder::VoucherAllowDelete(DOMDocumentPtr domHead, DOMDocumentPtr, ConnectionPtr& Conn) {
  if (!HasRow(domHead)) return kNoDocument;
  const std::string qxts = GetHeadValue(domHead, "qxts");
  const std::string id = GetHeadValue(domHead, "id");
  // The order must still be there as loaded: look for the row itself (a
  // select's records-affected count says nothing about what it found).
  RecordsetPtr rs = Conn->Open("select * from pp_productpo WHERE " + RowVersionGuard(qxts) +
                                   " AND pp_productpo.ID=" + SqlStr(Variant(id)),
                               adOpenStatic, adLockReadOnly);
  const bool found = !rs->Eof();
  rs->Close();
  if (!found) return "此张单据[" + id + "]已经被改变或删除，删除失败！";
  return "";
}

std::string clsSCDDOrder::VoucherConfirm(DOMDocumentPtr domHead, ConnectionPtr& Conn, LoginInfoPtr& Login) {
  const std::string id = GetHeadValue(domHead, "id");
  const std::string list =
      KeyList(Conn, "Select cdepcode,id from pp_scdd_h where id=" + SqlStr(Variant(id)), "id");
  if (!GetHeadValue(domHead, "cverifier").empty()) {
    return OrderMessage(kKind, list, "已经被审核，审核失败！");
  }
  long affected = 0;
  Conn->Execute("UPDATE pp_productpo SET cverifier=" + SqlStr(Variant(Login->cUserName())) +
                    ", dcheckdate=" + SqlStr(Variant(Login->CurDate().ToText())) + " WHERE " +
                    RowVersionGuard(GetHeadValue(domHead, "qxts")) +
                    " AND pp_productpo.id=" + SqlStr(Variant(id)),
                affected);
  return OrderMessage(kKind, list, affected != 0 ? "审核成功！" : "已经被改变或删除，审核失败！");
}

namespace {

// Lines of the order that progress has been reported on: a line of an order
// completion report on the line itself, or a line of a progress completion
// report on a dispatch card made from it.
std::string ReportedLinesQuery(const std::string& id) {
  return "select distinct d.id as ids, d.mainid as mosubid from pp_pomain as d "
         "where d.id=" + SqlStr(Variant(id)) +
         " and (exists (select 1 from pp_porptde as r where r.mainid=d.mainid) "
         "or exists (select 1 from pp_moorderrptde as r "
         "inner join pp_moorderde as c on r.mosubid=c.mosubid "
         "inner join PP_MoOrderMa as m on c.moid=m.moid where m.mainid=d.mainid)) "
         "order by d.mainid";
}

}  // namespace

std::string clsSCDDOrder::VoucherCancelconfirm(DOMDocumentPtr domHead, ConnectionPtr& Conn) {
  const std::string id = GetHeadValue(domHead, "id");
  const std::string list =
      KeyList(Conn, "Select distinct id,mainid from pp_scdd_l where id=" + SqlStr(Variant(id)), "mainid");
  if (GetHeadValue(domHead, "cverifier").empty()) return OrderMessage(kKind, list, "尚未被审核，弃审失败！");
  if (!GetHeadValue(domHead, "cclose").empty()) return OrderMessage(kKind, list, "已经被关闭，弃审失败！");
  const std::string reported = KeyList(Conn, ReportedLinesQuery(id), "mosubid");
  if (!reported.empty()) return OrderMessage(kKind, reported, "已经做进度汇报，弃审失败！");

  long affected = 0;
  Conn->Execute("UPDATE pp_productpo SET cverifier=null,dcheckdate=null WHERE " +
                    RowVersionGuard(GetHeadValue(domHead, "qxts")) +
                    " AND pp_productpo.id=" + SqlStr(Variant(id)),
                affected);
  return OrderMessage(kKind, list, affected != 0 ? "弃审成功！" : "已经被改变或删除，弃审失败！");
}

namespace {

// Closing and reopening mark every line of the order; the document's row
// version is the head's, so the guard tests it on the head row.
std::string CloseMarkUpdate(const std::string& setClause, const DOMDocumentPtr& domHead,
                            const std::string& moid) {
  return "UPDATE pp_pomain SET " + setClause +
         " WHERE EXISTS (select 1 from pp_productpo WHERE " +
         RowVersionGuard(GetHeadValue(domHead, "qxts")) + " AND pp_productpo.id=" + SqlStr(Variant(moid)) +
         ") AND pp_pomain.ID=" + SqlStr(Variant(moid));
}

std::string LinesListQuery(const std::string& moid) {
  return "Select cdepcode,id from pp_scdd_l where id=" + SqlStr(Variant(moid));
}

}  // namespace

std::string clsSCDDOrder::VoucherClose(DOMDocumentPtr domHead, ConnectionPtr& Conn, LoginInfoPtr& Login) {
  const std::string moid = GetHeadValue(domHead, "moid");
  const std::string list = KeyList(Conn, LinesListQuery(moid), "id");
  if (GetHeadValue(domHead, "cverifier").empty()) return OrderMessage(kKind, list, "尚未被审核，关闭失败！");
  if (!GetHeadValue(domHead, "cclose").empty()) return OrderMessage(kKind, list, "已经被关闭，关闭失败！");
  long affected = 0;
  Conn->Execute(CloseMarkUpdate("cclose=" + SqlStr(Variant(Login->cUserName())), domHead, moid), affected);
  return OrderMessage(kKind, list, affected != 0 ? "关闭成功！" : "已经被改变或删除，关闭失败！");
}

std::string clsSCDDOrder::VoucherOpen(DOMDocumentPtr domHead, ConnectionPtr& Conn) {
  const std::string moid = GetHeadValue(domHead, "moid");
  const std::string list = KeyList(Conn, LinesListQuery(moid), "id");
  if (GetHeadValue(domHead, "cclose").empty()) return OrderMessage(kKind, list, "尚未被关闭，打开失败！");
  long affected = 0;
  Conn->Execute(CloseMarkUpdate("cclose=NULL", domHead, moid), affected);
  return OrderMessage(kKind, list, affected != 0 ? "打开成功！" : "已经被改变或删除，打开失败！");
}

// ---- material list ------------------------------------------------------------

namespace {

constexpr const char* kMaterialsFailed = "保存生产订单子件失败";

// Which material rows a save rebuilds: those of the order's lines, and those
// left behind by lines that this save deleted.
std::string MaterialScope(int64_t id, const DOMDocumentPtr& domBody) {
  std::string scope = "(mainid in (select mainid from pp_pomain where id=" + std::to_string(id) + ")";
  std::string deleted;
  if (domBody) {
    for (const XmlNode& row : domBody->selectNodes("//z:row [@editprop='D']")) {
      const std::string mainid = NullToEmpty(row.getAttribute("mainid"));
      if (IsNumeric(mainid)) deleted += (deleted.empty() ? "" : ",") + NumberText(Val(mainid));
    }
  }
  if (!deleted.empty()) {
    scope += " or (mainid in (" + deleted +
             ") and mainid not in (select mainid from pp_pomain where mainid is not null))";
  }
  return scope + ")";
}

// Issued material must never be thrown away by a rebuild; the lines that
// have some are named in the refusal.
std::string IssuedLines(const ConnectionPtr& Conn, const std::string& scope) {
  return KeyList(Conn,
                 "select distinct mainid from PP_PODetails where isnull(fOutQuantity,0)>0 and " + scope +
                     " order by mainid",
                 "mainid");
}

// The FROM and WHERE of the component query: every component row of the
// bill that matches each line of order `id`.
std::string ComponentSource(int64_t id) {
  std::string query = " from pp_productpo PO left join pp_pomain PM on po.id=pm.id, ";
  query += " ProductStructure P left join ProductStructures PS on   P.iAutoId=PS.IPID ";
  query +=
      " where   P.CPSPCode=pm.cinvcode and  isnull(P.cFree1,'')= isnull(pm.cfree1,'')  and  "
      "isnull(P.cFree2,'')=isnull(pm.cfree2,'')  and  isnull(P.cFree3,'')=isnull(pm.cfree3,'')  and   "
      "isnull(P.cFree4,'')= isnull(pm.cfree4,'') ";
  query +=
      " and isnull(P.cFree5,'')=isnull(pm.cfree5,'')  and  isnull(P.cFree6,'')=isnull(pm.cfree6,'')  and   "
      "isnull(P.cFree7,'')= isnull(pm.cfree7,'')  and  isnull(P.cFree8,'')=isnull(pm.cfree8,'')  and  "
      "isnull(P.cFree9,'')=isnull(pm.cfree9,'')";
  query += " and  isnull(P.cFree10,'')= isnull(pm.cfree10 ,'')  and po.id= ";
  return query + std::to_string(id);
}

std::string ComponentQuery(int option, int64_t id) {
  const bool waste = option == 1;
  std::string query =
      waste ? " select pm.mainid, CPSCode,PS.cDepCode,PS.cWhCode,isnull(PS.iPSQuantity,0) as iPSQuantity,"
              "isnull(PS.iWasteRate,0) as iWasteRate, "
            : " select pm.mainid,  CPSCode,PS.cDepCode,PS.cWhCode,isnull(PS.iPSQuantity,0) as iPSQuantity,"
              "isnull(PS.iWasteRate,0) as iWasteRate, ";
  query +=
      " PS.cFree1 as cFree1,PS.cFree2 as cFree2,PS.cFree3 as cFree3,PS.cFree4 as cFree4,PS.cFree5 as cFree5,"
      "PS.cFree6 as cFree6,PS.cFree7 as cFree7,PS.cFree8 as cFree8,PS.cFree9 as cFree9,PS.cFree10 as cFree10, ";
  query += waste ? " (fquantity*iPSQuantity)*(1+isnull(iWasteRate,0)/100) as Quantity "
                 : " (fquantity*iPSQuantity)  as Quantity ";
  return query + ComponentSource(id);
}

// A value as its text (Variant::ToText), appended without a copy of its own.
void AppendText(std::string& out, const Variant& value) {
  if (const std::string* text = value.AsText()) {
    out += *text;
  } else if (value.kind() == Variant::Kind::Int) {
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value.ToInt()).ptr);
  } else if (!value.IsNull() && !value.IsEmpty()) {
    out += value.ToText();
  }
}

// A text between quotes, its quotes doubled.
void AppendQuoted(std::string& out, std::string_view text) {
  out += '\'';
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  out += '\'';
}

// A text column between quotes: NULL becomes the empty text.
void AppendQuotedText(std::string& out, const Variant& value) {
  if (const std::string* text = value.AsText()) return AppendQuoted(out, *text);
  AppendQuoted(out, NullToEmpty(value));
}

// A free item: its quoted text, or Null when it is empty.
void AppendFreeItem(std::string& out, const Variant& value) {
  if (value.IsNull() || value.IsEmpty()) {  // the common case: no text to make
    out += "Null";
    return;
  }
  const std::string* text = value.AsText();
  const std::string converted = text != nullptr ? std::string() : NullToEmpty(value);
  const std::string_view item = text != nullptr ? std::string_view(*text) : std::string_view(converted);
  if (item.empty()) {
    out += "Null";
  } else {
    AppendQuoted(out, item);
  }
}

// The quantity's literal (QuantityLiteral of its text). A double well within
// range formats as a number, so only the others are read back to check.
std::string QuantityText(const Variant& value) {
  if (value.kind() == Variant::Kind::Double) {
    const double d = std::fabs(value.ToDouble());
    if (d == 0 || (d > 1e-300 && d < 1e300)) return FormatDouble(value.ToDouble());
  }
  return production::QuantityLiteral(NullToEmpty(value));
}

// Where the component query's columns are, looked up once per list: the
// list reads every row.
struct ComponentColumns {
  explicit ComponentColumns(const std::vector<std::string>& names)
      : mainid(Find(names, "mainid")),
        cPScode(Find(names, "cPScode")),
        quantity(Find(names, "quantity")),
        cDepCode(Find(names, "cDepCode")),
        cWhCode(Find(names, "cWhCode")),
        iPSQuantity(Find(names, "iPSQuantity")),
        iWasteRate(Find(names, "iWasteRate")) {
    for (size_t f = 0; f < 10; ++f) cFree[f] = Find(names, "cFree" + std::to_string(f + 1));
  }
  // An unknown name raises as a recordset's Fields(name) does.
  static size_t Find(const std::vector<std::string>& names, const std::string& name) {
    const std::string lower = LCase(name);
    for (size_t i = 0; i < names.size(); ++i)
      if (LCase(names[i]) == lower) return i;
    throw ItemNotFoundError(name);
  }
  size_t mainid, cPScode, quantity, cDepCode, cWhCode, iPSQuantity, iWasteRate;
  size_t cFree[10] = {};
};

// Appends the material row's INSERT to the batch; a quantity that is no
// number raises before anything is appended.
void AppendInsertStatement(std::string& batch, const std::vector<Variant>& row, const ComponentColumns& at,
                           int64_t subId) {
  const std::string quantity = QuantityText(row[at.quantity]);
  batch +=
      " insert into PP_PODetails(MainID,SubId,cCode,cInvCode,fQuantity,fOutQuantity,cDepCode,cWhCode,"
      "iPSQuantity,iWasteRate, cFree1,cFree2,cFree3,cFree4,cFree5,cFree6,cFree7,cFree8,cFree9,cFree10) values (";
  AppendText(batch, row[at.mainid]);
  batch += ',';
  char digits[24];
  batch.append(digits, std::to_chars(digits, digits + sizeof digits, subId).ptr);
  batch += ",'',";
  AppendQuotedText(batch, row[at.cPScode]);
  batch += ',';
  batch += quantity;
  batch += ",0,";
  AppendQuotedText(batch, row[at.cDepCode]);
  batch += ',';
  AppendQuotedText(batch, row[at.cWhCode]);
  batch += ',';
  AppendText(batch, row[at.iPSQuantity]);
  batch += ',';
  AppendText(batch, row[at.iWasteRate]);
  for (size_t free : at.cFree) {
    batch += ',';
    AppendFreeItem(batch, row[free]);
  }
  batch += ')';
}

// Builds the material rows' INSERT batch from the component query as its
// rows are read, so that they are never all held beside the batch. A row
// that cannot be written is raised once the query has been read to its end:
// an error of the query itself comes first, as when every row was read
// before the first was written.
class MaterialBatchSink : public RowSink {
 public:
  // materials: how many rows carry a component (TooManyMaterials counted them).
  MaterialBatchSink(int64_t subId, int64_t materials) : subId_(subId), materials_(materials) {}
  void Columns(const std::vector<std::string>& names) override { columns_.emplace(names); }
  void Row(const std::vector<Variant>& row) override {
    // A bill without component rows comes back as one row of nulls: no material.
    if (failed_ || row[columns_->cPScode].IsNull()) return;
    const bool first = batch_.empty();
    try {
      AppendInsertStatement(batch_, row, *columns_, ++subId_);
    } catch (...) {
      failed_ = std::current_exception();
      return;
    }
    // Room for every row at once, as long as the first with some to spare:
    // doubling would hold up to twice the batch, and both copies while it moves.
    if (first) batch_.reserve(static_cast<size_t>(materials_) * (batch_.size() + batch_.size() / 8));
  }
  std::string Take() {
    if (failed_) std::rethrow_exception(failed_);
    return std::move(batch_);
  }

 private:
  std::optional<ComponentColumns> columns_;
  int64_t subId_;
  int64_t materials_;
  std::string batch_;
  std::exception_ptr failed_;
};

// The most material rows one order may be given: past it the batch would
// exhaust memory.
constexpr int64_t kMaxMaterialRows = 1000000;

// Counts the component rows of the order's lines before any is built; the
// line whose rows carry the total past the limit is refused, naming it and
// its product. "" when the order is within the limit; materials: the rows counted.
std::string TooManyMaterials(const ConnectionPtr& Conn, int64_t id, int64_t& materials) {
  RecordsetPtr rs = Conn->Open("select pm.mainid, pm.cinvcode, count(PS.CPSCode) as n" + ComponentSource(id) +
                                   " group by pm.mainid, pm.cinvcode order by pm.mainid",
                               adOpenStatic, adLockReadOnly);
  int64_t total = 0;
  std::string refusal;
  for (; !rs->Eof() && refusal.empty(); rs->MoveNext()) {
    total += static_cast<int64_t>(rs->Fields("n").Value().ToDouble());
    if (total > kMaxMaterialRows) {
      refusal = OrderMessage(kKind, rs->Fields("mainid").Value().ToText(),
                             "的产品 " + NullToEmpty(rs->Fields("cinvcode").Value()) + " 子件超过" +
                                 std::to_string(kMaxMaterialRows) + "行，不能生成子件，");
    }
  }
  rs->Close();
  materials = total;
  return refusal;
}

std::string InsertBatch(const ConnectionPtr& Conn, int option, int64_t id, int64_t subId, int64_t materials) {
  MaterialBatchSink sink(subId, materials);
  Conn->ForEachRow(ComponentQuery(option, id), sink);
  return sink.Take();
}

}  // namespace

std::string clsSCDDOrder::VoucherAfterSave(DOMDocumentPtr domHead, DOMDocumentPtr domBody, ConnectionPtr& Conn) {
  try {
    const int64_t id = production::ToWholeNumber(GetHeadValue(domHead, "id"), INT32_MIN, INT32_MAX);
    const int option = production::WasteOption(Conn);
    const int64_t subId = production::HighestSubId(Conn, "PP_PODetails");
    const std::string scope = MaterialScope(id, domBody);
    const std::string issued = IssuedLines(Conn, scope);
    if (!issued.empty()) {
      return OrderMessage(kKind, issued, "已经有材料出库，不能重新生成子件，") + kMaterialsFailed;
    }
    int64_t materials = 0;
    const std::string tooMany = TooManyMaterials(Conn, id, materials);
    if (!tooMany.empty()) return tooMany + kMaterialsFailed;
    Conn->Execute("delete from PP_PODetails where " + scope);
    // An order without any component gives an empty batch, which the
    // connection refuses: such an order cannot be saved.
    Conn->Execute(InsertBatch(Conn, option, id, subId, materials));
    return "";
  } catch (const ComError& e) {
    return e.Description() + kMaterialsFailed;
  } catch (const std::exception& e) {
    return e.what() + std::string(kMaterialsFailed);
  }
}

}  // namespace fabrikon
