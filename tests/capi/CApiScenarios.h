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

#ifdef __cplusplus
}
#endif

#endif
