// dispatch_order.cpp: a dispatch order (card pp13) for a production order
// line of the demo plant, and a progress completion report (card pp14) on
// its dispatch card, through clsVoucherCO: both new, numbered, checked
// (the checks hand back computed values, which the program takes into the
// line as a voucher screen does), saved and approved; the report then keeps
// the dispatch order from losing its approval, and the order is closed.
//
//   fabrikon init-db plant.db --demo && ./dispatch_order plant.db
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

std::string Value(const DOMDocumentPtr& document, long r, const std::string& name) {
  return RowsetEditor(document).Value(r, name).ToText();
}

// A field check of line r; the values it hands back in domReturn (the
// dispatch card's total time, the report's failed quantity) go into the
// line, as a voucher screen takes them over.
void CheckLineField(clsVoucherCO& co, const VoucherFormPtr& form, long r, const std::string& item) {
  DOMDocumentPtr domReturn = DOMDocument::Create();
  Expect(std::string("BodyCheck ") + std::to_string(r) + " " + item, co.BodyCheck(form, r, item, domReturn, false));
  XmlAttributes attributes = domReturn->selectSingleNode("//z:row").attributes();
  for (long i = 0; i < attributes.length(); ++i) {
    std::cout << "  domReturn: " << attributes.item(i).nodeName() << "=" << Quoted(attributes.item(i).nodeValue())
              << "\n";
  }
  RowsetEditor(form->BodyDOM()).ApplyReturn(r, domReturn);
}

// VoucherNew, a real number into the code field, and an empty body.
std::string NewVoucher(clsVoucherCO& co, const VoucherFormPtr& form, const std::string& codeField) {
  Expect("VoucherNew", co.VoucherNew(form));
  RowsetEditor(form->BodyDOM()).Clear();
  std::string errMsg;
  const std::string code = co.GetVoucherNO(form, errMsg, /*bGetRealNo*/ true);
  std::cout << "GetVoucherNO => " << Quoted(code) << "\n";
  Require(!code.empty() && errMsg.empty(), "GetVoucherNO gave no number: " + errMsg);
  RowsetEditor(form->HeadDOM()).SetHead({{codeField, code}});
  return code;
}

// Both save-mode checks, the save of a new voucher, and loading it back.
std::string SaveNew(clsVoucherCO& co, const VoucherFormPtr& form) {
  const std::string id = CheckAndSaveNew(co, form);
  co.GetVoucherData(form, "", Variant(id));
  return id;
}

void Run(const std::string& database) {
  ConnectionPtr conn = OpenConnection("Data Source=" + database);

  // The dispatch order: fifteen chairs of production order line 3 (order
  // SC000002), assembled (operation GX40) at work centre WC01.
  clsVoucherCO dispatch;
  InitCard(dispatch, conn, "pp13");
  VoucherFormPtr order = std::make_shared<EmbeddedVoucherForm>();
  const std::string orderCode = NewVoucher(dispatch, order, "mocode");
  RowsetEditor(order->HeadDOM())
      .SetHead({{"mainid", "3"}, {"cdepcode", "D01"}, {"wccode", "WC01"}, {"opcode", "GX40"}});
  const long r = RowsetEditor(order->BodyDOM())
                     .AddLine({{"cinvcode", "P100"}, {"cfree1", "黑"}, {"imqty", "15"}, {"opcode", "GX40"},
                               {"opname", "装配"}, {"wccode", "WC01"}, {"wcname", "装配中心"}, {"cindex", "010"},
                               {"timeunit", "小时"}, {"num", "15"}, {"batchnum", "4"}, {"standtime", "0.5"},
                               {"startdate", "2024-03-12"}, {"enddate", "2024-03-15"},
                               {"drequiredate", "2024-03-12"}, {"drequireenddate", "2024-03-16"}});
  Expect("BodyCheck 1 cindex (typed 010)", dispatch.BodyCheck(order, r, "cindex"),
         "表体：第1行[cindex]的长度必须等于4，请检查！\r");
  RowsetEditor(order->BodyDOM()).SetLine(r, {{"cindex", "0010"}});
  CheckLineField(dispatch, order, r, "cindex");
  CheckLineField(dispatch, order, r, "batchnum");  // 15 in batches of 4: 4 batches of 0.5 hours
  const std::string moid = SaveNew(dispatch, order);
  const std::string card = Value(order->BodyDOM(), 1, "mosubid");
  std::cout << "  dispatch card: mosubid=" << Quoted(card) << " totaltime=" << Quoted(Value(order->BodyDOM(), 1, "totaltime"))
            << "\n";
  Require(Value(order->HeadDOM(), 1, "moid") == moid && !card.empty(), "the dispatch order did not load back");
  const std::string cards = "派工单[" + card + "]";
  Expect("VoucherConfirm", dispatch.VoucherConfirm(order), cards + "审核成功！");
  dispatch.Refresh(order);

  // The progress completion report on that card: all fifteen done, 7.5 hours.
  clsVoucherCO report;
  InitCard(report, conn, "pp14");
  VoucherFormPtr done = std::make_shared<EmbeddedVoucherForm>();
  const std::string reportCode = NewVoucher(report, done, "rptcode");
  RowsetEditor(done->HeadDOM()).SetHead({{"cdepcode", "D01"}});
  const long line = RowsetEditor(done->BodyDOM())
                        .AddLine({{"mosubid", card}, {"cinvcode", "P100"}, {"cfree1", "黑"}, {"finnum", "15"},
                                  {"finoknum", "14"}, {"manhrs", "7.5"}, {"realstartdate", "2024-03-12"},
                                  {"realenddate", "2024-03-15"}, {"operator", "CZ02"}});
  CheckLineField(report, done, line, "finoknum");  // hands back the failed quantity, 15 - 14
  SaveNew(report, done);
  std::cout << "  report line: finnum=" << Quoted(Value(done->BodyDOM(), 1, "finnum"))
            << " finoknum=" << Quoted(Value(done->BodyDOM(), 1, "finoknum"))
            << " finfailnum=" << Quoted(Value(done->BodyDOM(), 1, "finfailnum")) << "\n";
  Expect("VoucherConfirm", report.VoucherConfirm(done), "进度完工汇报单[" + reportCode + "]审核成功！");

  // The reported card keeps the dispatch order approved; it can be closed.
  Expect("VoucherCancelconfirm (pp13)", dispatch.VoucherCancelconfirm(order), cards + "已经做进度汇报，弃审失败！");
  Expect("VoucherClose (pp13)", dispatch.VoucherClose(order), cards + "关闭成功！");
  std::cout << "done: dispatch order " << orderCode << " approved, reported by " << reportCode << " and closed\n";
}

}  // namespace

int main(int argc, char** argv) { return example::RunExample(argc, argv, Run); }
