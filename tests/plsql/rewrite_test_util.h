// Parse a PL/SQL text in process and run the rewriting pass over its tree.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "parser_test_util.h"
#include "plsql_parser.hpp"
#include "rewrite.h"

struct RewriteRun {
  ParsedSource* parsed = nullptr;
  std::vector<ErrorRecord*> records;  // records the pass appended

  astNode* unit(int index) const { return parsed->unit(index); }
  template <class T>
  T* unitAs(int index, int kind) const
  {
    astNode* node = unit(index);
    EXPECT_NE(node, nullptr);
    if (!node)
      return nullptr;
    EXPECT_EQ(node->kind, kind);
    return node->kind == kind ? nodeAs<T>(node) : nullptr;
  }
};

inline RewriteRun rewriteText(const char* source, bool withExceptionMap = true)
{
  RewriteRun run;
  run.parsed = parseText(source);
  EXPECT_TRUE(run.parsed->accepted) << source;
  int before = 0;
  for (ErrorRecord* e = run.parsed->errors.head; e; e = e->next) {
    ADD_FAILURE() << "parse error record: " << (e->message ? e->message : "<null>") << " at line " << e->line;
    ++before;
  }
  if (!withExceptionMap)
    run.parsed->options.exceptionMap = nullptr;
  transformProgram(run.parsed->context.root, &run.parsed->options, &run.parsed->errors);
  int index = 0;
  for (ErrorRecord* e = run.parsed->errors.head; e; e = e->next, ++index)
    if (index >= before)
      run.records.push_back(e);
  return run;
}

inline std::string text(const char* value)
{
  return value ? value : "<null>";
}

inline std::string tokenText(const astNode* node)
{
  if (!node || node->kind != AST_TOKEN)
    return "<not a token>";
  return text(nodeAs<const astNodeToken>(node)->text);
}

// Names of the scalar declarations of a list, in order, with their datatypes:
// "name:type=default" (no "=..." without a default).
inline std::string declarations(const astNodeList* list)
{
  std::string out;
  for (astListCell* c = listCells(list); c; c = c->next) {
    if (!out.empty())
      out += "; ";
    astNode* node = c->value;
    if (!node) {
      out += "<null>";
      continue;
    }
    if (node->kind != AST_VAR_DECL) {
      out += "[" + std::to_string(node->kind) + "]";
      if (isTranslatedDeclaration(node))
        out += tokens(nodeAs<astNodeDecl>(node)->variableName);
      continue;
    }
    auto* decl = nodeAs<astNodeVarDecl>(node);
    out += tokens(decl->variableName) + ":" + tokens(decl->dataType);
    if (decl->defaultValue)
      out += "=" + tokens(decl->defaultValue);
  }
  return out;
}

// message|domain|line|text|context|expected of one record.
inline std::string record(const ErrorRecord* e)
{
  return text(e->message) + "|" + std::to_string(e->domain) + "|" + std::to_string(e->line) + "|" + text(e->text) +
         "|" + text(e->context) + "|" + text(e->expected);
}

inline std::string records(const RewriteRun& run)
{
  std::string out;
  for (ErrorRecord* e : run.records) {
    if (!out.empty())
      out += "\n";
    out += record(e);
  }
  return out;
}

// First node of a kind found by a pre-order walk under `root` (the rewritten
// tree is walked, expansions included).
inline astNode* findKind(astNode* root, int kind)
{
  struct Search {
    int kind;
    astNode* found;
  } search{kind, nullptr};
  astWalk(root, [](astNode* node, void* data) {
    auto* s = static_cast<Search*>(data);
    if (!s->found && node->kind == s->kind)
      s->found = node;
  }, &search);
  return search.found;
}
