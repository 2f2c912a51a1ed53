// RowsetLayout: the schema part describes each column as ADO writes it for
// SQL Server types. A column whose name cannot be an attribute name (or
// repeats an earlier one) is written as "c" + its ordinal with the real name
// in rs:name, so the document stays well formed.
#include "data/RowsetLayout.h"

#include <array>
#include <set>
#include <utility>

#include "DomImpl.h"
#include "data/XmlCharacters.h"

namespace fabrikon {

namespace {

constexpr int kAdDate = 7, kAdDecimal = 14, kAdTinyInt = 16, kAdDBDate = 133;

using Attributes = std::vector<RowsetLayout::Attribute>;

void SetFixed(Attributes& datatype, const char* type, const char* dbtype, long maxLength, int precision) {
  datatype.push_back({"dt:type", type});
  if (dbtype) datatype.push_back({"rs:dbtype", dbtype});
  datatype.push_back({"dt:maxLength", std::to_string(maxLength)});
  if (precision > 0) datatype.push_back({"rs:precision", std::to_string(precision)});
  datatype.push_back({"rs:fixedlength", "true"});
}

void SetText(Attributes& datatype, const char* dbtype, long maxLength, bool fixed, bool isLong) {
  datatype.push_back({"dt:type", "string"});
  if (dbtype) datatype.push_back({"rs:dbtype", dbtype});
  datatype.push_back({"dt:maxLength", std::to_string(maxLength)});
  if (fixed) datatype.push_back({"rs:fixedlength", "true"});
  if (isLong) datatype.push_back({"rs:long", "true"});
}

void SetNumeric(Attributes& datatype, const FieldInfo& f, const char* dbtype) {
  datatype.push_back({"dt:type", "number"});
  datatype.push_back({"rs:dbtype", dbtype});
  datatype.push_back({"dt:maxLength", "19"});
  datatype.push_back({"rs:scale", std::to_string(f.numericScale)});
  datatype.push_back({"rs:precision", std::to_string(f.precision > 0 ? f.precision : 18)});
  datatype.push_back({"rs:fixedlength", "true"});
}

void SetDateTime(Attributes& datatype) {
  datatype.push_back({"dt:type", "dateTime"});
  datatype.push_back({"rs:dbtype", "timestamp"});
  datatype.push_back({"dt:maxLength", "16"});
  datatype.push_back({"rs:scale", "3"});
  datatype.push_back({"rs:precision", "23"});
  datatype.push_back({"rs:fixedlength", "true"});
}

// The s:datatype attributes of a column, by ADO type code.
void DescribeType(Attributes& datatype, const FieldInfo& f) {
  switch (f.type) {
    case AdoType::SmallInt: return SetFixed(datatype, "i2", nullptr, 2, 5);
    case AdoType::Integer: return SetFixed(datatype, "int", nullptr, 4, 10);
    case AdoType::Single: return SetFixed(datatype, "r4", nullptr, 4, 7);
    case AdoType::Double: return SetFixed(datatype, "float", nullptr, 8, 15);
    case AdoType::Currency: return SetFixed(datatype, "i8", "currency", 8, 19);
    case AdoType::Boolean: return SetFixed(datatype, "boolean", nullptr, 2, 0);
    case kAdTinyInt: return SetFixed(datatype, "i1", nullptr, 1, 3);
    case AdoType::UnsignedTinyInt: return SetFixed(datatype, "ui1", nullptr, 1, 3);
    case AdoType::BigInt: return SetFixed(datatype, "i8", nullptr, 8, 19);
    case AdoType::Numeric: return SetNumeric(datatype, f, "numeric");
    case kAdDecimal: return SetNumeric(datatype, f, "decimal");
    case AdoType::DBTimeStamp:
    case kAdDate: return SetDateTime(datatype);
    case kAdDBDate: return SetFixed(datatype, "date", nullptr, 6, 0);
    case AdoType::Binary: return SetFixed(datatype, "bin.hex", nullptr, f.definedSize, 0);
    case AdoType::VarBinary:
      datatype.push_back({"dt:type", "bin.hex"});
      datatype.push_back({"dt:maxLength", std::to_string(f.definedSize)});
      return;
    case AdoType::Char: return SetText(datatype, "str", f.definedSize, true, false);
    case AdoType::WChar: return SetText(datatype, nullptr, f.definedSize, true, false);
    case AdoType::LongVarChar: return SetText(datatype, "str", f.definedSize > 0 ? f.definedSize : 2147483647, false, true);
    case AdoType::LongVarWChar: return SetText(datatype, nullptr, f.definedSize > 0 ? f.definedSize : 1073741823, false, true);
    case AdoType::VarChar: return SetText(datatype, "str", f.definedSize, false, false);
    default: return SetText(datatype, nullptr, f.definedSize, false, false);
  }
}

// A column name usable as a row attribute: a valid, unprefixed XML name that
// no earlier column took.
bool UsableAsAttribute(const std::string& name, const std::set<std::string>& taken) {
  return IsXmlName(name) && name.find(':') == std::string::npos && name != "xmlns" &&
         taken.count(name) == 0;
}

// Whether two field lists are written alike.
bool SameFields(const std::vector<FieldInfo>& a, const std::vector<FieldInfo>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const FieldInfo& x = a[i];
    const FieldInfo& y = b[i];
    if (x.type != y.type || x.definedSize != y.definedSize || x.precision != y.precision ||
        x.numericScale != y.numericScale || x.isAutoIncrement != y.isAutoIncrement ||
        x.isNullable != y.isNullable || x.name != y.name)
      return false;
  }
  return true;
}

}  // namespace

RowsetLayout::RowsetLayout(const std::vector<FieldInfo>& fields) {
  std::set<std::string> taken;
  for (const FieldInfo& f : fields) taken.insert(f.name);
  std::set<std::string> used;
  columns_.reserve(fields.size());
  for (size_t i = 0; i < fields.size(); ++i) {
    const FieldInfo& f = fields[i];
    Column column;
    column.attributeName = f.name;
    if (!UsableAsAttribute(column.attributeName, used)) {
      column.attributeName = "c" + std::to_string(i);
      while (taken.count(column.attributeName) || used.count(column.attributeName)) column.attributeName += "_";
    }
    used.insert(column.attributeName);
    column.attributes.push_back({"name", column.attributeName});
    // A name comes from the query text and may hold bytes XML cannot carry.
    if (column.attributeName != f.name) column.attributes.push_back({"rs:name", XmlCharacters::Sanitized(f.name)});
    column.attributes.push_back({"rs:number", std::to_string(i + 1)});
    if (f.isNullable) column.attributes.push_back({"rs:nullable", "true"});
    column.attributes.push_back({"rs:writeunknown", "true"});
    if (f.isAutoIncrement) column.attributes.push_back({"rs:autoincrement", "true"});
    DescribeType(column.datatype, f);
    if (!f.isNullable) column.datatype.push_back({"rs:maybenull", "false"});
    columns_.push_back(std::move(column));
  }
}

std::shared_ptr<const RowsetLayout> RowsetLayout::Of(const std::shared_ptr<const std::vector<FieldInfo>>& fields) {
  using Kept = std::pair<std::shared_ptr<const std::vector<FieldInfo>>, std::shared_ptr<const RowsetLayout>>;
  constexpr size_t kKept = 16;
  thread_local std::array<Kept, kKept> kept;
  thread_local size_t next = 0;
  for (const Kept& entry : kept)
    if (entry.first == fields) return entry.second;
  // Columns typed by their values make a new list for every recordset.
  for (Kept& entry : kept) {
    if (entry.first && SameFields(*entry.first, *fields)) {
      entry.first = fields;
      return entry.second;
    }
  }
  auto layout = std::make_shared<const RowsetLayout>(*fields);
  kept[next] = Kept{fields, layout};
  next = (next + 1) % kKept;
  return layout;
}

}  // namespace fabrikon
