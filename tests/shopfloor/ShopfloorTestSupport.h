// Shared fixture of the shop-floor tests: a copy of the demo database per
// test, documents built from attribute lists or loaded from the voucher
// views, a login, and the recording reference checker of the production
// tests so the checks' questions to the host can be seen.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fabrikon/ComError.h"
#include "production/ProductionTestSupport.h"
#include "support/DemoDatabase.h"

namespace fabrikon::testing_shopfloor {

using testing_production::Attributes;
using testing_production::RecordingChecker;
using testing_production::ReferenceCall;
using testing_production::Rows;

// A row-version text that closes the guard's literal when its quotes are not
// doubled, turning the guard into "... OR 1=1 ...".
inline constexpr const char* kCraftedQxts = "0'), 2) OR 1=1 OR convert(char, convert(money,'0";

class ShopfloorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    conn = OpenConnection(db.ConnectionString());
    login = std::make_shared<EmbeddedLoginInfo>(DateTime{2024, 3, 10}, "张三", "demo01");
    SetQuantityDecimals(2);
  }
  void TearDown() override { HostServices::SetReferenceCheckerFactory(nullptr); }

  void AnswerReferenceChecks(const std::string& answer) {
    HostServices::SetReferenceCheckerFactory(
        [this, answer] { return std::make_shared<RecordingChecker>(calls, answer); });
  }

  VoucherFormPtr Form(DOMDocumentPtr head, DOMDocumentPtr body = nullptr) {
    return std::make_shared<EmbeddedVoucherForm>(std::move(head), body ? std::move(body) : Rows({}));
  }

  void Exec(const std::string& sql) { conn->Execute(sql); }

  // The first column of the first row, as text ("" for NULL).
  std::string Scalar(const std::string& sql) {
    RecordsetPtr rs = conn->Open(sql, adOpenStatic, adLockReadOnly);
    return rs->Eof() ? std::string("<no row>") : NullToEmpty(rs->Fields(size_t{0}).Value());
  }

  // Every row of a query, columns tab-separated: a picture of a table.
  std::string Snapshot(const std::string& sql) {
    RecordsetPtr rs = conn->Open(sql, adOpenStatic, adLockReadOnly);
    std::string text;
    while (!rs->Eof()) {
      for (size_t i = 0; i < rs->FieldCount(); ++i) text += NullToEmpty(rs->Fields(i).Value()) + "\t";
      text += "\n";
      rs->MoveNext();
    }
    return text;
  }

  // The document the host would show: the rows of a voucher view.
  DOMDocumentPtr Load(const std::string& sql) {
    RecordsetPtr rs = conn->Open(sql, adOpenStatic, adLockReadOnly);
    DOMDocumentPtr document = DOMDocument::Create();
    rs->Save(document, adPersistXML);
    return document;
  }

  // The head document with one attribute replaced.
  static DOMDocumentPtr With(DOMDocumentPtr head, const std::string& name, const std::string& value) {
    head->selectSingleNode("//z:row").setAttribute(name, Variant(value));
    return head;
  }

  // The attribute of domReturn's rows, joined by "|" ("" without rows).
  static std::string Returned(const DOMDocumentPtr& domReturn, const std::string& name) {
    std::string text;
    if (!domReturn) return text;
    for (const XmlNode& row : domReturn->selectNodes("//z:row")) {
      text += (text.empty() ? "" : "|") + NullToEmpty(row.getAttribute(name));
    }
    return text;
  }

  testsupport::DemoDatabase db;
  ConnectionPtr conn;
  LoginInfoPtr login;
  std::vector<ReferenceCall> calls;
  std::string card;
};

}  // namespace fabrikon::testing_shopfloor
