// TranslationCache: a map from text to a list position; the keys are views
// of the strings held in the list, so each text is stored once.
#include "data/dialect/TranslationCache.h"

namespace fabrikon::dialect {

TranslationCache::Entry TranslationCache::Find(const std::string& text) {
  const auto found = map_.find(std::string_view(text));
  if (found == map_.end()) return nullptr;
  order_.splice(order_.begin(), order_, found->second);
  return found->second->second;
}

void TranslationCache::Insert(const std::string& text, Entry translation) {
  if (capacity_ == 0 || text.size() > kMaxTextSize || map_.count(std::string_view(text)) != 0) return;
  size_t bytes = 2 * text.size() + 64;
  for (const TranslatedStatement& statement : *translation) {
    bytes += statement.original.size() + statement.condition.size() + 64;
    for (const std::string& sql : statement.sql) bytes += sql.size();
  }
  if (bytes > capacityBytes_ / 4) return;
  order_.push_front(Item{text, std::move(translation), bytes});
  map_.emplace(std::string_view(order_.front().first), order_.begin());
  bytes_ += bytes;
  while (map_.size() > capacity_ || bytes_ > capacityBytes_) {
    bytes_ -= order_.back().bytes;
    map_.erase(std::string_view(order_.back().first));
    order_.pop_back();
  }
}

}  // namespace fabrikon::dialect
