// DOMDocument: a rowset document over pugixml. Documents are shared objects
// refilled in place; loading validates before touching the content, so a
// malformed text leaves an empty document instead of a half-filled one.
#include <algorithm>
#include <cstring>
#include <pugixml.hpp>
#include <string_view>
#include <vector>

#include "DomImpl.h"
#include "RowsetNamespaces.h"
#include "XPathCache.h"
#include "data/XmlCharacters.h"
#include "fabrikon/ComError.h"

namespace fabrikon {

namespace {
// A name no XML text can produce (it is not a valid element name), so the
// parking element never collides with loaded content.
constexpr const char* kParkingName = "#parking";
constexpr const char* kRowSelection = "//z:row";
constexpr std::string_view kRowName = "z:row";

// The next node after `node` in document order within `root`'s subtree.
// Iterative, so a deeply nested text cannot exhaust the stack.
pugi::xml_node NextInTree(pugi::xml_node node, pugi::xml_node root) {
  if (node.first_child()) return node.first_child();
  for (; node && node != root; node = node.parent())
    if (node.next_sibling()) return node.next_sibling();
  return {};
}

// No element may carry the same attribute twice (the parser does not check).
bool HasUniqueAttributes(pugi::xml_node root) {
  std::vector<std::string_view> names;
  for (pugi::xml_node node = root; node; node = NextInTree(node, root)) {
    names.clear();
    for (pugi::xml_attribute a : node.attributes()) names.emplace_back(a.name());
    std::sort(names.begin(), names.end());
    if (std::adjacent_find(names.begin(), names.end()) != names.end()) return false;
  }
  return true;
}

// A loaded text is a document only with exactly one top element and no text
// beside it; the text was parsed as a fragment so that stray text shows.
bool IsWellFormedDocument(const pugi::xml_document& doc) {
  int elements = 0;
  for (pugi::xml_node child : doc.children()) {
    if (child.type() == pugi::node_element)
      ++elements;
    else if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
      return false;
  }
  return elements == 1 && HasUniqueAttributes(doc.document_element());
}
}  // namespace

pugi::xml_node DOMDocument::Impl::Parking() {
  if (!parking) parking = doc.append_child(kParkingName);
  return parking;
}

bool DOMDocument::Impl::IsParked(pugi::xml_node node) const {
  if (!parking) return false;
  for (; node; node = node.parent())
    if (node == parking) return true;
  return false;
}

pugi::xml_node DOMDocument::Impl::DocumentElement() const {
  for (pugi::xml_node child : doc.children())
    if (child.type() == pugi::node_element && child != parking) return child;
  return {};
}

const std::vector<pugi::xml_node>& DOMDocument::Impl::Rows() {
  if (rowsStructure_ != structure) {
    pugi::xpath_node_set found = XPathCache::Get(kRowSelection).evaluate_node_set(pugi::xpath_node(doc));
    found.sort();
    rows_.clear();
    for (const pugi::xpath_node& row : found)
      if (!IsParked(row.node())) rows_.push_back(row.node());
    rowsStructure_ = structure;
  }
  return rows_;
}

void DOMDocument::Impl::NoteMoved(pugi::xml_node element, bool fromOutside) {
  // Nothing follows the last row in document order (not even inside it), so
  // an empty row placed right after it is the new last row.
  const bool extends = fromOutside && rowsStructure_ == structure && element.name() == kRowName &&
                       !element.first_child() && (rows_.empty() || rows_.back() == element.previous_sibling());
  ++structure;
  if (!extends) return;
  rows_.push_back(element);
  rowsStructure_ = structure;
}

const std::vector<pugi::xml_attribute>& DOMDocument::Impl::AttributesOf(pugi::xml_node element) {
  if (element != indexedElement_ || revision != indexedRevision_ || !element) {
    indexed_.clear();
    for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) indexed_.push_back(a);
    indexedElement_ = element;
    indexedRevision_ = revision;
  }
  return indexed_;
}

void DOMDocument::Impl::ClearContent() {
  ++revision;
  ++structure;
  if (liveHandles == 0) {
    doc.reset();
    parking = {};
    return;
  }
  pugi::xml_node park = Parking();
  for (pugi::xml_node child = doc.first_child(); child && child != park;) {
    pugi::xml_node next = child.next_sibling();
    park.append_move(child);
    child = next;
  }
}

bool DOMDocument::Impl::HoldsRowsetOf(const void* layout) const {
  return layout != nullptr && written.layout.get() == layout && liveHandles == 0 && !parking &&
         written.revision == revision && written.structure == structure && written.values == values;
}

pugi::xml_node DOMDocument::Impl::AppendTopElement(const char* name) {
  ++structure;
  return parking ? doc.insert_child_before(name, parking) : doc.append_child(name);
}

DOMDocument::DOMDocument() : impl_(std::make_unique<Impl>()) {}
DOMDocument::~DOMDocument() = default;

DOMDocumentPtr DOMDocument::Create() { return DOMDocumentPtr(new DOMDocument()); }

XmlNode DOMDocument::createElement(const std::string& name) {
  RequireXmlName(name);
  return MakeNode(*this, impl_->Parking().append_child(name.c_str()));
}

XmlNode DOMDocument::appendChild(const XmlNode& child) {
  if (child.IsNothing() || child.impl()->IsAttribute())
    throw ComError(ErrorNumber::DomError, "appendChild: the node to append is not an element");
  const pugi::xml_node current = impl_->DocumentElement();
  const XmlNode::Impl& source = *child.impl();
  if (source.owner.get() == this && source.node == current) return child;
  if (current)
    throw ComError(ErrorNumber::DomError, "Only one top level element is allowed in an XML document.");
  ++impl_->structure;
  if (source.owner.get() != this) {
    pugi::xml_node copy = impl_->parking ? impl_->doc.insert_copy_before(source.node, impl_->parking)
                                         : impl_->doc.append_copy(source.node);
    return MakeNode(*this, copy);
  }
  pugi::xml_node moved = impl_->parking ? impl_->doc.insert_move_before(source.node, impl_->parking)
                                        : impl_->doc.append_move(source.node);
  if (!moved) throw ComError(ErrorNumber::DomError, "appendChild: the node cannot be moved here");
  return child;
}

bool DOMDocument::loadXML(const std::string& text) {
  pugi::xml_document parsed;
  // Text XML cannot carry (&#0;, control characters, invalid UTF-8) is
  // malformed, as for any parser that keeps to XML 1.0.
  const bool characters = XmlCharacters::IsWellFormedText(text);
  const pugi::xml_parse_result result =
      characters ? parsed.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_fragment,
                                      pugi::encoding_utf8)
                 : pugi::xml_parse_result();
  const bool ok = characters && result && IsWellFormedDocument(parsed);
  impl_->ClearContent();
  if (!ok) return false;
  if (impl_->liveHandles == 0) {
    impl_->doc = std::move(parsed);
    impl_->parking = {};
  } else {
    impl_->doc.insert_copy_before(parsed.document_element(), impl_->Parking());
  }
  ++impl_->structure;
  return true;
}

// The text declares every rowset prefix the document uses (on its top
// element), also where the document was built without declarations: a bare
// row, or rows a host loaded as text.
std::string DOMDocument::xml() const {
  std::string text;
  for (pugi::xml_node child : impl_->doc.children()) {
    if (child == impl_->parking) continue;
    std::string node = SerializeNode(child);
    if (child.type() == pugi::node_element) node.insert(1 + std::strlen(child.name()), MissingRowsetDeclarations(child));
    text += node;
  }
  return text;
}

XmlNode DOMDocument::documentElement() const {
  const pugi::xml_node element = impl_->DocumentElement();
  return element ? MakeNode(const_cast<DOMDocument&>(*this), element) : XmlNode();
}

XmlNodeList DOMDocument::selectNodes(const std::string& xpath) const {
  return SelectNodes(const_cast<DOMDocument&>(*this), pugi::xpath_node(impl_->doc), xpath);
}

XmlNode DOMDocument::selectSingleNode(const std::string& xpath) const {
  return SelectSingleNode(const_cast<DOMDocument&>(*this), pugi::xpath_node(impl_->doc), xpath);
}

void DOMDocument::Clear() { impl_->ClearContent(); }

}  // namespace fabrikon
