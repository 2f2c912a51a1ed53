// EmbeddedFilterService: hands out filters the program preset, in place of
// the host's interactive filter window.
#include "fabrikon/host/EmbeddedFilterService.h"

#include "fabrikon/modVoucher.h"

namespace fabrikon {

void EmbeddedFilterService::SetFilter(std::string filter) { anyCard_ = std::move(filter); }

void EmbeddedFilterService::SetFilter(const std::string& cardNumber, std::string filter) {
  perCard_[LCase(cardNumber)] = std::move(filter);
}

void EmbeddedFilterService::ClearFilters() {
  anyCard_.reset();
  perCard_.clear();
}

std::optional<std::string> EmbeddedFilterService::FilterFor(const std::string& cardNumber) const {
  auto it = perCard_.find(LCase(cardNumber));
  if (it != perCard_.end()) return it->second;
  return anyCard_;
}

void EmbeddedFilterService::Prepare(int) {}

void EmbeddedFilterService::Show(const std::string& cardNumber, const std::string& module,
                                 const ConnectionPtr&, std::shared_ptr<void>& reference, bool, bool,
                                 const std::string&, LoginInfoPtr&, long& resultCode) {
  shownCard_ = cardNumber;
  shownModule_ = module;
  shownWithReference_ = static_cast<bool>(reference);
  // Nobody can confirm a filter that was never set: that is a cancel.
  resultCode = FilterFor(cardNumber) ? 1 : 0;
}

std::string EmbeddedFilterService::GetFilter(const std::string& cardNumber) {
  return FilterFor(cardNumber).value_or("");
}

void EmbeddedFilterService::Close(const std::string&, bool) {}

}  // namespace fabrikon
