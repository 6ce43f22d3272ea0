#include "routine_effects.h"

#include "shared_walk.h"

void RoutineEffects::collect(astNode* unit) {
  walkShared(unit, access_, holds_, lobRows_);
  // The walk leaves a trigger out; its body writes LOBs as a routine's does.
  if (unit && unit->kind == AST_CREATE_TRIGGER) walkShared(nodeAs<astNodeCreateTrigger>(unit)->body, lobRows_);
}

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
