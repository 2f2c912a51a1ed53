// RowsetEditor: what a voucher screen does to a rowset document when the user
// types, done by the shell's set-head, set-line, add-line and delete-line:
// set values on a row, add a line marked "A", mark lines "M" or "D".
// Lines are numbered from 1 in document order, as BodyCheck's R counts them.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "fabrikon/DOMDocument.h"

namespace fabrikon::cli {

using Assignments = std::vector<std::pair<std::string, std::string>>;

class RowsetEditor {
 public:
  explicit RowsetEditor(DOMDocumentPtr document) : document_(std::move(document)) {}

  long RowCount() const;
  // Row r (1-based); throws std::out_of_range when there is none.
  XmlNode Row(long r) const;

  // Sets the values on the head row (the first row).
  void SetHead(const Assignments& values);
  // Sets the values on line r and marks it "M" unless it was added ("A").
  void SetLine(long r, const Assignments& values);
  // Appends a line marked "A" with the values; answers its number.
  long AddLine(const Assignments& values);
  // Marks line r "D"; a line added since loading ("A") was never stored and
  // is removed instead.
  void DeleteLine(long r);

 private:
  XmlNode RowContainer();
  void RemoveRow(long r);

  DOMDocumentPtr document_;
};

}  // namespace fabrikon::cli
