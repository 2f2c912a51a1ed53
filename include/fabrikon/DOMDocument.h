// DOMDocument and its node handles: the small DOM surface that rowset
// documents need (create, append, load, serialise, XPath selection and
// attribute access). Documents are shared objects: the voucher form hands out
// the same DOMDocumentPtr on every read, so refilling a document in place is
// seen by everyone who holds it. Node handles keep their document alive.
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "fabrikon/Variant.h"

namespace fabrikon {

class DOMDocument;
using DOMDocumentPtr = std::shared_ptr<DOMDocument>;
class XmlNodeList;
class XmlAttributes;

// A handle to an element or an attribute (MSXML's IXMLDOMNode/Element/Attribute).
// A default-constructed handle is "Nothing": IsNothing() is true, reads give "".
class XmlNode {
 public:
  XmlNode() = default;
  bool IsNothing() const;
  explicit operator bool() const { return !IsNothing(); }

  std::string nodeName() const;
  std::string nodeValue() const;  // an attribute's value; "" for elements
  void setNodeValue(const std::string& value);  // attributes only
  XmlAttributes attributes() const;

  // Element members. getAttribute answers Null when the attribute is absent.
  Variant getAttribute(const std::string& name) const;
  void setAttribute(const std::string& name, const Variant& value);
  void removeAttribute(const std::string& name);
  // Moves an element of the same document here; an element of another
  // document is copied (its own document keeps it). Answers the appended node.
  XmlNode appendChild(const XmlNode& child);
  XmlNodeList selectNodes(const std::string& xpath) const;
  XmlNode selectSingleNode(const std::string& xpath) const;
  std::string xml() const;

  struct Impl;
  explicit XmlNode(std::shared_ptr<Impl> impl) : impl_(std::move(impl)) {}
  const std::shared_ptr<Impl>& impl() const { return impl_; }

 private:
  std::shared_ptr<Impl> impl_;
};

class XmlNodeList {
 public:
  XmlNodeList() = default;
  explicit XmlNodeList(std::vector<XmlNode> nodes) : nodes_(std::move(nodes)) {}
  long length() const { return static_cast<long>(nodes_.size()); }
  XmlNode item(long index) const;  // Nothing when out of range
  auto begin() const { return nodes_.begin(); }
  auto end() const { return nodes_.end(); }

 private:
  std::vector<XmlNode> nodes_;
};

class XmlAttributes {
 public:
  XmlAttributes() = default;
  explicit XmlAttributes(XmlNode owner) : owner_(std::move(owner)) {}
  long length() const;
  XmlNode item(long index) const;                      // Nothing when out of range
  XmlNode getNamedItem(const std::string& name) const;  // Nothing when absent

 private:
  XmlNode owner_;
};

class DOMDocument : public std::enable_shared_from_this<DOMDocument> {
 public:
  static DOMDocumentPtr Create();
  ~DOMDocument();
  DOMDocument(const DOMDocument&) = delete;
  DOMDocument& operator=(const DOMDocument&) = delete;

  XmlNode createElement(const std::string& name);
  // Appends a top element; a document holds one, so a second raises ComError.
  XmlNode appendChild(const XmlNode& child);
  // Replaces the content. Malformed text answers false and leaves the document empty.
  // The XML declaration, comments and processing instructions are not kept.
  bool loadXML(const std::string& text);
  // Compact text: no indentation, no line breaks, no XML declaration.
  std::string xml() const;
  XmlNode documentElement() const;
  XmlNodeList selectNodes(const std::string& xpath) const;
  XmlNode selectSingleNode(const std::string& xpath) const;
  void Clear();

  struct Impl;
  Impl& impl() { return *impl_; }

 private:
  DOMDocument();
  std::unique_ptr<Impl> impl_;
};

}  // namespace fabrikon
