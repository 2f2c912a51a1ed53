// The row selectors, exactly as the voucher classes write them, on loaded
// rowset documents (with and without namespace declarations) and on a bare
// row built in memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fabrikon/ComError.h"
#include "fabrikon/DOMDocument.h"

using namespace fabrikon;

namespace {

const char* const kAll = "//z:row";
const char* const kDeleted = "//z:row [@editprop='D']";
const char* const kNotDeleted = "//z:row [@editprop!='D']";
const char* const kAdded = "//z:row[@editprop='A']";
const char* const kPushed = "//z:row [(@bputfromso=1 or @bputfromso='True')]";
const char* const kPushedChanged =
    "//z:row [(@bputfromso=1 or @bputfromso='True') and (@editprop='M' or @editprop='D')]";
const char* const kPushedAdded = "//z:row [(@bputfromso=1 or @bputfromso='True') and (@editprop='A')]";

const char* const kRows =
    "<z:row id='1' editprop='' bputfromso='0'/>"
    "<z:row id='2' editprop='A' bputfromso='1'/>"
    "<z:row id='3' editprop='M' bputfromso='True'/>"
    "<z:row id='4' editprop='D' bputfromso='1'/>"
    "<z:row id='5' editprop='D' bputfromso='False'/>"
    "<z:row id='6' editprop='A'/>"
    "<z:row id='7' editprop='M' bputfromso='true'/>";

std::string AdoDocument() {
  return std::string(
             "<xml xmlns:s=\"uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882\" "
             "xmlns:dt=\"uuid:C2F41010-65B3-11d1-A29F-00AA00C14882\" xmlns:rs=\"urn:schemas-microsoft-com:rowset\" "
             "xmlns:z=\"#RowsetSchema\">\n<s:Schema id=\"RowsetSchema\">\n\t<s:ElementType name=\"row\" "
             "content=\"eltOnly\">\n\t\t<s:AttributeType name=\"id\" rs:number=\"1\"/>\n\t</s:ElementType>\n"
             "</s:Schema>\n<rs:data>\n") +
         kRows + "\n</rs:data>\n</xml>";
}

std::string UndeclaredDocument() { return std::string("<rs:data>") + kRows + "</rs:data>"; }

std::string Ids(const XmlNodeList& nodes) {
  std::string ids;
  for (const XmlNode& node : nodes) ids += node.getAttribute("id").ToText();
  return ids;
}

class LoadedSelectors : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override { ASSERT_TRUE(doc->loadXML(GetParam())); }
  DOMDocumentPtr doc = DOMDocument::Create();
};

}  // namespace

TEST_P(LoadedSelectors, EachSelectorFindsItsLinesInDocumentOrder) {
  EXPECT_EQ(Ids(doc->selectNodes(kAll)), "1234567");
  EXPECT_EQ(Ids(doc->selectNodes(kDeleted)), "45");
  EXPECT_EQ(Ids(doc->selectNodes(kNotDeleted)), "12367");
  EXPECT_EQ(Ids(doc->selectNodes(kAdded)), "26");
  // 1 and "True" count as pushed down; "true" and "False" do not.
  EXPECT_EQ(Ids(doc->selectNodes(kPushed)), "234");
  EXPECT_EQ(Ids(doc->selectNodes(kPushedChanged)), "34");
  EXPECT_EQ(Ids(doc->selectNodes(kPushedAdded)), "2");
}

TEST_P(LoadedSelectors, TheHeadRowIsTheFirstRow) {
  EXPECT_EQ(doc->selectSingleNode(kAll).getAttribute("id").ToText(), "1");
  EXPECT_EQ(doc->selectSingleNode(kDeleted).getAttribute("id").ToText(), "4");
  EXPECT_TRUE(doc->selectSingleNode("//z:row [@editprop='X']").IsNothing());
}

TEST_P(LoadedSelectors, SelectionsFromAnElementStayRelative) {
  XmlNode data = doc->selectSingleNode("//rs:data");
  ASSERT_FALSE(data.IsNothing());
  EXPECT_EQ(data.selectNodes("z:row[@editprop='A']").length(), 2);
  EXPECT_EQ(data.selectNodes(kAll).length(), 7);
}

INSTANTIATE_TEST_SUITE_P(Documents, LoadedSelectors, ::testing::Values(AdoDocument(), UndeclaredDocument()));

TEST(BareRowSelectors, ASingleAppendedRowIsSelectedLikeALoadedOne) {
  struct Case {
    const char* editprop;
    const char* bputfromso;  // nullptr: attribute absent
    std::vector<const char*> selected;
  };
  const std::vector<Case> cases = {
      {"", nullptr, {kAll, kNotDeleted}},
      {"A", "1", {kAll, kNotDeleted, kAdded, kPushed, kPushedAdded}},
      {"A", "True", {kAll, kNotDeleted, kAdded, kPushed, kPushedAdded}},
      {"M", "True", {kAll, kNotDeleted, kPushed, kPushedChanged}},
      {"D", "1", {kAll, kDeleted, kPushed, kPushedChanged}},
      {"D", "0", {kAll, kDeleted}},
  };
  const std::vector<const char*> selectors = {kAll, kDeleted, kNotDeleted, kAdded, kPushed, kPushedChanged, kPushedAdded};
  for (const Case& c : cases) {
    auto doc = DOMDocument::Create();
    XmlNode row = doc->createElement("z:row");
    row.setAttribute("editprop", Variant(c.editprop));
    doc->appendChild(row);
    if (c.bputfromso) row.setAttribute("bputfromso", Variant(c.bputfromso));  // set after appending: same node
    for (const char* selector : selectors) {
      const bool expected = std::find(c.selected.begin(), c.selected.end(), selector) != c.selected.end();
      EXPECT_EQ(doc->selectNodes(selector).length(), expected ? 1 : 0)
          << selector << " editprop=" << c.editprop << " bputfromso=" << (c.bputfromso ? c.bputfromso : "-");
      EXPECT_EQ(doc->selectSingleNode(selector).IsNothing(), !expected) << selector;
    }
  }
}

TEST(BareRowSelectors, ARowWithoutEditpropIsNeitherDeletedNorNotDeleted) {
  auto doc = DOMDocument::Create();
  doc->appendChild(doc->createElement("z:row"));
  EXPECT_EQ(doc->selectNodes(kAll).length(), 1);
  EXPECT_EQ(doc->selectNodes(kDeleted).length(), 0);
  EXPECT_EQ(doc->selectNodes(kNotDeleted).length(), 0);
}

TEST(Selectors, AnInvalidSelectionRaises) {
  auto doc = DOMDocument::Create();
  EXPECT_THROW(doc->selectNodes("//z:row [@editprop="), ComError);
  EXPECT_THROW(doc->selectSingleNode("count(//z:row)"), ComError);
}
