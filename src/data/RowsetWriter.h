// RowsetWriter: writes a recordset's columns and rows into a document in the
// ADO XML persistence layout (schema part, then one z:row per row in rs:data),
// refilling the document object in place. A document that holds, untouched,
// what it wrote last for the same columns keeps its schema part.
#pragma once
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "data/DomImpl.h"
#include "data/RowsetLayout.h"
#include "fabrikon/DOMDocument.h"
#include "fabrikon/Recordset.h"

namespace fabrikon {

class RowsetWriter {
 public:
  RowsetWriter(const std::shared_ptr<const std::vector<FieldInfo>>& fields,
               const std::vector<std::vector<Variant>>& rows);
  void WriteInto(DOMDocument& document) const;

  // The text of a value in a row attribute for a column of the given ADO type.
  static std::string ValueText(const Variant& value, int adoType);

 private:
  // Clears the document and writes the schema part; answers the empty rs:data.
  pugi::xml_node WriteSchema(DOMDocument::Impl& impl) const;
  void WriteRows(pugi::xml_node data) const;
  // ValueText, as the value's own text where it has one, else in buffer.
  static std::string_view ValueView(const Variant& value, int adoType, std::string& buffer);

  const std::vector<FieldInfo>& fields_;
  const std::vector<std::vector<Variant>>& rows_;
  std::shared_ptr<const RowsetLayout> layout_;
};

}  // namespace fabrikon
