// Run memory pool, string builder and small text helpers of the translator.
//
// Every allocation of a translation run comes from one pool. A pool bound to
// a jump target never returns null on failure: it throws PoolJump, which the
// translate routine catches (the run's recovery point).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Jump codes carried by PoolJump.
enum {
  POOL_JUMP_OUT_OF_MEMORY = 1,
  POOL_JUMP_NEGATIVE_SIZE = 2,
  POOL_JUMP_INTERNAL_ERROR = 3
};

// Thrown in place of a long jump back to the run's recovery point.
struct PoolJump {
  int code;
};

// The recovery point a pool is bound to. Its presence means "throw PoolJump
// on failure"; without one, failures return null.
struct PoolJumpTarget {
  int armed;
};

struct PoolBlock;
struct PoolSlab;

// Blocks up to this many bytes (header included) are carved from large slabs
// and kept for reuse when freed; bigger ones are heap allocations of their own.
const int kPoolSmallClasses = 128;  // classes of 8, 16, ... 1024 bytes

struct Pool {
  PoolJumpTarget* jumpTarget;
  PoolBlock* first;
  PoolBlock* last;
  // Carving state, private to the pool. Blocks and bump records are cut
  // upward from carve, bump texts downward from carveEnd.
  PoolSlab* slabs;
  char* carve;
  char* carveEnd;
  PoolBlock* freeBlocks[kPoolSmallClasses + 1];
  size_t bumpBytes;  // bump memory handed out, for the heap ceiling
  size_t spare;      // drawn from the heap count ahead of need
};

// Header in front of every block handed out by a pool.
struct PoolBlock {
  Pool* pool;
  PoolBlock* previous;
  PoolBlock* next;
  uint32_t size;  // size the caller asked for
};

Pool* poolNew(PoolJumpTarget* jumpTarget);
void* poolAllocIn(Pool* pool, size_t size);
char* poolStrdupIn(Pool* pool, const char* text);
void* poolMemdupIn(Pool* pool, const void* source, size_t size);
void poolFreeBlock(void* pointer);
void poolFreeAll(Pool* pool);
void poolDestroy(Pool* pool);
void poolSetJumpTarget(Pool* pool, PoolJumpTarget* jumpTarget);
// Fails the way the pool fails: throws PoolJump{code} when bound to a target.
[[noreturn]] void poolJump(Pool* pool, int code);

// Bump memory: records and texts that live as long as the pool and are
// never freed one by one (tree nodes, list cells, token texts). They carry
// no header; poolFreeBlock/poolFree must never be given one. Failures are
// those of poolAllocIn. poolBumpIn: size bytes, 8-byte aligned, zero-filled,
// null for 0.
// poolBumpTextIn: a copy of size bytes followed by a NUL, unaligned.
void* poolBumpIn(Pool* pool, size_t size);
char* poolBumpTextIn(Pool* pool, const char* text, size_t size);

// The calling thread's current pool, used by every allocation wrapper below;
// each thread has its own, none at first.
Pool* poolCurrent();
Pool* poolCreateCurrent(PoolJumpTarget* jumpTarget);
void* poolAlloc(size_t size);
char* poolStrdup(const char* text);
void* poolBump(size_t size);
char* poolBumpStrdup(const char* text);
void poolFree(void* pointer);
void poolDestroyCurrent();
// Makes an existing pool, or none, the current one.
void poolSetCurrent(Pool* pool);

// Owns a pool: destroys it when let go. A pool current on the releasing
// thread stops being current.
struct PoolRelease {
  void operator()(Pool* pool) const;
};
using OwnedPool = std::unique_ptr<Pool, PoolRelease>;

// Test hook: a ceiling on the heap bytes (headers included) that all pools
// of all threads together may hold; 0 means no ceiling. Reaching it counts as the heap
// refusing, so exhaustion can be exercised. Also settable by the environment
// variable VESTRAKE_POOL_LIMIT (read when the current pool is created).
// poolHeapInUse: the bytes counted. Without a ceiling pools count in grants,
// and the count includes what they drew ahead of need; set the ceiling
// before the pools it is to bound draw memory.
void poolSetHeapLimit(size_t bytes);
size_t poolHeapInUse();

// Chunked string builder on the current pool.
struct StringChunk {
  StringChunk* next;
  char* data;
  int capacity;
  int used;
};

struct StringBuilder {
  StringChunk* first;
  StringChunk* current;
  int chunkSize;
};

StringBuilder* sbNew(int chunkSize);
void sbAppend(StringBuilder* builder, const char* text);
// The first n bytes of text (a caller that knows the length).
void sbAppendBytes(StringBuilder* builder, const char* text, size_t n);
void sbReset(StringBuilder* builder);
int sbLength(const StringBuilder* builder);
void sbCopyOut(char* destination, const StringBuilder* builder);
char* sbToString(const StringBuilder* builder);
void sbFree(StringBuilder* builder);

// Re-entrant tokenizer (see strtok_r): a null text continues at *cursor.
char* splitToken(char* text, const char* delimiters, char** cursor);

// printf to standard error.
void errorPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
