#include "translate_options.h"

#include <strings.h>

#include <cstring>

// The MAPPED rows of the datatype table, in its order.
const DatatypeMapEntry datatypeMap[] = {
#define DATATYPE(name, treatment, target, length, scale) DATATYPE_##treatment(name, target, length)
#define DATATYPE_MAPPED(name, target, length) {name, target, length},
#define DATATYPE_RENAMED(name, target, length)
#define DATATYPE_KEPT(name, target, length)
#define DATATYPE_UNSUPPORTED(name, target, length)
#include "datatypes.def"
#undef DATATYPE_MAPPED
#undef DATATYPE_RENAMED
#undef DATATYPE_KEPT
#undef DATATYPE_UNSUPPORTED
    {nullptr, nullptr, nullptr},
};

const ExceptionMapEntry exceptionMap[] = {
    {-6511, "CURSOR_ALREADY_OPEN", -502, "24502"},
    {-1012, "NOT_LOGGED_ON", -1024, "08003"},
    {-1476, "ZERO_DIVIDE", -801, "22012"},
    {100, "NO_DATA_FOUND", 100, "UDNDF"},
    {-1001, "INVALID_CURSOR", -501, "24501"},
    {-1, "DUP_VAL_ON_INDEX", -803, "23505"},
    {-1422, "TOO_MANY_ROWS", -811, "21000"},
    {-6533, "SUBSCRIPT_BEYOND_COUNT", -20439, "2202E"},
    {-6532, "SUBSCRIPT_OUTSIDE_LIMIT", -20438, "428H1"},
    {-6592, "CASE_NOT_FOUND", -773, "20000"},
    {-2292, "", -532, "23504"},
    // Errors the target raises its own state for: constraints, conversions,
    // lengths, and names missing or taken (the idioms that drop or create
    // what may not exist). A row holds only where the state is the target's
    // for the same error; a state made up would never come from it.
    {-2291, "", -530, "23503"},
    {-1400, "", -407, "23502"},
    {-1407, "", -407, "23502"},
    {-2290, "", -545, "23513"},
    {-1427, "", -811, "21000"},
    {-1722, "INVALID_NUMBER", -420, "22018"},
    {-1438, "", -413, "22003"},
    {-12899, "", -404, "22001"},
    {-1401, "", -404, "22001"},
    {-942, "", -204, "42704"},
    {-1418, "", -204, "42704"},
    {-2289, "", -204, "42704"},
    {-4043, "", -204, "42704"},
    {-4080, "", -204, "42704"},
    {-955, "", -601, "42710"},
    {-1430, "", -612, "42711"},
    {0, nullptr, 0, ""},
};

void initTranslateOptions(TranslateOptions* destination, const TranslateOptions* callerOptions) {
  if (!destination) return;
  if (callerOptions) {
    *destination = *callerOptions;
  } else {
    // Without caller options: the command line's, but for the terminator
    // and the line markers (several units per input, no dump, no limit).
    setCommandLineDefaults(destination);
    destination->terminator = "";
    destination->lineMarkers = false;
  }
  destination->datatypeMap = datatypeMap;
  destination->exceptionMap = exceptionMap;
}

const char* mappedSqlstate(const ExceptionMapEntry* map, const char* name) {
  if (!map || !name) return nullptr;
  // A row without a name is found by its number only.
  for (const ExceptionMapEntry* row = map; row->sqlstate[0]; ++row)
    if (row->name && row->name[0] && strcasecmp(row->name, name) == 0) return row->sqlstate;
  return nullptr;
}

void setCommandLineDefaults(TranslateOptions* o) {
  std::memset(o, 0, sizeof *o);
  o->defaultPrecision = "(9,2)";
  o->defaultLength = "(4096)";
  o->reservedWord = 0;
  o->reservedFlag = false;
  o->reservedNumber1 = -1;
  o->reservedNumber2 = -1;
  o->terminator = "@";
  o->emitterWord = 0;
  o->lineMarkers = true;
  o->severalUnits = true;
}
