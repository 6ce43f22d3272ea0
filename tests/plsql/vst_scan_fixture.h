// Scans a source through the token reader and records each token.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ast.h"
#include "error_records.h"
#include "parse_context.h"
#include "parse_errors.h"
#include "run_pool.h"
#include "token_reader.h"
#include "plsql_parser.hpp"

struct ScannedToken {
  int code;
  std::string text;  // value text, or node texts joined with "|"
  int line;          // value line (-99 when not set by the token)
  int nodeLine;      // first node's line, -99 when no node
  bool qualified;
  float number;
};

struct ScanFixture : ::testing::Test {
  PoolJumpTarget target{1};
  ErrorList errors;
  ParseContext ctx{};
  TokenValue value{};

  void SetUp() override {
    poolCreateCurrent(&target);
  }
  void TearDown() override {
    if (ctx.scanner) teardownScanner(&ctx);
    poolDestroyCurrent();
  }

  void start(const char* source) {
    if (ctx.scanner) teardownScanner(&ctx);
    errors = ErrorList();
    std::memset(&ctx, 0, sizeof ctx);
    ctx.errors = &errors;
    ctx.source = poolStrdup(source);
    initScanner(&ctx);
  }

  static std::string listText(astNodeList* list) {
    std::string s;
    for (astListCell* c = listCells(list); c; c = c->next) {
      if (!s.empty()) s += '|';
      s += nodeAs<astNodeToken>(c->value)->text;
    }
    return s;
  }

  ScannedToken next() {
    std::memset(&value, 0, sizeof value);
    value.line = -99;
    ScannedToken t{};
    t.code = nextToken(&value, &ctx);
    t.line = value.line;
    t.nodeLine = -99;
    switch (t.code) {
      case T_WORD: case T_DTYPE: case T_TRIG_VAR: case T_SQL_FOUND: case T_SQL_NOTFOUND: case T_SQL_ROWCOUNT:
        t.text = listText(value.value.list);
        if (value.value.list) {
          auto* first = nodeAs<astNodeToken>(listFirst(value.value.list));
          t.nodeLine = first->line;
          t.qualified = first->qualified;
        }
        break;
      case T_UNKNOWN: case T_PERCENT_TYPE: case T_PERCENT_ROWTYPE:
        t.text = value.value.tokenNode->text;
        t.nodeLine = value.value.tokenNode->line;
        EXPECT_EQ(value.value.tokenNode->tokenCode, t.code);
        break;
      case T_NUMERICNO:
        t.number = value.value.number;
        break;
      default:
        if (t.code >= 256 && value.value.text) t.text = value.value.text;
        break;
    }
    return t;
  }

  std::vector<ScannedToken> all(const char* source) {
    start(source);
    std::vector<ScannedToken> out;
    for (int guard = 0; guard < 1000; ++guard) {
      ScannedToken t = next();
      out.push_back(t);
      if (t.code == 0) break;
    }
    return out;
  }

  std::vector<int> codes(const char* source) {
    std::vector<int> out;
    for (const auto& t : all(source)) out.push_back(t.code);
    return out;
  }
};
