// A fresh embedded host database per test (schema and demo plant), opened on
// this thread so that the host components find it by its connection string.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "data/HostDatabase.h"
#include "data/SqliteConnection.h"

namespace fabrikon::test {

class HostDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::path(::testing::TempDir()) /
            (std::string("host_") + info->test_suite_name() + "_" + info->name() + "_" +
             std::to_string(::getpid()) + ".db");
    HostDatabase::Create(path_.string(), true, true);
    connectionString_ = "Data Source=" + path_.string();
    conn_ = OpenConnection(connectionString_);
  }

  void TearDown() override {
    conn_.reset();
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm"}) {
      std::filesystem::remove(path_.string() + suffix, ignored);
    }
  }

  std::filesystem::path path_;
  std::string connectionString_;
  ConnectionPtr conn_;
};

}  // namespace fabrikon::test
