/* fabrikon_c.h: a plain C interface to the voucher service façade
 * (clsVoucherCO), for hosts written in other languages that load the shared
 * library. One handle holds one façade, its database connection, its login
 * and one voucher form (head and body documents).
 *
 * Conventions
 * - Every call returning int32_t answers 0 when the operation completed (its
 *   answer is in the out-arguments) and otherwise the number of the error that
 *   reached the caller (HRESULT-style, e.g. 0x80040E14 for a database syntax
 *   error, 438 for an operation the voucher kind lacks, 5 for an argument
 *   outside its values, such as an unknown move);
 *   fabrikon_co_last_error_number() and fabrikon_co_last_error() give the
 *   number and description of the last call's error.
 * - Choices (moves, document parts) are plain integers; a value outside the
 *   listed constants is refused with error 5, never used.
 * - Strings are UTF-8. Strings handed out belong to the handle and stay valid
 *   until the next call on the same handle; copy what you keep.
 * - Business outcomes are answers, not errors: "" means success, any other
 *   text is a message for the user (approval and closing answer a message on
 *   success too).
 * - A handle is used on one thread at a time; several handles may be used on
 *   several threads at once.
 * - Integers are fixed-width (int32_t, int64_t) on every platform.
 * - Functions without a handle (fabrikon_create_database) keep their error's
 *   description for fabrikon_last_error(), per thread.
 */
#ifndef FABRIKON_C_H
#define FABRIKON_C_H

#include <stdint.h>

#include "fabrikon/Version.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct fabrikon_voucher_co fabrikon_voucher_co;

/* Values of the move argument of fabrikon_co_move. */
enum fabrikon_move {
  FABRIKON_MOVE_FIRST = 0,
  FABRIKON_MOVE_PREVIOUS = 1,
  FABRIKON_MOVE_NEXT = 2,
  FABRIKON_MOVE_LAST = 3,
  FABRIKON_MOVE_REFRESH = 4
};

/* The library's version, "MAJOR.MINOR.PATCH" (FABRIKON_VERSION_STRING of
 * the library that is loaded, which may be newer than the header). */
const char* fabrikon_version(void);

/* Creates a host database with the current schema and, with demo non-zero,
 * the demo plant (as `fabrikon init-db`): path_or_connection is a file name,
 * "Data Source=FILE" or a "postgresql://" URI of an existing database. An
 * existing database is refused unless force is non-zero. Answers 0 or the
 * error's number; fabrikon_last_error() gives its description. */
int32_t fabrikon_create_database(const char* path_or_connection, int32_t demo, int32_t force);
/* Description of the last error of a call without a handle on this thread. */
const char* fabrikon_last_error(void);

/* Lifetime. create answers NULL only when memory runs out. */
fabrikon_voucher_co* fabrikon_co_create(void);
void fabrikon_co_destroy(fabrikon_voucher_co* co);
/* Description of the last error on this handle ("" when the last call succeeded). */
const char* fabrikon_co_last_error(const fabrikon_voucher_co* co);
/* Number of the last error on this handle (0 when the last call succeeded);
 * the same number the failed call answered. */
int32_t fabrikon_co_last_error_number(const fabrikon_voucher_co* co);

/* Message boxes. Every Yes/No question asked during a call through co goes
 * to the question handler (non-zero = Yes), on the thread making the call;
 * without one the answer is No. Error boxes go to the error handler; without
 * one they are kept as MessageBox::TakeErrors keeps them. NULL removes a
 * handler. The text and title are UTF-8 and valid during the callback only.
 * A callback must not call back into the same handle. */
typedef int32_t (*fabrikon_question_handler)(const char* text, const char* title, void* context);
typedef void (*fabrikon_error_handler)(const char* text, const char* title, void* context);
int32_t fabrikon_co_set_question_handler(fabrikon_voucher_co* co, fabrikon_question_handler handler, void* context);
int32_t fabrikon_co_set_error_handler(fabrikon_voucher_co* co, fabrikon_error_handler handler, void* context);

/* SQL trace: every batch the library sends through the handle's connection
 * (after fabrikon_co_init, or set before it), with its records-affected count
 * (-1 when none, e.g. a SELECT) and the milliseconds it took, is reported
 * after it ran (also when it failed; the count is then -1). NULL stops it. */
typedef void (*fabrikon_trace_handler)(const char* sql, int64_t records_affected, double milliseconds,
                                       void* context);
int32_t fabrikon_co_set_trace(fabrikon_voucher_co* co, fabrikon_trace_handler trace, void* context);

/* Opens the database (e.g. "Data Source=plant.db") and calls Init for the
 * card number. login_date is "YYYY-MM-DD" (NULL or "": today). *result
 * receives Init's answer (always 0, as the façade answers false). */
int32_t fabrikon_co_init(fabrikon_voucher_co* co, const char* connection_string, const char* card_number,
                         const char* user_id, const char* user_name, const char* login_date, int32_t* result);

/* The card's templates and parameters. values receives eight strings in the
 * order: head table, body table, head view, body view, list view, head key,
 * body key, code column. */
int32_t fabrikon_co_default_vtid(fabrikon_voucher_co* co, const char** result);
int32_t fabrikon_co_default_vtid_prn(fabrikon_voucher_co* co, const char** result);
int32_t fabrikon_co_voucher_parameter(fabrikon_voucher_co* co, const char* values[8]);

/* Loading and moving. where / locate_where: conditions ("" or NULL: none);
 * voucher_id NULL: the highest key of the filtered set. */
int32_t fabrikon_co_get_voucher_data(fabrikon_voucher_co* co, const char* where, const char* voucher_id,
                                     const char* locate_where);
int32_t fabrikon_co_move(fabrikon_voucher_co* co, int32_t move); /* a FABRIKON_MOVE_ value */
int32_t fabrikon_co_bof(fabrikon_voucher_co* co, int32_t* result);
int32_t fabrikon_co_eof(fabrikon_voucher_co* co, int32_t* result);

/* The voucher form's documents as XML text, and replacing their content. */
int32_t fabrikon_co_get_head_xml(fabrikon_voucher_co* co, const char** xml);
int32_t fabrikon_co_get_body_xml(fabrikon_voucher_co* co, const char** xml);
int32_t fabrikon_co_set_head_xml(fabrikon_voucher_co* co, const char* xml);
int32_t fabrikon_co_set_body_xml(fabrikon_voucher_co* co, const char* xml);

/* Editing the documents as the voucher screen does. Lines are numbered from
 * 1 in document order. set_line_field marks a loaded line "M"; add_line
 * appends a line marked "A" (*row receives its number); delete_line marks a
 * line "D" (a line added since loading is removed); clear_body empties the
 * body (a new voucher starts with no lines). get_*_field hands out "" with
 * *is_null set when the row has no such field. A line or head row that is
 * not there is refused with 0x800A0BB9. */
int32_t fabrikon_co_get_head_field(fabrikon_voucher_co* co, const char* name, const char** value, int32_t* is_null);
int32_t fabrikon_co_set_head_field(fabrikon_voucher_co* co, const char* name, const char* value);
int32_t fabrikon_co_line_count(fabrikon_voucher_co* co, int32_t* count);
int32_t fabrikon_co_get_line_field(fabrikon_voucher_co* co, int32_t row, const char* name, const char** value,
                                   int32_t* is_null);
int32_t fabrikon_co_set_line_field(fabrikon_voucher_co* co, int32_t row, const char* name, const char* value);
int32_t fabrikon_co_add_line(fabrikon_voucher_co* co, int32_t* row);
int32_t fabrikon_co_delete_line(fabrikon_voucher_co* co, int32_t row);
int32_t fabrikon_co_clear_body(fabrikon_voucher_co* co);

/* Numbering. */
int32_t fabrikon_co_get_voucher_no_type(fabrikon_voucher_co* co, const char** result, const char** no_type);
int32_t fabrikon_co_get_voucher_no(fabrikon_voucher_co* co, int32_t get_real_no, const char** number,
                                   const char** err_msg);

/* Checks: item NULL or "" with save_mode set checks the whole voucher.
 * fabrikon_co_dom_return hands out the domReturn document of the last check
 * as XML ("" when the check gave none): the values the screen takes over. */
int32_t fabrikon_co_head_check(fabrikon_voucher_co* co, const char* item, int32_t save_mode, const char** result);
int32_t fabrikon_co_body_check(fabrikon_voucher_co* co, int32_t row, const char* item, int32_t save_mode,
                               const char** result);
int32_t fabrikon_co_dom_return(fabrikon_voucher_co* co, const char** xml);
/* Merges the last check's domReturn into the head (row 0) or line row (from
 * 1), as a voucher screen takes over the values a check hands back: each
 * attribute of domReturn's first row is set on that row (a loaded line
 * becomes "M"). Nothing happens when the last check gave no domReturn. */
int32_t fabrikon_co_apply_return(fabrikon_voucher_co* co, int32_t row);

/* Outsourcing orders: the material-list preview of product line mainid
 * (om_pomain's key, as text) with sales order so_code (NULL or "": none), as
 * the shell's `explode` prints it. *autoids receives the selected BOM row ids
 * joined by "," ("" when the product line is not found); *rows_xml the
 * selected materials as rowset XML, one z:row each, in the order met. */
int32_t fabrikon_co_explode(fabrikon_voucher_co* co, const char* mainid, const char* so_code, const char** autoids,
                            const char** rows_xml);

/* List data of the card's list view. select_list, sum_list and order_list
 * are the column set's SQL fragments; each one NULL takes the card's
 * default (its entry in the column sets the database keeps), and sum_list
 * "" gives no totals (*sum_xml is then ""); where carries its own WHERE keyword
 * (or is ""). page_size 0 lists every row; otherwise page current_page
 * (1-based) of pages of page_size rows. *ok receives the list's answer,
 * *err_msg its reason when 0; the rows and the totals are handed out as
 * rowset XML; *record_count counts the whole filtered list. */
int32_t fabrikon_co_list_data(fabrikon_voucher_co* co, const char* select_list, const char* sum_list,
                              const char* order_list, const char* where, int32_t page_size, int32_t current_page,
                              int32_t* ok, const char** err_msg, int32_t* record_count, int32_t* page_count,
                              const char** list_xml, const char** sum_xml);

/* Saving (state 2 new, 1 edited; a state outside 16 bits is refused with
 * error 5; cur_id is "" when the save failed) and the operations without
 * arguments:
 * "VoucherNew", "VoucherAllowNew", "VoucherAllowEdit", "VoucherAllowDelete",
 * "VoucherDelete", "VoucherClose", "VoucherOpen", "VoucherConfirm",
 * "VoucherCancelconfirm". An unknown name answers 438. */
int32_t fabrikon_co_save1(fabrikon_voucher_co* co, int32_t state, const char** result);
int32_t fabrikon_co_save2(fabrikon_voucher_co* co, int32_t state, const char** result, const char** cur_id);
int32_t fabrikon_co_call(fabrikon_voucher_co* co, const char* operation, const char** result);

#ifdef __cplusplus
}
#endif

#endif /* FABRIKON_C_H */
