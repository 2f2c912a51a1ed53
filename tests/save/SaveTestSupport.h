// Shared ground of the saving tests: a fresh copy of the demo database for
// every test, a façade on it, a voucher form and a login; a stand-in business
// object that lets every check pass and counts the after-save calls (so the
// tests see the engine's work, not a voucher kind's rules); and a connection
// wrapper that lets a test make one step of the real database fail or let
// another user act at a chosen moment.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>

#include "data/HostDatabase.h"
#include "data/SqliteConnection.h"
#include "engine/BusinessObjectFactory.h"
#include "fabrikon/ComError.h"
#include "fabrikon/clsVoucherCO.h"
#include "fabrikon/host/HostServices.h"
#include "fabrikon/host/MessageBox.h"
#include "fabrikon/modVoucher.h"
#include "fabrikon/host/EmbeddedLoginInfo.h"
#include "fabrikon/host/EmbeddedVoucherForm.h"
#include "support/DemoDatabase.h"
#include "support/NativeSql.h"

namespace fabrikon::savetest {

inline const std::string kChanged = "保存失败，可能该单据已被其它用户修改或删除！\r";

using testsupport::DemoDatabase;
using testsupport::DemoTemplate;
using testsupport::RemoveDatabase;
using testsupport::TempPath;

// Lets every check pass and counts the after-save calls.
class PassingBusiness : public BusinessObject {
 public:
  const char* ClassName() const override { return "PassingBusiness"; }
  std::string HeadCheck(VoucherFormPtr, ConnectionPtr&, const std::string&, DOMDocumentPtr&, bool,
                        std::string&) override {
    return headAnswer;
  }
  std::string BodyCheck(VoucherFormPtr, ConnectionPtr&, long, const std::string&, DOMDocumentPtr&, bool,
                        std::string&) override {
    return "";
  }
  std::string VoucherAfterSave(DOMDocumentPtr, DOMDocumentPtr, ConnectionPtr&) override {
    ++afterSaves;
    return afterSaveAnswer;
  }
  std::string headAnswer;
  std::string afterSaveAnswer;  // e.g. the material list could not be built
  int afterSaves = 0;
};

// A real connection with hooks: a test can make a transaction step fail or
// run something of its own when the save asks a given question.
class HookedConnection : public Connection {
 public:
  explicit HookedConnection(ConnectionPtr inner) : inner_(std::move(inner)) {}
  void Execute(const std::string& text, long& recordsAffected) override { inner_->Execute(text, recordsAffected); }
  using Connection::Execute;
  std::vector<long> ExecuteEach(const std::string& text) override { return inner_->ExecuteEach(text); }
  RecordsetPtr Open(const std::string& text, CursorTypeEnum cursor, LockTypeEnum lock,
                    CursorLocationEnum location) override {
    RecordsetPtr rs = inner_->Open(text, cursor, lock, location);
    if (onOpen) onOpen(text);
    return rs;
  }
  void BeginTrans() override { inner_->BeginTrans(); }
  void CommitTrans() override {
    if (failCommit) throw ComError(ErrorNumber::E_FAIL_, "the disk is full");
    inner_->CommitTrans();
  }
  void RollbackTrans() override { inner_->RollbackTrans(); }
  bool InTransaction() const override { return inner_->InTransaction(); }
  std::string ConnectionString() const override { return inner_->ConnectionString(); }

  std::function<void(const std::string&)> onOpen;
  bool failCommit = false;

 private:
  ConnectionPtr inner_;
};

class SaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    conn = OpenConnection(db.ConnectionString());
    login = std::make_shared<EmbeddedLoginInfo>(DateTime{2024, 3, 10}, "测试员", "tester");
    form = std::make_shared<EmbeddedVoucherForm>();
    for (const char* name : {"clsWWSCDDOrder", "clsSCDDOrder", "clsForecast"}) {
      BusinessObjectFactory::Override(name, [this] { return business; });
    }
    MessageBox::TakeErrors();
  }
  void TearDown() override {
    for (const char* name : {"clsWWSCDDOrder", "clsSCDDOrder", "clsForecast"}) {
      BusinessObjectFactory::Override(name, nullptr);
    }
    MessageBox::TakeErrors();
  }

  long Exec(const std::string& sql) {
    long affected = 0;
    conn->Execute(sql, affected);
    return affected;
  }
  std::string Scalar(const std::string& sql) {
    RecordsetPtr rs = conn->Open(sql);
    if (rs->Eof()) return "(no row)";
    const Variant& value = rs->Fields(0).Value();
    return value.IsNull() ? "NULL" : value.ToText();
  }

  // Loads voucher `id` of `card` into the form.
  void Load(const std::string& card, const std::string& id) {
    co.Init(login, conn, card);
    co.GetVoucherData(form, "", Variant(id));
    ASSERT_EQ(HeadValue("ccode").empty(), false) << card << " " << id;
  }
  // A new voucher: the head row and the added lines, as the screen makes them.
  void NewVoucher(const std::string& card, const std::string& headAttributes,
                  const std::vector<std::string>& lineAttributes) {
    co.Init(login, conn, card);
    ASSERT_TRUE(form->HeadDOM()->loadXML("<xml><rs:data><z:row " + headAttributes + "/></rs:data></xml>"));
    std::string lines;
    for (const std::string& line : lineAttributes) lines += "<z:row " + line + " editprop=\"A\"/>";
    ASSERT_TRUE(form->BodyDOM()->loadXML("<xml><rs:data>" + lines + "</rs:data></xml>"));
  }

  XmlNode Line(long r) { return form->BodyDOM()->selectNodes("//z:row").item(r - 1); }
  XmlNode LineOf(const std::string& mainid) {
    return form->BodyDOM()->selectSingleNode("//z:row[@mainid='" + mainid + "']");
  }
  void EditLine(long r, const std::string& name, const std::string& value) {
    Line(r).setAttribute(name, Variant(value));
    Line(r).setAttribute("editprop", Variant("M"));
  }
  void AddLine(const std::vector<std::pair<std::string, std::string>>& values) {
    XmlNode data = form->BodyDOM()->selectSingleNode("//rs:data");
    XmlNode row = data.appendChild(form->BodyDOM()->createElement("z:row"));
    for (const auto& [name, value] : values) row.setAttribute(name, Variant(value));
    row.setAttribute("editprop", Variant("A"));
  }
  std::string HeadValue(const std::string& name) { return TryGetHeadValue(form->HeadDOM(), name); }

  std::string Save2(int16_t state) {
    Variant curId;
    std::string answer = co.VoucherSave2(form, state, curId);
    lastCurId = curId.ToText();
    return answer;
  }

  DemoDatabase db;
  ConnectionPtr conn;
  LoginInfoPtr login;
  VoucherFormPtr form;
  std::shared_ptr<PassingBusiness> business = std::make_shared<PassingBusiness>();
  clsVoucherCO co;
  std::string lastCurId;
};

}  // namespace fabrikon::savetest
