// outsourcing.cpp: an outsourcing order's whole life through clsVoucherCO,
// as a host program drives it. A new order gets its fields, a number and its
// checks, is saved and loaded back, previews the explosion of its bill of
// materials, is approved, closed (the library asks whether to close an order
// that is not fully received: a MessageBoxHandler answers Yes), reopened, and
// shown on a page of the order list with its totals.
//
//   fabrikon init-db plant.db --demo && ./outsourcing plant.db
//
// Every step prints one line with the library's answer. An answer other
// than the expected one ends the program with status 1 and the message.
#include <fabrikon/ComError.h>
#include <fabrikon/Connection.h>
#include <fabrikon/RowsetEditor.h>
#include <fabrikon/clsVoucherCO.h>
#include <fabrikon/host/EmbeddedColumnSet.h>
#include <fabrikon/host/EmbeddedLoginInfo.h>
#include <fabrikon/host/EmbeddedVoucherForm.h>
#include <fabrikon/host/MessageBox.h>
#include <fabrikon/modOutsourcing.h>

#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>

#include "ExampleSteps.h"

using namespace fabrikon;
using namespace example;

namespace {

std::string Line(const VoucherFormPtr& form, long r, const std::string& name) {
  return RowsetEditor(form->BodyDOM()).Value(r, name).ToText();
}

// The values a field check handed back in domReturn (a name looked up from a
// code, a recomputed quantity) as NAME="value" ...; "" when there are none.
std::string ReturnedValues(const DOMDocumentPtr& domReturn) {
  std::string text;
  XmlAttributes attributes = domReturn->selectSingleNode("//z:row").attributes();
  for (long i = 0; i < attributes.length(); ++i) {
    text += " ";
    text += attributes.item(i).nodeName();
    text += "=";
    text += Quoted(attributes.item(i).nodeValue());
  }
  return text;
}

// A field check while the user types (r 0: the head, else line r); the
// values it hands back go into the row, as a voucher screen takes them over.
void CheckField(clsVoucherCO& co, const VoucherFormPtr& form, long r, const std::string& item) {
  DOMDocumentPtr domReturn = DOMDocument::Create();
  if (r == 0) {
    Expect("HeadCheck " + item, co.HeadCheck(form, item, domReturn, false));
    RowsetEditor(form->HeadDOM()).ApplyReturn(0, domReturn);
  } else {
    Expect(std::string("BodyCheck ") + std::to_string(r) + " " + item, co.BodyCheck(form, r, item, domReturn, false));
    RowsetEditor(form->BodyDOM()).ApplyReturn(r, domReturn);
  }
  const std::string returned = ReturnedValues(domReturn);
  if (!returned.empty()) std::cout << "  domReturn:" << returned << "\n";
}

// The one question of the outsourcing order ("close an order that is not
// fully received?") comes here; the program answers Yes. Error boxes (a
// value the save cannot convert) are printed.
class AnswerYes : public MessageBoxHandler {
 public:
  bool AskYesNo(const std::string& text, const std::string& title) override {
    std::cout << "  question (" << title << "): " << Quoted(text) << " -> Yes\n";
    ++asked_;
    return true;
  }
  void ShowError(const std::string& text, const std::string& title) override {
    std::cout << "  error box (" << title << "): " << Quoted(text) << "\n";
  }
  int Asked() const { return asked_; }

 private:
  int asked_ = 0;
};

// Loads the order again (after a save or a state change the head carries a
// new row version, which the next operation needs).
void Reload(clsVoucherCO& co, const VoucherFormPtr& form, const std::string& id) {
  co.GetVoucherData(form, "", Variant(id));
  Require(Head(form, "id") == id, "GetVoucherData " + id + " did not load the order");
  std::cout << "GetVoucherData " << id << " => istate=" << Quoted(Head(form, "istate"))
            << " cstatename=" << Quoted(Head(form, "cstatename")) << " cverifier=" << Quoted(Head(form, "cverifier"))
            << "\n";
}

void Run(const std::string& database) {
  ConnectionPtr conn = OpenConnection("Data Source=" + database);
  VoucherFormPtr form = std::make_shared<EmbeddedVoucherForm>();
  clsVoucherCO co;
  InitCard(co, conn, "om01");  // outsourcing orders
  Require(co.BusinessClassName() == "clsWWSCDDOrder", "om01 has no outsourcing order business object");

  // New: the business object presets the head; the body starts empty.
  Expect("VoucherNew", co.VoucherNew(form));
  RowsetEditor(form->BodyDOM()).Clear();
  std::cout << "  head: ddate=" << Quoted(Head(form, "ddate")) << " cmaker=" << Quoted(Head(form, "cmaker")) << "\n";

  std::string errMsg;
  const std::string code = co.GetVoucherNO(form, errMsg, /*bGetRealNo*/ true);
  std::cout << "GetVoucherNO => " << Quoted(code) << "\n";
  Require(!code.empty() && errMsg.empty(), "GetVoucherNO gave no number: " + errMsg);

  // Fields, checked one by one as the user types them.
  RowsetEditor(form->HeadDOM())
      .SetHead({{"ccode", code}, {"cvencode", "V002"}, {"cdepcode", "D03"}, {"cpersoncode", "P003"},
                {"dplandate", "2024-03-29"}});
  CheckField(co, form, 0, "cvencode");  // hands back the vendor's name, which the save check requires
  CheckField(co, form, 0, "cdepcode");
  const long r = RowsetEditor(form->BodyDOM())
                     .AddLine({{"cinvcode", "P100"}, {"cfree1", "黑"}, {"fquantity", "0"}, {"imakecharge", "40"},
                               {"totalmoney", "480"}, {"dstartdate", "2024-03-12"}, {"denddate", "2024-03-29"}});
  CheckField(co, form, r, "cinvcode");
  Expect("BodyCheck 1 fquantity (typed 0)", co.BodyCheck(form, r, "fquantity"),
         "表体：第1行[fquantity]不能为空或小于等于零，请检查！\r");
  RowsetEditor(form->BodyDOM()).SetLine(r, {{"fquantity", "12"}});
  CheckField(co, form, r, "fquantity");

  // The whole voucher, as the save checks it.
  const std::string id = CheckAndSaveNew(co, form);

  Reload(co, form, id);
  const std::string mainid = Line(form, 1, "mainid");
  std::cout << "  line 1: mainid=" << Quoted(mainid) << " cinvcode=" << Quoted(Line(form, 1, "cinvcode"))
            << " cinvname=" << Quoted(Line(form, 1, "cinvname")) << " fquantity=" << Quoted(Line(form, 1, "fquantity"))
            << "\n";

  // The explosion of the line's bill of materials, from which the save built
  // the order's material lines (om_podetails).
  const std::string autoids = ExplodeProductLine(std::stol(mainid), "", conn);
  std::cout << "ExplodeProductLine " << mainid << " => " << Quoted(autoids) << "\n";
  Require(!autoids.empty(), "the explosion found no product line " + mainid);
  for (const clsWWSelectedBomPtr& material : SelectedBomLines()) {
    std::cout << "  material: " << material->cPScode() << " fQuantity=" << material->fQuantity()
              << " iPSQuantity=" << material->iPSQuantity() << " iWasteRate=" << material->iWasteRate()
              << " cWhCode=" << material->cWhCode() << "\n";
  }

  const std::string order = "委外订单[" + id + "]";
  Expect("VoucherConfirm", co.VoucherConfirm(form), order + "审核成功！");
  Reload(co, form, id);

  // Closing asks a question: the handler of this thread answers it.
  auto yes = std::make_shared<AnswerYes>();
  MessageBox::SetHandler(yes);
  const std::string closed = co.VoucherClose(form);
  MessageBox::SetHandler(nullptr);
  Expect("VoucherClose", closed, order + "关闭成功！");
  Require(yes->Asked() == 1, std::string("VoucherClose asked ") + std::to_string(yes->Asked()) + " questions, not 1");
  Reload(co, form, id);
  Require(Head(form, "istate") == "3", std::string("the closed order has istate ") + Head(form, "istate"));

  Expect("VoucherOpen", co.VoucherOpen(form), order + "打开成功！");
  Reload(co, form, id);

  // The list screen: one page of ten rows, the totals over the whole list.
  auto columns = std::make_shared<EmbeddedColumnSet>("ccode,cinvcode,fquantity,totalmoney,cstatename",
                                                     "sum(fquantity) AS fquantity, sum(totalmoney) AS totalmoney",
                                                     "id,mainid");
  VchListPage page = co.GetVchListPage(columns, "", 10, 1);
  std::cout << "GetVchListPage 1 (10 rows a page) => " << (page.bOk ? "true" : "false") << ", "
            << page.nRecordCount << " rows, " << page.nPageCount << " page(s)\n";
  Require(page.bOk, "the list failed: " + page.strErrMsg);
  PrintRows("row", page.rstRetList);
  PrintRows("totals", page.rstRetSum);
  std::cout << "done: outsourcing order " << code << " saved, approved, closed and reopened\n";
}

}  // namespace

int main(int argc, char** argv) { return example::RunExample(argc, argv, Run); }
