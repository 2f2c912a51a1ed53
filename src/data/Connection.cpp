// Connection: what every backend has unless it does better itself.
#include "fabrikon/Connection.h"

namespace fabrikon {

// A recordset holds every row; a backend that can read one row at a time
// overrides this.
void Connection::ForEachRow(const std::string& text, RowSink& sink) {
  RecordsetPtr rs = Open(text);
  if (rs->State() != adStateOpen) return;
  std::vector<std::string> names;
  names.reserve(rs->FieldCount());
  for (size_t i = 0; i < rs->FieldCount(); ++i) names.push_back(rs->Info(i).name);
  sink.Columns(names);
  std::vector<Variant> values(names.size());
  for (; !rs->Eof(); rs->MoveNext()) {
    for (size_t i = 0; i < values.size(); ++i) values[i] = rs->Fields(i).Value();
    sink.Row(values);
  }
  rs->Close();
}

}  // namespace fabrikon
