// Graphviz (DOT) drawing of the syntax tree, for looking at a parse.
#pragma once

struct astNode;

// Draws the tree from root into path (opened with mode) as a digraph of
// records. lineNumbersOff leaves the source line out of the labels; startLine
// (zero-based, -1 for all) skips everything before the first node of that
// line; nodes on highlightLine (one-based; 1 or less for none) are filled.
// Returns 1 when the file was written and closed, 0 when it could not be
// opened or not be written completely.
int writeAstDot(const char* path, const char* mode, astNode* root, unsigned char lineNumbersOff, int startLine,
                int highlightLine);
