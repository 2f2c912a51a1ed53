// RowsetLayout: what a rowset document says about a recordset's columns
// (the attribute each column is written under in the rows and the schema
// part's attributes), worked out once per field list: a statement's cached
// recordsets share one field list, and describing forty columns costs more
// than writing a row.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "fabrikon/Recordset.h"

namespace fabrikon {

class RowsetLayout {
 public:
  struct Attribute {
    const char* name;
    std::string value;
  };
  struct Column {
    std::string attributeName;          // the row attribute of the column
    std::vector<Attribute> attributes;  // of its s:AttributeType
    std::vector<Attribute> datatype;    // of its s:datatype
  };

  explicit RowsetLayout(const std::vector<FieldInfo>& fields);

  // The layout of the field list, kept for the field lists written lately
  // (on this thread): found by address (a list is immutable once shared and
  // the kept reference holds it alive), else by content.
  static std::shared_ptr<const RowsetLayout> Of(const std::shared_ptr<const std::vector<FieldInfo>>& fields);

  const std::vector<Column>& Columns() const { return columns_; }

 private:
  std::vector<Column> columns_;
};

}  // namespace fabrikon
