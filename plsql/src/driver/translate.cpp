#include "translate.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_set>

#include "ast.h"
#include "deep_walk.h"
#include "parse_context.h"
#include "rewrite.h"
#include "run_pool.h"
#include "sqlexc_ast_dump.h"
#include "sqlexc_ast_emit.h"
#include "standard_descriptors.h"
#include "token_reader.h"

int parseSourceResult(ParseContext* context) {
  initScanner(context);
  int result = xxparse(context);
  teardownScanner(context);
  return result;
}

bool parseSource(ParseContext* context) { return parseSourceResult(context) == 0; }

namespace {

// What one translation holds while it runs. Its pool outlives it: the
// result takes the pool over, with everything the result points to.
struct TranslationRun {
  // The pool throws back to translateCore; the target is bound to the pool
  // for the length of the run only.
  PoolJumpTarget recoveryPoint = {1};
  OwnedPool pool;
  ErrorList errors;
  ParseContext context = {};
};

// Semantic checks, rewriting and emission of an accepted tree. The tree and
// the error list stay in the run pool. Both walks recurse once per nesting
// level, so they run on the stack of deep walks; false when the tree nests
// too deeply even for that.
bool rewriteAndEmit(astNode* root, TranslateOptions* options, ErrorList* errors, StatementRecord** statements) {
  struct Walk {
    astNode* root;
    TranslateOptions* options;
    ErrorList* errors;
    StatementRecord** statements;
  } walk{root, options, errors, statements};
  bool tooDeep = deep_walk(
      [](void* p) {
        auto* walk = static_cast<Walk*>(p);
        TranslateOptions* o = walk->options;
        transformProgram(walk->root, o, walk->errors);
        *walk->statements = emitProgram(walk->root, o->emitterWord, o->terminator, o->lineMarkers, walk->errors);
      },
      &walk);
  return !tooDeep;
}

// The pieces of units the parser could not read stay out of the
// translation: on their own they would run as units of their own.
astNode* withoutBrokenUnitPieces(astNode* root, const astNodeList* pieces) {
  if (!pieces || !root || root->kind != AST_LIST) return root;
  std::unordered_set<const astNode*> dropped;
  for (astListCell* c = listCells(pieces); c; c = c->next) dropped.insert(c->value);
  astNodeList* kept = nullptr;
  for (astListCell* c = listCells(nodeAs<astNodeList>(root)); c; c = c->next)
    if (!dropped.count(c->value)) kept = listAppend(kept, c->value);
  return kept;
}

// The end of a run cut short, by the pool's jump code: never a success.
void cutShort(TranslateResult* result, ParseContext* context, int code) {
  if (context->scanner) teardownScanner(context);
  result->jumpCode = code;
  result->errors = code == POOL_JUMP_INTERNAL_ERROR ? &internalErrorRecordStatic : &outOfMemoryRecord;
  result->status = 2;
  result->parseFailed = false;
  result->tooManyErrors = false;
}

}  // namespace

TranslateResult translateCore(const char* source, const TranslateOptions* options) {
  TranslateResult result;
  TranslationRun run;
  ParseContext& context = run.context;
  Pool* callersPool = poolCurrent();
  try {
    run.pool.reset(poolCreateCurrent(&run.recoveryPoint));
    TranslateOptions* copy = static_cast<TranslateOptions*>(poolAlloc(sizeof(TranslateOptions)));
    initTranslateOptions(copy, options);
    context.options = copy;
    context.source = source ? source : "";
    context.errors = &run.errors;
    context.parserState = nullptr;
    context.maxErrors = copy->maxErrors < 0 ? 0 : copy->maxErrors;
    context.tooManyErrors = 0;

    int parsed = parseSourceResult(&context);
    if (parsed == PARSER_STACK_EXHAUSTED) {
      // A valid source nested deeper than the parser's stack: the same
      // answer as a source too deep for the rewriting.
      run.errors = ErrorList{&nestedTooDeeplyRecord, &nestedTooDeeplyRecord};
      result.status = 2;
    } else if (parsed == 0) {
      result.root = context.root;
      if (context.root) {
        if (copy->astFile) {
          DumpFailure failure;
          if (!sqlexcAstDumpFile(copy->astFile, copy->encoding, context.root, &result.partialDump, &failure)) {
            // Never a silent success: the dump the user asked for is missing.
            result.unwritableDump = options->astFile;
            result.dumpError = failure.error;
            result.dumpWriteFailed = failure.writing;
            result.status = -1;
          }
        }
        else if (!rewriteAndEmit(withoutBrokenUnitPieces(context.root, context.brokenUnitPieces), copy,
                                 &run.errors, &result.statements)) {
          // Cut short: what the rewriting found so far is no result. The
          // static record stands for the whole list; nothing is added after
          // it.
          run.errors = ErrorList{&nestedTooDeeplyRecord, &nestedTooDeeplyRecord};
          result.status = 2;
        }
      }
    } else {
      result.parseFailed = true;
      if (run.errors.head && run.errors.head->next)
        result.failLine = run.errors.head->next->line;
      else
        result.unableToParse = true;
      result.status = 5;
    }
    // A source the parser had to skip over is never a clean run, even when
    // the rest of it was translated.
    if (result.status == 0 && holdsSyntaxError(run.errors.head)) result.status = 5;
    if (context.tooManyErrors) {
      result.tooManyErrors = true;
      result.status = 1;
    }
    result.errors = run.errors.head;
  } catch (const PoolJump& jump) {
    cutShort(&result, &context, jump.code);
  } catch (const std::bad_alloc&) {
    // The heap refused a container of the run's own (a vector, a string):
    // the same end as the pool's refusal.
    cutShort(&result, &context, POOL_JUMP_OUT_OF_MEMORY);
  }
  poolSetJumpTarget(run.pool.get(), nullptr);
  poolSetCurrent(callersPool);
  result.pool = std::move(run.pool);
  return result;
}

void printTranslateMessages(const TranslateResult& result) {
  if (result.jumpCode) {
    flush_standard_output();
    std::fputs(result.jumpCode == POOL_JUMP_INTERNAL_ERROR ? "VESTRAKE: INTERNAL ERROR\n" : "VESTRAKE: OUT OF MEMORY\n",
               stderr);
    if (!result.partialDump.empty())
      std::fprintf(stderr, "VESTRAKE: Partial AST dump kept in %s\n", result.partialDump.c_str());
    return;
  }
  if (result.unwritableDump) {
    std::printf(result.dumpWriteFailed ? "ERROR: Can't write file: %s: %s\n" : "ERROR: Can't open write file: %s: %s\n",
                result.unwritableDump, std::strerror(result.dumpError));
    return;
  }
  if (result.parseFailed) {
    if (!result.unableToParse)
      std::printf("VESTRAKE: Syntax error at line %i\n", result.failLine);
    else
      std::printf("VESTRAKE: UNABLE TO PARSE\n");
  }
  if (result.tooManyErrors) std::printf("VESTRAKE: TOO MANY ERRORS\n");
}

void translateSource(const char* source, StatementRecord** statements, ErrorRecord** errors,
                     const TranslateOptions* options, const char* sourceName) {
  if (statements) *statements = nullptr;
  if (errors) *errors = nullptr;
  TranslateResult result = translateCore(source, options);
  if (statements) *statements = result.statements;
  if (errors) *errors = result.errors;
  printTranslateMessages(result);
  // What the run found, for the user to see: the records of a run cut
  // short were replaced by the one line above.
  flush_standard_output();
  if (!result.jumpCode) printErrorRecords(stderr, sourceName, result.errors);
  // Output lost on its way (a full disk, a file-size limit, a reader gone)
  // fails the run whatever the source held: the status must not pass for a
  // plain syntax-error run whose messages the user has seen. The reason
  // goes with this line, as the lost lines cannot tell it.
  if (int lost = flush_standard_output()) {
    std::fprintf(stderr, "ERROR: Can't write standard output: %s\n", std::strerror(lost));
    result.status = -1;
  }
  std::exit(result.status);
}
