// XmlNodeList and the selections that fill it. Selections skip the hidden
// parking element (see DomImpl.h), so nodes that are not part of the document
// are never found; results come in document order.
#include <pugixml.hpp>

#include "DomImpl.h"
#include "XPathCache.h"
#include "fabrikon/ComError.h"

namespace fabrikon {

namespace {

pugi::xml_node ElementOf(const pugi::xpath_node& found) {
  return found.attribute() ? found.parent() : found.node();
}

XmlNode ToHandle(DOMDocument& owner, const pugi::xpath_node& found) {
  return found.attribute() ? MakeNode(owner, found.parent(), found.attribute()) : MakeNode(owner, found.node());
}

[[noreturn]] void ThrowSelectionError(const std::string& xpath, const char* what) {
  throw ComError(ErrorNumber::DomError, "Selection \"" + xpath + "\" failed: " + what);
}

}  // namespace

XmlNode XmlNodeList::item(long index) const {
  if (index < 0 || index >= length()) return XmlNode();
  return nodes_[static_cast<size_t>(index)];
}

XmlNodeList SelectNodes(DOMDocument& owner, const pugi::xpath_node& context, const std::string& xpath) {
  const pugi::xpath_query& query = XPathCache::Get(xpath);
  pugi::xpath_node_set found;
  try {
    found = query.evaluate_node_set(context);
  } catch (const pugi::xpath_exception& e) {
    ThrowSelectionError(xpath, e.what());
  }
  found.sort();
  // From an unattached element every result is unattached too; keep those.
  const DOMDocument::Impl& impl = owner.impl();
  const bool keepParked = impl.IsParked(ElementOf(context));
  std::vector<XmlNode> nodes;
  nodes.reserve(found.size());
  for (const pugi::xpath_node& node : found)
    if (keepParked || !impl.IsParked(ElementOf(node))) nodes.push_back(ToHandle(owner, node));
  return XmlNodeList(std::move(nodes));
}

XmlNode SelectSingleNode(DOMDocument& owner, const pugi::xpath_node& context, const std::string& xpath) {
  const pugi::xpath_query& query = XPathCache::Get(xpath);
  pugi::xpath_node first;
  try {
    first = query.evaluate_node(context);
  } catch (const pugi::xpath_exception& e) {
    ThrowSelectionError(xpath, e.what());
  }
  // The parking element is the document's last child, so when the first match
  // in document order is parked, nothing in the document matches.
  if (!first) return XmlNode();
  const DOMDocument::Impl& impl = owner.impl();
  if (!impl.IsParked(ElementOf(context)) && impl.IsParked(ElementOf(first))) return XmlNode();
  return ToHandle(owner, first);
}

}  // namespace fabrikon
