// Helpers of the parser's rule actions.
#include "parser_actions.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "plsql_parser.hpp"
#include "run_pool.h"

int parserFirstToken(int lookahead)
{
  if (lookahead == XXEMPTY || lookahead <= 0)
    return T_no_lookahead;
  return lookahead;
}

astNodeList* parserCollect(ParseContext* context, TokenValue* value, int lookahead, const char* message, int stop1,
                           int stop2, int stop3, int stop4, int stop5)
{
  astNodeList* list = read_token_run(context, value, READ_PUSH_BACK, parserFirstToken(lookahead), nullptr, stop1,
                                     stop2, stop3, stop4, stop5);
  if (!list && message)
    reportError(context, message);
  return list;
}

astNodeList* parserDatatype(ParseContext* context, TokenValue* value, astNodeList* typeName, bool checkPercent)
{
  astNodeList* list = read_datatype(context, value, typeName);
  if (!list) {
    reportError(context, "Missing data type");
    return nullptr;
  }
  if (checkPercent) {
    int percent = 0;
    for (astListCell* cell = listCells(list); cell; cell = cell->next) {
      astNode* node = cell->value;
      if (node && node->kind == AST_TOKEN) {
        int code = nodeAs<astNodeToken>(node)->tokenCode;
        if (code == T_PERCENT_TYPE || code == T_PERCENT_ROWTYPE)
          ++percent;
      }
    }
    if (percent > 1)
      reportError(context, "Syntax error - too many %TYPE or %ROWTYPE references");
  }
  return list;
}

int parserInteger(ParseContext* context, const char* text)
{
  if (!text)
    return 0;
  errno = 0;
  char* end = nullptr;
  long long converted = std::strtoll(text, &end, 10);
  bool overflow = errno == ERANGE || converted > INT_MAX || converted < INT_MIN;
  if (overflow) {
    reportError(context, "Integer overflow");
    if (converted > INT_MAX)
      converted = INT_MAX;
    if (converted < INT_MIN)
      converted = INT_MIN;
  }
  return static_cast<int>(converted);
}

void noteBrokenUnit(ParseContext* context)
{
  if (context->inBrokenUnit == NO_BROKEN_UNIT)
    context->inBrokenUnit = BROKEN_UNIT;
}

void noteBrokenUnitPiece(ParseContext* context, astNode* unit)
{
  if (!unit)
    return;
  if (context->inBrokenUnit == BROKEN_CREATE_UNIT &&
      (unit->kind == AST_BLOCK || unit->kind == AST_SQL_STMT || unit->kind == AST_SELECT))
    context->brokenUnitPieces = listAppend(context->brokenUnitPieces, unit);
  else
    context->inBrokenUnit = NO_BROKEN_UNIT;
}

char* parserNegate(const char* digits)
{
  const char* text = digits ? digits : "";
  size_t length = std::strlen(text);
  char* result = static_cast<char*>(poolAlloc(length + 2));
  result[0] = '-';
  std::memcpy(result + 1, text, length + 1);
  return result;
}

astNodeList* parserKeywordName(const char* text, int line)
{
  return listNew(astTokenNew(T_STRING, text ? text : "", line));
}

astNodeDdl* parserDdl(int kind, int line, astNodeList* name, astNodeList* body)
{
  astNodeDdl* node = astMake<astNodeDdl>(kind, line);
  node->name = name;
  node->body = body;
  return node;
}

void parserSetLabel(astNode* node, char* label)
{
  if (node && isStatement(node))
    nodeAs<astNodeStatement>(node)->label = label;
}

int parserForLoopType(const astNodeList* range)
{
  for (astListCell* cell = listCells(range); cell; cell = cell->next) {
    astNode* node = cell->value;
    if (node && node->kind == AST_TOKEN && nodeAs<astNodeToken>(node)->tokenCode == T_DOTDOT)
      return FOR_NUMERIC;
  }
  astNode* first = listFirst(range);
  if (first && first->kind == AST_TOKEN && nodeAs<astNodeToken>(first)->tokenCode == '(')
    return FOR_SELECT;
  return FOR_CURSOR;
}

astNodeToken* parserFirstTokenNode(astNodeList* list)
{
  astNode* first = listFirst(list);
  if (first && first->kind == AST_TOKEN)
    return nodeAs<astNodeToken>(first);
  return nullptr;
}

astNodeElseIf* parserElseIfsInOrder(astNodeElseIf* last)
{
  astNodeElseIf* first = nullptr;
  while (last) {
    astNodeElseIf* before = last->elseIf;
    last->elseIf = first;
    first = last;
    last = before;
  }
  return first;
}

char* tokenListText(astNodeList* list)
{
  if (!list)
    return nullptr;
  size_t length = 0;
  for (astListCell* cell = listCells(list); cell; cell = cell->next) {
    astNode* node = cell->value;
    if (node && node->kind == AST_TOKEN && nodeAs<astNodeToken>(node)->text)
      length += std::strlen(nodeAs<astNodeToken>(node)->text);
    length += 1;
  }
  char* text = static_cast<char*>(poolAlloc(length + 1));
  char* out = text;
  bool first = true;
  for (astListCell* cell = listCells(list); cell; cell = cell->next) {
    if (!first)
      *out++ = '.';
    first = false;
    astNode* node = cell->value;
    if (node && node->kind == AST_TOKEN && nodeAs<astNodeToken>(node)->text) {
      size_t n = std::strlen(nodeAs<astNodeToken>(node)->text);
      std::memcpy(out, nodeAs<astNodeToken>(node)->text, n);
      out += n;
    }
  }
  *out = '\0';
  return text;
}

astNode* javaSource(intptr_t line, astNodeList* name, intptr_t resolveOrCompile, intptr_t noForce)
{
  astNodeJavaSource* node = astMake<astNodeJavaSource>(static_cast<int>(line));
  node->name = parserFirstTokenNode(name);
  node->resolveOrCompile = resolveOrCompile != 0;
  node->noForce = noForce != 0;
  return node;
}

astNode* ddlType(int line, intptr_t replace, astNodeList* name, astNodeList* body, bool under)
{
  astNodeDdlType* node = astMake<astNodeDdlType>(line);
  node->REPLACE = replace != 0;
  node->name = name;
  node->body = body;
  node->UNDER = under;
  return node;
}

astNode* ddlTablespace(int line, astNodeList* body, bool temp)
{
  astNodeDdlTablespace* node = astMake<astNodeDdlTablespace>(line);
  node->body = body;
  node->temp = temp;
  return node;
}

astNode* ddlLink(int kind, int line, astNodeList* body, bool pub, bool shared)
{
  astNodeDdlLink* node = astMake<astNodeDdlLink>(kind, line);
  node->body = body;
  node->pub = pub;
  node->shared = shared;
  return node;
}

astNode* ddlSynonym(int kind, int line, astNodeList* name, astNodeList* body, bool pub)
{
  astNodeDdlSynonym* node = astMake<astNodeDdlSynonym>(kind, line);
  node->name = name;
  node->body = body;
  node->pub = pub;
  return node;
}

astNode* ddlTable(int line, astNodeList* name, bool gtt, bool xmltype, astNodeList* cols, astNodeList* body)
{
  astNodeDdlTable* node = astMake<astNodeDdlTable>(line);
  node->name = name;
  node->gtt = gtt;
  node->xmltype = xmltype;
  node->cols = cols;
  node->body = body;
  return node;
}

astNode* ddlView(int line, astNodeList* name, intptr_t force, intptr_t mview, bool objview, astNodeList* columns,
                 astNodeList* body)
{
  astNodeDdlView* node = astMake<astNodeDdlView>(line);
  node->name = name;
  node->xmltype = false;
  node->force = force != 0;
  node->mview = mview != 0;
  node->objview = objview;
  node->columns = columns;
  node->body = body;
  return node;
}

astNode* newBlock(int line, astNodeList* declarations, astNodeList* body, astNodeList* exceptions)
{
  astNodeBlock* node = astMake<astNodeBlock>(line);
  node->declarations = declarations;
  node->body = body;
  node->exceptions = exceptions;
  node->anonymous = false;
  return node;
}

astNode* newConstraint(int line, astNodeList* name, int consType, astNodeList* cols, astNodeList* body)
{
  astNodeConstraint* node = astMake<astNodeConstraint>(line);
  node->name = name;
  node->consType = consType;
  node->cols = cols;
  node->body = body;
  return node;
}

astNode* newAssign(int line, astNodeList* target, astNodeList* expr)
{
  astNodeAssign* node = astMake<astNodeAssign>(line);
  node->target = target;
  node->expr = expr;
  return node;
}

astNode* newOpen(int line, astNodeList* variable, void* query, astNodeList* usingClause, astNodeList* args)
{
  astNodeOpen* node = astMake<astNodeOpen>(line);
  node->variable = variable;
  node->query = static_cast<astNode*>(query);
  node->usingClause = usingClause;
  node->args = args;
  return node;
}

astNode* newSelect(int line, astNodeList* withClause, bool bulkCollect, astNodeList* target, astNodeList* intoClause,
                   astNodeList* fromClause)
{
  astNodeSelect* node = astMake<astNodeSelect>(line);
  node->withClause = withClause;
  node->bulkCollect = bulkCollect;
  node->target = target;
  node->intoClause = intoClause;
  node->fromClause = fromClause;
  return node;
}

astNode* newSql(int line, const char* keyword, int keywordCode, astNodeList* body)
{
  astNodeSqlStmt* node = astMake<astNodeSqlStmt>(line);
  node->keyword = poolStrdup(keyword);
  node->keywordCode = keywordCode;
  node->body = body;
  return node;
}

astNode* newCall(int line, astNodeList* name, astNodeList* args)
{
  astNodeCall* node = astMake<astNodeCall>(line);
  node->name = name;
  node->args = args;
  return node;
}

astNode* newTriggerVariable(int line, int var, astNodeList* alias)
{
  astNodeTriggerArg* node = astMake<astNodeTriggerArg>(line);
  node->var = var;
  node->alias = alias;
  return node;
}

astNode* callOrAssign(ParseContext* context, int line, astNodeList* name, astNodeList* args, astNodeList* field,
                      astNodeList* expr)
{
  if (!expr)
    return newCall(line, name, args);
  astNodeAssign* node = astMake<astNodeAssign>(line);
  node->target = name;
  node->targetIndex = args;
  node->targetField = field;
  node->expr = expr;
  pushBackToken(context, ';');
  return node;
}
