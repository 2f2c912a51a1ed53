// RowsetNamespaces: which rowset prefixes a document uses without declaring
// them (see RowsetNamespaces.h).
#include "RowsetNamespaces.h"

#include <string_view>

namespace fabrikon {

namespace {

// The prefix of a qualified name ("" for none, and for declarations themselves).
std::string_view PrefixOf(std::string_view name) {
  const size_t colon = name.find(':');
  if (colon == std::string_view::npos || name.substr(0, colon) == "xmlns") return {};
  return name.substr(0, colon);
}

bool Declares(pugi::xml_node element, std::string_view prefix) {
  for (pugi::xml_attribute a : element.attributes()) {
    const std::string_view name = a.name();
    if (name.size() == prefix.size() + 6 && name.substr(0, 6) == "xmlns:" && name.substr(6) == prefix) return true;
  }
  return false;
}

// Whether `prefix` is declared on `element` or one of its ancestors up to `top`.
bool InScope(pugi::xml_node element, pugi::xml_node top, std::string_view prefix) {
  for (pugi::xml_node node = element; node; node = node.parent()) {
    if (Declares(node, prefix)) return true;
    if (node == top) break;
  }
  return false;
}

// The next element after `node` in document order within `root`'s subtree.
pugi::xml_node NextElement(pugi::xml_node node, pugi::xml_node root) {
  do {
    if (node.first_child()) {
      node = node.first_child();
    } else {
      while (node != root && !node.next_sibling()) node = node.parent();
      if (node == root) return {};
      node = node.next_sibling();
    }
  } while (node.type() != pugi::node_element);
  return node;
}

}  // namespace

std::string RowsetNamespaceAttributes() {
  std::string text;
  for (const RowsetNamespace& ns : kRowsetNamespaces) text += std::string(" xmlns:") + ns.prefix + "=\"" + ns.uri + "\"";
  return text;
}

std::string MissingRowsetDeclarations(pugi::xml_node top) {
  std::array<bool, kRowsetNamespaces.size()> missing{};
  auto note = [&](pugi::xml_node element, std::string_view prefix) {
    if (prefix.empty()) return;
    for (size_t i = 0; i < kRowsetNamespaces.size(); ++i)
      if (!missing[i] && prefix == kRowsetNamespaces[i].prefix && !InScope(element, top, prefix)) missing[i] = true;
  };
  for (pugi::xml_node element = top; element; element = NextElement(element, top)) {
    note(element, PrefixOf(element.name()));
    for (pugi::xml_attribute a : element.attributes()) note(element, PrefixOf(a.name()));
  }
  std::string text;
  for (size_t i = 0; i < kRowsetNamespaces.size(); ++i)
    if (missing[i])
      text += std::string(" xmlns:") + kRowsetNamespaces[i].prefix + "=\"" + kRowsetNamespaces[i].uri + "\"";
  return text;
}

}  // namespace fabrikon
