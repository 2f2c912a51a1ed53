// TranslationCache: the last few hundred batches translated on this thread,
// within a bound on the bytes they take, least recently used first out. The library sends the same texts again and
// again (navigation, state changes, metadata queries), so most batches are
// translated once.
#pragma once
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "data/dialect/TSqlDialect.h"

namespace fabrikon::dialect {

class TranslationCache {
 public:
  using Entry = std::shared_ptr<const std::vector<TranslatedStatement>>;
  explicit TranslationCache(size_t capacity, size_t capacityBytes = kDefaultBytes)
      : capacity_(capacity), capacityBytes_(capacityBytes) {}

  // The cached translation of text, or null.
  Entry Find(const std::string& text);
  void Insert(const std::string& text, Entry translation);
  size_t size() const { return map_.size(); }

  static constexpr size_t kMaxTextSize = 64 * 1024;  // larger batches are not kept
  static constexpr size_t kDefaultBytes = 2 * 1024 * 1024;

 private:
  struct Item {
    std::string first;  // the text
    Entry second;
    size_t bytes;
  };
  size_t capacity_;
  size_t capacityBytes_;
  size_t bytes_ = 0;
  std::list<Item> order_;  // most recently used first
  std::unordered_map<std::string_view, std::list<Item>::iterator> map_;
};

}  // namespace fabrikon::dialect
