// XML dump of the syntax tree (vestrake -a) and the numbered source listing.
#pragma once

#include <string>

struct astNode;

// Writes the whole tree from root as one XML document to path, opened with
// mode. encoding names the document's encoding (null or empty: "ISO-8859-1").
// Returns false, writing nothing, when the file cannot be opened.
bool writeAstXml(const char* path, const char* mode, const char* encoding, astNode* root);

// Why a dump failed: the system's reason (an errno), and whether it was
// the writing of the document that failed rather than the making or the
// replacing of its file.
struct DumpFailure {
  int error = 0;
  bool writing = false;
};

// The run's form (vestrake -a). The document goes to a new file beside
// fileName (beside the file it names through symbolic links), which takes
// the old file's owner and permissions and replaces it only once complete;
// a device or a pipe is written in place. The progress lines stay out of a
// document that is standard output's file. False, with the reason in
// *failure, when the document could not be written completely, or
// fileName's links loop; fileName is then as it was. A jump of the pool
// passes through; the partial document is then kept under a name of its own,
// stored in *partialPath (emptied otherwise).
bool sqlexcAstDumpFile(const char* fileName, const char* encoding, astNode* root,
                       std::string* partialPath = nullptr, DumpFailure* failure = nullptr);

// For an exit in the middle of a dump: a device keeps what was written, an
// unfinished file beside the target goes (as it does on an ending signal,
// through pending_files_discard). For std::atexit.
void finishDumpAtExit();

// Writes text as numbered lines in a <sourcecode> fragment. Returns false when
// the file cannot be opened.
bool writeSourceXml(const char* path, const char* mode, const char* text);
