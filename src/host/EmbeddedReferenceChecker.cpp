// EmbeddedReferenceChecker: validates codes and names against the archive
// tables and free items against the item's enabled free items.
#include "host/EmbeddedReferenceChecker.h"

#include <array>

#include "fabrikon/ComError.h"
#include "fabrikon/modVoucher.h"

namespace fabrikon {
namespace {

struct Archive {
  const char* label;          // how messages name the archive
  const char* table;
  const char* codeColumn;
  const char* nameColumn;
  const char* codeAttribute;  // attributes that carry code and name in documents
  const char* nameAttribute;
};

const Archive kDepartment{"部门", "Department", "cdepcode", "cdepname", "cdepcode", "cdepname"};
const Archive kPerson{"人员", "Person", "cpersoncode", "cpersonname", "cpersoncode", "cpersonname"};
const Archive kVendor{"供应商", "Vendor", "cvencode", "cvenname", "cvencode", "cvenname"};
const Archive kPayment{"付款条件", "PayCondition", "cpaycode", "cpayname", "cpaycode", "cpayname"};
const Archive kShipping{"发运方式", "ShippingChoice", "csccode", "cscname", "csccode", "cscname"};
const Archive kInventory{"存货", "inventory", "cinvcode", "cinvname", "cinvcode", "cinvname"};
const Archive kWarehouse{"仓库", "Warehouse", "cwhcode", "cwhname", "cwhcode", "cwhname"};
const Archive kWorkCentre{"工作中心", "pp_workcenter", "wccode", "wcname", "wccode", "wcname"};
const Archive kOperation{"工序", "pp_operation", "opcode", "opname", "opcode", "opname"};
const Archive kOperator{"操作员", "Operator", "coperatorcode", "coperatorname", "operator", "coperatorname"};

struct ItemRule {
  const char* item;  // lower case
  const Archive* archive;
  bool byName;
};

const std::array<ItemRule, 19> kItems{{
    {"cdepcode", &kDepartment, false},    {"cdepname", &kDepartment, true},
    {"cpersoncode", &kPerson, false},     {"cpersonname", &kPerson, true},
    {"cvencode", &kVendor, false},        {"cvenname", &kVendor, true},
    {"cpaycode", &kPayment, false},       {"cpayname", &kPayment, true},
    {"csccode", &kShipping, false},       {"cscname", &kShipping, true},
    {"cinvcode", &kInventory, false},     {"cinvname", &kInventory, true},
    {"cwhcode", &kWarehouse, false},      {"cwhname", &kWarehouse, true},
    {"wccode", &kWorkCentre, false},      {"wcname", &kWorkCentre, true},
    {"opcode", &kOperation, false},       {"opname", &kOperation, true},
    {"operator", &kOperator, false},
}};

const ItemRule* FindRule(const std::string& item) {
  std::string key = LCase(Trim(item));
  for (const ItemRule& rule : kItems) {
    if (key == rule.item) return &rule;
  }
  return nullptr;
}

const ConnectionPtr& Require(const ConnectionPtr& conn) {
  if (!conn) throw ComError(ErrorNumber::ObjectNotSet, "没有数据库连接，不能检查参照！");
  return conn;
}

// The z:row of domReturn that receives values: the one it holds, or a new one
// in a document made empty first (a null document is created).
XmlNode ReturnRow(DOMDocumentPtr& domReturn) {
  if (!domReturn) domReturn = DOMDocument::Create();
  XmlNode row = domReturn->selectSingleNode("//z:row");
  if (!row.IsNothing()) return row;
  domReturn->Clear();
  return domReturn->appendChild(domReturn->createElement("z:row"));
}

// 0 when the text is not "cfree1" ... "cfree10".
int FreeItemNumber(const std::string& item) {
  std::string key = LCase(Trim(item));
  for (int n = 1; n <= 10; ++n) {
    if (key == "cfree" + std::to_string(n)) return n;
  }
  return 0;
}

// The name the free item was given ("颜色"), or "自由项" + n when it has none.
std::string FreeItemName(const ConnectionPtr& conn, int n) {
  RecordsetPtr rs =
      conn->Open("SELECT TOP 1 cfreename FROM FreeItemDefinition WHERE ifreeno=" + std::to_string(n));
  std::string name = rs->Eof() ? "" : Trim(NullToEmpty(rs->Fields(0).Value()));
  return name.empty() ? "自由项" + std::to_string(n) : name;
}

// A free item with a list of values accepts only those; one without a list accepts any text.
bool IsListedFreeValue(const ConnectionPtr& conn, int n, const std::string& value) {
  std::string values = "SELECT TOP 1 cvalue FROM FreeItemValue WHERE ifreeno=" + std::to_string(n);
  if (!conn->Open(values + " AND cvalue=" + SqlStr(value))->Eof()) return true;
  return conn->Open(values)->Eof();
}

}  // namespace

void EmbeddedReferenceChecker::CheckHeadReference(const std::string& item, const Variant& value,
                                                  DOMDocumentPtr& domReturn, const ConnectionPtr& conn,
                                                  const std::string&, std::string& message) {
  message.clear();
  const ItemRule* rule = FindRule(item);
  if (!rule) return;
  const Archive& archive = *rule->archive;
  std::string text = Trim(NullToEmpty(value));
  if (text.empty()) {
    XmlNode row = ReturnRow(domReturn);
    row.setAttribute(archive.codeAttribute, "");
    row.setAttribute(archive.nameAttribute, "");
    return;
  }
  std::string column = rule->byName ? archive.nameColumn : archive.codeColumn;
  std::string columns = std::string(archive.codeColumn) + "," + archive.nameColumn;
  RecordsetPtr rs = Require(conn)->Open("SELECT TOP 1 " + columns + " FROM " + archive.table + " WHERE " + column +
                                        "=" + SqlStr(text) + " ORDER BY " + archive.codeColumn);
  if (rs->Eof()) {
    message = "[" + item + "]" + archive.label + "[" + text + "]不存在，请检查！";
    return;
  }
  XmlNode row = ReturnRow(domReturn);
  row.setAttribute(archive.codeAttribute, NullToEmpty(rs->Fields(0).Value()));
  row.setAttribute(archive.nameAttribute, NullToEmpty(rs->Fields(1).Value()));
}

void EmbeddedReferenceChecker::CheckBodyReference(const std::string& item, const Variant& value,
                                                  DOMDocumentPtr&, const ConnectionPtr& conn,
                                                  const std::string& invCode, std::string& message) {
  message.clear();
  int n = FreeItemNumber(item);
  std::string text = Trim(NullToEmpty(value));
  // Whether every enabled free item is filled is the save check's business;
  // clearing one while editing is allowed.
  if (n == 0 || text.empty()) return;
  std::string code = Trim(invCode);
  if (code.empty()) {
    message = "[" + item + "]请先录入存货！";
    return;
  }
  std::string flag = "bfree" + std::to_string(n);
  RecordsetPtr rs = Require(conn)->Open("SELECT TOP 1 isnull(" + flag + ",0) AS " + flag + " FROM " +
                                        kInventory.table + " WHERE " + kInventory.codeColumn + "=" + SqlStr(code));
  if (rs->Eof()) {
    message = "[" + item + "]" + kInventory.label + "[" + code + "]不存在，请检查！";
  } else if (!rs->Fields(0).Value().ToBool()) {
    message = "[" + item + "]" + kInventory.label + "[" + code + "]没有启用" + FreeItemName(conn, n) +
              "，不能录入，请检查！";
  } else if (!IsListedFreeValue(conn, n, text)) {
    message = "[" + item + "]" + FreeItemName(conn, n) + "[" + text + "]不存在，请检查！";
  }
}

}  // namespace fabrikon
