// RowsetWriter: writes a recordset's columns and rows into a document in the
// ADO XML persistence layout (schema part, then one z:row per row in rs:data),
// refilling the document object in place.
#pragma once
#include <string>
#include <vector>

#include "fabrikon/DOMDocument.h"
#include "fabrikon/Recordset.h"

namespace fabrikon {

class RowsetWriter {
 public:
  RowsetWriter(const std::vector<FieldInfo>& fields, const std::vector<std::vector<Variant>>& rows);
  void WriteInto(DOMDocument& document) const;

  // The text of a value in a row attribute for a column of the given ADO type.
  static std::string ValueText(const Variant& value, int adoType);

 private:
  const std::vector<FieldInfo>& fields_;
  const std::vector<std::vector<Variant>>& rows_;
  std::vector<std::string> attributeNames_;  // per column: the name used in the rows
};

}  // namespace fabrikon
