// fabrikon list DB CARD [--where "WHERE ..."] [--page N --size N]
//                       [--select ... --sum ... --order ...]
//
// The list screen without a screen: one page of a voucher kind's list,
// exactly as GetVchListData hands it to a host (the paged mode, through the
// temporary list table), printed as an aligned table with the totals row
// under it and a last line "page N of M, R vouchers". The columns default to
// the card's row in the embedded column-set table FabrikonListColumns; each
// option replaces its part.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>

#include "Command.h"
#include "DatabaseArgument.h"
#include "ErrorOutput.h"
#include "TextTable.h"
#include "TotalsNames.h"
#include "data/HostDatabase.h"
#include "fabrikon/clsVoucherCO.h"
#include "fabrikon/host/EmbeddedColumnSet.h"
#include "fabrikon/host/EmbeddedLoginInfo.h"

namespace fabrikon::cli {
namespace {

constexpr const char* kUsage =
    "list DB CARD [--where \"WHERE ...\"] [--page N --size N] [--select ... --sum ... --order ...]";

struct ListOptions {
  std::string database;
  std::string card;
  std::string where;
  long page = 1;
  long size = 20;
  std::optional<std::string> select, sum, order;
};

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

int PrintPage(const ListOptions& options) {
  const DatabaseArgument db = ReadDatabaseArgument(options.database);
  ConnectionPtr conn = OpenConnection(db.Server() || db.connectionString
                                          ? options.database
                                          : HostDatabase::ConnectionStringFor(options.database));
  std::shared_ptr<EmbeddedColumnSet> columns = EmbeddedColumnSet::ForCard(conn, options.card);
  if (options.select) columns->SelectList(*options.select);
  if (options.sum) columns->SumList(*options.sum);
  if (options.order) columns->OrderList(*options.order);
  if (columns->SelectList().empty())
    return ReportError(ErrorNumber::InvalidArgument, "No list columns for card " + options.card + " (use --select).");

  clsVoucherCO co;
  co.Init(EmbeddedLoginInfo::Today("", ""), conn, options.card);
  RecordsetPtr list, sum;
  std::string errMsg;
  long recordCount = 0, pageCount = 0;
  const std::string where = options.where.empty() ? "" : " " + options.where;
  if (!co.GetVchListData(columns, list, sum, where, errMsg, false, recordCount, options.size, pageCount,
                         options.page)) {
    return ReportError(ErrorNumber::E_FAIL_, errMsg);
  }
  TextTable table(Header(*list));
  AddRows(table, *list);
  table.Print(std::cout, "");
  TextTable totals(Header(TotalsNames(*sum, columns->SumList())));
  AddRows(totals, *sum);
  std::cout << "\n";
  totals.Print(std::cout, "");
  const long shown = recordCount == 0 ? 0 : std::clamp(options.page, 1L, pageCount);
  std::cout << "\npage " << shown << " of " << pageCount << ", " << recordCount << " vouchers\n";
  return 0;
}

int List(const std::vector<std::string>& args) {
  ListOptions options;
  CLI::App app{"Prints one page of a voucher kind's list with its totals."};
  app.add_option("DB", options.database,
                 "embedded database file, \"Data Source=FILE[;Mode=Read]\" or ODBC connection string")
      ->required();
  app.add_option("CARD", options.card, "card number of the voucher kind (pp25, om01, ...)")->required();
  app.add_option("--where", options.where, "filter, with its WHERE keyword");
  app.add_option("--page", options.page, "page to show (default 1)");
  app.add_option("--size", options.size, "rows per page (default 20)")->check(CLI::PositiveNumber);
  app.add_option("--select", options.select, "columns of the list");
  app.add_option("--sum", options.sum, "columns of the totals row");
  app.add_option("--order", options.order, "ORDER BY columns");
  try {
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    app.parse(reversed);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  }
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

const CommandRegistration registration("list", kUsage, List);

}  // namespace
}  // namespace fabrikon::cli
