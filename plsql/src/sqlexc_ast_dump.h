// XML dump of the syntax tree (vestrake -a) and the numbered source listing.
#pragma once

struct astNode;

// Writes the whole tree from root as one XML document to path, opened with
// mode. encoding names the document's encoding (null or empty: "ISO-8859-1").
// Returns false, writing nothing, when the file cannot be opened.
bool writeAstXml(const char* path, const char* mode, const char* encoding, astNode* root);

// The run's form: mode "w".
bool sqlexcAstDumpFile(const char* fileName, const char* encoding, astNode* root);

// Writes text as numbered lines in a <sourcecode> fragment. Returns false when
// the file cannot be opened.
bool writeSourceXml(const char* path, const char* mode, const char* text);
