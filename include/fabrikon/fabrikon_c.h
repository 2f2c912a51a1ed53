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
 * - A handle is used on one thread at a time.
 */
#ifndef FABRIKON_C_H
#define FABRIKON_C_H

#include <stdint.h>

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

/* Lifetime. create answers NULL only when memory runs out. */
fabrikon_voucher_co* fabrikon_co_create(void);
void fabrikon_co_destroy(fabrikon_voucher_co* co);
/* Description of the last error on this handle ("" when the last call succeeded). */
const char* fabrikon_co_last_error(const fabrikon_voucher_co* co);
/* Number of the last error on this handle (0 when the last call succeeded);
 * the same number the failed call answered. */
int32_t fabrikon_co_last_error_number(const fabrikon_voucher_co* co);

/* Opens the database (e.g. "Data Source=plant.db") and calls Init for the
 * card number. login_date is "YYYY-MM-DD" (NULL or "": today). *result
 * receives Init's answer (always 0, as the façade answers false). */
int32_t fabrikon_co_init(fabrikon_voucher_co* co, const char* connection_string, const char* card_number,
                         const char* user_id, const char* user_name, const char* login_date, int* result);

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
int32_t fabrikon_co_bof(fabrikon_voucher_co* co, int* result);
int32_t fabrikon_co_eof(fabrikon_voucher_co* co, int* result);

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
int32_t fabrikon_co_get_head_field(fabrikon_voucher_co* co, const char* name, const char** value, int* is_null);
int32_t fabrikon_co_set_head_field(fabrikon_voucher_co* co, const char* name, const char* value);
int32_t fabrikon_co_line_count(fabrikon_voucher_co* co, long* count);
int32_t fabrikon_co_get_line_field(fabrikon_voucher_co* co, long row, const char* name, const char** value,
                                   int* is_null);
int32_t fabrikon_co_set_line_field(fabrikon_voucher_co* co, long row, const char* name, const char* value);
int32_t fabrikon_co_add_line(fabrikon_voucher_co* co, long* row);
int32_t fabrikon_co_delete_line(fabrikon_voucher_co* co, long row);
int32_t fabrikon_co_clear_body(fabrikon_voucher_co* co);

/* Numbering. */
int32_t fabrikon_co_get_voucher_no_type(fabrikon_voucher_co* co, const char** result, const char** no_type);
int32_t fabrikon_co_get_voucher_no(fabrikon_voucher_co* co, int get_real_no, const char** number,
                                   const char** err_msg);

/* Checks: item NULL or "" with save_mode set checks the whole voucher.
 * fabrikon_co_dom_return hands out the domReturn document of the last check
 * as XML ("" when the check gave none): the values the screen takes over. */
int32_t fabrikon_co_head_check(fabrikon_voucher_co* co, const char* item, int save_mode, const char** result);
int32_t fabrikon_co_body_check(fabrikon_voucher_co* co, long row, const char* item, int save_mode,
                               const char** result);
int32_t fabrikon_co_dom_return(fabrikon_voucher_co* co, const char** xml);

/* List data of the card's list view. select_list, sum_list and order_list
 * are the column set's SQL fragments; where carries its own WHERE keyword
 * (or is ""). page_size 0 lists every row; otherwise page current_page
 * (1-based) of pages of page_size rows. *ok receives the list's answer,
 * *err_msg its reason when 0; the rows and the totals are handed out as
 * rowset XML; *record_count counts the whole filtered list. */
int32_t fabrikon_co_list_data(fabrikon_voucher_co* co, const char* select_list, const char* sum_list,
                              const char* order_list, const char* where, int32_t page_size, int32_t current_page,
                              int* ok, const char** err_msg, int32_t* record_count, int32_t* page_count,
                              const char** list_xml, const char** sum_xml);

/* Saving (state 2 new, 1 edited; a state outside 16 bits is refused with
 * error 5; cur_id is "" when the save failed) and the operations without
 * arguments:
 * "VoucherNew", "VoucherAllowNew", "VoucherAllowEdit", "VoucherAllowDelete",
 * "VoucherDelete", "VoucherClose", "VoucherOpen", "VoucherConfirm",
 * "VoucherCancelconfirm". An unknown name answers 438. */
int32_t fabrikon_co_save1(fabrikon_voucher_co* co, int state, const char** result);
int32_t fabrikon_co_save2(fabrikon_voucher_co* co, int state, const char** result, const char** cur_id);
int32_t fabrikon_co_call(fabrikon_voucher_co* co, const char* operation, const char** result);

#ifdef __cplusplus
}
#endif

#endif /* FABRIKON_C_H */
