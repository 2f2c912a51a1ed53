// CApiMessageBoxHandler: the message boxes of one C interface handle. While a
// call runs through the handle, a Scope installs it as the calling thread's
// handler and puts the thread's earlier handler back afterwards. A box the
// handle has no callback for goes where it would have gone without the
// handle's handler (the thread's earlier handler, the process default, or
// No and the error sink).
#pragma once
#include <memory>
#include <string>

#include "fabrikon/fabrikon_c.h"
#include "fabrikon/host/MessageBox.h"

namespace fabrikon::engine {

struct CApiMessageBoxCallbacks {
  fabrikon_question_handler question = nullptr;
  void* questionContext = nullptr;
  fabrikon_error_handler error = nullptr;
  void* errorContext = nullptr;
};

class CApiMessageBoxHandler : public MessageBoxHandler, public std::enable_shared_from_this<CApiMessageBoxHandler> {
 public:
  CApiMessageBoxHandler(const CApiMessageBoxCallbacks& callbacks, std::shared_ptr<MessageBoxHandler> previous);

  // A callback that raises counts as No (a question) or as no handler (an
  // error box): nothing unwinds through the library because of it.
  bool AskYesNo(const std::string& text, const std::string& title) override;
  void ShowError(const std::string& text, const std::string& title) override;

  // Installs the handle's handler on this thread for its lifetime (nothing
  // when the handle has no callback).
  class Scope {
   public:
    explicit Scope(const CApiMessageBoxCallbacks& callbacks);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    std::shared_ptr<MessageBoxHandler> previous_;
    bool installed_ = false;
  };

 private:
  bool AskAsBefore(const std::string& text);
  void ShowAsBefore(const std::string& text);

  CApiMessageBoxCallbacks callbacks_;
  std::shared_ptr<MessageBoxHandler> previous_;
};

}  // namespace fabrikon::engine
