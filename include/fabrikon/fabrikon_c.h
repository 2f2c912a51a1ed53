/* fabrikon_c.h: a plain C interface to the voucher service façade
 * (clsVoucherCO), for hosts written in other languages that load the shared
 * library. One handle holds one façade, its database connection, its login
 * and one voucher form (head and body documents).
 *
 * Conventions
 * - Every call returning int32_t answers 0 when the operation completed (its
 *   answer is in the out-arguments) and otherwise the number of the error that
 *   reached the caller (HRESULT-style, e.g. 0x80040E14 for a database syntax
 *   error, 438 for an operation the voucher kind lacks);
 *   fabrikon_co_last_error() describes it.
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
int32_t fabrikon_co_move(fabrikon_voucher_co* co, enum fabrikon_move move);
int32_t fabrikon_co_bof(fabrikon_voucher_co* co, int* result);
int32_t fabrikon_co_eof(fabrikon_voucher_co* co, int* result);

/* The voucher form's documents as XML text, and replacing their content. */
int32_t fabrikon_co_get_head_xml(fabrikon_voucher_co* co, const char** xml);
int32_t fabrikon_co_get_body_xml(fabrikon_voucher_co* co, const char** xml);
int32_t fabrikon_co_set_head_xml(fabrikon_voucher_co* co, const char* xml);
int32_t fabrikon_co_set_body_xml(fabrikon_voucher_co* co, const char* xml);

/* Numbering. */
int32_t fabrikon_co_get_voucher_no_type(fabrikon_voucher_co* co, const char** result, const char** no_type);
int32_t fabrikon_co_get_voucher_no(fabrikon_voucher_co* co, int get_real_no, const char** number,
                                   const char** err_msg);

/* Checks: item NULL or "" with save_mode set checks the whole voucher. */
int32_t fabrikon_co_head_check(fabrikon_voucher_co* co, const char* item, int save_mode, const char** result);
int32_t fabrikon_co_body_check(fabrikon_voucher_co* co, long row, const char* item, int save_mode,
                               const char** result);

/* Saving (state 2 new, 1 edited) and the operations without arguments:
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
