// What the run's routines do that the target must be told: the functions
// that change data (data_access.cpp) and the cursors a COMMIT may meet open
// (cursor_holds.cpp). Both read the whole rewritten tree; they share one
// walk (shared_walk.h), each with a collector of its own, over each unit as
// soon as the rewriting has left it (its nodes are still at hand then), and
// settle what they found once every unit is done, in that order. The LOBs
// of rows written through a locator are told from statements the rewriting
// meets (lob_row_writes.cpp), and the calls in SQL of functions that may
// end with NO_DATA_FOUND follow from what data access found
// (no_data_found_calls.cpp); both are settled after them.
#pragma once

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "name_keys.h"
#include "rewrite_internal.h"

// The routine a node stands in, else the outermost block or package around
// it: the scope whose statements one collector's facts belong to, each
// top-level unit its own.
inline const astNode* routineOrOutermostUnit(const astNode* from) {
  const astNode* found = nullptr;
  for (const astNode* n = from; n; n = n->parent) {
    if (isRoutine(n)) return n;
    if (isEnclosingUnit(n)) found = n;
  }
  return found;
}

// Functions that change data get MODIFIES SQL DATA, and so do their
// published heads; their calls other than as the whole value of an
// assignment are recorded.
class DataAccess {
 public:
  // A token that calls a function of the run (a word before "(", or one
  // written with "()"), with the index of the function's name.
  struct Call {
    astNodeToken* token;
    int name;
  };
  explicit DataAccess(const TransformState* state);
  void enter(astNode* node);
  void leave(astNode* node);
  void token(astNodeToken* token, astNode* next);
  void settle(TransformState* state);
  // The calls of the run's functions, in walk order.
  const std::vector<Call>& calls() const { return calls_; }

 private:
  struct Function {
    astNodeCreateFunc* node;
    int name;  // index of its name
    bool modifies = false;
    std::vector<int> uses;  // names of the run's functions its body uses
  };
  void note(astNodeToken* token, astNode* next, bool mayCall);
  astNode* root_;
  std::vector<Function> functions_;
  FoldedIndex names_;
  std::unordered_map<const astNode*, int> functionOf_;
  const astNode* pendingBody_ = nullptr;  // the body of the function entered
  int pending_ = -1;
  const astNode* currentBody_ = nullptr;  // the body the walk is in
  int current_ = -1;
  std::vector<Call> calls_;
};

// Cursors a COMMIT may meet open are WITH HOLD; a ROLLBACK inside a loop
// over an open cursor is recorded.
class CursorHolds {
 public:
  void enter(astNode* node);
  void leave(astNode* node);
  void token(astNodeToken* token, astNode* next);
  void settle(TransformState* state);

 private:
  struct Routine {
    const astNode* node;
    int outer = -1;  // the routine whose body holds this one
  };
  struct Frame {
    const astNode* routine;
    const astNode* body;
    int index;
    bool inBody;
  };
  struct Scope {
    const astNode* node;
    int firstEvent;
    bool wanted;  // a cursor asks about it
  };
  struct Loop {
    int outer;     // the loop around it that FETCHes if it does
    bool fetches;
  };
  struct OpenLoop {
    int slot;  // its place in loops_, -1 for a FOR over a cursor
  };
  // An event: a COMMIT (name null) or a name used, with the routine whose
  // body the walk was in (-1: none).
  struct Event {
    const char* name;
    int routine;
  };
  void want(const astNode* scope);
  void markFetching();
  std::vector<Routine> routines_;
  std::unordered_map<const astNode*, int> routineOf_;
  std::vector<Frame> frames_;
  int innermostBody_ = -1;
  std::vector<Scope> scopes_;
  std::vector<Event> events_;
  std::unordered_map<const astNode*, std::pair<int, int>> spans_;  // wanted scopes' events
  std::vector<Loop> loops_;
  std::vector<OpenLoop> openLoops_;
  int openForLoops_ = 0;
  // Whole ROLLBACKs as the walk meets them, with the innermost loop around
  // each (-2: a FOR over a cursor is around it).
  std::vector<std::pair<astNode*, int>> rollbacks_;
  std::vector<astNodeCursorDecl*> cursors_;
  std::vector<astNodeFor*> queryLoops_;
  std::vector<std::pair<astNodeOpen*, const astNode*>> opens_;  // with the scope each asks about
  bool anyCommit_ = false;
};

// Calls in SQL of the functions that may end with NO_DATA_FOUND, which
// PL/SQL's SQL engine takes as NULL and the target as an error of the
// statement, are recorded (no_data_found_calls.cpp). It reads the calls of
// the run's functions that data access gathered, and only when one stands
// in SQL the bodies of the routines that such a call may reach.
class NoDataFoundCalls {
 public:
  void settle(TransformState* state, const std::vector<DataAccess::Call>& calls);

 private:
  struct Routine {
    astNode* node;
    int name;             // index of its name
    bool raises = false;  // may end with NO_DATA_FOUND
    bool walked = false;
    std::vector<int> calls;  // names of the run's routines it calls outside SQL and unhandled
  };
  struct Block {
    bool takes;   // a handler of it takes NO_DATA_FOUND
    bool active;  // the walk is not in one of its handlers
  };
  // The handlers the walk is in: one that takes NO_DATA_FOUND, the NOT FOUND
  // handler of a query's guard, or another.
  enum Handler : char { TAKES, GUARD, OTHER };
  static void enter(astNode* node, void* self);
  static void leave(astNode* node, void* self);
  void noteRoutines(astNode* root);
  bool takes(const astNodeHandler* handler) const;
  bool handled() const;
  void raised();
  void noteCalls(astNodeList* list);
  void walk(Routine& routine);
  std::string ndfState_;      // NO_DATA_FOUND as a RAISE names it
  std::string ndfCondition_;  // and as a handler does
  FoldedIndex names_;
  RoutineKey keys_;
  std::vector<Routine> routines_;
  std::vector<std::vector<int>> routinesOf_;  // by name
  // The walk of one routine's body.
  Routine* current_ = nullptr;
  std::vector<Block> blocks_;
  std::vector<Handler> handlers_;
  int sql_ = 0;  // SQL statements and queries the walk is in
};

// A DBMS_LOB routine that writes the LOB of its first argument, a variable
// that RETURNING ... INTO or SELECT ... INTO ... FOR UPDATE of the same
// routine filled, is recorded: the variable holds a row's locator, and
// PL/SQL writes the row's LOB; the target's locators stand for a value,
// never for a column of a row, and only the variable changes
// (lob_row_writes.cpp).
class LobRowWrites {
 public:
  // A statement of a block's statement lists, each met once as the
  // rewriting leaves the block: RETURNING ... INTO, SELECT ... INTO and a
  // call are looked at, any other statement passes.
  void note(astNode* statement);
  void settle(TransformState* state);

 private:
  // A name filled with a row's locator, or a call that writes the LOB of a
  // name, in a routine (or a top-level unit outside routines).
  struct Use {
    const astNode* routine;
    std::string name;              // upper case
    astNodeToken* call = nullptr;  // for a write: the call's name,
    const char* writer = nullptr;  // the routine that writes, as its row names it
    const char* lob = nullptr;     // and the name as written
  };
  void fill(astNode* statement, const astNodeToken* target);
  std::vector<Use> fills_;
  std::vector<Use> writes_;
};

// The collectors and their walk.
class RoutineEffects {
 public:
  explicit RoutineEffects(const TransformState* state) : access_(state) {}
  // A top-level unit the rewriting is done with.
  void collect(astNode* unit);
  // The statements the rewriting meets block by block.
  LobRowWrites& lobRows() { return lobRows_; }
  void settle(TransformState* state);

 private:
  DataAccess access_;
  CursorHolds holds_;
  LobRowWrites lobRows_;
  NoDataFoundCalls noDataFound_;
};
