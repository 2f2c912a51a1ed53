// The message boxes of a C interface handle (see CApiMessageBoxHandler.h).
#include "engine/CApiMessageBoxHandler.h"

namespace fabrikon::engine {
namespace {

// Puts a handler back on the thread when a box shown "as before" is done,
// also when that box raised.
class Reinstall {
 public:
  explicit Reinstall(std::shared_ptr<MessageBoxHandler> handler) : handler_(std::move(handler)) {}
  ~Reinstall() { MessageBox::SetHandler(std::move(handler_)); }
  Reinstall(const Reinstall&) = delete;
  Reinstall& operator=(const Reinstall&) = delete;

 private:
  std::shared_ptr<MessageBoxHandler> handler_;
};

}  // namespace

CApiMessageBoxHandler::CApiMessageBoxHandler(const CApiMessageBoxCallbacks& callbacks,
                                             std::shared_ptr<MessageBoxHandler> previous)
    : callbacks_(callbacks), previous_(std::move(previous)) {}

bool CApiMessageBoxHandler::AskYesNo(const std::string& text, const std::string& title) {
  if (!callbacks_.question) return AskAsBefore(text);
  try {
    return callbacks_.question(text.c_str(), title.c_str(), callbacks_.questionContext) != 0;
  } catch (...) {
    return false;
  }
}

void CApiMessageBoxHandler::ShowError(const std::string& text, const std::string& title) {
  if (callbacks_.error) {
    try {
      callbacks_.error(text.c_str(), title.c_str(), callbacks_.errorContext);
      return;
    } catch (...) {
      // kept as if there were no error callback
    }
  }
  ShowAsBefore(text);
}

bool CApiMessageBoxHandler::AskAsBefore(const std::string& text) {
  Reinstall self(shared_from_this());
  MessageBox::SetHandler(previous_);
  return MessageBox::AskYesNo(text);
}

void CApiMessageBoxHandler::ShowAsBefore(const std::string& text) {
  Reinstall self(shared_from_this());
  MessageBox::SetHandler(previous_);
  MessageBox::ShowError(text);
}

CApiMessageBoxHandler::Scope::Scope(const CApiMessageBoxCallbacks& callbacks) {
  if (!callbacks.question && !callbacks.error) return;
  previous_ = MessageBox::Handler();
  MessageBox::SetHandler(std::make_shared<CApiMessageBoxHandler>(callbacks, previous_));
  installed_ = true;
}

CApiMessageBoxHandler::Scope::~Scope() {
  if (installed_) MessageBox::SetHandler(std::move(previous_));
}

}  // namespace fabrikon::engine
