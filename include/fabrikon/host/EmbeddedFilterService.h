// EmbeddedFilterService: the filter window without a window. The program that
// runs the library presets the filter; showing the "window" confirms it when
// one is set for the card (result code 1) and cancels otherwise.
#pragma once
#include <map>
#include <optional>

#include "fabrikon/host/FilterService.h"

namespace fabrikon {

class EmbeddedFilterService : public FilterService {
 public:
  // The filter confirmed for every card that has none of its own.
  void SetFilter(std::string filter);
  // The filter confirmed for one card (card numbers compare without regard to case).
  void SetFilter(const std::string& cardNumber, std::string filter);
  void ClearFilters();

  void Prepare(int mode) override;
  void Show(const std::string& cardNumber, const std::string& module, const ConnectionPtr& conn,
            std::shared_ptr<void>& reference, bool flag1, bool flag2, const std::string& userId,
            LoginInfoPtr& login, long& resultCode) override;
  std::string GetFilter(const std::string& cardNumber) override;
  void Close(const std::string& text, bool flag) override;

  // What the last Show was asked for, for programs that want to see it.
  const std::string& ShownCardNumber() const { return shownCard_; }
  const std::string& ShownModule() const { return shownModule_; }
  bool ShownWithReference() const { return shownWithReference_; }

 private:
  std::optional<std::string> FilterFor(const std::string& cardNumber) const;

  std::optional<std::string> anyCard_;
  std::map<std::string, std::string> perCard_;  // key: lower-cased card number
  std::string shownCard_;
  std::string shownModule_;
  bool shownWithReference_ = false;
};

}  // namespace fabrikon
