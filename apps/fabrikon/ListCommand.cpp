// fabrikon list DB CARD [--where "WHERE ..."] [--page N] [--size N]
//                       [--select ... --sum ... --order ...]
//
// The list screen without a screen: one page of a voucher kind's list,
// exactly as GetVchListData hands it to a host (the paged mode, through the
// temporary list table; --size 0 the show-all mode), printed as an aligned
// table with the totals row under it and a last line "page N of M, R rows".
// The columns default to the card's row in the embedded column-set table
// FabrikonListColumns; each option replaces its part, and --select without
// --sum lists without totals (the card's totals name its own columns).
#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>

#include "Command.h"
#include "DatabaseArgument.h"
#include "ErrorOutput.h"
#include "TextTable.h"
#include "TotalsNames.h"
#include "data/HostDatabase.h"
#include "fabrikon/clsVoucherCO.h"
#include "fabrikon/host/EmbeddedColumnSet.h"
#include "fabrikon/host/EmbeddedLoginInfo.h"
#include "fabrikon/modVoucher.h"

namespace fabrikon::cli {
namespace {

constexpr const char* kUsage =
    "list DB CARD [--where \"WHERE ...\"] [--page N --size N] [--select ... --sum ... --order ...]";

// The arguments and options, for CLI11 and for --help.
const OptionHelp kDbHelp{"DB", "embedded database file, \"Data Source=FILE[;Mode=Read]\", ODBC connection string "
                               "or postgresql:// URI"};
const OptionHelp kCardHelp{"CARD", "card number of the voucher kind (pp25, om01, ...; fabrikon --help lists them)"};
const OptionHelp kWhereHelp{"--where TEXT", "filter (\"WHERE ccode>'SC000002'\"; the WHERE keyword is added when missing)"};
const OptionHelp kPageHelp{"--page N", "page to show (default 1; needs --size; past the last: the last)"};
const OptionHelp kSizeHelp{"--size N", "rows per page (default 20; 0: every row on one page)"};
const OptionHelp kSelectHelp{"--select TEXT", "columns of the list (without --sum: no totals)"};
const OptionHelp kSumHelp{"--sum TEXT", "columns of the totals row (\"\": no totals)"};
const OptionHelp kOrderHelp{"--order TEXT", "ORDER BY columns"};

constexpr long kMostRows = 2147483647L;

struct ListOptions {
  std::string database;
  std::string card;
  std::string where;
  long page = 1;
  long size = 20;
  std::optional<std::string> pageText, sizeText;
  std::optional<std::string> select, sum, order;
};

// The list screen's filter carries its WHERE keyword; one typed without it gets it.
std::string WithWhereKeyword(const std::string& where) {
  const size_t first = where.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  const std::string word = where.substr(first, 5);
  const bool keyword = word.size() == 5 && LCase(word) == "where" &&
                       (first + 5 == where.size() || std::string(" \t\r\n(").find(where[first + 5]) != std::string::npos);
  return keyword ? where : "WHERE " + where.substr(first);
}

// A whole number in [low, high], or nothing.
std::optional<long> WholeNumber(const std::string& text, long low, long high) {
  size_t used = 0;
  long value = 0;
  try {
    value = std::stol(text, &used);
  } catch (const std::logic_error&) {
    return std::nullopt;
  }
  if (used != text.size() || value < low || value > high) return std::nullopt;
  return value;
}

// Checks the page options; the message of a usage error, "" when they are fine.
std::string ReadPaging(ListOptions& options) {
  if (options.pageText && !options.sizeText) return "--page needs --size (the rows per page)";
  if (options.sizeText) {
    const std::optional<long> size = WholeNumber(*options.sizeText, 0, kMostRows);
    if (!size) return "--size takes a number of rows from 1 to 2147483647, or 0 for every row: " + *options.sizeText;
    options.size = *size;
  }
  if (options.pageText) {
    // As in the library, 0 and less give the first page.
    const std::optional<long> page = WholeNumber(*options.pageText, -kMostRows - 1, kMostRows);
    if (!page) return "--page takes a whole page number (1 is the first): " + *options.pageText;
    options.page = *page;
  }
  return "";
}

std::string Cell(const Variant& value) { return value.IsNull() ? "NULL" : value.ToText(); }

std::vector<TextTable::Column> Header(const std::vector<std::string>& names) {
  std::vector<TextTable::Column> columns;
  for (const std::string& name : names) columns.push_back({name, TextTable::Align::Left});
  return columns;
}

std::vector<TextTable::Column> Header(const Recordset& rs) {
  std::vector<std::string> names;
  for (size_t i = 0; i < rs.FieldCount(); ++i) names.push_back(rs.Info(i).name);
  return Header(names);
}

void AddRows(TextTable& table, Recordset& rs) {
  if (rs.RecordCount() == 0) return;
  for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
    std::vector<std::string> cells;
    for (size_t i = 0; i < rs.FieldCount(); ++i) cells.push_back(Cell(rs.Fields(i).Value()));
    table.AddRow(std::move(cells));
  }
}

// The totals under the list, when there are any.
void PrintTotals(const RecordsetPtr& sum, const std::string& sumList) {
  if (!sum) return;
  TextTable totals(Header(TotalsNames(*sum, sumList)));
  AddRows(totals, *sum);
  std::cout << "\n";
  totals.Print(std::cout, "");
}

int PrintPage(const ListOptions& options) {
  const DatabaseArgument db = ReadDatabaseArgument(options.database);
  ConnectionPtr conn = OpenConnection(db.Server() || db.connectionString
                                          ? options.database
                                          : HostDatabase::ConnectionStringFor(options.database));
  std::shared_ptr<EmbeddedColumnSet> columns = EmbeddedColumnSet::ForCard(conn, options.card);
  if (options.select) columns->SelectList(*options.select);
  if (options.select && !options.sum) columns->SumList("");
  if (options.sum) columns->SumList(*options.sum);
  if (options.order) columns->OrderList(*options.order);
  if (columns->SelectList().empty())
    return ReportError(ErrorNumber::InvalidArgument, "No list columns for card " + options.card + " (use --select).");

  clsVoucherCO co;
  co.Init(EmbeddedLoginInfo::Today("", ""), conn, options.card);
  RecordsetPtr list, sum;
  std::string errMsg;
  long recordCount = 0, pageCount = 0;
  const std::string where = options.where.empty() ? "" : " " + WithWhereKeyword(options.where);
  const bool showAll = options.size == 0;
  if (!co.GetVchListData(columns, list, sum, where, errMsg, showAll, recordCount, options.size, pageCount,
                         options.page)) {
    return ReportError(ErrorNumber::E_FAIL_, errMsg);
  }
  if (showAll) pageCount = recordCount == 0 ? 0 : 1;
  TextTable table(Header(*list));
  AddRows(table, *list);
  table.Print(std::cout, "");
  PrintTotals(sum, columns->SumList());
  const long shown = recordCount == 0 ? 0 : std::clamp(options.page, 1L, pageCount);
  std::cout << "\npage " << shown << " of " << pageCount << ", " << recordCount << " rows\n";
  return 0;
}

// One line on standard error, exit status 2.
int UsageError(const std::string& message) {
  std::cerr << "fabrikon list: " << message << " (fabrikon list --help lists the options)\n";
  return 2;
}

int List(const std::vector<std::string>& args) {
  ListOptions options;
  CLI::App app{"Prints one page of a voucher kind's list with its totals."};
  app.add_option("DB", options.database, kDbHelp.description)->required();
  app.add_option("CARD", options.card, kCardHelp.description)->required();
  app.add_option("--where", options.where, kWhereHelp.description);
  app.add_option("--page", options.pageText, kPageHelp.description);
  app.add_option("--size", options.sizeText, kSizeHelp.description);
  app.add_option("--select", options.select, kSelectHelp.description);
  app.add_option("--sum", options.sum, kSumHelp.description);
  app.add_option("--order", options.order, kOrderHelp.description);
  try {
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    app.parse(reversed);
  } catch (const CLI::ParseError& e) {
    return UsageError(e.what());
  }
  if (const std::string wrong = ReadPaging(options); !wrong.empty()) return UsageError(wrong);
  const DatabaseArgument db = ReadDatabaseArgument(options.database);
  std::error_code ec;
  if (!db.Server() && !std::filesystem::is_regular_file(db.file, ec))
    return ReportError(ErrorNumber::E_FAIL_, "No database file " + db.file + " (create one with init-db).");
  try {
    return PrintPage(options);
  } catch (const ComError& e) {
    return ReportError(e);
  } catch (const std::exception& e) {
    return ReportError(ErrorNumber::E_FAIL_, e.what());
  }
}

const CommandRegistration registration("list", kUsage, List,
                                       "Prints one page of a voucher kind's list with its totals and\n"
                                       "\"page N of M, R rows\" (R: the rows of the whole filtered list).",
                                       {kDbHelp, kCardHelp, kWhereHelp, kPageHelp, kSizeHelp, kSelectHelp, kSumHelp,
                                        kOrderHelp});


}  // namespace
}  // namespace fabrikon::cli
