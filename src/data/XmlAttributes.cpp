// XmlAttributes: the attribute collection of an element (node.attributes),
// by position (through the document's attribute index: constant time) and
// by exact, case-sensitive name.
#include <pugixml.hpp>

#include "DomImpl.h"

namespace fabrikon {

namespace {
// The element whose attributes are listed; empty for Nothing and for attributes.
pugi::xml_node OwnerElement(const XmlNode& owner) {
  if (owner.IsNothing() || owner.impl()->IsAttribute()) return {};
  const pugi::xml_node node = owner.impl()->node;
  return node.type() == pugi::node_element ? node : pugi::xml_node();
}
}  // namespace

long XmlAttributes::length() const {
  const pugi::xml_node element = OwnerElement(owner_);
  if (!element) return 0;
  return static_cast<long>(owner_.impl()->owner->impl().AttributesOf(element).size());
}

XmlNode XmlAttributes::item(long index) const {
  const pugi::xml_node element = OwnerElement(owner_);
  if (index < 0 || !element) return XmlNode();
  const std::vector<pugi::xml_attribute>& list = owner_.impl()->owner->impl().AttributesOf(element);
  if (static_cast<size_t>(index) >= list.size()) return XmlNode();
  return MakeNode(*owner_.impl()->owner, element, list[static_cast<size_t>(index)]);
}

XmlNode XmlAttributes::getNamedItem(const std::string& name) const {
  const pugi::xml_node element = OwnerElement(owner_);
  const pugi::xml_attribute a = FindAttribute(element, name);
  return a ? MakeNode(*owner_.impl()->owner, element, a) : XmlNode();
}

}  // namespace fabrikon
