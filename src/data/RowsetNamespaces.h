// RowsetNamespaces: the prefixes of the ADO XML persistence layout and the
// namespaces they stand for, declared on the top element of every document
// the library writes or hands out, so that namespace-aware parsers read it.
// The library's own selections ("//z:row") match the prefixed names as
// written and need no declaration.
#pragma once
#include <array>
#include <pugixml.hpp>
#include <string>

namespace fabrikon {

struct RowsetNamespace {
  const char* prefix;
  const char* uri;
};

inline constexpr std::array<RowsetNamespace, 4> kRowsetNamespaces = {{
    {"s", "uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882"},
    {"dt", "uuid:C2F41010-65B3-11d1-A29F-00AA00C14882"},
    {"rs", "urn:schemas-microsoft-com:rowset"},
    {"z", "#RowsetSchema"},
}};

// The declarations of every rowset prefix, as attribute text
// (' xmlns:s="..." xmlns:dt="..."...'), for documents built from text.
std::string RowsetNamespaceAttributes();

// The declarations the text of `top` (a document's top element) lacks: one
// ' xmlns:P="URI"' for each rowset prefix used in its subtree by an element
// or attribute name and declared neither on the use's element nor above it.
std::string MissingRowsetDeclarations(pugi::xml_node top);

}  // namespace fabrikon
