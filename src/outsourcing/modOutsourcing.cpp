// The bill-of-materials explosion of outsourcing order lines and the
// free-item checks of product lines and selected BOM rows (see
// fabrikon/modOutsourcing.h). The explosion walks the BOM depth first on a
// stack of its own (however deep the bill of materials, the thread's stack
// stays flat), reads each BOM level from the database once, refuses a bill of
// materials that leads back into itself instead of descending without end,
// and counts the materials before selecting them, refusing an explosion too
// large to hold.
#include "fabrikon/modOutsourcing.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <string_view>
#include <unordered_map>

#include "data/ReadSnapshot.h"
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
// result is only checked to have them at the same positions.
class BomColumns {
 public:
  enum Column { kAutoid, kIpid, kCpscode, kIpsquantity, kIwasterate, kCdepcode, kCwhcode, kChildguid, kCfree1 };

  // Binds to the result's names; false when it lacks a column (Require
  // then raises as a recordset's lookup by name does).
  bool Bind(const std::vector<std::string>& names) {
    if (bound_ && Matches(names)) return true;
    bound_ = false;
    for (size_t c = 0; c < kNames.size(); ++c) {
      positions_[c] = Find(names, kNames[c]);
      if (positions_[c] == names.size()) {
        missing_ = kNames[c];
        return false;
      }
      spelled_[c] = names[positions_[c]];
    }
    bound_ = true;
    return true;
  }
  void Require() const {
    if (!bound_) throw ItemNotFoundError(missing_);
  }
  const Variant& Value(const std::vector<Variant>& row, int column) const { return row[positions_[column]]; }

 private:
  static constexpr std::array<const char*, 18> kNames = {
      "autoid", "ipid", "cpscode", "ipsquantity", "iwasterate", "cdepcode", "cwhcode", "childguid", "cfree1",
      "cfree2", "cfree3", "cfree4", "cfree5",   "cfree6",     "cfree7",   "cfree8",  "cfree9",    "cfree10"};

  // The first column of that name, as a lookup by name finds it; names.size() when none.
  static size_t Find(const std::vector<std::string>& names, const char* name) {
    for (size_t i = 0; i < names.size(); ++i) {
      if (SameNameNoCase(names[i], name)) return i;
    }
    return names.size();
  }

  bool Matches(const std::vector<std::string>& names) const {
    for (size_t c = 0; c < kNames.size(); ++c) {
      if (positions_[c] >= names.size() || names[positions_[c]] != spelled_[c]) return false;
    }
    return true;
  }

  std::array<size_t, 18> positions_{};
  std::array<std::string, 18> spelled_;  // the names as the database spelt them
  bool bound_ = false;
  const char* missing_ = "";  // the column the last result lacked
};

// A whole number below 10^15 that is not negative: its text is plain digits,
// which Val reads back exactly (see FormatDouble and Val).
bool IsPlainWhole(double value) { return value >= 0 && value < 1e15 && value == std::trunc(value); }

// One BOM row of a level query, kept after its recordset is closed: the
// columns the walk reads, their texts in one buffer, which of them are null.
class BomRow {
 public:
  BomRow(const std::vector<Variant>& values, const BomColumns& columns) {
    text_.reserve(kTextGuess);
    for (int c = 0; c < kColumns; ++c) {
      const Variant& value = columns.Value(values, c);
      start_[c] = static_cast<uint32_t>(text_.size());
      if (value.IsNull()) {
        nulls_ |= 1u << c;
      } else if (const std::string* text = value.AsText()) {
        text_ += *text;  // as NullToEmpty gives it, without a copy in between
      } else {
        AppendNumber(c, value);
      }
    }
    start_[kColumns] = static_cast<uint32_t>(text_.size());
  }
  bool IsNull(int column) const { return (nulls_ >> column & 1u) != 0; }
  std::string Text(int column) const { return std::string(View(column)); }
  std::string_view View(int column) const {
    return std::string_view(text_).substr(start_[column], start_[column + 1] - start_[column]);
  }
  // Val of the column's text; a plain whole number is kept as read.
  double Number(int column) const {
    return (whole_ >> column & 1u) != 0 ? numbers_[column == BomColumns::kIpsquantity ? 0 : 1] : Val(Text(column));
  }

 private:
  static constexpr int kColumns = 18;
  static constexpr size_t kTextGuess = 64;  // a row's texts usually fit: one allocation

  // The quantity and the waste rate are only read as numbers: a plain whole
  // number needs no text (Val would read it back unchanged).
  void AppendNumber(int column, const Variant& value) {
    const bool quantity = column == BomColumns::kIpsquantity;
    if ((quantity || column == BomColumns::kIwasterate) && value.IsNumeric() && IsPlainWhole(value.ToDouble())) {
      const double number = value.ToDouble();
      numbers_[quantity ? 0 : 1] = number == 0 ? 0.0 : number;  // -0 reads back as "0", i.e. +0
      whole_ |= 1u << column;
      return;
    }
    text_ += value.ToText();
  }

  std::string text_;
  std::array<uint32_t, kColumns + 1> start_{};
  uint32_t nulls_ = 0;
  uint32_t whole_ = 0;  // the columns kept in numbers_
  std::array<double, 2> numbers_{};  // ipsquantity, iwasterate
};

using BomLevel = std::vector<BomRow>;

// The most material rows one explosion may give: past it the rows would
// exhaust memory (shared sub-assemblies multiply with every level).
constexpr uint64_t kMaxMaterialRows = 1000000;

struct TextHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

// One walk of a bill of materials: the item it was started for (named in
// the refusals), the BOM heads on the path from the top (with a count per
// head, so a deep path is searched in constant time), where the level
// queries keep their columns, and every level read so far. The walk keeps
// its own stack of levels: a deep bill of materials must not use up the
// thread's stack, and a shared sub-assembly is read from the database once.
struct BomWalk {
  ConnectionPtr conn;
  std::string item;
  std::vector<std::string> path;
  std::unordered_map<std::string, long> onPath;
  BomColumns columns;
  std::unordered_map<std::string, BomLevel> levels;  // by level query
  // The sub-assemblies' levels among them, by childguid (a walk meets each
  // one again in every pass, and its query need not be built to find it).
  std::unordered_map<std::string, const BomLevel*, TextHash, std::equal_to<>> children;
};

std::string ChildLevelQuery(std::string_view cPId) {
  std::string query = "SELECT * From ProductStructures where ipid='";
  query.reserve(query.size() + cPId.size() + 4);
  for (const char c : cPId) {  // quoted as SqlStr quotes it
    query += c;
    if (c == '\'') query += '\'';
  }
  return query += "' ";
}

std::string LevelQuery(const BomNode& node) {
  if (!node.cPId.empty()) return ChildLevelQuery(node.cPId);
  std::string query =
      "SELECT PS.* FROM ProductStructures PS RIGHT OUTER JOIN ProductStructure P ON PS.iPId = P.iAutoId "
      " where (isnull(p.csocode,'')=" + Quoted(node.cSOCode) + ") and ";
  for (int n = 1; n <= 10; ++n) {
    query += " (isnull(p.cfree" + std::to_string(n) + ",'')=" + Quoted(node.cFree(n)) + ") and ";
  }
  return query + " (isnull(p.cpspcode,'')=" + Quoted(node.cInvCode) + ") ";
}

// Keeps a level query's rows as BomRows while they are read (no recordset
// in between). A result that lacks a column fails at its first row, as a
// level without rows reads none of them.
class LevelReader : public RowSink {
 public:
  LevelReader(BomColumns& columns, BomLevel& rows) : columns_(columns), rows_(rows) {}
  void Columns(const std::vector<std::string>& names) override {
    columns_.Bind(names);
    result_ = true;
  }
  void Row(const std::vector<Variant>& values) override {
    if (rows_.empty()) {
      columns_.Require();
      rows_.reserve(kRowsGuess);
    }
    rows_.emplace_back(values, columns_);
  }
  // A batch without a result leaves a closed recordset, which raises so.
  void RequireResult() const {
    if (!result_) throw ComError(ErrorNumber::ObjectClosed, "Operation is not allowed when the object is closed.");
  }

 private:
  static constexpr size_t kRowsGuess = 4;  // a sub-assembly's usual rows: one allocation
  BomColumns& columns_;
  BomLevel& rows_;
  bool result_ = false;
};

// The rows of a level query, read from the database the first time only.
const BomLevel& ReadLevel(const std::string& query, BomWalk& walk) {
  auto [at, added] = walk.levels.try_emplace(query);
  if (!added) return at->second;
  try {
    LevelReader reader(walk.columns, at->second);
    walk.conn->ForEachRow(query, reader);
    reader.RequireResult();
  } catch (...) {
    walk.levels.erase(at);
    throw;
  }
  return at->second;
}

// The rows of sub-assembly `child`'s level (ReadLevel of its level query).
const BomLevel& ReadChildLevel(std::string_view child, BomWalk& walk) {
  if (const auto at = walk.children.find(child); at != walk.children.end()) return *at->second;
  const BomLevel& rows = ReadLevel(ChildLevelQuery(child), walk);
  walk.children.emplace(child, &rows);
  return rows;
}

// Puts the row's head on the path while the walk is below it (once for a
// level, whose rows share their head); true when it was put there.
bool PushHead(BomWalk& walk, const std::string& head) {
  if (!walk.path.empty() && walk.path.back() == head) return false;
  walk.path.push_back(head);
  ++walk.onPath[head];
  return true;
}

void PopHead(BomWalk& walk) {
  const auto at = walk.onPath.find(walk.path.back());
  if (--at->second == 0) walk.onPath.erase(at);
  walk.path.pop_back();
}

// Refuses a sub-assembly whose BOM is already on the path (the walk would
// never end).
void RefuseCycle(const BomWalk& walk, const std::string& child, const std::string& head) {
  if (child == head || walk.onPath.count(child) != 0) {
    throw ComError(ErrorNumber::InvalidProcedureCall, "产品 " + walk.item + " 的物料清单循环引用自身,");
  }
}

// The quantities of a node: needed with and without waste, per unit of the
// product, and the product of (1 + waste / 100) along its path.
struct Amounts {
  double fQuantity = 0;
  double fQuantityNoWaste = 0;
  double fPSQuantity = 0;
  double fWasteFactor = 1;
};

Amounts AmountsOf(const BomNode& node) {
  return {node.fQuantity, node.fQuantityNoWaste, node.fPSQuantity, node.fWasteFactor};
}

Amounts ChildAmounts(const BomRow& row, const Amounts& node) {
  const double ps = row.Number(BomColumns::kIpsquantity);
  const double factor = 1 + row.Number(BomColumns::kIwasterate) / 100;
  return {ps * node.fQuantity * factor, ps * node.fQuantityNoWaste, ps * node.fPSQuantity,
          node.fWasteFactor * factor};
}

void AddMaterial(const BomRow& row, const Amounts& node, long depth) {
  // A BOM head without lines comes back as one row of nulls: no material.
  if (row.IsNull(BomColumns::kAutoid)) return;
  std::string& ids = SelectedAutoIDs();
  if (!ids.empty()) ids += ',';
  ids += row.View(BomColumns::kAutoid);

  const double ps = row.Number(BomColumns::kIpsquantity);
  const double waste = row.Number(BomColumns::kIwasterate);
  auto line = std::make_shared<clsWWSelectedBom>();
  line->cDepCode(row.Text(BomColumns::kCdepcode));
  for (int n = 1; n <= 10; ++n) line->cFree(n, row.Text(BomColumns::kCfree1 + n - 1));
  line->cPScode(row.Text(BomColumns::kCpscode));
  line->cWhCode(row.Text(BomColumns::kCwhcode));
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

uint64_t SaturatingAdd(uint64_t a, uint64_t b) { return a > UINT64_MAX - b ? UINT64_MAX : a + b; }

// How many materials the explosion of the node selects, each use of a shared
// sub-assembly counted (its count is kept per sub-assembly and level).
uint64_t CountMaterials(const BomNode& node, long levels, long level, BomWalk& walk) {
  struct Frame {
    const BomLevel* rows;
    size_t next;
    long depth;  // of the frame's rows
    std::string known;  // the key its count is kept under ("" at the top)
    bool pushed;
    uint64_t count;
  };
  std::unordered_map<std::string, uint64_t> counted;
  std::vector<Frame> stack;
  stack.push_back({&ReadLevel(LevelQuery(node), walk), 0, level + 1, "", false, 0});
  for (;;) {
    Frame& frame = stack.back();
    if (frame.next == frame.rows->size()) {
      const uint64_t count = frame.count;
      if (!frame.known.empty()) counted.emplace(std::move(frame.known), count);
      if (frame.pushed) PopHead(walk);
      stack.pop_back();
      if (stack.empty()) return count;
      stack.back().count = SaturatingAdd(stack.back().count, count);
      continue;
    }
    const BomRow& row = (*frame.rows)[frame.next++];
    if (row.IsNull(BomColumns::kChildguid) || frame.depth >= levels) {
      if (!row.IsNull(BomColumns::kAutoid)) frame.count = SaturatingAdd(frame.count, 1);
      continue;
    }
    const std::string head = row.Text(BomColumns::kIpid);
    const std::string child = row.Text(BomColumns::kChildguid);
    RefuseCycle(walk, child, head);
    std::string known = std::to_string(frame.depth) + ":" + child;
    if (const auto at = counted.find(known); at != counted.end()) {
      frame.count = SaturatingAdd(frame.count, at->second);
      continue;
    }
    const long depth = frame.depth + 1;
    const BomLevel& rows = ReadChildLevel(child, walk);
    const bool pushed = PushHead(walk, head);
    stack.push_back({&rows, 0, depth, std::move(known), pushed, 0});
  }
}

// Selects the node's materials depth first, in the order of the BOM rows.
void SelectMaterials(const BomNode& node, long levels, long level, BomWalk& walk) {
  struct Frame {
    const BomLevel* rows;
    size_t next;
    long depth;
    Amounts amounts;
    bool pushed;
  };
  std::vector<Frame> stack;
  stack.push_back({&ReadLevel(LevelQuery(node), walk), 0, level + 1, AmountsOf(node), false});
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next == frame.rows->size()) {
      if (frame.pushed) PopHead(walk);
      stack.pop_back();
      continue;
    }
    const BomRow& row = (*frame.rows)[frame.next++];
    if (row.IsNull(BomColumns::kChildguid) || frame.depth >= levels) {
      AddMaterial(row, frame.amounts, frame.depth);
      continue;
    }
    const std::string head = row.Text(BomColumns::kIpid);
    const std::string child = row.Text(BomColumns::kChildguid);
    RefuseCycle(walk, child, head);
    const Amounts amounts = ChildAmounts(row, frame.amounts);
    const long depth = frame.depth + 1;
    const BomLevel& rows = ReadChildLevel(child, walk);
    const bool pushed = PushHead(walk, head);
    stack.push_back({&rows, 0, depth, amounts, pushed});
  }
}

// Counts first, so an explosion too large to hold is refused before any
// material is built.
bool Expand(const BomNode& node, long levels, long level, BomWalk& walk) {
  if (CountMaterials(node, levels, level, walk) > kMaxMaterialRows) {
    throw ComError(ErrorNumber::InvalidProcedureCall,
                   "产品 " + walk.item + " 的物料清单展开超过" + std::to_string(kMaxMaterialRows) + "行,");
  }
  SelectMaterials(node, levels, level, walk);
  return true;
}

// The number of levels below the node: 0 without rows, else the deepest
// level reached. A sub-assembly's own depth is kept (levels below it, 0
// without rows), as it does not depend on where it is used.
long BomDepth(const BomNode& node, long level, BomWalk& walk) {
  struct Frame {
    const BomLevel* rows;
    size_t next;
    long level;
    long depth;
    std::string cPId;  // "" at the top
    bool pushed;
  };
  std::unordered_map<std::string, long> below;
  std::vector<Frame> stack;
  stack.push_back({&ReadLevel(LevelQuery(node), walk), 0, level, level + 1, "", false});
  for (;;) {
    Frame& frame = stack.back();
    if (frame.next == frame.rows->size()) {
      const long depth = frame.rows->empty() ? 0 : frame.depth;
      if (!frame.cPId.empty()) below.emplace(std::move(frame.cPId), depth == 0 ? 0 : depth - frame.level);
      if (frame.pushed) PopHead(walk);
      stack.pop_back();
      if (stack.empty()) return depth;
      stack.back().depth = std::max(stack.back().depth, depth);
      continue;
    }
    const BomRow& row = (*frame.rows)[frame.next++];
    if (row.IsNull(BomColumns::kChildguid)) continue;
    const std::string head = row.Text(BomColumns::kIpid);
    const std::string child = row.Text(BomColumns::kChildguid);
    RefuseCycle(walk, child, head);
    const long childLevel = frame.level + 1;
    if (const auto at = below.find(child); at != below.end()) {
      if (at->second != 0) frame.depth = std::max(frame.depth, childLevel + at->second);
      continue;
    }
    const BomLevel& rows = ReadChildLevel(child, walk);
    const bool pushed = PushHead(walk, head);
    stack.push_back({&rows, 0, childLevel, childLevel + 1, child, pushed});
  }
}

BomWalk WalkOf(const BomNode& node, const ConnectionPtr& Conn) {
  BomWalk walk{Conn, node.cPId.empty() ? node.cInvCode : node.cPId, {}, {}, {}, {}, {}};
  if (!node.cPId.empty()) PushHead(walk, node.cPId);
  return walk;
}

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
  BomWalk walk = WalkOf(node, Conn);
  return Expand(node, levels, level, walk);
}

long GetBomDepth(BomNode& node, const ConnectionPtr& Conn, long level) {
  BomWalk walk = WalkOf(node, Conn);
  return BomDepth(node, level, walk);
}

std::string ExplodeProductLine(long mainid, const std::string& strSOCode, const ConnectionPtr& Conn) {
  ReadSnapshot snapshot(Conn);  // the level queries read under one lock
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

  // The depth and the explosion share the levels read.
  BomWalk walk = WalkOf(root, Conn);
  if (Val(FieldText(*rs, "bbexpandend")) != 0 || rs->Fields("bbexpandend").Value().ToBool()) {
    levels = BomDepth(root, 0, walk);
    snapshot.Release();
    Conn->Execute("update om_pomain set iblevel =" + std::to_string(levels) +
                  " where mainid=" + std::to_string(mainid));
    snapshot.Hold();
  }
  SelectedAutoIDs().clear();
  SelectedBomLines().clear();
  Expand(root, levels, 0, walk);
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

namespace {

bool RowHasFreeItems(const XmlNode& row, const std::vector<std::string>& enabled) {
  for (const std::string& item : enabled) {
    if (GetRowValueAt(row, item).empty() && LCase(GetRowValueAt(row, "editprop")) != "d") return false;
  }
  return true;
}

}  // namespace

bool IsFreeItemsComplete(const XmlNode& row, const ConnectionPtr& Conn, const std::string& strInvCode) {
  std::vector<std::string> enabled;
  try {
    enabled = EnabledFreeItems(Conn, strInvCode);
  } catch (const std::exception&) {
    return true;  // a failed lookup does not block the save
  }
  return RowHasFreeItems(row, enabled);
}

bool IsFreeItemsComplete(const XmlNode& row, const ConnectionPtr& Conn, const std::string& strInvCode,
                         FreeItemFlags& known) {
  auto at = known.find(strInvCode);
  if (at == known.end()) {
    try {
      at = known.emplace(strInvCode, EnabledFreeItems(Conn, strInvCode)).first;
    } catch (const std::exception&) {
      return true;  // a failed lookup does not block the save
    }
  }
  return RowHasFreeItems(row, at->second);
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
