// Creating and upgrading the embedded host database: what a new file holds,
// that existing files are not overwritten, that an older file is brought up
// to date in one piece without losing rows, and that files that are not ours
// are never touched.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <fstream>

#include "SchemaTestSupport.h"
#include "data/SchemaScripts.h"
#include "fabrikon/ComError.h"
#include "fabrikon/Connection.h"
#include "fabrikon/CreateHostDatabase.h"
#include "fabrikon/Recordset.h"

using namespace fabrikon;
using namespace schema_test;

namespace {

bool HasTable(Connection& conn, const std::string& name) {
  return Scalar(conn, "SELECT count(*) FROM sysobjects WHERE name='" + name + "'") == "1";
}

// A file as an older release left it: the scripts up to `version`, plus rows.
void WriteOldDatabase(const std::string& path, int version) {
  auto conn = Connect(path);  // empty file: version 0, left alone
  for (const SchemaScript& script : SchemaScripts()) {
    if (script.version <= version) conn->ExecuteNative(script.text);
  }
  conn->ExecuteNative("PRAGMA user_version=" + std::to_string(version));
  conn->ExecuteNative(
      "INSERT INTO inventory (cinvcode, cinvname, bfree1) VALUES ('X1', '旧存货', 1);"
      "INSERT INTO Vouchers (CardNumber, BTTblName, SelfDef1) VALUES ('pp01', 'my_forecasts', 'myid');"
      "UPDATE AccInformation SET cValue='4' WHERE cSysID='AA' AND cName='iStrsQuanDecDgt';");
}

}  // namespace

TEST(SchemaScriptsTest, VersionsRunFromOneWithoutGaps) {
  const auto& scripts = SchemaScripts();
  ASSERT_FALSE(scripts.empty());
  for (size_t i = 0; i < scripts.size(); ++i) EXPECT_EQ(scripts[i].version, static_cast<int>(i) + 1) << scripts[i].name;
  EXPECT_EQ(HostDatabase::CurrentVersion(), scripts.back().version);
  EXPECT_FALSE(DemoScripts().empty());
}

TEST(HostDatabaseCreateTest, NewDatabaseHasCurrentSchemaAndConfigurationButNoPlant) {
  ScratchDir dir;
  const std::string path = dir.File("plant.db");
  HostDatabase::Create(path, false, false);
  auto conn = Connect(path);
  EXPECT_EQ(HostDatabase::SchemaVersion(*conn), HostDatabase::CurrentVersion());
  EXPECT_EQ(Scalar(*conn, "SELECT count(*) FROM Vouchers"), "14");
  EXPECT_EQ(Scalar(*conn, "SELECT cValue FROM AccInformation WHERE cSysID='AA' AND cName='iStrsQuanDecDgt'"), "2");
  EXPECT_EQ(Scalar(*conn, "SELECT cValue FROM AccInformation WHERE csysid = 'PP' AND cName = 'bWasteRate'"), "1");
  EXPECT_EQ(Scalar(*conn, "SELECT cValue FROM FabrikonSettings WHERE cName='WWOrderCardNumber'"), "om01");
  EXPECT_EQ(Scalar(*conn, "SELECT count(*) FROM inventory"), "0");
  EXPECT_EQ(Scalar(*conn, "SELECT count(*) FROM pp_productpo"), "0");
}

TEST(HostDatabaseCreateTest, DemoDatabaseHoldsThePlant) {
  ScratchDir dir;
  const std::string path = dir.File("demo.db");
  HostDatabase::Create(path, true, false);
  auto conn = Connect(path);
  EXPECT_EQ(HostDatabase::SchemaVersion(*conn), HostDatabase::CurrentVersion());
  EXPECT_NE(Scalar(*conn, "SELECT count(*) FROM inventory"), "0");
  EXPECT_NE(Scalar(*conn, "SELECT count(*) FROM om_productpo"), "0");
}

TEST(HostDatabaseCreateTest, RefusesAnExistingFileUnlessForced) {
  ScratchDir dir;
  const std::string path = dir.File("precious.db");
  { std::ofstream(path) << "not to be lost"; }
  try {
    HostDatabase::Create(path, false, false);
    FAIL() << "an existing file was overwritten";
  } catch (const ComError& e) {
    EXPECT_NE(e.Description().find("already exists"), std::string::npos) << e.Description();
  }
  EXPECT_EQ(ReadAll(path), "not to be lost");

  HostDatabase::Create(path, true, true);
  auto conn = Connect(path);
  EXPECT_EQ(HostDatabase::SchemaVersion(*conn), HostDatabase::CurrentVersion());
  EXPECT_NE(Scalar(*conn, "SELECT count(*) FROM inventory"), "0");
}

TEST(HostDatabaseCreateTest, ForcedCreationReplacesAnOlderDatabase) {
  ScratchDir dir;
  const std::string path = dir.File("plant.db");
  HostDatabase::Create(path, true, false);
  HostDatabase::Create(path, false, true);
  auto conn = Connect(path);
  EXPECT_EQ(Scalar(*conn, "SELECT count(*) FROM inventory"), "0");
}

TEST(HostDatabaseCreateTest, RefusesADirectoryAndAMissingFolder) {
  ScratchDir dir;
  EXPECT_THROW(HostDatabase::Create(dir.File(""), false, true), ComError);
  const std::string nowhere = dir.File("missing/plant.db");
  EXPECT_THROW(HostDatabase::Create(nowhere, false, false), ComError);
  EXPECT_FALSE(fs::exists(nowhere));
}

TEST(HostDatabaseUpgradeTest, OlderFileGainsNewTablesAndKeepsItsRows) {
  ScratchDir dir;
  const std::string path = dir.File("old.db");
  WriteOldDatabase(path, 1);
  ASSERT_EQ(FileSchemaVersion(path), 1);

  auto conn = Connect(path);  // opening upgrades
  EXPECT_EQ(HostDatabase::SchemaVersion(*conn), HostDatabase::CurrentVersion());
  EXPECT_TRUE(HasTable(*conn, "pp_productpo"));
  EXPECT_TRUE(HasTable(*conn, "pp_scdd_h"));
  EXPECT_TRUE(HasTable(*conn, "FabrikonNumberRules"));
  EXPECT_EQ(Scalar(*conn, "SELECT cinvname FROM inventory WHERE cinvcode='X1'"), "旧存货");
  EXPECT_EQ(Scalar(*conn, "SELECT cValue FROM AccInformation WHERE cName='iStrsQuanDecDgt'"), "4");
  // A card the database already had keeps its own row; the others are added.
  EXPECT_EQ(Scalar(*conn, "SELECT BTTblName FROM Vouchers WHERE CardNumber='pp01'"), "my_forecasts");
  EXPECT_EQ(Scalar(*conn, "SELECT BTTblName FROM Vouchers WHERE CardNumber='pp25'"), "pp_productpo");
}

TEST(HostDatabaseUpgradeTest, UpgradeOfTheCurrentVersionChangesNothing) {
  ScratchDir dir;
  const std::string path = dir.File("plant.db");
  HostDatabase::Create(path, true, false);
  auto conn = Connect(path);
  conn->Execute("UPDATE inventory SET cinvname='改过的' WHERE cinvcode='P100'");
  HostDatabase::Upgrade(*conn);
  EXPECT_EQ(Scalar(*conn, "SELECT cinvname FROM inventory WHERE cinvcode='P100'"), "改过的");
  EXPECT_EQ(HostDatabase::SchemaVersion(*conn), HostDatabase::CurrentVersion());
}

TEST(HostDatabaseUpgradeTest, FailedUpgradeLeavesTheFileAsItWas) {
  ScratchDir dir;
  const std::string path = dir.File("clash.db");
  {
    // Written while the file is still version 0 (opening it later would
    // upgrade it): version 1, and a table of the user's own where version 2
    // wants to create one.
    auto conn = Connect(path);
    for (const SchemaScript& script : SchemaScripts()) {
      if (script.version <= 1) conn->ExecuteNative(script.text);
    }
    conn->ExecuteNative("CREATE TABLE pp_pomain (mine int); PRAGMA user_version=1;");
  }
  try {
    Connect(path);
    FAIL() << "the upgrade ran over the user's table";
  } catch (const ComError& e) {
    EXPECT_NE(e.Description().find("002_vouchers.sql"), std::string::npos) << e.Description();
  }
  EXPECT_EQ(FileSchemaVersion(path), 1);
}

TEST(HostDatabaseUpgradeTest, FilesWithVersionZeroAreLeftAlone) {
  ScratchDir dir;
  {
    auto conn = Connect(dir.File("empty.db"));
    EXPECT_EQ(HostDatabase::SchemaVersion(*conn), 0);
    EXPECT_FALSE(HasTable(*conn, "Vouchers"));
  }
  const std::string foreign = dir.File("foreign.db");
  {
    auto conn = Connect(foreign);
    conn->ExecuteNative("CREATE TABLE customers (id int); INSERT INTO customers VALUES (7);");
  }
  auto conn = Connect(foreign);
  EXPECT_EQ(HostDatabase::SchemaVersion(*conn), 0);
  EXPECT_FALSE(HasTable(*conn, "Vouchers"));
  EXPECT_EQ(Scalar(*conn, "SELECT id FROM customers"), "7");
}

TEST(HostDatabaseUpgradeTest, NewerFileIsLeftAlone) {
  ScratchDir dir;
  const std::string path = dir.File("newer.db");
  HostDatabase::Create(path, false, false);
  const int newer = HostDatabase::CurrentVersion() + 5;
  Connect(path)->ExecuteNative("PRAGMA user_version=" + std::to_string(newer));
  auto conn = Connect(path);
  EXPECT_EQ(HostDatabase::SchemaVersion(*conn), newer);
}

// The public call: the answer opens the new database; an existing file is
// never replaced; a failure names the path.
TEST(HostDatabaseCreateTest, HostsCreateTheirDatabaseThroughThePublicCall) {
  ScratchDir dir;
  const std::string path = dir.File("host plant;1.db");
  ConnectionPtr conn = OpenConnection(CreateHostDatabase(path, true));
  RecordsetPtr orders = conn->Open("SELECT count(*) AS n FROM pp_productpo");
  EXPECT_NE(orders->Fields("n").Value().ToText(), "0");

  for (const std::string& bad : {path, dir.File("missing/dir/plant.db")}) {
    try {
      CreateHostDatabase(bad, false);
      ADD_FAILURE() << "created " << bad;
    } catch (const ComError& e) {
      EXPECT_NE(e.Description().find(bad), std::string::npos) << e.Description();
    }
  }
  EXPECT_NE(conn->Open("SELECT count(*) AS n FROM pp_productpo")->Fields("n").Value().ToText(), "0");
}

namespace {

// The definitions of a table and of everything built on it (indexes,
// triggers, views that name it), read from the catalogue by name.
std::vector<std::string> DefinitionsAround(SqliteConnection& conn, const std::string& table) {
  const std::string sql = "SELECT type || ' ' || name || ': ' || coalesce(sql, '') FROM sqlite_master WHERE tbl_name='" + table +
                          "' OR (type='view' AND sql LIKE '%" + table + "%') ORDER BY type, name";
  std::vector<std::string> definitions;
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(conn.Handle(), sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) return {"unreadable"};
  while (sqlite3_step(statement) == SQLITE_ROW)
    definitions.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
  sqlite3_finalize(statement);
  return definitions;
}

}  // namespace

// Version 6 rebuilds the outsourcing product lines so that their running
// quantities start at 0: rows (row versions and stored NULLs included),
// indexes, row-version triggers and views come through as a new file has them.
TEST(HostDatabaseUpgradeTest, ProductLinesKeepTheirRowsAndGainZeroDefaults) {
  ScratchDir dir;
  const std::string old = dir.File("old.db");
  const std::string lines = "SELECT mainid, id, cinvcode, fquantity, finquantity, iTookQuantity, iInvalidQuantity, "
                            "cclose, cSOsIDs, bputfromso, cfree1, cmemo, qxts FROM om_pomain ORDER BY mainid";
  std::vector<std::vector<std::string>> before;
  {
    auto conn = Connect(old);  // empty file: version 0, left alone
    for (const SchemaScript& script : SchemaScripts()) {
      if (script.version <= 5) conn->ExecuteNative(script.text);
    }
    conn->ExecuteNative(
        "INSERT INTO om_productpo (id, ccode) VALUES (1, 'W1');"
        "INSERT INTO om_pomain (mainid, id, cinvcode, fquantity, cSOsIDs, cfree1, cmemo) "
        "VALUES (11, 1, 'X1', 10, ',7,', '红', '未入库');"
        "INSERT INTO om_pomain (mainid, id, cinvcode, fquantity, finquantity, iTookQuantity, iInvalidQuantity, cclose) "
        "VALUES (12, 1, 'X1', 5, 5, 1, 2, 'demo');"
        "PRAGMA user_version=5;");
    before = Rows(*conn, lines);
  }
  ASSERT_EQ(FileSchemaVersion(old), 5);
  ASSERT_EQ(before.size(), 2u);
  ASSERT_EQ(before[0][4], "NULL");  // version 5 stored nothing received as NULL
  const std::string fresh = dir.File("fresh.db");
  HostDatabase::Create(fresh, false, false);

  auto conn = Connect(old);  // opening upgrades
  EXPECT_EQ(HostDatabase::SchemaVersion(*conn), HostDatabase::CurrentVersion());
  EXPECT_EQ(Rows(*conn, lines), before);
  const std::vector<std::string> definitions = DefinitionsAround(*conn, "om_pomain");
  EXPECT_EQ(definitions.size(), 10u);  // table, key, two indexes, two triggers, four views
  EXPECT_EQ(definitions, DefinitionsAround(*Connect(fresh), "om_pomain"));

  // The triggers still version the rows, and a line added without its
  // running quantities holds 0.
  const long long newest = std::stoll(Scalar(*conn, "SELECT max(qxts) FROM om_pomain"));
  conn->Execute("INSERT INTO om_pomain (mainid, id, cinvcode, fquantity) VALUES (13, 1, 'X1', 3)");
  conn->Execute("UPDATE om_pomain SET cmemo='x' WHERE mainid=12");
  EXPECT_GT(std::stoll(Scalar(*conn, "SELECT qxts FROM om_pomain WHERE mainid=13")), newest);
  EXPECT_GT(std::stoll(Scalar(*conn, "SELECT qxts FROM om_pomain WHERE mainid=12")), newest);
  EXPECT_EQ(Rows(*conn, "SELECT finquantity, iTookQuantity, iInvalidQuantity FROM om_pomain WHERE mainid=13"),
            (std::vector<std::vector<std::string>>{{"0", "0", "0"}}));
  EXPECT_EQ(Scalar(*conn, "SELECT count(*) FROM v_om01_l WHERE id=1"), "3");
  EXPECT_EQ(Scalar(*conn, "SELECT count(*) FROM v_om01_list WHERE id=1"), "3");
  EXPECT_EQ(Scalar(*conn, "SELECT count(*) FROM v_om02_h WHERE id=1"), "3");
  EXPECT_EQ(Scalar(*conn, "SELECT count(*) FROM v_om02_list WHERE ccode='W1'"), "3");
}
