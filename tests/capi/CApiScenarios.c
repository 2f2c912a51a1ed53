/* The C interface driven from C, as a host in another language would (see
 * CApiScenarios.h). Each step checks the call's number and its answer; the
 * first difference ends the scenario with its description. */
#include "CApiScenarios.h"

#include <stdio.h>
#include <string.h>

#include "fabrikon/fabrikon_c.h"

static char failure[512];

#define STEP(call)                                                                                  \
  do {                                                                                              \
    int32_t rc_ = (call);                                                                           \
    if (rc_ != 0) {                                                                                 \
      snprintf(failure, sizeof failure, "%s -> 0x%08X %s", #call, (unsigned)rc_,                    \
               fabrikon_co_last_error(co));                                                         \
      goto done;                                                                                    \
    }                                                                                               \
  } while (0)

#define EXPECT(condition, what, value)                                                              \
  do {                                                                                              \
    if (!(condition)) {                                                                             \
      snprintf(failure, sizeof failure, "%s: got \"%s\"", what, value);                             \
      goto done;                                                                                    \
    }                                                                                               \
  } while (0)

static fabrikon_voucher_co* open_card(const char* connection_string, const char* card) {
  fabrikon_voucher_co* co = fabrikon_co_create();
  int32_t answer = 1;
  if (co && fabrikon_co_init(co, connection_string, card, "tester", "测试员", "2024-03-10", &answer) != 0) {
    snprintf(failure, sizeof failure, "init -> %s", fabrikon_co_last_error(co));
    fabrikon_co_destroy(co);
    return NULL;
  }
  return co;
}

static fabrikon_voucher_co* open_orders(const char* connection_string) { return open_card(connection_string, "pp25"); }

const char* capi_order_life(const char* connection_string) {
  const char* result = NULL;
  const char* value = NULL;
  const char* number = NULL;
  const char* message = NULL;
  char code[64];
  char id[32];
  int32_t is_null = 0;
  int32_t row = 0;
  int32_t count = 0;
  fabrikon_voucher_co* co = open_orders(connection_string);
  if (!co) return failure;
  failure[0] = '\0';

  STEP(fabrikon_co_call(co, "VoucherNew", &result));
  EXPECT(strcmp(result, "") == 0, "VoucherNew", result);
  STEP(fabrikon_co_clear_body(co));
  STEP(fabrikon_co_get_voucher_no(co, 1, &number, &message));
  EXPECT(number[0] != '\0', "a real number", message);
  snprintf(code, sizeof code, "%s", number);
  STEP(fabrikon_co_set_head_field(co, "ccode", code));
  STEP(fabrikon_co_set_head_field(co, "cdepcode", "D01"));
  STEP(fabrikon_co_set_head_field(co, "cpersoncode", "P004"));
  STEP(fabrikon_co_set_head_field(co, "dplandate", "2024-03-31"));
  STEP(fabrikon_co_head_check(co, "cdepcode", 0, &result));
  EXPECT(strcmp(result, "") == 0, "HeadCheck cdepcode", result);
  STEP(fabrikon_co_dom_return(co, &value));
  EXPECT(strstr(value, "cdepname=\"总装车间\"") != NULL, "domReturn of HeadCheck cdepcode", value);

  STEP(fabrikon_co_add_line(co, &row));
  EXPECT(row == 1, "the first added line", "");
  STEP(fabrikon_co_set_line_field(co, 1, "cinvcode", "P200"));
  STEP(fabrikon_co_set_line_field(co, 1, "fquantity", "10"));
  STEP(fabrikon_co_set_line_field(co, 1, "dstartdate", "2024-03-20"));
  STEP(fabrikon_co_set_line_field(co, 1, "denddate", "2024-03-31"));
  STEP(fabrikon_co_get_line_field(co, 1, "editprop", &value, &is_null));
  EXPECT(strcmp(value, "A") == 0 && !is_null, "an added line's mark", value);
  STEP(fabrikon_co_get_line_field(co, 1, "cmemo", &value, &is_null));
  EXPECT(is_null && strcmp(value, "") == 0, "a field the line lacks", value);
  STEP(fabrikon_co_add_line(co, &row));
  STEP(fabrikon_co_delete_line(co, row));
  STEP(fabrikon_co_line_count(co, &count));
  EXPECT(count == 1, "a deleted added line is removed", "");

  STEP(fabrikon_co_head_check(co, NULL, 1, &result));
  EXPECT(strcmp(result, "") == 0, "HeadCheck in save mode", result);
  STEP(fabrikon_co_body_check(co, 1, NULL, 1, &result));
  EXPECT(strcmp(result, "") == 0, "BodyCheck in save mode", result);
  STEP(fabrikon_co_save2(co, 2, &result, &value));
  EXPECT(strcmp(result, "") == 0 && value[0] != '\0', "VoucherSave2", result);
  snprintf(id, sizeof id, "%s", value);

  STEP(fabrikon_co_get_voucher_data(co, NULL, id, NULL));
  STEP(fabrikon_co_get_head_field(co, "ccode", &value, &is_null));
  EXPECT(strcmp(value, code) == 0, "the saved order loaded back", value);
  STEP(fabrikon_co_get_line_field(co, 1, "cinvcode", &value, &is_null));
  EXPECT(strcmp(value, "P200") == 0, "its line", value);
  STEP(fabrikon_co_call(co, "VoucherConfirm", &result));
  EXPECT(strstr(result, "审核成功") != NULL, "VoucherConfirm", result);
  STEP(fabrikon_co_get_voucher_data(co, NULL, id, NULL));
  STEP(fabrikon_co_call(co, "VoucherCancelconfirm", &result));
  EXPECT(strstr(result, "弃审成功") != NULL, "VoucherCancelconfirm", result);
  STEP(fabrikon_co_get_voucher_data(co, NULL, id, NULL));
  STEP(fabrikon_co_call(co, "VoucherDelete", &result));
  EXPECT(strstr(result, "删除单据[") != NULL && strstr(result, "]成功") != NULL, "VoucherDelete", result);

done:
  fabrikon_co_destroy(co);
  return failure[0] ? failure : NULL;
}

/* Each call must fail with the number; the handle then reports it. */
#define REFUSED(call, number)                                                                       \
  do {                                                                                              \
    int32_t rc_ = (call);                                                                           \
    if (rc_ != (int32_t)(number) || fabrikon_co_last_error_number(co) != rc_ ||                     \
        fabrikon_co_last_error(co)[0] == '\0') {                                                    \
      snprintf(failure, sizeof failure, "%s -> 0x%08X (last 0x%08X \"%s\"), not 0x%08X", #call,     \
               (unsigned)rc_, (unsigned)fabrikon_co_last_error_number(co), fabrikon_co_last_error(co), \
               (unsigned)(number));                                                                 \
      goto done;                                                                                    \
    }                                                                                               \
  } while (0)

const char* capi_refusals(const char* connection_string) {
  const char* result = NULL;
  const char* value = NULL;
  fabrikon_voucher_co* co = open_orders(connection_string);
  if (!co) return failure;
  failure[0] = '\0';

  STEP(fabrikon_co_get_voucher_data(co, NULL, NULL, NULL));
  REFUSED(fabrikon_co_move(co, 42), 5);
  REFUSED(fabrikon_co_move(co, -1), 5);
  STEP(fabrikon_co_move(co, FABRIKON_MOVE_FIRST));
  EXPECT(fabrikon_co_last_error_number(co) == 0 && fabrikon_co_last_error(co)[0] == '\0',
         "a call that succeeds clears the last error", fabrikon_co_last_error(co));
  REFUSED(fabrikon_co_save2(co, 70000, &result, &value), 5);
  REFUSED(fabrikon_co_save1(co, -40000, &result), 5);
  REFUSED(fabrikon_co_set_line_field(co, 9, "cmemo", "x"), 0x800A0BB9u);
  REFUSED(fabrikon_co_get_line_field(co, 0, "cmemo", &value, NULL), 0x800A0BB9u);
  REFUSED(fabrikon_co_delete_line(co, -1), 0x800A0BB9u);
  REFUSED(fabrikon_co_list_data(co, "ccode", "", "", "", -2, 1, NULL, NULL, NULL, NULL, NULL, NULL), 5);
  REFUSED(fabrikon_co_call(co, "Frobnicate", &result), 438);

done:
  fabrikon_co_destroy(co);
  return failure[0] ? failure : NULL;
}

const char* capi_paged_list(const char* connection_string) {
  const char* message = NULL;
  const char* list = NULL;
  const char* sums = NULL;
  int32_t ok = 0;
  int32_t records = 0;
  int32_t pages = 0;
  fabrikon_voucher_co* co = open_orders(connection_string);
  if (!co) return failure;
  failure[0] = '\0';

  STEP(fabrikon_co_list_data(co, "ccode, fquantity", "sum(fquantity) as fquantity", "ccode", "", 2, 2, &ok,
                             &message, &records, &pages, &list, &sums));
  EXPECT(ok, "GetVchListData", message);
  EXPECT(records == 5 && pages == 3, "five lines, two to a page", list);
  EXPECT(strstr(list, "SC000003") != NULL && strstr(list, "SC000001") == NULL, "page 2", list);
  EXPECT(strstr(sums, "fquantity=") != NULL, "the totals of the whole list", sums);

done:
  fabrikon_co_destroy(co);
  return failure[0] ? failure : NULL;
}

const char* capi_version(void) {
  char expected[32];
  failure[0] = '\0';
  snprintf(expected, sizeof expected, "%d.%d.%d", FABRIKON_VERSION_MAJOR, FABRIKON_VERSION_MINOR,
           FABRIKON_VERSION_PATCH);
  if (strcmp(fabrikon_version(), FABRIKON_VERSION_STRING) != 0 || strcmp(expected, FABRIKON_VERSION_STRING) != 0) {
    snprintf(failure, sizeof failure, "fabrikon_version() \"%s\", header \"%s\" (%s)", fabrikon_version(),
             FABRIKON_VERSION_STRING, expected);
  }
  return failure[0] ? failure : NULL;
}

/* What the question handler was asked, and the answer it gives. */
struct questions {
  int asked;
  int32_t answer;
  char text[256];
  char title[64];
};

static int32_t answer_question(const char* text, const char* title, void* context) {
  struct questions* q = (struct questions*)context;
  q->asked++;
  snprintf(q->text, sizeof q->text, "%s", text);
  snprintf(q->title, sizeof q->title, "%s", title);
  return q->answer;
}

const char* capi_close_outsourcing_order(const char* connection_string, int yes) {
  const char* result = NULL;
  struct questions q = {0, yes ? 1 : 0, "", ""};
  fabrikon_voucher_co* co = open_card(connection_string, "om01");
  if (!co) return failure;
  failure[0] = '\0';

  STEP(fabrikon_co_get_voucher_data(co, NULL, "2", NULL));
  STEP(fabrikon_co_call(co, "VoucherConfirm", &result));
  EXPECT(strcmp(result, "委外订单[2]审核成功！") == 0, "VoucherConfirm", result);
  STEP(fabrikon_co_move(co, FABRIKON_MOVE_REFRESH));
  STEP(fabrikon_co_set_question_handler(co, answer_question, &q));
  STEP(fabrikon_co_call(co, "VoucherClose", &result));
  EXPECT(q.asked == 1, "the question asked once", q.text);
  EXPECT(strcmp(q.text, "委外订单没有全部入库，是否继续？") == 0, "the question", q.text);
  EXPECT(strcmp(q.title, "委外管理") == 0, "its title", q.title);
  if (yes) {
    EXPECT(strcmp(result, "委外订单[2]关闭成功！") == 0, "VoucherClose answered Yes", result);
  } else {
    EXPECT(strcmp(result, "委外订单[2] 关闭失败！") == 0, "VoucherClose answered No", result);
  }

done:
  fabrikon_co_destroy(co);
  return failure[0] ? failure : NULL;
}

/* The handle and what the re-entrant callback saw. */
struct reentrance {
  fabrikon_voucher_co* co;
  int32_t rc;
  int32_t number;
};

static int32_t call_back_in(const char* text, const char* title, void* context) {
  struct reentrance* r = (struct reentrance*)context;
  const char* value = NULL;
  int32_t is_null = 0;
  (void)text;
  (void)title;
  r->rc = fabrikon_co_get_head_field(r->co, "ccode", &value, &is_null);
  r->number = fabrikon_co_last_error_number(r->co);
  fabrikon_co_destroy(r->co);
  return 1;
}

const char* capi_reentrance(const char* connection_string) {
  const char* result = NULL;
  const char* value = NULL;
  int32_t is_null = 0;
  struct reentrance r = {NULL, 0, 0};
  fabrikon_voucher_co* co = open_card(connection_string, "om01");
  if (!co) return failure;
  failure[0] = '\0';
  r.co = co;

  STEP(fabrikon_co_get_voucher_data(co, NULL, "2", NULL));
  STEP(fabrikon_co_call(co, "VoucherConfirm", &result));
  STEP(fabrikon_co_move(co, FABRIKON_MOVE_REFRESH));
  STEP(fabrikon_co_set_question_handler(co, call_back_in, &r));
  STEP(fabrikon_co_call(co, "VoucherClose", &result));
  EXPECT(r.rc == 5 && r.number == 5, "a call from the handle's own callback", "");
  EXPECT(strcmp(result, "委外订单[2]关闭成功！") == 0, "the running call goes on", result);
  EXPECT(fabrikon_co_last_error_number(co) == 0, "the running call's own outcome", fabrikon_co_last_error(co));
  STEP(fabrikon_co_get_head_field(co, "ccode", &value, &is_null));

done:
  fabrikon_co_destroy(co);
  return failure[0] ? failure : NULL;
}

/* The batches a trace saw. */
struct trace_log {
  int calls;
  int update_counted; /* an UPDATE of om_productpo reported with count 1 */
  int failed_seen;    /* the failing batch reported with -1 */
  int negative_time;
};

static void record_batch(const char* sql, int64_t records_affected, double milliseconds, void* context) {
  struct trace_log* log = (struct trace_log*)context;
  log->calls++;
  if (milliseconds < 0) log->negative_time = 1;
  if (strstr(sql, "om_productpo SET istate") != NULL && records_affected == 1) log->update_counted = 1;
  if (strstr(sql, "no_such_column") != NULL && records_affected == -1) log->failed_seen = 1;
}

const char* capi_trace(const char* connection_string) {
  const char* result = NULL;
  const char* message = NULL;
  const char* list = NULL;
  const char* sums = NULL;
  int32_t ok = 1;
  int32_t answer = 0;
  int calls = 0;
  struct trace_log log = {0, 0, 0, 0};
  fabrikon_voucher_co* co = fabrikon_co_create();
  failure[0] = '\0';

  STEP(fabrikon_co_set_trace(co, record_batch, &log));
  STEP(fabrikon_co_init(co, connection_string, "om01", "tester", "测试员", "2024-03-10", &answer));
  STEP(fabrikon_co_get_voucher_data(co, NULL, "2", NULL));
  EXPECT(log.calls > 0, "the trace set before init sees the loading", "");
  STEP(fabrikon_co_call(co, "VoucherConfirm", &result));
  EXPECT(log.update_counted, "the approval's UPDATE with its count", result);
  if (fabrikon_co_list_data(co, "no_such_column", "", "", "", 0, 1, &ok, &message, NULL, NULL, &list, &sums) == 0 &&
      ok) {
    EXPECT(0, "a list of an unknown column", list);
  }
  EXPECT(log.failed_seen, "the failing batch with count -1", message);
  EXPECT(!log.negative_time, "times are not negative", "");
  STEP(fabrikon_co_set_trace(co, NULL, NULL));
  calls = log.calls;
  STEP(fabrikon_co_move(co, FABRIKON_MOVE_REFRESH));
  EXPECT(log.calls == calls, "no trace after NULL", "");

done:
  fabrikon_co_destroy(co);
  return failure[0] ? failure : NULL;
}

static int count_of(const char* text, const char* part) {
  int n = 0;
  for (const char* at = strstr(text, part); at; at = strstr(at + 1, part)) n++;
  return n;
}

const char* capi_explode(const char* connection_string) {
  const char* ids = NULL;
  const char* rows = NULL;
  fabrikon_voucher_co* co = open_card(connection_string, "om01");
  if (!co) return failure;
  failure[0] = '\0';

  STEP(fabrikon_co_explode(co, "2", NULL, &ids, &rows));
  EXPECT(strcmp(ids, "1,2,3") == 0, "the BOM rows selected", ids);
  EXPECT(count_of(rows, "<z:row ") == 3, "one row per material", rows);
  EXPECT(strstr(rows, "xmlns:z=\"#RowsetSchema\"") != NULL, "a rowset document", rows);
  EXPECT(strstr(rows, "<z:row cPScode=\"S110\" fQuantity=\"20\" fQuantityNoWaste=\"20\" iPSQuantity=\"1\" "
                      "iWasteRate=\"0\" cDepCode=\"D01\" cWhCode=\"W02\" cFree1=\"黑\"/>") != NULL,
         "the fields the shell prints", rows);
  STEP(fabrikon_co_explode(co, "999", "", &ids, &rows));
  EXPECT(strcmp(ids, "") == 0 && count_of(rows, "<z:row ") == 0, "a product line that is not there", rows);
  REFUSED(fabrikon_co_explode(co, "2x", NULL, &ids, &rows), 5);
  REFUSED(fabrikon_co_explode(co, "", NULL, &ids, &rows), 5);
  REFUSED(fabrikon_co_explode(co, NULL, NULL, &ids, &rows), 5);
  EXPECT(strstr(fabrikon_co_last_error(co), "not an integer") != NULL, "why", fabrikon_co_last_error(co));

done:
  fabrikon_co_destroy(co);
  return failure[0] ? failure : NULL;
}

const char* capi_default_list(const char* connection_string) {
  const char* message = NULL;
  const char* list = NULL;
  const char* sums = NULL;
  int32_t ok = 0;
  int32_t records = 0;
  int32_t pages = 0;
  fabrikon_voucher_co* co = open_orders(connection_string);
  if (!co) return failure;
  failure[0] = '\0';

  STEP(fabrikon_co_list_data(co, NULL, NULL, NULL, "", 2, 1, &ok, &message, &records, &pages, &list, &sums));
  EXPECT(ok, "the default column set", message);
  EXPECT(records == 5 && pages == 3, "five lines, two to a page", list);
  EXPECT(strstr(list, "SC000001") != NULL && strstr(list, "SC000003") == NULL, "page 1 in the default order", list);
  EXPECT(strstr(sums, "<z:row ") != NULL, "the default totals", sums);
  STEP(fabrikon_co_list_data(co, "ccode", NULL, "ccode desc", "", 0, 1, &ok, &message, &records, &pages, &list,
                             &sums));
  EXPECT(ok && records == 5, "a select list given, the default sums", message);
  EXPECT(strstr(list, "SC000005") < strstr(list, "SC000001"), "the order given", list);
  STEP(fabrikon_co_list_data(co, NULL, "", NULL, "WHERE ccode<>'SC000002'", 2, 1, &ok, &message, &records,
                             &pages, &list, &sums));
  EXPECT(ok && records == 4, "an empty sum list and a condition without its blank", message);
  EXPECT(strcmp(sums, "") == 0, "no totals", sums);

done:
  fabrikon_co_destroy(co);
  return failure[0] ? failure : NULL;
}

const char* capi_apply_return(const char* connection_string) {
  const char* result = NULL;
  const char* value = NULL;
  int32_t is_null = 0;
  fabrikon_voucher_co* co = open_card(connection_string, "om02");
  if (!co) return failure;
  failure[0] = '\0';

  STEP(fabrikon_co_get_voucher_data(co, NULL, "2", NULL));
  STEP(fabrikon_co_apply_return(co, 1));
  STEP(fabrikon_co_get_line_field(co, 1, "editprop", &value, &is_null));
  EXPECT(!is_null && strcmp(value, "") == 0, "no check, nothing merged", value);
  STEP(fabrikon_co_set_line_field(co, 1, "ipsquantity", "2"));
  STEP(fabrikon_co_body_check(co, 1, "ipsquantity", 0, &result));
  EXPECT(strcmp(result, "") == 0, "BodyCheck ipsquantity", result);
  STEP(fabrikon_co_dom_return(co, &value));
  EXPECT(strstr(value, "fquantity=\"") != NULL, "the required quantity handed back", value);
  STEP(fabrikon_co_apply_return(co, 1));
  STEP(fabrikon_co_get_line_field(co, 1, "fquantity", &value, &is_null));
  EXPECT(strcmp(value, "40.00") == 0, "the line takes the quantity over", value);
  STEP(fabrikon_co_get_line_field(co, 1, "editprop", &value, &is_null));
  EXPECT(strcmp(value, "M") == 0, "and is marked edited", value);
  REFUSED(fabrikon_co_apply_return(co, 7), 0x800A0BB9u);
  fabrikon_co_destroy(co);

  co = open_orders(connection_string);
  if (!co) return failure;
  STEP(fabrikon_co_get_voucher_data(co, NULL, "1", NULL));
  STEP(fabrikon_co_set_head_field(co, "cdepcode", "D01"));
  STEP(fabrikon_co_set_head_field(co, "cdepname", ""));
  STEP(fabrikon_co_head_check(co, "cdepcode", 0, &result));
  STEP(fabrikon_co_apply_return(co, 0));
  STEP(fabrikon_co_get_head_field(co, "cdepname", &value, &is_null));
  EXPECT(strcmp(value, "总装车间") == 0, "the head takes the name over", value);

done:
  fabrikon_co_destroy(co);
  return failure[0] ? failure : NULL;
}

static void record_error(const char* text, const char* title, void* context) {
  char* seen = (char*)context;
  (void)title;
  snprintf(seen, 256, "%s", text);
}

const char* capi_error_handler(const char* connection_string) {
  const char* result = NULL;
  char seen[256] = "";
  fabrikon_voucher_co* co = open_orders(connection_string);
  if (!co) return failure;
  failure[0] = '\0';

  STEP(fabrikon_co_set_error_handler(co, record_error, seen));
  STEP(fabrikon_co_get_voucher_data(co, NULL, "1", NULL));
  STEP(fabrikon_co_set_head_field(co, "iproperty", "12; drop table pp_productpo"));
  STEP(fabrikon_co_save1(co, 1, &result));
  EXPECT(strstr(seen, "Public:ConvertFieldByType") != NULL, "the error box", seen);

done:
  fabrikon_co_destroy(co);
  return failure[0] ? failure : NULL;
}

const char* capi_create_database(const char* folder) {
  char path[512];
  char connection[600];
  int32_t rc = 0;
  int32_t answer = 0;
  const char* value = NULL;
  int32_t is_null = 0;
  fabrikon_voucher_co* co = NULL;
  failure[0] = '\0';
  snprintf(path, sizeof path, "%s/plant.db", folder);
  snprintf(connection, sizeof connection, "Data Source=%s/other.db", folder);

#define CREATED(call)                                                                               \
  do {                                                                                              \
    rc = (call);                                                                                    \
    if (rc != 0) {                                                                                  \
      snprintf(failure, sizeof failure, "%s -> 0x%08X %s", #call, (unsigned)rc, fabrikon_last_error()); \
      goto done;                                                                                    \
    }                                                                                               \
  } while (0)

  CREATED(fabrikon_create_database(path, 1, 0));
  rc = fabrikon_create_database(path, 1, 0);
  EXPECT(rc != 0 && strstr(fabrikon_last_error(), path) != NULL, "an existing database without force",
         fabrikon_last_error());
  CREATED(fabrikon_create_database(path, 1, 1));
  EXPECT(fabrikon_last_error()[0] == '\0', "a success clears the last error", fabrikon_last_error());
  CREATED(fabrikon_create_database(connection, 0, 0));
  rc = fabrikon_create_database("Driver={Some Driver};Server=x", 0, 0);
  EXPECT(rc == 5, "an ODBC connection string", fabrikon_last_error());

  co = fabrikon_co_create();
  STEP(fabrikon_co_init(co, path, "pp25", "tester", "测试员", "2024-03-10", &answer));
  STEP(fabrikon_co_get_voucher_data(co, NULL, "1", NULL));
  STEP(fabrikon_co_get_head_field(co, "ccode", &value, &is_null));
  EXPECT(strcmp(value, "SC000001") == 0, "the demo plant", value);

done:
  fabrikon_co_destroy(co);
  return failure[0] ? failure : NULL;
}
