// CardNumberRegistry: under which card numbers the outsourcing order and its
// component lines are registered for the database of a connection string.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace fabrikon {

class CardNumberRegistry {
 public:
  virtual ~CardNumberRegistry() = default;
  virtual std::string WWOrderCardNumber(const std::string& connectionString) = 0;
  virtual std::string WWPODetailsCardNumber(const std::string& connectionString) = 0;
  virtual int16_t WWOrderDefaultVTID(const std::string& connectionString) = 0;
};
using CardNumberRegistryPtr = std::shared_ptr<CardNumberRegistry>;

}  // namespace fabrikon
