/* outsourcing.c: an outsourcing order's whole life through the C interface
 * (fabrikon/fabrikon_c.h), the same steps as outsourcing.cpp: a new order
 * gets its fields, a number and its checks, is saved and loaded back,
 * previews the explosion of its bill of materials, is approved, closed (the
 * library asks whether to close an order that is not fully received: the
 * question handler answers Yes), reopened, and shown on a page of the order
 * list with its totals.
 *
 *   fabrikon init-db plant.db --demo && ./outsourcing_c plant.db
 *
 * Every step prints one line with the library's answer. An error, or an
 * answer other than the expected one, ends the program with status 1 and
 * the message. Strings the library hands out live until the next call on
 * the same handle: the program copies what it keeps. */
#include <fabrikon/fabrikon_c.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static fabrikon_voucher_co* co;

/* An error that reached the host: its number (in hex, as the shell prints
 * it) and description. */
static void check(int32_t rc, const char* call) {
  if (rc == 0) return;
  fprintf(stderr, "%s: error 0x%08X: %s\n", call, (unsigned)rc, fabrikon_co_last_error(co));
  fabrikon_co_destroy(co);
  exit(1);
}

static void fail(const char* what, const char* detail) {
  fprintf(stderr, "failed: %s%s\n", what, detail);
  fabrikon_co_destroy(co);
  exit(1);
}

/* A text as the shell shows it: quoted, with carriage returns visible (check
 * messages end with one). */
static void print_quoted(const char* text) {
  putchar('"');
  for (; *text; ++text) {
    if (*text == '\r') fputs("\\r", stdout);
    else if (*text == '\n') fputs("\\n", stdout);
    else putchar(*text);
  }
  putchar('"');
}

/* Prints STEP => "ANSWER" and stops unless the answer is the expected one
 * ("" for the checks, the saves and the other operations that answer
 * nothing on success). */
static void expect(const char* step, const char* answer, const char* expected) {
  printf("%s => ", step);
  print_quoted(answer);
  putchar('\n');
  if (strcmp(answer, expected) != 0) {
    fprintf(stderr, "failed: %s answered \"%s\", expected \"%s\"\n", step, answer, expected);
    fabrikon_co_destroy(co);
    exit(1);
  }
}

/* Copies a string the handle hands out into buf. */
static const char* keep(char* buf, size_t size, const char* text) {
  snprintf(buf, size, "%s", text);
  return buf;
}

static const char* head_field(const char* name) {
  const char* value;
  int32_t is_null;
  check(fabrikon_co_get_head_field(co, name, &value, &is_null), "fabrikon_co_get_head_field");
  return value;
}

static const char* line_field(int32_t row, const char* name) {
  const char* value;
  int32_t is_null;
  check(fabrikon_co_get_line_field(co, row, name, &value, &is_null), "fabrikon_co_get_line_field");
  return value;
}

/* A field check while the user types (row 0: the head). The values the
 * check hands back (domReturn: a name looked up from a code) are taken into
 * the row, as a voucher screen does. */
static void check_field(int32_t row, const char* item) {
  const char* answer;
  const char* returned;
  char step[128];
  if (row == 0) {
    check(fabrikon_co_head_check(co, item, 0, &answer), "fabrikon_co_head_check");
    snprintf(step, sizeof step, "head check %s", item);
  } else {
    check(fabrikon_co_body_check(co, row, item, 0, &answer), "fabrikon_co_body_check");
    snprintf(step, sizeof step, "body check %d %s", (int)row, item);
  }
  expect(step, answer, "");
  check(fabrikon_co_dom_return(co, &returned), "fabrikon_co_dom_return");
  if (*returned) printf("  domReturn: %s\n", returned);
  check(fabrikon_co_apply_return(co, row), "fabrikon_co_apply_return");
}

static void set_head(const char* name, const char* value) {
  check(fabrikon_co_set_head_field(co, name, value), "fabrikon_co_set_head_field");
}

static void set_line(int32_t row, const char* name, const char* value) {
  check(fabrikon_co_set_line_field(co, row, name, value), "fabrikon_co_set_line_field");
}

/* An operation without arguments ("VoucherConfirm", ...) and its answer. */
static void call_expect(const char* operation, const char* expected) {
  const char* answer;
  check(fabrikon_co_call(co, operation, &answer), operation);
  expect(operation, answer, expected);
}

/* Loads the order again (a state change needs the row version it left). */
static void reload(const char* id) {
  check(fabrikon_co_get_voucher_data(co, NULL, id, NULL), "fabrikon_co_get_voucher_data");
  if (strcmp(head_field("id"), id) != 0) fail("the order did not load back: ", id);
  printf("load %s => istate=\"%s\"", id, head_field("istate"));
  printf(" cstatename=\"%s\"", head_field("cstatename"));
  printf(" cverifier=\"%s\"\n", head_field("cverifier"));
}

/* The question of VoucherClose: printed and answered Yes. */
static int32_t answer_yes(const char* text, const char* title, void* context) {
  int* asked = context;
  ++*asked;
  printf("  question (%s): \"%s\" -> Yes\n", title, text);
  return 1;
}

/* Each <z:row .../> of a rowset document on its own line. */
static void print_rows(const char* label, const char* xml) {
  const char* row = strstr(xml, "<z:row");
  while (row) {
    const char* end = strstr(row, "/>");
    if (!end) break;
    printf("  %s: %.*s\n", label, (int)(end + 2 - row), row);
    row = strstr(end, "<z:row");
  }
}

static void fill_order(const char* code) {
  set_head("ccode", code);
  set_head("cvencode", "V002");
  set_head("cdepcode", "D03");
  set_head("cpersoncode", "P003");
  set_head("dplandate", "2024-03-29");
  check_field(0, "cvencode"); /* hands back the vendor's name, which the save check requires */
  check_field(0, "cdepcode");

  int32_t row;
  check(fabrikon_co_add_line(co, &row), "fabrikon_co_add_line");
  set_line(row, "cinvcode", "P100");
  set_line(row, "cfree1", "黑");
  set_line(row, "fquantity", "0");
  set_line(row, "imakecharge", "40");
  set_line(row, "totalmoney", "480");
  set_line(row, "dstartdate", "2024-03-12");
  set_line(row, "denddate", "2024-03-29");
  check_field(row, "cinvcode");
  const char* answer;
  check(fabrikon_co_body_check(co, row, "fquantity", 0, &answer), "fabrikon_co_body_check");
  expect("body check 1 fquantity (typed 0)", answer, "表体：第1行[fquantity]不能为空或小于等于零，请检查！\r");
  set_line(row, "fquantity", "12");
  check_field(row, "fquantity");
}

static void list_page(void) {
  int32_t ok, count, pages;
  const char *err_msg, *list_xml, *sum_xml;
  check(fabrikon_co_list_data(co, "ccode,cinvcode,fquantity,totalmoney,cstatename",
                              "sum(fquantity) AS fquantity, sum(totalmoney) AS totalmoney", "id,mainid", "", 10, 1,
                              &ok, &err_msg, &count, &pages, &list_xml, &sum_xml),
        "fabrikon_co_list_data");
  printf("list page 1 (10 rows a page) => %s, %d rows, %d page(s)\n", ok ? "true" : "false", (int)count, (int)pages);
  if (!ok) fail("the list failed: ", err_msg);
  print_rows("row", list_xml);
  print_rows("totals", sum_xml);
}

int main(int argc, char** argv) {
  char connection[1024], code[64], id[64], mainid[64], expected[256];
  const char *answer, *number, *err_msg, *cur_id, *autoids, *rows_xml;
  int32_t result;
  int asked = 0;

  snprintf(connection, sizeof connection, "Data Source=%s", argc > 1 ? argv[1] : "plant.db");
  printf("fabrikon_version => \"%s\"\n", fabrikon_version());
  co = fabrikon_co_create();
  if (!co) return 1;
  check(fabrikon_co_init(co, connection, "om01", "lina", "李娜", "2024-03-11", &result), "fabrikon_co_init");
  printf("init om01 => %d\n", (int)result);

  call_expect("VoucherNew", "");
  check(fabrikon_co_clear_body(co), "fabrikon_co_clear_body");
  check(fabrikon_co_get_voucher_no(co, 1, &number, &err_msg), "fabrikon_co_get_voucher_no");
  printf("voucher number => \"%s\"\n", number);
  if (!*number || *err_msg) fail("no voucher number: ", err_msg);
  keep(code, sizeof code, number);
  fill_order(code);

  /* The whole voucher, as the save checks it. */
  check(fabrikon_co_head_check(co, NULL, 1, &answer), "fabrikon_co_head_check");
  expect("head check (save mode)", answer, "");
  check(fabrikon_co_body_check(co, 1, NULL, 1, &answer), "fabrikon_co_body_check");
  expect("body check (save mode)", answer, "");

  check(fabrikon_co_save2(co, 2, &answer, &cur_id), "fabrikon_co_save2");
  keep(id, sizeof id, cur_id);
  expect("save2 2 (new)", answer, "");
  printf("  cur_id: \"%s\"\n", id);
  if (!*id) fail("the save gave no key", "");
  reload(id);
  keep(mainid, sizeof mainid, line_field(1, "mainid"));

  /* The explosion of the line's bill of materials, from which the save
   * built the order's material lines. */
  check(fabrikon_co_explode(co, mainid, NULL, &autoids, &rows_xml), "fabrikon_co_explode");
  printf("explode %s => \"%s\"\n", mainid, autoids);
  if (!*autoids) fail("the explosion found no product line ", mainid);
  print_rows("material", rows_xml);

  snprintf(expected, sizeof expected, "委外订单[%s]审核成功！", id);
  call_expect("VoucherConfirm", expected);
  reload(id);

  /* Closing asks a question: the handler answers it. */
  check(fabrikon_co_set_question_handler(co, answer_yes, &asked), "fabrikon_co_set_question_handler");
  snprintf(expected, sizeof expected, "委外订单[%s]关闭成功！", id);
  call_expect("VoucherClose", expected);
  check(fabrikon_co_set_question_handler(co, NULL, NULL), "fabrikon_co_set_question_handler");
  if (asked != 1) fail("VoucherClose did not ask its question once", "");
  reload(id);
  if (strcmp(head_field("istate"), "3") != 0) fail("the closed order has istate ", head_field("istate"));

  snprintf(expected, sizeof expected, "委外订单[%s]打开成功！", id);
  call_expect("VoucherOpen", expected);
  reload(id);

  list_page();
  printf("done: outsourcing order %s saved, approved, closed and reopened\n", code);
  fabrikon_co_destroy(co);
  return 0;
}
