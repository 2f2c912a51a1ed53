// Component lines of a production order line: the cell checks, the request
// for the inventory first, and the required quantity handed back on screen.
#include "ProductionTestSupport.h"
#include "fabrikon/clsPODetails.h"

namespace fabrikon::testing_production {
namespace {

class PODetailsTest : public ProductionCheckTest {
 protected:
  // Field-mode check of a one-line body on an order line of 10 units.
  std::string Edit(const Attributes& line, const std::string& item, long R = 3, bool withDocument = true) {
    domReturn = withDocument ? DOMDocument::Create() : nullptr;
    return details.BodyCheck(Form(Rows({{{"fquantity", "10"}}}), Rows({line})), conn, R, item, domReturn, false,
                             cardNumber);
  }
  // The recomputed quantity, or "<none>" when nothing was handed back.
  std::string Returned() {
    XmlNode row = domReturn->selectSingleNode("//z:row");
    return row ? row.getAttribute("fquantity").ToText() : "<none>";
  }
  clsPODetails details;
  DOMDocumentPtr domReturn;
};

TEST_F(PODetailsTest, QuantityPerUnitRecomputesTheRequiredQuantityWithWaste) {
  EXPECT_EQ(Edit({{"cinvcode", "C1"}, {"ipsquantity", "2"}, {"iwasterate", "5"}}, "ipsquantity"), "");
  EXPECT_EQ(Returned(), "21.00");
  EXPECT_EQ(domReturn->selectNodes("//z:row").length(), 1);

  SetQuantityDecimals(0);
  EXPECT_EQ(Edit({{"cinvcode", "C1"}, {"ipsquantity", "2"}, {"iwasterate", "5"}}, "iPSQuantity"), "");
  EXPECT_EQ(Returned(), "21");
}

// A caller that passes no document still gets the quantity, in one made for
// it, as the other checks that hand values back do.
TEST_F(PODetailsTest, TheRequiredQuantityComesBackWithoutADocumentPassedIn) {
  EXPECT_EQ(Edit({{"cinvcode", "C1"}, {"ipsquantity", "2"}, {"iwasterate", "5"}}, "ipsquantity", 3, false), "");
  ASSERT_NE(domReturn, nullptr);
  EXPECT_EQ(Returned(), "21.00");
}

TEST_F(PODetailsTest, QuantityPerUnitMustBeAPositiveNumber) {
  EXPECT_EQ(Edit({{"cinvcode", "C1"}, {"ipsquantity", "0"}}, "ipsQuantity"),
            "表体：第3行[ipsQuantity]必须大于0，请检查！\r");
  EXPECT_EQ(Returned(), "<none>");
  EXPECT_EQ(Edit({{"cinvcode", "C1"}, {"ipsquantity", "abc"}}, "ipsquantity"),
            "表体：第3行[ipsquantity]必须录入数字，请检查！\r");
  EXPECT_EQ(Returned(), "<none>");
}

TEST_F(PODetailsTest, WasteRateRangeIsZeroUpToHundred) {
  EXPECT_EQ(Edit({{"cinvcode", "C1"}, {"ipsquantity", "2"}, {"iwasterate", "100"}}, "iwasterate"),
            "表体：第3行[iwasterate]必须大于等于0小于100，请检查！\r");
  EXPECT_EQ(Returned(), "<none>");
  EXPECT_EQ(Edit({{"cinvcode", "C1"}, {"ipsquantity", "2"}, {"iwasterate", "-1"}}, "iwasterate"),
            "表体：第3行[iwasterate]必须大于等于0小于100，请检查！\r");
  EXPECT_EQ(Edit({{"cinvcode", "C1"}, {"ipsquantity", "2"}, {"iwasterate", "99.5"}}, "iwasterate"), "");
  EXPECT_EQ(Returned(), "39.90");
  EXPECT_EQ(Edit({{"cinvcode", "C1"}, {"ipsquantity", "2"}, {"iwasterate", "x"}}, "iwasterate"),
            "表体：第3行[iwasterate]必须录入数字，请检查！\r");
}

TEST_F(PODetailsTest, RequiredQuantityMayBeZeroButNotNegativeAndIsNotRecomputed) {
  EXPECT_EQ(Edit({{"cinvcode", "C1"}, {"fquantity", "-1"}}, "fquantity"),
            "表体：第3行[fquantity]必须大于等于0，请检查！\r");
  EXPECT_EQ(Edit({{"cinvcode", "C1"}, {"fquantity", "0"}, {"ipsquantity", "2"}}, "fquantity"), "");
  EXPECT_EQ(Returned(), "<none>");
}

TEST_F(PODetailsTest, EveryCellButTheInventoryAsksForTheInventoryFirst) {
  AnswerReferenceChecks("存货不存在");
  EXPECT_EQ(Edit({{"cinvcode", ""}, {"ipsquantity", "abc"}}, "ipsquantity", 6), "表体：第[6]行请先录入存货！");
  EXPECT_EQ(Edit({{"cwhname", "W"}}, "cwhname", 6), "表体：第[6]行请先录入存货！");
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(Returned(), "<none>");

  // The inventory cell itself goes to the reference check, with the card number.
  EXPECT_EQ(Edit({{"cinvcode", ""}}, "cInvCode", 6), "表体：第6行存货不存在\r");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].kind, "head");
  EXPECT_EQ(calls[0].item, "cInvCode");
  EXPECT_EQ(calls[0].extra, "PP16");
}

TEST_F(PODetailsTest, NamesAndFreeItemsGoToTheReferenceCheck) {
  AnswerReferenceChecks("");
  EXPECT_EQ(Edit({{"cinvcode", "C1"}, {"cdepname", "车间"}}, "cdepname"), "");
  EXPECT_EQ(Edit({{"cinvcode", "C1"}, {"cfree10", "大"}}, "cfree10"), "");
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].kind, "head");
  EXPECT_EQ(calls[0].value, "车间");
  EXPECT_EQ(calls[0].extra, "PP16");
  EXPECT_EQ(calls[1].kind, "body");
  EXPECT_EQ(calls[1].value, "大");
  EXPECT_EQ(calls[1].extra, "C1");
}

TEST_F(PODetailsTest, SaveModeRequiresTheQuantityPerUnitOnEveryLine) {
  const std::vector<Attributes> rows = {{{"cinvcode", "C1"}, {"iPSQuantity", "2"}},
                                        {{"cinvcode", ""}, {"iPSQuantity", ""}, {"fquantity", ""}}};
  domReturn = DOMDocument::Create();
  EXPECT_EQ(details.BodyCheck(Form(Rows({{}}), Rows(rows)), conn, 1, "", domReturn, true, cardNumber),
            "表体：第2行[iPSQuantity]不能为空，请检查！\r");
}

TEST_F(PODetailsTest, EmptyBodyAndHeadAreNotChecked) {
  domReturn = DOMDocument::Create();
  for (bool save : {true, false}) {
    EXPECT_EQ(details.BodyCheck(Form(Rows({{}}), Rows({})), conn, 1, "ipsquantity", domReturn, save, cardNumber),
              "");
    EXPECT_EQ(details.HeadCheck(Form(Rows({}), Rows({})), conn, "fquantity", domReturn, save, cardNumber), "");
  }
}

TEST_F(PODetailsTest, SeveralLinesInFieldModeRecomputeTheEditedLineOnce) {
  const std::vector<Attributes> rows = {{{"cinvcode", "C1"}, {"ipsquantity", "3"}},
                                        {{"cinvcode", "C2"}, {"ipsquantity", "4"}},
                                        {{"ipsquantity", "-1"}}};
  for (auto [line, expected] : {std::pair{1L, "30.00"}, std::pair{2L, "40.00"}}) {
    domReturn = DOMDocument::Create();
    EXPECT_EQ(details.BodyCheck(Form(Rows({{{"fquantity", "10"}}}), Rows(rows)), conn, line, "ipsquantity",
                                domReturn, false, cardNumber),
              "");
    EXPECT_EQ(Returned(), expected);
  }
  // Line 3 has no inventory yet, whatever line 1 holds.
  EXPECT_EQ(details.BodyCheck(Form(Rows({{{"fquantity", "10"}}}), Rows(rows)), conn, 3, "ipsquantity", domReturn,
                              false, cardNumber),
            "表体：第[3]行请先录入存货！");
  // With no decimals a zero quantity still reaches the screen as a number.
  SetQuantityDecimals(0);
  domReturn = DOMDocument::Create();
  EXPECT_EQ(details.BodyCheck(Form(Rows({{{"fquantity", "0"}}}), Rows(rows)), conn, 1, "ipsquantity", domReturn,
                              false, cardNumber),
            "");
  EXPECT_EQ(Returned(), "0");
}

}  // namespace
}  // namespace fabrikon::testing_production
