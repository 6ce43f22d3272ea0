// Run pool, string builder, tokenizer, error records and option maps.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "ast.h"
#include "error_records.h"
#include "node_errors.h"
#include "parse_context.h"
#include "parse_errors.h"
#include "run_pool.h"
#include "translate.h"
#include "translate_options.h"

namespace {

struct CurrentPool : ::testing::Test {
  PoolJumpTarget target{1};
  void SetUp() override {
    poolSetHeapLimit(0);
    poolCreateCurrent(&target);
  }
  void TearDown() override {
    poolDestroyCurrent();
    poolSetHeapLimit(0);
  }
};

// Under a ceiling, even one out of reach, every block is counted on its own.
struct RunPool : ::testing::Test {
  void SetUp() override { poolSetHeapLimit(SIZE_MAX); }
  void TearDown() override { poolSetHeapLimit(0); }
};

PoolBlock* headerOf(void* p) {
  const size_t header = (sizeof(PoolBlock) + 7) & ~size_t(7);
  return reinterpret_cast<PoolBlock*>(static_cast<char*>(p) - header);
}

}  // namespace

TEST_F(RunPool, AllocationsAndFreeingKeepTheBlockChain) {
  size_t start = poolHeapInUse();
  Pool* pool = poolNew(nullptr);
  ASSERT_NE(pool, nullptr);
  EXPECT_EQ(poolAllocIn(pool, 0), nullptr);
  EXPECT_EQ(poolAllocIn(nullptr, 8), nullptr);
  size_t before = poolHeapInUse();
  void* a = poolAllocIn(pool, 5);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(headerOf(a)->size, 5u);
  EXPECT_EQ(poolHeapInUse() - before, 8 + ((sizeof(PoolBlock) + 7) & ~size_t(7)));
  void* b = poolAllocIn(pool, 16);
  void* c = poolAllocIn(pool, 1);
  EXPECT_EQ(pool->first, headerOf(a));
  EXPECT_EQ(pool->last, headerOf(c));
  poolFreeBlock(b);  // middle
  EXPECT_EQ(headerOf(a)->next, headerOf(c));
  EXPECT_EQ(headerOf(c)->previous, headerOf(a));
  poolFreeBlock(c);  // last
  EXPECT_EQ(pool->last, headerOf(a));
  poolFreeBlock(nullptr);
  char* s = poolStrdupIn(pool, "");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(headerOf(s)->size, 1u);
  EXPECT_EQ(std::string(static_cast<char*>(poolMemdupIn(pool, "abc", 4))), "abc");
  poolFreeAll(pool);
  EXPECT_EQ(pool->first, nullptr);
  EXPECT_EQ(pool->last, nullptr);
  EXPECT_EQ(poolHeapInUse(), before);
  poolDestroy(pool);
  EXPECT_EQ(poolHeapInUse(), start);
}

// Bump records and texts carry no header: they count their own bytes only,
// are not chained to the pool's blocks and go with the pool. Large ones are
// blocks of their own.
TEST_F(RunPool, BumpMemoryWithoutHeaders) {
  size_t start = poolHeapInUse();
  Pool* pool = poolNew(nullptr);
  size_t before = poolHeapInUse();
  EXPECT_EQ(poolBumpIn(pool, 0), nullptr);
  EXPECT_EQ(poolBumpIn(nullptr, 8), nullptr);
  EXPECT_EQ(poolBumpTextIn(nullptr, "x", 1), nullptr);
  struct Case {
    size_t size;       // bump record size, or text length when text
    bool text;
    size_t counted;    // bytes it adds to the heap in use
  };
  const Case cases[] = {{5, false, 8}, {24, false, 24}, {3, true, 4}, {0, true, 1}};
  const std::string source(5000, 'q');
  for (const Case& c : cases) {
    size_t used = poolHeapInUse();
    if (c.text) {
      char* t = poolBumpTextIn(pool, source.c_str(), c.size);
      ASSERT_NE(t, nullptr);
      EXPECT_EQ(std::string(t), source.substr(0, c.size));
    } else {
      char* r = static_cast<char*>(poolBumpIn(pool, c.size));
      ASSERT_NE(r, nullptr);
      EXPECT_EQ(reinterpret_cast<uintptr_t>(r) % 8, 0u);
      std::memset(r, 'r', c.size);
    }
    EXPECT_EQ(poolHeapInUse() - used, c.counted) << c.size << (c.text ? " text" : "");
  }
  EXPECT_EQ(pool->first, nullptr);
  void* big = poolBumpIn(pool, 5000);
  EXPECT_EQ(pool->first, headerOf(big));
  EXPECT_EQ(headerOf(big)->size, 5000u);
  char* bigText = poolBumpTextIn(pool, source.c_str(), source.size());
  EXPECT_EQ(pool->last, headerOf(bigText));
  EXPECT_EQ(std::string(bigText), source);
  poolFreeAll(pool);
  EXPECT_EQ(poolHeapInUse(), before);
  EXPECT_EQ(std::string(poolBumpTextIn(pool, "again", 5)), "again");
  poolDestroy(pool);
  EXPECT_EQ(poolHeapInUse(), start);
}

TEST_F(RunPool, FailuresReturnNullWithoutTargetAndThrowWithOne) {
  Pool* pool = poolNew(nullptr);
  EXPECT_EQ(poolAllocIn(pool, size_t(1) << 31), nullptr);  // negative as a 32-bit size
  poolSetHeapLimit(poolHeapInUse() + 100);
  EXPECT_EQ(poolAllocIn(pool, 200), nullptr);
  EXPECT_EQ(poolBumpIn(pool, 104), nullptr);
  EXPECT_EQ(poolBumpTextIn(pool, std::string(100, 't').c_str(), 100), nullptr);
  PoolJumpTarget target{1};
  poolSetJumpTarget(pool, &target);
  for (int form = 0; form < 3; ++form) {
    try {
      if (form == 0) poolAllocIn(pool, 200);
      if (form == 1) poolBumpIn(pool, 104);
      if (form == 2) poolBumpTextIn(pool, std::string(100, 't').c_str(), 100);
      FAIL() << "no jump in form " << form;
    } catch (const PoolJump& j) {
      EXPECT_EQ(j.code, POOL_JUMP_OUT_OF_MEMORY);
    }
  }
  try {
    poolAllocIn(pool, size_t(3000000000u));
    FAIL() << "no jump";
  } catch (const PoolJump& j) {
    EXPECT_EQ(j.code, POOL_JUMP_NEGATIVE_SIZE);
  }
  poolSetHeapLimit(0);
  poolDestroy(pool);
}

// Without a ceiling a pool counts in grants: what it drew goes back when it
// is emptied, and once a ceiling is set its blocks count alone again.
TEST(RunPoolGrants, DrawnBytesGoBackWithThePool) {
  const size_t block = 40 + ((sizeof(PoolBlock) + 7) & ~size_t(7));
  size_t start = poolHeapInUse();
  Pool* pool = poolNew(nullptr);
  size_t empty = poolHeapInUse();
  for (int i = 0; i < 20000; ++i) {
    poolBumpIn(pool, 40);
    poolFreeBlock(poolAllocIn(pool, 40));
  }
  EXPECT_GE(poolHeapInUse() - empty, 20000 * 40u);
  poolFreeAll(pool);
  EXPECT_EQ(poolHeapInUse(), empty);
  ASSERT_NE(poolAllocIn(pool, 40), nullptr);
  poolSetHeapLimit(SIZE_MAX);
  ASSERT_NE(poolAllocIn(pool, 40), nullptr);
  EXPECT_EQ(poolHeapInUse() - empty, 2 * block);
  poolSetHeapLimit(0);
  poolDestroy(pool);
  EXPECT_EQ(poolHeapInUse(), start);
}

TEST_F(RunPool, TranslateRecoversFromExhaustion) {
  poolSetHeapLimit(poolHeapInUse() + 200);
  TranslateResult r = translateCore("begin null; end;", nullptr);
  poolSetHeapLimit(0);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.jumpCode, POOL_JUMP_OUT_OF_MEMORY);
  ASSERT_EQ(r.errors, &outOfMemoryRecord);
  EXPECT_STREQ(r.errors->message, "Out of memory");
  EXPECT_EQ(r.errors->domain, 4);
  EXPECT_EQ(r.errors->line, -1);
  // A later run in the same process starts afresh.
  TranslateResult again = translateCore("begin null; end;", nullptr);
  EXPECT_EQ(again.jumpCode, 0);
}

TEST_F(CurrentPool, BuilderGrowsInTenthChunksAndReusesAfterReset) {
  StringBuilder* b = sbNew(80);
  EXPECT_EQ(sbLength(b), 0);
  EXPECT_EQ(sbLength(nullptr), 0);
  std::string text;
  for (int i = 0; i < 250; ++i) text += char('a' + i % 26);
  sbAppend(b, text.c_str());
  sbAppend(b, "");
  sbAppend(b, nullptr);
  EXPECT_EQ(sbLength(b), 250);
  EXPECT_EQ(b->first->capacity, 80);
  int chunks = 0;
  for (StringChunk* c = b->first->next; c; c = c->next, ++chunks) EXPECT_EQ(c->capacity, 8);
  EXPECT_EQ(chunks, 22);  // 170 bytes in chunks of 8
  std::string out(251, '\0');
  sbCopyOut(out.data(), b);
  EXPECT_EQ(out.c_str(), text);
  EXPECT_EQ(std::string(sbToString(b)), text);

  StringChunk* second = b->first->next;
  sbReset(b);
  EXPECT_EQ(sbLength(b), 0);
  EXPECT_STREQ(sbToString(b), "");
  sbAppend(b, std::string(85, 'x').c_str());
  EXPECT_EQ(b->current, second);  // the kept chunk, not a new one
  EXPECT_EQ(sbLength(b), 85);
  sbFree(b);

  StringBuilder* d = sbNew(0);
  EXPECT_EQ(d->chunkSize, 1024);
  sbFree(d);
}

TEST_F(CurrentPool, BuilderWithTinyChunkSizeTerminates) {
  StringBuilder* b = sbNew(3);
  sbAppend(b, "0123456789abcdefghij");
  EXPECT_EQ(sbLength(b), 20);
  EXPECT_STREQ(sbToString(b), "0123456789abcdefghij");
}

TEST(SplitToken, SkipsDelimitersAndKeepsCursor) {
  char text[] = ",,a,b";
  char* cursor = nullptr;
  EXPECT_STREQ(splitToken(text, ",", &cursor), "a");
  EXPECT_STREQ(splitToken(nullptr, ",", &cursor), "b");
  EXPECT_EQ(splitToken(nullptr, ",", &cursor), nullptr);
  char other[] = "x";
  EXPECT_EQ(splitToken(other, nullptr, &cursor), other);
  char empty[] = ",,,";
  cursor = nullptr;
  EXPECT_EQ(splitToken(empty, ",", &cursor), nullptr);
  EXPECT_EQ(cursor, nullptr);
}

TEST_F(CurrentPool, ErrorRecordsAndDomains) {
  EXPECT_STREQ(errorDomainName(0), "syntax");
  EXPECT_STREQ(errorDomainName(1), "lexical");
  EXPECT_STREQ(errorDomainName(2), "unsupportedFeature");
  EXPECT_STREQ(errorDomainName(3), "internalError");
  EXPECT_STREQ(errorDomainName(4), "unknown error domain");
  EXPECT_STREQ(internalErrorRecordStatic.message, "Internal error");
  EXPECT_EQ(internalErrorRecordStatic.domain, 3);

  ErrorList list;
  astNodeToken* tok = astTokenNew(268, "'x'", 4);
  ErrorRecord* a = tokenErrorRecord("Unsupported", "detail", tok, &list);
  EXPECT_EQ(a->domain, 2);
  EXPECT_EQ(a->line, 5);
  EXPECT_STREQ(a->text, "'x'");
  EXPECT_STREQ(a->context, "detail");
  EXPECT_EQ(a->expected, nullptr);
  astNode* block = astNodeNew(sizeof(astNodeBlock), AST_BLOCK, 9);
  ErrorRecord* b = tokenErrorRecord("Other", nullptr, block, &list);
  EXPECT_EQ(b->text, nullptr);
  EXPECT_EQ(b->context, nullptr);
  ErrorRecord* c = syntaxErrorRecord(12, "ctx", "txt", "exp", &list);
  EXPECT_STREQ(c->message, "syntax error");
  EXPECT_EQ(c->line, 12);
  EXPECT_EQ(list.head, a);
  EXPECT_EQ(list.tail, c);
  EXPECT_EQ(a->next, b);
  EXPECT_EQ(b->next, c);
  EXPECT_EQ(errorListLength(list.head), 3);
  listAppendRecord(nullptr, c);  // ignored
  // A record linked on by hand is stepped over: the next one still lands at
  // the real end.
  ErrorRecord* d = syntaxErrorRecord(13, "d", "d", "d", nullptr);
  c->next = d;
  ErrorRecord* e = syntaxErrorRecord(14, "e", "e", "e", &list);
  EXPECT_EQ(d->next, e);
  EXPECT_EQ(list.tail, e);
  EXPECT_EQ(errorListLength(list.head), 5);
  ErrorList other;
  ErrorRecord* f = syntaxErrorRecord(15, "f", "f", "f", &other);
  syntaxErrorRecord(16, "g", "g", "g", &list);
  EXPECT_EQ(errorListLength(list.head), 6);
  EXPECT_EQ(other.head, f);
  EXPECT_EQ(f->next, nullptr);
  // An emptied list starts again.
  list = ErrorList();
  ErrorRecord* h = syntaxErrorRecord(17, "h", "h", "h", &list);
  EXPECT_EQ(list.head, h);
  EXPECT_EQ(errorListLength(list.head), 1);
}

TEST_F(CurrentPool, ReportsBeforeTheScannerAndParserStart) {
  ErrorList list;
  ParseContext ctx;
  std::memset(&ctx, 0, sizeof ctx);
  ctx.errors = &list;
  ErrorRecord* r = reportErrorAtLine(&ctx, "Missing expression", 3);
  EXPECT_EQ(r->line, 4);
  EXPECT_EQ(r->domain, 0);
  EXPECT_EQ(r->expected, nullptr);
  EXPECT_EQ(list.head, r);
  astNodeError* node = takeLastErrorNode(&ctx);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->kind, AST_ERROR);
  EXPECT_STREQ(node->message, "Missing expression");
  EXPECT_EQ(takeLastErrorNode(&ctx), nullptr);
  ErrorRecord* e = reportErrorExpecting(&ctx, "syntax error", "<END-OF-STATEMENT>");
  EXPECT_STREQ(e->expected, "<END-OF-STATEMENT>");
}

TEST_F(CurrentPool, ExpectedTokenNames) {
  const char* names[] = {"T_END", "';'", "$end", "'('", "error_x"};
  EXPECT_STREQ(formatExpectedTokens(names, 3), "END, ';', <$end>");
  EXPECT_STREQ(formatExpectedTokens(names, 5), "END, ';', <$end>, '(', <error_x>");
  EXPECT_EQ(formatExpectedTokens(names, 0), nullptr);
}

TEST_F(CurrentPool, ErrorNodes) {
  astNodeError* n = errorNodeNew(7, "tok", 3, "msg", "the line");
  EXPECT_EQ(n->kind, 100);
  EXPECT_EQ(n->line, 3);
  EXPECT_EQ(n->code, 7);
  EXPECT_STREQ(n->token, "tok");
  EXPECT_STREQ(n->context, "the line");
  ParseContext ctx;
  std::memset(&ctx, 0, sizeof ctx);
  EXPECT_EQ(takeLastErrorNode(&ctx), nullptr);  // not stored
  astNodeError* m = internalErrorRecord(&ctx, 0, nullptr, 1, "m", nullptr);
  astNodeError* m2 = internalErrorRecord(&ctx, 0, nullptr, 2, "m2", nullptr);
  EXPECT_NE(m, m2);
  EXPECT_EQ(takeLastErrorNode(&ctx), m2);
  EXPECT_EQ(takeLastErrorNode(&ctx), nullptr);
  // Each run's context keeps its own node; no context keeps none.
  ParseContext other;
  std::memset(&other, 0, sizeof other);
  internalErrorRecord(&other, 0, nullptr, 3, "o", nullptr);
  EXPECT_EQ(takeLastErrorNode(&ctx), nullptr);
  EXPECT_NE(internalErrorRecord(nullptr, 0, nullptr, 4, "n", nullptr), nullptr);
  EXPECT_EQ(takeLastErrorNode(nullptr), nullptr);
}

TEST(TranslateOptionsTest, DefaultsAndMaps) {
  TranslateOptions o;
  initTranslateOptions(&o, nullptr);
  EXPECT_STREQ(o.defaultPrecision, "(9,2)");
  EXPECT_STREQ(o.defaultLength, "(4096)");
  EXPECT_STREQ(o.terminator, "");
  EXPECT_FALSE(o.lineMarkers);
  EXPECT_EQ(o.reservedNumber1, -1);
  EXPECT_EQ(o.reservedNumber2, -1);
  EXPECT_EQ(o.datatypeMap, datatypeMap);
  EXPECT_EQ(o.exceptionMap, exceptionMap);

  TranslateOptions caller;
  setCommandLineDefaults(&caller);
  EXPECT_STREQ(caller.terminator, "@");
  EXPECT_TRUE(caller.lineMarkers);
  EXPECT_TRUE(caller.severalUnits);
  static const DatatypeMapEntry foreign[] = {{nullptr, nullptr, nullptr}};
  caller.datatypeMap = foreign;
  caller.maxErrors = 3;
  initTranslateOptions(&o, &caller);
  EXPECT_EQ(o.datatypeMap, datatypeMap);
  EXPECT_EQ(o.maxErrors, 3);
  EXPECT_STREQ(o.terminator, "@");

  int rows = 0;
  while (datatypeMap[rows].plsqlName) ++rows;
  EXPECT_EQ(rows, 21);
  EXPECT_STREQ(datatypeMap[0].plsqlName, "DOUBLE PRECISION");
  EXPECT_STREQ(datatypeMap[9].defaultLength, "(32760)");
  EXPECT_STREQ(datatypeMap[20].targetName, "XML");
  rows = 0;
  while (exceptionMap[rows].plsqlNumber) ++rows;
  EXPECT_EQ(rows, 27);
  EXPECT_STREQ(exceptionMap[7].sqlstate, "2202E");
  EXPECT_STREQ(exceptionMap[10].name, "");
  EXPECT_EQ(exceptionMap[10].sqlcode, -532);
}
