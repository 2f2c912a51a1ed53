// The C interface of the façade (fabrikon_c.h): one handle holds a façade,
// its connection, login and voucher form; each call turns the C arguments
// into the façade's, catches whatever the call raises and hands strings out
// from buffers the handle owns. No exception crosses this boundary.
#include "fabrikon/fabrikon_c.h"

#include <array>
#include <functional>
#include <map>
#include <new>
#include <string>

#include "engine/EngineErrors.h"
#include "fabrikon/RowsetEditor.h"
#include "fabrikon/clsVoucherCO.h"
#include "fabrikon/host/EmbeddedColumnSet.h"
#include "fabrikon/host/EmbeddedLoginInfo.h"
#include "fabrikon/host/EmbeddedVoucherForm.h"

struct fabrikon_voucher_co {
  fabrikon::clsVoucherCO co;
  fabrikon::ConnectionPtr conn;
  fabrikon::VoucherFormPtr form = std::make_shared<fabrikon::EmbeddedVoucherForm>();
  std::string lastError;
  int32_t lastErrorNumber = 0;
  fabrikon::DOMDocumentPtr domReturn;  // of the last check
  std::array<std::string, 8> out;      // strings handed out by the last call
};

namespace {

using namespace fabrikon;

std::string Text(const char* text) { return text ? std::string(text) : std::string(); }

// Keeps text in the handle's slot and points the out-argument at it.
void HandOut(fabrikon_voucher_co* co, size_t slot, const std::string& text, const char** target) {
  co->out[slot] = text;
  if (target) *target = co->out[slot].c_str();
}

// Runs one call: 0 on completion, otherwise the error's number with its
// description kept for fabrikon_co_last_error.
int32_t Guard(fabrikon_voucher_co* co, const std::function<void()>& call) {
  if (!co) return ErrorNumber::ObjectNotSet;
  co->lastError.clear();
  co->lastErrorNumber = 0;
  try {
    call();
    return 0;
  } catch (...) {
    co->lastError = engine::CurrentErrorDescription();
    int32_t number = engine::CurrentErrorNumber();
    co->lastErrorNumber = number == 0 ? ErrorNumber::E_FAIL_ : number;
    return co->lastErrorNumber;
  }
}

[[noreturn]] void Refuse(const std::string& what) { throw ComError(ErrorNumber::InvalidProcedureCall, what); }

int16_t SaveState(int state) {
  if (state < -32768 || state > 32767) Refuse("the save state is not a 16-bit integer: " + std::to_string(state));
  return static_cast<int16_t>(state);
}

RowsetEditor Head(fabrikon_voucher_co* co) { return RowsetEditor(co->form->HeadDOM()); }
RowsetEditor Body(fabrikon_voucher_co* co) { return RowsetEditor(co->form->BodyDOM()); }

void HandOutField(fabrikon_voucher_co* co, const Variant& value, const char** target, int* isNull) {
  HandOut(co, 0, value.ToText(), target);
  if (isNull) *isNull = value.IsNull() ? 1 : 0;
}

std::string RowsetXml(const RecordsetPtr& rs) {
  if (!rs) return "";
  DOMDocumentPtr document = DOMDocument::Create();
  rs->Save(document);
  return document->xml();
}


LoginInfoPtr MakeLogin(const char* userId, const char* userName, const char* loginDate) {
  std::string date = Text(loginDate);
  if (date.empty()) return EmbeddedLoginInfo::Today(Text(userName), Text(userId));
  DateTime parsed;
  if (!DateTime::Parse(date, parsed)) {
    throw ComError(ErrorNumber::TypeMismatch, "login date is not a date (YYYY-MM-DD): " + date);
  }
  return std::make_shared<EmbeddedLoginInfo>(parsed, Text(userName), Text(userId));
}

void LoadInto(const DOMDocumentPtr& document, const char* xml) {
  if (!document->loadXML(Text(xml))) throw ComError(ErrorNumber::DomError, "the XML text is not well-formed");
}

using Operation = std::function<std::string(clsVoucherCO&, VoucherFormPtr&)>;

const std::map<std::string, Operation>& Operations() {
  static const std::map<std::string, Operation> operations = {
      {"VoucherNew", [](clsVoucherCO& co, VoucherFormPtr& vo) { return co.VoucherNew(vo); }},
      {"VoucherAllowNew", [](clsVoucherCO& co, VoucherFormPtr& vo) { return co.VoucherAllowNew(vo); }},
      {"VoucherAllowEdit", [](clsVoucherCO& co, VoucherFormPtr& vo) { return co.VoucherAllowEdit(vo); }},
      {"VoucherAllowDelete", [](clsVoucherCO& co, VoucherFormPtr& vo) { return co.VoucherAllowDelete(vo); }},
      {"VoucherDelete", [](clsVoucherCO& co, VoucherFormPtr& vo) { return co.VoucherDelete(vo); }},
      {"VoucherClose", [](clsVoucherCO& co, VoucherFormPtr& vo) { return co.VoucherClose(vo); }},
      {"VoucherOpen", [](clsVoucherCO& co, VoucherFormPtr& vo) { return co.VoucherOpen(vo); }},
      {"VoucherConfirm", [](clsVoucherCO& co, VoucherFormPtr& vo) { return co.VoucherConfirm(vo); }},
      {"VoucherCancelconfirm", [](clsVoucherCO& co, VoucherFormPtr& vo) { return co.VoucherCancelconfirm(vo); }},
  };
  return operations;
}

}  // namespace

extern "C" {

fabrikon_voucher_co* fabrikon_co_create(void) { return new (std::nothrow) fabrikon_voucher_co(); }

void fabrikon_co_destroy(fabrikon_voucher_co* co) { delete co; }

const char* fabrikon_co_last_error(const fabrikon_voucher_co* co) { return co ? co->lastError.c_str() : ""; }

int32_t fabrikon_co_init(fabrikon_voucher_co* co, const char* connection_string, const char* card_number,
                         const char* user_id, const char* user_name, const char* login_date, int* result) {
  return Guard(co, [&] {
    LoginInfoPtr login = MakeLogin(user_id, user_name, login_date);
    co->conn = OpenConnection(Text(connection_string));
    bool answer = co->co.Init(login, co->conn, Text(card_number));
    if (result) *result = answer ? 1 : 0;
  });
}

int32_t fabrikon_co_default_vtid(fabrikon_voucher_co* co, const char** result) {
  return Guard(co, [&] { HandOut(co, 0, co->co.GetDefaultVTID(), result); });
}

int32_t fabrikon_co_default_vtid_prn(fabrikon_voucher_co* co, const char** result) {
  return Guard(co, [&] { HandOut(co, 0, co->co.GetDefaultVTIDPRN(), result); });
}

int32_t fabrikon_co_voucher_parameter(fabrikon_voucher_co* co, const char* values[8]) {
  return Guard(co, [&] {
    VoucherParameters p;
    co->co.GetVoucherParameter(p);
    const std::string* fields[8] = {&p.strTableNameMain,   &p.strTableNameSub,   &p.strViewNameMain,
                                    &p.strViewNameSub,     &p.strViewNameList,   &p.strFieldNameMainID,
                                    &p.strFieldNameSubID,  &p.strFieldNameCode};
    for (size_t i = 0; i < 8; ++i) HandOut(co, i, *fields[i], values ? &values[i] : nullptr);
  });
}

int32_t fabrikon_co_get_voucher_data(fabrikon_voucher_co* co, const char* where, const char* voucher_id,
                                     const char* locate_where) {
  return Guard(co, [&] {
    std::optional<Variant> id;
    if (voucher_id) id = Variant(std::string(voucher_id));
    co->co.GetVoucherData(co->form, Text(where), id, Text(locate_where));
  });
}

int32_t fabrikon_co_last_error_number(const fabrikon_voucher_co* co) { return co ? co->lastErrorNumber : 0; }

int32_t fabrikon_co_move(fabrikon_voucher_co* co, int32_t move) {
  return Guard(co, [&] {
    switch (move) {
      case FABRIKON_MOVE_FIRST: co->co.MoveFirst(co->form); break;
      case FABRIKON_MOVE_PREVIOUS: co->co.MovePrevious(co->form); break;
      case FABRIKON_MOVE_NEXT: co->co.MoveNext(co->form); break;
      case FABRIKON_MOVE_LAST: co->co.MoveLast(co->form); break;
      case FABRIKON_MOVE_REFRESH: co->co.Refresh(co->form); break;
      default: Refuse("unknown move: " + std::to_string(move));
    }
  });
}

int32_t fabrikon_co_bof(fabrikon_voucher_co* co, int* result) {
  return Guard(co, [&] { if (result) *result = co->co.Bof() ? 1 : 0; });
}

int32_t fabrikon_co_eof(fabrikon_voucher_co* co, int* result) {
  return Guard(co, [&] { if (result) *result = co->co.Eof() ? 1 : 0; });
}

int32_t fabrikon_co_get_head_xml(fabrikon_voucher_co* co, const char** xml) {
  return Guard(co, [&] { HandOut(co, 0, engine::Use(co->form->HeadDOM()).xml(), xml); });
}

int32_t fabrikon_co_get_body_xml(fabrikon_voucher_co* co, const char** xml) {
  return Guard(co, [&] { HandOut(co, 0, engine::Use(co->form->BodyDOM()).xml(), xml); });
}

int32_t fabrikon_co_set_head_xml(fabrikon_voucher_co* co, const char* xml) {
  return Guard(co, [&] { LoadInto(engine::Require(co->form->HeadDOM()), xml); });
}

int32_t fabrikon_co_set_body_xml(fabrikon_voucher_co* co, const char* xml) {
  return Guard(co, [&] { LoadInto(engine::Require(co->form->BodyDOM()), xml); });
}

int32_t fabrikon_co_get_head_field(fabrikon_voucher_co* co, const char* name, const char** value, int* is_null) {
  return Guard(co, [&] { HandOutField(co, Head(co).Value(1, Text(name)), value, is_null); });
}

int32_t fabrikon_co_set_head_field(fabrikon_voucher_co* co, const char* name, const char* value) {
  return Guard(co, [&] { Head(co).SetHead({{Text(name), Text(value)}}); });
}

int32_t fabrikon_co_line_count(fabrikon_voucher_co* co, long* count) {
  return Guard(co, [&] { if (count) *count = Body(co).RowCount(); });
}

int32_t fabrikon_co_get_line_field(fabrikon_voucher_co* co, long row, const char* name, const char** value,
                                   int* is_null) {
  return Guard(co, [&] { HandOutField(co, Body(co).Value(row, Text(name)), value, is_null); });
}

int32_t fabrikon_co_set_line_field(fabrikon_voucher_co* co, long row, const char* name, const char* value) {
  return Guard(co, [&] { Body(co).SetLine(row, {{Text(name), Text(value)}}); });
}

int32_t fabrikon_co_add_line(fabrikon_voucher_co* co, long* row) {
  return Guard(co, [&] {
    long added = Body(co).AddLine({});
    if (row) *row = added;
  });
}

int32_t fabrikon_co_delete_line(fabrikon_voucher_co* co, long row) {
  return Guard(co, [&] { Body(co).DeleteLine(row); });
}

int32_t fabrikon_co_clear_body(fabrikon_voucher_co* co) {
  return Guard(co, [&] { Body(co).Clear(); });
}

int32_t fabrikon_co_get_voucher_no_type(fabrikon_voucher_co* co, const char** result, const char** no_type) {
  return Guard(co, [&] {
    DOMDocumentPtr format = DOMDocument::Create();
    std::string type;
    HandOut(co, 0, co->co.GetVoucherNOType(format, type), result);
    HandOut(co, 1, type, no_type);
  });
}

int32_t fabrikon_co_get_voucher_no(fabrikon_voucher_co* co, int get_real_no, const char** number,
                                   const char** err_msg) {
  return Guard(co, [&] {
    std::string message;
    HandOut(co, 0, co->co.GetVoucherNO(co->form, message, get_real_no != 0), number);
    HandOut(co, 1, message, err_msg);
  });
}

int32_t fabrikon_co_head_check(fabrikon_voucher_co* co, const char* item, int save_mode, const char** result) {
  return Guard(co, [&] {
    co->domReturn = nullptr;
    HandOut(co, 0, co->co.HeadCheck(co->form, Text(item), co->domReturn, save_mode != 0), result);
  });
}

int32_t fabrikon_co_body_check(fabrikon_voucher_co* co, long row, const char* item, int save_mode,
                               const char** result) {
  return Guard(co, [&] {
    co->domReturn = nullptr;
    HandOut(co, 0, co->co.BodyCheck(co->form, row, Text(item), co->domReturn, save_mode != 0), result);
  });
}

int32_t fabrikon_co_dom_return(fabrikon_voucher_co* co, const char** xml) {
  return Guard(co, [&] { HandOut(co, 0, co->domReturn ? co->domReturn->xml() : "", xml); });
}

int32_t fabrikon_co_list_data(fabrikon_voucher_co* co, const char* select_list, const char* sum_list,
                              const char* order_list, const char* where, int32_t page_size, int32_t current_page,
                              int* ok, const char** err_msg, int32_t* record_count, int32_t* page_count,
                              const char** list_xml, const char** sum_xml) {
  return Guard(co, [&] {
    if (page_size < 0) Refuse("the page size is negative: " + std::to_string(page_size));
    auto columns = std::make_shared<EmbeddedColumnSet>(Text(select_list), Text(sum_list), Text(order_list));
    VchListPage page = co->co.GetVchListPage(columns, Text(where), page_size, current_page);
    if (ok) *ok = page.bOk ? 1 : 0;
    if (record_count) *record_count = static_cast<int32_t>(page.nRecordCount);
    if (page_count) *page_count = static_cast<int32_t>(page.nPageCount);
    HandOut(co, 0, page.strErrMsg, err_msg);
    HandOut(co, 1, RowsetXml(page.rstRetList), list_xml);
    HandOut(co, 2, RowsetXml(page.rstRetSum), sum_xml);
  });
}

int32_t fabrikon_co_save1(fabrikon_voucher_co* co, int state, const char** result) {
  return Guard(co, [&] { HandOut(co, 0, co->co.VoucherSave1(co->form, SaveState(state)), result); });
}

int32_t fabrikon_co_save2(fabrikon_voucher_co* co, int state, const char** result, const char** cur_id) {
  return Guard(co, [&] {
    Variant curId;
    HandOut(co, 0, co->co.VoucherSave2(co->form, SaveState(state), curId), result);
    HandOut(co, 1, curId.ToText(), cur_id);
  });
}

int32_t fabrikon_co_call(fabrikon_voucher_co* co, const char* operation, const char** result) {
  return Guard(co, [&] {
    auto it = Operations().find(Text(operation));
    if (it == Operations().end()) {
      throw ComError(ErrorNumber::NotSupported, "Object doesn't support this property or method: " + Text(operation));
    }
    HandOut(co, 0, it->second(co->co, co->form), result);
  });
}

}  // extern "C"
