// ShapeCache: statement shapes translated on this thread, bounded by the
// bytes their keys and templates take; least recently used first out.
#pragma once
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "data/dialect/ShapeTranslation.h"

namespace fabrikon::dialect {

class ShapeCache {
 public:
  using Entry = std::shared_ptr<const ShapeTranslation>;
  explicit ShapeCache(size_t capacityBytes) : capacity_(capacityBytes) {}

  Entry Find(const std::string& key);
  void Insert(const std::string& key, Entry translation);
  size_t Bytes() const { return bytes_; }
  size_t size() const { return map_.size(); }

 private:
  struct Item {
    std::string key;
    Entry translation;
    size_t bytes;
  };
  size_t capacity_;
  size_t bytes_ = 0;
  std::list<Item> order_;  // most recently used first
  std::unordered_map<std::string_view, std::list<Item>::iterator> map_;
};

}  // namespace fabrikon::dialect
