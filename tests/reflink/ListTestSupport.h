// Shared fixture of the list, filter and reference-link tests: a copy of the
// demo database per test, a façade on a connection that records every text
// the library sends, and readers for the recordsets a list call hands out.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fabrikon/ComError.h"
#include "fabrikon/clsVoucherCO.h"
#include "fabrikon/host/EmbeddedColumnSet.h"
#include "fabrikon/host/EmbeddedLoginInfo.h"
#include "fabrikon/host/HostServices.h"
#include "fabrikon/modVoucher.h"
#include "support/DemoDatabase.h"
#include "support/RecordingConnection.h"

namespace fabrikon::listtest {

// Every row as "a|b|c" (NULL as "NULL").
inline std::vector<std::string> RowsOf(const RecordsetPtr& rs) {
  std::vector<std::string> rows;
  if (!rs || rs->RecordCount() == 0) return rows;
  for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
    std::string row;
    for (size_t i = 0; i < rs->FieldCount(); ++i) {
      const Variant& value = rs->Fields(i).Value();
      row += (i ? "|" : "") + (value.IsNull() ? std::string("NULL") : value.ToText());
    }
    rows.push_back(row);
  }
  return rows;
}

class ListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    conn = std::make_shared<testsupport::RecordingConnection>(OpenConnection(db.ConnectionString()));
    login = std::make_shared<EmbeddedLoginInfo>(DateTime{2024, 3, 10}, "李娜", "lina");
    co.Init(login, conn, "pp25");
  }
  void TearDown() override {
    HostServices::SetFilterServiceFactory(nullptr);
    HostServices::SetRefWindowFactory(nullptr);
    HostServices::SetRefReportFactory(nullptr);
  }

  // One paged call; the outputs land in the fields below.
  bool Page(long page, long size, const std::string& where = "") {
    conn->texts.clear();
    errMsg.clear();
    return co.GetVchListData(columns, list, sum, where, errMsg, false, recordCount, size, pageCount, page);
  }
  bool All(const std::string& where = "") {
    conn->texts.clear();
    errMsg.clear();
    return co.GetVchListData(columns, list, sum, where, errMsg, true, recordCount, 0, pageCount, 0);
  }
  // What the last call sent, the read of the card's Vouchers row left out.
  std::vector<std::string> Sent() const {
    std::vector<std::string> sent;
    for (const std::string& text : conn->texts) {
      if (text.find(" FROM Vouchers ") == std::string::npos) sent.push_back(text);
    }
    return sent;
  }
  std::string Scalar(const std::string& sql) {
    RecordsetPtr rs = conn->Open(sql, adOpenStatic, adLockReadOnly, adUseClient);
    return rs->Eof() ? "<no row>" : NullToEmpty(rs->Fields(size_t{0}).Value());
  }

  testsupport::DemoDatabase db;
  std::shared_ptr<testsupport::RecordingConnection> conn;
  LoginInfoPtr login;
  clsVoucherCO co;
  std::shared_ptr<EmbeddedColumnSet> columns =
      std::make_shared<EmbeddedColumnSet>("ccode,mainid,fquantity", "sum(fquantity) AS fquantity", "ccode,mainid");
  RecordsetPtr list;
  RecordsetPtr sum;
  std::string errMsg;
  long recordCount = -1;
  long pageCount = -1;
};

}  // namespace fabrikon::listtest
