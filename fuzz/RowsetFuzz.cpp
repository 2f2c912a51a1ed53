// RowsetFuzz: libFuzzer target for the rowset document loader. Each input is
// document text: it is loaded, its rows and attributes are walked by index
// (in range and out of it), a row is edited, and every document that loads
// must serialise to valid XML text that loads again to the same text. A
// refused text or a ComError is the expected answer to bad input; a crash, a
// sanitizer report, any other exception, a broken round trip or a hang is a
// finding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "data/XmlCharacters.h"
#include "fabrikon/ComError.h"
#include "fabrikon/DOMDocument.h"
#include "fabrikon/RowsetEditor.h"
#include "fabrikon/modVoucher.h"

namespace {

using fabrikon::DOMDocument;
using fabrikon::DOMDocumentPtr;
using fabrikon::XmlNode;

[[noreturn]] void Finding(const char* what, const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", what, text.c_str());
  std::abort();
}

// Text that loaded must come back as valid XML text that loads again and
// serialises the same (edits may leave no element at all: empty text).
void RequireRoundTrip(const DOMDocument& document) {
  const std::string text = document.xml();
  if (text.empty()) return;
  if (!fabrikon::XmlCharacters::IsWellFormedText(text)) Finding("serialised text is not valid XML text", text);
  DOMDocumentPtr again = DOMDocument::Create();
  if (!again->loadXML(text)) Finding("serialised text does not load again", text);
  // Known and accepted: a carriage return in element text is written as it
  // is and so reads back as a line feed (rowset values live in attributes,
  // where it is written as a reference and kept).
  if (again->xml() != text && text.find('\r') == std::string::npos)
    Finding("serialised text changes when loaded again", text);
}

// Reads every attribute of a node by index, one past the end included.
void WalkAttributes(const XmlNode& node) {
  const fabrikon::XmlAttributes attributes = node.attributes();
  const long count = attributes.length();
  for (long i = -1; i <= count; ++i) {
    const XmlNode attribute = attributes.item(i);
    const std::string name = attribute.nodeName();
    (void)attribute.nodeValue();
    if (!name.empty()) {
      (void)attributes.getNamedItem(name);
      (void)node.getAttribute(name);
      (void)fabrikon::RowValue(node, name);
    }
  }
}

void WalkRows(const DOMDocumentPtr& document) {
  const fabrikon::XmlNodeList rows = document->selectNodes("//z:row");
  for (long i = -1; i <= rows.length(); ++i) WalkAttributes(rows.item(i));
  (void)fabrikon::TryGetHeadValue(document, "cvouchtype");
  (void)fabrikon::FieldModeRow(document, rows.length());
  const XmlNode top = document->documentElement();
  WalkAttributes(top);
  (void)top.xml();
  (void)top.selectNodes("*").length();
}

// A voucher screen's edits on the loaded rows; refusals are ComErrors.
void Edit(const DOMDocumentPtr& document) {
  fabrikon::RowsetEditor editor(document);
  try {
    const long rows = editor.RowCount();
    if (rows > 0) {
      editor.SetLine(rows, {{"fquantity", "12"}, {"cmemo", "a < b & \"c\""}});
      (void)editor.Value(1, "fquantity");
      editor.DeleteLine(1);
    }
    editor.AddLine({{"cinvcode", "P100"}});
  } catch (const fabrikon::ComError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  DOMDocumentPtr document = DOMDocument::Create();
  if (!document->loadXML(text)) {
    if (!document->xml().empty()) Finding("a refused text leaves content behind", text);
    return 0;
  }
  RequireRoundTrip(*document);
  WalkRows(document);
  // Loading again while handles to the old content are alive.
  const XmlNode held = document->documentElement();
  if (document->loadXML(text)) WalkRows(document);
  (void)held.xml();
  Edit(document);
  RequireRoundTrip(*document);
  // A row copied into a document of its own.
  const XmlNode row = document->selectSingleNode("//z:row");
  if (row) {
    DOMDocumentPtr copy = DOMDocument::Create();
    try {
      copy->appendChild(row);
      RequireRoundTrip(*copy);
    } catch (const fabrikon::ComError&) {
    }
  }
  return 0;
}
