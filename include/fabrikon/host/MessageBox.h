// The two message boxes of the library (title "委外管理"). The library never
// opens a window: a host installs a handler. Without one, error boxes go to
// an error sink the host can read, and Yes/No questions are answered No.
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
bool AskYesNo(const std::string& text);
void ShowError(const std::string& text);
// Error texts shown while no handler was installed (this thread), oldest first.
std::vector<std::string> TakeErrors();
}  // namespace MessageBox

}  // namespace fabrikon
