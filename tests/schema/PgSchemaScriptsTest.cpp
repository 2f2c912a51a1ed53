// The PostgreSQL scripts compiled into the library: the types (and the
// runtime functions) first with version 0, then one script per embedded
// schema version under the same name, and a demo plant that runs every
// embedded demo script's name in the same order.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "data/SchemaScripts.h"

using namespace fabrikon;

namespace {

std::vector<std::string> Names(const std::vector<SchemaScript>& scripts) {
  std::vector<std::string> names;
  for (const SchemaScript& script : scripts) names.emplace_back(script.name);
  return names;
}

// The versioned scripts of the PostgreSQL schema (version 0 runs every time).
std::vector<const SchemaScript*> PgVersioned() {
  std::vector<const SchemaScript*> versioned;
  for (const SchemaScript& script : PgSchemaScripts())
    if (script.version > 0) versioned.push_back(&script);
  return versioned;
}

}  // namespace

TEST(PgSchemaScriptsTest, TypesComeFirstThenTheRuntimeWhenThereIsOne) {
  const auto& scripts = PgSchemaScripts();
  ASSERT_GE(scripts.size(), 2u);
  EXPECT_STREQ(scripts[0].name, "000_types.sql");
  EXPECT_EQ(scripts[0].version, 0);
  EXPECT_NE(std::string(scripts[0].text).find("CREATE COLLATION IF NOT EXISTS tsql"), std::string::npos);
  EXPECT_STREQ(PgRuntimeScript().name, "runtime.sql");
  EXPECT_EQ(PgRuntimeScript().version, 0);
  const bool hasRuntime = *PgRuntimeScript().text != '\0';
  EXPECT_EQ(std::string(scripts[1].name) == "runtime.sql", hasRuntime);
  if (hasRuntime) {
    EXPECT_STREQ(scripts[1].text, PgRuntimeScript().text);
  }
  const size_t unversioned = hasRuntime ? 2 : 1;
  for (size_t i = unversioned; i < scripts.size(); ++i) EXPECT_GT(scripts[i].version, 0) << scripts[i].name;
}

TEST(PgSchemaScriptsTest, OneScriptPerEmbeddedVersionWithItsName) {
  const auto versioned = PgVersioned();
  const auto& embedded = SchemaScripts();
  ASSERT_EQ(versioned.size(), embedded.size());
  for (size_t i = 0; i < embedded.size(); ++i) {
    EXPECT_EQ(versioned[i]->version, embedded[i].version);
    EXPECT_STREQ(versioned[i]->name, embedded[i].name);
    EXPECT_STRNE(versioned[i]->text, embedded[i].text) << embedded[i].name << " is not a PostgreSQL version";
  }
}

TEST(PgSchemaScriptsTest, RowVersionsAreTheSequenceNotTheEmbeddedTriggers) {
  for (const SchemaScript* script : PgVersioned()) {
    const std::string text = script->text;
    EXPECT_EQ(text.find("rowid"), std::string::npos) << script->name;
    EXPECT_EQ(text.find("printf("), std::string::npos) << script->name;
    EXPECT_EQ(text.find("INSERT OR IGNORE"), std::string::npos) << script->name;
    EXPECT_EQ(text.find("AUTOINCREMENT"), std::string::npos) << script->name;
    EXPECT_EQ(text.find("COLLATE TSQL"), std::string::npos) << script->name;
  }
  EXPECT_NE(std::string(PgVersioned().front()->text).find("CREATE SEQUENCE __dbts_seq"), std::string::npos);
}

TEST(PgSchemaScriptsTest, DemoRunsEveryEmbeddedDemoScriptThenTheIdentityKeys) {
  const auto pg = Names(PgDemoScripts());
  const auto embedded = Names(DemoScripts());
  EXPECT_TRUE(std::is_sorted(pg.begin(), pg.end()));
  for (const std::string& name : embedded)
    EXPECT_NE(std::find(pg.begin(), pg.end(), name), pg.end()) << name;
  ASSERT_FALSE(pg.empty());
  EXPECT_EQ(pg.back(), "900_identity_keys.sql");
}
