// TranslationCache: the last few hundred batches translated on this thread,
// within a bound on the bytes they take, least recently used first out. The
// library sends the same texts again and again (navigation, state changes,
// metadata queries), so most batches are translated once.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "data/dialect/LruCache.h"
#include "data/dialect/TSqlDialect.h"

namespace fabrikon::dialect {

class TranslationCache {
 public:
  using Entry = std::shared_ptr<const std::vector<TranslatedStatement>>;
  explicit TranslationCache(size_t capacity, size_t capacityBytes = kDefaultBytes) : cache_(capacity, capacityBytes) {}

  // The cached translation of text, or null.
  Entry Find(const std::string& text) { return cache_.Find(text); }
  void Insert(const std::string& text, Entry translation);
  size_t size() const { return cache_.size(); }

  static constexpr size_t kMaxTextSize = 64 * 1024;  // larger batches are not kept
  static constexpr size_t kDefaultBytes = 2 * 1024 * 1024;

 private:
  LruCache<Entry> cache_;
};

}  // namespace fabrikon::dialect
