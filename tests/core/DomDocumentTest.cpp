// DOMDocument and node handles: loading, the single top element, documents
// shared and refilled in place, and handles that stay safe across refills.
#include <gtest/gtest.h>

#include "fabrikon/ComError.h"
#include "fabrikon/DOMDocument.h"

using namespace fabrikon;

namespace {
const char* kSmall = "<xml><rs:data><z:row a=\"1\"/><z:row a=\"2\"/></rs:data></xml>";
}

TEST(LoadXML, MalformedTextAnswersFalseAndEmptiesTheDocument) {
  for (const char* bad : {"", "   ", "not xml", "<xml><a></xml>", "<a/><b/>", "text<a/>", "<a/>tail", "<a b='1' b='2'/>",
                          "<z:row a='1'", "<a></b>", "</a>", "<a/></b>"}) {
    auto doc = DOMDocument::Create();
    ASSERT_TRUE(doc->loadXML(kSmall));
    bool loaded = true;
    EXPECT_NO_THROW(loaded = doc->loadXML(bad)) << bad;
    EXPECT_FALSE(loaded) << bad;
    EXPECT_EQ(doc->xml(), "") << bad;
    EXPECT_EQ(doc->selectNodes("//z:row").length(), 0) << bad;
    EXPECT_TRUE(doc->documentElement().IsNothing()) << bad;
  }
}

TEST(LoadXML, SerialisesCompactlyWithoutDeclaration) {
  auto doc = DOMDocument::Create();
  ASSERT_TRUE(doc->loadXML("<?xml version=\"1.0\"?>\n<!-- note -->\n<xml>\n  <rs:data>\n    <z:row a='x &amp; y'/>\n"
                           "  </rs:data>\n</xml>\n"));
  EXPECT_EQ(doc->xml(), "<xml xmlns:rs=\"urn:schemas-microsoft-com:rowset\" xmlns:z=\"#RowsetSchema\"><rs:data><z:row a=\"x &amp; y\"/></rs:data></xml>");
  EXPECT_EQ(doc->documentElement().nodeName(), "xml");
}

TEST(LoadXML, ValuesWithSpecialCharactersSurviveARoundTrip) {
  auto doc = DOMDocument::Create();
  XmlNode row = doc->appendChild(doc->createElement("z:row"));
  const std::string tricky = "<a & \"b\" 'c'>\nline2\ttab";
  row.setAttribute("cmemo", Variant(tricky));
  auto copy = DOMDocument::Create();
  ASSERT_TRUE(copy->loadXML(doc->xml())) << doc->xml();
  EXPECT_EQ(copy->selectSingleNode("//z:row").getAttribute("cmemo").ToText(), tricky);
}

TEST(AppendChild, ASecondTopElementRaises) {
  auto doc = DOMDocument::Create();
  doc->appendChild(doc->createElement("z:row"));
  try {
    doc->appendChild(doc->createElement("z:row"));
    FAIL() << "second top element accepted";
  } catch (const ComError& e) {
    EXPECT_EQ(e.Number(), ErrorNumber::DomError);
  }
  ASSERT_TRUE(doc->loadXML(kSmall));
  EXPECT_THROW(doc->appendChild(doc->createElement("z:row")), ComError);
  EXPECT_EQ(doc->selectNodes("//z:row").length(), 2);
}

TEST(AppendChild, BuildsNestedContentInAnyOrder) {
  auto doc = DOMDocument::Create();
  XmlNode root = doc->createElement("xml");
  XmlNode data = doc->createElement("rs:data");
  root.appendChild(data);
  doc->appendChild(root);
  XmlNode row = doc->createElement("z:row");
  EXPECT_EQ(doc->selectNodes("//z:row").length(), 0);  // created but not attached: not part of the document
  data.appendChild(row);
  row.setAttribute("cinvcode", Variant("A01"));
  row.setAttribute("fquantity", Variant(2.5));
  EXPECT_EQ(doc->xml(), "<xml xmlns:rs=\"urn:schemas-microsoft-com:rowset\" xmlns:z=\"#RowsetSchema\"><rs:data><z:row cinvcode=\"A01\" fquantity=\"2.5\"/></rs:data></xml>");
  EXPECT_THROW(data.appendChild(root), ComError);  // an ancestor cannot move below itself
}

TEST(AppendChild, ANodeOfAnotherDocumentIsCopied) {
  auto source = DOMDocument::Create();
  ASSERT_TRUE(source->loadXML(kSmall));
  auto target = DOMDocument::Create();
  XmlNode copied = target->appendChild(source->selectSingleNode("//z:row"));
  copied.setAttribute("a", Variant("changed"));
  EXPECT_EQ(target->xml(), "<z:row xmlns:z=\"#RowsetSchema\" a=\"changed\"/>");
  EXPECT_EQ(source->selectSingleNode("//z:row").getAttribute("a").ToText(), "1");
}

TEST(SharedDocument, RefillingInPlaceIsSeenByEveryHolder) {
  DOMDocumentPtr held = DOMDocument::Create();
  DOMDocumentPtr alsoHeld = held;
  ASSERT_TRUE(held->loadXML(kSmall));
  ASSERT_TRUE(alsoHeld->loadXML("<xml><rs:data><z:row a=\"9\"/></rs:data></xml>"));
  EXPECT_EQ(held->selectNodes("//z:row").length(), 1);
  EXPECT_EQ(held->selectSingleNode("//z:row").getAttribute("a").ToText(), "9");
  alsoHeld->Clear();
  EXPECT_EQ(held->xml(), "");
}

TEST(Handles, KeepTheirDocumentAlive) {
  XmlNode row;
  {
    auto doc = DOMDocument::Create();
    ASSERT_TRUE(doc->loadXML(kSmall));
    row = doc->selectNodes("//z:row").item(1);
  }
  EXPECT_EQ(row.getAttribute("a").ToText(), "2");
  row.setAttribute("b", Variant(3));
  EXPECT_EQ(row.xml(), "<z:row a=\"2\" b=\"3\"/>");
}

TEST(Handles, StaySafeWhenTheDocumentIsRefilled) {
  auto doc = DOMDocument::Create();
  ASSERT_TRUE(doc->loadXML(kSmall));
  XmlNode oldRow = doc->selectSingleNode("//z:row");
  XmlNode oldAttribute = oldRow.attributes().getNamedItem("a");
  ASSERT_TRUE(doc->loadXML("<xml><z:row a=\"new\"/></xml>"));
  EXPECT_EQ(oldRow.getAttribute("a").ToText(), "1");  // the old node lives on outside the document
  EXPECT_EQ(oldAttribute.nodeValue(), "1");
  EXPECT_EQ(doc->selectNodes("//z:row").length(), 1);
  EXPECT_EQ(doc->xml(), "<xml xmlns:z=\"#RowsetSchema\"><z:row a=\"new\"/></xml>");
  EXPECT_FALSE(doc->loadXML("<broken"));
  EXPECT_EQ(oldRow.getAttribute("a").ToText(), "1");
  EXPECT_EQ(doc->selectNodes("//z:row").length(), 0);
  // Re-attaching an old node is allowed once the document is empty.
  doc->appendChild(oldRow);
  EXPECT_EQ(doc->xml(), "<z:row xmlns:z=\"#RowsetSchema\" a=\"1\"/>");
}

TEST(Attributes, ReadWriteAndRemove) {
  auto doc = DOMDocument::Create();
  ASSERT_TRUE(doc->loadXML("<z:row ccode=\"001\" editprop=\"\" cName=\"x\"/>"));
  XmlNode row = doc->selectSingleNode("//z:row");
  XmlAttributes attributes = row.attributes();
  ASSERT_EQ(attributes.length(), 3);
  EXPECT_EQ(attributes.item(0).nodeName(), "ccode");
  EXPECT_EQ(attributes.item(2).nodeValue(), "x");
  EXPECT_TRUE(attributes.item(3).IsNothing());
  EXPECT_TRUE(attributes.item(-1).IsNothing());
  EXPECT_TRUE(attributes.getNamedItem("cname").IsNothing());  // names match exactly
  EXPECT_TRUE(row.getAttribute("absent").IsNull());
  EXPECT_EQ(row.getAttribute("editprop").ToText(), "");
  EXPECT_FALSE(row.getAttribute("editprop").IsNull());

  XmlNode editprop = attributes.getNamedItem("editprop");
  editprop.setNodeValue("M");
  EXPECT_EQ(doc->selectNodes("//z:row[@editprop='M']").length(), 1);
  row.removeAttribute("editprop");
  EXPECT_EQ(attributes.length(), 2);
  EXPECT_EQ(editprop.nodeValue(), "");  // a removed attribute reads as nothing, safely
  EXPECT_EQ(editprop.nodeName(), "");
  EXPECT_THROW(editprop.setNodeValue("D"), ComError);
  row.removeAttribute("absent");  // no effect
  EXPECT_EQ(row.xml(), "<z:row ccode=\"001\" cName=\"x\"/>");
}

TEST(Attributes, NamesMustBeXmlNames) {
  auto doc = DOMDocument::Create();
  XmlNode row = doc->appendChild(doc->createElement("z:row"));
  EXPECT_THROW(row.setAttribute("a b", Variant(1)), ComError);
  EXPECT_THROW(row.setAttribute("", Variant(1)), ComError);
  EXPECT_THROW(doc->createElement("1row"), ComError);
  EXPECT_EQ(doc->xml(), "<z:row xmlns:z=\"#RowsetSchema\"/>");
}

TEST(Nothing, ReadsGiveNothingAndWritesRaise) {
  XmlNode nothing;
  EXPECT_TRUE(nothing.IsNothing());
  EXPECT_EQ(nothing.nodeValue(), "");
  EXPECT_TRUE(nothing.getAttribute("a").IsNull());
  EXPECT_EQ(nothing.attributes().length(), 0);
  EXPECT_EQ(nothing.selectNodes("//z:row").length(), 0);
  EXPECT_THROW(nothing.setAttribute("a", Variant(1)), ComError);
  auto doc = DOMDocument::Create();
  EXPECT_THROW(doc->appendChild(nothing), ComError);
}

// The text of a document declares the rowset prefixes (s, dt, rs, z) it uses
// and does not declare, on its top element, so that namespace-aware parsers
// read it; declarations already in scope are kept, other prefixes left alone,
// and the text loads back to the same text. Selections work either way.
TEST(Serialisation, DeclaresTheRowsetPrefixesInUse) {
  const std::string z = " xmlns:z=\"#RowsetSchema\"", rs = " xmlns:rs=\"urn:schemas-microsoft-com:rowset\"";
  const struct {
    std::string loaded, written;
  } cases[] = {
      {"<z:row a=\"1\"/>", "<z:row" + z + " a=\"1\"/>"},
      {"<xml><rs:data><z:row/></rs:data></xml>", "<xml" + rs + z + "><rs:data><z:row/></rs:data></xml>"},
      {"<xml xmlns:z=\"other\"><z:row/></xml>", "<xml xmlns:z=\"other\"><z:row/></xml>"},
      {"<xml><a xmlns:z=\"#RowsetSchema\"><z:row/></a><z:row/></xml>",
       "<xml" + z + "><a xmlns:z=\"#RowsetSchema\"><z:row/></a><z:row/></xml>"},
      {"<row s:a=\"1\" dt:b=\"2\"/>",
       "<row xmlns:s=\"uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882\" xmlns:dt=\"uuid:C2F41010-65B3-11d1-A29F-00AA00C14882\" "
       "s:a=\"1\" dt:b=\"2\"/>"},
      {"<q:row xml:lang=\"zh\"/>", "<q:row xml:lang=\"zh\"/>"},
      {"<row a=\"1\"/>", "<row a=\"1\"/>"},
  };
  for (const auto& c : cases) {
    auto doc = DOMDocument::Create();
    ASSERT_TRUE(doc->loadXML(c.loaded)) << c.loaded;
    EXPECT_EQ(doc->xml(), c.written) << c.loaded;
    auto again = DOMDocument::Create();
    ASSERT_TRUE(again->loadXML(doc->xml())) << c.loaded;
    EXPECT_EQ(again->xml(), c.written) << c.loaded;
    EXPECT_EQ(again->selectNodes("//z:row").length(), doc->selectNodes("//z:row").length()) << c.loaded;
  }
  auto built = DOMDocument::Create();
  built->appendChild(built->createElement("z:row")).setAttribute("fquantity", Variant("1"));
  EXPECT_EQ(built->xml(), "<z:row" + z + " fquantity=\"1\"/>");
  EXPECT_EQ(built->documentElement().attributes().length(), 1) << "the declaration is written, not added";
}
