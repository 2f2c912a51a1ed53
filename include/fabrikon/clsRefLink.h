// clsRefLink: opens the host's reference window for a filter field (an order
// code, a dispatch card, a work centre, a completion report) with the query
// and captions that field and the open report call for, and hands the chosen
// code to the host's screen object. Public class FABRIKON.clsRefLink.
#pragma once
#include <string>

#include "fabrikon/host/LoginInfo.h"
#include "fabrikon/host/RefReport.h"
#include "fabrikon/host/RefWindow.h"

namespace fabrikon {

class clsRefLink {
 public:
  // The login handed to the window (which may replace it).
  void Login(const LoginInfoPtr& login) { login_ = login; }
  const LoginInfoPtr& Login() const { return login_; }
  // The card number of the report that is open; compared exactly.
  void SetReportName(const std::string& sName) { reportName_ = sName; }
  const std::string& ReportName() const { return reportName_; }

  // Shows the window for strFilterName (compared in lower case) and hands
  // strValue, replaced by the chosen key when a row was chosen, to
  // objRefinterface. A window that refuses in StrRefInit ends the call
  // without a hand-over; a filter name without a query hands strValue back
  // unchanged. The window is made on the first call and reused. The five
  // numbers are accepted for the host's sake and not used. Errors of the
  // window or of a missing objRefinterface reach the caller.
  void OpenRefresh(const std::string& strFilterName, long lngtxtWidth, long top, long left, long width, long height,
                   std::string strValue, RefReportPtr& objRefinterface);

  // The window made by the first OpenRefresh (null before).
  const RefWindowPtr& Window() const { return window_; }

 private:
  LoginInfoPtr login_;
  std::string reportName_;
  RefWindowPtr window_;
};

}  // namespace fabrikon
