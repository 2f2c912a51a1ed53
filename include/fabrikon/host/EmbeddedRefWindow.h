// EmbeddedRefWindow: the reference window without a screen. It runs the
// query it was given on the connection it was made with and "chooses" what
// the program preset: a data row (1-based), nothing, or a refusal in
// StrRefInit. A preset holds until the next preset; nothing is the default.
#pragma once
#include <string>

#include "fabrikon/Connection.h"
#include "fabrikon/host/RefWindow.h"

namespace fabrikon {

class EmbeddedRefWindow : public RefWindow {
 public:
  explicit EmbeddedRefWindow(ConnectionPtr conn = nullptr, long instance = 0);

  void ChooseRow(long row);  // 1-based row of the query's result
  void ChooseNothing();
  void Refuse();

  bool StrRefInit(LoginInfoPtr& login, bool flag, const std::string& text, std::string& query,
                  std::string& captions) override;
  void Show() override;
  RecordsetPtr recmx() const override { return chosen_; }

  // What the window was last given, and by how many calls.
  long Instance() const { return instance_; }
  long InitCount() const { return initCount_; }
  const std::string& Query() const { return query_; }
  const std::string& Captions() const { return captions_; }

 private:
  enum class Preset { Nothing, Row, Refuse };
  ConnectionPtr conn_;
  long instance_;
  Preset preset_ = Preset::Nothing;
  long row_ = 0;
  long initCount_ = 0;
  std::string query_;
  std::string captions_;
  RecordsetPtr chosen_;
};

}  // namespace fabrikon
