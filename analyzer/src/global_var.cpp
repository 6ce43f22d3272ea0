// Names of the global variables ("@@" dropped) and their identifiers.
#include "global_var.h"

#include "keyword_table.h"

namespace {

constexpr int kLongestGlobalName = 20;

constexpr kw_entry kGlobalVars[] = {
    {"AUTHMECH", 8, 1},
    {"BOOTCOUNT", 9, 3},
    {"BOOTTIME", 8, 2},
    {"BULKARRAYSIZE", 13, 4},
    {"BULKBATCHSIZE", 13, 5},
    {"CHAR_CONVERT", 12, 6},
    {"CIS_RPC_HANDLING", 16, 7},
    {"CIS_VERSION", 11, 8},
    {"CLIENT_CSEXPANSION", 18, 9},
    {"CLIENT_CSID", 11, 10},
    {"CLIENT_CSNAME", 13, 11},
    {"CMPSTATE", 8, 12},
    {"CONNECTIONS", 11, 13},
    {"CPU_BUSY", 8, 14},
    {"CURLOID", 7, 16},
    {"CURSOR_ROWS", 11, 15},
    {"DATEFIRST", 9, 17},
    {"DBTS", 4, 18},
    {"ERROR", 5, 19},
    {"ERRORLOG", 8, 20},
    {"FAILEDOVERCONN", 14, 21},
    {"FETCH_STATUS", 12, 22},
    {"GUESTUSERID", 11, 23},
    {"HACMPSERVERNAME", 15, 24},
    {"HACONNECTION", 12, 25},
    {"HEAPMEMSIZE", 11, 26},
    {"IDENTITY", 8, 27},
    {"IDLE", 4, 28},
    {"INVALIDUSERID", 13, 29},
    {"IO_BUSY", 7, 30},
    {"ISOLATION", 9, 31},
    {"KERNEL_ADDR", 11, 32},
    {"KERNEL_SIZE", 11, 33},
    {"LANGID", 6, 34},
    {"LANGUAGE", 8, 35},
    {"LOCK_TIMEOUT", 12, 36},
    {"MAXCHARLEN", 10, 37},
    {"MAXGROUPID", 10, 39},
    {"MAXPAGESIZE", 11, 40},
    {"MAXSPID", 7, 42},
    {"MAXSUID", 7, 43},
    {"MAXUSERID", 9, 44},
    {"MAX_CONNECTIONS", 15, 38},
    {"MAX_PRECISION", 13, 41},
    {"MEMPOOL_ADDR", 12, 45},
    {"MINGROUPID", 10, 47},
    {"MINSPID", 7, 48},
    {"MINSUID", 7, 49},
    {"MINUSERID", 9, 50},
    {"MIN_POOLSIZE", 12, 46},
    {"MONITORS_ACTIVE", 15, 51},
    {"NCHARSIZE", 9, 52},
    {"NESTLEVEL", 9, 53},
    {"NODEID", 6, 54},
    {"OPTGOAL", 7, 55},
    {"OPTIONS", 7, 56},
    {"PACKET_ERRORS", 13, 59},
    {"PACK_RECEIVED", 13, 57},
    {"PACK_SENT", 9, 58},
    {"PAGESIZE", 8, 60},
    {"PARALLEL_DEGREE", 15, 61},
    {"PROBESUID", 9, 62},
    {"PROCID", 6, 63},
    {"RECOVERY_STATE", 14, 64},
    {"REPARTITION_DEGREE", 18, 65},
    {"RESOURCE_GRANULARITY", 20, 66},
    {"ROWCOUNT", 8, 67},
    {"SCAN_PARALLEL_DEGREE", 20, 68},
    {"SERVERNAME", 10, 69},
    {"SETROWCOUNT", 11, 70},
    {"SHMEM_FLAGS", 11, 71},
    {"SPID", 4, 72},
    {"SQLSTATUS", 9, 73},
    {"SSL_CIPHERSUITE", 15, 74},
    {"STRINGSIZE", 10, 75},
    {"TEMPDBID", 8, 76},
    {"TEXTCOLID", 9, 77},
    {"TEXTDATAPTNID", 13, 78},
    {"TEXTDBID", 8, 79},
    {"TEXTOBJID", 9, 80},
    {"TEXTPTNID", 9, 81},
    {"TEXTPTR", 7, 82},
    {"TEXTPTR_PARAMETERS", 18, 83},
    {"TEXTSIZE", 8, 84},
    {"TEXTTS", 6, 85},
    {"THRESH_HYSTERESIS", 17, 86},
    {"TIMETICKS", 9, 87},
    {"TOTAL_ERRORS", 12, 88},
    {"TOTAL_READ", 10, 89},
    {"TOTAL_WRITE", 11, 90},
    {"TRANCHAINED", 11, 91},
    {"TRANCOUNT", 9, 92},
    {"TRANSACTIONAL_RPC", 17, 93},
    {"TRANSTATE", 9, 94},
    {"UNICHARSIZE", 11, 95},
    {"VERSION", 7, 96},
    {"VERSION_AS_INTEGER", 18, 98},
    {"VERSION_NUMBER", 14, 97},
};

constexpr std::size_t kGlobalVarCount = sizeof kGlobalVars / sizeof kGlobalVars[0];

}  // namespace

static_assert(kGlobalVarCount == 98, "global variable table size");
static_assert(kw_table_is_sorted(kGlobalVars, kGlobalVarCount),
              "global variable table must stay sorted for bisection");
static_assert(kw_table_lengths_ok(kGlobalVars, kGlobalVarCount),
              "global variable lengths must match their names");

extern "C" int global_var_lookup(const char* name, int length) {
  if (name == nullptr || length <= 0 || length > kLongestGlobalName) return 0;
  const kw_entry* hit = kw_find(kGlobalVars, kGlobalVarCount, name, length);
  return hit ? hit->token : 0;
}
