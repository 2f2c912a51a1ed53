// RowsetEditor: what a voucher screen does to a rowset document when the user
// types. Set values on the head row, add a line (marked "A"), set values on
// a line (a loaded line becomes "M", an added one stays "A"), delete a line
// (marked "D"; a line added since loading was never stored and is removed).
// Lines are numbered from 1 in document order, as BodyCheck's R counts them.
//
// The editor works on the document in place (the voucher form's HeadDOM or
// BodyDOM). A line or head row that is not there raises ComError
// InvalidArgument; nothing is changed then.
//
//   RowsetEditor body(vo->BodyDOM());
//   body.Clear();                                    // a new voucher's empty body
//   long r = body.AddLine({{"cinvcode", "P100"}, {"fquantity", "10"}});
//   body.SetLine(r, {{"fquantity", "12"}});
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "fabrikon/DOMDocument.h"
#include "fabrikon/Variant.h"

namespace fabrikon {

using Assignments = std::vector<std::pair<std::string, std::string>>;

class RowsetEditor {
 public:
  explicit RowsetEditor(DOMDocumentPtr document);

  // A rowset document without rows, ready for AddLine.
  static DOMDocumentPtr EmptyDocument();
  // Empties the document in place (the same document object).
  void Clear();

  long RowCount() const;
  // Row r (1-based).
  XmlNode Row(long r) const;
  // A field of row r; Null when the row has no such attribute.
  Variant Value(long r, const std::string& name) const;

  // Sets the values on the head row (the first row).
  void SetHead(const Assignments& values);
  // Sets the values on line r and marks it "M" unless it was added ("A").
  void SetLine(long r, const Assignments& values);
  // Appends a line marked "A" with the values; answers its number.
  long AddLine(const Assignments& values);
  // Marks line r "D"; a line added since loading ("A") is removed instead.
  void DeleteLine(long r);

  // Takes over the values a check handed back in domReturn, as the voucher
  // screen does: every attribute of domReturn's first row is set on the head
  // row (r = 0, as SetHead) or on line r (as SetLine). An attribute the row
  // already has under another case ("fQuantity" for "fquantity") keeps its
  // name, so the row never holds one field twice. A null domReturn or one
  // without rows changes nothing (and refuses nothing).
  void ApplyReturn(long r, const DOMDocumentPtr& domReturn);

 private:
  XmlNode RowContainer();
  void RemoveRow(long r);

  DOMDocumentPtr document_;
};

}  // namespace fabrikon
