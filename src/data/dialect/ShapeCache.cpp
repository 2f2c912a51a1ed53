// ShapeCache: a map from key to list position; the keys are views of the
// strings held in the list, so each key is stored once.
#include "data/dialect/ShapeCache.h"

namespace fabrikon::dialect {

ShapeCache::Entry ShapeCache::Find(const std::string& key) {
  const auto found = map_.find(std::string_view(key));
  if (found == map_.end()) return nullptr;
  order_.splice(order_.begin(), order_, found->second);
  return found->second->translation;
}

void ShapeCache::Insert(const std::string& key, Entry translation) {
  const size_t bytes = 2 * key.size() + translation->Bytes() + 96;
  if (bytes > capacity_ / 4 || map_.count(std::string_view(key)) != 0) return;
  order_.push_front(Item{key, std::move(translation), bytes});
  map_.emplace(std::string_view(order_.front().key), order_.begin());
  bytes_ += bytes;
  while (bytes_ > capacity_) {
    bytes_ -= order_.back().bytes;
    map_.erase(std::string_view(order_.back().key));
    order_.pop_back();
  }
}

}  // namespace fabrikon::dialect
