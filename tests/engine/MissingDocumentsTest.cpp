// A host form that hands out no head or no body document: every card answers
// or raises a ComError, never crashes; the save-mode body checks raise what a
// missing head raises (91), and VoucherSave2 answers a message past it.
#include "EngineTestSupport.h"
#include "fabrikon/RowsetEditor.h"
#include "fabrikon/clsSCDDOrder.h"
#include "fabrikon/clsWWSCDDOrder.h"

namespace fabrikon::enginetest {
namespace {

constexpr const char* kNotSet = "Object variable or With block variable not set";

// A voucher form whose documents may be missing (BodyDOM answers nothing).
class DocumentlessForm : public VoucherForm {
 public:
  explicit DocumentlessForm(DOMDocumentPtr head) : head_(std::move(head)) {}
  DOMDocumentPtr HeadDOM() override { return head_; }
  void HeadDOM(DOMDocumentPtr document) override { head_ = std::move(document); }
  DOMDocumentPtr BodyDOM() override { return nullptr; }

 private:
  DOMDocumentPtr head_;
};

DOMDocumentPtr HeadWithRow() {
  DOMDocumentPtr head = RowsetEditor::EmptyDocument();
  RowsetEditor(head).AddLine({{"id", "1"}, {"ccode", "0000000001"}, {"dplandate", "2024-03-20"},
                              {"cvenname", "V"}, {"qxts", "1"}});
  return head;
}

struct Outcome {
  bool raised = false;
  int32_t number = 0;
  std::string text;  // the answer, or the error's description
};

template <class Call>
Outcome Attempt(Call&& call) {
  Outcome outcome;
  try {
    outcome.text = call();
  } catch (const ComError& e) {
    outcome = {true, e.Number(), e.Description()};
  }
  return outcome;
}

const std::vector<std::string> kEveryCard = {"pp01", "pp02", "pp08", "pp09", "pp10", "pp11", "pp13",
                                             "pp14", "pp15", "pp16", "pp25", "om01", "om02"};

// The kinds whose save-mode body check walks the body's rows.
bool WalksTheBody(const std::string& card) {
  for (const char* walking : {"pp14", "pp15", "pp16", "pp25", "om01", "om02"})
    if (card == walking) return true;
  return false;
}

// The kinds whose save-mode head check reads the head row.
bool ReadsTheHead(const std::string& card) { return card != "pp02" && card != "pp16" && card != "om02"; }

using MissingDocuments = EngineTest;

TEST_F(MissingDocuments, NoFormRaisesInsteadOfCrashing) {
  for (const std::string& card : kEveryCard) {
    SCOPED_TRACE(card);
    clsVoucherCO facade;
    facade.Init(login, conn, card);
    VoucherFormPtr none;
    EXPECT_EQ(ErrorNumberOf([&] { facade.HeadCheck(none, "", true); }), ErrorNumber::ObjectNotSet);
    EXPECT_EQ(ErrorNumberOf([&] { facade.BodyCheck(none, 1, "", true); }), ErrorNumber::ObjectNotSet);
    EXPECT_EQ(ErrorNumberOf([&] { facade.BodyCheck(none, 1, "cinvcode", false); }), ErrorNumber::ObjectNotSet);
    EXPECT_EQ(ErrorNumberOf([&] { facade.VoucherNew(none); }), ErrorNumber::ObjectNotSet);
    EXPECT_NE(facade.VoucherSave2(none, 0), "");
  }
}

TEST_F(MissingDocuments, SaveModeBodyCheckRaisesWhatAMissingHeadRaises) {
  for (const std::string& card : kEveryCard) {
    for (bool withHead : {true, false}) {
      SCOPED_TRACE(card + (withHead ? " head without body" : " neither document"));
      clsVoucherCO facade;
      facade.Init(login, conn, card);
      VoucherFormPtr missing = std::make_shared<DocumentlessForm>(withHead ? HeadWithRow() : nullptr);
      const Outcome body = Attempt([&] { return facade.BodyCheck(missing, 1, "", true); });
      if (WalksTheBody(card)) {
        EXPECT_TRUE(body.raised);
        EXPECT_EQ(body.number, ErrorNumber::ObjectNotSet);
        EXPECT_EQ(body.text, kNotSet);
      }
      if (!withHead && ReadsTheHead(card)) {
        const Outcome head = Attempt([&] { return facade.HeadCheck(missing, "", true); });
        EXPECT_TRUE(head.raised);
        EXPECT_EQ(head.number, ErrorNumber::ObjectNotSet);
      }
    }
  }
}

TEST_F(MissingDocuments, VoucherSave2AnswersAMessageAndWritesNothing) {
  for (const std::string& card : kEveryCard) {
    for (bool withHead : {true, false}) {
      SCOPED_TRACE(card + (withHead ? " head without body" : " neither document"));
      clsVoucherCO facade;
      facade.Init(login, conn, card);
      VoucherFormPtr missing = std::make_shared<DocumentlessForm>(withHead ? HeadWithRow() : nullptr);
      Variant id(7);
      const Outcome save = Attempt([&] { return facade.VoucherSave2(missing, 0, id); });
      EXPECT_FALSE(save.raised) << save.text;
      EXPECT_NE(save.text, "");
      EXPECT_TRUE(id.IsEmpty());
      EXPECT_THROW(conn->CommitTrans(), ComError) << "the save left a transaction open";
    }
  }
}

// Every other operation of every card either answers or raises a ComError.
TEST_F(MissingDocuments, NoOperationCrashes) {
  for (const std::string& card : kEveryCard) {
    for (bool withHead : {true, false}) {
      SCOPED_TRACE(card + (withHead ? " head without body" : " neither document"));
      clsVoucherCO facade;
      facade.Init(login, conn, card);
      VoucherFormPtr missing = std::make_shared<DocumentlessForm>(withHead ? HeadWithRow() : nullptr);
      const std::vector<std::function<std::string()>> calls = {
          [&] { return facade.HeadCheck(missing, "cdepcode", false); },
          [&] { return facade.HeadCheck(missing, "cinvcode", false); },
          [&] { return facade.BodyCheck(missing, 1, "cinvcode", false); },
          [&] { return facade.BodyCheck(missing, 1, "fquantity", false); },
          [&] { return facade.BodyCheck(missing, 1, "cfree1", false); },
          [&] { return facade.VoucherAllowNew(missing); },
          [&] { return facade.VoucherAllowEdit(missing); },
          [&] { return facade.VoucherAllowDelete(missing); },
          [&] { return facade.VoucherClose(missing); },
          [&] { return facade.VoucherOpen(missing); },
          [&] { return facade.VoucherConfirm(missing); },
          [&] { return facade.VoucherCancelconfirm(missing); },
          [&] { return facade.VoucherSave1(missing, 0); },
          [&] { return facade.VoucherDelete(missing); },
          [&] { facade.MoveFirst(missing);
            return std::string(); },
          [&] { facade.Refresh(missing);
            return std::string(); }};
      for (const auto& call : calls) Attempt(call);
    }
  }
}

// The after-save hook of the orders, called as VoucherSave2 calls it.
TEST_F(MissingDocuments, AfterSaveWithoutBodyAnswersTheErrorOrNothing) {
  clsWWSCDDOrder outsourcing;
  EXPECT_EQ(outsourcing.VoucherAfterSave(HeadWithRow(), nullptr, conn), std::string(kNotSet) + "保存委外订单子件失败");
  EXPECT_EQ(outsourcing.VoucherAfterSave(nullptr, nullptr, conn), std::string(kNotSet) + "保存委外订单子件失败");
  clsSCDDOrder production;
  for (DOMDocumentPtr head : {HeadWithRow(), DOMDocumentPtr()}) {
    const Outcome after = Attempt([&] { return production.VoucherAfterSave(head, nullptr, conn); });
    EXPECT_TRUE(!after.raised || after.number == ErrorNumber::ObjectNotSet) << after.text;
  }
}

}  // namespace
}  // namespace fabrikon::enginetest
