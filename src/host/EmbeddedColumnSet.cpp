// EmbeddedColumnSet: plain holder of the three column lists.
#include "fabrikon/host/EmbeddedColumnSet.h"

#include <map>

#include "fabrikon/modVoucher.h"

namespace fabrikon {

EmbeddedColumnSet::EmbeddedColumnSet(std::string selectList, std::string sumList, std::string orderList)
    : selectList_(std::move(selectList)), sumList_(std::move(sumList)), orderList_(std::move(orderList)) {}

namespace {
void Append(std::string& list, const std::string& item) { list += (list.empty() ? "" : ",") + item; }
}  // namespace

std::shared_ptr<EmbeddedColumnSet> EmbeddedColumnSet::ForCard(const ConnectionPtr& conn,
                                                              const std::string& cardNumber) {
  RecordsetPtr rs = conn->Open("SELECT cFieldName, bSum, iSortOrder FROM FabrikonListColumns WHERE CardNumber=" +
                                   SqlStr(Variant(cardNumber)) + " ORDER BY iOrder",
                               adOpenStatic, adLockReadOnly, adUseClient);
  auto columns = std::make_shared<EmbeddedColumnSet>();
  std::map<int64_t, std::string> sortColumns;
  for (; !rs->Eof(); rs->MoveNext()) {
    const std::string field = NullToEmpty(rs->Fields("cFieldName").Value());
    Append(columns->selectList_, field);
    if (rs->Fields("bSum").Value().ToBool()) Append(columns->sumList_, "sum(" + field + ") AS " + field);
    const int64_t sort = rs->Fields("iSortOrder").Value().ToInt();
    if (sort > 0) sortColumns.emplace(sort, field);
  }
  if (columns->selectList_.empty()) return columns;
  if (columns->sumList_.empty()) columns->sumList_ = "count(*) AS irows";
  for (const auto& [sort, field] : sortColumns) Append(columns->orderList_, field);
  return columns;
}

}  // namespace fabrikon
