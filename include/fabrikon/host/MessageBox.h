// The two message boxes of the library (title "委外管理"). The library never
// opens a window: a host installs a handler, per thread or as the process's
// default. Without one, error boxes go to an error sink the host can read,
// and Yes/No questions are answered No.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fabrikon {

inline constexpr const char* kMessageBoxTitle = "委外管理";

class MessageBoxHandler {
 public:
  virtual ~MessageBoxHandler() = default;
  virtual bool AskYesNo(const std::string& text, const std::string& title) = 0;
  virtual void ShowError(const std::string& text, const std::string& title) = 0;
};

namespace MessageBox {
// Installs the handler for this thread (nullptr restores the default).
void SetHandler(std::shared_ptr<MessageBoxHandler> handler);
// The handler installed for this thread (nullptr when it has none of its own).
std::shared_ptr<MessageBoxHandler> Handler();
// Installs the process-wide default: the handler of every thread that has
// none of its own (nullptr: none, the boxes behave as without a handler).
// Safe to call while other threads ask; the handler itself must be safe to
// call from several threads at once.
void SetDefaultHandler(std::shared_ptr<MessageBoxHandler> handler);
bool AskYesNo(const std::string& text);
void ShowError(const std::string& text);
// Error texts shown while no handler was installed (this thread), oldest first.
std::vector<std::string> TakeErrors();
}  // namespace MessageBox

}  // namespace fabrikon
