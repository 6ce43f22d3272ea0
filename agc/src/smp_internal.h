#ifndef QEN_AG_SMP_INTERNAL_H
#define QEN_AG_SMP_INTERNAL_H

/* Pool internals shared with the other runtime modules and the unit tests. */
#include <cstddef>
#include <cstdint>

#include "ag_thread.h"
#include "smp.h"

namespace qen_ag {

constexpr unsigned kUnit = 8;  // pool sizes are counted in 8-byte units

/* Chunk kinds. */
enum : int { kChunkUnused = 1, kChunkRegistered = 2, kChunkFreeable = 3, kChunkBump = 4 };

/* Chunk registry. */
int chunk_registry_init();                 // 0 or the mutex error number
unsigned chunk_size_class(std::size_t n);  // 2048 for n < 2048, largest class above it
unsigned chunk_largest_class();
int chunk_class_count();
unsigned chunk_class(int i);
int chunk_alloc(std::size_t n);            // id or -1
/* chunk_alloc without the 0xDE fill; also gives the chunk's base and size. */
int chunk_take(std::size_t n, char **base, unsigned *size);
void chunk_free(int id);
int chunk_find(const void *address);       // id or -1
char *chunk_base(int id);
unsigned chunk_size(int id);
int chunk_kind(int id);
void *chunk_owner(int id);
void chunk_set_kind(int id, int kind);
void chunk_set_owner(int id, void *owner);
int chunk_live_count();                    // chunks currently registered

/* Learned first-chunk table. */
int learned_size_class(std::uint32_t n);
std::uint32_t learned_size(int row);

/* Bump chunk header (unit 0 onward). The chunk's registry id lets the pool
 * release or keep the chunk without looking it up. */
struct bump_header {
  bump_header *next;
  std::int32_t free_units;
  std::int32_t id;
  std::uint32_t units;  // the chunk's size in units
};
constexpr unsigned kBumpHeaderUnits = (sizeof(bump_header) + kUnit - 1) / kUnit;

/* Freeable block: an 8-byte tag (units, tag included; negative = free) then
 * the data; a free block keeps its ring links in its first two data words. */
struct free_block {
  std::int64_t tag;
  free_block *prev;
  free_block *next;
};
constexpr unsigned kTagBytes = sizeof(std::int64_t);
constexpr unsigned kMinBlockUnits = (sizeof(free_block) + kUnit - 1) / kUnit;

/* Trailer of a freeable chunk: a permanent member of the free ring (tag 0). */
struct chunk_trailer {
  free_block link;  // tag always 0: the end tag of the chunk
  free_block *first;
  smp_memory_pool *pool;
  chunk_trailer *chunk_next;
  chunk_trailer *chunk_prev;
  std::int32_t id;  // the chunk's registry id
};
constexpr unsigned kTrailerUnits = (sizeof(chunk_trailer) + kUnit - 1) / kUnit;

/* A bump chunk a reset pool keeps for reuse, described at its own start. */
struct spare_chunk {
  spare_chunk *next;
  std::int32_t id;
  std::uint32_t units;
};

}  // namespace qen_ag

struct smp_memory_pool {
  qen_ag::bump_header *bump;         // current (newest) bump chunk
  qen_ag::free_block *cursor;        // next search starts here
  qen_ag::chunk_trailer *freeable;   // one trailer of the ring of freeable chunks
  std::int32_t input_size;
  std::uint32_t freeable_units;      // freeable units in use
  std::uint32_t bump_units;          // bump units handed out over the pool's life
  qen_ag::ag_mutex mutex;
  /* The current bump chunk holds 0xDE from this unit up: a large chunk is
   * filled as it is handed out, so pages never used are never touched. */
  std::uint32_t bump_filled;
  /* Bump chunks kept by smp_reset for reuse, and the bytes it keeps in all. */
  qen_ag::spare_chunk *spare_bump;
  std::uint64_t spare_bytes;
};

namespace qen_ag {
constexpr unsigned kPoolRecordUnits = (sizeof(smp_memory_pool) + kUnit - 1) / kUnit;

/* Units of a freeable block for n data bytes. */
inline std::uint32_t malloc_units(unsigned n) {
  std::uint64_t u = (static_cast<std::uint64_t>(n) + kTagBytes + kUnit - 1) / kUnit;
  return u < kMinBlockUnits ? kMinBlockUnits : static_cast<std::uint32_t>(u);
}

/* A freeable block that never ends the process: NULL when no chunk can be
 * had for it (too large for any chunk class, or no memory). */
void *smp_malloc_soft(smp_memory_pool *pool, unsigned n);

/* Empties a pool for its next use, as smp_destroy then smp_create would,
 * but keeps its first chunk and, up to a bound, its other chunks for the
 * allocations to come; kept chunks are not filled again. */
void smp_reset(smp_memory_pool *pool);
}  // namespace qen_ag

#endif
