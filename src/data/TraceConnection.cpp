// The connection decorator that reports each batch to a trace callback (see
// TraceConnection.h). The time measured is the inner connection's call alone.
#include "fabrikon/TraceConnection.h"

#include <chrono>

#include "fabrikon/ComError.h"

namespace fabrikon {
namespace {

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TraceConnection::TraceConnection(ConnectionPtr inner, TraceCallback callback)
    : inner_(std::move(inner)), callback_(std::move(callback)) {
  if (!inner_) throw ComError(ErrorNumber::ObjectNotSet, "TraceConnection needs a connection to wrap");
}

template <typename Run>
auto TraceConnection::Traced(const std::string& text, Run run) -> decltype(run()) {
  const auto start = std::chrono::steady_clock::now();
  try {
    auto result = run();
    return result;
  } catch (...) {
    Report(text, -1, MillisecondsSince(start));
    throw;
  }
}

void TraceConnection::Execute(const std::string& text, long& recordsAffected) {
  const auto start = std::chrono::steady_clock::now();
  Traced(text, [&] {
    inner_->Execute(text, recordsAffected);
    return 0;
  });
  Report(text, recordsAffected, MillisecondsSince(start));
}

std::vector<long> TraceConnection::ExecuteEach(const std::string& text) {
  const auto start = std::chrono::steady_clock::now();
  std::vector<long> counts = Traced(text, [&] { return inner_->ExecuteEach(text); });
  long first = -1;  // as Execute counts: the first statement that produced a count
  for (long count : counts) {
    if (count != kNoCount) {
      first = count;
      break;
    }
  }
  Report(text, first, MillisecondsSince(start));
  return counts;
}

RecordsetPtr TraceConnection::Open(const std::string& text, CursorTypeEnum cursor, LockTypeEnum lock,
                                   CursorLocationEnum location) {
  const auto start = std::chrono::steady_clock::now();
  RecordsetPtr rs = Traced(text, [&] { return inner_->Open(text, cursor, lock, location); });
  Report(text, -1, MillisecondsSince(start));
  return rs;
}

void TraceConnection::Report(const std::string& text, long recordsAffected, double milliseconds) const {
  if (callback_) callback_(text, recordsAffected, milliseconds);
}

}  // namespace fabrikon
