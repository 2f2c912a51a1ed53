// EmbeddedLoginInfo: a login made from plain values, for programs that run
// the library without the host's login component.
#pragma once
#include "fabrikon/host/LoginInfo.h"

namespace fabrikon {

class EmbeddedLoginInfo : public LoginInfo {
 public:
  EmbeddedLoginInfo(DateTime curDate, std::string userName, std::string userId);
  // A login dated today (local calendar date, no time of day).
  static std::shared_ptr<EmbeddedLoginInfo> Today(std::string userName, std::string userId);

  DateTime CurDate() const override { return curDate_; }
  std::string cUserName() const override { return userName_; }
  std::string cUserId() const override { return userId_; }

 private:
  DateTime curDate_;
  std::string userName_;
  std::string userId_;
};

}  // namespace fabrikon
