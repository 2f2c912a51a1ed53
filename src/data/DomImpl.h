// The pugixml-backed state behind DOMDocument and its node handles, shared
// by the DOM sources and the recordset writer (which fills documents
// directly, without a text round trip).
//
// Node lifetime: a handle must never reach freed memory. Elements are freed
// only when a document's content is replaced while no handle to the document
// exists; otherwise the replaced content and every created-but-unattached
// element live under a hidden parking element (the document node's last
// child) that serialisation and selections skip. Attributes can be removed,
// so attribute handles check that their attribute is still on the element.
#pragma once
#include <pugixml.hpp>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fabrikon/DOMDocument.h"

namespace fabrikon {

struct DOMDocument::Impl {
  pugi::xml_document doc;
  pugi::xml_node parking;  // empty until first needed
  long liveHandles = 0;    // XmlNode::Impl objects that point into this document
  // Bumped whenever an attribute list or the content changes.
  uint64_t revision = 0;
  // Bumped whenever an element joins or leaves the document's tree.
  uint64_t structure = 0;
  // Bumped whenever an attribute's value is set.
  uint64_t values = 0;

  // The rowset the writer put here last: the layout of its schema part, its
  // rs:data element and the counters right after. A document nobody touched
  // since (and that no handle can see) keeps that schema part when the next
  // rowset of the same layout is written; only its rows are replaced.
  struct WrittenRowset {
    std::shared_ptr<const void> layout;  // held, so that no other layout can take its address
    pugi::xml_node data;
    uint64_t revision = 0, structure = 0, values = 0;
  };
  WrittenRowset written;
  // Whether the document holds, untouched and unseen, what the writer left
  // with `layout`.
  bool HoldsRowsetOf(const void* layout) const;

  // The attributes of one element by position, so that item(i) and length()
  // of node.attributes take constant time (the save-mode checks walk every
  // attribute of every row). Rebuilt when another element is asked for or
  // after a change.
  const std::vector<pugi::xml_attribute>& AttributesOf(pugi::xml_node element);

  // The rows the selection "//z:row" finds, in document order, kept while
  // the element tree is unchanged: a host that adds and edits lines one at a
  // time does not have every row selected again for each of them.
  const std::vector<pugi::xml_node>& Rows();
  // Records that `element` was moved into the tree; `fromOutside` when it
  // was parked and its new parent is not. An empty row appended right after
  // the last row extends the kept rows instead of dropping them.
  void NoteMoved(pugi::xml_node element, bool fromOutside);

  // The parking element, created on first use.
  pugi::xml_node Parking();
  bool IsParked(pugi::xml_node node) const;
  // The document's one top element (never the parking element).
  pugi::xml_node DocumentElement() const;
  // Drops the content; freed at once when no handle exists, parked otherwise.
  void ClearContent();
  // Inserts a new top element (the caller checked that there is none).
  pugi::xml_node AppendTopElement(const char* name);

 private:
  pugi::xml_node indexedElement_;
  uint64_t indexedRevision_ = 0;
  std::vector<pugi::xml_attribute> indexed_;
  std::vector<pugi::xml_node> rows_;
  uint64_t rowsStructure_ = UINT64_MAX;  // the structure rows_ was taken at
};

struct XmlNode::Impl {
  Impl(DOMDocumentPtr owner, pugi::xml_node node, pugi::xml_attribute attribute = {});
  ~Impl();
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  bool IsAttribute() const { return isAttribute; }
  // The attribute if it is still on its element, otherwise an empty one.
  pugi::xml_attribute Attribute() const;
  // This node as the context of a selection.
  pugi::xpath_node Context() const;

  DOMDocumentPtr owner;
  pugi::xml_node node;  // the element, or the element that holds the attribute
  pugi::xml_attribute attribute;
  bool isAttribute = false;
};

// Builds handles and runs selections for both DOMDocument and XmlNode.
XmlNode MakeNode(DOMDocument& owner, pugi::xml_node node, pugi::xml_attribute attribute = {});
XmlNodeList SelectNodes(DOMDocument& owner, const pugi::xpath_node& context, const std::string& xpath);
XmlNode SelectSingleNode(DOMDocument& owner, const pugi::xpath_node& context, const std::string& xpath);
// Compact serialisation of one node (no indentation, no declaration).
std::string SerializeNode(pugi::xml_node node);
// The attribute of element named exactly `name` (pugixml looks names up as C
// strings, so a name holding a NUL would find the attribute named by its start).
pugi::xml_attribute FindAttribute(pugi::xml_node element, const std::string& name);
// Whether the text can be an element or attribute name; RequireXmlName raises
// ComError when not.
bool IsXmlName(const std::string& name);
void RequireXmlName(const std::string& name);

}  // namespace fabrikon
