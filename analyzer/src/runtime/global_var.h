#ifndef QEN_ANALYZER_GLOBAL_VAR_H
#define QEN_ANALYZER_GLOBAL_VAR_H

#ifdef __cplusplus
extern "C" {
#endif

/* Identifier (1 to 98) of the global variable with this name, given
 * without its "@@"; compared without regard to case. 0 when unknown. */
int global_var_lookup(const char* name, int length);

#ifdef __cplusplus
}
#endif

#endif
