// List data and filters in the engine: the list and totals recordsets of a
// card's list view (all rows, or one page through the temporary list table),
// and the filter chosen in the host's filter window.
//
// The temporary list table lives in the server's shared temporary database,
// so its name carries the connection's session suffix: "TMPQX_pp25_53" for
// session 53 on SQL Server. The suffix is a plain name part that the
// connection resolved once when it connected ("SELECT @@SPID"), never the
// text "@@SPID" itself: T-SQL evaluates no expression inside a table name,
// and dynamic SQL would hide the statements from the dialect and the
// recorded statement shapes. The embedded database keeps the table in the
// connection's own temporary schema and reports no suffix, so its statements
// are the bare card-number ones.
#include <array>
#include <cctype>

#include "data/dialect/TSqlLexer.h"
#include "fabrikon/ComError.h"
#include "fabrikon/clsRefLink.h"
#include "fabrikon/clsVoucherCommon.h"
#include "fabrikon/host/HostServices.h"
#include "fabrikon/modVoucher.h"

namespace fabrikon {
namespace {

constexpr const char* kTextTotals = "不能选择非数值型项目作为合计列！";

// A SELECT ... INTO cannot make a column of an empty literal, so each '' (or
// N'') becomes ' '. Escaped quotes inside a longer literal ('O''Brien') are
// part of that literal and stay as they are.
std::string BlankEmptyLiterals(const std::string& sql) {
  const dialect::LexedText lexed = dialect::TSqlLexer::Tokenize(sql);
  std::string result;
  size_t copied = 0;
  for (const dialect::Token& token : lexed.tokens) {
    if (!token.Is(dialect::TokenKind::String) || token.text != "''") continue;
    const size_t at = static_cast<size_t>(token.text.data() - sql.data());
    result.append(sql, copied, at - copied).append("' '");
    copied = at + 2;
  }
  return result.append(sql, copied, std::string::npos);
}

bool IsPlainName(const std::string& text) {
  for (char c : text) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    if (!plain) return false;
  }
  return true;
}

// The first and last IDOrder of the wanted page; 0 and 0 for an empty list.
struct PageKeys {
  long first = 0;
  long last = 0;
};

PageKeys ReadPage(const ConnectionPtr& Conn, const std::string& table, long nPageSize, long& nPageCount,
                  long nCurrentPage, long& nRecordCount) {
  PageKeys keys;
  RecordsetPtr ids = Conn->Open("SELECT IDOrder FROM " + table + " ORDER BY IDOrder", adOpenStatic, adLockReadOnly,
                                adUseClient);
  ids->PageSize(nPageSize);
  nRecordCount = ids->RecordCount();
  if (ids->Eof()) return keys;
  long page = nCurrentPage > ids->PageCount() ? ids->PageCount() : nCurrentPage;
  if (page < 2) page = 1;
  nPageCount = ids->PageCount();
  ids->AbsolutePage(page);
  keys.first = static_cast<long>(ids->Fields(size_t{0}).Value().ToInt());
  for (long n = 0; n < nPageSize && !ids->Eof(); ++n) {
    keys.last = static_cast<long>(ids->Fields(size_t{0}).Value().ToInt());
    ids->MoveNext();
  }
  ids->Close();
  return keys;
}

}  // namespace

std::string clsVoucherCommon::TempListTableName(const ConnectionPtr& Conn, const std::string& strCardNum) {
  // The card number becomes part of a table name; only a plain word can.
  if (!IsPlainName(strCardNum))
    throw ComError(ErrorNumber::InvalidArgument, "不能为单据类型[" + strCardNum + "]建立列表临时表！");
  if (strCardNum.empty()) throw ComError(ErrorNumber::InvalidArgument, "不能为空的单据类型建立列表临时表！");
  const std::string suffix = Conn ? Conn->SessionTableSuffix() : "";
  if (!IsPlainName(suffix))
    throw ComError(ErrorNumber::InvalidArgument, "不能为会话[" + suffix + "]建立列表临时表！");
  return "TempDB..TMPQX_" + strCardNum + suffix;
}

bool clsVoucherCommon::GetVchListData(const ConnectionPtr& Conn, const std::string& strCardNum,
                                      const ColumnSetPtr& objColSet, RecordsetPtr& rstRetList,
                                      RecordsetPtr& rstRetSum, const std::string& strWhere, std::string& strErrMsg,
                                      bool bShowAll, long& nRecordCount, long nPageSize, long& nPageCount,
                                      long nCurrentPage) {
  try {
    if (!objColSet) throw ComError(ErrorNumber::ObjectNotSet, "Object variable or With block variable not set");
    const std::string selectList = objColSet->SelectList();
    const std::string sumList = Trim(objColSet->SumList()).empty() ? "" : objColSet->SumList();
    const std::string orderList = objColSet->OrderList();
    VoucherParameters params;
    GetVoucherParameter(Conn, strCardNum, params);
    const std::string order = orderList.empty() ? "" : " ORDER BY " + orderList;
    const std::string& view = params.strViewNameList;
    // The condition follows the view's name; one written without its leading
    // blank ("WHERE ...") would run into the name.
    const std::string where =
        strWhere.empty() || std::isspace(static_cast<unsigned char>(strWhere[0])) ? strWhere : " " + strWhere;

    std::string listSql;
    std::string sumSql;
    if (bShowAll) {
      listSql = " SELECT " + selectList + " FROM " + view + where + order;
      sumSql = "SELECT " + sumList + " FROM " + view + where;
    } else {
      const std::string table = TempListTableName(Conn, strCardNum);
      Conn->Execute("IF EXISTS (SELECT * FROM tempdb..sysobjects WHERE name = '" + table.substr(8) +
                    "' AND type='U') DROP TABLE " + table);
      Conn->Execute(BlankEmptyLiterals("SELECT IDENTITY(int,1,1) AS IDOrder," + selectList + " INTO " + table +
                                       " FROM " + view + where + order));
      Conn->Execute("create index IX_IDOrder ON " + table + "(idorder)");
      const PageKeys keys = ReadPage(Conn, table, nPageSize, nPageCount, nCurrentPage, nRecordCount);
      listSql = " SELECT " + selectList + " FROM " + table + " WHERE IdOrder  >= " + std::to_string(keys.first) +
                " AND IDOrder <= " + std::to_string(keys.last) + " ORDER BY IdOrder";
      sumSql = "SELECT " + sumList + " FROM " + table;
    }
    RecordsetPtr list = Conn->Open(listSql, adOpenStatic, adLockReadOnly, adUseClient);
    // An empty sum list asks for no totals: "SELECT  FROM ..." is no statement.
    RecordsetPtr sum =
        sumList.empty() ? nullptr : Conn->Open(sumSql, adOpenForwardOnly, adLockReadOnly, adUseClient);
    if (bShowAll) nRecordCount = list->RecordCount();
    rstRetList = list->Clone();
    rstRetSum = sum ? sum->Clone() : nullptr;
    return true;
  } catch (const ComError& e) {
    strErrMsg = e.Number() == ErrorNumber::CantConvertValue ? kTextTotals : e.Description();
  } catch (const std::exception& e) {
    strErrMsg = e.what();
  }
  return false;
}

std::string clsVoucherCommon::GetFilterString(const ConnectionPtr& Conn, LoginInfoPtr objLogin,
                                              const std::string& strCardNum, std::string& strFilter, bool& bCancel) {
  const std::string card = LCase(strCardNum);
  RefReportPtr report = HostServices::CreateRefReport();
  auto link = std::make_shared<clsRefLink>();
  link->SetReportName(card);
  link->Login(objLogin);
  report->RefLink(link);

  FilterServicePtr service = HostServices::CreateFilterService();
  service->Prepare(0);
  // Only the reports whose filters pick orders, cards or reports get the
  // reference window.
  static const std::array<const char*, 8> kWithReference = {"pp03", "pp14", "pp15", "pp17",
                                                             "pp19", "pp20", "pp13", "pp30"};
  std::shared_ptr<void> reference;
  for (const char* withReference : kWithReference) {
    if (card == withReference) reference = report;
  }
  long resultCode = 0;
  const std::string userId = objLogin ? objLogin->cUserId() : "";
  service->Show(strCardNum, "PP", Conn, reference, true, true, userId, objLogin, resultCode);
  if (resultCode == 1) {
    strFilter = service->GetFilter(strCardNum);
    service->Close("", true);
    bCancel = false;
  } else {
    bCancel = true;
  }
  return "";
}

}  // namespace fabrikon
