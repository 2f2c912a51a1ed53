// The C interface of the façade (fabrikon_c.h): one handle holds a façade,
// its connection, login and voucher form; each call turns the C arguments
// into the façade's, catches whatever the call raises and hands strings out
// from buffers the handle owns. No exception crosses this boundary.
#include "fabrikon/fabrikon_c.h"

#include <array>
#include <charconv>
#include <functional>
#include <map>
#include <new>
#include <string>

#include "data/ConnectionRegistry.h"
#include "engine/CApiMessageBoxHandler.h"
#include "engine/EngineErrors.h"
#include "fabrikon/RowsetEditor.h"
#include "fabrikon/TraceConnection.h"
#include "fabrikon/modOutsourcing.h"
#include "fabrikon/modVoucher.h"
#include "fabrikon/clsVoucherCO.h"
#include "fabrikon/host/EmbeddedColumnSet.h"
#include "fabrikon/host/EmbeddedLoginInfo.h"
#include "fabrikon/host/EmbeddedVoucherForm.h"

// The trace callback of a handle, shared with the handle's TraceConnection
// (which may outlive the handle inside a cache).
struct CApiTrace {
  fabrikon_trace_handler trace = nullptr;
  void* context = nullptr;
};

struct fabrikon_voucher_co {
  fabrikon::clsVoucherCO co;
  fabrikon::ConnectionPtr conn;
  std::string cardNumber;
  fabrikon::VoucherFormPtr form = std::make_shared<fabrikon::EmbeddedVoucherForm>();
  std::string lastError;
  int32_t lastErrorNumber = 0;
  fabrikon::DOMDocumentPtr domReturn;  // of the last check
  std::array<std::string, 8> out;      // strings handed out by the last call
  fabrikon::engine::CApiMessageBoxCallbacks boxes;
  std::shared_ptr<CApiTrace> trace = std::make_shared<CApiTrace>();
  bool busy = false;  // a call is running (a callback must not call back in)
  // The module settings the façade's Init made (quantity precision, the
  // numbering flag). They live per thread, so a handle carries its own and
  // puts them back before each call: a handle may move between threads, and
  // two handles of different accounts may share one.
  bool settingsKept = false;
  int16_t quantityDecimals = 0;
  std::string quantityFormat;
  bool getRealNo = false;
};

namespace {

using namespace fabrikon;

std::string Text(const char* text) { return text ? std::string(text) : std::string(); }

// Keeps text in the handle's slot and points the out-argument at it.
void HandOut(fabrikon_voucher_co* co, size_t slot, const std::string& text, const char** target) {
  co->out[slot] = text;
  if (target) *target = co->out[slot].c_str();
}

int32_t Fail(fabrikon_voucher_co* co, int32_t number, std::string description) {
  co->lastError = std::move(description);
  co->lastErrorNumber = number;
  return number;
}

// Marks the handle busy for one call.
struct BusyCall {
  explicit BusyCall(fabrikon_voucher_co* co) : co_(co) { co_->busy = true; }
  ~BusyCall() { co_->busy = false; }
  BusyCall(const BusyCall&) = delete;
  BusyCall& operator=(const BusyCall&) = delete;
  fabrikon_voucher_co* co_;
};

// Gives this thread what the handle's Init left on the thread it ran on:
// the module settings, and the connection in the thread's registry, where
// the numbering and format services look the caller's connection up.
void AdoptThread(fabrikon_voucher_co* co) {
  if (co->settingsKept) {
    QuantityDecimals() = co->quantityDecimals;
    QuantityFormat() = co->quantityFormat;
    GetRealNo() = co->getRealNo;
  }
  if (co->conn && !ConnectionRegistry::Find(co->conn->ConnectionString())) ConnectionRegistry::Add(co->conn);
}

void KeepSettings(fabrikon_voucher_co* co) {
  if (!co->conn) return;
  co->settingsKept = true;
  co->quantityDecimals = QuantityDecimals();
  co->quantityFormat = QuantityFormat();
  co->getRealNo = GetRealNo();
}

// Runs one call with the handle's message boxes installed on this thread:
// 0 on completion, otherwise the error's number with its description kept
// for fabrikon_co_last_error. A call from one of the handle's own callbacks
// is refused without touching what the running call hands out.
int32_t Guard(fabrikon_voucher_co* co, const std::function<void()>& call) {
  if (!co) return ErrorNumber::ObjectNotSet;
  if (co->busy) {
    return Fail(co, ErrorNumber::InvalidProcedureCall,
                "the handle is busy: a callback called back into the handle whose call it serves");
  }
  BusyCall busy(co);
  try {
    engine::CApiMessageBoxHandler::Scope boxes(co->boxes);
    AdoptThread(co);
    call();
    KeepSettings(co);
    co->lastError.clear();
    co->lastErrorNumber = 0;
    return 0;
  } catch (...) {
    KeepSettings(co);
    int32_t number = engine::CurrentErrorNumber();
    return Fail(co, number == 0 ? ErrorNumber::E_FAIL_ : number, engine::CurrentErrorDescription());
  }
}

[[noreturn]] void Refuse(const std::string& what) { throw ComError(ErrorNumber::InvalidProcedureCall, what); }

int16_t SaveState(int32_t state) {
  if (state < -32768 || state > 32767) Refuse("the save state is not a 16-bit integer: " + std::to_string(state));
  return static_cast<int16_t>(state);
}

RowsetEditor Head(fabrikon_voucher_co* co) { return RowsetEditor(co->form->HeadDOM()); }
RowsetEditor Body(fabrikon_voucher_co* co) { return RowsetEditor(co->form->BodyDOM()); }

void HandOutField(fabrikon_voucher_co* co, const Variant& value, const char** target, int32_t* isNull) {
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

// The handle's connection with the trace in front; the trace is looked up
// at each batch, so that it can be set before or after the connection opens.
ConnectionPtr Traced(ConnectionPtr conn, std::shared_ptr<CApiTrace> trace) {
  return std::make_shared<TraceConnection>(std::move(conn), [trace](const std::string& sql, long count, double ms) {
    if (!trace->trace) return;
    try {
      trace->trace(sql.c_str(), static_cast<int64_t>(count), ms, trace->context);
    } catch (...) {
      // a trace never changes what the call does
    }
  });
}

bool HasReturn(const DOMDocumentPtr& domReturn) {
  return domReturn && !domReturn->selectSingleNode("//z:row").IsNothing();
}

// The column set of a list: each fragment given, the card's default for each
// one NULL. An empty sum list is passed on as it is (the list has no totals).
ColumnSetPtr ListColumns(fabrikon_voucher_co* co, const char* select, const char* sum, const char* order) {
  std::shared_ptr<EmbeddedColumnSet> columns;
  if (!select || !sum || !order) {
    columns = EmbeddedColumnSet::ForCard(engine::Require(co->conn), co->cardNumber);
  } else {
    columns = std::make_shared<EmbeddedColumnSet>();
  }
  if (select) columns->SelectList(select);
  if (sum) columns->SumList(sum);
  if (order) columns->OrderList(order);
  return columns;
}

// A product line id: an integer and nothing else.
long MainId(const char* text) {
  const std::string id = Text(text);
  long value = 0;
  const auto [end, error] = std::from_chars(id.data(), id.data() + id.size(), value);
  if (id.empty() || error != std::errc() || end != id.data() + id.size()) {
    Refuse("the product line id is not an integer: \"" + id + "\"");
  }
  return value;
}

// The materials of the last explosion as rowset XML, the fields the shell's
// explode prints (free items only when set).
std::string MaterialRows(const std::vector<clsWWSelectedBomPtr>& lines) {
  DOMDocumentPtr document = DOMDocument::Create();
  if (!document->loadXML("<xml xmlns:rs=\"urn:schemas-microsoft-com:rowset\" xmlns:z=\"#RowsetSchema\">"
                         "<rs:data/></xml>")) {
    throw ComError(ErrorNumber::DomError, "the material list cannot be built");
  }
  XmlNode data = document->selectSingleNode("//rs:data");
  for (const clsWWSelectedBomPtr& line : lines) {
    XmlNode row = data.appendChild(document->createElement("z:row"));
    row.setAttribute("cPScode", Variant(line->cPScode()));
    row.setAttribute("fQuantity", Variant(NumberText(line->fQuantity())));
    row.setAttribute("fQuantityNoWaste", Variant(NumberText(line->fQuantityNoWaste())));
    row.setAttribute("iPSQuantity", Variant(NumberText(line->iPSQuantity())));
    row.setAttribute("iWasteRate", Variant(NumberText(line->iWasteRate())));
    row.setAttribute("cDepCode", Variant(line->cDepCode()));
    row.setAttribute("cWhCode", Variant(line->cWhCode()));
    for (int n = 1; n <= 10; ++n) {
      if (!line->cFree(n).empty()) row.setAttribute("cFree" + std::to_string(n), Variant(line->cFree(n)));
    }
  }
  return document->xml();
}

}  // namespace

extern "C" {

fabrikon_voucher_co* fabrikon_co_create(void) { return new (std::nothrow) fabrikon_voucher_co(); }

// A handle's own callback cannot destroy it under the running call.
void fabrikon_co_destroy(fabrikon_voucher_co* co) {
  if (co && !co->busy) delete co;
}

const char* fabrikon_co_last_error(const fabrikon_voucher_co* co) { return co ? co->lastError.c_str() : ""; }

int32_t fabrikon_co_init(fabrikon_voucher_co* co, const char* connection_string, const char* card_number,
                         const char* user_id, const char* user_name, const char* login_date, int32_t* result) {
  return Guard(co, [&] {
    LoginInfoPtr login = MakeLogin(user_id, user_name, login_date);
    co->conn = Traced(OpenConnection(Text(connection_string)), co->trace);
    co->cardNumber = Text(card_number);
    bool answer = co->co.Init(login, co->conn, co->cardNumber);
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

int32_t fabrikon_co_bof(fabrikon_voucher_co* co, int32_t* result) {
  return Guard(co, [&] { if (result) *result = co->co.Bof() ? 1 : 0; });
}

int32_t fabrikon_co_eof(fabrikon_voucher_co* co, int32_t* result) {
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

int32_t fabrikon_co_get_head_field(fabrikon_voucher_co* co, const char* name, const char** value, int32_t* is_null) {
  return Guard(co, [&] { HandOutField(co, Head(co).Value(1, Text(name)), value, is_null); });
}

int32_t fabrikon_co_set_head_field(fabrikon_voucher_co* co, const char* name, const char* value) {
  return Guard(co, [&] { Head(co).SetHead({{Text(name), Text(value)}}); });
}

int32_t fabrikon_co_line_count(fabrikon_voucher_co* co, int32_t* count) {
  return Guard(co, [&] { if (count) *count = static_cast<int32_t>(Body(co).RowCount()); });
}

int32_t fabrikon_co_get_line_field(fabrikon_voucher_co* co, int32_t row, const char* name, const char** value,
                                   int32_t* is_null) {
  return Guard(co, [&] { HandOutField(co, Body(co).Value(row, Text(name)), value, is_null); });
}

int32_t fabrikon_co_set_line_field(fabrikon_voucher_co* co, int32_t row, const char* name, const char* value) {
  return Guard(co, [&] { Body(co).SetLine(row, {{Text(name), Text(value)}}); });
}

int32_t fabrikon_co_add_line(fabrikon_voucher_co* co, int32_t* row) {
  return Guard(co, [&] {
    long added = Body(co).AddLine({});
    if (row) *row = static_cast<int32_t>(added);
  });
}

int32_t fabrikon_co_delete_line(fabrikon_voucher_co* co, int32_t row) {
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

int32_t fabrikon_co_get_voucher_no(fabrikon_voucher_co* co, int32_t get_real_no, const char** number,
                                   const char** err_msg) {
  return Guard(co, [&] {
    std::string message;
    HandOut(co, 0, co->co.GetVoucherNO(co->form, message, get_real_no != 0), number);
    HandOut(co, 1, message, err_msg);
  });
}

int32_t fabrikon_co_head_check(fabrikon_voucher_co* co, const char* item, int32_t save_mode, const char** result) {
  return Guard(co, [&] {
    co->domReturn = DOMDocument::Create();  // as the screen hands one in
    HandOut(co, 0, co->co.HeadCheck(co->form, Text(item), co->domReturn, save_mode != 0), result);
  });
}

int32_t fabrikon_co_body_check(fabrikon_voucher_co* co, int32_t row, const char* item, int32_t save_mode,
                               const char** result) {
  return Guard(co, [&] {
    co->domReturn = DOMDocument::Create();
    HandOut(co, 0, co->co.BodyCheck(co->form, row, Text(item), co->domReturn, save_mode != 0), result);
  });
}

int32_t fabrikon_co_dom_return(fabrikon_voucher_co* co, const char** xml) {
  return Guard(co, [&] { HandOut(co, 0, HasReturn(co->domReturn) ? co->domReturn->xml() : "", xml); });
}

int32_t fabrikon_co_list_data(fabrikon_voucher_co* co, const char* select_list, const char* sum_list,
                              const char* order_list, const char* where, int32_t page_size, int32_t current_page,
                              int32_t* ok, const char** err_msg, int32_t* record_count, int32_t* page_count,
                              const char** list_xml, const char** sum_xml) {
  return Guard(co, [&] {
    if (page_size < 0) Refuse("the page size is negative: " + std::to_string(page_size));
    auto columns = ListColumns(co, select_list, sum_list, order_list);
    VchListPage page = co->co.GetVchListPage(columns, Text(where), page_size, current_page);
    if (ok) *ok = page.bOk ? 1 : 0;
    if (record_count) *record_count = static_cast<int32_t>(page.nRecordCount);
    if (page_count) *page_count = static_cast<int32_t>(page.nPageCount);
    HandOut(co, 0, page.strErrMsg, err_msg);
    HandOut(co, 1, RowsetXml(page.rstRetList), list_xml);
    HandOut(co, 2, RowsetXml(page.rstRetSum), sum_xml);
  });
}

int32_t fabrikon_co_save1(fabrikon_voucher_co* co, int32_t state, const char** result) {
  return Guard(co, [&] { HandOut(co, 0, co->co.VoucherSave1(co->form, SaveState(state)), result); });
}

int32_t fabrikon_co_save2(fabrikon_voucher_co* co, int32_t state, const char** result, const char** cur_id) {
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

int32_t fabrikon_co_set_question_handler(fabrikon_voucher_co* co, fabrikon_question_handler handler, void* context) {
  return Guard(co, [&] {
    co->boxes.question = handler;
    co->boxes.questionContext = handler ? context : nullptr;
  });
}

int32_t fabrikon_co_set_error_handler(fabrikon_voucher_co* co, fabrikon_error_handler handler, void* context) {
  return Guard(co, [&] {
    co->boxes.error = handler;
    co->boxes.errorContext = handler ? context : nullptr;
  });
}

int32_t fabrikon_co_set_trace(fabrikon_voucher_co* co, fabrikon_trace_handler trace, void* context) {
  return Guard(co, [&] {
    co->trace->trace = trace;
    co->trace->context = trace ? context : nullptr;
  });
}

int32_t fabrikon_co_apply_return(fabrikon_voucher_co* co, int32_t row) {
  return Guard(co, [&] {
    if (!HasReturn(co->domReturn)) return;
    RowsetEditor editor(row == 0 ? co->form->HeadDOM() : co->form->BodyDOM());
    editor.ApplyReturn(row, co->domReturn);
  });
}

int32_t fabrikon_co_explode(fabrikon_voucher_co* co, const char* mainid, const char* so_code, const char** autoids,
                            const char** rows_xml) {
  return Guard(co, [&] {
    const long id = MainId(mainid);
    const std::string ids = ExplodeProductLine(id, Text(so_code), engine::Require(co->conn));
    HandOut(co, 0, ids, autoids);
    HandOut(co, 1, MaterialRows(ids.empty() ? std::vector<clsWWSelectedBomPtr>() : SelectedBomLines()), rows_xml);
  });
}

}  // extern "C"
