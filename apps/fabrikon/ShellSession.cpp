// The commands of `fabrikon shell` (see ShellCommand.cpp for the input and
// output contract). Each command calls one operation of the façade, or edits
// the voucher form's documents the way the host's screen would, and prints
// the answer; an error that reaches the host is printed and the session goes on.
#include "ShellSession.h"

#include <set>
#include <stdexcept>

#include "data/PgConnection.h"
#include "fabrikon/ComError.h"
#include "fabrikon/RowsetEditor.h"
#include "fabrikon/host/EmbeddedVoucherForm.h"

namespace fabrikon::cli {
namespace {

// A whole number in [low, high]; anything else is a usage error naming what.
long WholeNumber(const std::string& text, const std::string& what, long low, long high) {
  size_t used = 0;
  long value = 0;
  try {
    value = std::stol(text, &used);
  } catch (const std::logic_error&) {
    used = 0;
  }
  if (used == 0 || used != text.size() || value < low || value > high) {
    throw std::invalid_argument("not " + what + ": " + text);
  }
  return value;
}

long LineNumber(const std::string& text) { return WholeNumber(text, "a line number", 1, 2147483647L); }

int16_t SaveState(const std::string& text) {
  return static_cast<int16_t>(WholeNumber(text, "a state (2 new, 1 edited)", -32768, 32767));
}

// Runs a document edit; a line or head row that is not there is the user's
// mistake, answered as a usage error.
template <class Edit>
void EditForm(Edit&& edit) {
  try {
    edit();
  } catch (const ComError& e) {
    if (e.Number() != ErrorNumber::InvalidArgument) throw;
    throw std::out_of_range(e.Description());
  }
}

std::string Require(const ShellLine& line, size_t index, const std::string& what) {
  std::vector<std::string> args = line.Args();
  if (index >= args.size()) throw std::invalid_argument(line.Command() + " needs " + what);
  return args[index];
}

// What works before init: the form's documents, plain SQL, the column set,
// the filter and reference-window stand-ins, the explosion preview, message-box
// answers, the navigation flags and the write-backs (which take the session's
// connection). Every other command asks the façade about its card.
bool WorksBeforeInit(const std::string& command) {
  static const std::set<std::string> kCommands = {
      "init",      "head",      "body",          "set-head", "set-line", "add-line",   "delete-line",
      "sql",       "other-sql", "query",         "columns",  "filter-preset", "ref-report", "ref-choose",
      "ref-open",  "explode",   "msgbox",        "bof",      "eof",      "writeback-m", "writeback-a"};
  return kCommands.count(command) != 0;
}

std::string RequireRest(const ShellLine& line, const std::string& what) {
  std::string rest = line.Rest();
  if (rest.empty()) throw std::invalid_argument(line.Command() + " needs " + what);
  return rest;
}

}  // namespace

ShellSession::ShellSession(std::string connectionString, LoginInfoPtr login, ShellOutput& out)
    : connectionString_(std::move(connectionString)),
      login_(std::move(login)),
      out_(out),
      conn_(OpenConnection(connectionString_)),
      form_(std::make_shared<EmbeddedVoucherForm>()) {
  RegisterVoucherKind();
  RegisterLoading();
  RegisterDocuments();
  RegisterNumbering();
  RegisterBusiness();
  RegisterSaving();
  RegisterDatabase();
  RegisterLists();
  RegisterReferences();
  RegisterOutsourcing();
  MessageBox::SetHandler(messageBoxes_);
}

bool ShellSession::Run(const ShellLine& line) {
  if (line.Command() == "quit" || line.Command() == "exit") return false;
  if (line.Command() == "help") {
    PrintHelp();
    return true;
  }
  auto command = commands_.find(line.Command());
  if (command == commands_.end()) {
    out_.Usage("unknown command: " + line.Command() + " (help lists the commands)");
    return true;
  }
  if (!initialised_ && !WorksBeforeInit(line.Command())) {
    out_.Usage("run init CARD first");
    return true;
  }
  try {
    const int most = command->second.maxArgs;
    if (most >= 0 && line.Args().size() > static_cast<size_t>(most)) {
      throw std::invalid_argument(line.Command() + ": too many arguments (usage: " + command->second.usage + ")");
    }
    command->second.run(line);
  } catch (const ComError& e) {
    out_.Error(e.Number(), e.Description());
  } catch (const std::invalid_argument& e) {
    out_.Usage(e.what());
  } catch (const std::out_of_range& e) {
    out_.Usage(e.what());
  } catch (const std::exception& e) {
    out_.Error(ErrorNumber::E_FAIL_, e.what());
  }
  PrintMessageBoxes();
  return true;
}

void ShellSession::PrintHelp() {
  for (const auto& [name, command] : commands_) out_.Item(command.usage);
  out_.Item("help | quit | exit");
}

void ShellSession::Register(const std::string& name, const std::string& usage,
                            std::function<void(const ShellLine&)> run, int maxArgs) {
  commands_[name] = Command{usage, std::move(run), maxArgs};
}

// --- The voucher kind ----------------------------------------------------------

void ShellSession::RegisterVoucherKind() {
  Register("init", "init CARD", [this](const ShellLine& line) {
    const std::string card = Require(line, 0, "a card number");
    out_.ResultBool(co_.Init(login_, conn_, card));
    initialised_ = true;
    out_.OutText("class", co_.BusinessClassName());
    if (co_.BusinessClassName().empty()) {
      out_.OutText("note", "no business object for " + card +
                               ": only the engine's operations (params, loading, numbering, saving, deleting, "
                               "lists) work; new, the checks and the workflow answer !! 0x0000005B");
    }
  }, 1);
  Register("params", "params", [this](const ShellLine&) {
    VoucherParameters p;
    out_.ResultBool(co_.GetVoucherParameter(p));
    out_.OutText("strTableNameMain", p.strTableNameMain);
    out_.OutText("strTableNameSub", p.strTableNameSub);
    out_.OutText("strViewNameMain", p.strViewNameMain);
    out_.OutText("strViewNameSub", p.strViewNameSub);
    out_.OutText("strViewNameList", p.strViewNameList);
    out_.OutText("strFieldNameMainID", p.strFieldNameMainID);
    out_.OutText("strFieldNameSubID", p.strFieldNameSubID);
    out_.OutText("strFieldNameCode", p.strFieldNameCode);
  }, 0);
  Register("default-vtid", "default-vtid", [this](const ShellLine&) { out_.ResultText(co_.GetDefaultVTID()); }, 0);
  Register("default-vtid-prn", "default-vtid-prn",
           [this](const ShellLine&) { out_.ResultText(co_.GetDefaultVTIDPRN()); }, 0);
  Register("format", "format VTID", [this](const ShellLine& line) {
    PrintRecordset(co_.GetVoucherFormat(Require(line, 0, "a template ID")));
  }, 1);
  Register("fixed", "fixed VTID", [this](const ShellLine& line) {
    PrintRecordset(co_.GetVoucherFixed(Require(line, 0, "a template ID")));
  }, 1);
}

// --- Loading and moving -----------------------------------------------------------

void ShellSession::RegisterLoading() {
  Register("load", "load [ID]", [this](const ShellLine& line) {
    std::vector<std::string> args = line.Args();
    std::optional<Variant> id;
    if (!args.empty()) id = Variant(args[0]);
    out_.ResultText(co_.GetVoucherData(form_, "", id).ToText());
  }, 1);
  Register("load-where", "load-where CONDITION", [this](const ShellLine& line) {
    out_.ResultText(co_.GetVoucherData(form_, RequireRest(line, "a condition")).ToText());
  });
  Register("locate", "locate CONDITION", [this](const ShellLine& line) {
    out_.ResultText(co_.GetVoucherData(form_, "", std::nullopt, RequireRest(line, "a condition")).ToText());
  });
  Register("first", "first", [this](const ShellLine&) { out_.ResultText(co_.MoveFirst(form_).ToText()); }, 0);
  Register("previous", "previous", [this](const ShellLine&) { out_.ResultText(co_.MovePrevious(form_).ToText()); }, 0);
  Register("next", "next", [this](const ShellLine&) { out_.ResultText(co_.MoveNext(form_).ToText()); }, 0);
  Register("last", "last", [this](const ShellLine&) { out_.ResultText(co_.MoveLast(form_).ToText()); }, 0);
  Register("refresh", "refresh", [this](const ShellLine&) { out_.ResultText(co_.Refresh(form_).ToText()); }, 0);
  Register("bof", "bof", [this](const ShellLine&) { out_.ResultBool(co_.Bof()); }, 0);
  Register("eof", "eof", [this](const ShellLine&) { out_.ResultBool(co_.Eof()); }, 0);
}

// --- The voucher form's documents ----------------------------------------------------

void ShellSession::RegisterDocuments() {
  Register("head", "head [xml | FIELD ...]",
           [this](const ShellLine& line) { PrintRows(form_->HeadDOM(), line.Args()); });
  Register("body", "body [xml | FIELD ...]",
           [this](const ShellLine& line) { PrintRows(form_->BodyDOM(), line.Args()); });
  Register("set-head", "set-head NAME=VALUE ...", [this](const ShellLine& line) {
    EditForm([&] { RowsetEditor(form_->HeadDOM()).SetHead(line.Assignments(0)); });
    out_.ResultText("");
  });
  Register("set-line", "set-line R NAME=VALUE ...", [this](const ShellLine& line) {
    long r = LineNumber(Require(line, 0, "a line number"));
    EditForm([&] { RowsetEditor(form_->BodyDOM()).SetLine(r, line.Assignments(1)); });
    out_.ResultText("");
  });
  Register("add-line", "add-line NAME=VALUE ...", [this](const ShellLine& line) {
    long r = 0;
    EditForm([&] { r = RowsetEditor(form_->BodyDOM()).AddLine(line.Assignments(0)); });
    out_.ResultText("");
    out_.OutText("R", std::to_string(r));
  });
  Register("delete-line", "delete-line R", [this](const ShellLine& line) {
    long r = LineNumber(Require(line, 0, "a line number"));
    EditForm([&] { RowsetEditor(form_->BodyDOM()).DeleteLine(r); });
    out_.ResultText("");
  }, 1);
}

// head/body: the rows one per line, "xml": the whole document, FIELD ...:
// only those attributes of each row.
void ShellSession::PrintRows(const DOMDocumentPtr& document, const std::vector<std::string>& args) {
  if (!args.empty() && args[0] == "xml") {
    out_.ResultText(document ? document->xml() : "");
    return;
  }
  XmlNodeList rows = document ? document->selectNodes("//z:row") : XmlNodeList();
  out_.ResultCount(rows.length());
  for (const XmlNode& row : rows) {
    if (args.empty()) {
      out_.Item(row.xml());
      continue;
    }
    std::string fields;
    for (const std::string& name : args) {
      Variant value = row.getAttribute(name);
      if (!value.IsNull()) fields += (fields.empty() ? "" : " ") + name + "=" + ShellOutput::Quote(value.ToText());
    }
    out_.Item(fields);
  }
}

// --- Numbering ------------------------------------------------------------------------

void ShellSession::RegisterNumbering() {
  Register("number-type", "number-type", [this](const ShellLine&) {
    DOMDocumentPtr format;
    std::string noType;
    out_.ResultText(co_.GetVoucherNOType(format, noType));
    out_.OutText("strNoType", noType);
  }, 0);
  Register("number", "number [real]", [this](const ShellLine& line) {
    std::vector<std::string> args = line.Args();
    if (!args.empty() && args[0] != "real") throw std::invalid_argument("number takes only the word real");
    std::string errMsg;
    out_.ResultText(co_.GetVoucherNO(form_, errMsg, !args.empty()));
    out_.OutText("strErrMsg", errMsg);
  }, 1);
}

// --- Operations of the business objects ------------------------------------------------

void ShellSession::RegisterBusiness() {
  // A new voucher starts with an empty body, as on the voucher screen: the
  // lines of the voucher shown before must not be saved again with it.
  Register("new", "new", [this](const ShellLine&) {
    std::string answer = co_.VoucherNew(form_);
    if (answer.empty()) ClearBody();
    out_.ResultText(answer);
  }, 0);
  Register("allow-new", "allow-new", [this](const ShellLine&) { out_.ResultText(co_.VoucherAllowNew(form_)); }, 0);
  Register("allow-edit", "allow-edit", [this](const ShellLine&) { out_.ResultText(co_.VoucherAllowEdit(form_)); }, 0);
  Register("allow-delete", "allow-delete",
           [this](const ShellLine&) { out_.ResultText(co_.VoucherAllowDelete(form_)); }, 0);
  Register("head-check", "head-check [ITEM]  (no ITEM: save mode)", [this](const ShellLine& line) {
    std::vector<std::string> args = line.Args();
    DOMDocumentPtr domReturn = DOMDocument::Create();
    out_.ResultText(co_.HeadCheck(form_, args.empty() ? "" : args[0], domReturn, args.empty()));
    PrintReturn(domReturn);
  }, 1);
  Register("body-check", "body-check R [ITEM]  (no ITEM: save mode)", [this](const ShellLine& line) {
    std::vector<std::string> args = line.Args();
    long r = LineNumber(Require(line, 0, "a line number"));
    DOMDocumentPtr domReturn = DOMDocument::Create();
    out_.ResultText(co_.BodyCheck(form_, r, args.size() < 2 ? "" : args[1], domReturn, args.size() < 2));
    PrintReturn(domReturn);
  }, 2);
  Register("close", "close", [this](const ShellLine&) { out_.ResultText(co_.VoucherClose(form_)); }, 0);
  Register("open", "open", [this](const ShellLine&) { out_.ResultText(co_.VoucherOpen(form_)); }, 0);
  Register("confirm", "confirm", [this](const ShellLine&) { out_.ResultText(co_.VoucherConfirm(form_)); }, 0);
  Register("cancel-confirm", "cancel-confirm",
           [this](const ShellLine&) { out_.ResultText(co_.VoucherCancelconfirm(form_)); }, 0);
}

void ShellSession::ClearBody() { RowsetEditor(form_->BodyDOM()).Clear(); }

void ShellSession::PrintReturn(const DOMDocumentPtr& domReturn) {
  // A voucher screen passes an empty document; print it only when the
  // business object put something into it.
  if (domReturn && !domReturn->documentElement().IsNothing()) out_.OutText("domReturn", domReturn->xml());
}

// --- Saving and deleting ----------------------------------------------------------------

void ShellSession::RegisterSaving() {
  Register("save1", "save1 STATE  (2 new, 1 edited)", [this](const ShellLine& line) {
    out_.ResultText(co_.VoucherSave1(form_, SaveState(Require(line, 0, "a state"))));
  }, 1);
  Register("save2", "save2 STATE  (2 new, 1 edited)", [this](const ShellLine& line) {
    Variant curId;
    out_.ResultText(co_.VoucherSave2(form_, SaveState(Require(line, 0, "a state")), curId));
    out_.OutText("varCurID", curId.ToText());
  }, 1);
  Register("delete", "delete", [this](const ShellLine&) { out_.ResultText(co_.VoucherDelete(form_)); }, 0);
  Register("writeback-m", "writeback-m", [this](const ShellLine&) {
    out_.ResultText(co_.DoWriteBackVoucherM(form_->HeadDOM(), form_->BodyDOM(), conn_));
  }, 0);
  Register("writeback-a", "writeback-a", [this](const ShellLine&) {
    out_.ResultText(co_.DoWriteBackVoucherA(form_->HeadDOM(), form_->BodyDOM(), conn_));
  }, 0);
}

// --- Plain SQL, on the session's connection or on a second one ------------------------------

void ShellSession::RegisterDatabase() {
  Register("sql", "sql T-SQL", [this](const ShellLine& line) {
    long affected = 0;
    conn_->Execute(RequireRest(line, "T-SQL text"), affected);
    out_.ResultCount(affected);
  });
  Register("other-sql", "other-sql T-SQL  (on a second connection, as another user)", [this](const ShellLine& line) {
    long affected = 0;
    OtherConnection()->Execute(RequireRest(line, "T-SQL text"), affected);
    out_.ResultCount(affected);
  });
  Register("query", "query T-SQL", [this](const ShellLine& line) {
    PrintRecordset(conn_->Open(RequireRest(line, "T-SQL text"), adOpenStatic, adLockReadOnly, adUseClient));
  });
}

// The second connection: the same database under a connection string of its
// own, so that host services looking for the session's connection never pick it.
ConnectionPtr ShellSession::OtherConnection() {
  if (!other_) {
    // A second session of its own: the name makes the string differ from the first one's.
    const bool uri = PgConnection::IsPgConnectionString(connectionString_);
    other_ = OpenConnection(connectionString_ + (!uri ? ";Application Name=fabrikon shell (other)"
                                                 : connectionString_.find('?') == std::string::npos
                                                     ? "?application_name=fabrikon%20shell%20(other)"
                                                     : "&application_name=fabrikon%20shell%20(other)"));
  }
  return other_;
}

void ShellSession::PrintRecordset(const RecordsetPtr& rs) {
  if (!rs) {
    out_.ResultCount(0);
    return;
  }
  out_.ResultCount(rs->RecordCount());
  PrintRecordRows(rs);
}

// The rows, each as NAME="value" pairs (NULL unquoted).
void ShellSession::PrintRecordRows(const RecordsetPtr& rs, const std::vector<std::string>& names) {
  if (!rs || rs->RecordCount() == 0) return;
  for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
    std::string fields;
    for (size_t i = 0; i < rs->FieldCount(); ++i) {
      const Variant& value = rs->Fields(i).Value();
      fields += (i ? " " : "") + (i < names.size() ? names[i] : rs->Fields(i).Name()) + "=" + (value.IsNull() ? "NULL" : ShellOutput::Quote(value.ToText()));
    }
    out_.Item(fields);
  }
}

}  // namespace fabrikon::cli
