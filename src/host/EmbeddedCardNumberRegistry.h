// EmbeddedCardNumberRegistry: which card numbers the outsourcing order and its
// component lines use in a database, and the screen template a new
// outsourcing order receives.
//
// Each value is looked up in this order:
//   1. a key of the connection string (WWOrderCardNumber, WWPODetailsCardNumber,
//      WWOrderDefaultVTID), so a program can choose without touching the database;
//   2. the row of the same name in the settings table FabrikonSettings(cName, cValue)
//      of the database, read on the caller's open connection;
//   3. the defaults below.
// Empty or unusable values (a template ID that is not a 16-bit number) count as absent.
#pragma once
#include <optional>

#include "fabrikon/host/CardNumberRegistry.h"

namespace fabrikon {

class EmbeddedCardNumberRegistry : public CardNumberRegistry {
 public:
  static constexpr const char* kDefaultWWOrderCardNumber = "om01";
  static constexpr const char* kDefaultWWPODetailsCardNumber = "om02";
  static constexpr int16_t kDefaultWWOrderDefaultVTID = 30;

  std::string WWOrderCardNumber(const std::string& connectionString) override;
  std::string WWPODetailsCardNumber(const std::string& connectionString) override;
  int16_t WWOrderDefaultVTID(const std::string& connectionString) override;

 private:
  static std::optional<std::string> Lookup(const std::string& connectionString, const std::string& name,
                                           bool (*usable)(const std::string&));
  static std::optional<std::string> SettingsValue(const std::string& connectionString, const std::string& name);
};

}  // namespace fabrikon
