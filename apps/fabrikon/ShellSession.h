// ShellSession: the state of one `fabrikon shell` session (the database
// connection, one façade, one voucher form and the login) and the commands
// that drive them. Each command prints its answer through ShellOutput.
#pragma once
#include <functional>
#include <map>
#include <string>

#include "ShellLine.h"
#include "ShellMessageBoxes.h"
#include "ShellOutput.h"
#include "fabrikon/Connection.h"
#include "fabrikon/clsRefLink.h"
#include "fabrikon/clsVoucherCO.h"
#include "fabrikon/host/EmbeddedColumnSet.h"
#include "fabrikon/host/EmbeddedFilterService.h"
#include "fabrikon/host/EmbeddedRefWindow.h"
#include "fabrikon/host/LoginInfo.h"
#include "fabrikon/host/VoucherForm.h"

namespace fabrikon::cli {

class ShellSession {
 public:
  ShellSession(std::string connectionString, LoginInfoPtr login, ShellOutput& out);
  ~ShellSession();
  ShellSession(const ShellSession&) = delete;
  ShellSession& operator=(const ShellSession&) = delete;

  // Runs one command line; false when the line asks to end the session.
  bool Run(const ShellLine& line);
  void PrintHelp();

 private:
  struct Command {
    std::string usage;
    std::function<void(const ShellLine&)> run;
    int maxArgs = -1;  // more arguments are refused; -1: any number
  };
  void Register(const std::string& name, const std::string& usage, std::function<void(const ShellLine&)> run,
                int maxArgs = -1);
  void RegisterVoucherKind();
  void RegisterLoading();
  void RegisterDocuments();
  void RegisterNumbering();
  void RegisterBusiness();
  void RegisterSaving();
  void RegisterDatabase();
  void RegisterLists();       // ShellListCommands.cpp
  void RegisterReferences();  // ShellListCommands.cpp
  void RegisterOutsourcing();
  void PrintMessageBoxes();

  void PrintRows(const DOMDocumentPtr& document, const std::vector<std::string>& args);
  void PrintRecordset(const RecordsetPtr& rs);
  // names: what to call the fields (default: their own names).
  void PrintRecordRows(const RecordsetPtr& rs, const std::vector<std::string>& names = {});
  void PrintList(const RecordsetPtr& list, const RecordsetPtr& sum);
  void PrintReturn(const DOMDocumentPtr& domReturn);
  void ClearBody();
  ConnectionPtr OtherConnection();

  std::string connectionString_;
  LoginInfoPtr login_;
  ShellOutput& out_;
  ConnectionPtr conn_;
  ConnectionPtr other_;
  clsVoucherCO co_;
  VoucherFormPtr form_;
  std::map<std::string, Command> commands_;
  bool initialised_ = false;  // init CARD ran: the façade has its card, login and connection
  // List screens, the filter window and the reference link.
  std::shared_ptr<EmbeddedColumnSet> columns_;
  std::shared_ptr<EmbeddedFilterService> filter_;
  std::shared_ptr<clsRefLink> refLink_;
  std::shared_ptr<EmbeddedRefWindow> window_;
  std::function<void(EmbeddedRefWindow&)> refChoice_;
  long windows_ = 0;
  std::shared_ptr<ShellMessageBoxes> messageBoxes_ = std::make_shared<ShellMessageBoxes>();
};

}  // namespace fabrikon::cli
