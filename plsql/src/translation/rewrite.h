// Semantic checks and rewriting of a parsed PL/SQL tree into shapes the
// target dialect has. The pass changes the tree in place (all new nodes come
// from the run pool) and appends every finding to the run's error list; it
// never stops early. It visits each node once, so a node is rewritten and
// reported once: a node the rewriting makes of another's parts takes them
// over where the other no longer writes them (rewritten there, or left for
// the new place to rewrite), and tokens of its own where both write them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "ast.h"
#include "name_keys.h"
#include "error_records.h"
#include "node_errors.h"
#include "translate_options.h"

class RoutineEffects;
namespace rewrite {
struct DatatypeIndex;
}

// What one rewriting run knows of the whole run, gathered by the pass of
// run declarations before the rewriting walk: the options' maps, the run's
// functions, packages, object types and the routines whose values are
// rounded. Read by every later pass.
struct RunFacts {
  astNode* root = nullptr;
  ErrorList* errors = nullptr;
  const ExceptionMapEntry* exceptionMap = nullptr;
  const DatatypeMapEntry* datatypeMap = nullptr;
  // Functions declared in the run (folded names), by package ("" for the
  // standalone ones): those without parameters and those with some; the
  // run's packages and object types.
  std::unordered_map<std::string, std::unordered_set<std::string>> parameterlessFunctions;
  // Every name of parameterlessFunctions, whatever its package: most words
  // of a run name none of them, and are told so by one lookup.
  FoldedIndex parameterlessNames;
  std::unordered_map<std::string, std::unordered_set<std::string>> functionsWithParameters;
  // Every name of functionsWithParameters, whatever its package.
  FoldedIndex namesWithParameters;
  std::unordered_set<std::string> runPackages;
  // The packages whose head the run holds, and the variables the run's
  // packages declare ("package.variable", folded).
  std::unordered_set<std::string> packageHeads;
  FoldedIndex packageVariables;
  // The functions the run writes with a body, top-level ones and those of
  // package bodies, in source order, each with the last part of its name
  // (folded; empty for none), read while their heads are at hand.
  struct RunFunction {
    astNodeCreateFunc* node;
    std::string name;
  };
  std::vector<RunFunction> runFunctions;
  FoldedIndex objectTypes;
  // The run's functions of a result of fixed scale and its routines with
  // an IN parameter of fixed scale, by name, each with its package (as
  // written, empty for a standalone one).
  struct Named {
    std::string_view package;
    const astNode* node;
  };
  FoldedIndex runRoutineNames;
  std::vector<std::vector<Named>> runRoutines;  // by the index of the name
  // The names of the routines with an IN parameter of fixed scale, whose
  // calls' arguments are rounded, and their signatures (nameSignature).
  FoldedIndex roundingRoutines;
  std::array<uint64_t, 16> roundingSignatures{};
};

// Where the rewriting walk is and what it has met so far: the names it
// made, the declarations it noted, in the order of the tree.
struct WalkState {
  int nameCounter = 1;                  // made-up statement names and loop labels
  astNodeList* aliasPragmas = nullptr;  // PRAGMA ALIAS nodes met so far, in tree order
  // Whether the node being rewritten lies in the statements or handlers of
  // a block whose walk for the uses of SQL% attributes and SQL error values
  // went over it: that walk gave every block below it its uses, so only the
  // blocks outside every such walk, and those the rewriting makes, walk
  // their own.
  bool usesWalked = false;
  // The cell of the statement list element being transformed, so that
  // statements can be added after it without searching the list. A step
  // that moves its statement to a later cell and rewrites what it put
  // before it points this at the statement's new cell: the list walk goes
  // on after it and meets no node twice.
  astListCell* currentCell = nullptr;
  // Names (folded to lower case) of the collection types declared so far
  // and of the variables and parameters declared with one of them.
  FoldedIndex collectionTypes;
  FoldedIndex collectionVariables;
  // The names of the variables, parameters and fields declared so far with
  // a type of fixed scale, and with a type that keeps digits after the
  // point: most names are neither, and are told so by one lookup.
  FoldedIndex fixedScaleNames;
  FoldedIndex fractionNames;
  // The names of the variables and parameters declared with a TIMESTAMP
  // type, which most words are told apart by.
  FoldedIndex timestampNames;
  // The names of the variables and parameters declared DATE, whose
  // differences are days with a fraction.
  FoldedIndex dateNames;
  // Variables (unit and folded name) that a handler sets to SQLCODE, and
  // their names alone, which most words are told apart by.
  std::unordered_set<std::string> sqlcodeVariables;
  FoldedIndex sqlcodeNames;
};

// Answers the rewriting gathers at their first question and keeps for the
// next ones.
struct RewriteCaches {
  std::shared_ptr<const rewrite::DatatypeIndex> datatypeIndex;  // of datatypeMap, made at its first use
  // REF CURSOR declarations of each declaration list searched so far, with
  // the shape of the list they were gathered from.
  struct RefCursorScan {
    int count = 0;
    astListCell* head = nullptr;
    astListCell* tail = nullptr;
    std::vector<astNode*> declarations;
  };
  std::unordered_map<const astNodeList*, RefCursorScan> refCursorScans;
  // The variables and record types of the run's package heads, which the
  // package's body sees, by name (RunFacts::Named).
  bool headsGathered = false;
  FoldedIndex headNames;
  std::vector<std::vector<RunFacts::Named>> headDeclarations;  // by the index of the name
  // The routines the run's package heads publish ("package\nroutine",
  // folded).
  std::unordered_set<std::string> publishedRoutines;
  bool publishedGathered = false;
};

// State of one rewriting run: its facts, the walk's state, the caches, and
// what the routines do, collected unit by unit as the rewriting walk leaves
// each top-level unit (routine_effects.h), settled by its pass.
struct TransformState : RunFacts, WalkState, RewriteCaches {
  std::shared_ptr<RoutineEffects> effects;
};

// Entry point: rewrites the whole tree under `root`.
void transformProgram(astNode* root, const TranslateOptions* options, ErrorList* errors);

// The recursive step; sets node->parent and rewrites the node by kind.
void transformNode(astNode* node, astNode* parent, TransformState* state);

// Declares a scalar variable in `block` unless one of that name (ignoring
// case) is already declared there.
// The declaration takes `line`, the line of the construct it is made for.
void ensureDeclared(astNodeBlock* block, const char* name, const char* dataType, astNodeList* defaultValue,
                    int line = -1);

// Datatype to use in place of `list` (possibly `list` itself). `owner` is the
// node that holds the list; the REF CURSOR lookup starts above it.
astNodeList* mapDataType(astNodeList* list, astNode* owner, TransformState* state);

// Splits a dotted name into its parts: a double quote toggles quoting and is
// dropped, a backslash takes the next character literally.
astNodeList* splitQualifiedName(const char* text);

// SQLSTATE of a predefined exception name ("STANDARD." prefix allowed), or
// null; SQLSTATE for a PL/SQL error number (never null).
char* sqlstateForName(const char* name, const TransformState* state);
char* sqlstateForNumber(int number, const TransformState* state);
// Whether a PL/SQL error number has a SQLSTATE of its own in the target: a
// row of the exception map or a number of RAISE_APPLICATION_ERROR.
bool isMappedNumber(int number, const TransformState* state);
