// Row editing as the voucher screen does it, on a loaded-looking body and on
// a new empty one: the marks each edit leaves, the lines it adds or removes,
// and the refusal of lines that are not there.
#include <gtest/gtest.h>

#include <functional>

#include "fabrikon/ComError.h"
#include "fabrikon/RowsetEditor.h"
#include "support/XmlAllocationCounter.h"

using namespace fabrikon;

namespace {

std::string Marks(const RowsetEditor& editor) {
  std::string marks;
  for (long r = 1; r <= editor.RowCount(); ++r) {
    Variant mark = editor.Value(r, "editprop");
    marks += (r > 1 ? "," : "") + Variant(editor.Value(r, "cinvcode")).ToText() + ":" +
             (mark.IsNull() ? "-" : mark.ToText());
  }
  return marks;
}

TEST(RowsetEditor, EditsLeaveTheMarksTheSaveReads) {
  DOMDocumentPtr body = DOMDocument::Create();
  ASSERT_TRUE(body->loadXML("<xml><rs:data><z:row cinvcode=\"P1\"/><z:row cinvcode=\"P2\"/></rs:data></xml>"));
  RowsetEditor editor(body);
  editor.SetLine(1, {{"fquantity", "3"}});
  EXPECT_EQ(editor.AddLine({{"cinvcode", "P3"}}), 3);
  editor.SetLine(3, {{"fquantity", "4"}});
  editor.AddLine({{"cinvcode", "P4"}});
  editor.DeleteLine(2);
  editor.DeleteLine(4);
  EXPECT_EQ(Marks(editor), "P1:M,P2:D,P3:A");
  EXPECT_EQ(editor.Value(1, "fquantity").ToText(), "3");
  EXPECT_TRUE(editor.Value(1, "cmemo").IsNull());

  editor.Clear();
  EXPECT_EQ(editor.RowCount(), 0);
  EXPECT_EQ(editor.AddLine({{"cinvcode", "P5"}}), 1);
  EXPECT_EQ(Marks(editor), "P5:A");
  EXPECT_EQ(body->selectNodes("//rs:data/z:row").length(), 1) << body->xml();
}

DOMDocumentPtr Loaded(const std::string& xml) {
  DOMDocumentPtr document = DOMDocument::Create();
  EXPECT_TRUE(document->loadXML(xml)) << xml;
  return document;
}

// domReturn as the checks hand it back: bare rows, the values in the first.
TEST(RowsetEditor, ApplyReturnTakesTheFirstReturnedRowOver) {
  const DOMDocumentPtr back = Loaded("<z:row fquantity=\"42.00\" cwhname=\"原材料库\"/>");
  DOMDocumentPtr body = Loaded(
      "<xml><rs:data><z:row cinvcode=\"P1\" fQuantity=\"1\" editprop=\"\"/>"
      "<z:row cinvcode=\"P2\" fquantity=\"2\" editprop=\"A\"/></rs:data></xml>");
  RowsetEditor editor(body);
  editor.ApplyReturn(1, back);
  editor.ApplyReturn(2, back);
  EXPECT_EQ(Marks(editor), "P1:M,P2:A");
  EXPECT_EQ(editor.Row(1).xml(),
            "<z:row cinvcode=\"P1\" fQuantity=\"42.00\" editprop=\"M\" cwhname=\"原材料库\"/>");
  EXPECT_EQ(editor.Value(2, "fquantity").ToText(), "42.00");

  DOMDocumentPtr head = Loaded("<xml><rs:data><z:row ccode=\"SC1\" cdepcode=\"D01\"/></rs:data></xml>");
  RowsetEditor(head).ApplyReturn(0, Loaded("<xml><z:row cdepname=\"总装车间\"/><z:row cdepname=\"x\"/></xml>"));
  EXPECT_EQ(RowsetEditor(head).Row(1).xml(), "<z:row ccode=\"SC1\" cdepcode=\"D01\" cdepname=\"总装车间\"/>");
}

TEST(RowsetEditor, ApplyReturnWithoutValuesChangesNothing) {
  DOMDocumentPtr body = Loaded("<xml><rs:data><z:row cinvcode=\"P1\"/></rs:data></xml>");
  const std::string before = body->xml();
  RowsetEditor editor(body);
  for (const DOMDocumentPtr& nothing : {DOMDocumentPtr(), DOMDocument::Create(), Loaded("<xml/>")}) {
    editor.ApplyReturn(1, nothing);
    editor.ApplyReturn(9, nothing);
  }
  EXPECT_EQ(body->xml(), before);
  for (long r : {-1L, 2L}) {
    try {
      editor.ApplyReturn(r, Loaded("<z:row fquantity=\"1\"/>"));
      ADD_FAILURE() << r;
    } catch (const ComError& e) {
      EXPECT_EQ(e.Number(), ErrorNumber::InvalidArgument) << r;
    }
  }
  EXPECT_EQ(body->xml(), before);
  DOMDocumentPtr empty = RowsetEditor::EmptyDocument();
  EXPECT_THROW(RowsetEditor(empty).ApplyReturn(0, Loaded("<z:row a=\"1\"/>")), ComError);
}

TEST(RowsetEditor, MissingRowsAreRefusedAndNothingChanges) {
  DOMDocumentPtr empty = RowsetEditor::EmptyDocument();
  RowsetEditor editor(empty);
  const std::string before = empty->xml();
  for (long r : {0L, 1L, -1L}) {
    EXPECT_THROW(editor.SetLine(r, {{"cmemo", "x"}}), ComError) << r;
    EXPECT_THROW(editor.DeleteLine(r), ComError) << r;
    EXPECT_THROW(editor.Value(r, "cmemo"), ComError) << r;
  }
  try {
    editor.SetHead({{"ccode", "x"}});
    ADD_FAILURE() << "a head without a row took a value";
  } catch (const ComError& e) {
    EXPECT_EQ(e.Number(), ErrorNumber::InvalidArgument);
  }
  EXPECT_EQ(empty->xml(), before);
  EXPECT_THROW(RowsetEditor(nullptr), ComError);
}

// The editor's lines are the rows "//z:row" selects, whatever changed the
// document in between: its own edits, loading, or elements moved by hand.
TEST(RowsetEditor, LinesFollowEveryChangeOfTheDocument) {
  const std::vector<std::pair<const char*, std::function<void(DOMDocument&, RowsetEditor&)>>> changes = {
      {"add", [](DOMDocument&, RowsetEditor& e) { e.AddLine({{"cinvcode", "A"}}); }},
      {"delete an added line", [](DOMDocument&, RowsetEditor& e) { e.DeleteLine(e.AddLine({})); }},
      {"delete a loaded line", [](DOMDocument&, RowsetEditor& e) { e.DeleteLine(1); }},
      {"reload", [](DOMDocument& d, RowsetEditor&) { d.loadXML("<xml><rs:data><z:row cinvcode=\"L\"/></rs:data></xml>"); }},
      {"clear", [](DOMDocument&, RowsetEditor& e) { e.Clear(); }},
      {"first row moved after the others", [](DOMDocument& d, RowsetEditor&) {
         XmlNode other = d.createElement("rs:other");
         d.documentElement().appendChild(other);
         other.appendChild(d.selectNodes("//z:row").item(0));  // moved after the others
       }},
      {"row inside a row", [](DOMDocument& d, RowsetEditor&) {
         XmlNode last = d.selectNodes("//z:row").item(d.selectNodes("//z:row").length() - 1);
         if (last) last.appendChild(d.createElement("z:row"));
       }},
      {"row with a child", [](DOMDocument& d, RowsetEditor&) {
         XmlNode row = d.createElement("z:row");
         row.appendChild(d.createElement("z:row"));
         d.selectSingleNode("//rs:data").appendChild(row);
       }},
      {"element that is no row", [](DOMDocument& d, RowsetEditor&) {
         d.selectSingleNode("//rs:data").appendChild(d.createElement("z:note"));
       }},
      {"row from another document", [](DOMDocument& d, RowsetEditor&) {
         DOMDocumentPtr other = DOMDocument::Create();
         other->loadXML("<z:row cinvcode=\"X\"/>");
         d.selectSingleNode("//rs:data").appendChild(other->documentElement());
       }},
      {"created but not attached", [](DOMDocument& d, RowsetEditor&) { d.createElement("z:row"); }},
  };
  for (size_t first = 0; first < changes.size(); ++first) {
    for (size_t second = 0; second < changes.size(); ++second) {
      DOMDocumentPtr body = DOMDocument::Create();
      ASSERT_TRUE(body->loadXML("<xml><rs:data><z:row cinvcode=\"P1\"/><z:row cinvcode=\"P2\"/></rs:data></xml>"));
      RowsetEditor editor(body);
      for (size_t step : {first, second, first}) {
        SCOPED_TRACE(std::string(changes[first].first) + " / " + changes[second].first + " at " + changes[step].first);
        EXPECT_EQ(editor.RowCount(), body->selectNodes("//z:row").length());  // taken before the change
        changes[step].second(*body, editor);
        const XmlNodeList rows = body->selectNodes("//z:row");
        ASSERT_EQ(editor.RowCount(), rows.length()) << body->xml();
        for (long r = 1; r <= rows.length(); ++r) EXPECT_EQ(editor.Row(r).xml(), rows.item(r - 1).xml()) << r;
        const long added = editor.AddLine({{"cinvcode", "N"}});
        EXPECT_EQ(added, body->selectNodes("//z:row").length());
      }
    }
  }
}

// Adding a line costs the same at the 3,000th line as at the 300th: no line
// selects every row again (counted as the XML library's allocations).
TEST(RowsetEditor, AddingLinesStaysLinear) {
  DOMDocumentPtr body = RowsetEditor::EmptyDocument();
  testsupport::XmlAllocationCounter counter;
  auto addLines = [&](long count) {
    counter.Take();
    for (long i = 0; i < count; ++i) {
      RowsetEditor editor(body);  // as a host does: a new editor per call
      const long r = editor.AddLine({{"cinvcode", "P"}});
      editor.SetLine(r, {{"fquantity", "1"}});
    }
    return counter.Take();
  };
  const long long early = addLines(300);
  addLines(2400);
  const long long late = addLines(300);
  EXPECT_LT(late, 2 * early + 65536) << "early " << early << " late " << late;
}

}  // namespace
