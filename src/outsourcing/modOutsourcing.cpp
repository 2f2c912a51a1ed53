// The bill-of-materials explosion of outsourcing order lines and the
// free-item checks of product lines and selected BOM rows (see
// fabrikon/modOutsourcing.h). The explosion walks the BOM depth first, one
// query per BOM level, and refuses a bill of materials that leads back into
// itself instead of descending without end.
#include "fabrikon/modOutsourcing.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <map>

#include "fabrikon/ComError.h"
#include "fabrikon/modVoucher.h"

namespace fabrikon {

std::string& BomNode::cFree(int n) {
  std::string* items[] = {&cFree1, &cFree2, &cFree3, &cFree4, &cFree5,
                          &cFree6, &cFree7, &cFree8, &cFree9, &cFree10};
  return *items[std::clamp(n, 1, 10) - 1];
}

const std::string& BomNode::cFree(int n) const { return const_cast<BomNode*>(this)->cFree(n); }

std::vector<clsWWSelectedBomPtr>& SelectedBomLines() {
  thread_local std::vector<clsWWSelectedBomPtr> lines;
  return lines;
}

std::string& SelectedAutoIDs() {
  thread_local std::string ids;
  return ids;
}

namespace {

std::string Quoted(const std::string& text) { return SqlStr(Variant(text)); }

std::string FieldText(const Recordset& rs, const std::string& name) { return NullToEmpty(rs.Fields(name).Value()); }

bool SameNameNoCase(const std::string& a, const char* b) {
  const size_t n = std::strlen(b);
  return a.size() == n && std::equal(a.begin(), a.end(), b, [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// Positions of the BOM row columns the walk reads. Every level query
// returns the same columns, so the names are looked up once and each new
// recordset is only checked to have them at the same positions.
class BomColumns {
 public:
  enum Column { kAutoid, kIpid, kCpscode, kIpsquantity, kIwasterate, kCdepcode, kCwhcode, kChildguid, kCfree1 };

  void Bind(const Recordset& rs) {
    if (bound_ && Matches(rs)) return;
    for (size_t c = 0; c < kNames.size(); ++c) {
      positions_[c] = Find(rs, kNames[c]);
      spelled_[c] = rs.Info(positions_[c]).name;
    }
    bound_ = true;
  }
  const Variant& Value(const Recordset& rs, int column) const { return rs.Fields(positions_[column]).Value(); }
  std::string Text(const Recordset& rs, int column) const { return NullToEmpty(Value(rs, column)); }

 private:
  static constexpr std::array<const char*, 18> kNames = {
      "autoid", "ipid", "cpscode", "ipsquantity", "iwasterate", "cdepcode", "cwhcode", "childguid", "cfree1",
      "cfree2", "cfree3", "cfree4", "cfree5",   "cfree6",     "cfree7",   "cfree8",  "cfree9",    "cfree10"};

  // The first column of that name, as a lookup by name finds it.
  static size_t Find(const Recordset& rs, const char* name) {
    for (size_t i = 0; i < rs.FieldCount(); ++i) {
      if (SameNameNoCase(rs.Info(i).name, name)) return i;
    }
    rs.Fields(name);  // raises: no such column
    return 0;
  }

  bool Matches(const Recordset& rs) const {
    for (size_t c = 0; c < kNames.size(); ++c) {
      if (positions_[c] >= rs.FieldCount() || rs.Info(positions_[c]).name != spelled_[c]) return false;
    }
    return true;
  }

  std::array<size_t, 18> positions_{};
  std::array<std::string, 18> spelled_;  // the names as the database spelt them
  bool bound_ = false;
};

// One walk of a bill of materials: the item it was started for (named in
// the cycle refusal), the BOM heads on the path from the top and where the
// level queries keep their columns.
struct BomWalk {
  std::string item;
  std::vector<std::string> path;
  BomColumns columns;
};

std::string LevelQuery(const BomNode& node) {
  if (!node.cPId.empty()) return "SELECT * From ProductStructures where ipid=" + Quoted(node.cPId) + " ";
  std::string query =
      "SELECT PS.* FROM ProductStructures PS RIGHT OUTER JOIN ProductStructure P ON PS.iPId = P.iAutoId "
      " where (isnull(p.csocode,'')=" + Quoted(node.cSOCode) + ") and ";
  for (int n = 1; n <= 10; ++n) {
    query += " (isnull(p.cfree" + std::to_string(n) + ",'')=" + Quoted(node.cFree(n)) + ") and ";
  }
  return query + " (isnull(p.cpspcode,'')=" + Quoted(node.cInvCode) + ") ";
}

// The child node of a BOM row with a sub-BOM, refusing a head that is
// already on the path (the walk would never end).
BomNode ChildNode(const Recordset& rs, const BomNode& node, BomWalk& walk, const std::string& head) {
  const BomColumns& col = walk.columns;
  BomNode child;
  child.cPId = col.Text(rs, BomColumns::kChildguid);
  if (child.cPId == head || std::find(walk.path.begin(), walk.path.end(), child.cPId) != walk.path.end()) {
    throw ComError(ErrorNumber::InvalidProcedureCall, "产品 " + walk.item + " 的物料清单循环引用自身,");
  }
  const double ps = Val(col.Text(rs, BomColumns::kIpsquantity));
  const double factor = 1 + Val(col.Text(rs, BomColumns::kIwasterate)) / 100;
  child.fQuantity = ps * node.fQuantity * factor;
  child.fQuantityNoWaste = ps * node.fQuantityNoWaste;
  child.fPSQuantity = ps * node.fPSQuantity;
  child.fWasteFactor = node.fWasteFactor * factor;
  return child;
}

// Descends into a child with the row's head on the path for the time of the call.
template <class Descend>
auto WithHeadOnPath(BomWalk& walk, const std::string& head, Descend descend) {
  const bool pushed = walk.path.empty() || walk.path.back() != head;
  if (pushed) walk.path.push_back(head);
  try {
    auto result = descend();
    if (pushed) walk.path.pop_back();
    return result;
  } catch (...) {
    if (pushed) walk.path.pop_back();
    throw;
  }
}

void AddMaterial(const Recordset& rs, const BomNode& node, long depth, const BomColumns& col) {
  // A BOM head without lines comes back as one row of nulls: no material.
  const Variant& autoid = col.Value(rs, BomColumns::kAutoid);
  if (autoid.IsNull()) return;
  std::string& ids = SelectedAutoIDs();
  if (!ids.empty()) ids += ',';
  ids += NullToEmpty(autoid);

  const double ps = Val(col.Text(rs, BomColumns::kIpsquantity));
  const double waste = Val(col.Text(rs, BomColumns::kIwasterate));
  auto line = std::make_shared<clsWWSelectedBom>();
  line->cDepCode(col.Text(rs, BomColumns::kCdepcode));
  for (int n = 1; n <= 10; ++n) line->cFree(n, col.Text(rs, BomColumns::kCfree1 + n - 1));
  line->cPScode(col.Text(rs, BomColumns::kCpscode));
  line->cWhCode(col.Text(rs, BomColumns::kCwhcode));
  line->fQuantity(ps * node.fQuantity * (1 + waste / 100));
  line->fQuantityNoWaste(ps * node.fQuantityNoWaste);
  line->iPSQuantity(ps * node.fPSQuantity);
  if (depth == 1) {
    line->iWasteRate(waste);
  } else {
    // The rate the cumulated quantities imply; from the path's factors when
    // there is no quantity without waste to divide by (same value otherwise).
    const double rate = line->fQuantityNoWaste() != 0
                            ? (line->fQuantity() - line->fQuantityNoWaste()) / line->fQuantityNoWaste() * 100
                            : (node.fWasteFactor * (1 + waste / 100) - 1) * 100;
    line->iWasteRate(Val(FormatNumber(rate, "0.00")));
  }
  SelectedBomLines().push_back(std::move(line));
}

bool ExpandLevel(BomNode& node, long levels, long level, const ConnectionPtr& Conn, BomWalk& walk) {
  RecordsetPtr rs = Conn->Open(LevelQuery(node), adOpenStatic, adLockReadOnly);
  if (!rs->Eof()) walk.columns.Bind(*rs);
  const long depth = level + 1;
  for (; !rs->Eof(); rs->MoveNext()) {
    if (walk.columns.Value(*rs, BomColumns::kChildguid).IsNull() || depth >= levels) {
      AddMaterial(*rs, node, depth, walk.columns);
      continue;
    }
    const std::string head = walk.columns.Text(*rs, BomColumns::kIpid);
    BomNode child = ChildNode(*rs, node, walk, head);
    WithHeadOnPath(walk, head, [&] { return ExpandLevel(child, levels, depth, Conn, walk); });
  }
  rs->Close();
  return true;
}

long Depth(BomNode& node, const ConnectionPtr& Conn, long level, BomWalk& walk) {
  RecordsetPtr rs = Conn->Open(LevelQuery(node), adOpenStatic, adLockReadOnly);
  if (rs->Eof()) {
    rs->Close();
    return 0;
  }
  walk.columns.Bind(*rs);
  long depth = level + 1;
  for (; !rs->Eof(); rs->MoveNext()) {
    if (walk.columns.Value(*rs, BomColumns::kChildguid).IsNull()) continue;
    const std::string head = walk.columns.Text(*rs, BomColumns::kIpid);
    BomNode child = ChildNode(*rs, node, walk, head);
    depth = std::max(depth, WithHeadOnPath(walk, head, [&] { return Depth(child, Conn, level + 1, walk); }));
  }
  rs->Close();
  return depth;
}

BomWalk WalkOf(const BomNode& node) { return BomWalk{node.cPId.empty() ? node.cInvCode : node.cPId, {}, {}}; }

std::string ProductLineQuery(long mainid) {
  return "SELECT top 1 isnull(fquantity,0) as fquantity, cInvCode,isnull(iblevel,1) as iblevel,"
         "isnull(bbexpandend,0) as bbexpandend, ISNULL(cFree1, '') AS cfree1, ISNULL(cFree2, '') AS cfree2,  "
         "ISNULL(cFree3, '') AS cfree3, ISNULL(cFree4, '') AS cfree4, ISNULL(cFree5, '') "
         "AS cfree5, ISNULL(cFree6, '') AS cfree6, ISNULL(cFree7, '') AS cfree7, ISNULL(cFree8, "
         "'') AS cfree8, ISNULL(cFree9, '') AS cfree9, ISNULL(cFree10, '') AS cfree10 "
         "FROM OM_POMain  where om_pomain.mainid=" + std::to_string(mainid);
}

}  // namespace

bool ExpandBomLevel(BomNode& node, long levels, long level, const ConnectionPtr& Conn) {
  BomWalk walk = WalkOf(node);
  if (!node.cPId.empty()) walk.path.push_back(node.cPId);
  return ExpandLevel(node, levels, level, Conn, walk);
}

long GetBomDepth(BomNode& node, const ConnectionPtr& Conn, long level) {
  BomWalk walk = WalkOf(node);
  if (!node.cPId.empty()) walk.path.push_back(node.cPId);
  return Depth(node, Conn, level, walk);
}

std::string ExplodeProductLine(long mainid, const std::string& strSOCode, const ConnectionPtr& Conn) {
  RecordsetPtr rs = Conn->Open(ProductLineQuery(mainid), adOpenStatic, adLockReadOnly);
  if (rs->Eof()) {
    rs->Close();
    return "";
  }
  long levels = static_cast<long>(Variant(Val(FieldText(*rs, "iblevel"))).ToInt());
  if (levels < 1) levels = 1;

  BomNode root;
  root.cInvCode = FieldText(*rs, "cinvcode");
  root.cSOCode = strSOCode;
  for (int n = 1; n <= 10; ++n) root.cFree(n) = FieldText(*rs, "cfree" + std::to_string(n));
  root.fQuantity = Val(FieldText(*rs, "fquantity"));
  root.fQuantityNoWaste = root.fQuantity;
  root.fPSQuantity = 1;

  if (Val(FieldText(*rs, "bbexpandend")) != 0 || rs->Fields("bbexpandend").Value().ToBool()) {
    levels = GetBomDepth(root, Conn, 0);
    Conn->Execute("update om_pomain set iblevel =" + std::to_string(levels) +
                  " where mainid=" + std::to_string(mainid));
  }
  SelectedAutoIDs().clear();
  SelectedBomLines().clear();
  ExpandBomLevel(root, levels, 0, Conn);
  rs->Close();
  return SelectedAutoIDs();
}

// ---- free items --------------------------------------------------------------

namespace {

std::string FreeFlagsQuery(const std::string& invCode) {
  std::string query = "select top 1 ";
  for (int n = 1; n <= 10; ++n) {
    const std::string i = std::to_string(n);
    query += std::string(n > 1 ? "," : "") + "isnull(bfree" + i + ",0) as cfree" + i;
  }
  return query + " from inventory where cinvcode=" + Quoted(invCode) + " ";
}

// The free items ("cfree1" ...) the item's inventory record enables; none
// when it has no record.
std::vector<std::string> EnabledFreeItems(const ConnectionPtr& Conn, const std::string& invCode) {
  std::vector<std::string> enabled;
  RecordsetPtr rs = Conn->Open(FreeFlagsQuery(invCode), adOpenStatic, adLockReadOnly);
  if (!rs->Eof()) {
    for (size_t i = 0; i < rs->FieldCount(); ++i) {
      if (rs->Fields(i).Value().ToBool()) enabled.push_back(LCase(rs->Fields(i).Name()));
    }
  }
  rs->Close();
  return enabled;
}

}  // namespace

std::string GetRowValueAt(const XmlNode& row, const std::string& name) {
  try {
    if (row.IsNothing()) return "";
    const XmlNode attribute = row.attributes().getNamedItem(LCase(Trim(name)));
    return attribute.IsNothing() ? "" : attribute.nodeValue();
  } catch (const std::exception&) {
    return "";
  }
}

std::string GetRowValueAt(const DOMDocumentPtr& document, const std::string& name, long row) {
  try {
    if (!document) return "";
    return GetRowValueAt(document->selectNodes("//z:row").item(row), name);
  } catch (const std::exception&) {
    return "";
  }
}

bool IsFreeItemsComplete(const XmlNode& row, const ConnectionPtr& Conn, const std::string& strInvCode) {
  std::vector<std::string> enabled;
  try {
    enabled = EnabledFreeItems(Conn, strInvCode);
  } catch (const std::exception&) {
    return true;  // a failed lookup does not block the save
  }
  for (const std::string& item : enabled) {
    if (GetRowValueAt(row, item).empty() && LCase(GetRowValueAt(row, "editprop")) != "d") return false;
  }
  return true;
}

bool IsFreeItemsComplete(const DOMDocumentPtr& domBody, const ConnectionPtr& Conn, const std::string& strInvCode,
                         long row) {
  XmlNode node;
  try {
    if (domBody) node = domBody->selectNodes("//z:row").item(row);
  } catch (const std::exception&) {
    // a missing row reads as empty values
  }
  return IsFreeItemsComplete(node, Conn, strInvCode);
}

bool IsBomFreeItemsComplete(Recordset& rs, const ConnectionPtr& Conn) {
  // Many BOM rows share a component: its flags are read once per check.
  std::map<std::string, std::vector<std::string>> flags;
  for (; !rs.Eof(); rs.MoveNext()) {
    const std::string code = FieldText(rs, "cpscode");
    auto known = flags.find(code);
    if (known == flags.end()) {
      try {
        known = flags.emplace(code, EnabledFreeItems(Conn, code)).first;
      } catch (const std::exception&) {
        continue;  // a failed lookup does not block the save
      }
    }
    for (const std::string& item : known->second) {
      if (FieldText(rs, item).empty()) return false;
    }
  }
  return true;
}

}  // namespace fabrikon
