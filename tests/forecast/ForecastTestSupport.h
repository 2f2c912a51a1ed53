// Shared fixture of the forecast tests: a copy of the demo database per test,
// the façade initialised for card "pp01", documents built from attribute
// lists or loaded through the façade, and a reference checker that records
// what the checks ask the host.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fabrikon/ComError.h"
#include "fabrikon/Connection.h"
#include "fabrikon/clsVoucherCO.h"
#include "fabrikon/host/EmbeddedLoginInfo.h"
#include "fabrikon/host/EmbeddedVoucherForm.h"
#include "fabrikon/host/HostServices.h"
#include "fabrikon/modVoucher.h"
#include "support/DemoDatabase.h"

namespace fabrikon::forecasttest {

using Attributes = std::vector<std::pair<std::string, std::string>>;

inline DOMDocumentPtr Rows(const std::vector<Attributes>& rows) {
  std::string xml = "<xml xmlns:z=\"#RowsetSchema\" xmlns:rs=\"urn:schemas-microsoft-com:rowset\"><rs:data>";
  for (const auto& row : rows) {
    xml += "<z:row";
    for (const auto& [name, value] : row) xml += " " + name + "=\"" + value + "\"";
    xml += "/>";
  }
  xml += "</rs:data></xml>";
  DOMDocumentPtr document = DOMDocument::Create();
  if (!document->loadXML(xml)) ADD_FAILURE() << "bad test document: " << xml;
  return document;
}

// Answers every check with `answer` and keeps "item=value@extra" of each call.
class RecordingChecker : public ReferenceChecker {
 public:
  RecordingChecker(std::vector<std::string>& calls, std::string answer) : calls_(calls), answer_(std::move(answer)) {}
  void CheckHeadReference(const std::string& item, const Variant& value, DOMDocumentPtr&, const ConnectionPtr&,
                          const std::string& cardNumber, std::string& message) override {
    calls_.push_back(item + "=" + value.ToText() + "@" + cardNumber);
    message = answer_;
  }
  void CheckBodyReference(const std::string& item, const Variant& value, DOMDocumentPtr&, const ConnectionPtr&,
                          const std::string& invCode, std::string& message) override {
    calls_.push_back(item + "=" + value.ToText() + "@" + invCode);
    message = answer_;
  }

 private:
  std::vector<std::string>& calls_;
  std::string answer_;
};

class ForecastTest : public ::testing::Test {
 protected:
  void SetUp() override {
    conn = OpenConnection(db.ConnectionString());
    login = std::make_shared<EmbeddedLoginInfo>(DateTime{2024, 3, 10}, "李娜", "lina");
    co.Init(login, conn, "pp01");
  }
  void TearDown() override { HostServices::SetReferenceCheckerFactory(nullptr); }

  void AnswerReferenceChecks(const std::string& answer) {
    HostServices::SetReferenceCheckerFactory([this, answer] { return std::make_shared<RecordingChecker>(calls, answer); });
  }

  // Loads a forecast into the form as the host would.
  void Load(const std::string& cfcid) { co.GetVoucherData(form, "", Variant(cfcid)); }

  std::string Scalar(const std::string& sql) {
    RecordsetPtr rs = conn->Open(sql, adOpenStatic, adLockReadOnly);
    return rs->Eof() ? std::string("<no row>") : NullToEmpty(rs->Fields(size_t{0}).Value());
  }

  // The state columns of one forecast: "bMRP|cCheckPerson|dCheckDate|cCloser".
  std::string State(const std::string& cfcid) {
    RecordsetPtr rs = conn->Open("SELECT bMRP, cCheckPerson, dCheckDate, cCloser FROM PP_ForecastMain WHERE cFCID=" +
                                     SqlStr(Variant(cfcid)),
                                 adOpenStatic, adLockReadOnly);
    if (rs->Eof()) return "<no row>";
    std::string state = rs->Fields(size_t{0}).Value().ToBool() ? "1" : "0";
    for (size_t i = 1; i < 4; ++i) state += "|" + DateText(NullToEmpty(rs->Fields(i).Value()));
    return state;
  }

  testsupport::DemoDatabase db;
  ConnectionPtr conn;
  LoginInfoPtr login;
  clsVoucherCO co;
  VoucherFormPtr form = std::make_shared<EmbeddedVoucherForm>();
  std::vector<std::string> calls;
};

}  // namespace fabrikon::forecasttest
