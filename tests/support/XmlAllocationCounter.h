// XmlAllocationCounter: the bytes the XML library allocates while a counter
// lives. Selections allocate their results, so the count grows with the rows
// an operation selects: a measure of work that does not depend on the
// machine's speed, for tests that an operation stays linear.
#pragma once
#include <cstdlib>
#include <pugixml.hpp>

namespace fabrikon::testsupport {

class XmlAllocationCounter {
 public:
  XmlAllocationCounter()
      : allocate_(pugi::get_memory_allocation_function()), release_(pugi::get_memory_deallocation_function()) {
    Bytes() = 0;
    // Plain malloc and free, as the library's defaults: blocks allocated
    // before or after the counter are released the same way.
    pugi::set_memory_management_functions(Count, std::free);
  }
  ~XmlAllocationCounter() { pugi::set_memory_management_functions(allocate_, release_); }
  XmlAllocationCounter(const XmlAllocationCounter&) = delete;
  XmlAllocationCounter& operator=(const XmlAllocationCounter&) = delete;

  // Bytes allocated since the last call (or since the counter was made).
  static long long Take() {
    const long long bytes = Bytes();
    Bytes() = 0;
    return bytes;
  }

 private:
  static long long& Bytes() {
    static long long bytes = 0;
    return bytes;
  }
  static void* Count(size_t size) {
    Bytes() += static_cast<long long>(size);
    return std::malloc(size);
  }

  pugi::allocation_function allocate_;
  pugi::deallocation_function release_;
};

}  // namespace fabrikon::testsupport
