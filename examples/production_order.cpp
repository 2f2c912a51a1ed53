// production_order.cpp: a production order (card pp25) through clsVoucherCO:
// new, numbered, its fields checked, saved (the save explodes each line's
// bill of materials into the material list), loaded back with its material
// list (card pp16), approved, closed, reopened, its approval cancelled, and
// deleted.
//
//   fabrikon init-db plant.db --demo && ./production_order plant.db
//
// Every step prints one line with the library's answer. An answer other
// than the expected one ends the program with status 1 and the message.
#include <fabrikon/ComError.h>
#include <fabrikon/Connection.h>
#include <fabrikon/RowsetEditor.h>
#include <fabrikon/clsVoucherCO.h>
#include <fabrikon/host/EmbeddedLoginInfo.h>
#include <fabrikon/host/EmbeddedVoucherForm.h>

#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>

#include "ExampleSteps.h"

using namespace fabrikon;
using namespace example;

namespace {

// Loads the order again: a state change needs the row version it left.
void Reload(clsVoucherCO& co, const VoucherFormPtr& form, const std::string& id) {
  co.GetVoucherData(form, "", Variant(id));
  Require(Head(form, "id") == id, "GetVoucherData " + id + " did not load the order");
  std::cout << "GetVoucherData " << id << " => cverifier=" << Quoted(Head(form, "cverifier"))
            << " dcheckdate=" << Quoted(Head(form, "dcheckdate"))
            << " line 1 cclose=" << Quoted(RowsetEditor(form->BodyDOM()).Value(1, "cclose").ToText()) << "\n";
}

void Run(const std::string& database) {
  ConnectionPtr conn = OpenConnection("Data Source=" + database);
  VoucherFormPtr form = std::make_shared<EmbeddedVoucherForm>();
  clsVoucherCO co;
  InitCard(co, conn, "pp25");  // production orders

  Expect("VoucherNew", co.VoucherNew(form));
  RowsetEditor body(form->BodyDOM());
  body.Clear();
  std::string errMsg;
  const std::string code = co.GetVoucherNO(form, errMsg, /*bGetRealNo*/ true);
  std::cout << "GetVoucherNO => " << Quoted(code) << "\n";
  Require(!code.empty() && errMsg.empty(), "GetVoucherNO gave no number: " + errMsg);

  // Ten e-bikes (P200); the plan date is not typed yet.
  RowsetEditor(form->HeadDOM()).SetHead({{"ccode", code}, {"cdepcode", "D01"}, {"cpersoncode", "P004"}, {"dplandate", ""}});
  const long r = body.AddLine({{"cinvcode", "P200"}, {"fquantity", "10"}, {"dstartdate", "2024-03-30"},
                               {"denddate", "2024-03-29"}});
  Expect("BodyCheck 1 dstartdate (after the end)", co.BodyCheck(form, r, "dstartdate"),
         "表体：第1行[dstartdate]不能大于[denddate]，请检查！\r");
  body.SetLine(r, {{"dstartdate", "2024-03-20"}});
  Expect("BodyCheck 1 dstartdate", co.BodyCheck(form, r, "dstartdate"));
  Expect("HeadCheck (save mode, no plan date)", co.HeadCheck(form, "", /*bSaveMode*/ true),
         "表头：[dplandate]不能为空，请检查！\r");
  RowsetEditor(form->HeadDOM()).SetHead({{"dplandate", "2024-03-29"}});
  const std::string id = CheckAndSaveNew(co, form);
  Reload(co, form, id);
  const std::string mainid = RowsetEditor(form->BodyDOM()).Value(1, "mainid").ToText();

  // The material list the save made from the line's bill of materials.
  clsVoucherCO materials;
  InitCard(materials, conn, "pp16");
  VoucherFormPtr list = std::make_shared<EmbeddedVoucherForm>();
  materials.GetVoucherData(list, "", Variant(mainid));
  RowsetEditor components(list->BodyDOM());
  std::cout << "material list of line " << mainid << " (pp16) => " << components.RowCount() << " components\n";
  Require(components.RowCount() > 0, "the save made no material list");
  for (long i = 1; i <= components.RowCount(); ++i) {
    std::cout << "  " << components.Value(i, "cinvcode").ToText() << " " << components.Value(i, "cinvname").ToText()
              << " ipsquantity=" << components.Value(i, "ipsquantity").ToText()
              << " fquantity=" << components.Value(i, "fquantity").ToText() << "\n";
  }

  const std::string order = "生产订单[" + id + "]";
  Expect("VoucherConfirm", co.VoucherConfirm(form), order + "审核成功！");
  Reload(co, form, id);
  Expect("VoucherClose", co.VoucherClose(form), order + "关闭成功！");
  Reload(co, form, id);
  Expect("VoucherOpen", co.VoucherOpen(form), order + "打开成功！");
  Reload(co, form, id);
  // Cancelling approval names the order's lines.
  Expect("VoucherCancelconfirm", co.VoucherCancelconfirm(form), "生产订单[" + mainid + "]弃审成功！");
  Reload(co, form, id);
  Expect("VoucherAllowDelete", co.VoucherAllowDelete(form));
  Expect("VoucherDelete", co.VoucherDelete(form), "删除单据[" + code + "]成功！");
  std::cout << "done: production order " << code << " saved, approved, closed, reopened and deleted\n";
}

}  // namespace

int main(int argc, char** argv) { return example::RunExample(argc, argv, Run); }
