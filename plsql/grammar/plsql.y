/* Grammar of the PL/SQL translator. The token codes declared here (258 to
   439 in declaration order, then the five single-character terminals) are the
   codes the scanner returns; the generated plsql_parser.hpp is the one header
   that carries them. */

%require "3.8"
%define api.prefix {xx}
%define api.pure full
%define parse.error verbose
%parse-param {ParseContext *ctx}
%lex-param {ParseContext *ctx}
%define api.value.type {TokenValue}

/* The grammar is ambiguous in places; bison's default resolution (shift over
   reduce, the earlier rule among reductions) gives the rule choices the
   actions expect. A test pins the conflict counts. */

%code requires {
#include <cstdint>

struct ParseContext;
struct astNode;
struct astNodeList;
struct astNodeToken;

/* The scanner's token value and the parser's semantic value: the value (by
   symbol a text, a token node, a list, a float, a small integer or a flag),
   a second word (the token code for tokens; the UPDATE OF column list for
   trigger events) and the source line counted from 0. */
struct TokenValue {
    union {
        char *text;
        astNode *node;
        astNodeList *list;
        astNodeToken *tokenNode;
        float number;
        intptr_t word;
    };
    union {
        int token;
        astNodeList *columns;
    };
    int line;
};
}

%code provides {
/* The parser's token source (the token reader). */
int nextToken(TokenValue *value, ParseContext *context);
}

%code {
#include "error_records.h"

#define xxlex(value, context) nextToken((value), (context))

static void xxerror(ParseContext *context, const char *message)
{
    reportError(context, message);
}
}

%token
    T_no_lookahead  /* 258 */
    T_lexical_error  /* 259 */
    T_DIGITS  /* 260 */
    T_NUMERICNO  /* 261 */
    T_COMPARISON  /* 262 */
    T_ARGNAME  /* 263 */
    T_TRIG_VAR  /* 264 */
    T_SQL_NOTFOUND  /* 265 */
    T_SQL_FOUND  /* 266 */
    T_SQL_ROWCOUNT  /* 267 */
    T_STRING  /* 268 */
    T_DTYPE  /* 269 */
    T_WORD  /* 270 */
    T_PERCENT_TYPE  /* 271 */
    T_PERCENT_ROWTYPE  /* 272 */
    T_EXECUTE  /* 273 */
    T_PRAGMA  /* 274 */
    T_AFTER  /* 275 */
    T_ALIAS  /* 276 */
    T_AUTHID  /* 277 */
    T_AUTONOMOUS_XACT  /* 278 */
    T_DETERMINISTIC  /* 279 */
    T_INDEX  /* 280 */
    T_BY  /* 281 */
    T_LABEL_BEG  /* 282 */
    T_LABEL_END  /* 283 */
    T_DECLARE  /* 284 */
    T_BEGIN  /* 285 */
    T_END  /* 286 */
    T_ASSIGN  /* 287 */
    T_DOTDOT  /* 288 */
    T_CONCAT  /* 289 */
    T_DCOLON  /* 290 */
    T_IF  /* 291 */
    T_THEN  /* 292 */
    T_ELSIF  /* 293 */
    T_ELSE  /* 294 */
    T_WHEN  /* 295 */
    T_OR  /* 296 */
    T_NOT  /* 297 */
    T_LOOP  /* 298 */
    T_WHILE  /* 299 */
    T_REVERSE  /* 300 */
    T_FOR  /* 301 */
    T_SELECT  /* 302 */
    T_FROM  /* 303 */
    T_INTO  /* 304 */
    T_WHERE  /* 305 */
    T_USING  /* 306 */
    T_INSERT  /* 307 */
    T_UPDATE  /* 308 */
    T_DELETE  /* 309 */
    T_MERGE  /* 310 */
    T_LOCK  /* 311 */
    T_TRUNCATE  /* 312 */
    T_SAVEPOINT  /* 313 */
    T_CURSOR_NOTFOUND  /* 314 */
    T_CURSOR_FOUND  /* 315 */
    T_CURSOR_ROWCOUNT  /* 316 */
    T_CURSOR_ISOPEN  /* 317 */
    T_OPEN  /* 318 */
    T_CLOSE  /* 319 */
    T_CURSOR  /* 320 */
    T_IS  /* 321 */
    T_FETCH  /* 322 */
    T_EXIT  /* 323 */
    T_IN  /* 324 */
    T_SQLCODE  /* 325 */
    T_SQLERRM  /* 326 */
    T_SQLERRMFUNC  /* 327 */
    T_EXCEPTION  /* 328 */
    T_SQLSTATE  /* 329 */
    T_NULL  /* 330 */
    T_COMMIT  /* 331 */
    T_ROLLBACK  /* 332 */
    T_RETURN  /* 333 */
    T_START  /* 334 */
    T_TRANSACTION  /* 335 */
    T_RETURNING  /* 336 */
    T_CASE  /* 337 */
    T_CONTINUE  /* 338 */
    T_IMMEDIATE  /* 339 */
    T_RAISE  /* 340 */
    T_RAISE_APP_ERROR  /* 341 */
    T_TYPE  /* 342 */
    T_RECORD  /* 343 */
    T_REFCURSOR  /* 344 */
    T_VARRAY  /* 345 */
    T_PROCEDURE  /* 346 */
    T_CREATE  /* 347 */
    T_FUNCTION  /* 348 */
    T_DROP  /* 349 */
    T_AS  /* 350 */
    T_REPLACE  /* 351 */
    T_CURRENT_USER  /* 352 */
    T_DEFINER  /* 353 */
    T_COMMA  /* 354 */
    T_TERMINATOR  /* 355 */
    T_OUT  /* 356 */
    T_GOTO  /* 357 */
    T_DEFAULT  /* 358 */
    T_CONSTANT  /* 359 */
    T_NOCOPY  /* 360 */
    T_EXCEPTION_INIT  /* 361 */
    T_PACKAGE  /* 362 */
    T_BODY  /* 363 */
    T_TRIGGER  /* 364 */
    T_BEFORE  /* 365 */
    T_INSTEAD  /* 366 */
    T_OF  /* 367 */
    T_REFERENCING  /* 368 */
    T_OLD  /* 369 */
    T_NEW  /* 370 */
    T_ON  /* 371 */
    T_PARENT  /* 372 */
    T_EACH  /* 373 */
    T_ROW  /* 374 */
    T_FOLLOWS  /* 375 */
    T_DISABLE  /* 376 */
    T_COMPOUND  /* 377 */
    T_BULK  /* 378 */
    T_COLLECT  /* 379 */
    T_WITH  /* 380 */
    T_GRANT  /* 381 */
    T_VIEW  /* 382 */
    T_TABLE  /* 383 */
    T_PIPELINED  /* 384 */
    T_PIPEROW  /* 385 */
    T_FORALL  /* 386 */
    T_SAVE_EXCEPTIONS  /* 387 */
    T_INDICES  /* 388 */
    T_VALUES  /* 389 */
    T_JAVA_SOURCE_NAMED  /* 390 */
    T_JAVA_RESOURCE_NAMED  /* 391 */
    T_JAVA_CLASS_SCHEMA  /* 392 */
    T_AND_RESOLVE  /* 393 */
    T_AND_COMPILE  /* 394 */
    T_NOFORCE  /* 395 */
    T_EXTERNAL_LANGUAGE  /* 396 */
    T_EXTERNAL_NAME  /* 397 */
    T_EXTERNAL_LIBRARY  /* 398 */
    T_LANGUAGE_C  /* 399 */
    T_LANGUAGE_JAVA  /* 400 */
    T_WRAPPED  /* 401 */
    T_MATERIALIZED  /* 402 */
    T_GLOBAL_TEMPORARY  /* 403 */
    T_CLUSTER  /* 404 */
    T_XMLTYPE  /* 405 */
    T_REVOKE  /* 406 */
    T_TABLESPACE  /* 407 */
    T_UNKNOWN  /* 408 */
    T_USER  /* 409 */
    T_AGGREGATE  /* 410 */
    T_FORCE  /* 411 */
    T_ROLE  /* 412 */
    T_ROLLBACK_SEGMENT  /* 413 */
    T_PARM  /* 414 */
    T_SYNONYM  /* 415 */
    T_SHARED  /* 416 */
    T_ENABLE  /* 417 */
    T_PUBLIC  /* 418 */
    T_DATABASE_LINK  /* 419 */
    T_SETTRANSACTION  /* 420 */
    T_DATABASE  /* 421 */
    T_SUBTYPE  /* 422 */
    T_SEQUENCE  /* 423 */
    T_TEMPORARY_TABLESPACE  /* 424 */
    T_PARALLEL_ENABLE  /* 425 */
    T_PUBLIC_SYNONYM  /* 426 */
    T_CONSTRAINT  /* 427 */
    T_PRIMARY_KEY  /* 428 */
    T_FOREIGN_KEY  /* 429 */
    T_UNIQUE  /* 430 */
    T_CHECK  /* 431 */
    T_BITMAP  /* 432 */
    T_DIMENSION  /* 433 */
    T_DIRECTORY  /* 434 */
    T_ALTER  /* 435 */
    T_COMMENT_ON  /* 436 */
    T_PRIVATE  /* 437 */
    T_OUTLINE  /* 438 */
    T_UNDER  /* 439 */
%token '(' ')' ';' '.' '-'

%nterm
    program_list
    programs
    program
    create_java_source
    opt_and_resolve_or_compile
    opt_noforce
    opt_materialized
    opt_force_noforce
    create_type
    drop_type
    create_sequence
    drop_sequence
    alter_sequence
    create_tspace
    alter_tspace
    drop_tspace
    revoke_stmt
    grant_stmt
    comment_on
    create_role
    drop_role
    alter_role
    create_rollback
    drop_rollback
    alter_rollback
    create_dblink
    drop_dblink
    create_dimension
    drop_dimension
    alter_dimension
    create_cluster
    drop_cluster
    alter_cluster
    create_directory
    drop_directory
    create_outline
    drop_outline
    alter_outline
    create_user
    drop_user
    alter_user
    create_index
    create_synonym
    drop_synonym
    create_proc_stmt
    procedure
    create_table
    alter_table
    drop_table
    drop_index
    drop_view
    create_view_stmt
    create_func_stmt
    function
    create_pkg_stmt
    drop_pkg_stmt
    drop_pkg_head
    drop_pkg_body
    create_pkg_head
    create_pkg_body
    pkg_members
    pkg_member_list
    constructor
    pkg_member
    pkg_prototypes
    pkg_proto_list
    pkg_prototype
    proc_prototype
    func_prototype
    program_body
    external_func
    language_func
    first_decl_sect
    pl_block
    trigger_body
    block
    decl_sect
    decl_sub_prog
    decl_stmts
    col_decl
    simple_decl
    decl_stmt
    decl_oracle_pragma
    record_decl
    tab_cols
    col_decls
    simple_decls
    decl_datatype
    formal_arg_type
    opt_notnull
    opt_public
    opt_dflt_value
    opt_consName
    opt_unique
    opt_bitmap
    opt_enable
    optConstant
    opt_arg_dflt
    proc_stmts
    proc_stmt
    labeled_stmt
    stmt_pragma
    stmt_assign
    stmt_if
    stmt_loop
    stmt_while
    stmt_fetch
    stmt_close
    stmt_open
    stmt_exit
    stmt_continue
    stmt_goto
    stmt_for
    stmt_null
    stmt_return
    stmt_piperow
    stmt_forall
    stmt_case
    stmt_dynexecute
    immediate_exp
    opt_into_clause
    opt_using_clause
    using_list
    using_param
    exp_until_comma_return
    opt_return_clause
    trig_cols
    stmt_raise
    stmt_raise_app
    stmt_select
    stmt_create_trigger
    stmt_alter_trigger
    gobble_java
    exp_until_term
    exp_until_semi
    opt_exp_until_semi
    selectExpr
    selectWithParens
    selectNoParens
    optCTE
    dflt_value
    elseif_sect
    else_sect
    exp_until_then
    exp_until_select
    exp_until_sql
    exp_until_using
    opt_open_using
    loop_body
    exp_until_loop
    select_target
    into_clause
    exp_until_from
    from_clause
    stmt_execsql
    exception_sect
    proc_exceptions
    proc_exception
    proc_conditions
    opt_target
    opt_label
    optEndName
    lno
    opt_assign
    opt_when_expr
    opt_rec_colname
    param_exp
    actual_args
    opt_formal_args
    formal_args
    formal_arg
    opt_mode
    optNoCopy
    optReverse
    simple_func_expr
    case_exprs
    case_expr
    case_default
    exp_until_rparen
    exp_until_commaparen
    opt_exp_until_when
    as_is
    opt_or_replace
    authid
    opt_authid
    optFunctionOpts
    functionOpts
    functionOpt
    triggerPoint
    triggerEvents
    triggerEvent
    optColumnList
    columnList
    optCondition
    optReferencing
    referencingList
    referenceClause
    optForEachRow
    optFollows
    optDisable
    optCompound
    varrayDim
    signedInteger
    optSemiColon
    varKeyword
    typeKeyword
    schemaKeyword
    declVarName
    varName
    typeName
    schemaObjectName
    cursorName
    triggerName
    procedureName
    functionName
    packageName
    exceptionName
    labelName
    tableName
    viewName
    seqName
    synName
    roleName
    userName
    indexName
    clusterName

%start program_list

%%

program_list
    : programs  /* 2 */
    ;

programs
    : programs program  /* 3 */
    | program  /* 4 */
    | error  /* 5 */
    | programs error  /* 6 */
    ;

program
    : create_proc_stmt  /* 7 */
    | create_func_stmt  /* 8 */
    | create_pkg_stmt  /* 9 */
    | drop_pkg_stmt optSemiColon  /* 10 */
    | stmt_create_trigger  /* 11 */
    | stmt_alter_trigger  /* 12 */
    | stmt_execsql optSemiColon  /* 13 */
    | stmt_pragma optSemiColon  /* 14 */
    | pl_block  /* 15 */
    | T_TERMINATOR  /* 16 */
    | create_cluster optSemiColon  /* 17 */
    | create_dblink optSemiColon  /* 18 */
    | create_dimension optSemiColon  /* 19 */
    | create_directory optSemiColon  /* 20 */
    | create_index optSemiColon  /* 21 */
    | create_java_source  /* 22 */
    | create_outline optSemiColon  /* 23 */
    | create_role optSemiColon  /* 24 */
    | create_rollback optSemiColon  /* 25 */
    | create_sequence optSemiColon  /* 26 */
    | create_synonym optSemiColon  /* 27 */
    | create_table  /* 28 */
    | create_tspace  /* 29 */
    | create_type  /* 30 */
    | create_view_stmt optSemiColon  /* 31 */
    | create_user optSemiColon  /* 32 */
    | drop_cluster optSemiColon  /* 33 */
    | drop_dblink optSemiColon  /* 34 */
    | drop_dimension optSemiColon  /* 35 */
    | drop_directory optSemiColon  /* 36 */
    | drop_index optSemiColon  /* 37 */
    | drop_outline optSemiColon  /* 38 */
    | drop_role optSemiColon  /* 39 */
    | drop_rollback optSemiColon  /* 40 */
    | drop_sequence optSemiColon  /* 41 */
    | drop_synonym optSemiColon  /* 42 */
    | drop_table  /* 43 */
    | drop_tspace  /* 44 */
    | drop_type  /* 45 */
    | drop_user optSemiColon  /* 46 */
    | drop_view optSemiColon  /* 47 */
    | grant_stmt optSemiColon  /* 48 */
    | revoke_stmt optSemiColon  /* 49 */
    | alter_cluster optSemiColon  /* 50 */
    | alter_dimension optSemiColon  /* 51 */
    | alter_outline optSemiColon  /* 52 */
    | alter_role optSemiColon  /* 53 */
    | alter_rollback optSemiColon  /* 54 */
    | alter_sequence optSemiColon  /* 55 */
    | alter_table optSemiColon  /* 56 */
    | alter_tspace optSemiColon  /* 57 */
    | alter_user optSemiColon  /* 58 */
    | comment_on optSemiColon  /* 59 */
    ;

create_java_source
    : T_CREATE opt_or_replace opt_and_resolve_or_compile opt_noforce T_JAVA_SOURCE_NAMED lno T_WORD as_is gobble_java T_TERMINATOR  /* 60 */
    | T_CREATE opt_or_replace opt_and_resolve_or_compile opt_noforce T_JAVA_RESOURCE_NAMED lno T_WORD as_is gobble_java T_TERMINATOR  /* 61 */
    | T_CREATE opt_or_replace opt_and_resolve_or_compile opt_noforce T_JAVA_CLASS_SCHEMA lno T_WORD as_is gobble_java T_TERMINATOR  /* 62 */
    ;

opt_and_resolve_or_compile
    : %empty  /* 63 */
    | T_AND_RESOLVE  /* 64 */
    | T_AND_COMPILE  /* 65 */
    ;

opt_noforce
    : %empty  /* 66 */
    | T_NOFORCE  /* 67 */
    ;

opt_materialized
    : %empty  /* 68 */
    | T_MATERIALIZED  /* 69 */
    ;

opt_force_noforce
    : %empty  /* 70 */
    | T_NOFORCE  /* 71 */
    | T_FORCE  /* 72 */
    ;

create_type
    : T_CREATE opt_or_replace T_TYPE typeName opt_authid as_is exp_until_term  /* 73 */
    | T_CREATE opt_or_replace T_TYPE typeName opt_authid T_UNDER exp_until_term  /* 74 */
    | T_CREATE opt_or_replace T_TYPE T_BODY typeName opt_authid as_is exp_until_term  /* 75 */
    | T_CREATE opt_or_replace T_TYPE typeName T_WRAPPED exp_until_term  /* 76 */
    | T_CREATE opt_or_replace T_TYPE T_BODY typeName T_WRAPPED exp_until_term  /* 77 */
    ;

drop_type
    : T_DROP T_TYPE typeName opt_exp_until_semi optSemiColon  /* 78 */
    ;

create_sequence
    : T_CREATE T_SEQUENCE seqName exp_until_semi  /* 79 */
    ;

drop_sequence
    : T_DROP T_SEQUENCE seqName opt_exp_until_semi optSemiColon  /* 80 */
    ;

alter_sequence
    : T_ALTER T_SEQUENCE seqName opt_exp_until_semi optSemiColon  /* 81 */
    ;

create_tspace
    : T_CREATE T_TABLESPACE exp_until_semi optSemiColon  /* 82 */
    | T_CREATE T_TEMPORARY_TABLESPACE exp_until_semi optSemiColon  /* 83 */
    ;

alter_tspace
    : T_ALTER T_TABLESPACE exp_until_semi optSemiColon  /* 84 */
    ;

drop_tspace
    : T_DROP T_TABLESPACE opt_exp_until_semi optSemiColon  /* 85 */
    ;

revoke_stmt
    : T_REVOKE opt_exp_until_semi  /* 86 */
    ;

grant_stmt
    : T_GRANT opt_exp_until_semi  /* 87 */
    ;

comment_on
    : T_COMMENT_ON opt_exp_until_semi  /* 88 */
    ;

create_role
    : T_CREATE T_ROLE roleName opt_exp_until_semi  /* 89 */
    ;

drop_role
    : T_DROP T_ROLE roleName opt_exp_until_semi  /* 90 */
    ;

alter_role
    : T_ALTER T_ROLE roleName opt_exp_until_semi  /* 91 */
    ;

create_rollback
    : T_CREATE T_ROLLBACK_SEGMENT opt_exp_until_semi  /* 92 */
    ;

drop_rollback
    : T_DROP T_ROLLBACK_SEGMENT opt_exp_until_semi  /* 93 */
    ;

alter_rollback
    : T_ALTER T_ROLLBACK_SEGMENT opt_exp_until_semi  /* 94 */
    ;

create_dblink
    : T_CREATE T_DATABASE_LINK opt_exp_until_semi  /* 95 */
    | T_CREATE T_PUBLIC T_DATABASE_LINK opt_exp_until_semi  /* 96 */
    | T_CREATE T_SHARED T_DATABASE_LINK opt_exp_until_semi  /* 97 */
    ;

drop_dblink
    : T_DROP opt_public T_DATABASE_LINK opt_exp_until_semi  /* 98 */
    ;

create_dimension
    : T_CREATE T_DIMENSION opt_exp_until_semi  /* 99 */
    ;

drop_dimension
    : T_DROP T_DIMENSION opt_exp_until_semi  /* 100 */
    ;

alter_dimension
    : T_ALTER T_DIMENSION opt_exp_until_semi  /* 101 */
    ;

create_cluster
    : T_CREATE T_CLUSTER opt_exp_until_semi  /* 102 */
    ;

drop_cluster
    : T_DROP T_CLUSTER opt_exp_until_semi  /* 103 */
    ;

alter_cluster
    : T_ALTER T_CLUSTER opt_exp_until_semi  /* 104 */
    ;

create_directory
    : T_CREATE opt_or_replace T_DIRECTORY opt_exp_until_semi  /* 105 */
    ;

drop_directory
    : T_DROP T_DIRECTORY opt_exp_until_semi  /* 106 */
    ;

create_outline
    : T_CREATE opt_or_replace T_OUTLINE opt_exp_until_semi  /* 107 */
    | T_CREATE opt_or_replace T_PRIVATE T_OUTLINE opt_exp_until_semi  /* 108 */
    ;

drop_outline
    : T_DROP T_OUTLINE opt_exp_until_semi  /* 109 */
    ;

alter_outline
    : T_ALTER T_OUTLINE opt_exp_until_semi  /* 110 */
    ;

create_user
    : T_CREATE T_USER userName opt_exp_until_semi  /* 111 */
    ;

drop_user
    : T_DROP T_USER userName opt_exp_until_semi  /* 112 */
    ;

alter_user
    : T_ALTER T_USER userName opt_exp_until_semi  /* 113 */
    ;

create_index
    : T_CREATE opt_unique opt_bitmap T_INDEX indexName opt_exp_until_semi  /* 114 */
    ;

create_synonym
    : T_CREATE opt_or_replace T_SYNONYM synName opt_exp_until_semi  /* 115 */
    | T_CREATE opt_or_replace T_PUBLIC_SYNONYM synName opt_exp_until_semi  /* 116 */
    ;

drop_synonym
    : T_DROP T_SYNONYM synName opt_exp_until_semi optSemiColon  /* 117 */
    | T_DROP T_PUBLIC_SYNONYM synName opt_exp_until_semi optSemiColon  /* 118 */
    ;

create_proc_stmt
    : T_CREATE opt_or_replace procedure optSemiColon  /* 119 */
    | T_CREATE opt_or_replace T_PROCEDURE procedureName T_WRAPPED exp_until_term  /* 120 */
    ;

procedure
    : T_PROCEDURE procedureName opt_formal_args opt_authid as_is program_body  /* 121 */
    ;

create_table
    : T_CREATE T_TABLE tableName tab_cols opt_exp_until_semi optSemiColon  /* 122 */
    | T_CREATE T_GLOBAL_TEMPORARY T_TABLE tableName opt_exp_until_semi optSemiColon  /* 123 */
    | T_CREATE T_TABLE tableName T_OF T_XMLTYPE opt_exp_until_semi optSemiColon  /* 124 */
    | T_CREATE T_TABLE tableName opt_exp_until_semi optSemiColon  /* 125 */
    ;

alter_table
    : T_ALTER T_TABLE tableName opt_exp_until_semi optSemiColon  /* 126 */
    ;

drop_table
    : T_DROP T_TABLE tableName opt_exp_until_semi optSemiColon  /* 127 */
    ;

drop_index
    : T_DROP T_INDEX indexName opt_exp_until_semi  /* 128 */
    ;

drop_view
    : T_DROP opt_materialized T_VIEW viewName opt_exp_until_semi optSemiColon  /* 129 */
    ;

create_view_stmt
    : T_CREATE opt_or_replace opt_force_noforce opt_materialized T_VIEW viewName T_OF typeName opt_exp_until_semi optSemiColon  /* 130 */
    | T_CREATE opt_or_replace opt_force_noforce opt_materialized T_VIEW viewName '(' exp_until_rparen ')' opt_exp_until_semi optSemiColon  /* 131 */
    | T_CREATE opt_or_replace opt_force_noforce opt_materialized T_VIEW viewName opt_exp_until_semi optSemiColon  /* 132 */
    ;

create_func_stmt
    : T_CREATE opt_or_replace function optSemiColon  /* 133 */
    | T_CREATE opt_or_replace T_FUNCTION functionName T_WRAPPED exp_until_term  /* 134 */
    ;

function
    : T_FUNCTION functionName opt_formal_args T_RETURN formal_arg_type optFunctionOpts as_is program_body  /* 135 */
    | T_FUNCTION functionName opt_formal_args T_RETURN formal_arg_type optFunctionOpts  /* 136 */
    ;

create_pkg_stmt
    : create_pkg_head  /* 137 */
    | create_pkg_body  /* 138 */
    ;

drop_pkg_stmt
    : drop_pkg_head  /* 139 */
    | drop_pkg_body  /* 140 */
    ;

drop_pkg_head
    : T_DROP T_PACKAGE packageName  /* 141 */
    | T_DROP T_FUNCTION functionName  /* 142 */
    | T_DROP T_PROCEDURE procedureName  /* 143 */
    ;

drop_pkg_body
    : T_DROP T_PACKAGE T_BODY packageName  /* 144 */
    ;

create_pkg_head
    : T_CREATE opt_or_replace T_PACKAGE packageName opt_authid as_is pkg_prototypes optEndName optSemiColon  /* 145 */
    | T_CREATE opt_or_replace T_PACKAGE packageName T_WRAPPED exp_until_term  /* 146 */
    ;

create_pkg_body
    : T_CREATE opt_or_replace T_PACKAGE T_BODY packageName as_is pkg_members optEndName optSemiColon  /* 147 */
    | T_CREATE opt_or_replace T_PACKAGE T_BODY packageName T_WRAPPED exp_until_term  /* 148 */
    ;

pkg_members
    : pkg_member_list T_END  /* 149 */
    | pkg_member_list constructor  /* 150 */
    | constructor  /* 151 */
    | T_END  /* 152 */
    ;

pkg_member_list
    : pkg_member_list pkg_member  /* 153 */
    | pkg_member  /* 154 */
    | error  /* 155 */
    | pkg_member_list error  /* 156 */
    ;

constructor
    : T_BEGIN proc_stmts exception_sect T_END  /* 157 */
    ;

pkg_member
    : procedure ';'  /* 158 */
    | function ';'  /* 159 */
    | decl_stmt  /* 160 */
    | func_prototype  /* 161 */
    | proc_prototype  /* 162 */
    ;

pkg_prototypes
    : pkg_proto_list T_END  /* 163 */
    | T_END  /* 164 */
    ;

pkg_proto_list
    : pkg_proto_list pkg_prototype  /* 165 */
    | pkg_prototype  /* 166 */
    | error  /* 167 */
    | pkg_proto_list error  /* 168 */
    ;

pkg_prototype
    : func_prototype  /* 169 */
    | proc_prototype  /* 170 */
    | decl_stmt  /* 171 */
    ;

proc_prototype
    : T_PROCEDURE procedureName opt_formal_args ';'  /* 172 */
    ;

func_prototype
    : T_FUNCTION functionName opt_formal_args T_RETURN formal_arg_type optFunctionOpts exp_until_semi ';'  /* 173 */
    ;

program_body
    : first_decl_sect T_BEGIN proc_stmts exception_sect T_END optEndName  /* 174 */
    | external_func lno exp_until_semi  /* 175 */
    | language_func lno exp_until_semi  /* 176 */
    ;

external_func
    : T_EXTERNAL_LANGUAGE  /* 177 */
    | T_EXTERNAL_NAME  /* 178 */
    | T_EXTERNAL_LIBRARY  /* 179 */
    ;

language_func
    : T_LANGUAGE_C  /* 180 */
    | T_LANGUAGE_JAVA  /* 181 */
    ;

first_decl_sect
    : decl_sect  /* 182 */
    | T_DECLARE decl_sect  /* 183 */
    ;

pl_block
    : block optSemiColon  /* 184 */
    ;

trigger_body
    : block optEndName optSemiColon  /* 185 */
    ;

block
    : T_DECLARE decl_sect T_BEGIN proc_stmts exception_sect T_END  /* 186 */
    | T_BEGIN proc_stmts exception_sect T_END  /* 187 */
    ;

decl_sect
    : %empty  /* 188 */
    | decl_stmts  /* 189 */
    ;

decl_sub_prog
    : procedure ';'  /* 190 */
    | function ';'  /* 191 */
    ;

decl_stmts
    : decl_stmts decl_stmt  /* 192 */
    | decl_stmt  /* 193 */
    | error  /* 194 */
    | decl_stmts error  /* 195 */
    ;

col_decl
    : declVarName lno decl_datatype opt_notnull opt_enable opt_dflt_value exp_until_commaparen  /* 196 */
    | opt_consName T_PRIMARY_KEY opt_unique '(' exp_until_rparen ')' exp_until_commaparen  /* 197 */
    | opt_consName T_PRIMARY_KEY opt_unique T_WORD exp_until_commaparen  /* 198 */
    | opt_consName T_FOREIGN_KEY '(' exp_until_rparen ')' exp_until_commaparen  /* 199 */
    | opt_consName T_FOREIGN_KEY T_WORD exp_until_commaparen  /* 200 */
    | opt_consName T_UNIQUE '(' exp_until_rparen ')' exp_until_commaparen  /* 201 */
    | opt_consName T_UNIQUE T_WORD exp_until_commaparen  /* 202 */
    | opt_consName T_CHECK '(' exp_until_rparen ')' opt_enable  /* 203 */
    ;

simple_decl
    : declVarName lno optConstant decl_datatype opt_notnull opt_enable opt_dflt_value  /* 204 */
    ;

decl_stmt
    : simple_decl ';'  /* 205 */
    | T_CURSOR cursorName T_IS exp_until_semi ';'  /* 206 */
    | T_CURSOR cursorName '(' formal_args ')' T_IS exp_until_semi ';'  /* 207 */
    | T_CURSOR cursorName '(' formal_args ')' T_RETURN decl_datatype T_IS exp_until_semi ';'  /* 208 */
    | T_TYPE declVarName T_IS T_RECORD record_decl ';'  /* 209 */
    | T_TYPE declVarName T_IS T_TABLE T_OF decl_datatype opt_notnull T_INDEX T_BY decl_datatype ';'  /* 210 */
    | T_TYPE declVarName T_IS T_TABLE T_OF decl_datatype ';'  /* 211 */
    | T_SUBTYPE declVarName T_IS decl_datatype opt_notnull ';'  /* 212 */
    | T_TYPE declVarName T_IS T_REFCURSOR ';'  /* 213 */
    | T_TYPE declVarName T_IS T_REFCURSOR T_RETURN decl_datatype ';'  /* 214 */
    | T_TYPE declVarName T_IS T_VARRAY varrayDim T_OF decl_datatype ';'  /* 215 */
    | declVarName lno T_EXCEPTION ';'  /* 216 */
    | T_PRAGMA T_EXCEPTION_INIT '(' exceptionName T_COMMA signedInteger ')' ';'  /* 217 */
    | T_PRAGMA T_AUTONOMOUS_XACT ';'  /* 218 */
    | decl_sub_prog  /* 219 */
    | decl_oracle_pragma  /* 220 */
    ;

decl_oracle_pragma
    : T_PRAGMA lno exp_until_semi ';'  /* 221 */
    ;

record_decl
    : '(' simple_decls ')'  /* 222 */
    ;

tab_cols
    : '(' col_decls ')'  /* 223 */
    ;

col_decls
    : col_decls T_COMMA col_decl  /* 224 */
    | col_decl  /* 225 */
    ;

simple_decls
    : simple_decls T_COMMA simple_decl  /* 226 */
    | simple_decl  /* 227 */
    ;

decl_datatype
    : typeName  /* 228 */
    ;

formal_arg_type
    : typeName  /* 229 */
    ;

opt_notnull
    : %empty  /* 230 */
    | T_NOT T_NULL  /* 231 */
    ;

opt_public
    : %empty  /* 232 */
    | T_PUBLIC  /* 233 */
    ;

opt_dflt_value
    : %empty  /* 234 */
    | T_ASSIGN dflt_value  /* 235 */
    | T_DEFAULT dflt_value  /* 236 */
    ;

opt_consName
    : %empty  /* 237 */
    | T_CONSTRAINT T_WORD  /* 238 */
    | T_CONSTRAINT  /* 239 */
    | T_WORD  /* 240 */
    ;

opt_unique
    : %empty  /* 241 */
    | T_UNIQUE  /* 242 */
    ;

opt_bitmap
    : %empty  /* 243 */
    | T_BITMAP  /* 244 */
    ;

opt_enable
    : %empty  /* 245 */
    | T_ENABLE  /* 246 */
    | T_DISABLE  /* 247 */
    ;

optConstant
    : %empty  /* 248 */
    | T_CONSTANT  /* 249 */
    ;

opt_arg_dflt
    : %empty  /* 250 */
    | T_DEFAULT  /* 251 */
    | T_ASSIGN  /* 252 */
    ;

proc_stmts
    : proc_stmts proc_stmt  /* 253 */
    | proc_stmt  /* 254 */
    | error  /* 255 */
    | proc_stmts error  /* 256 */
    ;

proc_stmt
    : opt_label labeled_stmt  /* 257 */
    | opt_label pl_block  /* 258 */
    ;

labeled_stmt
    : stmt_assign  /* 259 */
    | stmt_if  /* 260 */
    | stmt_loop  /* 261 */
    | stmt_while  /* 262 */
    | stmt_select  /* 263 */
    | stmt_execsql ';'  /* 264 */
    | stmt_fetch  /* 265 */
    | stmt_close  /* 266 */
    | stmt_open  /* 267 */
    | stmt_exit  /* 268 */
    | stmt_continue  /* 269 */
    | stmt_goto  /* 270 */
    | stmt_for  /* 271 */
    | param_exp ';'  /* 272 */
    | stmt_null  /* 273 */
    | stmt_return  /* 274 */
    | simple_func_expr  /* 275 */
    | stmt_case  /* 276 */
    | stmt_dynexecute  /* 277 */
    | stmt_raise  /* 278 */
    | stmt_raise_app  /* 279 */
    | stmt_pragma  /* 280 */
    | stmt_piperow  /* 281 */
    | stmt_forall  /* 282 */
    ;

stmt_pragma
    : T_PRAGMA T_ALIAS decl_datatype T_ASSIGN T_STRING  /* 283 */
    ;

stmt_assign
    : varName lno T_ASSIGN exp_until_semi ';'  /* 284 */
    | T_TRIG_VAR lno T_ASSIGN exp_until_semi ';'  /* 285 */
    ;

stmt_if
    : T_IF exp_until_then T_THEN proc_stmts elseif_sect else_sect T_END T_IF ';'  /* 286 */
    ;

stmt_loop
    : T_LOOP loop_body ';'  /* 287 */
    ;

stmt_while
    : T_WHILE exp_until_loop loop_body ';'  /* 288 */
    ;

stmt_fetch
    : T_FETCH cursorName T_INTO exp_until_semi ';'  /* 289 */
    | T_FETCH cursorName T_BULK T_COLLECT T_INTO exp_until_semi ';'  /* 290 */
    ;

stmt_close
    : T_CLOSE cursorName ';'  /* 291 */
    ;

stmt_open
    : T_OPEN cursorName ';'  /* 292 */
    | T_OPEN cursorName T_FOR selectExpr ';'  /* 293 */
    | T_OPEN cursorName T_FOR exp_until_using opt_open_using ';'  /* 294 */
    | T_OPEN cursorName '(' actual_args ')' ';'  /* 295 */
    ;

stmt_exit
    : T_EXIT opt_target opt_when_expr ';'  /* 296 */
    ;

stmt_continue
    : T_CONTINUE opt_target opt_when_expr ';'  /* 297 */
    ;

stmt_goto
    : T_GOTO labelName ';'  /* 298 */
    ;

stmt_for
    : T_FOR varName T_IN optReverse exp_until_loop loop_body ';'  /* 299 */
    ;

stmt_null
    : T_NULL ';'  /* 300 */
    ;

stmt_return
    : T_RETURN opt_exp_until_semi ';'  /* 301 */
    ;

stmt_piperow
    : T_PIPEROW lno exp_until_semi ';'  /* 302 */
    ;

stmt_forall
    : T_FORALL T_WORD T_IN exp_until_sql stmt_dynexecute  /* 303 */
    | T_FORALL T_WORD T_IN exp_until_sql stmt_execsql ';'  /* 304 */
    ;

stmt_case
    : T_CASE opt_exp_until_when case_exprs case_default T_END T_CASE ';'  /* 305 */
    ;

stmt_dynexecute
    : T_EXECUTE T_IMMEDIATE immediate_exp opt_into_clause opt_using_clause opt_return_clause ';'  /* 306 */
    ;

immediate_exp
    : %empty  /* 307 */
    ;

opt_into_clause
    : %empty  /* 308 */
    | T_INTO  /* 309 */
    ;

opt_using_clause
    : %empty  /* 310 */
    | T_USING using_list  /* 311 */
    ;

using_list
    : using_list T_COMMA using_param  /* 312 */
    | using_param  /* 313 */
    ;

using_param
    : opt_mode lno exp_until_comma_return  /* 314 */
    ;

exp_until_comma_return
    : %empty  /* 315 */
    ;

opt_return_clause
    : %empty  /* 316 */
    | T_RETURNING  /* 317 */
    | T_RETURNING T_INTO  /* 318 */
    | T_RETURN  /* 319 */
    | T_RETURN T_INTO  /* 320 */
    ;

trig_cols
    : %empty  /* 321 */
    ;

stmt_raise
    : T_RAISE exceptionName ';'  /* 322 */
    | T_RAISE ';'  /* 323 */
    ;

stmt_raise_app
    : T_RAISE_APP_ERROR '(' signedInteger T_COMMA exp_until_rparen ')' ';'  /* 324 */
    | T_RAISE_APP_ERROR '(' T_WORD T_COMMA exp_until_rparen ')' ';'  /* 325 */
    | T_RAISE_APP_ERROR '(' T_SQLCODE T_COMMA exp_until_rparen ')' ';'  /* 326 */
    ;

stmt_select
    : selectNoParens ';'  /* 327 */
    ;

stmt_create_trigger
    : T_CREATE opt_or_replace T_TRIGGER triggerName triggerPoint triggerEvents T_ON schemaObjectName optReferencing optForEachRow optFollows optDisable optCompound optCondition trigger_body  /* 328 */
    | T_CREATE opt_or_replace T_TRIGGER triggerName triggerPoint triggerEvents T_OF trig_cols T_ON schemaObjectName optReferencing optForEachRow optFollows optDisable optCompound optCondition trigger_body  /* 329 */
    ;

stmt_alter_trigger
    : T_ALTER T_TRIGGER lno triggerName opt_exp_until_semi optSemiColon  /* 330 */
    ;

gobble_java
    : %empty  /* 331 */
    ;

exp_until_term
    : %empty  /* 332 */
    ;

exp_until_semi
    : %empty  /* 333 */
    ;

opt_exp_until_semi
    : %empty  /* 334 */
    ;

selectExpr
    : selectNoParens  /* 335 */
    | selectWithParens  /* 336 */
    ;

selectWithParens
    : '(' selectNoParens ')'  /* 337 */
    | '(' selectWithParens ')'  /* 338 */
    ;

selectNoParens
    : optCTE T_SELECT select_target into_clause from_clause  /* 339 */
    | optCTE T_SELECT select_target T_BULK T_COLLECT into_clause from_clause  /* 340 */
    ;

optCTE
    : T_WITH exp_until_select  /* 341 */
    | %empty  /* 342 */
    ;

dflt_value
    : %empty  /* 343 */
    ;

elseif_sect
    : %empty  /* 344 */
    | T_ELSIF exp_until_then T_THEN proc_stmts elseif_sect  /* 345 */
    ;

else_sect
    : %empty  /* 346 */
    | T_ELSE lno proc_stmts  /* 347 */
    ;

exp_until_then
    : %empty  /* 348 */
    ;

exp_until_select
    : %empty  /* 349 */
    ;

exp_until_sql
    : T_SAVE_EXCEPTIONS exp_until_sql  /* 350 */
    | %empty  /* 351 */
    ;

exp_until_using
    : %empty  /* 352 */
    ;

opt_open_using
    : %empty  /* 353 */
    | T_USING exp_until_semi  /* 354 */
    ;

loop_body
    : proc_stmts T_END T_LOOP optEndName  /* 355 */
    ;

exp_until_loop
    : %empty  /* 356 */
    ;

select_target
    : %empty  /* 357 */
    ;

into_clause
    : %empty  /* 358 */
    | T_INTO exp_until_from  /* 359 */
    ;

exp_until_from
    : %empty  /* 360 */
    ;

from_clause
    : T_FROM exp_until_semi  /* 361 */
    ;

stmt_execsql
    : T_INSERT exp_until_semi  /* 362 */
    | T_UPDATE exp_until_semi  /* 363 */
    | T_DELETE exp_until_semi  /* 364 */
    | T_START T_TRANSACTION  /* 365 */
    | T_MERGE exp_until_semi  /* 366 */
    | T_LOCK exp_until_semi  /* 367 */
    | T_ROLLBACK opt_exp_until_semi  /* 368 */
    | T_SAVEPOINT exp_until_semi  /* 369 */
    | T_TRUNCATE exp_until_semi  /* 370 */
    | T_COMMIT opt_exp_until_semi  /* 371 */
    | T_SETTRANSACTION lno opt_exp_until_semi  /* 372 */
    ;

exception_sect
    : %empty  /* 373 */
    | T_EXCEPTION proc_exceptions  /* 374 */
    ;

proc_exceptions
    : proc_exceptions proc_exception  /* 375 */
    | proc_exception  /* 376 */
    ;

proc_exception
    : T_WHEN proc_conditions T_THEN proc_stmts  /* 377 */
    ;

proc_conditions
    : proc_conditions T_OR exceptionName  /* 378 */
    | exceptionName  /* 379 */
    ;

opt_target
    : %empty  /* 380 */
    | labelName  /* 381 */
    ;

opt_label
    : %empty  /* 382 */
    | T_LABEL_BEG labelName T_LABEL_END  /* 383 */
    ;

optEndName
    : %empty  /* 384 */
    | schemaObjectName  /* 385 */
    ;

lno
    : %empty  /* 386 */
    ;

opt_assign
    : T_ASSIGN exp_until_semi ';'  /* 387 */
    | %empty  /* 388 */
    ;

opt_when_expr
    : T_WHEN exp_until_semi  /* 389 */
    | %empty  /* 390 */
    ;

opt_rec_colname
    : '.' varName  /* 391 */
    | %empty  /* 392 */
    ;

param_exp
    : T_WORD lno '(' actual_args ')' opt_rec_colname opt_assign  /* 393 */
    | T_DTYPE lno '(' actual_args ')' opt_rec_colname opt_assign  /* 394 */
    ;

actual_args
    : exp_until_rparen  /* 395 */
    ;

opt_formal_args
    : %empty  /* 396 */
    | '(' formal_args ')'  /* 397 */
    ;

formal_args
    : formal_args T_COMMA formal_arg  /* 398 */
    | formal_arg  /* 399 */
    | error  /* 400 */
    | formal_args error  /* 401 */
    ;

formal_arg
    : varName lno opt_mode formal_arg_type opt_arg_dflt  /* 402 */
    ;

opt_mode
    : %empty  /* 403 */
    | T_IN  /* 404 */
    | T_OUT optNoCopy  /* 405 */
    | T_IN T_OUT optNoCopy  /* 406 */
    ;

optNoCopy
    : %empty  /* 407 */
    | T_NOCOPY  /* 408 */
    ;

optReverse
    : %empty  /* 409 */
    | T_REVERSE  /* 410 */
    ;

simple_func_expr
    : T_WORD lno ';'  /* 411 */
    | T_DTYPE lno ';'  /* 412 */
    ;

case_exprs
    : case_exprs case_expr  /* 413 */
    | case_expr  /* 414 */
    ;

case_expr
    : T_WHEN exp_until_then T_THEN proc_stmts  /* 415 */
    ;

case_default
    : %empty  /* 416 */
    | T_ELSE proc_stmts  /* 417 */
    ;

exp_until_rparen
    : %empty  /* 418 */
    ;

exp_until_commaparen
    : %empty  /* 419 */
    ;

opt_exp_until_when
    : %empty  /* 420 */
    ;

as_is
    : T_IS  /* 421 */
    | T_AS  /* 422 */
    ;

opt_or_replace
    : %empty  /* 423 */
    | T_OR T_REPLACE  /* 424 */
    ;

authid
    : T_AUTHID T_CURRENT_USER  /* 425 */
    | T_AUTHID T_DEFINER  /* 426 */
    ;

opt_authid
    : %empty  /* 427 */
    | authid  /* 428 */
    ;

optFunctionOpts
    : %empty  /* 429 */
    | functionOpts  /* 430 */
    ;

functionOpts
    : functionOpts functionOpt  /* 431 */
    | functionOpt  /* 432 */
    ;

functionOpt
    : authid lno  /* 433 */
    | T_DETERMINISTIC  /* 434 */
    | T_PIPELINED lno  /* 435 */
    | T_PIPELINED lno T_USING functionName  /* 436 */
    | T_CLUSTER lno clusterName T_BY '(' exp_until_rparen ')'  /* 437 */
    | T_CLUSTER lno T_BY '(' exp_until_rparen ')'  /* 438 */
    | T_PARALLEL_ENABLE lno '(' exp_until_rparen ')'  /* 439 */
    | T_AGGREGATE T_USING functionName  /* 440 */
    | T_PARALLEL_ENABLE lno  /* 441 */
    ;

triggerPoint
    : T_BEFORE  /* 442 */
    | T_AFTER  /* 443 */
    | T_FOR  /* 444 */
    | T_INSTEAD T_OF  /* 445 */
    ;

triggerEvents
    : triggerEvents T_OR triggerEvent  /* 446 */
    | triggerEvent  /* 447 */
    ;

triggerEvent
    : T_INSERT  /* 448 */
    | T_UPDATE optColumnList  /* 449 */
    | T_DELETE  /* 450 */
    ;

optColumnList
    : %empty  /* 451 */
    | T_OF columnList  /* 452 */
    ;

columnList
    : columnList T_COMMA schemaObjectName  /* 453 */
    | schemaObjectName  /* 454 */
    ;

optCondition
    : %empty  /* 455 */
    | T_WHEN '(' exp_until_rparen ')'  /* 456 */
    ;

optReferencing
    : %empty  /* 457 */
    | T_REFERENCING referencingList  /* 458 */
    ;

referencingList
    : referencingList referenceClause  /* 459 */
    | referenceClause  /* 460 */
    ;

referenceClause
    : T_OLD T_AS varName  /* 461 */
    | T_NEW T_AS varName  /* 462 */
    | T_PARENT T_AS varName  /* 463 */
    ;

optForEachRow
    : %empty  /* 464 */
    | T_FOR T_EACH T_ROW  /* 465 */
    ;

optFollows
    : %empty  /* 466 */
    | T_FOLLOWS triggerName  /* 467 */
    ;

optDisable
    : %empty  /* 468 */
    | T_DISABLE  /* 469 */
    ;

optCompound
    : %empty  /* 470 */
    | T_COMPOUND T_TRIGGER  /* 471 */
    ;

varrayDim
    : '(' T_DIGITS ')'  /* 472 */
    ;

signedInteger
    : T_DIGITS  /* 473 */
    | '-' T_DIGITS  /* 474 */
    ;

optSemiColon
    : %empty  /* 475 */
    | ';'  /* 476 */
    ;

varKeyword
    : T_AFTER  /* 477 */
    | T_ALIAS  /* 478 */
    | T_AS  /* 479 */
    | T_AUTHID  /* 480 */
    | T_AUTONOMOUS_XACT  /* 481 */
    | T_BEFORE  /* 482 */
    | T_BY  /* 483 */
    | T_CASE  /* 484 */
    | T_CLOSE  /* 485 */
    | T_COMMIT  /* 486 */
    | T_COMPOUND  /* 487 */
    | T_CONTINUE  /* 488 */
    | T_CURRENT_USER  /* 489 */
    | T_DEFAULT  /* 490 */
    | T_DEFINER  /* 491 */
    | T_DELETE  /* 492 */
    | T_DIMENSION  /* 493 */
    | T_DISABLE  /* 494 */
    | T_EACH  /* 495 */
    | T_ENABLE  /* 496 */
    | T_EXCEPTION_INIT  /* 497 */
    | T_EXECUTE  /* 498 */
    | T_EXIT  /* 499 */
    | T_FETCH  /* 500 */
    | T_FOLLOWS  /* 501 */
    | T_FOR  /* 502 */
    | T_FROM  /* 503 */
    | T_GOTO  /* 504 */
    | T_GRANT  /* 505 */
    | T_IF  /* 506 */
    | T_IMMEDIATE  /* 507 */
    | T_INDEX  /* 508 */
    | T_INSERT  /* 509 */
    | T_INSTEAD  /* 510 */
    | T_INTO  /* 511 */
    | T_IS  /* 512 */
    | T_LOCK  /* 513 */
    | T_LOOP  /* 514 */
    | T_MERGE  /* 515 */
    | T_NEW  /* 516 */
    | T_NOT  /* 517 */
    | T_NULL  /* 518 */
    | T_OF  /* 519 */
    | T_OLD  /* 520 */
    | T_ON  /* 521 */
    | T_OPEN  /* 522 */
    | T_OR  /* 523 */
    | T_PACKAGE  /* 524 */
    | T_PARENT  /* 525 */
    | T_RAISE  /* 526 */
    | T_RAISE_APP_ERROR  /* 527 */
    | T_RECORD  /* 528 */
    | T_REFCURSOR  /* 529 */
    | T_REFERENCING  /* 530 */
    | T_REPLACE  /* 531 */
    | T_RETURN  /* 532 */
    | T_RETURNING  /* 533 */
    | T_ROLLBACK  /* 534 */
    | T_ROLE  /* 535 */
    | T_ROW  /* 536 */
    | T_SAVEPOINT  /* 537 */
    | T_SEQUENCE  /* 538 */
    | T_SQLCODE  /* 539 */
    | T_SQLERRM  /* 540 */
    | T_SQLSTATE  /* 541 */
    | T_START  /* 542 */
    | T_SUBTYPE  /* 543 */
    | T_SYNONYM  /* 544 */
    | T_TABLE  /* 545 */
    | T_THEN  /* 546 */
    | T_TRANSACTION  /* 547 */
    | T_TRIGGER  /* 548 */
    | T_TRUNCATE  /* 549 */
    | T_UPDATE  /* 550 */
    | T_USER  /* 551 */
    | T_USING  /* 552 */
    | T_VARRAY  /* 553 */
    | T_VIEW  /* 554 */
    | T_WHERE  /* 555 */
    | T_WHILE  /* 556 */
    | T_TYPE  /* 557 */
    ;

typeKeyword
    : varKeyword  /* 558 */
    | T_CURSOR  /* 559 */
    | T_ELSE  /* 560 */
    | T_ELSIF  /* 561 */
    | T_END  /* 562 */
    | T_FUNCTION  /* 563 */
    | T_PROCEDURE  /* 564 */
    | T_REVERSE  /* 565 */
    | T_SELECT  /* 566 */
    | T_XMLTYPE  /* 567 */
    ;

schemaKeyword
    : typeKeyword  /* 568 */
    | T_CONSTANT  /* 569 */
    | T_EXCEPTION  /* 570 */
    | T_IN  /* 571 */
    | T_NOCOPY  /* 572 */
    | T_OUT  /* 573 */
    | T_BULK  /* 574 */
    | T_COLLECT  /* 575 */
    | T_WITH  /* 576 */
    | T_DETERMINISTIC  /* 577 */
    ;

declVarName
    : T_WORD  /* 578 */
    | varKeyword  /* 579 */
    ;

varName
    : declVarName  /* 580 */
    | T_BODY  /* 581 */
    ;

typeName
    : T_WORD  /* 582 */
    | T_DTYPE  /* 583 */
    | typeKeyword  /* 584 */
    ;

schemaObjectName
    : T_WORD  /* 585 */
    | T_DTYPE  /* 586 */
    | schemaKeyword  /* 587 */
    ;

cursorName
    : schemaObjectName  /* 588 */
    ;

triggerName
    : schemaObjectName  /* 589 */
    ;

procedureName
    : schemaObjectName  /* 590 */
    ;

functionName
    : schemaObjectName  /* 591 */
    ;

packageName
    : schemaObjectName  /* 592 */
    ;

exceptionName
    : schemaObjectName  /* 593 */
    ;

labelName
    : schemaObjectName  /* 594 */
    ;

tableName
    : schemaObjectName  /* 595 */
    ;

viewName
    : schemaObjectName  /* 596 */
    ;

seqName
    : schemaObjectName  /* 597 */
    ;

synName
    : schemaObjectName  /* 598 */
    ;

roleName
    : schemaObjectName  /* 599 */
    ;

userName
    : schemaObjectName  /* 600 */
    ;

indexName
    : schemaObjectName  /* 601 */
    ;

clusterName
    : schemaObjectName  /* 602 */
    ;

