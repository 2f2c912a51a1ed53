/* Scenarios of the C interface written in C (CApiScenarios.c), run by the
 * C++ test program: each answers NULL when it went through, otherwise what
 * failed. */
#ifndef FABRIKON_CAPI_SCENARIOS_H
#define FABRIKON_CAPI_SCENARIOS_H

#ifdef __cplusplus
extern "C" {
#endif

/* A production order through its life on the demo database. */
const char* capi_order_life(const char* connection_string);
/* Values outside their range are refused with error numbers. */
const char* capi_refusals(const char* connection_string);
/* The production orders' list, two to a page, with its totals. */
const char* capi_paged_list(const char* connection_string);

/* fabrikon_version() and the header's FABRIKON_VERSION_STRING agree. */
const char* capi_version(void);
/* An approved outsourcing order of the demo closed with the question handler
 * answering yes (non-zero) or no; the question is asked once, on this thread. */
const char* capi_close_outsourcing_order(const char* connection_string, int yes);
/* A callback that calls back into its own handle is refused (error 5) and the
 * running call goes on; fabrikon_co_destroy from a callback is ignored. */
const char* capi_reentrance(const char* connection_string);
/* The trace sees each batch with its count, set before init, and stops. */
const char* capi_trace(const char* connection_string);
/* The explosion preview of an outsourcing product line, and mainids refused. */
const char* capi_explode(const char* connection_string);
/* A list with NULL fragments takes the card's default column set. */
const char* capi_default_list(const char* connection_string);
/* Values a check hands back merged into the head and into a line. */
const char* capi_apply_return(const char* connection_string);
/* Error boxes go to the error handler. */
const char* capi_error_handler(const char* connection_string);
/* Databases created in folder: a file, refused again without force,
 * replaced with force, a "Data Source=" string; the demo one opens. */
const char* capi_create_database(const char* folder);

#ifdef __cplusplus
}
#endif

#endif
