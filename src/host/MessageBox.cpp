// The library's two message boxes. No window is ever opened here: a host
// installs a handler per thread; without one, error texts are kept for the
// host to collect and Yes/No questions get the safe answer No (nothing is
// closed or changed without someone's consent).
#include "fabrikon/host/MessageBox.h"

#include <deque>

namespace fabrikon::MessageBox {
namespace {
// A host that never collects its errors must not grow without bound.
constexpr size_t kMaxKeptErrors = 100;

thread_local std::shared_ptr<MessageBoxHandler> tHandler;
thread_local std::deque<std::string> tErrors;
}  // namespace

void SetHandler(std::shared_ptr<MessageBoxHandler> handler) { tHandler = std::move(handler); }

bool AskYesNo(const std::string& text) {
  if (tHandler) return tHandler->AskYesNo(text, kMessageBoxTitle);
  return false;
}

void ShowError(const std::string& text) {
  if (tHandler) {
    tHandler->ShowError(text, kMessageBoxTitle);
    return;
  }
  if (tErrors.size() >= kMaxKeptErrors) tErrors.pop_front();
  tErrors.push_back(text);
}

std::vector<std::string> TakeErrors() {
  std::vector<std::string> errors(std::make_move_iterator(tErrors.begin()),
                                  std::make_move_iterator(tErrors.end()));
  tErrors.clear();
  return errors;
}

}  // namespace fabrikon::MessageBox
