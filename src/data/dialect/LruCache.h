// LruCache: values kept per text on one thread, least recently used first
// out, bounded both by the number of entries and by the bytes they take
// (each entry's size is told on insertion). The keys are views of the texts
// held in the list, so each text is stored once.
#pragma once
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>

namespace fabrikon::dialect {

template <class Value>
class LruCache {
 public:
  LruCache(size_t capacity, size_t capacityBytes) : capacity_(capacity), capacityBytes_(capacityBytes) {}

  // The value kept for text (now the most recently used), or a default Value.
  Value Find(const std::string& text) {
    const auto found = map_.find(std::string_view(text));
    if (found == map_.end()) return Value();
    order_.splice(order_.begin(), order_, found->second);
    return found->second->value;
  }
  // Keeps nothing that would take more than a quarter of the bound.
  void Insert(const std::string& text, Value value, size_t bytes) {
    bytes += 2 * text.size() + 96;
    if (capacity_ == 0 || bytes > capacityBytes_ / 4 || map_.count(std::string_view(text)) != 0) return;
    order_.push_front(Item{text, std::move(value), bytes});
    map_.emplace(std::string_view(order_.front().text), order_.begin());
    bytes_ += bytes;
    while (map_.size() > capacity_ || bytes_ > capacityBytes_) {
      bytes_ -= order_.back().bytes;
      map_.erase(std::string_view(order_.back().text));
      order_.pop_back();
    }
  }
  size_t size() const { return map_.size(); }
  size_t Bytes() const { return bytes_; }

 private:
  struct Item {
    std::string text;
    Value value;
    size_t bytes;
  };
  size_t capacity_;
  size_t capacityBytes_;
  size_t bytes_ = 0;
  std::list<Item> order_;  // most recently used first
  std::unordered_map<std::string_view, typename std::list<Item>::iterator> map_;
};

}  // namespace fabrikon::dialect
