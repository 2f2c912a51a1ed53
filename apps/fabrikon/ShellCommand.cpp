// fabrikon shell DB [--user ID] [--name NAME] [--date YYYY-MM-DD]
//
// Drives the voucher service façade from standard input, one command a line,
// with one façade and one voucher form for the whole session: how a person
// tries the library without writing C++, and how end-to-end tests drive it.
//
// Input
//   - One command per line; blank lines are skipped; a line starting with #
//     is a comment.
//   - Arguments are separated by blanks. Double quotes group blanks into one
//     argument, also inside NAME=VALUE (ccode="A 1"); inside quotes \" is a
//     double quote and \\ a backslash. `load ""` passes the empty text.
//   - load-where, locate, sql, other-sql and query take the rest of the line
//     as their text (SQL single quotes as usual); a rest that is one double-
//     quoted string loses its quotes.
//   - Lines are numbered from 1 in document order (the R of BodyCheck).
//
// Output (a contract: scripts and tests read it)
//   - When standard input is not a terminal, each command is echoed first as
//     "> " + the command line, and comment lines are copied as they are.
//   - Every command (help and quit aside) prints exactly one answer line:
//       => "text"      a string result, in double quotes, with carriage
//                      return written \r, line feed \n, double quote \" and
//                      backslash \\ (also the Empty variant of load and the
//                      moves, and "" for the document edits)
//       => true|false  a boolean result
//       => N           a number of rows (head, body, format, fixed, query) or
//                      a records-affected count (sql, other-sql)
//       !! 0x%08X description
//                      an error that reached the host (HRESULT-style number,
//                      e.g. 0x0000005B for a missing business object, 0x000001B6
//                      (438) for an operation the business object lacks);
//                      the session goes on
//       ?? message     the shell did not understand the command (unknown
//                      command, missing, extra or bad argument; "?? run
//                      init CARD first" for a command that asks the façade
//                      about its card before init); nothing was called
//   - Out-parameters follow the answer, one a line, as NAME: "value" (or
//     NAME: true|false): params gives the eight parameter names, number
//     strErrMsg, number-type strNoType, save2 varCurID, head-check and
//     body-check domReturn (only when the business object returned one),
//     add-line R; init adds class: the business object's class ("" for none)
//     and, for a card without one, a note: "…" line saying what still works.
//     head-check and body-check pass a fresh, empty domReturn, as a voucher
//     screen does, and print domReturn: "<xml>" when rows were put into it.
//   - Each message box shown during a command follows its answer (and its
//     out-parameters) as msgbox: "TEXT", in the order shown.
//   - explode prints the selected BOM row ids as its answer, then one line
//     per selected material: cPScode="…" fQuantity="…" fQuantityNoWaste="…"
//     iPSQuantity="…" iWasteRate="…" cDepCode="…" cWhCode="…" and cFree1="…"
//     … cFree10="…" for the free items that are set; numbers in their
//     default text form (at most 15 significant digits).
//   - Rows follow an "=> N" answer, one a line, indented by two blanks:
//     head/body print each z:row element as XML (or only the named fields as
//     NAME="value"); format, fixed and query print NAME="value" pairs with NULL
//     written NULL.
//
// Commands: help prints them. The voucher kind: init CARD, params,
// default-vtid, default-vtid-prn, format VTID, fixed VTID. Loading: load [ID],
// load-where CONDITION, locate CONDITION, first, previous, next, last,
// refresh, bof, eof. The form: head [xml | FIELD ...], body [xml | FIELD ...],
// set-head NAME=VALUE ..., set-line R NAME=VALUE ... (marks the line "M"
// unless it is "A"), add-line NAME=VALUE ... (a new line marked "A"),
// delete-line R (marks it "D"; a line added in this session is removed).
// Numbering: number-type, number [real]. Business objects: new (the body
// starts empty, as on the voucher screen), allow-new,
// allow-edit, allow-delete, head-check [ITEM], body-check R [ITEM] (no ITEM:
// save mode), close, open, confirm, cancel-confirm. Saving: save1 STATE,
// save2 STATE, delete, writeback-m, writeback-a. Database: sql T-SQL and
// query T-SQL on the session's connection, other-sql T-SQL on a second
// connection (another user changing the database under the session).
// Lists and references (ShellListCommands.cpp): columns, list, list-page,
// filter-preset, filter, ref-report, ref-choose, ref-open; list answers
// => true|false with strErrMsg, nRecordCount (list-page also nPageCount),
// then "list: N" and "sum: N", each followed by its rows as query prints them.
// Outsourcing: explode MAINID [SOCODE] (the explosion of one product line),
// msgbox yes|no (the answer of later Yes/No message boxes; no until set).
// quit or exit (or the end of input) ends the session with status 0; bad
// options exit 2 (usage errors), --help exits 0.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <iostream>

#include "Command.h"
#include "DatabaseArgument.h"
#include "ShellLine.h"
#include "ShellOutput.h"
#include "ShellSession.h"
#include "fabrikon/ComError.h"
#include "fabrikon/host/EmbeddedLoginInfo.h"

namespace fabrikon::cli {
namespace {

struct ShellOptions {
  std::string database;
  std::string userId = "demo";
  std::string userName = "演示用户";
  std::string date;  // "" = today
};

// The arguments and options, for CLI11 and for --help.
const OptionHelp kDbHelp{"DB", "embedded database file (fabrikon init-db creates one), \"Data Source=FILE[;Mode=Read]\", "
                               "ODBC connection string or postgresql:// URI"};
const OptionHelp kUserHelp{"--user ID", "login user ID (default demo)"};
const OptionHelp kNameHelp{"--name NAME", "login user name (default 演示用户)"};
const OptionHelp kDateHelp{"--date YYYY-MM-DD", "login date (default: today)"};

LoginInfoPtr MakeLogin(const ShellOptions& options) {
  if (options.date.empty()) return EmbeddedLoginInfo::Today(options.userName, options.userId);
  DateTime date;
  if (!DateTime::Parse(options.date, date)) throw std::invalid_argument("--date is not a date: " + options.date);
  return std::make_shared<EmbeddedLoginInfo>(date, options.userName, options.userId);
}

// The embedded database's connection string; the file name is quoted when
// it could be read as more than one value.
std::string ConnectionStringFor(const std::string& path) {
  if (path.find_first_of(";\"'") == std::string::npos && (path.empty() || path[0] != ' '))
    return "Data Source=" + path;
  std::string quoted;
  for (char c : path) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return "Data Source=\"" + quoted + "\"";
}

void Loop(ShellSession& session, ShellOutput& out) {
  const bool interactive = isatty(STDIN_FILENO) != 0;
  std::string text;
  while (true) {
    if (interactive) std::cout << "fabrikon> " << std::flush;
    if (!std::getline(std::cin, text)) break;
    try {
      ShellLine line(text);
      if (line.IsBlank()) continue;
      if (line.IsComment()) {
        if (!interactive) out.Comment(text);
        continue;
      }
      if (!interactive) out.Echo(text);
      if (!session.Run(line)) break;
    } catch (const std::invalid_argument& e) {
      out.Usage(e.what());
    }
  }
}

int RunShell(const std::vector<std::string>& args) {
  ShellOptions options;
  CLI::App app{"Drives the voucher service façade from standard input, one command a line."};
  app.add_option("DB", options.database, kDbHelp.description)->required();
  app.add_option("--user", options.userId, kUserHelp.description);
  app.add_option("--name", options.userName, kNameHelp.description);
  app.add_option("--date", options.date, kDateHelp.description);
  try {
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    app.parse(reversed);
  } catch (const CLI::ParseError& e) {
    // --help answers 0; every other parse error is a usage error.
    return app.exit(e) == 0 ? 0 : 2;
  }
  LoginInfoPtr login;
  try {
    login = MakeLogin(options);
  } catch (const std::invalid_argument& e) {
    std::cerr << "fabrikon shell: " << e.what() << "\n";
    return 2;
  }
  const DatabaseArgument db = ReadDatabaseArgument(options.database);
  if (!db.Server() && !std::filesystem::exists(db.file)) {
    std::cerr << "fabrikon shell: no such database: " << db.file << " (fabrikon init-db DB --demo creates one)\n";
    return 1;
  }
  try {
    ShellOutput out(std::cout);
    ShellSession session(db.Server() || db.connectionString ? options.database : ConnectionStringFor(options.database),
                         login, out);
    Loop(session, out);
  } catch (const ComError& e) {
    std::cerr << "fabrikon shell: " << e.Description() << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "fabrikon shell: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

const CommandRegistration kShell("shell", "shell DB [--user ID] [--name NAME] [--date YYYY-MM-DD]", RunShell,
                                 "Drives the voucher service façade from standard input, one command a line\n"
                                 "(`help` in the shell lists the commands; start with init CARD).",
                                 {kDbHelp, kUserHelp, kNameHelp, kDateHelp});

}  // namespace
}  // namespace fabrikon::cli
