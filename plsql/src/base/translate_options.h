// Options of one translation run, with the datatype map and the exception map
// that travel with them.
#pragma once

struct DatatypeMapEntry {
  const char* plsqlName;
  const char* targetName;
  const char* defaultLength;  // null when the type takes none
};

struct ExceptionMapEntry {
  int plsqlNumber;
  const char* name;
  int sqlcode;
  char sqlstate[8];
};

struct TranslateOptions {
  const char* defaultPrecision;
  const char* defaultLength;
  int reservedWord;
  bool reservedFlag;
  int reservedNumber1;
  int reservedNumber2;
  const char* terminator;
  int emitterWord;
  bool lineMarkers;
  const DatatypeMapEntry* datatypeMap;
  bool severalUnits;
  const ExceptionMapEntry* exceptionMap;
  const char* astFile;
  const char* encoding;
  int maxErrors;
};

// Ended by a row of nulls / a row whose number is 0.
extern const DatatypeMapEntry datatypeMap[];
extern const ExceptionMapEntry exceptionMap[];

// The SQLSTATE of the map's row for a predefined exception name (ignoring
// case); null when no row has that name.
const char* mappedSqlstate(const ExceptionMapEntry* map, const char* name);

// Copies the caller's options (or sets the defaults for null) and attaches
// both maps.
void initTranslateOptions(TranslateOptions* destination, const TranslateOptions* callerOptions);

// The record main() builds before the -a, -c and -m values go in.
void setCommandLineDefaults(TranslateOptions* options);
