// Shared ground of the engine tests: a fresh copy of the demo database for
// every test (made once per program with HostDatabase::Create), a façade, a
// voucher form and a login; plus the host-service stand-ins that let a test
// see what the engine handed to the number service and which business
// object the façade talked to.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "data/HostDatabase.h"
#include "engine/BusinessObjectFactory.h"
#include "fabrikon/ComError.h"
#include "fabrikon/clsVoucherCO.h"
#include "fabrikon/host/HostServices.h"
#include "fabrikon/modVoucher.h"
#include "fabrikon/host/EmbeddedLoginInfo.h"
#include "fabrikon/host/EmbeddedVoucherForm.h"
#include "support/DemoDatabase.h"
#include "host/EmbeddedVoucherNumberService.h"

namespace fabrikon::enginetest {

using testsupport::DemoDatabase;
using testsupport::DemoTemplate;
using testsupport::RemoveDatabase;
using testsupport::TempPath;

// The number of the error a call raises; 0 when it raises nothing.
template <class Call>
int32_t ErrorNumberOf(Call&& call) {
  try {
    call();
  } catch (const ComError& e) {
    return e.Number();
  }
  return 0;
}

// The embedded number service, recording what the engine hands it.
class RecordingNumberService : public EmbeddedVoucherNumberService {
 public:
  struct SyncCall {
    std::string table, codeColumn, voucherNo, seed, reserved;
  };
  std::string GetNumber(const std::string& ruleXml, bool bGetRealNo) override {
    numberRequests.push_back(ruleXml);
    realNo.push_back(bGetRealNo);
    return EmbeddedVoucherNumberService::GetNumber(ruleXml, bGetRealNo);
  }
  bool SyncNumber(const std::string& table, const std::string& codeColumn, const std::string& voucherNo,
                  const std::string& seed, const std::string& reserved) override {
    syncCalls.push_back({table, codeColumn, voucherNo, seed, reserved});
    return true;
  }
  std::vector<std::string> numberRequests;
  std::vector<bool> realNo;
  std::vector<SyncCall> syncCalls;
};

// Fixture: a demo database, its connection, a login, a voucher form and a façade.
class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    conn = OpenConnection(db.ConnectionString());
    login = std::make_shared<EmbeddedLoginInfo>(DateTime{2024, 3, 10}, "测试员", "tester");
    form = std::make_shared<EmbeddedVoucherForm>();
  }
  void TearDown() override {
    HostServices::SetNumberServiceFactory(nullptr);
    HostServices::SetCardNumberRegistry(nullptr);
    for (const char* name : {"clsForecast", "clsROPOrder", "clsBaseFile", "clsMOOrder", "clsMOOrderRpt", "clsPORpt",
                             "clsPODetails", "clsSCDDOrder", "clsWWSCDDOrder", "clsWWPODetails"}) {
      BusinessObjectFactory::Override(name, nullptr);
    }
    SetQuantityDecimals(2);
  }

  long Exec(const std::string& sql) {
    long affected = 0;
    conn->Execute(sql, affected);
    return affected;
  }
  std::string Scalar(const std::string& sql) {
    RecordsetPtr rs = conn->Open(sql);
    return rs->Eof() ? "" : NullToEmpty(rs->Fields(0).Value());
  }
  // Installs a recording number service for the rest of the test.
  std::shared_ptr<RecordingNumberService> RecordNumbers() {
    auto service = std::make_shared<RecordingNumberService>();
    HostServices::SetNumberServiceFactory([service] { return service; });
    return service;
  }
  void SetRule(const std::string& card, const std::string& ruleXml) {
    Exec("UPDATE FabrikonNumberRules SET cRuleXml=" + SqlStr(ruleXml) + " WHERE CardNumber=" + SqlStr(card));
  }

  std::string HeadValue(const std::string& name) { return TryGetHeadValue(form->HeadDOM(), name); }
  long HeadRows() { return form->HeadDOM()->selectNodes("//z:row").length(); }
  long BodyRows() { return form->BodyDOM()->selectNodes("//z:row").length(); }
  std::string BodyValue(long r, const std::string& name) {
    return NullToEmpty(form->BodyDOM()->selectNodes("//z:row").item(r - 1).getAttribute(name));
  }

  DemoDatabase db;
  ConnectionPtr conn;
  LoginInfoPtr login;
  VoucherFormPtr form;
  clsVoucherCO co;
};

}  // namespace fabrikon::enginetest
