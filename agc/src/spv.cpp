// Segmented vectors and bit vectors.
#include <cstdint>

#include "spv.h"

namespace {

constexpr unsigned kDirectoryRequest = 4096;
constexpr std::uint64_t kLargestBlock = 0x7FFFFF37u;

char **directory_slot(spv *v, unsigned s) {
  return reinterpret_cast<char **>(voidp_spv_elem_addr(v->directory, s));
}

char *segment_pointer(spv *v, unsigned s) {
  if (s < 4) return v->segment[s];
  char **slot = directory_slot(v, s);
  return slot ? *slot : nullptr;
}

inline void *cached_lookup(spv *v, unsigned i) {
  if (!v) return nullptr;
  unsigned d = i - static_cast<unsigned>(v->cached_first);
  if (d < static_cast<unsigned>(v->cached_count))
    return v->cached_segment + static_cast<std::size_t>(d) * v->elem_size;
  return spv_elem_addr(v, i);
}

}  // namespace

extern "C" {

QEN_AG_API spv *spv_create(smp_memory_pool *pool, int element_size, unsigned segment_request) {
  std::uint64_t size = element_size < 1 ? 1 : static_cast<unsigned>(element_size);
  std::uint64_t target = segment_request / 2;
  if (target < 256) target = 256;
  int shift = 4;
  std::uint64_t bytes = size * 16;
  while (bytes < target) {
    bytes *= 2;
    ++shift;
  }
  // A segment must be one freeable block.
  if (bytes > kLargestBlock) return nullptr;
  spv *v = static_cast<spv *>(smp_malloc(pool, sizeof(spv)));
  if (!v) return nullptr;
  v->pool = pool;
  for (auto &s : v->segment) s = nullptr;
  v->directory = nullptr;
  v->cached_segment = nullptr;
  v->cached_first = 0;
  v->cached_count = 0;
  v->elem_count = 0;
  v->segment_count = 0;
  v->elem_size = static_cast<int>(size);
  v->segment_size = static_cast<unsigned>(bytes);
  v->shift = shift;
  v->mask = (1u << shift) - 1;
  return v;
}

QEN_AG_API int spv_elem_count(spv *v) { return v ? v->elem_count : 0; }

QEN_AG_API void *spv_elem_addr(spv *v, unsigned i) {
  if (!v || i >= static_cast<unsigned>(v->elem_count)) return nullptr;
  unsigned s = i >> v->shift;
  char *seg = segment_pointer(v, s);
  if (!seg) return nullptr;
  unsigned first = s << v->shift;
  std::uint64_t end = static_cast<std::uint64_t>(first) + v->mask + 1;
  if (end > static_cast<unsigned>(v->elem_count)) end = static_cast<unsigned>(v->elem_count);
  v->cached_segment = seg;
  v->cached_first = static_cast<int>(first);
  v->cached_count = static_cast<int>(end - first);
  return seg + static_cast<std::size_t>(i - first) * v->elem_size;
}

QEN_AG_API char **charp_spv_elem_addr(spv *v, unsigned i) {
  return static_cast<char **>(cached_lookup(v, i));
}
QEN_AG_API int *int_spv_elem_addr(spv *v, unsigned i) { return static_cast<int *>(cached_lookup(v, i)); }
QEN_AG_API void **voidp_spv_elem_addr(spv *v, unsigned i) {
  return static_cast<void **>(cached_lookup(v, i));
}

QEN_AG_API void spv_set_elem_count(spv *v, int n) {
  if (!v) return;
  if (n < 0) n = 0;
  if (n == v->elem_count) return;
  int S = static_cast<int>((static_cast<std::uint64_t>(n) + v->mask) >> v->shift);
  if (S == v->segment_count) {
    if (n < v->elem_count) v->cached_count = 0;
    v->elem_count = n;
    return;
  }
  if (n < v->elem_count) {
    v->cached_count = 0;
    if (v->directory) {
      for (int s = v->segment_count - 1; s >= S; --s) {
        char **slot = directory_slot(v, static_cast<unsigned>(s));
        if (slot) smp_free(v->pool, *slot);
      }
      if (S > 4) {
        spv_set_elem_count(v->directory, S);
      } else {
        for (int s = S; s < 4; ++s) v->segment[s] = nullptr;
        spv_destroy(v->directory);
        v->directory = nullptr;
      }
    } else {
      for (int s = v->segment_count - 1; s >= S; --s) {
        smp_free(v->pool, v->segment[s]);
        v->segment[s] = nullptr;
      }
    }
  } else {
    int in_record = S < 4 ? S : 4;
    for (int s = v->segment_count; s < in_record; ++s)
      v->segment[s] = static_cast<char *>(smp_malloc(v->pool, v->segment_size));
    if (S > 4) {
      if (!v->directory) {
        v->directory = spv_create(v->pool, static_cast<int>(sizeof(void *)), kDirectoryRequest);
        spv_set_elem_count(v->directory, S);
        for (unsigned s = 0; s < 4; ++s) *directory_slot(v, s) = v->segment[s];
      } else {
        spv_set_elem_count(v->directory, S);
      }
      for (int s = v->segment_count < 4 ? 4 : v->segment_count; s < S; ++s)
        *directory_slot(v, static_cast<unsigned>(s)) = static_cast<char *>(smp_malloc(v->pool, v->segment_size));
    }
  }
  v->segment_count = S;
  v->elem_count = n;
}

QEN_AG_API void spv_destroy(spv *v) {
  if (!v) return;
  spv_set_elem_count(v, 0);
  smp_free(v->pool, v);
}

// ---------------------------------------------------------------- bit vectors

QEN_AG_API bpv *bpv_create(smp_memory_pool *pool) {
  bpv *b = static_cast<bpv *>(smp_malloc(pool, sizeof(bpv)));
  if (!b) return nullptr;
  b->words = spv_create(pool, 4, 4096);
  b->bit_count = 0;
  b->cached_word = 0;
  b->cached_index = -1;
  b->cached_slot = nullptr;
  return b;
}

QEN_AG_API int bpv_get_elem_count(bpv *b) { return b ? b->bit_count : 0; }

QEN_AG_API void bpv_set_elem_count(bpv *b, int n) {
  if (!b) return;
  if (n < 0) n = 0;
  int old_words = static_cast<int>((static_cast<std::int64_t>(b->bit_count) + 31) / 32);
  int new_words = static_cast<int>((static_cast<std::int64_t>(n) + 31) / 32);
  if (old_words != new_words) {
    spv_set_elem_count(b->words, new_words);
    if (new_words < old_words && b->cached_index >= new_words) {
      b->cached_index = -1;
      b->cached_slot = nullptr;
    }
  }
  b->bit_count = n;
}

namespace {
// Makes word w the cached word, writing the previous one back first.
bool cache_word(bpv *b, int w) {
  if (b->cached_index == w) return true;
  if (b->cached_index >= 0 && b->cached_slot) *b->cached_slot = b->cached_word;
  unsigned *slot = reinterpret_cast<unsigned *>(int_spv_elem_addr(b->words, static_cast<unsigned>(w)));
  if (!slot) {
    b->cached_index = -1;
    b->cached_slot = nullptr;
    return false;
  }
  b->cached_index = w;
  b->cached_slot = slot;
  b->cached_word = *slot;
  return true;
}
}  // namespace

QEN_AG_API int bpv_elem_get(bpv *b, int i) {
  if (!b || i < 0 || i >= b->bit_count) return 0;
  if (!cache_word(b, i >> 5)) return 0;
  return static_cast<int>(b->cached_word & (1u << (i & 31)));
}

QEN_AG_API void bpv_elem_set(bpv *b, int i, int value) {
  if (!b || i < 0 || i >= b->bit_count) return;
  if (!cache_word(b, i >> 5)) return;
  unsigned bit = 1u << (i & 31);
  if (value) b->cached_word |= bit; else b->cached_word &= ~bit;
}

QEN_AG_API void bpv_push(bpv *b, int value) {
  if (!b || b->bit_count == 0x7FFFFFFF) return;
  int at = b->bit_count;
  bpv_set_elem_count(b, at + 1);
  bpv_elem_set(b, at, value);
}

QEN_AG_API void bpv_destroy(bpv *b) {
  if (!b) return;
  smp_memory_pool *pool = b->words ? b->words->pool : nullptr;
  spv_destroy(b->words);
  smp_free(pool, b);
}

}  // extern "C"
