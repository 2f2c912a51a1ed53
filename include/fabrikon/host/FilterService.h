// FilterService: the host's filter window. The library calls Prepare, Show,
// GetFilter and Close in that order.
#pragma once
#include <memory>
#include <string>

#include "fabrikon/Connection.h"
#include "fabrikon/host/LoginInfo.h"

namespace fabrikon {

class FilterService {
 public:
  virtual ~FilterService() = default;
  virtual void Prepare(int mode) = 0;
  // resultCode 1 when the user confirmed a filter; the login may be replaced.
  virtual void Show(const std::string& cardNumber, const std::string& module,
                    const ConnectionPtr& conn, std::shared_ptr<void>& reference, bool flag1,
                    bool flag2, const std::string& userId, LoginInfoPtr& login,
                    long& resultCode) = 0;
  virtual std::string GetFilter(const std::string& cardNumber) = 0;
  virtual void Close(const std::string& text, bool flag) = 0;
};
using FilterServicePtr = std::shared_ptr<FilterService>;

}  // namespace fabrikon
