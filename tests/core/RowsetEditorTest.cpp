// Row editing as the voucher screen does it, on a loaded-looking body and on
// a new empty one: the marks each edit leaves, the lines it adds or removes,
// and the refusal of lines that are not there.
#include <gtest/gtest.h>

#include "fabrikon/ComError.h"
#include "fabrikon/RowsetEditor.h"

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

}  // namespace
