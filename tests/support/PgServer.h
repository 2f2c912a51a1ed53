// The tests' PostgreSQL server past the library, through libpq: databases of
// a test's own made and dropped on it, and statements run on one of them.
// Database names carry the process id and a counter, so that test programs
// running side by side on one server never meet.
#pragma once
#include <unistd.h>

#include <atomic>
#include <stdexcept>
#include <string>

#include <libpq-fe.h>

#include "support/TestConnection.h"

namespace fabrikon::testsupport {

// Runs `sql` (one statement or several) on the database at `uri`; answers
// the server's error, "" when everything ran.
inline std::string PgRun(const std::string& uri, const std::string& sql) {
  PGconn* conn = PQconnectdb(uri.c_str());
  std::string error;
  if (PQstatus(conn) != CONNECTION_OK) {
    error = PQerrorMessage(conn);
  } else {
    PQsetNoticeProcessor(conn, [](void*, const char*) {}, nullptr);
    PGresult* result = PQexec(conn, sql.c_str());
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) error = PQresultErrorMessage(result);
    PQclear(result);
  }
  PQfinish(conn);
  return error;
}

// The first column of the first row `sql` answers ("" for none or NULL);
// a failure raises with the server's error.
inline std::string PgValue(const std::string& uri, const std::string& sql) {
  PGconn* conn = PQconnectdb(uri.c_str());
  std::string value, error;
  if (PQstatus(conn) != CONNECTION_OK) {
    error = PQerrorMessage(conn);
  } else {
    PGresult* result = PQexec(conn, sql.c_str());
    if (PQresultStatus(result) != PGRES_TUPLES_OK) error = PQresultErrorMessage(result);
    else if (PQntuples(result) > 0 && PQnfields(result) > 0) value = PQgetvalue(result, 0, 0);
    PQclear(result);
  }
  PQfinish(conn);
  if (!error.empty()) throw std::runtime_error(error + " in " + sql);
  return value;
}

// A database name no other test program on the server uses.
inline std::string PgDatabaseName(const std::string& stem) {
  static std::atomic<int> counter{0};
  return "fabrikon_" + stem + "_" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
}

// Drops the database, whoever is still connected to it (a connection the
// library keeps open must not leave it behind).
inline std::string DropPgDatabase(const std::string& name) {
  return PgRun(PgUri("postgres"), "DROP DATABASE IF EXISTS \"" + name + "\" WITH (FORCE)");
}

// Creates database `name` (a copy of `templateName` when given), replacing
// one of that name left by an earlier process of the same id; answers its URI.
inline std::string CreatePgDatabase(const std::string& name, const std::string& templateName = "") {
  std::string error = DropPgDatabase(name);
  if (error.empty()) {
    error = PgRun(PgUri("postgres"), "CREATE DATABASE \"" + name + "\"" +
                                         (templateName.empty() ? "" : " TEMPLATE \"" + templateName + "\""));
  }
  if (!error.empty()) throw std::runtime_error("cannot create database " + name + ": " + error);
  return PgUri(name);
}

}  // namespace fabrikon::testsupport
