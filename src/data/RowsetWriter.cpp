// RowsetWriter: the ADO XML persistence layout (see RowsetWriter.h). The
// schema part describes each column as ADO writes it for SQL Server types;
// readers of the library's documents use only the rows, but hosts and tools
// that read the schema get the usual attributes (see RowsetLayout).
// Values and column names come from the database as they are: bytes XML
// cannot carry (invalid UTF-8, control characters, NUL) are written as
// U+FFFD, never as a character reference that would make the document
// malformed.
#include "RowsetWriter.h"

#include "DomImpl.h"
#include "RowsetNamespaces.h"
#include "data/XmlCharacters.h"
#include "fabrikon/modVoucher.h"

namespace fabrikon {

namespace {

constexpr int kAdDate = 7, kAdDBDate = 133;

bool IsDateType(int type) { return type == kAdDate || type == kAdDBDate || type == AdoType::DBTimeStamp; }

void Set(pugi::xml_node node, const char* name, std::string_view value) {
  node.append_attribute(name).set_value(value.data(), value.size());
}

void SetAll(pugi::xml_node node, const std::vector<RowsetLayout::Attribute>& attributes) {
  for (const RowsetLayout::Attribute& attribute : attributes) Set(node, attribute.name, attribute.value);
}

}  // namespace

RowsetWriter::RowsetWriter(const std::shared_ptr<const std::vector<FieldInfo>>& fields,
                           const std::vector<std::vector<Variant>>& rows)
    : fields_(*fields), rows_(rows), layout_(RowsetLayout::Of(fields)) {}

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

std::string_view RowsetWriter::ValueView(const Variant& value, int adoType, std::string& buffer) {
  if (const std::string* text = value.AsText(); text != nullptr && adoType != AdoType::Boolean && !IsDateType(adoType))
    return *text;
  buffer = ValueText(value, adoType);
  return buffer;
}

void RowsetWriter::WriteInto(DOMDocument& document) const {
  DOMDocument::Impl& impl = document.impl();
  pugi::xml_node data;
  if (impl.HoldsRowsetOf(layout_.get())) {
    // What a rewrite would change: the rows (and the counters, as a clear does).
    ++impl.revision;
    ++impl.structure;
    data = impl.written.data;
    data.remove_children();
  } else {
    data = WriteSchema(impl);
  }
  WriteRows(data);
  impl.written = DOMDocument::Impl::WrittenRowset{layout_, data, impl.revision, impl.structure, impl.values};
}

pugi::xml_node RowsetWriter::WriteSchema(DOMDocument::Impl& impl) const {
  impl.ClearContent();
  pugi::xml_node root = impl.AppendTopElement("xml");
  for (const RowsetNamespace& ns : kRowsetNamespaces) Set(root, (std::string("xmlns:") + ns.prefix).c_str(), ns.uri);

  pugi::xml_node schema = root.append_child("s:Schema");
  Set(schema, "id", "RowsetSchema");
  pugi::xml_node elementType = schema.append_child("s:ElementType");
  Set(elementType, "name", "row");
  Set(elementType, "content", "eltOnly");
  for (const RowsetLayout::Column& column : layout_->Columns()) {
    pugi::xml_node attributeType = elementType.append_child("s:AttributeType");
    SetAll(attributeType, column.attributes);
    SetAll(attributeType.append_child("s:datatype"), column.datatype);
  }
  Set(elementType.append_child("s:extends"), "type", "rs:rowbase");
  return root.append_child("rs:data");
}

void RowsetWriter::WriteRows(pugi::xml_node data) const {
  const std::vector<RowsetLayout::Column>& columns = layout_->Columns();
  std::string buffer;
  for (const auto& row : rows_) {
    pugi::xml_node z = data.append_child("z:row");
    for (size_t i = 0; i < columns.size(); ++i) {
      if (row[i].IsNull() || row[i].IsEmpty()) continue;
      const std::string_view text = ValueView(row[i], fields_[i].type, buffer);
      pugi::xml_attribute attribute = z.append_attribute(columns[i].attributeName.c_str());
      // Bytes XML cannot carry are replaced; a NUL would also end the value.
      if (XmlCharacters::IsAllowed(text))
        attribute.set_value(text.data(), text.size());
      else
        attribute.set_value(XmlCharacters::Sanitized(text).c_str());
    }
  }
}

}  // namespace fabrikon
