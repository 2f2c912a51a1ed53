// A rowset document is always well formed: text XML cannot carry is refused
// on the way in (loadXML answers false, setAttribute raises) and replaced by
// U+FFFD when it comes from the database; attributes by position stay right
// while the row changes.
#include <gtest/gtest.h>

#include "fabrikon/ComError.h"
#include "fabrikon/DOMDocument.h"
#include "fabrikon/Recordset.h"

using namespace fabrikon;

namespace {

TEST(WellFormedDocument, LoadRefusesWhatXmlCannotCarry) {
  const std::vector<std::string> refused = {
      "<z:row v=\"a&#0;b\"/>", "<z:row v=\"&#x0;\"/>",         "<z:row v=\"&#xD800;\"/>",
      "<z:row v=\"&#1;\"/>",   "<z:row v=\"&#x110000;\"/>",    "<z:row v=\"&#99999999999999999999;\"/>",
      "<z:row v=\"\x01\"/>",   "<z:row v=\"\xFF\"/>",          "<z:row v=\"\xED\xA0\x80\"/>",
      "<z:row v=\"\xC0\xAF\"/>", std::string("<z:row v=\"a\0b\"/>", 16), "<z:row v=\"\xE4\xB8\"/>",
  };
  for (const std::string& text : refused) {
    DOMDocumentPtr doc = DOMDocument::Create();
    EXPECT_FALSE(doc->loadXML(text)) << text;
    EXPECT_EQ(doc->xml(), "") << text;
  }
  DOMDocumentPtr doc = DOMDocument::Create();
  ASSERT_TRUE(doc->loadXML("<z:row v=\"&#9;&#xA;&#65;中&#x4E2D;\"/>"));
  EXPECT_EQ(doc->selectSingleNode("//z:row").getAttribute("v").ToText(), "\t\nA中中");
}

TEST(WellFormedDocument, SetAttributeRefusesWhatXmlCannotCarry) {
  DOMDocumentPtr doc = DOMDocument::Create();
  ASSERT_TRUE(doc->loadXML("<z:row a=\"1\"/>"));
  XmlNode row = doc->selectSingleNode("//z:row");
  for (const std::string& value : {std::string("a\x01"), std::string("a\0b", 3), std::string("\xC3"),
                                   std::string("\xEF\xBF\xBF")}) {
    EXPECT_THROW(row.setAttribute("b", Variant(value)), ComError);
    EXPECT_THROW(row.attributes().getNamedItem("a").setNodeValue(value), ComError);
    EXPECT_THROW(row.setAttribute(value, Variant("1")), ComError);  // nor as a name
    EXPECT_THROW(doc->createElement(value), ComError);
  }
  const std::string withNul("a\0b", 3);  // a name is looked up whole, never as its start "a"
  EXPECT_TRUE(row.getAttribute(withNul).IsNull());
  EXPECT_TRUE(row.attributes().getNamedItem(withNul).IsNothing());
  row.removeAttribute(withNul);
  EXPECT_EQ(doc->xml(), "<z:row xmlns:z=\"#RowsetSchema\" a=\"1\"/>");
  row.setAttribute("b", Variant("中文\t"));
  DOMDocumentPtr copy = DOMDocument::Create();
  EXPECT_TRUE(copy->loadXML(doc->xml()));
}

TEST(WellFormedDocument, DatabaseBytesXmlCannotCarryBecomeReplacementCharacters) {
  FieldInfo field;
  field.name = "cname";
  field.type = AdoType::VarWChar;
  field.definedSize = 50;
  FieldInfo named = field;  // a column name from the query text: not UTF-8
  named.name = "n\xFA";
  Recordset rs({field, named},
               {{Variant(std::string("a\x01" "b\xFF" "c")), Variant("1")}, {Variant(std::string("d\0e", 3)), Variant()}});
  DOMDocumentPtr doc = DOMDocument::Create();
  rs.Save(doc);
  XmlNodeList rows = doc->selectNodes("//z:row");
  ASSERT_EQ(rows.length(), 2);
  EXPECT_EQ(rows.item(0).getAttribute("cname").ToText(), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD" "c");
  EXPECT_EQ(rows.item(0).getAttribute("c1").ToText(), "1");
  EXPECT_EQ(rows.item(1).getAttribute("cname").ToText(), "d\xEF\xBF\xBD" "e");
  DOMDocumentPtr copy = DOMDocument::Create();
  EXPECT_TRUE(copy->loadXML(doc->xml()));
}

TEST(WellFormedDocument, AttributesByPositionFollowChanges) {
  DOMDocumentPtr doc = DOMDocument::Create();
  ASSERT_TRUE(doc->loadXML("<z:row a=\"1\" b=\"2\" c=\"3\"/>"));
  XmlNode row = doc->selectSingleNode("//z:row");
  XmlAttributes attributes = row.attributes();
  EXPECT_EQ(attributes.length(), 3);
  EXPECT_EQ(attributes.item(2).nodeName(), "c");
  row.removeAttribute("b");
  row.setAttribute("d", Variant("4"));
  EXPECT_EQ(attributes.length(), 3);
  EXPECT_EQ(attributes.item(1).nodeName(), "c");
  EXPECT_EQ(attributes.item(2).nodeName(), "d");
  EXPECT_TRUE(attributes.item(3).IsNothing());
  EXPECT_TRUE(attributes.item(-1).IsNothing());
  ASSERT_TRUE(doc->loadXML("<z:row x=\"9\"/>"));
  EXPECT_EQ(doc->selectSingleNode("//z:row").attributes().item(0).nodeName(), "x");
}

}  // namespace
