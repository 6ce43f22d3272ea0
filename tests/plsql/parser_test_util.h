// In-process parsing for the parser tests: one run pool per process, a parse
// context over a source, and compact text forms of tree parts to compare.
#pragma once

#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ast.h"
#include "error_records.h"
#include "parse_context.h"
#include "run_pool.h"
#include "token_reader.h"
#include "translate.h"
#include "translate_options.h"

struct ParsedSource {
  ParseContext context;
  TranslateOptions options;
  ErrorList errors;
  bool accepted = false;

  astNodeList* units() const { return nodeAs<astNodeList>(context.root); }
  astNode* unit(int index) const
  {
    int i = 0;
    for (astListCell* cell = listCells(units()); cell; cell = cell->next, ++i)
      if (i == index)
        return cell->value;
    return nullptr;
  }
  std::vector<ErrorRecord*> errorList() const
  {
    std::vector<ErrorRecord*> list;
    for (ErrorRecord* e = errors.head; e; e = e->next)
      list.push_back(e);
    return list;
  }
};

inline void ensureTestPool()
{
  if (!poolCurrent())
    poolCreateCurrent(nullptr);
}

// Parses `source`; the result lives until the process ends (the pool is
// never released in tests).
inline ParsedSource* parseText(const char* source, int maxErrors = 0, bool severalUnits = true)
{
  ensureTestPool();
  // Kept where the process can still reach them, so that a leak checker
  // does not take them for lost.
  static std::mutex keptLock;
  static std::deque<std::unique_ptr<ParsedSource>> kept;
  ParsedSource* parsed = nullptr;
  {
    std::lock_guard<std::mutex> guard(keptLock);
    parsed = kept.emplace_back(std::make_unique<ParsedSource>()).get();
  }
  initTranslateOptions(&parsed->options, nullptr);
  parsed->options.severalUnits = severalUnits;
  parsed->options.maxErrors = maxErrors;
  std::memset(&parsed->context, 0, sizeof parsed->context);
  parsed->context.options = &parsed->options;
  parsed->context.source = poolStrdup(source);
  parsed->context.errors = &parsed->errors;
  parsed->context.maxErrors = maxErrors;
  parsed->accepted = parseSource(&parsed->context);
  return parsed;
}

// Token texts of a token list joined with single blanks; "<null>" for null;
// an element that is not a token shows as [kind].
inline std::string tokens(const astNodeList* list)
{
  if (!list)
    return "<null>";
  std::string text;
  for (astListCell* cell = listCells(list); cell; cell = cell->next) {
    if (!text.empty())
      text += ' ';
    astNode* node = cell->value;
    if (node && node->kind == AST_TOKEN)
      text += nodeAs<astNodeToken>(node)->text ? nodeAs<astNodeToken>(node)->text : "<nulltext>";
    else
      text += "[" + std::to_string(node ? node->kind : -1) + "]";
  }
  return text;
}

// Kinds of the elements of a list, blank-separated.
inline std::string kinds(const astNodeList* list)
{
  std::string text;
  for (astListCell* cell = listCells(list); cell; cell = cell->next) {
    if (!text.empty())
      text += ' ';
    text += std::to_string(cell->value ? cell->value->kind : -1);
  }
  return text;
}

template <class T>
inline T* nth(const astNodeList* list, int index)
{
  int i = 0;
  for (astListCell* cell = listCells(list); cell; cell = cell->next, ++i)
    if (i == index)
      return nodeAs<T>(cell->value);
  return nullptr;
}
