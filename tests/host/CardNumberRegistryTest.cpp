// Card numbers of the outsourcing vouchers: a key of the connection string
// beats the settings table, which beats the defaults.
#include "HostTestDatabase.h"
#include "fabrikon/host/HostServices.h"
#include "host/EmbeddedCardNumberRegistry.h"

namespace fabrikon::test {
namespace {

using Registry = EmbeddedCardNumberRegistry;

class CardNumberRegistryTest : public HostDatabaseTest {
 protected:
  void SetSetting(const std::string& name, const std::string& value) {
    conn_->Execute("UPDATE FabrikonSettings SET cValue='" + value + "' WHERE cName='" + name + "'");
  }
  Registry registry_;
};

TEST_F(CardNumberRegistryTest, SettingsTableOfTheOpenDatabaseIsRead) {
  SetSetting("WWOrderCardNumber", "ww01");
  SetSetting("WWPODetailsCardNumber", "ww02");
  SetSetting("WWOrderDefaultVTID", "77");
  EXPECT_EQ(registry_.WWOrderCardNumber(connectionString_), "ww01");
  EXPECT_EQ(registry_.WWPODetailsCardNumber(connectionString_), "ww02");
  EXPECT_EQ(registry_.WWOrderDefaultVTID(connectionString_), 77);
}

TEST_F(CardNumberRegistryTest, ConnectionStringKeyBeatsTheSettingsTable) {
  SetSetting("WWOrderCardNumber", "ww01");
  SetSetting("WWOrderDefaultVTID", "77");
  std::string withKeys = connectionString_ + ";wworderCardNumber=cs01;WWOrderDefaultVTID=12";
  ConnectionPtr second = OpenConnection(withKeys);
  EXPECT_EQ(registry_.WWOrderCardNumber(withKeys), "cs01");
  EXPECT_EQ(registry_.WWOrderDefaultVTID(withKeys), 12);
  // A key that is absent or unusable falls through to the table.
  EXPECT_EQ(registry_.WWPODetailsCardNumber(withKeys), "om02");
  std::string badVTID = connectionString_ + ";WWOrderDefaultVTID=40000";
  ConnectionPtr third = OpenConnection(badVTID);
  EXPECT_EQ(registry_.WWOrderDefaultVTID(badVTID), 77);
}

TEST_F(CardNumberRegistryTest, DefaultsWhenNeitherKeyNorSettingExists) {
  conn_->Execute("DELETE FROM FabrikonSettings");
  EXPECT_EQ(registry_.WWOrderCardNumber(connectionString_), Registry::kDefaultWWOrderCardNumber);
  EXPECT_EQ(registry_.WWPODetailsCardNumber(connectionString_), Registry::kDefaultWWPODetailsCardNumber);
  EXPECT_EQ(registry_.WWOrderDefaultVTID(connectionString_), Registry::kDefaultWWOrderDefaultVTID);
  SetSetting("WWOrderCardNumber", "");
  EXPECT_EQ(registry_.WWOrderCardNumber(connectionString_), Registry::kDefaultWWOrderCardNumber);
}

TEST_F(CardNumberRegistryTest, WithoutAnOpenConnectionNoFileIsTouched) {
  std::string elsewhere = path_.string() + ".absent";
  EXPECT_EQ(registry_.WWOrderCardNumber("Data Source=" + elsewhere), Registry::kDefaultWWOrderCardNumber);
  EXPECT_FALSE(std::filesystem::exists(elsewhere));
}

TEST_F(CardNumberRegistryTest, DatabaseWithoutSettingsTableUsesDefaults) {
  conn_->Execute("DROP TABLE FabrikonSettings");
  EXPECT_EQ(registry_.WWOrderDefaultVTID(connectionString_), Registry::kDefaultWWOrderDefaultVTID);
}

TEST(CardNumberRegistryDefaultsTest, AgreeWithTheSchemasSettings) {
  // The defaults and the rows the schema seeds must name the same cards.
  auto path = std::filesystem::path(::testing::TempDir()) / ("host_defaults_" + std::to_string(::getpid()) + ".db");
  HostDatabase::Create(path.string(), false, true);
  {
    std::string cs = "Data Source=" + path.string();
    ConnectionPtr conn = OpenConnection(cs);
    Registry fromTable;
    EXPECT_EQ(fromTable.WWOrderCardNumber(cs), Registry::kDefaultWWOrderCardNumber);
    EXPECT_EQ(fromTable.WWPODetailsCardNumber(cs), Registry::kDefaultWWPODetailsCardNumber);
    EXPECT_EQ(fromTable.WWOrderDefaultVTID(cs), Registry::kDefaultWWOrderDefaultVTID);
  }
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace fabrikon::test
