// TableMetadataCache: the columns of the tables one save writes, learned once
// per connection and table instead of once per row. Every INSERT and UPDATE a
// save builds asks "SELECT * FROM table WHERE 1=0" for the column list; a
// voucher with many lines would ask the same question for every line.
//
// A cache is active on its thread from construction to destruction (scopes
// nest; the innermost one answers). Without an active cache every question
// goes to the database, so the builders behave the same outside a save.
#pragma once
#include <map>
#include <string>
#include <utility>

#include "fabrikon/Connection.h"
#include "fabrikon/Recordset.h"

namespace fabrikon {

class TableMetadataCache {
 public:
  TableMetadataCache();
  ~TableMetadataCache();
  TableMetadataCache(const TableMetadataCache&) = delete;
  TableMetadataCache& operator=(const TableMetadataCache&) = delete;

  // The row-less recordset of "SELECT * FROM " + table + " WHERE 1=0".
  static RecordsetPtr Columns(const ConnectionPtr& Conn, const std::string& strTableName);

 private:
  std::map<std::pair<const Connection*, std::string>, RecordsetPtr> tables_;
  TableMetadataCache* outer_;
};

}  // namespace fabrikon
