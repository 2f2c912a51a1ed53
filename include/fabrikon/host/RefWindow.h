// RefWindow: the host's reference window. It is given a query and the
// captions of its columns, shows the rows, and tells which one the user chose.
#pragma once
#include <memory>
#include <string>

#include "fabrikon/Recordset.h"
#include "fabrikon/host/LoginInfo.h"

namespace fabrikon {

class RefWindow {
 public:
  virtual ~RefWindow() = default;
  // Prepares the window; the login may be replaced. False: do not show it.
  virtual bool StrRefInit(LoginInfoPtr& login, bool flag, const std::string& text, std::string& query,
                          std::string& captions) = 0;
  // Shows the window; the choice is made when it returns.
  virtual void Show() = 0;
  // The chosen record, positioned on it (Fields(name).Value()); null when
  // nothing was chosen.
  virtual RecordsetPtr recmx() const = 0;
};
using RefWindowPtr = std::shared_ptr<RefWindow>;

}  // namespace fabrikon
