// Version-gated tables: global variables, system procedures and system
// tables, each with the first target version that has it.
#include "analysis_runtime.h"
#include "analyzer_internal.h"
#include "global_var.h"

namespace {

struct version3 {
  int v[3];
};

struct global_var_row {
  int id;
  st_String_const name;
  version3 version;
};

struct table_row {
  st_String_const name;
  version3 version;
};

#define REC(text) {text, nullptr, (int32_t)(sizeof(text) - 1)}
#define V001 {{0, 0, 1}}
#define V110 {{1, 1, 0}}
#define V120 {{1, 2, 0}}
#define NEVER {{2147483644, 0, 0}}

// Rows in the order of the global-variable identifiers.
const global_var_row kGlobalVars[99] = {
    {0, REC("*INVALID*"), NEVER},
    {1, REC("@@authmech"), NEVER},
    {2, REC("@@boottime"), V001},
    {3, REC("@@bootcount"), V001},
    {4, REC("@@bulkarraysize"), NEVER},
    {5, REC("@@bulkbatchsize"), NEVER},
    {6, REC("@@char_convert"), NEVER},
    {7, REC("@@cis_rpc_handling"), NEVER},
    {8, REC("@@cis_version"), NEVER},
    {9, REC("@@client_csexpansion"), NEVER},
    {10, REC("@@client_csid"), NEVER},
    {11, REC("@@client_csname"), NEVER},
    {12, REC("@@cmpstate"), NEVER},
    {13, REC("@@connections"), NEVER},
    {14, REC("@@cpu_busy"), V001},
    {15, REC("@@cursor_rows"), NEVER},
    {16, REC("@@curloid"), NEVER},
    {17, REC("@@datefirst"), V110},
    {18, REC("@@dbts"), NEVER},
    {19, REC("@@error"), V001},
    {20, REC("@@errorlog"), NEVER},
    {21, REC("@@failedoverconn"), NEVER},
    {22, REC("@@fetch_status"), V001},
    {23, REC("@@guestuserid"), V001},
    {24, REC("@@hacmpservername"), NEVER},
    {25, REC("@@haconnection"), NEVER},
    {26, REC("@@heapmemsize"), V001},
    {27, REC("@@identity"), V001},
    {28, REC("@@idle"), V001},
    {29, REC("@@invaliduserid"), V001},
    {30, REC("@@io_busy"), V001},
    {31, REC("@@isolation"), V110},
    {32, REC("@@kernel_addr"), V001},
    {33, REC("@@kernel_size"), V001},
    {34, REC("@@langid"), V110},
    {35, REC("@@language"), V110},
    {36, REC("@@lock_timeout"), NEVER},
    {37, REC("@@maxcharlen"), V110},
    {38, REC("@@max_connections"), NEVER},
    {39, REC("@@maxgroupid"), V001},
    {40, REC("@@maxpagesize"), NEVER},
    {41, REC("@@max_precision"), V001},
    {42, REC("@@maxspid"), V001},
    {43, REC("@@maxsuid"), V001},
    {44, REC("@@maxuserid"), V001},
    {45, REC("@@mempool_addr"), NEVER},
    {46, REC("@@min_poolsize"), NEVER},
    {47, REC("@@mingroupid"), V001},
    {48, REC("@@minspid"), V001},
    {49, REC("@@minsuid"), V001},
    {50, REC("@@minuserid"), V001},
    {51, REC("@@monitors_active"), NEVER},
    {52, REC("@@ncharsize"), V110},
    {53, REC("@@nestlevel"), V001},
    {54, REC("@@nodeid"), NEVER},
    {55, REC("@@optgoal"), NEVER},
    {56, REC("@@options"), NEVER},
    {57, REC("@@pack_received"), NEVER},
    {58, REC("@@pack_sent"), NEVER},
    {59, REC("@@packet_errors"), NEVER},
    {60, REC("@@pagesize"), NEVER},
    {61, REC("@@parallel_degree"), NEVER},
    {62, REC("@@probesuid"), NEVER},
    {63, REC("@@procid"), NEVER},
    {64, REC("@@recovery_state"), NEVER},
    {65, REC("@@repartition_degree"), NEVER},
    {66, REC("@@resource_granularity"), NEVER},
    {67, REC("@@rowcount"), NEVER},
    {68, REC("@@scan_parallel_degree"), NEVER},
    {69, REC("@@servername"), V001},
    {70, REC("@@setrowcount"), V001},
    {71, REC("@@shmem_flags"), NEVER},
    {72, REC("@@spid"), V001},
    {73, REC("@@sqlstatus"), V001},
    {74, REC("@@ssl_ciphersuite"), NEVER},
    {75, REC("@@stringsize"), NEVER},
    {76, REC("@@tempdbid"), V001},
    {77, REC("@@textcolid"), V001},
    {78, REC("@@textdataptnid"), V001},
    {79, REC("@@textdbid"), V001},
    {80, REC("@@textobjid"), V001},
    {81, REC("@@textptnid"), NEVER},
    {82, REC("@@textptr"), V001},
    {83, REC("@@textptr_parameters"), NEVER},
    {84, REC("@@textsize"), V001},
    {85, REC("@@textts"), NEVER},
    {86, REC("@@thresh_hysteresis"), NEVER},
    {87, REC("@@timeticks"), NEVER},
    {88, REC("@@total_errors"), NEVER},
    {89, REC("@@total_read"), NEVER},
    {90, REC("@@total_write"), NEVER},
    {91, REC("@@tranchained"), V001},
    {92, REC("@@trancount"), V001},
    {93, REC("@@transactional_rpc"), NEVER},
    {94, REC("@@transtate"), V001},
    {95, REC("@@unicharsize"), V110},
    {96, REC("@@version"), V001},
    {97, REC("@@version_number"), V001},
    {98, REC("@@version_as_integer"), V001},
};
const table_row kSystemProcedures[248] = {
    {REC("sp_activeroles"), NEVER},
    {REC("sp_add_qpgroup"), NEVER},
    {REC("sp_add_resource_limit"), NEVER},
    {REC("sp_add_time_range"), NEVER},
    {REC("sp_addalias"), NEVER},
    {REC("sp_addauditrecord"), NEVER},
    {REC("sp_addaudittable"), NEVER},
    {REC("sp_addengine"), NEVER},
    {REC("sp_addexeclass"), NEVER},
    {REC("sp_addextendedproc"), NEVER},
    {REC("sp_addexternallogin"), NEVER},
    {REC("sp_addgroup"), V001},
    {REC("sp_addlanguage"), NEVER},
    {REC("sp_addlogin"), NEVER},
    {REC("sp_addmessage"), V001},
    {REC("sp_addobjectdef"), NEVER},
    {REC("sp_addremotelogin"), NEVER},
    {REC("sp_addsegment"), NEVER},
    {REC("sp_addserver"), NEVER},
    {REC("sp_addthreshold"), NEVER},
    {REC("sp_addtype"), NEVER},
    {REC("sp_addumpdevice"), NEVER},
    {REC("sp_adduser"), V001},
    {REC("sp_altermessage"), NEVER},
    {REC("sp_audit"), NEVER},
    {REC("sp_autoconnect"), NEVER},
    {REC("sp_autoformat"), NEVER},
    {REC("sp_bindcache"), NEVER},
    {REC("sp_bindefault"), NEVER},
    {REC("sp_bindexeclass"), NEVER},
    {REC("sp_bindmsg"), NEVER},
    {REC("sp_cacheconfig"), NEVER},
    {REC("sp_cachestrategy"), NEVER},
    {REC("sp_changedbowner"), NEVER},
    {REC("sp_changegroup"), V001},
    {REC("sp_checknames"), NEVER},
    {REC("sp_checkreswords"), NEVER},
    {REC("sp_checksource"), NEVER},
    {REC("sp_chgattribute"), NEVER},
    {REC("sp_clearpsexe"), NEVER},
    {REC("sp_clearstats"), NEVER},
    {REC("sp_client_addr"), NEVER},
    {REC("sp_cmp_all_qplans"), NEVER},
    {REC("sp_cmp_qplans"), NEVER},
    {REC("sp_column_privileges"), NEVER},
    {REC("sp_columns"), NEVER},
    {REC("sp_commonkey"), NEVER},
    {REC("sp_companion"), NEVER},
    {REC("sp_configure"), NEVER},
    {REC("sp_copy_all_qplans"), NEVER},
    {REC("sp_copy_plan"), NEVER},
    {REC("sp_countmetadata"), NEVER},
    {REC("sp_cursorinfo"), NEVER},
    {REC("sp_databases"), NEVER},
    {REC("sp_datatypeinfo"), NEVER},
    {REC("sp_dbextend"), NEVER},
    {REC("sp_dboption"), NEVER},
    {REC("sp_dbrecovery_order"), NEVER},
    {REC("sp_dbremap"), NEVER},
    {REC("sp_defaultloc"), NEVER},
    {REC("sp_depends"), NEVER},
    {REC("sp_deviceattr"), NEVER},
    {REC("sp_diskdefault"), NEVER},
    {REC("sp_displayaudit"), NEVER},
    {REC("sp_displaylevel"), NEVER},
    {REC("sp_displaylogin"), V120},
    {REC("sp_displayroles"), V120},
    {REC("sp_drop_all_qplans"), NEVER},
    {REC("sp_drop_qpgroup"), NEVER},
    {REC("sp_drop_qplan"), NEVER},
    {REC("sp_drop_resource_limit"), NEVER},
    {REC("sp_drop_time_range"), NEVER},
    {REC("sp_dropalias"), V110},
    {REC("sp_dropdevice"), NEVER},
    {REC("sp_dropengine"), NEVER},
    {REC("sp_dropexeclass"), NEVER},
    {REC("sp_dropextendedproc"), NEVER},
    {REC("sp_dropexternlogin"), NEVER},
    {REC("sp_dropglockpromote"), NEVER},
    {REC("sp_dropgroup"), V001},
    {REC("sp_dropkey"), NEVER},
    {REC("sp_droplanguage"), NEVER},
    {REC("sp_droplogin"), V110},
    {REC("sp_dropmessage"), V001},
    {REC("sp_dropobjectdef"), NEVER},
    {REC("sp_dropremotelogin"), NEVER},
    {REC("sp_droprowlockpromote"), NEVER},
    {REC("sp_dropsegment"), NEVER},
    {REC("sp_dropserver"), NEVER},
    {REC("sp_dropthreshold"), NEVER},
    {REC("sp_droptype"), NEVER},
    {REC("sp_dropuser"), V001},
    {REC("sp_dumpoptimize"), NEVER},
    {REC("sp_engine"), NEVER},
    {REC("sp_estspace"), NEVER},
    {REC("sp_export_qggroup"), NEVER},
    {REC("sp_extend_segment"), NEVER},
    {REC("sp_extengine"), NEVER},
    {REC("sp_familylock"), NEVER},
    {REC("sp_find_qplan"), NEVER},
    {REC("sp_fixindex"), NEVER},
    {REC("sp_fkeys"), NEVER},
    {REC("sp_flushtstats"), NEVER},
    {REC("sp_forceonline_db"), NEVER},
    {REC("sp_forceonline_object"), NEVER},
    {REC("sp_forceonline_page"), NEVER},
    {REC("sp_foreignkey"), V001},
    {REC("sp_freedll"), NEVER},
    {REC("sp_getmessage"), V001},
    {REC("sp_grantlogin"), NEVER},
    {REC("sp_ha_admin"), NEVER},
    {REC("sp_help"), NEVER},
    {REC("sp_help_qpgroup"), NEVER},
    {REC("sp_help_qplan"), NEVER},
    {REC("sp_help_resource_limit"), NEVER},
    {REC("sp_helpartition"), NEVER},
    {REC("sp_helpcache"), NEVER},
    {REC("sp_helpcomputedcolumn"), NEVER},
    {REC("sp_helpconfig"), NEVER},
    {REC("sp_helpconstraint"), NEVER},
    {REC("sp_helpdb"), NEVER},
    {REC("sp_helpdevice"), NEVER},
    {REC("sp_helpdextendedproc"), NEVER},
    {REC("sp_helpexternlogin"), NEVER},
    {REC("sp_helpgroup"), V110},
    {REC("sp_helpindex"), NEVER},
    {REC("sp_helpjava"), NEVER},
    {REC("sp_helpjoins"), NEVER},
    {REC("sp_helpkey"), NEVER},
    {REC("sp_helplanguage"), NEVER},
    {REC("sp_helplog"), NEVER},
    {REC("sp_helpobjectdef"), NEVER},
    {REC("sp_helpremotelogin"), NEVER},
    {REC("sp_helprotect"), NEVER},
    {REC("sp_helpsegment"), NEVER},
    {REC("sp_helpserver"), NEVER},
    {REC("sp_helpsort"), NEVER},
    {REC("sp_helpthreshold"), NEVER},
    {REC("sp_helpuser"), V110},
    {REC("sp_hidetext"), NEVER},
    {REC("sp_hidetext"), NEVER},
    {REC("sp_import_gqgroup"), NEVER},
    {REC("sp_indsuspect"), NEVER},
    {REC("sp_is_valid_user"), V001},
    {REC("sp_ldapadmin"), NEVER},
    {REC("sp_listener"), NEVER},
    {REC("sp_listsuspect_db"), NEVER},
    {REC("sp_listsuspect_object"), NEVER},
    {REC("sp_listsuspect_page"), NEVER},
    {REC("sp_lmconfig"), NEVER},
    {REC("sp_lock"), NEVER},
    {REC("sp_locklogin"), V120},
    {REC("sp_logdevice"), NEVER},
    {REC("sp_loginconfig"), NEVER},
    {REC("sp_logininfo"), NEVER},
    {REC("sp_logiosize"), NEVER},
    {REC("sp_maplogin"), NEVER},
    {REC("sp_metrics"), NEVER},
    {REC("sp_modify_resource_limit"), NEVER},
    {REC("sp_modify_time_range"), NEVER},
    {REC("sp_modifylogin"), NEVER},
    {REC("sp_modifystats"), NEVER},
    {REC("sp_modifythreshold"), NEVER},
    {REC("sp_monitor"), NEVER},
    {REC("sp_monitorconfig"), NEVER},
    {REC("sp_object_stats"), NEVER},
    {REC("sp_passthru"), NEVER},
    {REC("sp_password"), NEVER},
    {REC("sp_pkeys"), NEVER},
    {REC("sp_placeobject"), NEVER},
    {REC("sp_plan_dbccdb"), NEVER},
    {REC("sp_poolconfig"), NEVER},
    {REC("sp_post_xpload"), NEVER},
    {REC("sp_primarykey"), V001},
    {REC("sp_processmail"), NEVER},
    {REC("sp_procxmode"), NEVER},
    {REC("sp_recompile"), NEVER},
    {REC("sp_remap"), NEVER},
    {REC("sp_remoteoption"), NEVER},
    {REC("sp_remotesql"), NEVER},
    {REC("sp_rename"), NEVER},
    {REC("sp_rename_qpgroup"), NEVER},
    {REC("sp_renamedb"), NEVER},
    {REC("sp_reportstats"), NEVER},
    {REC("sp_revokelogin"), NEVER},
    {REC("sp_role"), V110},
    {REC("sp_sendmsg"), NEVER},
    {REC("sp_server_info"), NEVER},
    {REC("sp_serveroption"), NEVER},
    {REC("sp_set_qplan"), NEVER},
    {REC("sp_setlangalias"), NEVER},
    {REC("sp_setpglockpromote"), NEVER},
    {REC("sp_setpsexe"), NEVER},
    {REC("sp_setrowlockpromote"), NEVER},
    {REC("sp_setsuspect_granularity"), NEVER},
    {REC("sp_setsuspect_threshold"), NEVER},
    {REC("sp_showcontrolinfo"), NEVER},
    {REC("sp_showexeclass"), NEVER},
    {REC("sp_showplan"), NEVER},
    {REC("sp_showpsexe"), NEVER},
    {REC("sp_spaceused"), NEVER},
    {REC("sp_special_columns"), NEVER},
    {REC("sp_sproc_columns"), NEVER},
    {REC("sp_ssladmin"), NEVER},
    {REC("sp_statistics"), NEVER},
    {REC("sp_stored_procedures"), NEVER},
    {REC("sp_syntax"), NEVER},
    {REC("sp_sysmon"), NEVER},
    {REC("sp_table_privileges"), NEVER},
    {REC("sp_tables"), NEVER},
    {REC("sp_tempdb"), NEVER},
    {REC("sp_thresholdaction"), NEVER},
    {REC("sp_transactions"), NEVER},
    {REC("sp_unbindcache"), NEVER},
    {REC("sp_unbindcache_all"), NEVER},
    {REC("sp_unbindefault"), NEVER},
    {REC("sp_unbindexeclass"), NEVER},
    {REC("sp_unbindmsg"), NEVER},
    {REC("sp_unbindrule"), NEVER},
    {REC("sp_version"), NEVER},
    {REC("sp_volchanged"), NEVER},
    {REC("sp_who"), NEVER},
    {REC("xp_cmdshell"), NEVER},
    {REC("xp_deletemail"), NEVER},
    {REC("xp_enumgroups"), NEVER},
    {REC("xp_findnextmsg"), NEVER},
    {REC("xp_logevent"), NEVER},
    {REC("xp_readmail"), NEVER},
    {REC("xp_sendmail"), NEVER},
    {REC("xp_startmail"), NEVER},
    {REC("xp_stopmail"), NEVER},
    {REC("sp_dbcc_alterws"), NEVER},
    {REC("sp_dbcc_configurereport"), NEVER},
    {REC("sp_dbcc_createws"), NEVER},
    {REC("sp_dbcc_deletedb"), NEVER},
    {REC("sp_dbcc_deletehistory"), NEVER},
    {REC("sp_dbcc_differentialreport"), NEVER},
    {REC("sp_dbcc_evaluatedb"), NEVER},
    {REC("sp_dbcc_exclusions"), NEVER},
    {REC("sp_dbcc_faultreport"), NEVER},
    {REC("sp_dbcc_fullreport"), NEVER},
    {REC("sp_dbcc_help_fault"), NEVER},
    {REC("sp_dbcc_patch_finishtime"), NEVER},
    {REC("sp_dbcc_recommendations"), NEVER},
    {REC("sp_dbcc_runcheck"), NEVER},
    {REC("sp_dbcc_statisticsreport"), NEVER},
    {REC("sp_dbcc_summaryreport"), NEVER},
    {REC("sp_dbcc_updateconfig"), NEVER},
};
const table_row kSystemTables[64] = {
    {REC("syblicenselog"), NEVER},
    {REC("sysalternates"), NEVER},
    {REC("sysattributes"), NEVER},
    {REC("sysauditoptions"), NEVER},
    {REC("sysaudits_01"), NEVER},
    {REC("sysaudits_02"), NEVER},
    {REC("sysaudits_03"), NEVER},
    {REC("sysaudits_04"), NEVER},
    {REC("sysaudits_05"), NEVER},
    {REC("sysaudits_06"), NEVER},
    {REC("sysaudits_07"), NEVER},
    {REC("sysaudits_08"), NEVER},
    {REC("syscharsets"), NEVER},
    {REC("syscolumns"), V001},
    {REC("syscomments"), V001},
    {REC("sysconfigures"), NEVER},
    {REC("syscontraints"), NEVER},
    {REC("syscoordinations"), NEVER},
    {REC("syscurconfigs"), NEVER},
    {REC("sysdatabases"), V001},
    {REC("sysdepends"), NEVER},
    {REC("sysdevices"), NEVER},
    {REC("sysencryptkeys"), NEVER},
    {REC("sysengines"), NEVER},
    {REC("sysgams"), NEVER},
    {REC("sysindexes"), V001},
    {REC("sysjars"), NEVER},
    {REC("syskeys"), NEVER},
    {REC("syslanguages"), V001},
    {REC("syslisteners"), NEVER},
    {REC("syslocks"), NEVER},
    {REC("sysloginroles"), NEVER},
    {REC("syslogins"), V001},
    {REC("syslogs"), NEVER},
    {REC("syslogshold"), NEVER},
    {REC("sysmessages"), V001},
    {REC("sysmonitors"), NEVER},
    {REC("sysobjects"), V001},
    {REC("syspartitionkeys"), NEVER},
    {REC("syspartitions"), NEVER},
    {REC("sysprocedures"), NEVER},
    {REC("sysprocesses"), V001},
    {REC("sysprotects"), NEVER},
    {REC("sysquerymetrics"), NEVER},
    {REC("sysqueryplans"), NEVER},
    {REC("sysreferences"), NEVER},
    {REC("sysremotelogins"), NEVER},
    {REC("sysresourcelimits"), NEVER},
    {REC("sysroles"), V001},
    {REC("syssecmechs"), NEVER},
    {REC("syssegements"), NEVER},
    {REC("sysservers"), NEVER},
    {REC("sysslices"), NEVER},
    {REC("syssrvroles"), V001},
    {REC("sysstatistics"), NEVER},
    {REC("systabstats"), NEVER},
    {REC("systhresholds"), NEVER},
    {REC("systimeranges"), NEVER},
    {REC("systransactions"), NEVER},
    {REC("systypes"), V001},
    {REC("sysusages"), NEVER},
    {REC("sysusermessages"), V001},
    {REC("sysusers"), V001},
    {REC("sysxtypes"), NEVER},
};

#undef REC
#undef V001
#undef V110
#undef V120
#undef NEVER

st_String_const kMaster = {"master", nullptr, 6};
st_String_const kSybsystemprocs = {"sybsystemprocs", nullptr, 14};
st_String_const kDbo = {"dbo", nullptr, 3};

inline int32_t I(const ag_word* b, int i) { return ag_int(b[i]); }

bool is_empty(st_String_const* s) { return s == nullptr || s->length <= 0; }

bool target_before(const envn* env, const int version[3]) {
  return ver_less(env->target, version) != 0;
}

bool owner_is_dbo_or_empty(const name_rec* r) {
  return is_empty(r->part[1]) || string_icmp(r->part[1], &kDbo) == 0;
}

// The table's row for this name that the target lacks, or nullptr.
const table_row* unsupported_row(const envn* env, const table_row* rows, int count,
                                 st_String_const* name) {
  if (name == nullptr) return nullptr;
  // A flat name of another length cannot match: spares the comparison for
  // most rows.
  const int length = name->right != nullptr ? -1 : name->length > 0 ? name->length : 0;
  for (int i = 0; i < count; ++i) {
    if ((length < 0 || rows[i].name.length == length) && target_before(env, rows[i].version.v) &&
        string_icmp(const_cast<st_String_const*>(&rows[i].name), name) == 0)
      return &rows[i];
  }
  return nullptr;
}

}  // namespace

int analyzer_table_size(int table) {
  switch (table) {
    case 0: return (int)(sizeof kGlobalVars / sizeof kGlobalVars[0]);
    case 1: return (int)(sizeof kSystemProcedures / sizeof kSystemProcedures[0]);
    case 2: return (int)(sizeof kSystemTables / sizeof kSystemTables[0]);
    default: return 0;
  }
}

extern "C" {

void ver_before(ag_word* b) {
  const envn* env = (const envn*)b[0];
  int version[3] = {I(b, 1), I(b, 2), I(b, 3)};
  b[4] = target_before(env, version) ? 1 : 0;
}

void global_var_unsupported(ag_word* b) {
  const envn* env = (const envn*)b[0];
  ag_word t[2] = {b[1], 0};
  lexeme_text_(t);
  st_String_const* text = ag_str(t[1]);
  st_String_const* name = C_empty_string;
  int32_t unsupported = 0;
  if (text != nullptr && text->length >= 2 && text->right == nullptr) {
    int id = global_var_lookup((const char*)text->left + 2, text->length - 2);
    for (const global_var_row& row : kGlobalVars) {
      if (row.id != id) continue;
      if (target_before(env, row.version.v)) {
        name = const_cast<st_String_const*>(&row.name);
        unsupported = 1;
      }
      break;
    }
  }
  b[2] = ag_from_ptr(name);
  b[3] = unsupported;
}

void sysproc_unsupported(ag_word* b) {
  const envn* env = (const envn*)b[0];
  const name_rec* r = (const name_rec*)b[1];
  int32_t result = 0;
  bool database_ok = is_empty(r->part[0]) || string_icmp(r->part[0], &kMaster) == 0 ||
                     string_icmp(r->part[0], &kSybsystemprocs) == 0;
  if (database_ok && owner_is_dbo_or_empty(r) &&
      unsupported_row(env, kSystemProcedures, analyzer_table_size(1), r->part[2]) != nullptr)
    result = 1;
  b[2] = result;
}

void systable_unsupported(ag_word* b) {
  const envn* env = (const envn*)b[0];
  const name_rec* r = (const name_rec*)b[1];
  if (owner_is_dbo_or_empty(r) &&
      unsupported_row(env, kSystemTables, analyzer_table_size(2), r->part[2]) != nullptr) {
    b[2] = ag_from_ptr(r->part[2]);
    b[3] = 1;
  } else {
    b[2] = ag_from_ptr(C_empty_string);
    b[3] = 0;
  }
}

}  // extern "C"
