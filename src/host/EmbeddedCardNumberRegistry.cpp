// EmbeddedCardNumberRegistry: card numbers and the default template of the
// outsourcing order, from the connection string, the settings table or defaults.
#include "host/EmbeddedCardNumberRegistry.h"

#include <charconv>
#include <limits>

#include "data/SqliteConnection.h"
#include "fabrikon/ComError.h"
#include "fabrikon/modVoucher.h"

namespace fabrikon {
namespace {

bool NotEmpty(const std::string& text) { return !text.empty(); }

std::optional<int16_t> ParseVTID(const std::string& text) {
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int16_t>(value);
}

bool IsVTID(const std::string& text) { return ParseVTID(text).has_value(); }

}  // namespace

std::optional<std::string> EmbeddedCardNumberRegistry::SettingsValue(const std::string& connectionString,
                                                                      const std::string& name) {
  // Only the caller's own connection is used: the registry is asked in the
  // middle of a save, and a second connection would be a second writer.
  ConnectionPtr conn = FindOpenConnection(connectionString);
  if (!conn) return std::nullopt;
  try {
    RecordsetPtr rs = conn->Open("SELECT cValue FROM FabrikonSettings WHERE cName=" + SqlStr(name));
    if (rs->Eof()) return std::nullopt;
    return Trim(rs->Fields("cValue").Value().ToText());
  } catch (const ComError&) {
    // A database without the settings table (not one of ours) uses the defaults.
    return std::nullopt;
  }
}

std::optional<std::string> EmbeddedCardNumberRegistry::Lookup(const std::string& connectionString,
                                                               const std::string& name,
                                                               bool (*usable)(const std::string&)) {
  std::string fromKey = Trim(ConnectionStringValue(connectionString, name));
  if (usable(fromKey)) return fromKey;
  std::optional<std::string> fromTable = SettingsValue(connectionString, name);
  if (fromTable && usable(*fromTable)) return fromTable;
  return std::nullopt;
}

std::string EmbeddedCardNumberRegistry::WWOrderCardNumber(const std::string& connectionString) {
  return Lookup(connectionString, "WWOrderCardNumber", NotEmpty).value_or(kDefaultWWOrderCardNumber);
}

std::string EmbeddedCardNumberRegistry::WWPODetailsCardNumber(const std::string& connectionString) {
  return Lookup(connectionString, "WWPODetailsCardNumber", NotEmpty).value_or(kDefaultWWPODetailsCardNumber);
}

int16_t EmbeddedCardNumberRegistry::WWOrderDefaultVTID(const std::string& connectionString) {
  std::optional<std::string> text = Lookup(connectionString, "WWOrderDefaultVTID", IsVTID);
  return text ? *ParseVTID(*text) : kDefaultWWOrderDefaultVTID;
}

}  // namespace fabrikon
