// clsRefLink: one reference window per link, made on first use; the query
// and captions come from the filter field and the open report.
#include "fabrikon/clsRefLink.h"

#include "fabrikon/ComError.h"
#include "fabrikon/host/HostServices.h"
#include "fabrikon/modVoucher.h"
#include "reflink/modRefLink.h"

namespace fabrikon {

void clsRefLink::OpenRefresh(const std::string& strFilterName, long, long, long, long, long, std::string strValue,
                             RefReportPtr& objRefinterface) {
  if (!window_) window_ = HostServices::CreateRefWindow();
  if (const auto reference = reflink::ReferenceFor(LCase(strFilterName), reportName_)) {
    std::string query = reference->query;
    std::string captions = reference->captions;
    LoginInfoPtr login = login_;
    const bool show = window_->StrRefInit(login, false, "", query, captions);
    login_ = login;
    if (!show) return;
    window_->Show();
    if (RecordsetPtr chosen = window_->recmx()) strValue = chosen->Fields(reference->keyField).Value().ToText();
  }
  if (!objRefinterface) throw ComError(ErrorNumber::ObjectNotSet, "Object variable or With block variable not set");
  objRefinterface->SetRefValue(Variant(strFilterName), strValue);
}

}  // namespace fabrikon
