// ShapeCache: statement shapes translated on this thread, bounded by the
// bytes their keys and templates take; least recently used first out.
#pragma once
#include <memory>
#include <string>

#include "data/dialect/LruCache.h"
#include "data/dialect/ShapeTranslation.h"

namespace fabrikon::dialect {

class ShapeCache {
 public:
  using Entry = std::shared_ptr<const ShapeTranslation>;
  explicit ShapeCache(size_t capacityBytes) : cache_(static_cast<size_t>(-1), capacityBytes) {}

  // The translation of the shape, or null.
  Entry Find(const std::string& key) { return cache_.Find(key); }
  void Insert(const std::string& key, Entry translation) {
    const size_t bytes = translation->Bytes();
    cache_.Insert(key, std::move(translation), bytes);
  }
  size_t Bytes() const { return cache_.Bytes(); }
  size_t size() const { return cache_.size(); }

 private:
  LruCache<Entry> cache_;
};

}  // namespace fabrikon::dialect
