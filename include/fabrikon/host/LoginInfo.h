// LoginInfo: who is working, and on which login date.
#pragma once
#include <memory>
#include <string>

#include "fabrikon/Variant.h"

namespace fabrikon {

class LoginInfo {
 public:
  virtual ~LoginInfo() = default;
  virtual DateTime CurDate() const = 0;  // text form "YYYY-MM-DD" via ToText()
  virtual std::string cUserName() const = 0;
  virtual std::string cUserId() const = 0;
};
using LoginInfoPtr = std::shared_ptr<LoginInfo>;

}  // namespace fabrikon
