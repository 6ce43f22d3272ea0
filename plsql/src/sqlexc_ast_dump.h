// XML dump of the syntax tree.
#pragma once

struct astNode;

// Writes the tree as XML to the named file (opened with mode "w") in the given
// encoding (null: the default). Returns false when the file cannot be opened.
bool sqlexcAstDumpFile(const char* fileName, const char* encoding, astNode* root);
