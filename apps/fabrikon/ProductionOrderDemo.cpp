// The steps of `fabrikon demo` (see ProductionOrderDemo.h). The order makes
// ten e-bikes (P200) together with their twenty wheels (S220) and ten frames
// (S210), so that the material list shows the bills of three levels of the
// demo plant and the waste rates of the wheel and frame components.
#include "ProductionOrderDemo.h"

#include "fabrikon/RowsetEditor.h"
#include "fabrikon/ComError.h"
#include "fabrikon/modVoucher.h"
#include "fabrikon/host/EmbeddedVoucherForm.h"

namespace fabrikon::cli {
namespace {

using Align = TextTable::Align;

constexpr const char* kPlanDate = "2024-03-29";
constexpr size_t kMaterialRows = 9;  // P200: 4 components, S220: 3, S210: 2

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// "YYYY-MM-DDThh:mm:ss" or "YYYY-MM-DD hh:mm:ss": a date-time as documents
// and date columns hold it.
bool IsDateTimeText(const std::string& text) {
  if (text.size() < 19 || (text[10] != 'T' && text[10] != ' ') || text[4] != '-' || text[7] != '-') return false;
  for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

// A document or database value as the demo prints it: dates without the
// time of day, NULL as nothing.
std::string Shown(const Variant& value) {
  if (const DateTime* date = value.AsDate()) return FormatDate(*date);
  const std::string text = NullToEmpty(value);
  return IsDateTimeText(text) ? text.substr(0, 10) : text;
}

std::string Attribute(const XmlNode& row, const std::string& name) { return Shown(row.getAttribute(name)); }

// The attributes of domReturn's row, NAME="value" ...
std::string ReturnedValues(const DOMDocumentPtr& domReturn) {
  XmlNode row = domReturn ? domReturn->selectSingleNode("//z:row") : XmlNode();
  std::string text;
  XmlAttributes attributes = row.attributes();
  for (long i = 0; i < attributes.length(); ++i) {
    XmlNode attribute = attributes.item(i);
    text += (text.empty() ? "" : " ") + attribute.nodeName() + "=\"" + attribute.nodeValue() + "\"";
  }
  return text;
}

// What a host does with domReturn: copy the values it carries into the row.
void TakeReturnedValues(const DOMDocumentPtr& domReturn, XmlNode target) {
  XmlNode row = domReturn ? domReturn->selectSingleNode("//z:row") : XmlNode();
  XmlAttributes attributes = row.attributes();
  for (long i = 0; i < attributes.length(); ++i) {
    target.setAttribute(attributes.item(i).nodeName(), Variant(attributes.item(i).nodeValue()));
  }
}

}  // namespace

ProductionOrderDemo::ProductionOrderDemo(ConnectionPtr conn, LoginInfoPtr login, DemoOutput& out)
    : conn_(std::move(conn)), login_(std::move(login)), out_(out), form_(std::make_shared<EmbeddedVoucherForm>()) {}

void ProductionOrderDemo::Run() {
  co_.Init(login_, conn_, "pp25");
  NewOrder();
  FieldChecks();
  SaveModeChecks();
  Save();
  LoadBack();
  EditComponentLine();
  Approve();
  Close();
  Reopen();
  CancelApproval();
  Delete();
}

// ---- entering the order -------------------------------------------------------------

void ProductionOrderDemo::NewOrder() {
  out_.Step("A new production order (card pp25, business object " + co_.BusinessClassName() + ")");
  out_.Answer("VoucherNew", co_.VoucherNew(form_), "");
  out_.Note("defaults: ddate=\"" + Head("ddate") + "\" cmaker=\"" + Head("cmaker") + "\"");
  std::string errMsg;
  code_ = co_.GetVoucherNO(form_, errMsg, true);
  out_.Answer("GetVoucherNO (real number)", code_, [](const std::string& no) { return !no.empty(); },
              "a voucher number");
  // The planner fills in the head; the plan date is still unknown.
  RowsetEditor(form_->HeadDOM())
      .SetHead({{"ccode", code_}, {"cdepcode", "D01"}, {"cpersoncode", "P004"}, {"dplandate", ""}});
  RowsetEditor body(form_->BodyDOM());
  body.AddLine({{"cinvcode", "P200"}, {"fquantity", "10"}, {"dstartdate", "2024-03-20"}, {"denddate", kPlanDate}});
  body.AddLine({{"cinvcode", "S220"}, {"fquantity", "20"}, {"dstartdate", "2024-03-13"}, {"denddate", "2024-03-19"}});
  body.AddLine({{"cinvcode", ""}, {"fquantity", "10"}, {"dstartdate", "2024-03-13"}, {"denddate", ""}});
  out_.Note("the planner types the head (ccode, cdepcode=D01, cpersoncode=P004, dplandate left empty)");
  out_.Note("and three lines, the third one not finished yet:");
  ShowLines(false);
}

void ProductionOrderDemo::FieldChecks() {
  out_.Step("Checks while typing (field mode)");
  DOMDocumentPtr domReturn = DOMDocument::Create();
  out_.Answer("HeadCheck cdepcode", co_.HeadCheck(form_, "cdepcode", domReturn, false), "");
  out_.Note("domReturn: " + ReturnedValues(domReturn) + "  (the screen fills in the name)");
  TakeReturnedValues(domReturn, form_->HeadDOM()->selectSingleNode("//z:row"));

  out_.Note("line 1: the start date is typed as 2024-03-30, after its end date " + std::string(kPlanDate));
  RowsetEditor(form_->BodyDOM()).SetLine(1, {{"dstartdate", "2024-03-30"}});
  DOMDocumentPtr none;
  const std::string answer = co_.BodyCheck(form_, 1, "dstartdate", none, false);
  out_.Answer("BodyCheck 1 dstartdate", answer, "表体：第1行[dstartdate]不能大于[denddate]，请检查！\r");
  out_.Messages(answer);
  RowsetEditor(form_->BodyDOM()).SetLine(1, {{"dstartdate", "2024-03-20"}});
  out_.Note("corrected to 2024-03-20:");
  out_.Answer("BodyCheck 1 dstartdate", co_.BodyCheck(form_, 1, "dstartdate", none, false), "");
}

void ProductionOrderDemo::SaveModeChecks() {
  out_.Step("Checks before saving (save mode): what is missing");
  DOMDocumentPtr none;
  const std::string head = co_.HeadCheck(form_, "", none, true);
  out_.Answer("HeadCheck (save mode)", head, "表头：[dplandate]不能为空，请检查！\r");
  out_.Messages(head);
  const std::string body = co_.BodyCheck(form_, 1, "", none, true);
  out_.Answer("BodyCheck (save mode)", body,
              "表体：第3行[cinvcode]不能为空，请检查！\r表体：第3行[denddate]不能为空，请检查！\r");
  out_.Messages(body);

  RowsetEditor(form_->HeadDOM()).SetHead({{"dplandate", kPlanDate}});
  RowsetEditor(form_->BodyDOM()).SetLine(3, {{"cinvcode", "S210"}, {"denddate", "2024-03-19"}});
  out_.Note("filled in: dplandate=" + std::string(kPlanDate) + ", line 3 cinvcode=S210 (frames) denddate=2024-03-19");
  out_.Answer("HeadCheck (save mode)", co_.HeadCheck(form_, "", none, true), "");
  out_.Answer("BodyCheck (save mode)", co_.BodyCheck(form_, 1, "", none, true), "");
}

// ---- saving and the material list -------------------------------------------------------

void ProductionOrderDemo::Save() {
  out_.Step("Save (VoucherSave2, state 2 = new): head, lines and the material list in one transaction");
  Variant curId;
  out_.Answer("VoucherSave2 2", co_.VoucherSave2(form_, 2, curId), "");
  id_ = curId.ToText();
  out_.Check("varCurID: \"" + id_ + "\"", !id_.empty(), "the new order's key");
  out_.Note("waste option (AccInformation PP/bWasteRate): " +
            Query("SELECT cValue FROM AccInformation WHERE csysid = 'PP' AND cName = 'bWasteRate'") +
            " = required quantities include the component's waste rate");
  ShowMaterialList();
}

void ProductionOrderDemo::ShowMaterialList() {
  RecordsetPtr rs = conn_->Open("select mainid, cpinvcode, fpquantity, subid, cinvcode, cinvname, ipsquantity, "
                                "iwasterate, fquantity from v_pp16_list where ccode=" + SqlStr(Variant(code_)) +
                                " and subid is not null order by subid",
                                adOpenStatic, adLockReadOnly);
  TextTable table({{"mainid"}, {"product"}, {"qty", Align::Right}, {"subid"}, {"component"}, {"name"},
                   {"per unit", Align::Right}, {"waste %", Align::Right}, {"required", Align::Right}});
  for (; !rs->Eof(); rs->MoveNext()) {
    std::vector<std::string> cells;
    for (size_t i = 0; i < rs->FieldCount(); ++i) cells.push_back(Shown(rs->Fields(i).Value()));
    table.AddRow(std::move(cells));
  }
  out_.Note("the material list (PP_PODetails), exploded one level from each line's bill of materials:");
  out_.Table(table);
  out_.Check("material rows: " + std::to_string(table.RowCount()), table.RowCount() == kMaterialRows,
             std::to_string(kMaterialRows) + " material rows");
  out_.Note("required = qty x per unit x (1 + waste % / 100), e.g. spokes M222: 20 x 36 x 1.02 = 734.4");
}

void ProductionOrderDemo::LoadBack() {
  out_.Step("Load it back (GetVoucherData " + id_ + ")");
  out_.Answer("GetVoucherData", co_.GetVoucherData(form_, "", Variant(id_)).ToText(), "");
  out_.Check("head: id=\"" + Head("id") + "\" ccode=\"" + Head("ccode") + "\" ddate=\"" + Head("ddate") +
                 "\" dplandate=\"" + Head("dplandate") + "\" cdepname=\"" + Head("cdepname") +
                 "\" cpersonname=\"" + Head("cpersonname") + "\"",
             Head("id") == id_ && Head("ccode") == code_, "the saved order " + id_ + " " + code_);
  ShowLines(true);
  lineKeys_.clear();
  for (const XmlNode& row : form_->BodyDOM()->selectNodes("//z:row")) lineKeys_.push_back(Attribute(row, "mainid"));
}

// ---- the material-list card ------------------------------------------------------------------

void ProductionOrderDemo::EditComponentLine() {
  out_.Step("One component line edited on the material-list card (pp16)");
  clsVoucherCO materials;
  materials.Init(login_, conn_, "pp16");
  VoucherFormPtr form = std::make_shared<EmbeddedVoucherForm>();
  const std::string frameLine = lineKeys_.size() == 3 ? lineKeys_[2] : "";
  out_.Answer("GetVoucherData " + frameLine + " (the frames)",
              materials.GetVoucherData(form, "", Variant(frameLine)).ToText(), "");
  ShowComponents(form);
  XmlNode first = form->BodyDOM()->selectNodes("//z:row").item(0);
  out_.Check("line 1 is the steel tube M211", Attribute(first, "cinvcode") == "M211", "M211 on line 1");

  TypePerUnit(materials, form);
  Variant curId;
  out_.Answer("VoucherSave2 1", materials.VoucherSave2(form, 1, curId), "");
  const std::string stored =
      Query("select fQuantity from PP_PODetails where SubID=" + SqlStr(Variant(Attribute(first, "subid"))));
  out_.Check("stored: M211 fQuantity=" + stored, stored == "36.75", "36.75");
}

// The quantity per unit of line 1 typed twice: refused, then accepted with
// the required quantity recomputed, which the screen takes into the line.
void ProductionOrderDemo::TypePerUnit(clsVoucherCO& materials, const VoucherFormPtr& form) {
  DOMDocumentPtr domReturn = DOMDocument::Create();
  RowsetEditor(form->BodyDOM()).SetLine(1, {{"ipsquantity", "0"}});
  out_.Note("per unit typed as 0:");
  const std::string refused = materials.BodyCheck(form, 1, "ipsquantity", domReturn, false);
  out_.Answer("BodyCheck 1 ipsquantity", refused, "表体：第1行[ipsquantity]必须大于0，请检查！\r");
  out_.Messages(refused);

  RowsetEditor(form->BodyDOM()).SetLine(1, {{"ipsquantity", "3.5"}});
  out_.Note("per unit typed as 3.5 (was 3.2): the required quantity is recomputed, 10 x 3.5 x 1.05");
  out_.Answer("BodyCheck 1 ipsquantity", materials.BodyCheck(form, 1, "ipsquantity", domReturn, false), "");
  const std::string returned = ReturnedValues(domReturn);
  out_.Check("domReturn: " + returned, returned == "fquantity=\"36.75\"", "fquantity=\"36.75\"");
  TakeReturnedValues(domReturn, form->BodyDOM()->selectNodes("//z:row").item(0));
}

void ProductionOrderDemo::ShowComponents(const VoucherFormPtr& form) {
  TextTable table({{"R", Align::Right}, {"subid"}, {"component"}, {"name"}, {"warehouse"},
                   {"per unit", Align::Right}, {"waste %", Align::Right}, {"required", Align::Right}});
  long r = 0;
  for (const XmlNode& row : form->BodyDOM()->selectNodes("//z:row")) {
    table.AddRow({std::to_string(++r), Attribute(row, "subid"), Attribute(row, "cinvcode"), Attribute(row, "cinvname"),
                  Attribute(row, "cwhname"), Attribute(row, "ipsquantity"), Attribute(row, "iwasterate"),
                  Attribute(row, "fquantity")});
  }
  out_.Note("head: line " + TryGetHeadValue(form->HeadDOM(), "mainid") + " " +
            TryGetHeadValue(form->HeadDOM(), "cinvcode") + " " + TryGetHeadValue(form->HeadDOM(), "cinvname") +
            ", fquantity " + TryGetHeadValue(form->HeadDOM(), "fquantity"));
  out_.Table(table);
}

// ---- the workflow ------------------------------------------------------------------------------

void ProductionOrderDemo::Approve() {
  out_.Step("Approve (VoucherConfirm)");
  out_.Answer("VoucherConfirm", co_.VoucherConfirm(form_), "生产订单[" + id_ + "]审核成功！");
  Reload();
}

void ProductionOrderDemo::Close() {
  out_.Step("Close (VoucherClose): every line of the order is marked closed");
  out_.Answer("VoucherClose", co_.VoucherClose(form_), "生产订单[" + RepeatedOrderKey() + "]关闭成功！");
  Reload();
}

void ProductionOrderDemo::Reopen() {
  out_.Step("Reopen (VoucherOpen)");
  out_.Answer("VoucherOpen", co_.VoucherOpen(form_), "生产订单[" + RepeatedOrderKey() + "]打开成功！");
  Reload();
}

void ProductionOrderDemo::CancelApproval() {
  out_.Step("Cancel approval (VoucherCancelconfirm): no progress has been reported on the order");
  out_.Answer(
      "VoucherCancelconfirm", co_.VoucherCancelconfirm(form_),
      [](const std::string& answer) { return answer.rfind("生产订单[", 0) == 0 && EndsWith(answer, "]弃审成功！"); },
      "生产订单[its line keys]弃审成功！");
  Reload();
}

void ProductionOrderDemo::Delete() {
  out_.Step("Delete (VoucherAllowDelete, VoucherDelete)");
  out_.Answer("VoucherAllowDelete", co_.VoucherAllowDelete(form_), "");
  out_.Answer("VoucherDelete", co_.VoucherDelete(form_), "删除单据[" + code_ + "]成功！");
  const std::string heads = Query("select count(*) from pp_productpo where id=" + SqlStr(Variant(id_)));
  const std::string lines = Query("select count(*) from pp_pomain where id=" + SqlStr(Variant(id_)));
  out_.Check("left in the database: " + heads + " head rows, " + lines + " lines", heads == "0" && lines == "0",
             "no head row and no line");
  std::string keys;
  for (const std::string& key : lineKeys_) keys += (keys.empty() ? "" : ",") + SqlStr(Variant(key));
  if (keys.empty()) return;
  const std::string materials = Query("select count(*) from PP_PODetails where MainID in (" + keys + ")");
  out_.Check("material rows of its lines left in PP_PODetails: " + materials, materials == "0",
             "the material list goes with the order");
}

// ---- showing the order ------------------------------------------------------------------------

void ProductionOrderDemo::Reload() {
  out_.Answer("GetVoucherData " + id_, co_.GetVoucherData(form_, "", Variant(id_)).ToText(), "");
  ShowState();
}

void ProductionOrderDemo::ShowState() {
  out_.Note("now: cverifier=\"" + Head("cverifier") + "\" dcheckdate=\"" + Head("dcheckdate") + "\" cclose=\"" +
            Head("cclose") + "\"");
}

// Before the first save the lines have neither keys nor names yet.
void ProductionOrderDemo::ShowLines(bool saved) {
  std::vector<TextTable::Column> columns{{"R", Align::Right}, {"product"}, {"qty", Align::Right}, {"start"}, {"end"}};
  if (saved) {
    columns.insert(columns.begin() + 1, {"mainid"});
    columns.insert(columns.begin() + 3, {"name"});
  }
  TextTable table(columns);
  long r = 0;
  for (const XmlNode& row : form_->BodyDOM()->selectNodes("//z:row")) {
    std::vector<std::string> cells{std::to_string(++r), Attribute(row, "cinvcode"), Attribute(row, "fquantity"),
                                   Attribute(row, "dstartdate"), Attribute(row, "denddate")};
    if (saved) {
      cells.insert(cells.begin() + 1, Attribute(row, "mainid"));
      cells.insert(cells.begin() + 3, Attribute(row, "cinvname"));
    }
    table.AddRow(std::move(cells));
  }
  out_.Table(table);
}

std::string ProductionOrderDemo::Head(const std::string& name) const {
  return Shown(Variant(TryGetHeadValue(form_->HeadDOM(), name)));
}

// The first value of a query as text ("" for NULL or no row).
std::string ProductionOrderDemo::Query(const std::string& sql) const {
  RecordsetPtr rs = conn_->Open(sql, adOpenStatic, adLockReadOnly);
  return rs->Eof() ? "" : Shown(rs->Fields(size_t{0}).Value());
}

std::string ProductionOrderDemo::RepeatedOrderKey() const {
  std::string keys;
  for (size_t i = 0; i < lineKeys_.size(); ++i) keys += (i ? "  " : "") + id_;
  return keys;
}

}  // namespace fabrikon::cli
