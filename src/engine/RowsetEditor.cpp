// Editing rowset documents the way the host's voucher screen does (see
// RowsetEditor.h). New lines go into the rowset's data container, so that a
// document loaded from the database stays one rowset.
#include "fabrikon/RowsetEditor.h"

#include "data/DomImpl.h"
#include "engine/EngineErrors.h"
#include "fabrikon/ComError.h"
#include "fabrikon/modVoucher.h"

namespace fabrikon {
namespace {

const char* const kEmptyRowset = "<xml><rs:data/></xml>";

void Apply(XmlNode row, const Assignments& values) {
  for (const auto& [name, value] : values) row.setAttribute(name, Variant(value));
}

std::string EditProp(const XmlNode& row) {
  Variant mark = row.getAttribute("editprop");
  return mark.IsNull() ? "" : mark.ToText();
}

// The name under which the row holds the field (compared without case), or
// the name itself when the row lacks it.
std::string NameOnRow(const XmlNode& row, const std::string& name) {
  const std::string key = LCase(name);
  const XmlAttributes attributes = row.attributes();
  for (long i = 0; i < attributes.length(); ++i) {
    std::string existing = attributes.item(i).nodeName();
    if (LCase(existing) == key) return existing;
  }
  return name;
}

[[noreturn]] void Refuse(const std::string& why) { throw ComError(ErrorNumber::InvalidArgument, why); }

void Load(DOMDocument& document, const std::string& xml, const std::string& why) {
  if (!document.loadXML(xml)) throw ComError(ErrorNumber::DomError, why);
}

}  // namespace

RowsetEditor::RowsetEditor(DOMDocumentPtr document) : document_(engine::Require(document)) {}

DOMDocumentPtr RowsetEditor::EmptyDocument() {
  DOMDocumentPtr document = DOMDocument::Create();
  RowsetEditor(document).Clear();
  return document;
}

void RowsetEditor::Clear() { Load(*document_, kEmptyRowset, "the document cannot be emptied"); }

// The rows are those of "//z:row", kept by the document between changes of
// its tree, so that adding or editing line after line stays linear.
long RowsetEditor::RowCount() const { return static_cast<long>(document_->impl().Rows().size()); }

XmlNode RowsetEditor::Row(long r) const {
  const std::vector<pugi::xml_node>& rows = document_->impl().Rows();
  if (r < 1 || r > static_cast<long>(rows.size())) {
    Refuse("no line " + std::to_string(r) + " (the document has " + std::to_string(rows.size()) + ")");
  }
  return MakeNode(*document_, rows[static_cast<size_t>(r - 1)]);
}

Variant RowsetEditor::Value(long r, const std::string& name) const { return Row(r).getAttribute(name); }

void RowsetEditor::SetHead(const Assignments& values) {
  if (RowCount() == 0) Refuse("the head has no row (load a voucher or start a new one)");
  Apply(Row(1), values);
}

void RowsetEditor::SetLine(long r, const Assignments& values) {
  XmlNode row = Row(r);
  Apply(row, values);
  if (EditProp(row) != "A") row.setAttribute("editprop", Variant("M"));
}

void RowsetEditor::ApplyReturn(long r, const DOMDocumentPtr& domReturn) {
  if (!domReturn) return;
  const XmlNode returned = domReturn->selectSingleNode("//z:row");
  if (returned.IsNothing()) return;
  if (r == 0 && RowCount() == 0) Refuse("the head has no row (load a voucher or start a new one)");
  const XmlNode target = Row(r == 0 ? 1 : r);  // refuses a missing line before anything changes
  Assignments values;
  const XmlAttributes attributes = returned.attributes();
  for (long i = 0; i < attributes.length(); ++i) {
    const XmlNode attribute = attributes.item(i);
    values.emplace_back(NameOnRow(target, attribute.nodeName()), attribute.nodeValue());
  }
  if (r == 0) {
    SetHead(values);
  } else {
    SetLine(r, values);
  }
}

long RowsetEditor::AddLine(const Assignments& values) {
  XmlNode container = RowContainer();
  XmlNode row = container.appendChild(document_->createElement("z:row"));
  Apply(row, values);
  row.setAttribute("editprop", Variant("A"));
  return RowCount();
}

void RowsetEditor::DeleteLine(long r) {
  XmlNode row = Row(r);
  if (EditProp(row) == "A") {
    RemoveRow(r);
  } else {
    row.setAttribute("editprop", Variant("D"));
  }
}

// The element that holds the rows: the rowset's data element, or one made
// for a document that has none (empty, or a single bare row).
XmlNode RowsetEditor::RowContainer() {
  XmlNode data = document_->selectSingleNode("//rs:data");
  if (!data.IsNothing()) return data;
  std::string rows;
  for (const XmlNode& row : document_->selectNodes("//z:row")) rows += row.xml();
  Load(*document_, "<xml><rs:data>" + rows + "</rs:data></xml>", "the document cannot take lines");
  return document_->selectSingleNode("//rs:data");
}

// The document without row r, rebuilt in place (same document object).
void RowsetEditor::RemoveRow(long r) {
  std::string text = document_->xml();
  std::string row = Row(r).xml();
  // Rows before r that print the same are identical, so dropping the first
  // such text leaves the same document as dropping row r.
  size_t at = text.find(row);
  if (at == std::string::npos) throw ComError(ErrorNumber::DomError, "line " + std::to_string(r) + " cannot be removed");
  Load(*document_, text.erase(at, row.size()), "line " + std::to_string(r) + " cannot be removed");
}

}  // namespace fabrikon
