// Saving recordsets into rowset documents: the exact ADO XML layout, value
// texts (NULL absent, ISO date-times, True/False, classic numbers, escaped
// specials), refilling the host's document in place, and reading the saved
// rows back with the row selectors and the head-value helpers.
#include <gtest/gtest.h>

#include <functional>

#include "fabrikon/ComError.h"
#include "fabrikon/Recordset.h"
#include "fabrikon/modVoucher.h"

using namespace fabrikon;

namespace {

const std::string kRoot =
    "<xml xmlns:s=\"uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882\" xmlns:dt=\"uuid:C2F41010-65B3-11d1-A29F-00AA00C14882\" "
    "xmlns:rs=\"urn:schemas-microsoft-com:rowset\" xmlns:z=\"#RowsetSchema\">";

FieldInfo Column(std::string name, int type, long size = 0, bool nullable = true) {
  FieldInfo f;
  f.name = std::move(name);
  f.type = type;
  f.definedSize = size;
  f.isNullable = nullable;
  return f;
}

// A head view as the loader opens it: key, code, date, quantity, flag, memo,
// row version and the empty editprop column.
Recordset HeadRows(std::vector<std::vector<Variant>> rows) {
  std::vector<FieldInfo> fields = {Column("id", AdoType::Integer, 4, false), Column("ccode", AdoType::VarChar, 30),
                                   Column("ddate", AdoType::DBTimeStamp, 16), Column("fquantity", AdoType::Double, 8),
                                   Column("bclosed", AdoType::Boolean, 2, false), Column("cmemo", AdoType::VarWChar, 255),
                                   Column("editprop", AdoType::VarChar, 0, false)};
  fields[0].isAutoIncrement = true;
  return Recordset(fields, std::move(rows));
}

const std::string kHeadSchema =
    "<s:Schema id=\"RowsetSchema\"><s:ElementType name=\"row\" content=\"eltOnly\">"
    "<s:AttributeType name=\"id\" rs:number=\"1\" rs:writeunknown=\"true\" rs:autoincrement=\"true\">"
    "<s:datatype dt:type=\"int\" dt:maxLength=\"4\" rs:precision=\"10\" rs:fixedlength=\"true\" rs:maybenull=\"false\"/>"
    "</s:AttributeType>"
    "<s:AttributeType name=\"ccode\" rs:number=\"2\" rs:nullable=\"true\" rs:writeunknown=\"true\">"
    "<s:datatype dt:type=\"string\" rs:dbtype=\"str\" dt:maxLength=\"30\"/></s:AttributeType>"
    "<s:AttributeType name=\"ddate\" rs:number=\"3\" rs:nullable=\"true\" rs:writeunknown=\"true\">"
    "<s:datatype dt:type=\"dateTime\" rs:dbtype=\"timestamp\" dt:maxLength=\"16\" rs:scale=\"3\" rs:precision=\"23\" "
    "rs:fixedlength=\"true\"/></s:AttributeType>"
    "<s:AttributeType name=\"fquantity\" rs:number=\"4\" rs:nullable=\"true\" rs:writeunknown=\"true\">"
    "<s:datatype dt:type=\"float\" dt:maxLength=\"8\" rs:precision=\"15\" rs:fixedlength=\"true\"/></s:AttributeType>"
    "<s:AttributeType name=\"bclosed\" rs:number=\"5\" rs:writeunknown=\"true\">"
    "<s:datatype dt:type=\"boolean\" dt:maxLength=\"2\" rs:fixedlength=\"true\" rs:maybenull=\"false\"/>"
    "</s:AttributeType>"
    "<s:AttributeType name=\"cmemo\" rs:number=\"6\" rs:nullable=\"true\" rs:writeunknown=\"true\">"
    "<s:datatype dt:type=\"string\" dt:maxLength=\"255\"/></s:AttributeType>"
    "<s:AttributeType name=\"editprop\" rs:number=\"7\" rs:writeunknown=\"true\">"
    "<s:datatype dt:type=\"string\" rs:dbtype=\"str\" dt:maxLength=\"0\" rs:maybenull=\"false\"/></s:AttributeType>"
    "<s:extends type=\"rs:rowbase\"/></s:ElementType></s:Schema>";

}  // namespace

TEST(RecordsetSave, WritesTheAdoXmlLayout) {
  Recordset rs = HeadRows({
      {Variant(12), Variant("0000000012"), Variant(DateTime{2024, 3, 5}), Variant(0.1 + 0.2), Variant(true),
       Variant("a<b & \"c\" 'd'"), Variant("")},
      {Variant(13), Variant::Null(), Variant("2024-03-06 08:30:00"), Variant(21.0), Variant(0), Variant::Null(),
       Variant("")},
  });
  auto doc = DOMDocument::Create();
  rs.Save(doc, adPersistXML);
  EXPECT_EQ(doc->xml(),
            kRoot + kHeadSchema +
                "<rs:data>"
                "<z:row id=\"12\" ccode=\"0000000012\" ddate=\"2024-03-05T00:00:00\" fquantity=\"0.3\" bclosed=\"True\" "
                "cmemo=\"a&lt;b &amp; &quot;c&quot; 'd'\" editprop=\"\"/>"
                "<z:row id=\"13\" ddate=\"2024-03-06T08:30:00\" fquantity=\"21\" bclosed=\"False\" editprop=\"\"/>"
                "</rs:data></xml>");
}

TEST(RecordsetSave, WithoutRowsWritesNoRow) {
  auto doc = DOMDocument::Create();
  HeadRows({}).Save(doc);
  EXPECT_EQ(doc->xml(), kRoot + kHeadSchema + "<rs:data/></xml>");
  EXPECT_EQ(doc->selectNodes("//z:row").length(), 0);
  EXPECT_EQ(TryGetHeadValue(doc, "ccode"), "");
  EXPECT_THROW(GetHeadValue(doc, "ccode"), ComError);
}

TEST(RecordsetSave, WritesValuesByColumnType) {
  // Backends may hand dates and flags over as text or numbers; the column type decides the text.
  Recordset rs({Column("b", AdoType::Boolean), Column("d", AdoType::DBTimeStamp), Column("n", AdoType::BigInt),
                Column("f", AdoType::Double), Column("s", AdoType::VarChar)},
               {{Variant("1"), Variant("2024-03-05"), Variant(9007199254740993LL), Variant(1e-5), Variant("2024-03-05")}});
  auto doc = DOMDocument::Create();
  rs.Save(doc);
  EXPECT_NE(doc->xml().find("<z:row b=\"True\" d=\"2024-03-05T00:00:00\" n=\"9007199254740993\" f=\"1E-05\" "
                            "s=\"2024-03-05\"/>"),
            std::string::npos)
      << doc->xml();
}

TEST(RecordsetSave, NamesThatCannotBeAttributesAreEncoded) {
  // The last name holds bytes XML cannot carry (a name taken from the query text).
  Recordset rs({Column("sum(fqty)", AdoType::Double), Column("cinvcode", AdoType::VarChar, 20),
                Column("cinvcode", AdoType::VarChar, 20), Column("c0", AdoType::Integer),
                Column("q\x01\xFF", AdoType::Integer)},
               {{Variant(3.0), Variant("A"), Variant("B"), Variant(7), Variant(9)}});
  auto doc = DOMDocument::Create();
  rs.Save(doc);
  auto copy = DOMDocument::Create();
  ASSERT_TRUE(copy->loadXML(doc->xml())) << doc->xml();  // still well formed
  XmlNode row = copy->selectSingleNode("//z:row");
  EXPECT_EQ(row.getAttribute("cinvcode").ToText(), "A");
  EXPECT_EQ(row.getAttribute("c0").ToText(), "7");  // a real column keeps its name
  EXPECT_EQ(row.getAttribute("c0_").ToText(), "3");
  EXPECT_EQ(row.getAttribute("c2").ToText(), "B");
  EXPECT_NE(doc->xml().find("name=\"c0_\" rs:name=\"sum(fqty)\""), std::string::npos);
  EXPECT_EQ(row.getAttribute("c4").ToText(), "9");
  EXPECT_NE(doc->xml().find("name=\"c4\" rs:name=\"q\uFFFD\uFFFD\""), std::string::npos);
}

TEST(RecordsetSave, RefillsTheSameDocumentObjectInPlace) {
  DOMDocumentPtr hostDocument = DOMDocument::Create();
  DOMDocumentPtr formDocument = hostDocument;  // the voucher form hands out this same object
  ASSERT_TRUE(hostDocument->loadXML("<z:row id=\"1\" editprop=\"A\"/>"));
  XmlNode oldRow = hostDocument->selectSingleNode("//z:row");

  HeadRows({{Variant(12), Variant("0000000012"), Variant::Null(), Variant(5), Variant(false), Variant::Null(),
             Variant("")}})
      .Save(formDocument);
  EXPECT_EQ(hostDocument.get(), formDocument.get());
  EXPECT_EQ(hostDocument->selectNodes("//z:row").length(), 1);
  EXPECT_EQ(GetHeadValue(hostDocument, "CCode"), "0000000012");
  EXPECT_EQ(oldRow.getAttribute("editprop").ToText(), "A");  // a handle to the old content stays readable

  HeadRows({}).Save(formDocument);
  EXPECT_EQ(hostDocument->selectNodes("//z:row").length(), 0);
}

// A document refilled with the rows of a recordset of the same columns keeps
// its schema part when nothing touched it since; whatever happened in between,
// the text is the one a fresh document gets.
TEST(RecordsetSave, RefillingWritesWhatAFreshDocumentGets) {
  const auto first = [] {
    return HeadRows({{Variant(12), Variant("A"), Variant::Null(), Variant(5), Variant(false), Variant::Null(),
                      Variant("")}});
  };
  const auto second = [] {
    return HeadRows({{Variant(13), Variant("B"), Variant(DateTime{2024, 3, 5}), Variant(6), Variant(true),
                      Variant("memo"), Variant("")},
                     {Variant(14), Variant("C"), Variant::Null(), Variant(7), Variant(false), Variant::Null(),
                      Variant("")}});
  };
  std::vector<XmlNode> kept;  // handles held while the next rows are saved
  const struct {
    const char* what;
    std::function<void(const DOMDocumentPtr&)> touch;
    std::function<Recordset()> next;
  } cases[] = {
      {"nothing", [](const DOMDocumentPtr&) {}, second},
      {"the same rows again", [](const DOMDocumentPtr&) {}, first},
      {"no rows", [](const DOMDocumentPtr&) {}, [] { return HeadRows({}); }},
      {"a schema value",
       [](const DOMDocumentPtr& d) { d->selectSingleNode("//s:AttributeType").setAttribute("name", Variant("x")); },
       second},
      {"a schema value through its attribute",
       [](const DOMDocumentPtr& d) { d->selectSingleNode("//s:datatype").attributes().item(0).setNodeValue("x"); },
       second},
      {"a removed attribute", [](const DOMDocumentPtr& d) { d->selectSingleNode("//s:Schema").removeAttribute("id"); },
       second},
      {"a row value", [](const DOMDocumentPtr& d) { d->selectSingleNode("//z:row").setAttribute("ccode", Variant("Z")); },
       second},
      {"an appended element",
       [](const DOMDocumentPtr& d) { d->selectSingleNode("//s:Schema").appendChild(d->createElement("extra")); },
       second},
      {"an element created only", [](const DOMDocumentPtr& d) { d->createElement("loose"); }, second},
      {"a handle kept", [&kept](const DOMDocumentPtr& d) { kept.push_back(d->selectSingleNode("//z:row")); }, second},
      {"loaded text", [](const DOMDocumentPtr& d) { d->loadXML("<z:row id=\"1\"/>"); }, second},
      {"cleared", [](const DOMDocumentPtr& d) { d->Clear(); }, second},
      {"other column types",
       [](const DOMDocumentPtr&) {},
       [] {
         return Recordset({Column("id", AdoType::VarChar, 10), Column("ccode", AdoType::Integer, 4)},
                          {{Variant("k"), Variant(3)}});
       }},
  };
  for (const auto& c : cases) {
    auto doc = DOMDocument::Create();
    first().Save(doc);
    c.touch(doc);
    c.next().Save(doc);
    auto fresh = DOMDocument::Create();
    c.next().Save(fresh);
    EXPECT_EQ(doc->xml(), fresh->xml()) << c.what;
    EXPECT_EQ(doc->selectNodes("//z:row").length(), fresh->selectNodes("//z:row").length()) << c.what;
    // Saved again untouched: still the same text.
    c.next().Save(doc);
    EXPECT_EQ(doc->xml(), fresh->xml()) << c.what;
    kept.clear();
  }
}

TEST(RecordsetSave, SavedBodyRowsAnswerTheRowSelectors) {
  std::vector<FieldInfo> fields = {Column("autoid", AdoType::Integer, 4, false), Column("bputfromso", AdoType::Boolean, 2),
                                   Column("fquantity", AdoType::Double, 8), Column("editprop", AdoType::VarChar)};
  Recordset rs(fields, {{Variant(1), Variant(true), Variant(2.0), Variant("")},
                        {Variant(2), Variant(false), Variant(3.0), Variant("")},
                        {Variant(3), Variant::Null(), Variant::Null(), Variant("")}});
  auto body = DOMDocument::Create();
  rs.Save(body);
  EXPECT_EQ(body->selectNodes("//z:row").length(), 3);
  EXPECT_EQ(body->selectNodes("//z:row [@editprop!='D']").length(), 3);
  XmlNodeList pushed = body->selectNodes("//z:row [(@bputfromso=1 or @bputfromso='True')]");
  ASSERT_EQ(pushed.length(), 1);
  EXPECT_EQ(pushed.item(0).getAttribute("autoid").ToText(), "1");

  // The host marks lines; the selectors see the marks at once.
  XmlNodeList rows = body->selectNodes("//z:row");
  rows.item(0).setAttribute("editprop", Variant("M"));
  rows.item(1).setAttribute("editprop", Variant("D"));
  rows.item(2).setAttribute("editprop", Variant("A"));
  EXPECT_EQ(body->selectNodes("//z:row [@editprop='D']").item(0).getAttribute("autoid").ToText(), "2");
  EXPECT_EQ(body->selectNodes("//z:row[@editprop='A']").item(0).getAttribute("autoid").ToText(), "3");
  EXPECT_EQ(body->selectNodes("//z:row [(@bputfromso=1 or @bputfromso='True') and (@editprop='M' or @editprop='D')]")
                .length(),
            1);
  EXPECT_EQ(body->selectNodes("//z:row [(@bputfromso=1 or @bputfromso='True') and (@editprop='A')]").length(), 0);
  EXPECT_TRUE(rows.item(2).getAttribute("fquantity").IsNull());  // NULL is an absent attribute
}
