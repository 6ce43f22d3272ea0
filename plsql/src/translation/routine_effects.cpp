#include "routine_effects.h"

#include "shared_walk.h"

void RoutineEffects::collect(astNode* unit) { walkShared(unit, access_, holds_); }

void RoutineEffects::settle(TransformState* state) {
  access_.settle(state);
  holds_.settle(state);
  lobRows_.settle(state);
  noDataFound_.settle(state, access_.calls());
}

namespace rewrite {

void settleRoutineEffects(TransformState* state) {
  if (state->effects) state->effects->settle(state);
  state->effects.reset();
}

}  // namespace rewrite
