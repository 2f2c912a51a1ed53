// The list-screen commands of `fabrikon shell`: the column set, the list in
// show-all and paged mode, the filter window, and the reference link with the
// embedded reference window behind it (see ShellCommand.cpp for the output
// contract; each command's lines are listed in the README).
#include <stdexcept>

#include "ShellSession.h"
#include "fabrikon/host/EmbeddedRefReport.h"
#include "fabrikon/host/HostServices.h"
#include "TotalsNames.h"

namespace fabrikon::cli {
namespace {

long Number(const std::string& text, const std::string& what) {
  size_t used = 0;
  long value = 0;
  try {
    value = std::stol(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != text.size()) throw std::invalid_argument("not " + what + ": " + text);
  return value;
}

// The first `count` blank-separated words of text, then the rest (trimmed).
std::vector<std::string> SplitWords(const std::string& text, size_t count) {
  std::vector<std::string> parts;
  size_t at = 0;
  for (size_t n = 0; n < count; ++n) {
    at = text.find_first_not_of(' ', at);
    if (at == std::string::npos) break;
    const size_t end = text.find(' ', at);
    parts.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
    at = end == std::string::npos ? text.size() : end;
  }
  const size_t rest = text.find_first_not_of(' ', at);
  parts.push_back(rest == std::string::npos ? "" : text.substr(rest));
  return parts;
}

// The host's list screen puts the WHERE clause right after the view name.
std::string WhereClause(const std::string& where) { return where.empty() ? "" : " " + where; }

}  // namespace

ShellSession::~ShellSession() {
  HostServices::SetFilterServiceFactory(nullptr);
  HostServices::SetRefWindowFactory(nullptr);
}

void ShellSession::PrintList(const RecordsetPtr& list, const RecordsetPtr& sum) {
  out_.OutCount("list", list ? list->RecordCount() : 0);
  PrintRecordRows(list);
  out_.OutCount("sum", sum ? sum->RecordCount() : 0);
  if (sum) PrintRecordRows(sum, TotalsNames(*sum, columns_->SumList()));
}

void ShellSession::RegisterLists() {
  columns_ = std::make_shared<EmbeddedColumnSet>();
  Register("columns", "columns select=TEXT sum=TEXT order=TEXT", [this](const ShellLine& line) {
    auto columns = std::make_shared<EmbeddedColumnSet>();
    for (const auto& [name, value] : line.Assignments(0)) {
      if (name == "select") {
        columns->SelectList(value);
      } else if (name == "sum") {
        columns->SumList(value);
      } else if (name == "order") {
        columns->OrderList(value);
      } else {
        throw std::invalid_argument("columns takes select=, sum= and order=, not " + name);
      }
    }
    columns_ = columns;
    out_.ResultText("");
  });
  Register("list", "list [WHERE ...]", [this](const ShellLine& line) {
    RecordsetPtr list, sum;
    std::string errMsg;
    long recordCount = -1, pageCount = -1;
    out_.ResultBool(co_.GetVchListData(columns_, list, sum, WhereClause(line.Rest()), errMsg, true, recordCount, 0,
                                       pageCount, 0));
    out_.OutText("strErrMsg", errMsg);
    out_.OutText("nRecordCount", std::to_string(recordCount));
    PrintList(list, sum);
  });
  Register("list-page", "list-page PAGE SIZE [WHERE ...]", [this](const ShellLine& line) {
    const std::vector<std::string> parts = SplitWords(line.Rest(), 2);
    if (parts.size() < 3) throw std::invalid_argument("list-page needs a page and a page size");
    const long page = Number(parts[0], "a page");
    const long size = Number(parts[1], "a page size");
    RecordsetPtr list, sum;
    std::string errMsg;
    long recordCount = -1, pageCount = -1;
    out_.ResultBool(co_.GetVchListData(columns_, list, sum, WhereClause(parts[2]), errMsg, false, recordCount, size,
                                       pageCount, page));
    out_.OutText("strErrMsg", errMsg);
    out_.OutText("nRecordCount", std::to_string(recordCount));
    out_.OutText("nPageCount", std::to_string(pageCount));
    PrintList(list, sum);
  });

  filter_ = std::make_shared<EmbeddedFilterService>();
  HostServices::SetFilterServiceFactory([this] { return filter_; });
  Register("filter-preset", "filter-preset TEXT | filter-preset cancel", [this](const ShellLine& line) {
    const std::string text = line.Rest();
    filter_->ClearFilters();
    if (text != "cancel") filter_->SetFilter(text);
    out_.ResultText("");
  });
  Register("filter", "filter", [this](const ShellLine&) {
    std::string strFilter;
    bool bCancel = false;
    out_.ResultText(co_.GetFilterString(strFilter, bCancel));
    out_.OutText("strFilter", strFilter);
    out_.OutBool("bCancel", bCancel);
    out_.OutBool("reference", filter_->ShownWithReference());
  });
}

void ShellSession::RegisterReferences() {
  refLink_ = std::make_shared<clsRefLink>();
  refLink_->Login(login_);
  refChoice_ = [](EmbeddedRefWindow& window) { window.ChooseNothing(); };
  HostServices::SetRefWindowFactory([this] {
    window_ = std::make_shared<EmbeddedRefWindow>(conn_, ++windows_);
    refChoice_(*window_);
    return window_;
  });
  Register("ref-report", "ref-report NAME", [this](const ShellLine& line) {
    refLink_->SetReportName(line.Rest());
    out_.ResultText("");
  });
  Register("ref-choose", "ref-choose ROW|none|refuse", [this](const ShellLine& line) {
    const std::string choice = line.Rest();
    if (choice == "none") {
      refChoice_ = [](EmbeddedRefWindow& window) { window.ChooseNothing(); };
    } else if (choice == "refuse") {
      refChoice_ = [](EmbeddedRefWindow& window) { window.Refuse(); };
    } else {
      const long row = Number(choice, "a row, none or refuse");
      if (row < 1) throw std::invalid_argument("rows count from 1");
      refChoice_ = [row](EmbeddedRefWindow& window) { window.ChooseRow(row); };
    }
    if (window_) refChoice_(*window_);
    out_.ResultText("");
  });
  Register("ref-open", "ref-open FILTER [VALUE]", [this](const ShellLine& line) {
    const std::vector<std::string> args = line.Args();
    if (args.empty()) throw std::invalid_argument("ref-open needs a filter name");
    auto report = std::make_shared<EmbeddedRefReport>();
    RefReportPtr target = report;
    const std::shared_ptr<EmbeddedRefWindow> before = window_;
    const long initsBefore = window_ ? window_->InitCount() : 0;
    refLink_->OpenRefresh(args[0], 0, 0, 0, 0, 0, args.size() > 1 ? args[1] : "", target);
    out_.ResultText("");
    if (window_ && window_->InitCount() > (window_ == before ? initsBefore : 0)) {
      out_.OutText("query", window_->Query());
      out_.OutText("captions", window_->Captions());
      out_.OutText("window", std::to_string(window_->Instance()));
    }
    for (const EmbeddedRefReport::Value& value : report->Values()) {
      out_.OutTexts("SetRefValue", {value.filterName, value.value});
    }
  });
}

}  // namespace fabrikon::cli
