// Shared fixture of the production order tests: a fresh embedded demo
// database per test, documents built from attribute lists or loaded from the
// voucher views, a login, and a reference checker that records its calls so
// the tests can see what the checks ask the host.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "data/HostDatabase.h"
#include "support/DemoDatabase.h"
#include "support/TestConnection.h"
#include "fabrikon/Connection.h"
#include "fabrikon/host/HostServices.h"
#include "fabrikon/modVoucher.h"
#include "fabrikon/host/EmbeddedLoginInfo.h"
#include "fabrikon/host/EmbeddedVoucherForm.h"

namespace fabrikon::testing_production {

using Attributes = std::vector<std::pair<std::string, std::string>>;

// A rowset document with one z:row per attribute list, in the given order.
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

struct ReferenceCall {
  std::string kind;  // "head" or "body"
  std::string item;
  std::string value;
  std::string extra;  // card number (head) or inventory code (body)
};

// Answers every check with `answer` and remembers what it was asked.
class RecordingChecker : public ReferenceChecker {
 public:
  explicit RecordingChecker(std::vector<ReferenceCall>& calls, std::string answer)
      : calls_(calls), answer_(std::move(answer)) {}
  void CheckHeadReference(const std::string& item, const Variant& value, DOMDocumentPtr&, const ConnectionPtr&,
                          const std::string& cardNumber, std::string& message) override {
    calls_.push_back({"head", item, value.ToText(), cardNumber});
    message = answer_;
  }
  void CheckBodyReference(const std::string& item, const Variant& value, DOMDocumentPtr&, const ConnectionPtr&,
                          const std::string& invCode, std::string& message) override {
    calls_.push_back({"body", item, value.ToText(), invCode});
    message = answer_;
  }

 private:
  std::vector<ReferenceCall>& calls_;
  std::string answer_;
};

// Checks that need no database: documents, login and the recording checker.
class ProductionCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    login = std::make_shared<EmbeddedLoginInfo>(DateTime{2024, 3, 5}, "张三", "demo01");
    SetQuantityDecimals(2);
  }
  void TearDown() override { HostServices::SetReferenceCheckerFactory(nullptr); }

  // Every reference check answers `answer`; calls are recorded in `calls`.
  void AnswerReferenceChecks(const std::string& answer) {
    HostServices::SetReferenceCheckerFactory(
        [this, answer] { return std::make_shared<RecordingChecker>(calls, answer); });
  }

  VoucherFormPtr Form(DOMDocumentPtr head, DOMDocumentPtr body) {
    return std::make_shared<EmbeddedVoucherForm>(std::move(head), std::move(body));
  }

  ConnectionPtr conn;
  LoginInfoPtr login;
  std::vector<ReferenceCall> calls;
  DOMDocumentPtr noReturn;
  std::string cardNumber = "pp25";
};

// A fresh demo database per test (a copy of the program's demo database).
class ProductionDbTest : public ProductionCheckTest {
 protected:
  void SetUp() override {
    ProductionCheckTest::SetUp();
    db_.emplace();
    conn = OpenConnection(db_->ConnectionString());
  }
  void TearDown() override {
    conn.reset();
    db_.reset();
    ProductionCheckTest::TearDown();
  }

  void Exec(const std::string& sql) { conn->Execute(sql); }
  const std::string& Path() const { return db_->Path(); }

  // The first column of the first row of a query, as text ("" for NULL).
  std::string Scalar(const std::string& sql) {
    RecordsetPtr rs = conn->Open(sql, adOpenStatic, adLockReadOnly);
    return rs->Eof() ? std::string("<no row>") : NullToEmpty(rs->Fields(size_t{0}).Value());
  }

  // The head document the host would show: the order's row of the head view.
  DOMDocumentPtr LoadHead(int id) {
    RecordsetPtr rs = conn->Open("select * from pp_scdd_h where id=" + std::to_string(id), adOpenStatic,
                                 adLockReadOnly);
    DOMDocumentPtr document = DOMDocument::Create();
    rs->Save(document, adPersistXML);
    return document;
  }

 private:
  std::optional<testsupport::DemoDatabase> db_;
};

}  // namespace fabrikon::testing_production
