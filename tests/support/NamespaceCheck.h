// What a namespace-aware parser says of a document text: every prefix of an
// element or attribute name must be declared (xmlns:P) on that element or an
// ancestor. pugixml reads names as plain text, so the scopes are walked here.
#pragma once
#include <pugixml.hpp>

#include <set>
#include <string>
#include <vector>

namespace fabrikon::testsupport {

namespace namespacecheck {

inline std::string PrefixOf(const std::string& name) {
  const size_t colon = name.find(':');
  if (colon == std::string::npos) return "";
  const std::string prefix = name.substr(0, colon);
  return prefix == "xmlns" || prefix == "xml" ? "" : prefix;
}

inline void Walk(pugi::xml_node element, std::set<std::string> declared, std::string& problems) {
  for (pugi::xml_attribute a : element.attributes()) {
    const std::string name = a.name();
    if (name.rfind("xmlns:", 0) == 0) declared.insert(name.substr(6));
  }
  std::vector<std::string> used = {PrefixOf(element.name())};
  for (pugi::xml_attribute a : element.attributes()) used.push_back(PrefixOf(a.name()));
  for (const std::string& prefix : used)
    if (!prefix.empty() && !declared.count(prefix)) problems += "unbound prefix " + prefix + " on <" + element.name() + ">; ";
  for (pugi::xml_node child : element.children())
    if (child.type() == pugi::node_element) Walk(child, declared, problems);
}

}  // namespace namespacecheck

// "" when a namespace-aware parser reads the text; otherwise what it rejects
// (not well formed, or each prefix used where it is not declared).
inline std::string NamespaceProblems(const std::string& xml) {
  pugi::xml_document doc;
  if (!doc.load_buffer(xml.data(), xml.size())) return "not well formed: " + xml;
  if (!doc.document_element()) return "no top element: " + xml;
  std::string problems;
  namespacecheck::Walk(doc.document_element(), {}, problems);
  return problems.empty() ? "" : problems + "in " + xml;
}

}  // namespace fabrikon::testsupport
