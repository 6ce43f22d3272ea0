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

%code top {
/* The generated engine runs under a private name; xxparse below wraps it. */
#define xxparse xxparseEngine
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <cerrno>
#include <climits>
}

%code requires {
#include "token_reader.h"
struct ParseContext;
}

%code provides {
/* Builds the verbose syntax-error message of a state and lookahead token code
   into buffer (when not null); returns the size the message needs, NUL
   included. */
int xxsyntax_error(char *buffer, int state, int lookahead);
/* Names of the terminals acceptable in a state (symbol order, no error
   token), at most capacity of them; returns how many. */
int expectedTokens(const char **names, int capacity, int state);
/* Name of a grammar symbol by number, null out of range. */
const char *parserSymbolName(int symbol);
/* Symbol number of a token code (0 and below: $end; unknown: $undefined). */
int parserSymbolOfToken(int tokenCode);
/* Texts of a token list joined with "." (labels, EXIT targets); null for an
   empty list. */
char *tokenListText(astNodeList *list);
}

%code {
#include "parser_actions.h"
#include "run_pool.h"

#define xxlex(value, context) nextToken((value), (context))

/* Token-collecting actions: the reader starts from the parser's lookahead
   when there is one, and the lookahead is spent afterwards (the reader
   pushes the stop token back for the parser to read next). */
#define COLLECT(message, ...) \
    collectTokens(ctx, &yylval, yychar, (message), __VA_ARGS__)

static astNodeList *collectTokens(ParseContext *context, TokenValue *value, int &lookahead,
                                  const char *message, int stop1, int stop2 = 0, int stop3 = 0,
                                  int stop4 = 0, int stop5 = 0)
{
    astNodeList *list = parserCollect(context, value, lookahead, message, stop1, stop2, stop3, stop4, stop5);
    lookahead = XXEMPTY;
    return list;
}

/* The datatype reader reads the type's tokens itself; a lookahead the
   parser already holds goes back to the token reader first. */
static astNodeList *takeLookahead(ParseContext *context, int &lookahead, astNodeList *list)
{
    if (lookahead != XXEMPTY && lookahead > 0)
        pushBackToken(context, lookahead);
    lookahead = XXEMPTY;
    return list;
}
#define yytnamerr(result, name) xxNameCopy((result), (name))
static std::ptrdiff_t xxNameCopy(char *result, const char *bisonName);

static void xxerror(ParseContext *context, const char *message)
{
    reportError(context, message);
}
}

%initial-action {
    ctx->parserState = &yystate;
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
        { ctx->root = $1.value.node; }
    ;

programs
    : programs program  /* 3 */
        {
            if (ctx->maxErrors != 0 && yynerrs > ctx->maxErrors) {
                ctx->tooManyErrors = 1;
                YYABORT;
            }
            if ($2.value.node) {
                if (ctx->options && !ctx->options->severalUnits)
                    reportErrorExpecting(ctx, "syntax error", "<END-OF-STATEMENT>");
                $$.value.list = listAppend($1.value.list, $2.value.node);
            }
            yyerrok;
        }
    | program  /* 4 */
        { $$.value.list = listNew($1.value.node); }
    | error  /* 5 */
        { $$.value.list = listNew(takeLastErrorNode()); }
    | programs error  /* 6 */
        { $$.value.list = listAppend($1.value.list, takeLastErrorNode()); }
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
        {
            if ($1.value.node && $1.value.node->kind == AST_BLOCK)
                static_cast<astNodeBlock *>($1.value.node)->anonymous = true;
        }
    | T_TERMINATOR  /* 16 */
        { $$.value.node = nullptr; }
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
        { $$.value.node = javaSource($6.value.ival, $7.value.list, $3.value.ival, $4.value.ival); }
    | T_CREATE opt_or_replace opt_and_resolve_or_compile opt_noforce T_JAVA_RESOURCE_NAMED lno T_WORD as_is gobble_java T_TERMINATOR  /* 61 */
        { $$.value.node = javaSource($6.value.ival, $7.value.list, $3.value.ival, $4.value.ival); }
    | T_CREATE opt_or_replace opt_and_resolve_or_compile opt_noforce T_JAVA_CLASS_SCHEMA lno T_WORD as_is gobble_java T_TERMINATOR  /* 62 */
        { $$.value.node = javaSource($6.value.ival, $7.value.list, $3.value.ival, $4.value.ival); }
    ;

opt_and_resolve_or_compile
    : %empty  /* 63 */
        { $$ = TokenValue{}; $$.value.ival = 0; }
    | T_AND_RESOLVE  /* 64 */
        { $$.value.ival = 1; }
    | T_AND_COMPILE  /* 65 */
        { $$.value.ival = 1; }
    ;

opt_noforce
    : %empty  /* 66 */
        { $$ = TokenValue{}; $$.value.ival = 0; }
    | T_NOFORCE  /* 67 */
        { $$.value.ival = 1; }
    ;

opt_materialized
    : %empty  /* 68 */
        { $$ = TokenValue{}; $$.value.ival = 0; }
    | T_MATERIALIZED  /* 69 */
        { $$.value.ival = 1; }
    ;

opt_force_noforce
    : %empty  /* 70 */
        { $$ = TokenValue{}; $$.value.ival = 0; }
    | T_NOFORCE  /* 71 */
        { $$.value.ival = 1; }
    | T_FORCE  /* 72 */
        { $$.value.ival = 1; }
    ;

create_type
    : T_CREATE opt_or_replace T_TYPE typeName opt_authid as_is exp_until_term  /* 73 */
        { $$.value.node = ddlType($1.line, $2.value.ival, $4.value.list, $7.value.list, false); }
    | T_CREATE opt_or_replace T_TYPE typeName opt_authid T_UNDER exp_until_term  /* 74 */
        { $$.value.node = ddlType($1.line, $2.value.ival, $4.value.list, $7.value.list, true); }
    | T_CREATE opt_or_replace T_TYPE T_BODY typeName opt_authid as_is exp_until_term  /* 75 */
        { $$.value.node = ddlType($1.line, $2.value.ival, $5.value.list, $8.value.list, false); }
    | T_CREATE opt_or_replace T_TYPE typeName T_WRAPPED exp_until_term  /* 76 */
        { $$.value.node = ddlType($1.line, $2.value.ival, $4.value.list, $6.value.list, false); }
    | T_CREATE opt_or_replace T_TYPE T_BODY typeName T_WRAPPED exp_until_term  /* 77 */
        { $$.value.node = ddlType($1.line, $2.value.ival, $5.value.list, $7.value.list, false); }
    ;

drop_type
    : T_DROP T_TYPE typeName opt_exp_until_semi optSemiColon  /* 78 */
        { $$.value.node = parserDdl(AST_DROP_TYPE, $1.line, $3.value.list, $4.value.list); }
    ;

create_sequence
    : T_CREATE T_SEQUENCE seqName exp_until_semi  /* 79 */
        { $$.value.node = parserDdl(AST_CREATE_SEQUENCE, $1.line, $3.value.list, $4.value.list); }
    ;

drop_sequence
    : T_DROP T_SEQUENCE seqName opt_exp_until_semi optSemiColon  /* 80 */
        { $$.value.node = parserDdl(AST_DROP_SEQUENCE, $1.line, $3.value.list, $4.value.list); }
    ;

alter_sequence
    : T_ALTER T_SEQUENCE seqName opt_exp_until_semi optSemiColon  /* 81 */
        { $$.value.node = parserDdl(AST_ALTER_SEQUENCE, $1.line, $3.value.list, $4.value.list); }
    ;

create_tspace
    : T_CREATE T_TABLESPACE exp_until_semi optSemiColon  /* 82 */
        { $$.value.node = ddlTablespace($1.line, $3.value.list, false); }
    | T_CREATE T_TEMPORARY_TABLESPACE exp_until_semi optSemiColon  /* 83 */
        { $$.value.node = ddlTablespace($1.line, $3.value.list, true); }
    ;

alter_tspace
    : T_ALTER T_TABLESPACE exp_until_semi optSemiColon  /* 84 */
        { $$.value.node = parserDdl(AST_ALTER_TABLESPACE, $1.line, nullptr, $3.value.list); }
    ;

drop_tspace
    : T_DROP T_TABLESPACE opt_exp_until_semi optSemiColon  /* 85 */
        { $$.value.node = parserDdl(AST_DROP_TABLESPACE, $1.line, nullptr, $3.value.list); }
    ;

revoke_stmt
    : T_REVOKE opt_exp_until_semi  /* 86 */
        { $$.value.node = parserDdl(AST_REVOKE, $1.line, nullptr, $2.value.list); }
    ;

grant_stmt
    : T_GRANT opt_exp_until_semi  /* 87 */
        { $$.value.node = parserDdl(AST_GRANT, $1.line, nullptr, $2.value.list); }
    ;

comment_on
    : T_COMMENT_ON opt_exp_until_semi  /* 88 */
        { $$.value.node = parserDdl(AST_COMMENT_ON, $1.line, nullptr, $2.value.list); }
    ;

create_role
    : T_CREATE T_ROLE roleName opt_exp_until_semi  /* 89 */
        { $$.value.node = parserDdl(AST_CREATE_ROLE, $1.line, $3.value.list, $4.value.list); }
    ;

drop_role
    : T_DROP T_ROLE roleName opt_exp_until_semi  /* 90 */
        { $$.value.node = parserDdl(AST_DROP_ROLE, $1.line, $3.value.list, $4.value.list); }
    ;

alter_role
    : T_ALTER T_ROLE roleName opt_exp_until_semi  /* 91 */
        { $$.value.node = parserDdl(AST_ALTER_ROLE, $1.line, $3.value.list, $4.value.list); }
    ;

create_rollback
    : T_CREATE T_ROLLBACK_SEGMENT opt_exp_until_semi  /* 92 */
        { $$.value.node = parserDdl(AST_CREATE_ROLLBACK, $1.line, nullptr, $3.value.list); }
    ;

drop_rollback
    : T_DROP T_ROLLBACK_SEGMENT opt_exp_until_semi  /* 93 */
        { $$.value.node = parserDdl(AST_DROP_ROLLBACK, $1.line, nullptr, $3.value.list); }
    ;

alter_rollback
    : T_ALTER T_ROLLBACK_SEGMENT opt_exp_until_semi  /* 94 */
        { $$.value.node = parserDdl(AST_ALTER_ROLLBACK, $1.line, nullptr, $3.value.list); }
    ;

create_dblink
    : T_CREATE T_DATABASE_LINK opt_exp_until_semi  /* 95 */
        { $$.value.node = ddlLink(AST_CREATE_DBLINK, $1.line, $3.value.list, false, false); }
    | T_CREATE T_PUBLIC T_DATABASE_LINK opt_exp_until_semi  /* 96 */
        { $$.value.node = ddlLink(AST_CREATE_DBLINK, $1.line, $4.value.list, true, false); }
    | T_CREATE T_SHARED T_DATABASE_LINK opt_exp_until_semi  /* 97 */
        { $$.value.node = ddlLink(AST_CREATE_DBLINK, $1.line, $4.value.list, false, true); }
    ;

drop_dblink
    : T_DROP opt_public T_DATABASE_LINK opt_exp_until_semi  /* 98 */
        { $$.value.node = ddlLink(AST_DROP_DBLINK, $1.line, $4.value.list, $2.value.ival != 0, false); }
    ;

create_dimension
    : T_CREATE T_DIMENSION opt_exp_until_semi  /* 99 */
        { $$.value.node = parserDdl(AST_CREATE_DIMENSION, $1.line, nullptr, $3.value.list); }
    ;

drop_dimension
    : T_DROP T_DIMENSION opt_exp_until_semi  /* 100 */
        { $$.value.node = parserDdl(AST_DROP_DIMENSION, $1.line, nullptr, $3.value.list); }
    ;

alter_dimension
    : T_ALTER T_DIMENSION opt_exp_until_semi  /* 101 */
        { $$.value.node = parserDdl(AST_ALTER_DIMENSION, $1.line, nullptr, $3.value.list); }
    ;

create_cluster
    : T_CREATE T_CLUSTER opt_exp_until_semi  /* 102 */
        { $$.value.node = parserDdl(AST_CREATE_CLUSTER, $1.line, nullptr, $3.value.list); }
    ;

drop_cluster
    : T_DROP T_CLUSTER opt_exp_until_semi  /* 103 */
        { $$.value.node = parserDdl(AST_DROP_CLUSTER, $1.line, nullptr, $3.value.list); }
    ;

alter_cluster
    : T_ALTER T_CLUSTER opt_exp_until_semi  /* 104 */
        { $$.value.node = parserDdl(AST_ALTER_CLUSTER, $1.line, nullptr, $3.value.list); }
    ;

create_directory
    : T_CREATE opt_or_replace T_DIRECTORY opt_exp_until_semi  /* 105 */
        { $$.value.node = parserDdl(AST_CREATE_DIRECTORY, $1.line, nullptr, $4.value.list); }
    ;

drop_directory
    : T_DROP T_DIRECTORY opt_exp_until_semi  /* 106 */
        { $$.value.node = parserDdl(AST_DROP_DIRECTORY, $1.line, nullptr, $3.value.list); }
    ;

create_outline
    : T_CREATE opt_or_replace T_OUTLINE opt_exp_until_semi  /* 107 */
        { $$.value.node = parserDdl(AST_CREATE_OUTLINE, $1.line, nullptr, $4.value.list); }
    | T_CREATE opt_or_replace T_PRIVATE T_OUTLINE opt_exp_until_semi  /* 108 */
        { $$.value.node = parserDdl(AST_CREATE_OUTLINE, $1.line, nullptr, $5.value.list); }
    ;

drop_outline
    : T_DROP T_OUTLINE opt_exp_until_semi  /* 109 */
        { $$.value.node = parserDdl(AST_DROP_OUTLINE, $1.line, nullptr, $3.value.list); }
    ;

alter_outline
    : T_ALTER T_OUTLINE opt_exp_until_semi  /* 110 */
        { $$.value.node = parserDdl(AST_ALTER_OUTLINE, $1.line, nullptr, $3.value.list); }
    ;

create_user
    : T_CREATE T_USER userName opt_exp_until_semi  /* 111 */
        { $$.value.node = parserDdl(AST_CREATE_USER, $1.line, $3.value.list, $4.value.list); }
    ;

drop_user
    : T_DROP T_USER userName opt_exp_until_semi  /* 112 */
        { $$.value.node = parserDdl(AST_DROP_USER, $1.line, $3.value.list, $4.value.list); }
    ;

alter_user
    : T_ALTER T_USER userName opt_exp_until_semi  /* 113 */
        { $$.value.node = parserDdl(AST_ALTER_USER, $1.line, $3.value.list, $4.value.list); }
    ;

create_index
    : T_CREATE opt_unique opt_bitmap T_INDEX indexName opt_exp_until_semi  /* 114 */
        {
            astNodeDdlIndex *node = astNew<astNodeDdlIndex>(AST_CREATE_INDEX, $1.line);
            node->name = $5.value.list;
            node->body = $6.value.list;
            node->unq = $2.value.ival != 0;
            node->bmap = $3.value.ival != 0;
            $$.value.node = node;
        }
    ;

create_synonym
    : T_CREATE opt_or_replace T_SYNONYM synName opt_exp_until_semi  /* 115 */
        { $$.value.node = ddlSynonym(AST_CREATE_SYNONYM, $1.line, $4.value.list, $5.value.list, false); }
    | T_CREATE opt_or_replace T_PUBLIC_SYNONYM synName opt_exp_until_semi  /* 116 */
        { $$.value.node = ddlSynonym(AST_CREATE_SYNONYM, $1.line, $4.value.list, $5.value.list, true); }
    ;

drop_synonym
    : T_DROP T_SYNONYM synName opt_exp_until_semi optSemiColon  /* 117 */
        { $$.value.node = ddlSynonym(AST_DROP_SYNONYM, $1.line, $3.value.list, $4.value.list, false); }
    | T_DROP T_PUBLIC_SYNONYM synName opt_exp_until_semi optSemiColon  /* 118 */
        { $$.value.node = ddlSynonym(AST_DROP_SYNONYM, $1.line, $3.value.list, $4.value.list, true); }
    ;

create_proc_stmt
    : T_CREATE opt_or_replace procedure optSemiColon  /* 119 */
        {
            astNodeCreateProc *node = static_cast<astNodeCreateProc *>($3.value.node);
            node->line = $1.line;
            node->REPLACE = $2.value.ival != 0;
            node->WRAPPED = false;
            $$.value.node = node;
        }
    | T_CREATE opt_or_replace T_PROCEDURE procedureName T_WRAPPED exp_until_term  /* 120 */
        {
            astNodeCreateProc *node = astNew<astNodeCreateProc>(AST_CREATE_PROCEDURE, $1.line);
            node->name = $4.value.list;
            node->REPLACE = $2.value.ival != 0;
            node->WRAPPED = true;
            node->AUTHID = true;
            $$.value.node = node;
        }
    ;

procedure
    : T_PROCEDURE procedureName opt_formal_args opt_authid as_is program_body  /* 121 */
        {
            astNodeCreateProc *node = astNew<astNodeCreateProc>(AST_CREATE_PROCEDURE, $1.line);
            node->name = $2.value.list;
            node->REPLACE = false;
            node->args = $3.value.list;
            node->AUTHID = $4.value.ival != 0;
            node->body = reinterpret_cast<astNodeBlock *>($6.value.node);
            node->WRAPPED = false;
            $$.value.node = node;
        }
    ;

create_table
    : T_CREATE T_TABLE tableName tab_cols opt_exp_until_semi optSemiColon  /* 122 */
        { $$.value.node = ddlTable($1.line, $3.value.list, false, false, $4.value.list, $5.value.list); }
    | T_CREATE T_GLOBAL_TEMPORARY T_TABLE tableName opt_exp_until_semi optSemiColon  /* 123 */
        { $$.value.node = ddlTable($1.line, $4.value.list, true, false, nullptr, $5.value.list); }
    | T_CREATE T_TABLE tableName T_OF T_XMLTYPE opt_exp_until_semi optSemiColon  /* 124 */
        { $$.value.node = ddlTable($1.line, $3.value.list, false, true, nullptr, nullptr); }
    | T_CREATE T_TABLE tableName opt_exp_until_semi optSemiColon  /* 125 */
        { $$.value.node = ddlTable($1.line, $3.value.list, false, false, nullptr, $4.value.list); }
    ;

alter_table
    : T_ALTER T_TABLE tableName opt_exp_until_semi optSemiColon  /* 126 */
        { $$.value.node = parserDdl(AST_ALTER_TABLE, $1.line, $3.value.list, $4.value.list); }
    ;

drop_table
    : T_DROP T_TABLE tableName opt_exp_until_semi optSemiColon  /* 127 */
        { $$.value.node = parserDdl(AST_DROP_TABLE, $1.line, $3.value.list, $4.value.list); }
    ;

drop_index
    : T_DROP T_INDEX indexName opt_exp_until_semi  /* 128 */
        { $$.value.node = parserDdl(AST_DROP_INDEX, $1.line, $3.value.list, $4.value.list); }
    ;

drop_view
    : T_DROP opt_materialized T_VIEW viewName opt_exp_until_semi optSemiColon  /* 129 */
        {
            astNodeDdlDropView *node = astNew<astNodeDdlDropView>(AST_DROP_VIEW, $1.line);
            node->name = $4.value.list;
            node->body = $5.value.list;
            node->mat = $2.value.ival != 0;
            $$.value.node = node;
        }
    ;

create_view_stmt
    : T_CREATE opt_or_replace opt_force_noforce opt_materialized T_VIEW viewName T_OF typeName opt_exp_until_semi optSemiColon  /* 130 */
        { $$.value.node = ddlView($1.line, $6.value.list, $3.value.ival, $4.value.ival, true, $8.value.list, $9.value.list); }
    | T_CREATE opt_or_replace opt_force_noforce opt_materialized T_VIEW viewName '(' exp_until_rparen ')' opt_exp_until_semi optSemiColon  /* 131 */
        { $$.value.node = ddlView($1.line, $6.value.list, $3.value.ival, $4.value.ival, false, $8.value.list, $10.value.list); }
    | T_CREATE opt_or_replace opt_force_noforce opt_materialized T_VIEW viewName opt_exp_until_semi optSemiColon  /* 132 */
        { $$.value.node = ddlView($1.line, $6.value.list, $3.value.ival, $4.value.ival, false, nullptr, $7.value.list); }
    ;

create_func_stmt
    : T_CREATE opt_or_replace function optSemiColon  /* 133 */
        {
            astNodeCreateFunc *node = static_cast<astNodeCreateFunc *>($3.value.node);
            node->line = $1.line;
            node->REPLACE = $2.value.ival != 0;
            $$.value.node = node;
        }
    | T_CREATE opt_or_replace T_FUNCTION functionName T_WRAPPED exp_until_term  /* 134 */
        {
            astNodeCreateFunc *node = astNew<astNodeCreateFunc>(AST_CREATE_FUNCTION, $1.line);
            node->name = $4.value.list;
            node->REPLACE = $2.value.ival != 0;
            node->WRAPPED = true;
            $$.value.node = node;
        }
    ;

function
    : T_FUNCTION functionName opt_formal_args T_RETURN formal_arg_type optFunctionOpts as_is program_body  /* 135 */
        {
            astNodeCreateFunc *node = astNew<astNodeCreateFunc>(AST_CREATE_FUNCTION, $1.line);
            node->name = $2.value.list;
            node->REPLACE = false;
            node->args = $3.value.list;
            node->returns = $5.value.list;
            node->body = reinterpret_cast<astNodeBlock *>($8.value.node);
            node->options = $6.value.list;
            node->WRAPPED = false;
            $$.value.node = node;
        }
    | T_FUNCTION functionName opt_formal_args T_RETURN formal_arg_type optFunctionOpts  /* 136 */
        {
            astNodeCreateFunc *node = astNew<astNodeCreateFunc>(AST_CREATE_FUNCTION, $1.line);
            node->name = $2.value.list;
            node->REPLACE = false;
            node->args = $3.value.list;
            node->returns = $5.value.list;
            node->options = $6.value.list;
            node->WRAPPED = false;
            $$.value.node = node;
        }
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
        {
            astNodeDropPkgHead *node = astNew<astNodeDropPkgHead>(AST_DROP_PKG_HEAD, $1.line);
            node->name = $3.value.list;
            $$.value.node = node;
        }
    | T_DROP T_FUNCTION functionName  /* 142 */
        { $$.value.node = nullptr; }
    | T_DROP T_PROCEDURE procedureName  /* 143 */
        { $$.value.node = nullptr; }
    ;

drop_pkg_body
    : T_DROP T_PACKAGE T_BODY packageName  /* 144 */
        {
            astNodeDropPkgBody *node = astNew<astNodeDropPkgBody>(AST_DROP_PKG_BODY, $1.line);
            node->name = $4.value.list;
            $$.value.node = node;
        }
    ;

create_pkg_head
    : T_CREATE opt_or_replace T_PACKAGE packageName opt_authid as_is pkg_prototypes optEndName optSemiColon  /* 145 */
        {
            astNodeCreatePkgHead *node = astNew<astNodeCreatePkgHead>(AST_CREATE_PKG_HEAD, $1.line);
            node->name = $4.value.list;
            node->WRAPPED = false;
            node->REPLACE = $2.value.ival != 0;
            node->AUTHID = $5.value.ival != 0;
            node->elements = $7.value.list;
            $$.value.node = node;
        }
    | T_CREATE opt_or_replace T_PACKAGE packageName T_WRAPPED exp_until_term  /* 146 */
        {
            astNodeCreatePkgHead *node = astNew<astNodeCreatePkgHead>(AST_CREATE_PKG_HEAD, $1.line);
            node->name = $4.value.list;
            node->WRAPPED = true;
            node->AUTHID = true;
            $$.value.node = node;
        }
    ;

create_pkg_body
    : T_CREATE opt_or_replace T_PACKAGE T_BODY packageName as_is pkg_members optEndName optSemiColon  /* 147 */
        {
            astNodeCreatePkgBody *node = astNew<astNodeCreatePkgBody>(AST_CREATE_PKG_BODY, $1.line);
            node->name = $5.value.list;
            node->WRAPPED = false;
            node->REPLACE = $2.value.ival != 0;
            node->elements = $7.value.list;
            $$.value.node = node;
        }
    | T_CREATE opt_or_replace T_PACKAGE T_BODY packageName T_WRAPPED exp_until_term  /* 148 */
        {
            astNodeCreatePkgBody *node = astNew<astNodeCreatePkgBody>(AST_CREATE_PKG_BODY, $1.line);
            node->name = $5.value.list;
            node->WRAPPED = true;
            $$.value.node = node;
        }
    ;

pkg_members
    : pkg_member_list T_END  /* 149 */
    | pkg_member_list constructor  /* 150 */
        { $$.value.list = listAppend($1.value.list, $2.value.node); }
    | constructor  /* 151 */
        { $$.value.list = listNew($1.value.node); }
    | T_END  /* 152 */
        { $$.value.list = nullptr; }
    ;

pkg_member_list
    : pkg_member_list pkg_member  /* 153 */
        { $$.value.list = listAppend($1.value.list, $2.value.node); yyerrok; }
    | pkg_member  /* 154 */
        { $$.value.list = listNew($1.value.node); }
    | error  /* 155 */
        { $$.value.list = listNew(takeLastErrorNode()); }
    | pkg_member_list error  /* 156 */
        { $$.value.list = listAppend($1.value.list, takeLastErrorNode()); }
    ;

constructor
    : T_BEGIN proc_stmts exception_sect T_END  /* 157 */
        { $$.value.node = newBlock($1.line, nullptr, $2.value.list, $3.value.list); }
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
        { $$.value.list = nullptr; }
    ;

pkg_proto_list
    : pkg_proto_list pkg_prototype  /* 165 */
        { $$.value.list = listAppend($1.value.list, $2.value.node); }
    | pkg_prototype  /* 166 */
        { $$.value.list = listNew($1.value.node); }
    | error  /* 167 */
        { takeLastErrorNode(); $$.value.list = nullptr; }
    | pkg_proto_list error  /* 168 */
        { takeLastErrorNode(); }
    ;

pkg_prototype
    : func_prototype  /* 169 */
    | proc_prototype  /* 170 */
    | decl_stmt  /* 171 */
    ;

proc_prototype
    : T_PROCEDURE procedureName opt_formal_args ';'  /* 172 */
        {
            astNodeProcProto *node = astNew<astNodeProcProto>(AST_PROC_PROTO, $1.line);
            node->name = $2.value.list;
            node->args = $3.value.list;
            $$.value.node = node;
        }
    ;

func_prototype
    : T_FUNCTION functionName opt_formal_args T_RETURN formal_arg_type optFunctionOpts exp_until_semi ';'  /* 173 */
        {
            astNodeFuncProto *node = astNew<astNodeFuncProto>(AST_FUNC_PROTO, $1.line);
            node->name = $2.value.list;
            node->args = $3.value.list;
            node->returns = $5.value.list;
            node->options = $6.value.list;
            $$.value.node = node;
        }
    ;

program_body
    : first_decl_sect T_BEGIN proc_stmts exception_sect T_END optEndName  /* 174 */
        { $$.value.node = newBlock($2.line, $1.value.list, $3.value.list, $4.value.list); }
    | external_func lno exp_until_semi  /* 175 */
        { $$.value.node = astTokenNew(397, "EXTERNAL", static_cast<int>($2.value.ival)); }
    | language_func lno exp_until_semi  /* 176 */
        { $$.value.node = astTokenNew(399, "LANGUAGE", static_cast<int>($2.value.ival)); }
    ;

external_func
    : T_EXTERNAL_LANGUAGE  /* 177 */
        { $$.value.ival = 1; }
    | T_EXTERNAL_NAME  /* 178 */
        { $$.value.ival = 1; }
    | T_EXTERNAL_LIBRARY  /* 179 */
        { $$.value.ival = 1; }
    ;

language_func
    : T_LANGUAGE_C  /* 180 */
        { $$.value.ival = 1; }
    | T_LANGUAGE_JAVA  /* 181 */
        { $$.value.ival = 1; }
    ;

first_decl_sect
    : decl_sect  /* 182 */
    | T_DECLARE decl_sect  /* 183 */
        { $$ = $2; }
    ;

pl_block
    : block optSemiColon  /* 184 */
    ;

trigger_body
    : block optEndName optSemiColon  /* 185 */
    ;

block
    : T_DECLARE decl_sect T_BEGIN proc_stmts exception_sect T_END  /* 186 */
        { $$.value.node = newBlock($1.line, $2.value.list, $4.value.list, $5.value.list); }
    | T_BEGIN proc_stmts exception_sect T_END  /* 187 */
        { $$.value.node = newBlock($1.line, nullptr, $2.value.list, $3.value.list); }
    ;

decl_sect
    : %empty  /* 188 */
        { $$ = TokenValue{}; $$.value.list = nullptr; }
    | decl_stmts  /* 189 */
    ;

decl_sub_prog
    : procedure ';'  /* 190 */
    | function ';'  /* 191 */
    ;

decl_stmts
    : decl_stmts decl_stmt  /* 192 */
        { $$.value.list = listAppend($1.value.list, $2.value.node); }
    | decl_stmt  /* 193 */
        { $$.value.list = listNew($1.value.node); }
    | error  /* 194 */
        { $$.value.list = listNew(takeLastErrorNode()); }
    | decl_stmts error  /* 195 */
        { $$.value.list = listAppend($1.value.list, takeLastErrorNode()); }
    ;

col_decl
    : declVarName lno decl_datatype opt_notnull opt_enable opt_dflt_value exp_until_commaparen  /* 196 */
        {
            astNodeColDecl *node = astNew<astNodeColDecl>(AST_COL_DECL, static_cast<int>($2.value.ival));
            node->colName = $1.value.list;
            node->colType = 0;
            node->dType = $3.value.list;
            node->notNull = $4.value.ival != 0;
            node->stateGiven = $5.value.ival != 0;
            node->dfltValue = $6.value.list;
            node->body = $7.value.list;
            $$.value.node = node;
        }
    | opt_consName T_PRIMARY_KEY opt_unique '(' exp_until_rparen ')' exp_until_commaparen  /* 197 */
        { $$.value.node = newConstraint($2.line, $1.value.list, CONSTRAINT_PRIMARY_KEY, $5.value.list, $7.value.list); }
    | opt_consName T_PRIMARY_KEY opt_unique T_WORD exp_until_commaparen  /* 198 */
        { $$.value.node = newConstraint($2.line, $1.value.list, CONSTRAINT_PRIMARY_KEY, $4.value.list, $5.value.list); }
    | opt_consName T_FOREIGN_KEY '(' exp_until_rparen ')' exp_until_commaparen  /* 199 */
        { $$.value.node = newConstraint($2.line, $1.value.list, CONSTRAINT_FOREIGN_KEY, $4.value.list, $6.value.list); }
    | opt_consName T_FOREIGN_KEY T_WORD exp_until_commaparen  /* 200 */
        { $$.value.node = newConstraint($2.line, $1.value.list, CONSTRAINT_FOREIGN_KEY, $3.value.list, $4.value.list); }
    | opt_consName T_UNIQUE '(' exp_until_rparen ')' exp_until_commaparen  /* 201 */
        { $$.value.node = newConstraint($2.line, $1.value.list, CONSTRAINT_UNIQUE, $4.value.list, $6.value.list); }
    | opt_consName T_UNIQUE T_WORD exp_until_commaparen  /* 202 */
        { $$.value.node = newConstraint($2.line, $1.value.list, CONSTRAINT_UNIQUE, $3.value.list, $4.value.list); }
    | opt_consName T_CHECK '(' exp_until_rparen ')' opt_enable  /* 203 */
        { $$.value.node = newConstraint($2.line, $1.value.list, CONSTRAINT_CHECK, nullptr, $4.value.list); }
    ;

simple_decl
    : declVarName lno optConstant decl_datatype opt_notnull opt_enable opt_dflt_value  /* 204 */
        {
            astNodeVarDecl *node = astNew<astNodeVarDecl>(AST_VAR_DECL, static_cast<int>($2.value.ival));
            node->variableName = $1.value.list;
            node->variableType = VAR_SCALAR;
            node->constant = $3.value.ival != 0;
            node->dataType = $4.value.list;
            node->notNull = $5.value.ival != 0;
            node->stateGiven = $6.value.ival != 0;
            node->defaultValue = $7.value.list;
            if (node->constant && !node->defaultValue)
                reportError(ctx, "Must specify a default value for CONSTANT declarations");
            $$.value.node = node;
        }
    ;

decl_stmt
    : simple_decl ';'  /* 205 */
    | T_CURSOR cursorName T_IS exp_until_semi ';'  /* 206 */
        {
            astNodeCursorDecl *node = astNew<astNodeCursorDecl>(AST_CURSOR_DECL, $1.line);
            node->variableName = $2.value.list;
            node->query = $4.value.list;
            node->variableType = VAR_CURSOR;
            $$.value.node = node;
        }
    | T_CURSOR cursorName '(' formal_args ')' T_IS exp_until_semi ';'  /* 207 */
        {
            astNodeCursorDecl *node = astNew<astNodeCursorDecl>(AST_CURSOR_DECL, $1.line);
            node->variableName = $2.value.list;
            node->variableType = VAR_CURSOR;
            node->query = $7.value.list;
            node->queryArgs = $4.value.list;
            $$.value.node = node;
        }
    | T_CURSOR cursorName '(' formal_args ')' T_RETURN decl_datatype T_IS exp_until_semi ';'  /* 208 */
        {
            astNodeCursorDecl *node = astNew<astNodeCursorDecl>(AST_CURSOR_DECL, $1.line);
            node->variableName = $2.value.list;
            node->variableType = VAR_CURSOR;
            node->query = $9.value.list;
            node->queryArgs = $4.value.list;
            $$.value.node = node;
        }
    | T_TYPE declVarName T_IS T_RECORD record_decl ';'  /* 209 */
        {
            astNodeRecordDecl *node = astNew<astNodeRecordDecl>(AST_RECORD_DECL, $1.line);
            node->variableType = VAR_RECORD;
            node->variableName = $2.value.list;
            node->dataType = $5.value.list;
            $$.value.node = node;
        }
    | T_TYPE declVarName T_IS T_TABLE T_OF decl_datatype opt_notnull T_INDEX T_BY decl_datatype ';'  /* 210 */
        {
            astNodeTableDecl *node = astNew<astNodeTableDecl>(AST_TABLE_DECL, $1.line);
            node->variableName = $2.value.list;
            node->variableType = VAR_TABLE;
            node->dataType = $6.value.list;
            node->notNull = $7.value.ival != 0;
            node->noIndexBy = false;
            node->indexType = $10.value.list;
            $$.value.node = node;
        }
    | T_TYPE declVarName T_IS T_TABLE T_OF decl_datatype ';'  /* 211 */
        {
            astNodeTableDecl *node = astNew<astNodeTableDecl>(AST_TABLE_DECL, $1.line);
            node->variableName = $2.value.list;
            node->dataType = $6.value.list;
            node->variableType = VAR_TABLE;
            node->indexType = nullptr;
            node->noIndexBy = true;
            $$.value.node = node;
        }
    | T_SUBTYPE declVarName T_IS decl_datatype opt_notnull ';'  /* 212 */
        {
            astNodeSubType *node = astNew<astNodeSubType>(AST_SUBTYPE, $1.line);
            node->variableName = $2.value.list;
            node->dataType = $4.value.list;
            node->variableType = VAR_SUBTYPE;
            $$.value.node = node;
        }
    | T_TYPE declVarName T_IS T_REFCURSOR ';'  /* 213 */
        {
            astNodeRefCursorDecl *node = astNew<astNodeRefCursorDecl>(AST_REFCURSOR_DECL, $1.line);
            node->variableName = $2.value.list;
            node->variableType = VAR_REFCURSOR;
            $$.value.node = node;
        }
    | T_TYPE declVarName T_IS T_REFCURSOR T_RETURN decl_datatype ';'  /* 214 */
        {
            astNodeRefCursorDecl *node = astNew<astNodeRefCursorDecl>(AST_REFCURSOR_DECL, $1.line);
            node->variableName = $2.value.list;
            node->dataType = $6.value.list;
            node->variableType = VAR_REFCURSOR;
            $$.value.node = node;
        }
    | T_TYPE declVarName T_IS T_VARRAY varrayDim T_OF decl_datatype ';'  /* 215 */
        {
            astNodeVarrayDecl *node = astNew<astNodeVarrayDecl>(AST_VARRAY_DECL, $1.line);
            node->variableName = $2.value.list;
            node->dimension = $5.value.text ? poolStrdup($5.value.text) : nullptr;
            node->dataType = $7.value.list;
            node->variableType = VAR_VARRAY;
            $$.value.node = node;
        }
    | declVarName lno T_EXCEPTION ';'  /* 216 */
        {
            astNodeExceptionDecl *node = astNew<astNodeExceptionDecl>(AST_EXCEPTION_DECL, static_cast<int>($2.value.ival));
            node->variableName = $1.value.list;
            node->variableType = VAR_EXCEPTION;
            $$.value.node = node;
        }
    | T_PRAGMA T_EXCEPTION_INIT '(' exceptionName T_COMMA signedInteger ')' ';'  /* 217 */
        {
            astNodeExceptionDecl *node = astNew<astNodeExceptionDecl>(AST_EXCEPTION_DECL, $1.line);
            node->variableType = VAR_EXCEPTION_INIT;
            node->variableName = $4.value.list;
            node->value = parserInteger(ctx, $6.value.text);
            $$.value.node = node;
        }
    | T_PRAGMA T_AUTONOMOUS_XACT ';'  /* 218 */
        {
            astNodePragma *node = astNew<astNodePragma>(AST_PRAGMA, $1.line);
            node->pragmaCode = 278;
            $$.value.node = node;
        }
    | decl_sub_prog  /* 219 */
    | decl_oracle_pragma  /* 220 */
    ;

decl_oracle_pragma
    : T_PRAGMA lno exp_until_semi ';'  /* 221 */
        {
            astNodeOraclePragma *node = astNew<astNodeOraclePragma>(AST_ORACLE_PRAGMA, static_cast<int>($2.value.ival));
            node->expr = $3.value.list;
            $$.value.node = node;
        }
    ;

record_decl
    : '(' simple_decls ')'  /* 222 */
        { $$ = $2; }
    ;

tab_cols
    : '(' col_decls ')'  /* 223 */
        { $$ = $2; }
    ;

col_decls
    : col_decls T_COMMA col_decl  /* 224 */
        { $$.value.list = listAppend($1.value.list, $3.value.node); }
    | col_decl  /* 225 */
        { $$.value.list = listNew($1.value.node); }
    ;

simple_decls
    : simple_decls T_COMMA simple_decl  /* 226 */
        { $$.value.list = listAppend($1.value.list, $3.value.node); }
    | simple_decl  /* 227 */
        { $$.value.list = listNew($1.value.node); }
    ;

decl_datatype
    : typeName  /* 228 */
        { $$.value.list = parserDatatype(ctx, &yylval, takeLookahead(ctx, yychar, $1.value.list), true); }
    ;

formal_arg_type
    : typeName  /* 229 */
        { $$.value.list = parserDatatype(ctx, &yylval, takeLookahead(ctx, yychar, $1.value.list), false); }
    ;

opt_notnull
    : %empty  /* 230 */
        { $$ = TokenValue{}; $$.value.ival = 0; }
    | T_NOT T_NULL  /* 231 */
        { $$.value.ival = 1; }
    ;

opt_public
    : %empty  /* 232 */
        { $$ = TokenValue{}; $$.value.ival = 0; }
    | T_PUBLIC  /* 233 */
        { $$.value.ival = 1; }
    ;

opt_dflt_value
    : %empty  /* 234 */
        { $$ = TokenValue{}; $$.value.list = nullptr; }
    | T_ASSIGN dflt_value  /* 235 */
        { $$ = $2; }
    | T_DEFAULT dflt_value  /* 236 */
        { $$ = $2; }
    ;

opt_consName
    : %empty  /* 237 */
        { $$ = TokenValue{}; $$.value.list = nullptr; }
    | T_CONSTRAINT T_WORD  /* 238 */
        { $$ = $2; }
    | T_CONSTRAINT  /* 239 */
        { $$.value.list = nullptr; }
    | T_WORD  /* 240 */
    ;

opt_unique
    : %empty  /* 241 */
        { $$ = TokenValue{}; $$.value.ival = 0; }
    | T_UNIQUE  /* 242 */
        { $$.value.ival = 1; }
    ;

opt_bitmap
    : %empty  /* 243 */
        { $$ = TokenValue{}; $$.value.ival = 0; }
    | T_BITMAP  /* 244 */
        { $$.value.ival = 1; }
    ;

opt_enable
    : %empty  /* 245 */
        { $$ = TokenValue{}; $$.value.ival = 0; }
    | T_ENABLE  /* 246 */
        { $$.value.ival = 1; }
    | T_DISABLE  /* 247 */
        { $$.value.ival = 1; }
    ;

optConstant
    : %empty  /* 248 */
        { $$ = TokenValue{}; $$.value.ival = 0; }
    | T_CONSTANT  /* 249 */
        { $$.value.ival = 1; }
    ;

opt_arg_dflt
    : %empty  /* 250 */
        { $$ = TokenValue{}; $$.value.list = nullptr; }
    | T_DEFAULT  /* 251 */
        { $$.value.list = COLLECT("Missing default value", ')', T_COMMA); }
    | T_ASSIGN  /* 252 */
        { $$.value.list = COLLECT("Missing default value", ')', T_COMMA); }
    ;

proc_stmts
    : proc_stmts proc_stmt  /* 253 */
        { $$.value.list = listAppend($1.value.list, $2.value.node); yyerrok; }
    | proc_stmt  /* 254 */
        { $$.value.list = listNew($1.value.node); }
    | error  /* 255 */
        { $$.value.list = listNew(takeLastErrorNode()); }
    | proc_stmts error  /* 256 */
        { $$.value.list = listAppend($1.value.list, takeLastErrorNode()); }
    ;

proc_stmt
    : opt_label labeled_stmt  /* 257 */
        {
            if ($2.value.node)
                parserSetLabel($2.value.node, $1.value.text);
            $$ = $2;
        }
    | opt_label pl_block  /* 258 */
        {
            /* A labelled nested block keeps its label like any statement. */
            if ($2.value.node)
                parserSetLabel($2.value.node, $1.value.text);
            $$ = $2;
        }
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
        {
            astNodePragma *node = astNew<astNodePragma>(AST_PRAGMA, $1.line);
            node->pragmaCode = 276;
            node->name = $3.value.list;
            const char *text = $5.value.text ? $5.value.text : "";
            node->value = listNew(astTokenNew(268, *text ? text + 1 : text, $1.line));
            $$.value.node = node;
        }
    ;

stmt_assign
    : varName lno T_ASSIGN exp_until_semi ';'  /* 284 */
        { $$.value.node = newAssign(static_cast<int>($2.value.ival), $1.value.list, $4.value.list); }
    | T_TRIG_VAR lno T_ASSIGN exp_until_semi ';'  /* 285 */
        { $$.value.node = newAssign(static_cast<int>($2.value.ival), $1.value.list, $4.value.list); }
    ;

stmt_if
    : T_IF exp_until_then T_THEN proc_stmts elseif_sect else_sect T_END T_IF ';'  /* 286 */
        {
            astNodeIf *node = astNew<astNodeIf>(AST_IF, $1.line);
            node->expr = $2.value.list;
            node->body = $4.value.list;
            node->elseIf = static_cast<astNodeElseIf *>($5.value.node);
            node->elseBody = $6.value.list;
            $$.value.node = node;
        }
    ;

stmt_loop
    : T_LOOP loop_body ';'  /* 287 */
        {
            astNodeLoop *node = astNew<astNodeLoop>(AST_LOOP, $1.line);
            node->body = $2.value.list;
            $$.value.node = node;
        }
    ;

stmt_while
    : T_WHILE exp_until_loop loop_body ';'  /* 288 */
        {
            astNodeWhile *node = astNew<astNodeWhile>(AST_WHILE, $1.line);
            node->expr = $2.value.list;
            node->body = $3.value.list;
            $$.value.node = node;
        }
    ;

stmt_fetch
    : T_FETCH cursorName T_INTO exp_until_semi ';'  /* 289 */
        {
            astNodeFetch *node = astNew<astNodeFetch>(AST_FETCH, $1.line);
            node->variable = $2.value.list;
            node->expr = $4.value.list;
            node->bulkCollect = false;
            $$.value.node = node;
        }
    | T_FETCH cursorName T_BULK T_COLLECT T_INTO exp_until_semi ';'  /* 290 */
        {
            astNodeFetch *node = astNew<astNodeFetch>(AST_FETCH, $1.line);
            node->variable = $2.value.list;
            node->expr = $6.value.list;
            node->bulkCollect = true;
            $$.value.node = node;
        }
    ;

stmt_close
    : T_CLOSE cursorName ';'  /* 291 */
        {
            astNodeClose *node = astNew<astNodeClose>(AST_CLOSE, $1.line);
            node->variable = $2.value.list;
            $$.value.node = node;
        }
    ;

stmt_open
    : T_OPEN cursorName ';'  /* 292 */
        { $$.value.node = newOpen($1.line, $2.value.list, nullptr, nullptr, nullptr); }
    | T_OPEN cursorName T_FOR selectExpr ';'  /* 293 */
        { $$.value.node = newOpen($1.line, $2.value.list, $4.value.node, nullptr, nullptr); }
    | T_OPEN cursorName T_FOR exp_until_using opt_open_using ';'  /* 294 */
        { $$.value.node = newOpen($1.line, $2.value.list, $4.value.list, $5.value.list, nullptr); }
    | T_OPEN cursorName '(' actual_args ')' ';'  /* 295 */
        { $$.value.node = newOpen($1.line, $2.value.list, nullptr, nullptr, $4.value.list); }
    ;

stmt_exit
    : T_EXIT opt_target opt_when_expr ';'  /* 296 */
        {
            astNodeExit *node = astNew<astNodeExit>(AST_EXIT, $1.line);
            node->target = $2.value.text;
            node->expr = $3.value.list;
            $$.value.node = node;
        }
    ;

stmt_continue
    : T_CONTINUE opt_target opt_when_expr ';'  /* 297 */
        {
            astNodeContinue *node = astNew<astNodeContinue>(AST_CONTINUE, $1.line);
            node->target = $2.value.text;
            node->expr = $3.value.list;
            $$.value.node = node;
        }
    ;

stmt_goto
    : T_GOTO labelName ';'  /* 298 */
        {
            astNodeGoto *node = astNew<astNodeGoto>(AST_GOTO, $1.line);
            node->target = $2.value.list;
            $$.value.node = node;
        }
    ;

stmt_for
    : T_FOR varName T_IN optReverse exp_until_loop loop_body ';'  /* 299 */
        {
            astNodeFor *node = astNew<astNodeFor>(AST_FOR, $1.line);
            node->index = $2.value.list;
            node->reverse = $4.value.ival != 0;
            node->expr = $5.value.list;
            node->body = $6.value.list;
            node->loopType = parserForLoopType($5.value.list);
            $$.value.node = node;
        }
    ;

stmt_null
    : T_NULL ';'  /* 300 */
        { $$.value.node = astNew<astNodeNull>(AST_NULL, $1.line); }
    ;

stmt_return
    : T_RETURN opt_exp_until_semi ';'  /* 301 */
        {
            astNodeReturn *node = astNew<astNodeReturn>(AST_RETURN, $1.line);
            node->expr = $2.value.list;
            $$.value.node = node;
        }
    ;

stmt_piperow
    : T_PIPEROW lno exp_until_semi ';'  /* 302 */
        {
            astNodePiperow *node = astNew<astNodePiperow>(AST_PIPEROW, static_cast<int>($2.value.ival));
            node->expr = $3.value.list;
            $$.value.node = node;
        }
    ;

stmt_forall
    : T_FORALL T_WORD T_IN exp_until_sql stmt_dynexecute  /* 303 */
        {
            astNodeForall *node = astNew<astNodeForall>(AST_FORALL, $1.line);
            node->index = parserFirstTokenNode($2.value.list);
            node->expr = $4.value.list;
            node->dynamic = $5.value.node;
            node->exec = true;
            $$.value.node = node;
        }
    | T_FORALL T_WORD T_IN exp_until_sql stmt_execsql ';'  /* 304 */
        {
            astNodeForall *node = astNew<astNodeForall>(AST_FORALL, $1.line);
            node->index = parserFirstTokenNode($2.value.list);
            node->expr = $4.value.list;
            node->body = $5.value.node;
            $$.value.node = node;
        }
    ;

stmt_case
    : T_CASE opt_exp_until_when case_exprs case_default T_END T_CASE ';'  /* 305 */
        {
            astNodeCase *node = astNew<astNodeCase>(AST_CASE, $1.line);
            node->predicate = $2.value.list;
            node->values = $3.value.list;
            node->defaultValue = static_cast<astNodeCaseExpr *>($4.value.node);
            $$.value.node = node;
        }
    ;

stmt_dynexecute
    : T_EXECUTE T_IMMEDIATE immediate_exp opt_into_clause opt_using_clause opt_return_clause ';'  /* 306 */
        {
            astNodeDynamic *node = astNew<astNodeDynamic>(AST_DYNAMIC, $1.line);
            node->expr = $3.value.list;
            node->into = $4.value.list;
            node->using_ = $5.value.list;
            node->returnList = $6.value.list;
            $$.value.node = node;
        }
    ;

immediate_exp
    : %empty  /* 307 */
        { $$ = TokenValue{}; $$.value.list = COLLECT("Missing statement", ';', T_USING, T_INTO, T_RETURNING, T_RETURN); }
    ;

opt_into_clause
    : %empty  /* 308 */
        { $$ = TokenValue{}; $$.value.list = nullptr; }
    | T_INTO  /* 309 */
        { $$.value.list = COLLECT("Missing statement", ';', T_USING, T_RETURNING, T_RETURN); }
    ;

opt_using_clause
    : %empty  /* 310 */
        { $$ = TokenValue{}; $$.value.list = nullptr; }
    | T_USING using_list  /* 311 */
        { $$ = $2; }
    ;

using_list
    : using_list T_COMMA using_param  /* 312 */
        { $$.value.list = listAppend($1.value.list, $3.value.node); }
    | using_param  /* 313 */
        { $$.value.list = listNew($1.value.node); }
    ;

using_param
    : opt_mode lno exp_until_comma_return  /* 314 */
        {
            astNodeUsingParam *node = astNew<astNodeUsingParam>(AST_USING_PARAM, static_cast<int>($2.value.ival));
            node->argMode = static_cast<int>($1.value.ival);
            node->expr = $3.value.list;
            $$.value.node = node;
        }
    ;

exp_until_comma_return
    : %empty  /* 315 */
        { $$ = TokenValue{}; $$.value.list = COLLECT("Missing expression", ';', T_COMMA, T_RETURNING, T_RETURN); }
    ;

opt_return_clause
    : %empty  /* 316 */
        { $$ = TokenValue{}; $$.value.list = nullptr; }
    | T_RETURNING  /* 317 */
        { $$.value.list = COLLECT("Missing expression", ';'); }
    | T_RETURNING T_INTO  /* 318 */
        { $$.value.list = COLLECT("Missing expression", ';'); }
    | T_RETURN  /* 319 */
        { $$.value.list = COLLECT("Missing expression", ';'); }
    | T_RETURN T_INTO  /* 320 */
        { $$.value.list = COLLECT("Missing expression", ';'); }
    ;

trig_cols
    : %empty  /* 321 */
        { $$ = TokenValue{}; $$.value.list = COLLECT("Missing expression", ';', T_ON); }
    ;

stmt_raise
    : T_RAISE exceptionName ';'  /* 322 */
        {
            astNodeRaise *node = astNew<astNodeRaise>(AST_RAISE, $1.line);
            node->exceptionName = $2.value.list;
            $$.value.node = node;
        }
    | T_RAISE ';'  /* 323 */
        {
            astNodeRaise *node = astNew<astNodeRaise>(AST_RAISE, $1.line);
            node->exceptionName = nullptr;
            $$.value.node = node;
        }
    ;

stmt_raise_app
    : T_RAISE_APP_ERROR '(' signedInteger T_COMMA exp_until_rparen ')' ';'  /* 324 */
        {
            astNodeRaiseApp *node = astNew<astNodeRaiseApp>(AST_RAISE_APP, $1.line);
            node->errorNo = astTokenNew(T_DIGITS, $3.value.text, $1.line);
            node->errorNumber = parserInteger(ctx, $3.value.text);
            node->parms = $5.value.list;
            $$.value.node = node;
        }
    | T_RAISE_APP_ERROR '(' T_WORD T_COMMA exp_until_rparen ')' ';'  /* 325 */
        {
            astNodeRaiseApp *node = astNew<astNodeRaiseApp>(AST_RAISE_APP, $1.line);
            node->errorNo = parserFirstTokenNode($3.value.list);
            node->parms = $5.value.list;
            node->errorNumber = 0;
            $$.value.node = node;
        }
    | T_RAISE_APP_ERROR '(' T_SQLCODE T_COMMA exp_until_rparen ')' ';'  /* 326 */
        {
            astNodeRaiseApp *node = astNew<astNodeRaiseApp>(AST_RAISE_APP, $1.line);
            node->errorNo = astTokenNew(T_SQLCODE, $3.value.text ? $3.value.text : "SQLCODE", $1.line);
            node->errorNumber = 0;
            node->parms = $5.value.list;
            $$.value.node = node;
        }
    ;

stmt_select
    : selectNoParens ';'  /* 327 */
    ;

stmt_create_trigger
    : T_CREATE opt_or_replace T_TRIGGER triggerName triggerPoint triggerEvents T_ON schemaObjectName optReferencing optForEachRow optFollows optDisable optCompound optCondition trigger_body  /* 328 */
        {
            astNodeCreateTrigger *node = astNew<astNodeCreateTrigger>(AST_CREATE_TRIGGER, $1.line);
            node->REPLACE = $2.value.ival != 0;
            node->name = $4.value.list;
            node->point = static_cast<int>($5.value.ival);
            node->events = static_cast<int>($6.value.ival);
            node->updateColumns = $6.aux;
            node->relation = $8.value.list;
            node->referencing = $9.value.list;
            node->forEachRow = $10.value.ival != 0;
            node->follows = $11.value.list;
            node->disable = $12.value.ival != 0;
            node->compound = $13.value.ival != 0;
            node->condition = $14.value.list;
            node->body = static_cast<astNodeBlock *>($15.value.node);
            node->ofColumns = nullptr;
            node->ofTrigger = false;
            $$.value.node = node;
        }
    | T_CREATE opt_or_replace T_TRIGGER triggerName triggerPoint triggerEvents T_OF trig_cols T_ON schemaObjectName optReferencing optForEachRow optFollows optDisable optCompound optCondition trigger_body  /* 329 */
        {
            astNodeCreateTrigger *node = astNew<astNodeCreateTrigger>(AST_CREATE_TRIGGER, $1.line);
            node->REPLACE = $2.value.ival != 0;
            node->ofTrigger = true;
            node->name = $4.value.list;
            node->point = static_cast<int>($5.value.ival);
            node->events = static_cast<int>($6.value.ival);
            node->updateColumns = $6.aux;
            node->ofColumns = $8.value.list;
            node->relation = $10.value.list;
            node->referencing = $11.value.list;
            node->forEachRow = $12.value.ival != 0;
            node->follows = $13.value.list;
            node->disable = $14.value.ival != 0;
            node->compound = $15.value.ival != 0;
            node->condition = $16.value.list;
            node->body = static_cast<astNodeBlock *>($17.value.node);
            $$.value.node = node;
        }
    ;

stmt_alter_trigger
    : T_ALTER T_TRIGGER lno triggerName opt_exp_until_semi optSemiColon  /* 330 */
        { $$.value.node = parserDdl(AST_ALTER_TRIGGER, static_cast<int>($3.value.ival), $4.value.list, $5.value.list); }
    ;

gobble_java
    : %empty  /* 331 */
        {
            $$ = TokenValue{};
            int first = parserFirstToken(yychar);
            $$.value.list = read_brace_block(ctx, &yylval, READ_COLLECT, first);
            yychar = XXEMPTY;
        }
    ;

exp_until_term
    : %empty  /* 332 */
        { $$ = TokenValue{}; $$.value.list = COLLECT("Missing expression", T_TERMINATOR); }
    ;

exp_until_semi
    : %empty  /* 333 */
        { $$ = TokenValue{}; $$.value.list = COLLECT("Missing expression", ';'); }
    ;

opt_exp_until_semi
    : %empty  /* 334 */
        { $$ = TokenValue{}; $$.value.list = COLLECT(nullptr, ';'); }
    ;

selectExpr
    : selectNoParens  /* 335 */
    | selectWithParens  /* 336 */
    ;

selectWithParens
    : '(' selectNoParens ')'  /* 337 */
        { $$ = $2; }
    | '(' selectWithParens ')'  /* 338 */
        { $$ = $2; }
    ;

selectNoParens
    : optCTE T_SELECT select_target into_clause from_clause  /* 339 */
        { $$.value.node = newSelect($2.line, $1.value.list, false, $3.value.list, $4.value.list, $5.value.list); }
    | optCTE T_SELECT select_target T_BULK T_COLLECT into_clause from_clause  /* 340 */
        { $$.value.node = newSelect($2.line, $1.value.list, true, $3.value.list, $6.value.list, $7.value.list); }
    ;

optCTE
    : T_WITH exp_until_select  /* 341 */
        { $$ = $2; }
    | %empty  /* 342 */
        { $$ = TokenValue{}; $$.value.list = nullptr; }
    ;

dflt_value
    : %empty  /* 343 */
        { $$ = TokenValue{}; $$.value.list = COLLECT("Missing default value", T_COMMA, ')', ';'); }
    ;

elseif_sect
    : %empty  /* 344 */
        { $$ = TokenValue{}; $$.value.node = nullptr; }
    | T_ELSIF exp_until_then T_THEN proc_stmts elseif_sect  /* 345 */
        {
            astNodeElseIf *node = astNew<astNodeElseIf>(AST_ELSE_IF, $1.line);
            node->expr = $2.value.list;
            node->body = $4.value.list;
            node->elseIf = static_cast<astNodeElseIf *>($5.value.node);
            $$.value.node = node;
        }
    ;

else_sect
    : %empty  /* 346 */
        { $$ = TokenValue{}; $$.value.list = nullptr; }
    | T_ELSE lno proc_stmts  /* 347 */
        { $$ = $3; }
    ;

exp_until_then
    : %empty  /* 348 */
        { $$ = TokenValue{}; $$.value.list = COLLECT("Missing expression", T_THEN); }
    ;

exp_until_select
    : %empty  /* 349 */
        { $$ = TokenValue{}; $$.value.list = COLLECT("Missing expression", T_SELECT); }
    ;

exp_until_sql
    : T_SAVE_EXCEPTIONS exp_until_sql  /* 350 */
        { $$.value.list = COLLECT("Missing expression", ';', T_UPDATE, T_INSERT, T_DELETE); }
    | %empty  /* 351 */
        { $$ = TokenValue{}; $$.value.list = COLLECT("Missing expression", ';', T_UPDATE, T_INSERT, T_DELETE, T_EXECUTE); }
    ;

exp_until_using
    : %empty  /* 352 */
        { $$ = TokenValue{}; $$.value.list = COLLECT("Missing expression", T_USING, ';'); }
    ;

opt_open_using
    : %empty  /* 353 */
        { $$ = TokenValue{}; $$.value.list = nullptr; }
    | T_USING exp_until_semi  /* 354 */
        { $$ = $2; }
    ;

loop_body
    : proc_stmts T_END T_LOOP optEndName  /* 355 */
    ;

exp_until_loop
    : %empty  /* 356 */
        {
            $$ = TokenValue{};
            int first = parserFirstToken(yychar);
            int last = 0;
            $$.value.list = read_token_run(ctx, &yylval, READ_CONSUME, first, &last, T_LOOP);
            yychar = XXEMPTY;
            if (!$$.value.list)
                reportError(ctx, "Missing expression");
        }
    ;

select_target
    : %empty  /* 357 */
        { $$ = TokenValue{}; $$.value.list = COLLECT("Missing SELECT expression", T_INTO, T_FROM, T_BULK); }
    ;

into_clause
    : %empty  /* 358 */
        { $$ = TokenValue{}; $$.value.list = nullptr; }
    | T_INTO exp_until_from  /* 359 */
        { $$ = $2; }
    ;

exp_until_from
    : %empty  /* 360 */
        { $$ = TokenValue{}; $$.value.list = COLLECT("Missing INTO clause", T_FROM); }
    ;

from_clause
    : T_FROM exp_until_semi  /* 361 */
        {
            $$ = $2;
            if (!$2.value.list)
                reportError(ctx, "Missing FROM clause");
        }
    ;

stmt_execsql
    : T_INSERT exp_until_semi  /* 362 */
        { $$.value.node = newSql($1.line, "INSERT", 307, $2.value.list); }
    | T_UPDATE exp_until_semi  /* 363 */
        { $$.value.node = newSql($1.line, "UPDATE", 308, $2.value.list); }
    | T_DELETE exp_until_semi  /* 364 */
        { $$.value.node = newSql($1.line, "DELETE", 309, $2.value.list); }
    | T_START T_TRANSACTION  /* 365 */
        { $$.value.node = newSql($1.line, "START TRANSACTION", 334, nullptr); }
    | T_MERGE exp_until_semi  /* 366 */
        { $$.value.node = newSql($1.line, "MERGE", 310, $2.value.list); }
    | T_LOCK exp_until_semi  /* 367 */
        { $$.value.node = newSql($1.line, "LOCK", 311, $2.value.list); }
    | T_ROLLBACK opt_exp_until_semi  /* 368 */
        { $$.value.node = newSql($1.line, "ROLLBACK", 332, $2.value.list); }
    | T_SAVEPOINT exp_until_semi  /* 369 */
        { $$.value.node = newSql($1.line, "SAVEPOINT", 311, $2.value.list); }
    | T_TRUNCATE exp_until_semi  /* 370 */
        { $$.value.node = newSql($1.line, "TRUNCATE", 311, $2.value.list); }
    | T_COMMIT opt_exp_until_semi  /* 371 */
        { $$.value.node = newSql($1.line, "COMMIT", 331, $2.value.list); }
    | T_SETTRANSACTION lno opt_exp_until_semi  /* 372 */
        { $$.value.node = newSql(static_cast<int>($2.value.ival), "SET TRANSACTION", 420, $3.value.list); }
    ;

exception_sect
    : %empty  /* 373 */
        { $$ = TokenValue{}; $$.value.list = nullptr; }
    | T_EXCEPTION proc_exceptions  /* 374 */
        { $$ = $2; }
    ;

proc_exceptions
    : proc_exceptions proc_exception  /* 375 */
        { $$.value.list = listAppend($1.value.list, $2.value.node); }
    | proc_exception  /* 376 */
        { $$.value.list = listNew($1.value.node); }
    ;

proc_exception
    : T_WHEN proc_conditions T_THEN proc_stmts  /* 377 */
        {
            astNodeHandler *node = astNew<astNodeHandler>(AST_HANDLER, $1.line);
            node->conditions = $2.value.list;
            node->body = $4.value.list;
            $$.value.node = node;
        }
    ;

proc_conditions
    : proc_conditions T_OR exceptionName  /* 378 */
        { $$.value.list = listAppend($1.value.list, $3.value.node); }
    | exceptionName  /* 379 */
        { $$.value.list = listNew($1.value.node); }
    ;

opt_target
    : %empty  /* 380 */
        { $$ = TokenValue{}; $$.value.text = nullptr; }
    | labelName  /* 381 */
        { $$.value.text = tokenListText($1.value.list); }
    ;

opt_label
    : %empty  /* 382 */
        { $$ = TokenValue{}; $$.value.text = nullptr; }
    | T_LABEL_BEG labelName T_LABEL_END  /* 383 */
        { $$.value.text = tokenListText($2.value.list); }
    ;

optEndName
    : %empty  /* 384 */
        { $$ = TokenValue{}; $$.value.list = nullptr; }
    | schemaObjectName  /* 385 */
    ;

lno
    : %empty  /* 386 */
        {
            $$ = TokenValue{};
            $$.line = scannerCurrentLine(ctx);
            $$.value.ival = $$.line;
        }
    ;

opt_assign
    : T_ASSIGN exp_until_semi ';'  /* 387 */
        { $$ = $2; }
    | %empty  /* 388 */
        { $$ = TokenValue{}; $$.value.list = nullptr; }
    ;

opt_when_expr
    : T_WHEN exp_until_semi  /* 389 */
        { $$ = $2; }
    | %empty  /* 390 */
        { $$ = TokenValue{}; $$.value.list = nullptr; }
    ;

opt_rec_colname
    : '.' varName  /* 391 */
        { $$ = $2; }
    | %empty  /* 392 */
        { $$ = TokenValue{}; $$.value.list = nullptr; }
    ;

param_exp
    : T_WORD lno '(' actual_args ')' opt_rec_colname opt_assign  /* 393 */
        { $$.value.node = callOrAssign(ctx, static_cast<int>($2.value.ival), $1.value.list, $4.value.list, $6.value.list, $7.value.list); }
    | T_DTYPE lno '(' actual_args ')' opt_rec_colname opt_assign  /* 394 */
        { $$.value.node = callOrAssign(ctx, static_cast<int>($2.value.ival), $1.value.list, $4.value.list, $6.value.list, $7.value.list); }
    ;

actual_args
    : exp_until_rparen  /* 395 */
    ;

opt_formal_args
    : %empty  /* 396 */
        { $$ = TokenValue{}; $$.value.list = nullptr; }
    | '(' formal_args ')'  /* 397 */
        { $$ = $2; }
    ;

formal_args
    : formal_args T_COMMA formal_arg  /* 398 */
        { $$.value.list = listAppend($1.value.list, $3.value.node); yyerrok; }
    | formal_arg  /* 399 */
        { $$.value.list = listNew($1.value.node); }
    | error  /* 400 */
        { $$.value.list = listNew(takeLastErrorNode()); }
    | formal_args error  /* 401 */
        { $$.value.list = listAppend($1.value.list, takeLastErrorNode()); }
    ;

formal_arg
    : varName lno opt_mode formal_arg_type opt_arg_dflt  /* 402 */
        {
            astNodeFormalArg *node = astNew<astNodeFormalArg>(AST_FORMAL_ARG, static_cast<int>($2.value.ival));
            node->name = $1.value.list;
            node->mode = static_cast<int>($3.value.ival);
            node->dataType = $4.value.list;
            node->defaultValue = $5.value.list;
            $$.value.node = node;
        }
    ;

opt_mode
    : %empty  /* 403 */
        { $$ = TokenValue{}; $$.value.ival = ARG_IN; }
    | T_IN  /* 404 */
        { $$.value.ival = ARG_IN; }
    | T_OUT optNoCopy  /* 405 */
        { $$.value.ival = ARG_OUT; }
    | T_IN T_OUT optNoCopy  /* 406 */
        { $$.value.ival = ARG_IN_OUT; }
    ;

optNoCopy
    : %empty  /* 407 */
        { $$ = TokenValue{}; $$.value.ival = 0; }
    | T_NOCOPY  /* 408 */
        { $$.value.ival = 1; }
    ;

optReverse
    : %empty  /* 409 */
        { $$ = TokenValue{}; $$.value.ival = 0; }
    | T_REVERSE  /* 410 */
        { $$.value.ival = 1; }
    ;

simple_func_expr
    : T_WORD lno ';'  /* 411 */
        { $$.value.node = newCall(static_cast<int>($2.value.ival), $1.value.list, nullptr); }
    | T_DTYPE lno ';'  /* 412 */
        { $$.value.node = newCall(static_cast<int>($2.value.ival), $1.value.list, nullptr); }
    ;

case_exprs
    : case_exprs case_expr  /* 413 */
        { $$.value.list = listAppend($1.value.list, $2.value.node); }
    | case_expr  /* 414 */
        { $$.value.list = listNew($1.value.node); }
    ;

case_expr
    : T_WHEN exp_until_then T_THEN proc_stmts  /* 415 */
        {
            astNodeCaseExpr *node = astNew<astNodeCaseExpr>(AST_CASE_EXPR, $1.line);
            node->predicate = $2.value.list;
            node->body = $4.value.list;
            $$.value.node = node;
        }
    ;

case_default
    : %empty  /* 416 */
        { $$ = TokenValue{}; $$.value.node = nullptr; }
    | T_ELSE proc_stmts  /* 417 */
        {
            astNodeCaseExpr *node = astNew<astNodeCaseExpr>(AST_CASE_EXPR, $1.line);
            node->body = $2.value.list;
            node->predicate = nullptr;
            $$.value.node = node;
        }
    ;

exp_until_rparen
    : %empty  /* 418 */
        { $$ = TokenValue{}; $$.value.list = COLLECT(nullptr, ')'); }
    ;

exp_until_commaparen
    : %empty  /* 419 */
        { $$ = TokenValue{}; $$.value.list = COLLECT(nullptr, ')', T_COMMA); }
    ;

opt_exp_until_when
    : %empty  /* 420 */
        { $$ = TokenValue{}; $$.value.list = COLLECT(nullptr, T_WHEN); }
    ;

as_is
    : T_IS  /* 421 */
    | T_AS  /* 422 */
    ;

opt_or_replace
    : %empty  /* 423 */
        { $$ = TokenValue{}; $$.value.ival = 0; }
    | T_OR T_REPLACE  /* 424 */
        { $$.value.ival = 1; }
    ;

authid
    : T_AUTHID T_CURRENT_USER  /* 425 */
        { $$.value.ival = 0; }
    | T_AUTHID T_DEFINER  /* 426 */
        { $$.value.ival = 1; }
    ;

opt_authid
    : %empty  /* 427 */
        { $$ = TokenValue{}; $$.value.ival = 1; }
    | authid  /* 428 */
    ;

optFunctionOpts
    : %empty  /* 429 */
        { $$ = TokenValue{}; $$.value.list = nullptr; }
    | functionOpts  /* 430 */
    ;

functionOpts
    : functionOpts functionOpt  /* 431 */
        { $$.value.list = listAppend($1.value.list, $2.value.node); }
    | functionOpt  /* 432 */
        { $$.value.list = listNew($1.value.node); }
    ;

functionOpt
    : authid lno  /* 433 */
        {
            int line = static_cast<int>($2.value.ival);
            $$.value.node = $1.value.ival ? astTokenNew(353, "DEFINER", line) : astTokenNew(352, "CURRENT_USER", line);
        }
    | T_DETERMINISTIC  /* 434 */
        { $$.value.node = astTokenNew(279, "DETERMINISTIC", $1.line); }
    | T_PIPELINED lno  /* 435 */
        { $$.value.node = astTokenNew(384, "PIPELINED", static_cast<int>($2.value.ival)); }
    | T_PIPELINED lno T_USING functionName  /* 436 */
        { $$.value.node = astTokenNew(384, "PIPELINED", static_cast<int>($2.value.ival)); }
    | T_CLUSTER lno clusterName T_BY '(' exp_until_rparen ')'  /* 437 */
        { $$.value.node = astTokenNew(404, "CLUSTER", static_cast<int>($2.value.ival)); }
    | T_CLUSTER lno T_BY '(' exp_until_rparen ')'  /* 438 */
        { $$.value.node = astTokenNew(404, "CLUSTER", static_cast<int>($2.value.ival)); }
    | T_PARALLEL_ENABLE lno '(' exp_until_rparen ')'  /* 439 */
        { $$.value.node = astTokenNew(425, "PARALLEL_ENABLE", static_cast<int>($2.value.ival)); }
    | T_AGGREGATE T_USING functionName  /* 440 */
        { $$.value.node = astTokenNew(410, "AGGREGATE", $1.line); }
    | T_PARALLEL_ENABLE lno  /* 441 */
        { $$.value.node = astTokenNew(425, "PARALLEL_ENABLE", static_cast<int>($2.value.ival)); }
    ;

triggerPoint
    : T_BEFORE  /* 442 */
        { $$.value.ival = TRIGGER_BEFORE; }
    | T_AFTER  /* 443 */
        { $$.value.ival = TRIGGER_AFTER; }
    | T_FOR  /* 444 */
        { $$.value.ival = TRIGGER_FOR; }
    | T_INSTEAD T_OF  /* 445 */
        { $$.value.ival = TRIGGER_INSTEAD_OF; }
    ;

triggerEvents
    : triggerEvents T_OR triggerEvent  /* 446 */
        {
            $$.value.ival = $1.value.ival | $3.value.ival;
            if ($3.value.ival == TRIGGER_UPDATE)
                $$.aux = $3.aux;
        }
    | triggerEvent  /* 447 */
    ;

triggerEvent
    : T_INSERT  /* 448 */
        { $$.value.ival = TRIGGER_INSERT; $$.aux = nullptr; }
    | T_UPDATE optColumnList  /* 449 */
        { $$.value.ival = TRIGGER_UPDATE; $$.aux = $2.value.list; }
    | T_DELETE  /* 450 */
        { $$.value.ival = TRIGGER_DELETE; $$.aux = nullptr; }
    ;

optColumnList
    : %empty  /* 451 */
        { $$ = TokenValue{}; $$.value.list = nullptr; }
    | T_OF columnList  /* 452 */
        { $$ = $2; }
    ;

columnList
    : columnList T_COMMA schemaObjectName  /* 453 */
        { $$.value.list = listAppend($1.value.list, $3.value.node); }
    | schemaObjectName  /* 454 */
        { $$.value.list = listNew($1.value.node); }
    ;

optCondition
    : %empty  /* 455 */
        { $$ = TokenValue{}; $$.value.list = nullptr; }
    | T_WHEN '(' exp_until_rparen ')'  /* 456 */
        { $$ = $3; }
    ;

optReferencing
    : %empty  /* 457 */
        { $$ = TokenValue{}; $$.value.list = nullptr; }
    | T_REFERENCING referencingList  /* 458 */
        { $$ = $2; }
    ;

referencingList
    : referencingList referenceClause  /* 459 */
        { $$.value.list = listAppend($1.value.list, $2.value.node); }
    | referenceClause  /* 460 */
        { $$.value.list = listNew($1.value.node); }
    ;

referenceClause
    : T_OLD T_AS varName  /* 461 */
        { $$.value.node = newTriggerVariable($1.line, TRIGGER_VAR_OLD, $3.value.list); }
    | T_NEW T_AS varName  /* 462 */
        { $$.value.node = newTriggerVariable($1.line, TRIGGER_VAR_NEW, $3.value.list); }
    | T_PARENT T_AS varName  /* 463 */
        { $$.value.node = newTriggerVariable($1.line, TRIGGER_VAR_PARENT, $3.value.list); }
    ;

optForEachRow
    : %empty  /* 464 */
        { $$ = TokenValue{}; $$.value.ival = 0; }
    | T_FOR T_EACH T_ROW  /* 465 */
        { $$.value.ival = 1; }
    ;

optFollows
    : %empty  /* 466 */
        { $$ = TokenValue{}; $$.value.list = nullptr; }
    | T_FOLLOWS triggerName  /* 467 */
        { $$ = $2; }
    ;

optDisable
    : %empty  /* 468 */
        { $$ = TokenValue{}; $$.value.ival = 0; }
    | T_DISABLE  /* 469 */
        { $$.value.ival = 1; }
    ;

optCompound
    : %empty  /* 470 */
        { $$ = TokenValue{}; $$.value.ival = 0; }
    | T_COMPOUND T_TRIGGER  /* 471 */
        { $$.value.ival = 1; }
    ;

varrayDim
    : '(' T_DIGITS ')'  /* 472 */
        { $$ = $2; }
    ;

signedInteger
    : T_DIGITS  /* 473 */
    | '-' T_DIGITS  /* 474 */
        { $$.value.text = parserNegate($2.value.text); }
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
        { $$.value.list = parserKeywordName($1.value.text, $1.line); }
    ;

varName
    : declVarName  /* 580 */
    | T_BODY  /* 581 */
        { $$.value.list = parserKeywordName($1.value.text, $1.line); }
    ;

typeName
    : T_WORD  /* 582 */
    | T_DTYPE  /* 583 */
    | typeKeyword  /* 584 */
        { $$.value.list = parserKeywordName($1.value.text, $1.line); }
    ;

schemaObjectName
    : T_WORD  /* 585 */
    | T_DTYPE  /* 586 */
    | schemaKeyword  /* 587 */
        { $$.value.list = parserKeywordName($1.value.text, $1.line); }
    ;

cursorName : schemaObjectName  /* 588 */ ;
triggerName : schemaObjectName  /* 589 */ ;
procedureName : schemaObjectName  /* 590 */ ;
functionName : schemaObjectName  /* 591 */ ;
packageName : schemaObjectName  /* 592 */ ;
exceptionName : schemaObjectName  /* 593 */ ;
labelName : schemaObjectName  /* 594 */ ;
tableName : schemaObjectName  /* 595 */ ;
viewName : schemaObjectName  /* 596 */ ;
seqName : schemaObjectName  /* 597 */ ;
synName : schemaObjectName  /* 598 */ ;
roleName : schemaObjectName  /* 599 */ ;
userName : schemaObjectName  /* 600 */ ;
indexName : schemaObjectName  /* 601 */ ;
clusterName : schemaObjectName  /* 602 */ ;

%%

/* Symbol names as the grammar lists them; the syntax-error messages and the
   expected-token lists of error records print these. */
static const char *const xxSymbolNames[] = {
    "$end", "error", "$undefined", "T_no_lookahead", "T_lexical_error",
    "T_DIGITS", "T_NUMERICNO", "T_COMPARISON", "T_ARGNAME", "T_TRIG_VAR",
    "T_SQL_NOTFOUND", "T_SQL_FOUND", "T_SQL_ROWCOUNT", "T_STRING", "T_DTYPE",
    "T_WORD", "T_PERCENT_TYPE", "T_PERCENT_ROWTYPE", "T_EXECUTE", "T_PRAGMA",
    "T_AFTER", "T_ALIAS", "T_AUTHID", "T_AUTONOMOUS_XACT", "T_DETERMINISTIC",
    "T_INDEX", "T_BY", "T_LABEL_BEG", "T_LABEL_END", "T_DECLARE", "T_BEGIN",
    "T_END", "T_ASSIGN", "T_DOTDOT", "T_CONCAT", "T_DCOLON", "T_IF", "T_THEN",
    "T_ELSIF", "T_ELSE", "T_WHEN", "T_OR", "T_NOT", "T_LOOP", "T_WHILE",
    "T_REVERSE", "T_FOR", "T_SELECT", "T_FROM", "T_INTO", "T_WHERE",
    "T_USING", "T_INSERT", "T_UPDATE", "T_DELETE", "T_MERGE", "T_LOCK",
    "T_TRUNCATE", "T_SAVEPOINT", "T_CURSOR_NOTFOUND", "T_CURSOR_FOUND",
    "T_CURSOR_ROWCOUNT", "T_CURSOR_ISOPEN", "T_OPEN", "T_CLOSE", "T_CURSOR",
    "T_IS", "T_FETCH", "T_EXIT", "T_IN", "T_SQLCODE", "T_SQLERRM",
    "T_SQLERRMFUNC", "T_EXCEPTION", "T_SQLSTATE", "T_NULL", "T_COMMIT",
    "T_ROLLBACK", "T_RETURN", "T_START", "T_TRANSACTION", "T_RETURNING",
    "T_CASE", "T_CONTINUE", "T_IMMEDIATE", "T_RAISE", "T_RAISE_APP_ERROR",
    "T_TYPE", "T_RECORD", "T_REFCURSOR", "T_VARRAY", "T_PROCEDURE",
    "T_CREATE", "T_FUNCTION", "T_DROP", "T_AS", "T_REPLACE", "T_CURRENT_USER",
    "T_DEFINER", "T_COMMA", "T_TERMINATOR", "T_OUT", "T_GOTO", "T_DEFAULT",
    "T_CONSTANT", "T_NOCOPY", "T_EXCEPTION_INIT", "T_PACKAGE", "T_BODY",
    "T_TRIGGER", "T_BEFORE", "T_INSTEAD", "T_OF", "T_REFERENCING", "T_OLD",
    "T_NEW", "T_ON", "T_PARENT", "T_EACH", "T_ROW", "T_FOLLOWS", "T_DISABLE",
    "T_COMPOUND", "T_BULK", "T_COLLECT", "T_WITH", "T_GRANT", "T_VIEW",
    "T_TABLE", "T_PIPELINED", "T_PIPEROW", "T_FORALL", "T_SAVE_EXCEPTIONS",
    "T_INDICES", "T_VALUES", "T_JAVA_SOURCE_NAMED", "T_JAVA_RESOURCE_NAMED",
    "T_JAVA_CLASS_SCHEMA", "T_AND_RESOLVE", "T_AND_COMPILE", "T_NOFORCE",
    "T_EXTERNAL_LANGUAGE", "T_EXTERNAL_NAME", "T_EXTERNAL_LIBRARY",
    "T_LANGUAGE_C", "T_LANGUAGE_JAVA", "T_WRAPPED", "T_MATERIALIZED",
    "T_GLOBAL_TEMPORARY", "T_CLUSTER", "T_XMLTYPE", "T_REVOKE",
    "T_TABLESPACE", "T_UNKNOWN", "T_USER", "T_AGGREGATE", "T_FORCE", "T_ROLE",
    "T_ROLLBACK_SEGMENT", "T_PARM", "T_SYNONYM", "T_SHARED", "T_ENABLE",
    "T_PUBLIC", "T_DATABASE_LINK", "T_SETTRANSACTION", "T_DATABASE",
    "T_SUBTYPE", "T_SEQUENCE", "T_TEMPORARY_TABLESPACE", "T_PARALLEL_ENABLE",
    "T_PUBLIC_SYNONYM", "T_CONSTRAINT", "T_PRIMARY_KEY", "T_FOREIGN_KEY",
    "T_UNIQUE", "T_CHECK", "T_BITMAP", "T_DIMENSION", "T_DIRECTORY",
    "T_ALTER", "T_COMMENT_ON", "T_PRIVATE", "T_OUTLINE", "T_UNDER", "'('",
    "')'", "';'", "'.'", "'-'", "$accept", "program_list", "programs",
    "program", "create_java_source", "opt_and_resolve_or_compile",
    "opt_noforce", "opt_materialized", "opt_force_noforce", "create_type",
    "drop_type", "create_sequence", "drop_sequence", "alter_sequence",
    "create_tspace", "alter_tspace", "drop_tspace", "revoke_stmt",
    "grant_stmt", "comment_on", "create_role", "drop_role", "alter_role",
    "create_rollback", "drop_rollback", "alter_rollback", "create_dblink",
    "drop_dblink", "create_dimension", "drop_dimension", "alter_dimension",
    "create_cluster", "drop_cluster", "alter_cluster", "create_directory",
    "drop_directory", "create_outline", "drop_outline", "alter_outline",
    "create_user", "drop_user", "alter_user", "create_index",
    "create_synonym", "drop_synonym", "create_proc_stmt", "procedure",
    "create_table", "alter_table", "drop_table", "drop_index", "drop_view",
    "create_view_stmt", "create_func_stmt", "function", "create_pkg_stmt",
    "drop_pkg_stmt", "drop_pkg_head", "drop_pkg_body", "create_pkg_head",
    "create_pkg_body", "pkg_members", "pkg_member_list", "constructor",
    "pkg_member", "pkg_prototypes", "pkg_proto_list", "pkg_prototype",
    "proc_prototype", "func_prototype", "program_body", "external_func",
    "language_func", "first_decl_sect", "pl_block", "trigger_body", "block",
    "decl_sect", "decl_sub_prog", "decl_stmts", "col_decl", "simple_decl",
    "decl_stmt", "decl_oracle_pragma", "record_decl", "tab_cols", "col_decls",
    "simple_decls", "decl_datatype", "formal_arg_type", "opt_notnull",
    "opt_public", "opt_dflt_value", "opt_consName", "opt_unique",
    "opt_bitmap", "opt_enable", "optConstant", "opt_arg_dflt", "proc_stmts",
    "proc_stmt", "labeled_stmt", "stmt_pragma", "stmt_assign", "stmt_if",
    "stmt_loop", "stmt_while", "stmt_fetch", "stmt_close", "stmt_open",
    "stmt_exit", "stmt_continue", "stmt_goto", "stmt_for", "stmt_null",
    "stmt_return", "stmt_piperow", "stmt_forall", "stmt_case",
    "stmt_dynexecute", "immediate_exp", "opt_into_clause", "opt_using_clause",
    "using_list", "using_param", "exp_until_comma_return",
    "opt_return_clause", "trig_cols", "stmt_raise", "stmt_raise_app",
    "stmt_select", "stmt_create_trigger", "stmt_alter_trigger", "gobble_java",
    "exp_until_term", "exp_until_semi", "opt_exp_until_semi", "selectExpr",
    "selectWithParens", "selectNoParens", "optCTE", "dflt_value",
    "elseif_sect", "else_sect", "exp_until_then", "exp_until_select",
    "exp_until_sql", "exp_until_using", "opt_open_using", "loop_body",
    "exp_until_loop", "select_target", "into_clause", "exp_until_from",
    "from_clause", "stmt_execsql", "exception_sect", "proc_exceptions",
    "proc_exception", "proc_conditions", "opt_target", "opt_label",
    "optEndName", "lno", "opt_assign", "opt_when_expr", "opt_rec_colname",
    "param_exp", "actual_args", "opt_formal_args", "formal_args",
    "formal_arg", "opt_mode", "optNoCopy", "optReverse", "simple_func_expr",
    "case_exprs", "case_expr", "case_default", "exp_until_rparen",
    "exp_until_commaparen", "opt_exp_until_when", "as_is", "opt_or_replace",
    "authid", "opt_authid", "optFunctionOpts", "functionOpts", "functionOpt",
    "triggerPoint", "triggerEvents", "triggerEvent", "optColumnList",
    "columnList", "optCondition", "optReferencing", "referencingList",
    "referenceClause", "optForEachRow", "optFollows", "optDisable",
    "optCompound", "varrayDim", "signedInteger", "optSemiColon", "varKeyword",
    "typeKeyword", "schemaKeyword", "declVarName", "varName", "typeName",
    "schemaObjectName", "cursorName", "triggerName", "procedureName",
    "functionName", "packageName", "exceptionName", "labelName", "tableName",
    "viewName", "seqName", "synName", "roleName", "userName", "indexName",
    "clusterName",
};

static_assert(sizeof xxSymbolNames / sizeof xxSymbolNames[0] == YYNTOKENS + YYNNTS,
              "one name per grammar symbol");

const char *parserSymbolName(int symbol)
{
    if (symbol < 0 || symbol >= YYNTOKENS + YYNNTS)
        return nullptr;
    return xxSymbolNames[symbol];
}

int parserSymbolOfToken(int tokenCode)
{
    if (tokenCode <= 0)
        return YYSYMBOL_YYEOF;
    return YYTRANSLATE(tokenCode);
}

/* Stands in for bison's own name copier so that the engine's messages use
   the names above ("$end", "$undefined") rather than bison's aliases. */
static std::ptrdiff_t xxNameCopy(char *result, const char *bisonName)
{
    const char *name = bisonName;
    for (int k = 0; k < YYNTOKENS; ++k) {
        if (yytname[k] == bisonName) {
            name = xxSymbolNames[k];
            break;
        }
    }
    std::size_t length = std::strlen(name);
    if (result)
        std::memcpy(result, name, length + 1);
    return static_cast<std::ptrdiff_t>(length);
}

/* Terminals (symbol numbers) that the action row of a state accepts, in
   symbol order, the error token left out; at most `capacity` of them, and
   capacity + 1 is returned when there are more. */
static int acceptableSymbols(int state, int *symbols, int capacity)
{
    if (state < 0 || state >= YYNSTATES)
        return 0;
    int n = yypact[state];
    if (yypact_value_is_default(n))
        return 0;
    int begin = n < 0 ? -n : 0;
    int checkLimit = YYLAST - n + 1;
    int end = checkLimit < YYNTOKENS ? checkLimit : YYNTOKENS;
    int count = 0;
    for (int x = begin; x < end; ++x) {
        if (yycheck[x + n] == x && x != YYSYMBOL_YYerror && !yytable_value_is_error(yytable[x + n])) {
            if (count == capacity)
                return capacity + 1;
            symbols[count++] = x;
        }
    }
    return count;
}

int expectedTokens(const char **names, int capacity, int state)
{
    if (!names || capacity <= 0)
        return 0;
    int symbols[YYNTOKENS];
    int count = acceptableSymbols(state, symbols, capacity < YYNTOKENS ? capacity : YYNTOKENS);
    if (count > capacity)
        count = capacity;
    for (int i = 0; i < count; ++i)
        names[i] = xxSymbolNames[symbols[i]];
    return count;
}

int xxsyntax_error(char *buffer, int state, int lookahead)
{
    enum { ARGS_MAX = 5 };
    const char *args[ARGS_MAX];
    int count = 0;
    if (lookahead != XXEMPTY) {
        args[count++] = xxSymbolNames[parserSymbolOfToken(lookahead)];
        int symbols[ARGS_MAX - 1];
        int expected = acceptableSymbols(state, symbols, ARGS_MAX - 1);
        if (expected <= ARGS_MAX - 1)
            for (int i = 0; i < expected; ++i)
                args[count++] = xxSymbolNames[symbols[i]];
    }
    static const char *const formats[ARGS_MAX + 1] = {
        "syntax error",
        "syntax error, unexpected %s",
        "syntax error, unexpected %s, expecting %s",
        "syntax error, unexpected %s, expecting %s or %s",
        "syntax error, unexpected %s, expecting %s or %s or %s",
        "syntax error, unexpected %s, expecting %s or %s or %s or %s",
    };
    const char *format = formats[count];
    std::size_t size = std::strlen(format) - 2 * static_cast<std::size_t>(count) + 1;
    for (int i = 0; i < count; ++i)
        size += std::strlen(args[i]);
    if (buffer) {
        char *out = buffer;
        int arg = 0;
        for (const char *f = format; *f; ) {
            if (f[0] == '%' && f[1] == 's' && arg < count) {
                std::size_t length = std::strlen(args[arg]);
                std::memcpy(out, args[arg++], length);
                out += length;
                f += 2;
            } else {
                *out++ = *f++;
            }
        }
        *out = '\0';
    }
    return static_cast<int>(size);
}

#undef xxparse

/* The engine publishes its state number through the parse context while it
   runs; the pointer must not outlive the engine's frame. */
int xxparse(ParseContext *ctx)
{
    int result;
    try {
        result = xxparseEngine(ctx);
    } catch (...) {
        ctx->parserState = nullptr;
        throw;
    }
    ctx->parserState = nullptr;
    return result;
}
