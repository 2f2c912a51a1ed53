// PgErrorMapper: turns a PostgreSQL error (its SQLSTATE and message) into the
// error numbers callers test for, worded as SQL Server words the same
// failure where the embedded connection does: conversion and overflow
// 0x80040E07, syntax and unknown objects 0x80040E14, constraints 0x80040E2F,
// statement and lock timeouts 0x80040E31, everything else 0x80004005.
#pragma once
#include <string>

#include "fabrikon/ComError.h"

struct pg_result;
struct pg_conn;

namespace fabrikon {

class PgErrorMapper {
 public:
  // The error of a failed result; statement: the text that failed (an
  // INSERT or UPDATE decides the wording of a NOT NULL failure).
  static ComError ToError(const pg_result* result, const std::string& statement, const std::string& database);
  // A failure without a result (the connection broke): its message.
  static ComError ConnectionError(const pg_conn* conn);
  static int32_t Number(const std::string& sqlstate);
  // As on SQL Server, these end their statement, not the batch.
  static bool EndsStatementOnly(const std::string& sqlstate);
};

}  // namespace fabrikon
