// HeapCounter: the bytes a benchmark program holds on the heap, now and at
// its peak, counted by replacing the global operator new and delete and
// pugixml's allocator (include in one file of a program only). SQLite keeps
// its own count (sqlite3_memory_used, sqlite3_memory_highwater).
#pragma once
#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <pugixml.hpp>

// operator new below allocates with malloc, so free is its match.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace fabrikon::bench {

struct HeapCounter {
  static std::atomic<long long>& Current() {
    static std::atomic<long long> bytes{0};
    return bytes;
  }
  static std::atomic<long long>& Peak() {
    static std::atomic<long long> bytes{0};
    return bytes;
  }
  static void* Allocate(size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) return nullptr;
    const long long now = Current() += static_cast<long long>(malloc_usable_size(p));
    long long peak = Peak().load(std::memory_order_relaxed);
    while (now > peak && !Peak().compare_exchange_weak(peak, now)) {
    }
    return p;
  }
  static void Free(void* p) {
    if (p == nullptr) return;
    Current() -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
  }
  // Starts a new peak from what is held now.
  static void ResetPeak() { Peak() = Current().load(); }
  static void CountPugixml() { pugi::set_memory_management_functions(Allocate, Free); }
};

}  // namespace fabrikon::bench

void* operator new(size_t size) {
  void* p = fabrikon::bench::HeapCounter::Allocate(size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { fabrikon::bench::HeapCounter::Free(p); }
void operator delete[](void* p) noexcept { fabrikon::bench::HeapCounter::Free(p); }
void operator delete(void* p, size_t) noexcept { fabrikon::bench::HeapCounter::Free(p); }
void operator delete[](void* p, size_t) noexcept { fabrikon::bench::HeapCounter::Free(p); }
