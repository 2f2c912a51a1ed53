// XmlAttributes: the attribute collection of an element (node.attributes),
// by position and by exact, case-sensitive name.
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
  long count = 0;
  for (pugi::xml_attribute a = OwnerElement(owner_).first_attribute(); a; a = a.next_attribute()) ++count;
  return count;
}

XmlNode XmlAttributes::item(long index) const {
  const pugi::xml_node element = OwnerElement(owner_);
  if (index < 0 || !element) return XmlNode();
  pugi::xml_attribute a = element.first_attribute();
  for (long i = 0; a && i < index; ++i) a = a.next_attribute();
  return a ? MakeNode(*owner_.impl()->owner, element, a) : XmlNode();
}

XmlNode XmlAttributes::getNamedItem(const std::string& name) const {
  const pugi::xml_node element = OwnerElement(owner_);
  const pugi::xml_attribute a = element.attribute(name.c_str());
  return a ? MakeNode(*owner_.impl()->owner, element, a) : XmlNode();
}

}  // namespace fabrikon
