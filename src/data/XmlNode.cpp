// XmlNode: a handle to an element or attribute of a rowset document. Handles
// keep their document alive and count themselves on it, so the document knows
// when replaced content may be freed (see DomImpl.h).
#include <pugixml.hpp>

#include "DomImpl.h"
#include "data/XmlCharacters.h"
#include "fabrikon/ComError.h"

namespace fabrikon {

namespace {

[[noreturn]] void ThrowNothing(const char* member) {
  throw ComError(ErrorNumber::ObjectNotSet,
                 std::string("Object variable or With block variable not set (") + member + ")");
}

struct StringWriter : pugi::xml_writer {
  std::string text;
  void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
};

bool IsNameChar(unsigned char c, bool first) {
  if (c >= 0x80 || c == '_' || c == ':' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  return !first && ((c >= '0' && c <= '9') || c == '-' || c == '.');
}

}  // namespace

XmlNode::Impl::Impl(DOMDocumentPtr owner_, pugi::xml_node node_, pugi::xml_attribute attribute_)
    : owner(std::move(owner_)), node(node_), attribute(attribute_), isAttribute(static_cast<bool>(attribute_)) {
  ++owner->impl().liveHandles;
}

XmlNode::Impl::~Impl() { --owner->impl().liveHandles; }

pugi::xml_attribute XmlNode::Impl::Attribute() const {
  // Compare handles only: a removed attribute's memory must not be read.
  for (pugi::xml_attribute a : node.attributes())
    if (a == attribute) return a;
  return {};
}

pugi::xpath_node XmlNode::Impl::Context() const {
  return IsAttribute() ? pugi::xpath_node(Attribute(), node) : pugi::xpath_node(node);
}

XmlNode MakeNode(DOMDocument& owner, pugi::xml_node node, pugi::xml_attribute attribute) {
  return XmlNode(std::make_shared<XmlNode::Impl>(owner.shared_from_this(), node, attribute));
}

std::string SerializeNode(pugi::xml_node node) {
  StringWriter writer;
  node.print(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
  return writer.text;
}

bool IsXmlName(const std::string& name) {
  bool valid = !name.empty();
  for (size_t i = 0; valid && i < name.size(); ++i) valid = IsNameChar(static_cast<unsigned char>(name[i]), i == 0);
  // Bytes from 0x80 pass as name characters only when they spell XML characters.
  return valid && XmlCharacters::IsAllowed(name);
}

pugi::xml_attribute FindAttribute(pugi::xml_node element, const std::string& name) {
  if (name.find('\0') != std::string::npos) return {};
  return element.attribute(name.c_str());
}

void RequireXmlName(const std::string& name) {
  if (!IsXmlName(name)) throw ComError(ErrorNumber::DomError, "This name may not be used as an XML name: \"" + name + "\"");
}

bool XmlNode::IsNothing() const { return !impl_; }

std::string XmlNode::nodeName() const {
  if (!impl_) return "";
  if (impl_->IsAttribute()) return impl_->Attribute().name();
  switch (impl_->node.type()) {
    case pugi::node_pcdata: return "#text";
    case pugi::node_cdata: return "#cdata-section";
    case pugi::node_document: return "#document";
    default: return impl_->node.name();
  }
}

std::string XmlNode::nodeValue() const {
  if (!impl_) return "";
  if (impl_->IsAttribute()) return impl_->Attribute().value();
  return impl_->node.type() == pugi::node_element ? "" : impl_->node.value();  // text nodes carry their text
}

void XmlNode::setNodeValue(const std::string& value) {
  if (!impl_) ThrowNothing("nodeValue");
  pugi::xml_attribute attribute = impl_->IsAttribute() ? impl_->Attribute() : pugi::xml_attribute();
  if (!attribute) throw ComError(ErrorNumber::DomError, "nodeValue can only be set on an attribute of an element");
  XmlCharacters::Require(value);
  attribute.set_value(value.c_str());
  ++impl_->owner->impl().values;
}

XmlAttributes XmlNode::attributes() const { return XmlAttributes(*this); }

Variant XmlNode::getAttribute(const std::string& name) const {
  if (!impl_ || impl_->IsAttribute()) return Variant::Null();
  const pugi::xml_attribute attribute = FindAttribute(impl_->node, name);
  return attribute ? Variant(std::string(attribute.value())) : Variant::Null();
}

void XmlNode::setAttribute(const std::string& name, const Variant& value) {
  if (!impl_) ThrowNothing("setAttribute");
  if (impl_->IsAttribute()) throw ComError(ErrorNumber::DomError, "setAttribute needs an element");
  const std::string text = value.ToText();
  XmlCharacters::Require(text);
  pugi::xml_attribute attribute = FindAttribute(impl_->node, name);
  if (!attribute) {
    RequireXmlName(name);
    attribute = impl_->node.append_attribute(name.c_str());
    ++impl_->owner->impl().revision;
  }
  attribute.set_value(text.c_str());
  ++impl_->owner->impl().values;
}

void XmlNode::removeAttribute(const std::string& name) {
  if (!impl_) ThrowNothing("removeAttribute");
  if (impl_->IsAttribute()) throw ComError(ErrorNumber::DomError, "removeAttribute needs an element");
  if (impl_->node.remove_attribute(FindAttribute(impl_->node, name))) ++impl_->owner->impl().revision;
}

XmlNode XmlNode::appendChild(const XmlNode& child) {
  if (!impl_) ThrowNothing("appendChild");
  if (impl_->IsAttribute() || child.IsNothing() || child.impl()->IsAttribute())
    throw ComError(ErrorNumber::DomError, "appendChild joins elements only");
  const Impl& source = *child.impl();
  DOMDocument::Impl& document = impl_->owner->impl();
  if (source.owner != impl_->owner) {
    ++document.structure;
    return MakeNode(*impl_->owner, impl_->node.append_copy(source.node));
  }
  const bool wasParked = document.IsParked(source.node);
  if (!impl_->node.append_move(source.node))
    throw ComError(ErrorNumber::DomError, "appendChild: a node cannot be appended to itself or its descendants");
  document.NoteMoved(source.node, wasParked && !document.IsParked(impl_->node));
  return child;
}

XmlNodeList XmlNode::selectNodes(const std::string& xpath) const {
  if (!impl_) return XmlNodeList();
  return SelectNodes(*impl_->owner, impl_->Context(), xpath);
}

XmlNode XmlNode::selectSingleNode(const std::string& xpath) const {
  if (!impl_) return XmlNode();
  return SelectSingleNode(*impl_->owner, impl_->Context(), xpath);
}

std::string XmlNode::xml() const {
  if (!impl_) return "";
  if (!impl_->IsAttribute()) return SerializeNode(impl_->node);
  // An attribute prints as name="value", escaped as in its element.
  const pugi::xml_attribute attribute = impl_->Attribute();
  if (!attribute) return "";
  pugi::xml_document scratch;
  scratch.append_child("a").append_attribute(attribute.name()).set_value(attribute.value());
  const std::string element = SerializeNode(scratch.first_child());  // <a name="value"/>
  return element.substr(3, element.size() - 3 - 2);
}

}  // namespace fabrikon
