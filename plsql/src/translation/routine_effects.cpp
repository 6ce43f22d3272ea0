#include "routine_effects.h"

#include "shared_walk.h"

namespace rewrite {

void settleRoutineEffects(TransformState* state) {
  DataAccess access(state->root);
  CursorHolds holds;
  walkShared(state->root, access, holds);
  access.settle(state);
  holds.settle(state);
}

}  // namespace rewrite
