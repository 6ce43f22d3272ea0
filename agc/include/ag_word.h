#ifndef QEN_AG_WORD_H
#define QEN_AG_WORD_H

/* One slot of a parameter block or a tree node. Slots are pointer-sized so
 * that they can hold pointers on 64-bit hosts; integers stored in a slot keep
 * their 32-bit meaning (sign-extended on store, read back as int32). */
#include <stdint.h>

typedef intptr_t ag_word;

/* The undefined integer of the grammar language. */
#define AG_UNDEFINED_INT ((int32_t)0x80000000u)

#if defined(QEN_AG_BUILD)
#define QEN_AG_API __attribute__((visibility("default")))
#else
#define QEN_AG_API
#endif

#ifdef __cplusplus
#define QEN_AG_EXTERN_C extern "C"
#else
#define QEN_AG_EXTERN_C
#endif

#endif
