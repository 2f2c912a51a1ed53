// The library's two message boxes. No window is ever opened here: a host
// installs a handler per thread or a process-wide default; without one, error
// texts are kept for the host to collect and Yes/No questions get the safe
// answer No (nothing is closed or changed without someone's consent).
#include "fabrikon/host/MessageBox.h"

#include <deque>
#include <mutex>

namespace fabrikon::MessageBox {
namespace {
// A host that never collects its errors must not grow without bound.
constexpr size_t kMaxKeptErrors = 100;

thread_local std::shared_ptr<MessageBoxHandler> tHandler;
thread_local std::deque<std::string> tErrors;

std::mutex gDefaultMutex;
std::shared_ptr<MessageBoxHandler> gDefault;

// The thread's own handler, else the default. A copy, so that a default
// replaced meanwhile lives until this box is answered.
std::shared_ptr<MessageBoxHandler> Effective() {
  if (tHandler) return tHandler;
  std::lock_guard<std::mutex> lock(gDefaultMutex);
  return gDefault;
}
}  // namespace

void SetHandler(std::shared_ptr<MessageBoxHandler> handler) { tHandler = std::move(handler); }

std::shared_ptr<MessageBoxHandler> Handler() { return tHandler; }

void SetDefaultHandler(std::shared_ptr<MessageBoxHandler> handler) {
  std::lock_guard<std::mutex> lock(gDefaultMutex);
  gDefault = std::move(handler);
}

bool AskYesNo(const std::string& text) {
  if (auto handler = Effective()) return handler->AskYesNo(text, kMessageBoxTitle);
  return false;
}

void ShowError(const std::string& text) {
  if (auto handler = Effective()) {
    handler->ShowError(text, kMessageBoxTitle);
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
