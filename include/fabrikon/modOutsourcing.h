// modOutsourcing: the module procedures of the outsourcing order. The
// bill-of-materials explosion of one product line into its materials (with
// the two thread-wide results it leaves behind), and the free-item checks of
// product lines and of selected BOM rows.
#pragma once
#include <string>
#include <unordered_map>
#include <vector>

#include "fabrikon/Connection.h"
#include "fabrikon/DOMDocument.h"
#include "fabrikon/Recordset.h"
#include "fabrikon/clsWWSelectedBom.h"

namespace fabrikon {

// The node whose BOM level is read: the product line itself (cInvCode,
// cSOCode and the free items set, cPId "") or a sub-assembly (cPId = the
// BOM row's childguid, all else empty).
struct BomNode {
  std::string cInvCode;
  std::string cSOCode;
  std::string cFree1, cFree2, cFree3, cFree4, cFree5, cFree6, cFree7, cFree8, cFree9, cFree10;
  std::string cPId;
  double fQuantity = 0;
  double fPSQuantity = 0;
  double fQuantityNoWaste = 0;
  // Product of (1 + waste / 100) along the path to this node; gives the
  // waste rate of a material when its no-waste quantity is 0.
  double fWasteFactor = 1;

  std::string& cFree(int n);
  const std::string& cFree(int n) const;
};

// Explodes product line `mainid` of om_pomain: the selected materials go to
// SelectedBomLines, their BOM row ids to SelectedAutoIDs. Answers
// SelectedAutoIDs, or "" when the product line is not found. A bill of
// materials that leads back into itself, or whose explosion would select
// more than 1,000,000 materials (each use of a shared sub-assembly counted),
// raises ComError naming the item; nothing is selected then.
std::string ExplodeProductLine(long mainid, const std::string& strSOCode, const ConnectionPtr& Conn);

// Reads the node's BOM level and selects its materials, descending into
// sub-assemblies while depth < levels. Always true. Refuses as
// ExplodeProductLine does.
bool ExpandBomLevel(BomNode& node, long levels, long level, const ConnectionPtr& Conn);

// The number of BOM levels below the node (0 when it has no BOM).
long GetBomDepth(BomNode& node, const ConnectionPtr& Conn, long level);

// The materials of the last explosion on this thread, in the order met.
std::vector<clsWWSelectedBomPtr>& SelectedBomLines();
// Their BOM row ids, joined by ",".
std::string& SelectedAutoIDs();

// The value of attribute lower-case(trim(name)) of row `row` (0-based) of
// "//z:row"; "" when the row or the attribute is missing.
std::string GetRowValueAt(const DOMDocumentPtr& document, const std::string& name, long row);
// The same for a row already at hand (a check walking the body's rows looks
// each one up once, not once per value).
std::string GetRowValueAt(const XmlNode& row, const std::string& name);

// False when the item's inventory record enables a free item that row `row`
// of the body leaves empty (rows marked deleted never fail). Errors count as
// complete.
bool IsFreeItemsComplete(const DOMDocumentPtr& domBody, const ConnectionPtr& Conn, const std::string& strInvCode,
                         long row);
// The same for a row already at hand.
bool IsFreeItemsComplete(const XmlNode& row, const ConnectionPtr& Conn, const std::string& strInvCode);
// The free items each inventory code enables (by the code as written), kept
// by a check of many lines so that each code is read once.
using FreeItemFlags = std::unordered_map<std::string, std::vector<std::string>>;
// The same, reading the item's flags through `known` (a failed lookup is not
// kept: the next line asks again).
bool IsFreeItemsComplete(const XmlNode& row, const ConnectionPtr& Conn, const std::string& strInvCode,
                         FreeItemFlags& known);

// False when a BOM row of the recordset (from its current row on) leaves
// empty a free item that its component's inventory record enables.
bool IsBomFreeItemsComplete(Recordset& rs, const ConnectionPtr& Conn);

}  // namespace fabrikon
