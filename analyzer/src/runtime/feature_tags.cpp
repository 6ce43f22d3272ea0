// Constant records of the fixed feature tags and of the names the
// evaluation joins into tags.
#include <string.h>

#include "analysis_runtime.h"

#define REC(text) {text, nullptr, (int32_t)(sizeof(text) - 1)}

#define FEATURE_TAG(id, tag, name) feature_tag FT_##id = {REC(tag), REC(name)};
#include "feature_tags.def"
#undef FEATURE_TAG

#define V(major, minor, patch) {major, minor, patch}
#define FEATURE_GATE(id, since, condition) const feature_gate FG_##id = {&FT_##id, since};
#include "feature_gates.def"
#undef FEATURE_GATE
#undef V

st_String_const FT_PREFIX_GLOBAL = REC("GLOBAL[");
st_String_const FT_PREFIX_PROCEDURE = REC("PROCEDURE[");
st_String_const FT_PREFIX_CATALOG = REC("CATALOG[");
st_String_const FT_CLOSE = REC("]");
st_String_const FN_EXECUTE_FROM_VAR = REC("EXECUTE FROM VAR");
st_String_const FN_EXECUTE_WITH_RECOMPILE = REC("EXECUTE WITH RECOMPILE");
st_String_const FN_CREATE_TABLE = REC("CREATE TABLE");
st_String_const FN_DOT = REC(".");

namespace {

feature_tag* const kAllTags[] = {
#define FEATURE_TAG(id, tag, name) &FT_##id,
#include "feature_tags.def"
#undef FEATURE_TAG
};

}  // namespace

int feature_tag_count(void) { return (int)(sizeof kAllTags / sizeof kAllTags[0]); }

feature_tag* feature_tag_find(const char* tag_text) {
  if (tag_text == nullptr) return nullptr;
  size_t length = strlen(tag_text);
  for (feature_tag* t : kAllTags) {
    if ((size_t)t->tag.length == length && memcmp(t->tag.left, tag_text, length) == 0) return t;
  }
  return nullptr;
}
