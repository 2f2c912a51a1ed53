// RowsetWriter: the ADO XML persistence layout (see RowsetWriter.h). The
// schema part describes each column as ADO writes it for SQL Server types;
// readers of the library's documents use only the rows, but hosts and tools
// that read the schema get the usual attributes. A column whose name cannot
// be an attribute name (or repeats an earlier one) is written as "c" + its
// ordinal with the real name in rs:name, so the document stays well formed.
// Values and column names come from the database as they are: bytes XML
// cannot carry (invalid UTF-8, control characters, NUL) are written as
// U+FFFD, never as a character reference that would make the document
// malformed.
#include "RowsetWriter.h"

#include <set>

#include "DomImpl.h"
#include "RowsetNamespaces.h"
#include "data/XmlCharacters.h"
#include "fabrikon/modVoucher.h"

namespace fabrikon {

namespace {

constexpr int kAdDate = 7, kAdDecimal = 14, kAdTinyInt = 16, kAdDBDate = 133;

bool IsDateType(int type) { return type == kAdDate || type == kAdDBDate || type == AdoType::DBTimeStamp; }

void Set(pugi::xml_node node, const char* name, const std::string& value) {
  node.append_attribute(name).set_value(value.c_str());
}

void SetFixed(pugi::xml_node datatype, const char* type, const char* dbtype, long maxLength, int precision) {
  Set(datatype, "dt:type", type);
  if (dbtype) Set(datatype, "rs:dbtype", dbtype);
  Set(datatype, "dt:maxLength", std::to_string(maxLength));
  if (precision > 0) Set(datatype, "rs:precision", std::to_string(precision));
  Set(datatype, "rs:fixedlength", "true");
}

void SetText(pugi::xml_node datatype, const char* dbtype, long maxLength, bool fixed, bool isLong) {
  Set(datatype, "dt:type", "string");
  if (dbtype) Set(datatype, "rs:dbtype", dbtype);
  Set(datatype, "dt:maxLength", std::to_string(maxLength));
  if (fixed) Set(datatype, "rs:fixedlength", "true");
  if (isLong) Set(datatype, "rs:long", "true");
}

void SetNumeric(pugi::xml_node datatype, const FieldInfo& f, const char* dbtype) {
  Set(datatype, "dt:type", "number");
  Set(datatype, "rs:dbtype", dbtype);
  Set(datatype, "dt:maxLength", "19");
  Set(datatype, "rs:scale", std::to_string(f.numericScale));
  Set(datatype, "rs:precision", std::to_string(f.precision > 0 ? f.precision : 18));
  Set(datatype, "rs:fixedlength", "true");
}

void SetDateTime(pugi::xml_node datatype) {
  Set(datatype, "dt:type", "dateTime");
  Set(datatype, "rs:dbtype", "timestamp");
  Set(datatype, "dt:maxLength", "16");
  Set(datatype, "rs:scale", "3");
  Set(datatype, "rs:precision", "23");
  Set(datatype, "rs:fixedlength", "true");
}

// The s:datatype attributes of a column, by ADO type code.
void DescribeType(pugi::xml_node datatype, const FieldInfo& f) {
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
      Set(datatype, "dt:type", "bin.hex");
      Set(datatype, "dt:maxLength", std::to_string(f.definedSize));
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

}  // namespace

RowsetWriter::RowsetWriter(const std::vector<FieldInfo>& fields, const std::vector<std::vector<Variant>>& rows)
    : fields_(fields), rows_(rows) {
  std::set<std::string> taken;
  for (const FieldInfo& f : fields) taken.insert(f.name);
  std::set<std::string> used;
  for (size_t i = 0; i < fields.size(); ++i) {
    std::string name = fields[i].name;
    if (!UsableAsAttribute(name, used)) {
      name = "c" + std::to_string(i);
      while (taken.count(name) || used.count(name)) name += "_";
    }
    used.insert(name);
    attributeNames_.push_back(name);
  }
}

std::string RowsetWriter::ValueText(const Variant& value, int adoType) {
  if (adoType == AdoType::Boolean) return value.ToBool() ? "True" : "False";
  if (IsDateType(adoType)) {
    DateTime date;
    const DateTime* held = value.AsDate();
    if (!held && value.AsText() && DateTime::Parse(*value.AsText(), date)) held = &date;
    if (held) return adoType == kAdDBDate ? FormatDate(*held) : held->ToIsoText();
  }
  return value.ToText();
}

void RowsetWriter::WriteInto(DOMDocument& document) const {
  DOMDocument::Impl& impl = document.impl();
  impl.ClearContent();
  pugi::xml_node root = impl.AppendTopElement("xml");
  for (const RowsetNamespace& ns : kRowsetNamespaces) Set(root, (std::string("xmlns:") + ns.prefix).c_str(), ns.uri);

  pugi::xml_node schema = root.append_child("s:Schema");
  Set(schema, "id", "RowsetSchema");
  pugi::xml_node elementType = schema.append_child("s:ElementType");
  Set(elementType, "name", "row");
  Set(elementType, "content", "eltOnly");
  for (size_t i = 0; i < fields_.size(); ++i) {
    const FieldInfo& f = fields_[i];
    pugi::xml_node attributeType = elementType.append_child("s:AttributeType");
    Set(attributeType, "name", attributeNames_[i]);
    // A name comes from the query text and may hold bytes XML cannot carry.
    if (attributeNames_[i] != f.name) Set(attributeType, "rs:name", XmlCharacters::Sanitized(f.name));
    Set(attributeType, "rs:number", std::to_string(i + 1));
    if (f.isNullable) Set(attributeType, "rs:nullable", "true");
    Set(attributeType, "rs:writeunknown", "true");
    if (f.isAutoIncrement) Set(attributeType, "rs:autoincrement", "true");
    pugi::xml_node datatype = attributeType.append_child("s:datatype");
    DescribeType(datatype, f);
    if (!f.isNullable) Set(datatype, "rs:maybenull", "false");
  }
  Set(elementType.append_child("s:extends"), "type", "rs:rowbase");

  pugi::xml_node data = root.append_child("rs:data");
  for (const auto& row : rows_) {
    pugi::xml_node z = data.append_child("z:row");
    for (size_t i = 0; i < fields_.size(); ++i)
      if (!row[i].IsNull() && !row[i].IsEmpty())
        z.append_attribute(attributeNames_[i].c_str())
            .set_value(XmlCharacters::Sanitized(ValueText(row[i], fields_[i].type)).c_str());
  }
}

}  // namespace fabrikon
