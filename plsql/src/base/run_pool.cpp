#include "run_pool.h"

#include <atomic>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define POOL_POISON(p, n) ASAN_POISON_MEMORY_REGION((p), (n))
#define POOL_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION((p), (n))
#else
#define POOL_POISON(p, n) ((void)(p), (void)(n))
#define POOL_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

// One large heap allocation that small blocks are carved from.
struct PoolSlab {
  PoolSlab* next;
  size_t bytes;
};

namespace {

// Each thread runs its own translation on its own current pool; the test
// ceiling is shared by all of them.
thread_local Pool* g_currentPool = nullptr;
std::atomic<size_t> g_heapLimit{0};
std::atomic<size_t> g_heapInUse{0};

const size_t kHeader = (sizeof(PoolBlock) + 7) & ~size_t(7);
const size_t kSlabHeader = (sizeof(PoolSlab) + 15) & ~size_t(15);
// The pool record counts with its public part; the carving state, like the
// slabs, is the pool's own bookkeeping.
const size_t kPoolRecordBytes = offsetof(Pool, slabs);
// Large slabs keep mapping calls few. A large run fills its slabs: with
// 256 KiB or 64 KiB slabs the 10 MB benchmark input peaked as high.
const size_t kSlabBytes = size_t(2) << 20;
const size_t kSmallLimit = size_t(kPoolSmallClasses) * 8;
#if defined(__SANITIZE_ADDRESS__)
// Poisoned gap after every carved block, so that overruns are still caught.
const size_t kRedzone = 16;
#else
const size_t kRedzone = 0;
#endif

PoolBlock* headerOf(void* pointer) {
  return reinterpret_cast<PoolBlock*>(static_cast<char*>(pointer) - kHeader);
}

// Bytes a block counts for: the caller's part rounded to 8, plus the header.
// The heap ceiling is measured in these, however the block is placed.
size_t blockBytes(uint32_t size) { return ((size_t(size) + 7) & ~size_t(7)) + kHeader; }

bool isSmall(size_t bytes) { return bytes + kRedzone <= kSmallLimit; }

bool unlimited() { return g_heapLimit.load(std::memory_order_relaxed) == 0; }

// Accounting against the test ceiling, block by block.
bool heapAdmit(size_t bytes) {
  size_t limit = g_heapLimit.load(std::memory_order_relaxed);
  size_t inUse = g_heapInUse.load(std::memory_order_relaxed);
  do {
    if (limit != 0 && (bytes > limit || inUse > limit - bytes)) return false;
  } while (!g_heapInUse.compare_exchange_weak(inUse, inUse + bytes, std::memory_order_relaxed));
  return true;
}

// Bytes a pool counts. Without a ceiling the pool draws them from the
// shared count in grants and keeps the rest as its spare, so that most
// blocks cost no atomic operation (one per block showed in the profiles of
// a translation); under a ceiling each block is drawn alone, so that the
// ceiling is exact and all threads share it. Every byte drawn stays in the
// shared count, held or spare, until it is given back.
const size_t kGrantBytes = size_t(256) << 10;

bool poolAdmit(Pool* pool, size_t bytes) {
  if (unlimited()) {
    if (pool->spare < bytes) {
      g_heapInUse.fetch_add(bytes + kGrantBytes, std::memory_order_relaxed);
      pool->spare += bytes + kGrantBytes;
    }
    pool->spare -= bytes;
    return true;
  }
  // A spare drawn before the ceiling was set goes back first.
  if (pool->spare) {
    g_heapInUse.fetch_sub(pool->spare, std::memory_order_relaxed);
    pool->spare = 0;
  }
  return heapAdmit(bytes);
}

void poolGiveBack(Pool* pool, size_t bytes) {
  if (unlimited())
    pool->spare += bytes;
  else
    g_heapInUse.fetch_sub(bytes, std::memory_order_relaxed);
}

// A slab's pages, zero-filled. Under the address sanitizer they come from
// its heap instead: the leak checker follows pointers only through the
// memory it knows, and a large block that only its neighbour in a slab
// points to would count as leaked.
void* mapSlab() {
#if defined(__SANITIZE_ADDRESS__)
  return std::calloc(1, kSlabBytes);
#else
  void* pages = mmap(nullptr, kSlabBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  return pages == MAP_FAILED ? nullptr : pages;
#endif
}

void unmapSlab(PoolSlab* slab) {
#if defined(__SANITIZE_ADDRESS__)
  std::free(slab);
#else
  munmap(slab, slab->bytes);
#endif
}

// Makes room for placed bytes between the carving ends: a new slab when the
// current one has less left (the rest of it is abandoned). False when the
// heap refuses the slab.
bool roomFor(Pool* pool, size_t placed) {
  if (size_t(pool->carveEnd - pool->carve) >= placed) return true;
  // No huge-page request: alone or one run per core, at 10 MB and 64 MB,
  // they cost the kernel two to five times the time of small pages, more
  // than the faults and the user time they saved; past 16 MiB of slabs too
  // (docs/benchmark.md). The slab's pages are mapped at once instead: one
  // call rather than a fault per page took the 10 MB input from 0.07 s to
  // 0.05 s of system time (the wall time 0.91x), at most a slab's worth more
  // memory.
  void* pages = mapSlab();
  if (!pages) return false;
  PoolSlab* slab = static_cast<PoolSlab*>(pages);
  slab->next = pool->slabs;
  slab->bytes = kSlabBytes;
  pool->slabs = slab;
  pool->carve = reinterpret_cast<char*>(slab) + kSlabHeader;
  pool->carveEnd = reinterpret_cast<char*>(slab) + kSlabBytes;
  POOL_POISON(pool->carve, size_t(pool->carveEnd - pool->carve));
  return true;
}

// Space for a small block: a freed block of the same class, or the next
// bytes of the current slab (a new slab when it is used up). Null when the
// heap refuses a new slab.
PoolBlock* carveSmall(Pool* pool, size_t bytes) {
  size_t placed = bytes + kRedzone;
  size_t sizeClass = placed / 8;
  if (PoolBlock* reused = pool->freeBlocks[sizeClass]) {
    POOL_UNPOISON(reused, bytes);
    pool->freeBlocks[sizeClass] = reused->next;
    return reused;
  }
  if (!roomFor(pool, placed)) return nullptr;
  PoolBlock* block = reinterpret_cast<PoolBlock*>(pool->carve);
  pool->carve += placed;
  POOL_UNPOISON(block, bytes);
  return block;
}

void releaseSmall(Pool* pool, PoolBlock* block, size_t bytes) {
  size_t sizeClass = (bytes + kRedzone) / 8;
  block->next = pool->freeBlocks[sizeClass];
  pool->freeBlocks[sizeClass] = block;
  POOL_POISON(block, bytes);  // off limits until reused
}

void resetCarving(Pool* pool) {
  pool->slabs = nullptr;
  pool->carve = nullptr;
  pool->carveEnd = nullptr;
  for (PoolBlock*& head : pool->freeBlocks) head = nullptr;
  pool->bumpBytes = 0;
  pool->spare = 0;
}

// Bump requests above this size are ordinary blocks: a slab end abandoned
// for one of them would waste more than the header saves.
const size_t kBumpLimit = 4096;
// Texts need no alignment; under the sanitizer they keep to its 8-byte
// granules, so that the redzone behind each one is exact.
#if defined(__SANITIZE_ADDRESS__)
const size_t kTextAlign = 8;
#else
const size_t kTextAlign = 1;
#endif

// The failure of an allocation: a jump when the pool has a target, else null.
void* allocationFailed(Pool* pool, int code) {
  if (pool->jumpTarget) poolJump(pool, code);
  return nullptr;
}

// Counts bytes of bump memory against the ceiling and makes room for placed
// bytes; false (nothing counted) when either refuses.
// admitBump's common case, inline in the bump allocators: the bytes are
// in the spare and the slab has room.
inline bool admitBumpAtOnce(Pool* pool, size_t bytes, size_t placed) {
  if (pool->spare < bytes || size_t(pool->carveEnd - pool->carve) < placed || !unlimited()) return false;
  pool->spare -= bytes;
  pool->bumpBytes += bytes;
  return true;
}

bool admitBump(Pool* pool, size_t bytes, size_t placed) {
  if (!poolAdmit(pool, bytes)) return false;
  if (!roomFor(pool, placed)) {
    poolGiveBack(pool, bytes);
    return false;
  }
  pool->bumpBytes += bytes;
  return true;
}

}  // namespace

void poolSetHeapLimit(size_t bytes) { g_heapLimit = bytes; }
size_t poolHeapInUse() { return g_heapInUse.load(); }

void poolJump(Pool* pool, int code) {
  (void)pool;
  throw PoolJump{code};
}

Pool* poolNew(PoolJumpTarget* jumpTarget) {
  Pool* pool = static_cast<Pool*>(std::malloc(sizeof(Pool)));
  if (pool && !heapAdmit(kPoolRecordBytes)) {
    std::free(pool);
    pool = nullptr;
  }
  if (!pool) {
    if (jumpTarget) throw PoolJump{POOL_JUMP_OUT_OF_MEMORY};
    return nullptr;
  }
  pool->jumpTarget = jumpTarget;
  pool->first = nullptr;
  pool->last = nullptr;
  resetCarving(pool);
  return pool;
}

void poolSetJumpTarget(Pool* pool, PoolJumpTarget* jumpTarget) {
  if (pool) pool->jumpTarget = jumpTarget;
}

void* poolAllocIn(Pool* pool, size_t size) {
  if (!pool || size == 0) return nullptr;
  if (size > 2147483647u) return allocationFailed(pool, POOL_JUMP_NEGATIVE_SIZE);
  size_t bytes = blockBytes(uint32_t(size));
  PoolBlock* block = nullptr;
  if (poolAdmit(pool, bytes)) {
    block = static_cast<PoolBlock*>(isSmall(bytes) ? carveSmall(pool, bytes) : std::malloc(bytes));
    if (!block) poolGiveBack(pool, bytes);
  }
  if (!block) return allocationFailed(pool, POOL_JUMP_OUT_OF_MEMORY);
  block->pool = pool;
  block->size = uint32_t(size);
  block->next = nullptr;
  block->previous = pool->last;
  if (pool->last)
    pool->last->next = block;
  else
    pool->first = block;
  pool->last = block;
  return reinterpret_cast<char*>(block) + kHeader;
}

void* poolBumpIn(Pool* pool, size_t size) {
  if (!pool || size == 0) return nullptr;
  // Slab bytes are carved once, never reused, and the kernel maps them
  // zero-filled: only a block of the general allocator needs clearing.
  if (size > kBumpLimit) {
    void* block = poolAllocIn(pool, size);
    if (block) std::memset(block, 0, size);
    return block;
  }
  size_t bytes = (size + 7) & ~size_t(7);
  if (!admitBumpAtOnce(pool, bytes, bytes + kRedzone) && !admitBump(pool, bytes, bytes + kRedzone))
    return allocationFailed(pool, POOL_JUMP_OUT_OF_MEMORY);
  char* p = pool->carve;
  pool->carve += bytes + kRedzone;
  POOL_UNPOISON(p, bytes);
  return p;
}

char* poolBumpTextIn(Pool* pool, const char* text, size_t size) {
  if (!pool) return nullptr;
  char* copy;
  if (size >= kBumpLimit) {
    copy = static_cast<char*>(poolAllocIn(pool, size + 1));
    if (!copy) return nullptr;
  } else {
    size_t bytes = size + 1;
    size_t placed = ((bytes + kTextAlign - 1) & ~(kTextAlign - 1)) + kRedzone;
    if (!admitBumpAtOnce(pool, bytes, placed) && !admitBump(pool, bytes, placed))
      return static_cast<char*>(allocationFailed(pool, POOL_JUMP_OUT_OF_MEMORY));
    pool->carveEnd -= placed;
    copy = pool->carveEnd;
    POOL_UNPOISON(copy, bytes);
  }
  std::memcpy(copy, text, size);
  copy[size] = '\0';
  return copy;
}

char* poolStrdupIn(Pool* pool, const char* text) {
  if (!text) return nullptr;
  size_t n = std::strlen(text) + 1;
  char* copy = static_cast<char*>(poolAllocIn(pool, n));
  if (copy) std::memcpy(copy, text, n);
  return copy;
}

void* poolMemdupIn(Pool* pool, const void* source, size_t size) {
  void* copy = poolAllocIn(pool, size);
  if (copy && source) std::memcpy(copy, source, size);
  return copy;
}

void poolFreeBlock(void* pointer) {
  if (!pointer) return;
  PoolBlock* block = headerOf(pointer);
  Pool* pool = block->pool;
  if (pool->first == block) pool->first = block->next;
  if (pool->last == block) pool->last = block->previous;
  if (block->previous) block->previous->next = block->next;
  if (block->next) block->next->previous = block->previous;
  size_t bytes = blockBytes(block->size);
  poolGiveBack(pool, bytes);
  if (isSmall(bytes))
    releaseSmall(pool, block, bytes);
  else
    std::free(block);
}

void poolFreeAll(Pool* pool) {
  if (!pool) return;
  size_t given = pool->bumpBytes + pool->spare;
  PoolBlock* block = pool->first;
  while (block) {
    PoolBlock* next = block->next;
    size_t bytes = blockBytes(block->size);
    given += bytes;
    if (!isSmall(bytes)) std::free(block);
    block = next;
  }
  pool->first = nullptr;
  pool->last = nullptr;
  g_heapInUse.fetch_sub(given, std::memory_order_relaxed);
  for (PoolSlab* slab = pool->slabs; slab;) {
    PoolSlab* next = slab->next;
    POOL_UNPOISON(slab, slab->bytes);
    unmapSlab(slab);
    slab = next;
  }
  resetCarving(pool);
}

void poolDestroy(Pool* pool) {
  if (!pool) return;
  poolFreeAll(pool);
  g_heapInUse -= kPoolRecordBytes;
  std::free(pool);
}

Pool* poolCurrent() { return g_currentPool; }

Pool* poolCreateCurrent(PoolJumpTarget* jumpTarget) {
  if (const char* limit = std::getenv("VESTRAKE_POOL_LIMIT")) {
    char* end = nullptr;
    unsigned long long v = std::strtoull(limit, &end, 10);
    if (end != limit) g_heapLimit = size_t(v);
  }
  Pool* pool = poolNew(jumpTarget);
  if (!pool) {
    if (jumpTarget) throw PoolJump{POOL_JUMP_OUT_OF_MEMORY};
    return nullptr;
  }
  g_currentPool = pool;
  return pool;
}

void* poolAlloc(size_t size) { return poolAllocIn(g_currentPool, size); }
char* poolStrdup(const char* text) { return poolStrdupIn(g_currentPool, text); }
void poolFree(void* pointer) { poolFreeBlock(pointer); }
void* poolBump(size_t size) { return poolBumpIn(g_currentPool, size); }
char* poolBumpStrdup(const char* text) {
  return text ? poolBumpTextIn(g_currentPool, text, std::strlen(text)) : nullptr;
}

void poolDestroyCurrent() {
  // A destroyed pool is not left reachable: later allocations get null
  // instead of reusing freed memory.
  if (g_currentPool) poolDestroy(g_currentPool);
  g_currentPool = nullptr;
}

void poolSetCurrent(Pool* pool) { g_currentPool = pool; }

void PoolRelease::operator()(Pool* pool) const {
  if (pool == g_currentPool) g_currentPool = nullptr;
  poolDestroy(pool);
}

// ---- string builder ----

static StringChunk* newChunk(int capacity) {
  StringChunk* chunk = static_cast<StringChunk*>(poolAlloc(sizeof(StringChunk)));
  if (!chunk) return nullptr;
  chunk->next = nullptr;
  chunk->capacity = capacity;
  chunk->used = 0;
  chunk->data = capacity > 0 ? static_cast<char*>(poolAlloc(size_t(capacity))) : nullptr;
  if (capacity > 0 && !chunk->data) {
    poolFree(chunk);
    return nullptr;
  }
  return chunk;
}

StringBuilder* sbNew(int chunkSize) {
  StringBuilder* b = static_cast<StringBuilder*>(poolAlloc(sizeof(StringBuilder)));
  if (!b) return nullptr;
  if (chunkSize <= 0) chunkSize = 1024;
  // Later chunks take a tenth of the chunk size; below 10 that would be 0
  // and appending could never progress.
  if (chunkSize < 10) chunkSize = 10;
  b->first = nullptr;
  b->current = nullptr;
  b->chunkSize = chunkSize;
  return b;
}

void sbAppend(StringBuilder* b, const char* text) {
  if (text) sbAppendBytes(b, text, std::strlen(text));
}

void sbAppendBytes(StringBuilder* b, const char* text, size_t n) {
  if (!b || !text) return;
  while (n != 0) {
    if (!b->current) {
      StringChunk* c = newChunk(b->chunkSize);
      if (!c) return;
      b->first = b->current = c;
    } else if (b->current->used >= b->current->capacity) {
      if (b->current->next) {
        b->current = b->current->next;
        b->current->used = 0;
        continue;
      }
      int cap = b->chunkSize / 10;
      if (cap < 1) cap = 1;
      StringChunk* c = newChunk(cap);
      if (!c) return;
      b->current->next = c;
      b->current = c;
    }
    StringChunk* c = b->current;
    size_t room = size_t(c->capacity - c->used);
    size_t take = n < room ? n : room;
    std::memcpy(c->data + c->used, text, take);
    c->used += int(take);
    text += take;
    n -= take;
  }
}

void sbReset(StringBuilder* b) {
  if (!b) return;
  // Chunks past the current one are emptied when appending reaches them, so
  // a reset costs what was used since the last one, not every chunk ever made.
  for (StringChunk* c = b->first; c; c = c->next) {
    c->used = 0;
    if (c == b->current) break;
  }
  b->current = b->first;
}

int sbLength(const StringBuilder* b) {
  if (!b) return 0;
  int n = 0;
  for (StringChunk* c = b->first; c; c = c->next) {
    n += c->used;
    if (c == b->current) break;
  }
  return n;
}

void sbCopyOut(char* destination, const StringBuilder* b) {
  if (!destination) return;
  char* p = destination;
  if (b) {
    for (StringChunk* c = b->first; c; c = c->next) {
      std::memcpy(p, c->data, size_t(c->used));
      p += c->used;
      if (c == b->current) break;
    }
  }
  *p = '\0';
}

char* sbToString(const StringBuilder* b) {
  char* s = static_cast<char*>(poolAlloc(size_t(sbLength(b)) + 1));
  if (s) sbCopyOut(s, b);
  return s;
}

void sbFree(StringBuilder* b) {
  if (!b) return;
  StringChunk* c = b->first;
  while (c) {
    StringChunk* next = c->next;
    poolFree(c->data);
    poolFree(c);
    c = next;
  }
  poolFree(b);
}

// ---- other helpers ----

char* splitToken(char* text, const char* delimiters, char** cursor) {
  if (!delimiters) return text;
  char* s = text ? text : (cursor ? *cursor : nullptr);
  if (!s) return nullptr;
  s += std::strspn(s, delimiters);
  if (*s == '\0') return nullptr;
  char* end = s + std::strcspn(s, delimiters);
  if (*end) {
    *end = '\0';
    if (cursor) *cursor = end + 1;
  } else if (cursor) {
    *cursor = end;
  }
  return s;
}

void errorPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
}
