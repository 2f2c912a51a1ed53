// forecast.cpp: a demand forecast (card pp01) through clsVoucherCO: new,
// numbered, two lines checked and saved, approved (which lets planning use
// it), closed and reopened, and listed with its totals.
//
//   fabrikon init-db plant.db --demo && ./forecast plant.db
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

#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>

#include "ExampleSteps.h"

using namespace fabrikon;
using namespace example;

namespace {

// Loads the forecast again: a state change needs the row version it left.
void Reload(clsVoucherCO& co, const VoucherFormPtr& form, const std::string& id) {
  co.GetVoucherData(form, "", Variant(id));
  Require(Head(form, "cfcid") == id, "GetVoucherData " + id + " did not load the forecast");
  std::cout << "GetVoucherData " << id << " => bmrp=" << Quoted(Head(form, "bmrp")) << "\n";
}

void Run(const std::string& database) {
  ConnectionPtr conn = OpenConnection("Data Source=" + database);
  VoucherFormPtr form = std::make_shared<EmbeddedVoucherForm>();
  clsVoucherCO co;
  InitCard(co, conn, "pp01");  // demand forecasts

  Expect("VoucherNew", co.VoucherNew(form));
  RowsetEditor body(form->BodyDOM());
  body.Clear();
  std::string errMsg;
  const std::string code = co.GetVoucherNO(form, errMsg, /*bGetRealNo*/ true);
  std::cout << "GetVoucherNO => " << Quoted(code) << "\n";
  Require(!code.empty() && errMsg.empty(), "GetVoucherNO gave no number: " + errMsg);

  // The forecast's code is its key (cfcid); June's demand for two products.
  RowsetEditor(form->HeadDOM()).SetHead({{"cfcid", code}, {"cdepcode", "D05"}});
  body.AddLine({{"cinvcode", "P100"}, {"cfree1", "红"}, {"imqty", "60"}, {"drequiredate", "2024-06-01"},
                {"drequireenddate", "2024-06-30"}});
  const long r = body.AddLine({{"cinvcode", "P200"}, {"imqty", "25"}, {"drequiredate", "2024-06-01"},
                               {"drequireenddate", "2024-06-30"}});
  Expect("BodyCheck 2 imqty", co.BodyCheck(form, r, "imqty"));
  const std::string id = CheckAndSaveNew(co, form);
  Require(id == code, std::string("the save gave the key ") + Quoted(id) + ", not the code " + Quoted(code));
  Reload(co, form, id);
  Require(RowsetEditor(form->BodyDOM()).RowCount() == 2, "the forecast did not keep its two lines");

  const std::string forecast = "预测单[" + id + "]";
  Expect("VoucherConfirm", co.VoucherConfirm(form), forecast + "审核成功！");
  Reload(co, form, id);
  Expect("VoucherClose", co.VoucherClose(form), forecast + "关闭成功！");
  Reload(co, form, id);
  Expect("VoucherOpen", co.VoucherOpen(form), forecast + "打开成功！");
  Reload(co, form, id);

  // Its lines on the list screen, every row (page size 0), with their total.
  // The condition follows the list view's name as it is: it starts with a blank.
  auto columns = std::make_shared<EmbeddedColumnSet>("cfcid,cinvcode,imqty,drequiredate", "sum(imqty) AS imqty",
                                                     "cfcid,autoid");
  VchListPage page = co.GetVchListPage(columns, " WHERE cfcid='" + id + "'");
  std::cout << "GetVchListPage (all rows) => " << (page.bOk ? "true" : "false") << ", " << page.nRecordCount
            << " rows\n";
  Require(page.bOk && page.nRecordCount == 2, "the list failed: " + page.strErrMsg);
  PrintRows("row", page.rstRetList);
  PrintRows("totals", page.rstRetSum);
  std::cout << "done: forecast " << code << " saved, approved, closed and reopened\n";
}

}  // namespace

int main(int argc, char** argv) { return example::RunExample(argc, argv, Run); }
