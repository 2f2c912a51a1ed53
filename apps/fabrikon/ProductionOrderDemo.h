// ProductionOrderDemo: the walk `fabrikon demo` takes through the library.
// One production order of the demo plant goes through its whole life by way
// of the voucher service façade, exactly as a host's screens would drive it:
// a new order with its defaults, the checks while typing and before saving,
// the save that explodes the bills of materials into the material list,
// loading it back, one component line edited on the material-list card, then
// approval, closing, reopening, cancelling approval and deletion. Each call
// and the library's answer are printed.
#pragma once
#include <string>
#include <vector>

#include "DemoOutput.h"
#include "fabrikon/Connection.h"
#include "fabrikon/clsVoucherCO.h"
#include "fabrikon/host/LoginInfo.h"
#include "fabrikon/host/VoucherForm.h"

namespace fabrikon::cli {

class ProductionOrderDemo {
 public:
  ProductionOrderDemo(ConnectionPtr conn, LoginInfoPtr login, DemoOutput& out);

  // Runs every step; errors that reach the host propagate as ComError.
  void Run();

 private:
  void NewOrder();
  void FieldChecks();
  void SaveModeChecks();
  void Save();
  void LoadBack();
  void EditComponentLine();
  void TypePerUnit(clsVoucherCO& materials, const VoucherFormPtr& form);
  void Approve();
  void Close();
  void Reopen();
  void CancelApproval();
  void Delete();

  // Loads the saved order again, as the host does after every change.
  void Reload();
  void ShowState();
  void ShowLines(bool saved);
  void ShowMaterialList();
  void ShowComponents(const VoucherFormPtr& form);
  std::string Head(const std::string& name) const;
  std::string Query(const std::string& sql) const;
  // The order's line keys; closing and reopening list the order's key once per line.
  std::string RepeatedOrderKey() const;

  ConnectionPtr conn_;
  LoginInfoPtr login_;
  DemoOutput& out_;
  clsVoucherCO co_;
  VoucherFormPtr form_;
  std::string id_;    // the saved order's key
  std::string code_;  // its number
  std::vector<std::string> lineKeys_;
};

}  // namespace fabrikon::cli
