// Uses of the node schema that must not compile: one per case, chosen by the
// build (AST_SCHEMA_CASE). The good case shows that the file compiles at all.
#include "ast.h"

astNode* schemaCase(astNode* node, void* data) {
#if AST_SCHEMA_CASE == 0
  constexpr astSchemaField row[] = {AST_SCHEMA_FIELD_ROW(astNodeIf, child, astNodeList*, expr)};
  AST_SCHEMA_FIELD_CHECK(astNodeIf, child, astNodeList*, expr)
  (void)row;
  (void)data;
  if (astNodeIf* statement = nodeAs<astNodeIf>(node)) return statement->expr;
  return astMake<astNodeIf>(0);
#elif AST_SCHEMA_CASE == 1
  // A field without a role.
  constexpr astSchemaField row[] = {AST_SCHEMA_FIELD_ROW(astNodeIf, , astNodeList*, expr)};
  return nullptr;
#elif AST_SCHEMA_CASE == 2
  // A role the schema does not know.
  constexpr astSchemaField row[] = {AST_SCHEMA_FIELD_ROW(astNodeIf, owned, astNodeList*, expr)};
  return nullptr;
#elif AST_SCHEMA_CASE == 3
  // A role that does not fit the field's type.
  AST_SCHEMA_FIELD_CHECK(astNodeIf, flag, astNodeList*, expr)
  return nullptr;
#elif AST_SCHEMA_CASE == 4
  // A record that several kinds share, made without naming the kind.
  return astMake<astNodeDdl>(0);
#elif AST_SCHEMA_CASE == 5
  // Something that is not a node.
  return nodeAs<astNodeIf>(data);
#endif
}
