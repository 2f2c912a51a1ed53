// EmbeddedLoginInfo: login values given by the program that runs the library.
#include "fabrikon/host/EmbeddedLoginInfo.h"

#include <ctime>

namespace fabrikon {

EmbeddedLoginInfo::EmbeddedLoginInfo(DateTime curDate, std::string userName, std::string userId)
    : curDate_(curDate), userName_(std::move(userName)), userId_(std::move(userId)) {
  // The login date is a calendar date: a time of day would leak into the
  // date columns the vouchers write and into text comparisons of dates.
  curDate_.hour = curDate_.minute = curDate_.second = 0;
}

std::shared_ptr<EmbeddedLoginInfo> EmbeddedLoginInfo::Today(std::string userName, std::string userId) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  DateTime today;
  today.year = local.tm_year + 1900;
  today.month = local.tm_mon + 1;
  today.day = local.tm_mday;
  return std::make_shared<EmbeddedLoginInfo>(today, std::move(userName), std::move(userId));
}

}  // namespace fabrikon
