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
