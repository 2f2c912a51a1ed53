// Outsourcing orders as the order screen hands them to the façade, for the
// tests that run several clients on one PostgreSQL database: a new order
// under a code that is already taken (every save renumbers it), an order
// loaded for an operation, and the answers written on one line.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "fabrikon/Connection.h"
#include "fabrikon/clsVoucherCO.h"
#include "fabrikon/host/EmbeddedLoginInfo.h"
#include "fabrikon/host/EmbeddedVoucherForm.h"
#include "fabrikon/host/MessageBox.h"
#include "fabrikon/modVoucher.h"

namespace fabrikon::testsupport {

// The demo's entered order WW000002: its code is taken, so a new order
// saved under it is given the next free number.
inline constexpr const char* kTakenCode = "WW000002";
// The demo's frame and wheel: 2 and 3 materials a line.
inline const std::vector<std::string> kDemoProducts = {"S210", "S220"};
inline constexpr int kDemoMaterials = 5;

inline LoginInfoPtr OperatorLogin(const std::string& userId) {
  return std::make_shared<EmbeddedLoginInfo>(DateTime{2024, 3, 10}, "操作员" + userId, userId);
}

// A new order of one line per product (5 of each).
inline VoucherFormPtr NewOrderForm(const std::vector<std::string>& products, const std::string& code = kTakenCode) {
  auto form = std::make_shared<EmbeddedVoucherForm>();
  form->HeadDOM()->loadXML("<xml><rs:data><z:row ccode=\"" + code +
                           "\" ddate=\"2024-03-10\" dplandate=\"2024-03-20\" cvencode=\"V001\" cdepcode=\"D03\"/>"
                           "</rs:data></xml>");
  std::string lines;
  for (const std::string& product : products) {
    lines += "<z:row cinvcode=\"" + product +
             "\" fquantity=\"5\" dstartdate=\"2024-03-11\" denddate=\"2024-03-20\" editprop=\"A\"/>";
  }
  form->BodyDOM()->loadXML("<xml><rs:data>" + lines + "</rs:data></xml>");
  return form;
}

// Order `id` as the screen shows it after loading.
inline VoucherFormPtr LoadedOrder(clsVoucherCO& co, int id) {
  auto form = std::make_shared<EmbeddedVoucherForm>();
  co.GetVoucherData(form, "", Variant(id));
  return form;
}

// A text on one line: carriage returns and line feeds written as \r and \n.
inline std::string OneLine(const std::string& text) {
  std::string line;
  for (char c : text) {
    if (c == '\r') line += "\\r";
    else if (c == '\n') line += "\\n";
    else line += c;
  }
  return line;
}

// Answers every question Yes (closing an order not fully received asks).
class YesToEverything : public MessageBoxHandler {
 public:
  bool AskYesNo(const std::string&, const std::string&) override { return true; }
  void ShowError(const std::string&, const std::string&) override {}
};

}  // namespace fabrikon::testsupport
