// Every document the library hands out declares the prefixes it uses, so
// that namespace-aware parsers read it: loaded, new and edited vouchers, the
// values checks hand back, list pages and their totals, for every card.
#include "EngineTestSupport.h"
#include "fabrikon/RowsetEditor.h"
#include "fabrikon/host/EmbeddedColumnSet.h"
#include "support/NamespaceCheck.h"

namespace fabrikon::enginetest {
namespace {

using testsupport::NamespaceProblems;

class DocumentNamespaces : public EngineTest {
 protected:
  void Expect(const std::string& card, const std::string& what, const DOMDocumentPtr& document) {
    if (!document || document->xml().empty()) return;  // nothing handed out
    EXPECT_EQ(NamespaceProblems(document->xml()), "") << card << ": " << what;
    ++checked;
  }
  void ExpectRowset(const std::string& card, const std::string& what, const RecordsetPtr& rs) {
    if (!rs) return;
    DOMDocumentPtr document = DOMDocument::Create();
    rs->Save(document);
    Expect(card, what, document);
  }
  // Field-mode checks of every column of the head and of line 1, each with
  // the values it hands back; a check that fails is no concern here.
  void CheckEveryField(const std::string& card) {
    const XmlNode head = form->HeadDOM()->selectSingleNode("//z:row");
    for (long i = 0; !head.IsNothing() && i < head.attributes().length(); ++i) {
      DOMDocumentPtr domReturn = DOMDocument::Create();
      const std::string item = head.attributes().item(i).nodeName();
      try {
        co.HeadCheck(form, item, domReturn, false);
      } catch (const ComError&) {
      }
      Expect(card, "domReturn of head check " + item, domReturn);
    }
    const XmlNode line = form->BodyDOM()->selectSingleNode("//z:row");
    for (long i = 0; !line.IsNothing() && i < line.attributes().length(); ++i) {
      DOMDocumentPtr domReturn = DOMDocument::Create();
      const std::string item = line.attributes().item(i).nodeName();
      try {
        co.BodyCheck(form, 1, item, domReturn, false);
      } catch (const ComError&) {
      }
      Expect(card, "domReturn of body check " + item, domReturn);
    }
  }
  int checked = 0;
};

TEST_F(DocumentNamespaces, EveryDocumentHandedOutDeclaresItsPrefixes) {
  for (const std::string card :
       {"om01", "om02", "pp25", "pp16", "pp13", "pp14", "pp15", "pp01", "pp02", "pp08", "pp09", "pp10", "pp11"}) {
    co.Init(login, conn, card);
    co.GetVoucherData(form);
    Expect(card, "loaded head", form->HeadDOM());
    Expect(card, "loaded body", form->BodyDOM());
    CheckEveryField(card);

    const VchListPage page = co.GetVchListPage(EmbeddedColumnSet::ForCard(conn, card), "", 2, 1);
    ExpectRowset(card, "list page", page.rstRetList);
    ExpectRowset(card, "list totals", page.rstRetSum);

    RowsetEditor(form->BodyDOM()).Clear();
    try {
      co.VoucherNew(form);
    } catch (const ComError&) {  // a card without a business object keeps the empty documents
    }
    Expect(card, "new head", form->HeadDOM());
    Expect(card, "new body", form->BodyDOM());
    RowsetEditor(form->BodyDOM()).AddLine({{"cinvcode", "P100"}, {"fquantity", "2"}});
    Expect(card, "edited body", form->BodyDOM());
    CheckEveryField(card);
  }
  Expect("", "an empty rowset", RowsetEditor::EmptyDocument());
  EXPECT_GT(checked, 100);
}

// A check that hands a value back does so in a document of its own: a bare
// row, declared like any other.
TEST_F(DocumentNamespaces, ValuesHandedBackByAComponentLineCheck) {
  co.Init(login, conn, "om02");
  co.GetVoucherData(form, "", Variant(2L));
  DOMDocumentPtr domReturn = DOMDocument::Create();
  EXPECT_EQ(co.BodyCheck(form, 1, "ipsquantity", domReturn, false), "");
  EXPECT_EQ(NamespaceProblems(domReturn->xml()), "");
  EXPECT_EQ(domReturn->selectNodes("//z:row").length(), 1);
}

}  // namespace
}  // namespace fabrikon::enginetest
