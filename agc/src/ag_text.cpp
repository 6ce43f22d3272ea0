/* Text values, pool-allocated objects and the constant Text fragments. */

#include <atomic>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "ag_context.h"
#include "ag_string.h"
#include "ag_string_internal.h"
#include "ag_text.h"

namespace {

st_context *thread_context() { return context_get(); }

smp_memory_pool *pool_of(st_context *ctx) {
  if (!ctx) ctx = thread_context();
  return ctx ? ctx->pool : nullptr;
}

/* Joining: an empty side gives the other node itself. */
st_String_const *join(st_String_const *a, st_String_const *b) {
  if (!b) return a;
  if (a->length <= 0) return b;
  if (b->length <= 0) return a;
  return cat_str_const(a, b);
}

/* Decimal texts of frequent small values, one static node each, filled on
 * first use; the flag bit is set only after the node is complete. */
const int kCachedValues[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,   10,  11,  12,  13,  14,  15,  16,
                             17, 18, 19, 20, 30, 32, 40, 50, 60, 64, 70, 80, 90, 100, 128, 200, 256, 512, 1024};
const char *const kCachedTexts[] = {"0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",   "8",   "9",   "10",  "11",
                                    "12", "13", "14", "15", "16", "17", "18", "19",  "20",  "30",  "32",  "40",
                                    "50", "60", "64", "70", "80", "90", "100", "128", "200", "256", "512", "1024"};
const int kCachedCount = (int)(sizeof kCachedValues / sizeof kCachedValues[0]);
static_assert(sizeof kCachedTexts / sizeof kCachedTexts[0] == sizeof kCachedValues / sizeof kCachedValues[0]);

st_String_const cached_nodes[kCachedCount];
std::atomic<uint32_t> cached_flags[(kCachedCount + 31) / 32];

int cached_slot(int v) {
  if (v < 0) return -1;
  if (v <= 20) return v;
  for (int i = 21; i < kCachedCount; ++i)
    if (kCachedValues[i] == v) return i;
  return -1;
}

st_String_const *decimal_node(int v) {
  int i = cached_slot(v);
  if (i < 0) return malloc_string_from_int(pool_of(nullptr), v);
  std::atomic<uint32_t> &w = cached_flags[i / 32];
  uint32_t bit = 1u << (i % 32);
  if (!(w.load(std::memory_order_acquire) & bit)) {
    st_String_const &n = cached_nodes[i];
    n.left = kCachedTexts[i];
    n.right = nullptr;
    n.length = (int32_t)strlen(kCachedTexts[i]);
    w.fetch_or(bit, std::memory_order_release);
  }
  return &cached_nodes[i];
}

}  // namespace

Text::Text(const char *text) : node_(C_empty_text) {
  if (text) node_ = make_string_from(thread_context(), text, (int)strnlen(text, INT32_MAX));
}

Text::Text(const char *text, int length) : node_(C_empty_text) {
  if (text) node_ = make_string_from(thread_context(), text, length < 0 ? 0 : length);
}

bool Text::equals(Text other, bool ignoreCase) const {
  if (ignoreCase) return string_icmp(other.node_, node_) == 0;
  return ::string_nteq(other.node_, node_) == 0;
}

char *Text::c_str(st_context *ctx) const { return string_to_chars(pool_of(ctx), node_, 1); }

Text Text::flatten(st_context *ctx) {
  if (node_->right) node_ = string_flatten(pool_of(ctx), node_);
  return Text(node_);
}

int Text::strncpy(char *buffer, unsigned n) const { return string_strncpy(buffer, node_, n); }

int Text::memcpy(char *buffer, unsigned n) const { return string_memcpy(buffer, node_, n); }

void Text::print(FILE *f) const { string_print(f, node_); }

void Text::print() const {
  string_print(stdout, node_);
  fputs("\n", stdout);
  fflush(stdout);
}

void Text::debug() const {
  string_debug_print(stdout, node_);
  fputs("\n", stdout);
  fflush(stdout);
}

Text Text::substr(int start, int len, smp_memory_pool *pool) {
  flatten(nullptr);
  if (!pool) pool = pool_of(nullptr);
  return Text(string_substr(pool, node_, start, len));
}

Text Text::replace(Text pattern, Text replacement, smp_memory_pool *pool) {
  if (isEmpty()) return Text(C_Em.toString());
  if (!pool) pool = pool_of(nullptr);
  return Text(string_replace(pool, node_, pattern.node_, replacement.node_));
}

Text Text::operator+(const Text &t) const { return Text(join(node_, t.node_)); }

Text Text::operator+(st_String_const *s) const { return Text(join(node_, s)); }

Text Text::operator+(const char *text) const {
  if (!text) return *this;
  return Text(join(node_, malloc_string(pool_of(nullptr), text, (int)strnlen(text, INT32_MAX))));
}

Text Text::operator+(int value) const { return Text(join(node_, decimal_node(value))); }

Text Text::operator+(unsigned value) const {
  if (value < 0x80000000u) return *this + (int)value;
  return Text(join(node_, malloc_string_from_unsigned(pool_of(nullptr), value)));
}

Text Text::operator+=(const Text &t) {
  node_ = join(node_, t.node_);
  return *this;
}

Text Text::joinChars(const char *text, int length) const {
  if (!text || length <= 0) return *this;
  return Text(join(node_, make_string_from(thread_context(), text, length)));
}

int string_nteq(Text a, Text b) { return ::string_nteq(a.toString(), b.toString()); }

void *PoolAllocated::operator new(size_t n) {
  st_context *ctx = thread_context();
  if (!ctx || !ctx->pool || n > 0x1FFFFFCDu) report_prod_assert("agc\\text", __LINE__);
  return smp_alloc(ctx->pool, (unsigned)n);
}

PoolAllocated::~PoolAllocated() {}
