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
   actions expect: 220 shift/reduce and 179 reduce/reduce conflicts. %expect
   cannot pin them, since it demands zero reduce/reduce conflicts of a
   deterministic parser (%expect-rr is for GLR parsers only); the grammar test
   (parser_grammar_test) pins both counts instead, and a change in either
   means a rule choice to check. The reduce/reduce states are described at
   pkg_member and function. The numbers in the rule comments are bison's own
   (plsql_parser.output; rule 0 is the added start rule). */

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

static int nextTokenOfUnit(TokenValue *value, ParseContext *context);
#define xxlex(value, context) nextTokenOfUnit((value), (context))

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

/* A unit that began with CREATE and that error recovery gave up (its CREATE
   popped from the stack, or skipped as a lookahead) is broken as a whole:
   what the parser reads after it up to the next terminator line or unit
   are its pieces. The pops of the parser's final clean-up say nothing. */
%destructor {
    if (std::strncmp(yymsg, "Error", 5) == 0)
        ctx->inBrokenUnit = BROKEN_CREATE_UNIT;
} T_CREATE

%initial-action {
    ctx->parserState = &yystate;
    ctx->errorStatus = &yyerrstatus;
    ctx->probes.expectedTokens = expectedTokens;
}

/* Value types. A symbol's tag names the member of TokenValue that holds its
   value, so that bison types every $$ and $k of the actions and reports a
   default action ($$ = $1) between symbols of different types. A terminal's
   tag says what the scanner stores: keywords and operators their text, names
   a token list, %TYPE, %ROWTYPE and unknown words a token node, numbers a
   float; the terminals declared without a tag carry no value. A tag holds up
   to the next tag or declaration, and the declarations follow the token codes.
   Besides its value a token carries its line in the record's `line` word,
   read as $<line>k, also from the keyword nonterminals, whose default actions
   copy the whole record; the trigger events keep the column list of UPDATE OF
   in the `aux` word, read as $<aux>k. An action sets only the words it names;
   a nonterminal's line is read only where default actions brought it from a
   token. */
%token
    T_no_lookahead  /* 258 */
    T_lexical_error  /* 259 */
%token <value.text>
    T_DIGITS  /* 260 */
%token <value.number>
    T_NUMERICNO  /* 261 */
%token <value.text>
    T_COMPARISON  /* 262 */
    T_ARGNAME  /* 263 */
%token <value.list>
    T_TRIG_VAR  /* 264 */
    T_SQL_NOTFOUND  /* 265 */
    T_SQL_FOUND  /* 266 */
    T_SQL_ROWCOUNT  /* 267 */
%token <value.text>
    T_STRING  /* 268 */
%token <value.list>
    T_DTYPE  /* 269 */
    T_WORD  /* 270 */
%token <value.tokenNode>
    T_PERCENT_TYPE  /* 271 */
    T_PERCENT_ROWTYPE  /* 272 */
%token <value.text>
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
%token
    T_TERMINATOR  /* 355 */
%token <value.text>
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
%token
    T_SAVE_EXCEPTIONS  /* 387 */
    T_INDICES  /* 388 */
    T_VALUES  /* 389 */
%token <value.text>
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
%token <value.tokenNode>
    T_UNKNOWN  /* 408 */
%token <value.text>
    T_USER  /* 409 */
    T_AGGREGATE  /* 410 */
    T_FORCE  /* 411 */
    T_ROLE  /* 412 */
    T_ROLLBACK_SEGMENT  /* 413 */
%token
    T_PARM  /* 414 */
%token <value.text>
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

/* In the order that numbers them; optSemiColon has no value. */
%nterm
    <value.list> program_list
    <value.list> programs
    <value.node> program
    <value.node> create_java_source
    <value.ival> opt_and_resolve_or_compile
    <value.ival> opt_noforce
    <value.ival> opt_materialized
    <value.ival> opt_force_noforce
    <value.node> create_type
    <value.node> drop_type
    <value.node> create_sequence
    <value.node> drop_sequence
    <value.node> alter_sequence
    <value.node> create_tspace
    <value.node> alter_tspace
    <value.node> drop_tspace
    <value.node> revoke_stmt
    <value.node> grant_stmt
    <value.node> comment_on
    <value.node> create_role
    <value.node> drop_role
    <value.node> alter_role
    <value.node> create_rollback
    <value.node> drop_rollback
    <value.node> alter_rollback
    <value.node> create_dblink
    <value.node> drop_dblink
    <value.node> create_dimension
    <value.node> drop_dimension
    <value.node> alter_dimension
    <value.node> create_cluster
    <value.node> drop_cluster
    <value.node> alter_cluster
    <value.node> create_directory
    <value.node> drop_directory
    <value.node> create_outline
    <value.node> drop_outline
    <value.node> alter_outline
    <value.node> create_user
    <value.node> drop_user
    <value.node> alter_user
    <value.node> create_index
    <value.node> create_synonym
    <value.node> drop_synonym
    <value.node> create_proc_stmt
    <value.node> procedure
    <value.node> create_table
    <value.node> alter_table
    <value.node> drop_table
    <value.node> drop_index
    <value.node> drop_view
    <value.node> create_view_stmt
    <value.node> create_func_stmt
    <value.node> function
    <value.node> create_pkg_stmt
    <value.node> drop_pkg_stmt
    <value.node> drop_pkg_head
    <value.node> drop_pkg_body
    <value.node> create_pkg_head
    <value.node> create_pkg_body
    <value.list> pkg_members
    <value.list> pkg_member_list
    <value.node> constructor
    <value.node> pkg_member
    <value.list> pkg_prototypes
    <value.list> pkg_proto_list
    <value.node> pkg_prototype
    <value.node> proc_prototype
    <value.node> func_prototype
    <value.node> program_body
    <value.ival> external_func
    <value.ival> language_func
    <value.list> first_decl_sect
    <value.node> pl_block
    <value.node> trigger_body
    <value.node> block
    <value.list> decl_sect
    <value.node> decl_sub_prog
    <value.list> decl_stmts
    <value.node> col_decl
    <value.node> simple_decl
    <value.node> decl_stmt
    <value.node> decl_oracle_pragma
    <value.list> record_decl
    <value.list> tab_cols
    <value.list> col_decls
    <value.list> simple_decls
    <value.list> decl_datatype
    <value.list> formal_arg_type
    <value.ival> opt_notnull
    <value.ival> opt_public
    <value.list> opt_dflt_value
    <value.list> opt_consName
    <value.ival> opt_unique
    <value.ival> opt_bitmap
    <value.ival> opt_enable
    <value.ival> optConstant
    <value.list> opt_arg_dflt
    <value.list> proc_stmts
    <value.node> proc_stmt
    <value.node> labeled_stmt
    <value.node> stmt_pragma
    <value.node> stmt_assign
    <value.node> stmt_if
    <value.node> stmt_loop
    <value.node> stmt_while
    <value.node> stmt_fetch
    <value.node> stmt_close
    <value.node> stmt_open
    <value.node> stmt_exit
    <value.node> stmt_continue
    <value.node> stmt_goto
    <value.node> stmt_for
    <value.node> stmt_null
    <value.node> stmt_return
    <value.node> stmt_piperow
    <value.node> stmt_forall
    <value.node> stmt_case
    <value.node> stmt_dynexecute
    <value.list> immediate_exp
    <value.list> opt_into_clause
    <value.list> opt_using_clause
    <value.list> using_list
    <value.node> using_param
    <value.list> exp_until_comma_return
    <value.list> opt_return_clause
    <value.list> trig_cols
    <value.node> stmt_raise
    <value.node> stmt_raise_app
    <value.node> stmt_select
    <value.node> stmt_create_trigger
    <value.node> stmt_alter_trigger
    <value.list> gobble_java
    <value.list> exp_until_term
    <value.list> exp_until_semi
    <value.list> opt_exp_until_semi
    <value.node> selectExpr
    <value.node> selectWithParens
    <value.node> selectNoParens
    <value.list> optCTE
    <value.list> dflt_value
    <value.node> elseif_sect
    <value.list> else_sect
    <value.list> exp_until_then
    <value.list> exp_until_select
    <value.list> exp_until_sql
    <value.list> exp_until_using
    <value.list> opt_open_using
    <value.list> loop_body
    <value.list> exp_until_loop
    <value.list> select_target
    <value.list> into_clause
    <value.list> exp_until_from
    <value.list> from_clause
    <value.node> stmt_execsql
    <value.list> exception_sect
    <value.list> proc_exceptions
    <value.node> proc_exception
    <value.list> proc_conditions
    <value.text> opt_target
    <value.text> opt_label
    <value.list> optEndName
    <value.ival> lno
    <value.list> opt_assign
    <value.list> opt_when_expr
    <value.list> opt_rec_colname
    <value.node> param_exp
    <value.list> actual_args
    <value.list> opt_formal_args
    <value.list> formal_args
    <value.node> formal_arg
    <value.ival> opt_mode
    <value.ival> optNoCopy
    <value.ival> optReverse
    <value.node> simple_func_expr
    <value.list> case_exprs
    <value.node> case_expr
    <value.node> case_default
    <value.list> exp_until_rparen
    <value.list> exp_until_commaparen
    <value.list> opt_exp_until_when
    <value.text> as_is
    <value.ival> opt_or_replace
    <value.ival> authid
    <value.ival> opt_authid
    <value.list> optFunctionOpts
    <value.list> functionOpts
    <value.node> functionOpt
    <value.ival> triggerPoint
    <value.ival> triggerEvents
    <value.ival> triggerEvent
    <value.list> optColumnList
    <value.list> columnList
    <value.list> optCondition
    <value.list> optReferencing
    <value.list> referencingList
    <value.node> referenceClause
    <value.ival> optForEachRow
    <value.list> optFollows
    <value.ival> optDisable
    <value.ival> optCompound
    <value.text> varrayDim
    <value.text> signedInteger
%nterm
    optSemiColon
%nterm
    <value.text> varKeyword
    <value.text> typeKeyword
    <value.text> schemaKeyword
    <value.list> declVarName
    <value.list> varName
    <value.list> typeName
    <value.list> schemaObjectName
    <value.list> cursorName
    <value.list> triggerName
    <value.list> procedureName
    <value.list> functionName
    <value.list> packageName
    <value.list> exceptionName
    <value.list> labelName
    <value.list> tableName
    <value.list> viewName
    <value.list> seqName
    <value.list> synName
    <value.list> roleName
    <value.list> userName
    <value.list> indexName
    <value.list> clusterName

%start program_list

%%

program_list
    : programs  /* 1 */
        { ctx->root = $1; }
    ;

programs
    : programs program  /* 2 */
        {
            if (ctx->maxErrors != 0 && yynerrs > ctx->maxErrors) {
                ctx->tooManyErrors = 1;
                YYABORT;
            }
            if ($2) {
                if (ctx->options && !ctx->options->severalUnits)
                    reportErrorExpecting(ctx, "syntax error", "<END-OF-STATEMENT>");
                $$ = listAppend($1, $2);
                noteBrokenUnitPiece(ctx, $2);
            }
            yyerrok;
        }
    | program  /* 3 */
        { $$ = listNew($1); }
    | error  /* 4 */
        { $$ = listNew(takeLastErrorNode(ctx)); noteBrokenUnit(ctx); }
    | programs error  /* 5 */
        { $$ = listAppend($1, takeLastErrorNode(ctx)); noteBrokenUnit(ctx); }
    ;

program
    : create_proc_stmt  /* 6 */
    | create_func_stmt  /* 7 */
    | create_pkg_stmt  /* 8 */
    | drop_pkg_stmt optSemiColon  /* 9 */
    | stmt_create_trigger  /* 10 */
    | stmt_alter_trigger  /* 11 */
    | stmt_execsql optSemiColon  /* 12 */
    | stmt_pragma optSemiColon  /* 13 */
    | pl_block  /* 14 */
        {
            if ($1 && $1->kind == AST_BLOCK)
                nodeAs<astNodeBlock>($1)->anonymous = true;
        }
    | T_TERMINATOR  /* 15 */
        { $$ = nullptr; ctx->inBrokenUnit = NO_BROKEN_UNIT; }
    | create_cluster optSemiColon  /* 16 */
    | create_dblink optSemiColon  /* 17 */
    | create_dimension optSemiColon  /* 18 */
    | create_directory optSemiColon  /* 19 */
    | create_index optSemiColon  /* 20 */
    | create_java_source  /* 21 */
    | create_outline optSemiColon  /* 22 */
    | create_role optSemiColon  /* 23 */
    | create_rollback optSemiColon  /* 24 */
    | create_sequence optSemiColon  /* 25 */
    | create_synonym optSemiColon  /* 26 */
    | create_table  /* 27 */
    | create_tspace  /* 28 */
    | create_type  /* 29 */
    | create_view_stmt optSemiColon  /* 30 */
    | create_user optSemiColon  /* 31 */
    | drop_cluster optSemiColon  /* 32 */
    | drop_dblink optSemiColon  /* 33 */
    | drop_dimension optSemiColon  /* 34 */
    | drop_directory optSemiColon  /* 35 */
    | drop_index optSemiColon  /* 36 */
    | drop_outline optSemiColon  /* 37 */
    | drop_role optSemiColon  /* 38 */
    | drop_rollback optSemiColon  /* 39 */
    | drop_sequence optSemiColon  /* 40 */
    | drop_synonym optSemiColon  /* 41 */
    | drop_table  /* 42 */
    | drop_tspace  /* 43 */
    | drop_type  /* 44 */
    | drop_user optSemiColon  /* 45 */
    | drop_view optSemiColon  /* 46 */
    | grant_stmt optSemiColon  /* 47 */
    | revoke_stmt optSemiColon  /* 48 */
    | alter_cluster optSemiColon  /* 49 */
    | alter_dimension optSemiColon  /* 50 */
    | alter_outline optSemiColon  /* 51 */
    | alter_role optSemiColon  /* 52 */
    | alter_rollback optSemiColon  /* 53 */
    | alter_sequence optSemiColon  /* 54 */
    | alter_table optSemiColon  /* 55 */
    | alter_tspace optSemiColon  /* 56 */
    | alter_user optSemiColon  /* 57 */
    | comment_on optSemiColon  /* 58 */
    ;

/* The CREATE's value carries nothing here ($1 is named for its destructor). */
create_java_source
    : T_CREATE opt_or_replace opt_and_resolve_or_compile opt_noforce T_JAVA_SOURCE_NAMED lno T_WORD as_is gobble_java T_TERMINATOR  /* 59 */
        { (void)$1; $$ = javaSource($6, $7, $3, $4); }
    | T_CREATE opt_or_replace opt_and_resolve_or_compile opt_noforce T_JAVA_RESOURCE_NAMED lno T_WORD as_is gobble_java T_TERMINATOR  /* 60 */
        { (void)$1; $$ = javaSource($6, $7, $3, $4); }
    | T_CREATE opt_or_replace opt_and_resolve_or_compile opt_noforce T_JAVA_CLASS_SCHEMA lno T_WORD as_is gobble_java T_TERMINATOR  /* 61 */
        { (void)$1; $$ = javaSource($6, $7, $3, $4); }
    ;

opt_and_resolve_or_compile
    : %empty  /* 62 */
        { $$ = 0; }
    | T_AND_RESOLVE  /* 63 */
        { $$ = 1; }
    | T_AND_COMPILE  /* 64 */
        { $$ = 1; }
    ;

opt_noforce
    : %empty  /* 65 */
        { $$ = 0; }
    | T_NOFORCE  /* 66 */
        { $$ = 1; }
    ;

opt_materialized
    : %empty  /* 67 */
        { $$ = 0; }
    | T_MATERIALIZED  /* 68 */
        { $$ = 1; }
    ;

opt_force_noforce
    : %empty  /* 69 */
        { $$ = 0; }
    | T_NOFORCE  /* 70 */
        { $$ = 1; }
    | T_FORCE  /* 71 */
        { $$ = 1; }
    ;

create_type
    : T_CREATE opt_or_replace T_TYPE typeName opt_authid as_is exp_until_term  /* 72 */
        { $$ = ddlType($<line>1, $2, $4, $7, false); }
    | T_CREATE opt_or_replace T_TYPE typeName opt_authid T_UNDER exp_until_term  /* 73 */
        { $$ = ddlType($<line>1, $2, $4, $7, true); }
    | T_CREATE opt_or_replace T_TYPE T_BODY typeName opt_authid as_is exp_until_term  /* 74 */
        { $$ = ddlType($<line>1, $2, $5, $8, false); }
    | T_CREATE opt_or_replace T_TYPE typeName T_WRAPPED exp_until_term  /* 75 */
        { $$ = ddlType($<line>1, $2, $4, $6, false); }
    | T_CREATE opt_or_replace T_TYPE T_BODY typeName T_WRAPPED exp_until_term  /* 76 */
        { $$ = ddlType($<line>1, $2, $5, $7, false); }
    ;

drop_type
    : T_DROP T_TYPE typeName opt_exp_until_semi optSemiColon  /* 77 */
        { $$ = parserDdl(AST_DROP_TYPE, $<line>1, $3, $4); }
    ;

create_sequence
    : T_CREATE T_SEQUENCE seqName exp_until_semi  /* 78 */
        { $$ = parserDdl(AST_CREATE_SEQUENCE, $<line>1, $3, $4); }
    ;

drop_sequence
    : T_DROP T_SEQUENCE seqName opt_exp_until_semi optSemiColon  /* 79 */
        { $$ = parserDdl(AST_DROP_SEQUENCE, $<line>1, $3, $4); }
    ;

alter_sequence
    : T_ALTER T_SEQUENCE seqName opt_exp_until_semi optSemiColon  /* 80 */
        { $$ = parserDdl(AST_ALTER_SEQUENCE, $<line>1, $3, $4); }
    ;

create_tspace
    : T_CREATE T_TABLESPACE exp_until_semi optSemiColon  /* 81 */
        { $$ = ddlTablespace($<line>1, $3, false); }
    | T_CREATE T_TEMPORARY_TABLESPACE exp_until_semi optSemiColon  /* 82 */
        { $$ = ddlTablespace($<line>1, $3, true); }
    ;

alter_tspace
    : T_ALTER T_TABLESPACE exp_until_semi optSemiColon  /* 83 */
        { $$ = parserDdl(AST_ALTER_TABLESPACE, $<line>1, nullptr, $3); }
    ;

drop_tspace
    : T_DROP T_TABLESPACE opt_exp_until_semi optSemiColon  /* 84 */
        { $$ = parserDdl(AST_DROP_TABLESPACE, $<line>1, nullptr, $3); }
    ;

revoke_stmt
    : T_REVOKE opt_exp_until_semi  /* 85 */
        { $$ = parserDdl(AST_REVOKE, $<line>1, nullptr, $2); }
    ;

grant_stmt
    : T_GRANT opt_exp_until_semi  /* 86 */
        { $$ = parserDdl(AST_GRANT, $<line>1, nullptr, $2); }
    ;

comment_on
    : T_COMMENT_ON opt_exp_until_semi  /* 87 */
        { $$ = parserDdl(AST_COMMENT_ON, $<line>1, nullptr, $2); }
    ;

create_role
    : T_CREATE T_ROLE roleName opt_exp_until_semi  /* 88 */
        { $$ = parserDdl(AST_CREATE_ROLE, $<line>1, $3, $4); }
    ;

drop_role
    : T_DROP T_ROLE roleName opt_exp_until_semi  /* 89 */
        { $$ = parserDdl(AST_DROP_ROLE, $<line>1, $3, $4); }
    ;

alter_role
    : T_ALTER T_ROLE roleName opt_exp_until_semi  /* 90 */
        { $$ = parserDdl(AST_ALTER_ROLE, $<line>1, $3, $4); }
    ;

create_rollback
    : T_CREATE T_ROLLBACK_SEGMENT opt_exp_until_semi  /* 91 */
        { $$ = parserDdl(AST_CREATE_ROLLBACK, $<line>1, nullptr, $3); }
    ;

drop_rollback
    : T_DROP T_ROLLBACK_SEGMENT opt_exp_until_semi  /* 92 */
        { $$ = parserDdl(AST_DROP_ROLLBACK, $<line>1, nullptr, $3); }
    ;

alter_rollback
    : T_ALTER T_ROLLBACK_SEGMENT opt_exp_until_semi  /* 93 */
        { $$ = parserDdl(AST_ALTER_ROLLBACK, $<line>1, nullptr, $3); }
    ;

create_dblink
    : T_CREATE T_DATABASE_LINK opt_exp_until_semi  /* 94 */
        { $$ = ddlLink(AST_CREATE_DBLINK, $<line>1, $3, false, false); }
    | T_CREATE T_PUBLIC T_DATABASE_LINK opt_exp_until_semi  /* 95 */
        { $$ = ddlLink(AST_CREATE_DBLINK, $<line>1, $4, true, false); }
    | T_CREATE T_SHARED T_DATABASE_LINK opt_exp_until_semi  /* 96 */
        { $$ = ddlLink(AST_CREATE_DBLINK, $<line>1, $4, false, true); }
    ;

drop_dblink
    : T_DROP opt_public T_DATABASE_LINK opt_exp_until_semi  /* 97 */
        { $$ = ddlLink(AST_DROP_DBLINK, $<line>1, $4, $2 != 0, false); }
    ;

create_dimension
    : T_CREATE T_DIMENSION opt_exp_until_semi  /* 98 */
        { $$ = parserDdl(AST_CREATE_DIMENSION, $<line>1, nullptr, $3); }
    ;

drop_dimension
    : T_DROP T_DIMENSION opt_exp_until_semi  /* 99 */
        { $$ = parserDdl(AST_DROP_DIMENSION, $<line>1, nullptr, $3); }
    ;

alter_dimension
    : T_ALTER T_DIMENSION opt_exp_until_semi  /* 100 */
        { $$ = parserDdl(AST_ALTER_DIMENSION, $<line>1, nullptr, $3); }
    ;

create_cluster
    : T_CREATE T_CLUSTER opt_exp_until_semi  /* 101 */
        { $$ = parserDdl(AST_CREATE_CLUSTER, $<line>1, nullptr, $3); }
    ;

drop_cluster
    : T_DROP T_CLUSTER opt_exp_until_semi  /* 102 */
        { $$ = parserDdl(AST_DROP_CLUSTER, $<line>1, nullptr, $3); }
    ;

alter_cluster
    : T_ALTER T_CLUSTER opt_exp_until_semi  /* 103 */
        { $$ = parserDdl(AST_ALTER_CLUSTER, $<line>1, nullptr, $3); }
    ;

create_directory
    : T_CREATE opt_or_replace T_DIRECTORY opt_exp_until_semi  /* 104 */
        { $$ = parserDdl(AST_CREATE_DIRECTORY, $<line>1, nullptr, $4); }
    ;

drop_directory
    : T_DROP T_DIRECTORY opt_exp_until_semi  /* 105 */
        { $$ = parserDdl(AST_DROP_DIRECTORY, $<line>1, nullptr, $3); }
    ;

create_outline
    : T_CREATE opt_or_replace T_OUTLINE opt_exp_until_semi  /* 106 */
        { $$ = parserDdl(AST_CREATE_OUTLINE, $<line>1, nullptr, $4); }
    | T_CREATE opt_or_replace T_PRIVATE T_OUTLINE opt_exp_until_semi  /* 107 */
        { $$ = parserDdl(AST_CREATE_OUTLINE, $<line>1, nullptr, $5); }
    ;

drop_outline
    : T_DROP T_OUTLINE opt_exp_until_semi  /* 108 */
        { $$ = parserDdl(AST_DROP_OUTLINE, $<line>1, nullptr, $3); }
    ;

alter_outline
    : T_ALTER T_OUTLINE opt_exp_until_semi  /* 109 */
        { $$ = parserDdl(AST_ALTER_OUTLINE, $<line>1, nullptr, $3); }
    ;

create_user
    : T_CREATE T_USER userName opt_exp_until_semi  /* 110 */
        { $$ = parserDdl(AST_CREATE_USER, $<line>1, $3, $4); }
    ;

drop_user
    : T_DROP T_USER userName opt_exp_until_semi  /* 111 */
        { $$ = parserDdl(AST_DROP_USER, $<line>1, $3, $4); }
    ;

alter_user
    : T_ALTER T_USER userName opt_exp_until_semi  /* 112 */
        { $$ = parserDdl(AST_ALTER_USER, $<line>1, $3, $4); }
    ;

create_index
    : T_CREATE opt_unique opt_bitmap T_INDEX indexName opt_exp_until_semi  /* 113 */
        {
            astNodeDdlIndex *node = astMake<astNodeDdlIndex>($<line>1);
            node->name = $5;
            node->body = $6;
            node->unq = $2 != 0;
            node->bmap = $3 != 0;
            $$ = node;
        }
    ;

create_synonym
    : T_CREATE opt_or_replace T_SYNONYM synName opt_exp_until_semi  /* 114 */
        { $$ = ddlSynonym(AST_CREATE_SYNONYM, $<line>1, $4, $5, false); }
    | T_CREATE opt_or_replace T_PUBLIC_SYNONYM synName opt_exp_until_semi  /* 115 */
        { $$ = ddlSynonym(AST_CREATE_SYNONYM, $<line>1, $4, $5, true); }
    ;

drop_synonym
    : T_DROP T_SYNONYM synName opt_exp_until_semi optSemiColon  /* 116 */
        { $$ = ddlSynonym(AST_DROP_SYNONYM, $<line>1, $3, $4, false); }
    | T_DROP T_PUBLIC_SYNONYM synName opt_exp_until_semi optSemiColon  /* 117 */
        { $$ = ddlSynonym(AST_DROP_SYNONYM, $<line>1, $3, $4, true); }
    ;

create_proc_stmt
    : T_CREATE opt_or_replace procedure optSemiColon  /* 118 */
        {
            astNodeCreateProc *node = nodeAs<astNodeCreateProc>($3);
            node->line = $<line>1;
            node->REPLACE = $2 != 0;
            node->WRAPPED = false;
            $$ = node;
        }
    | T_CREATE opt_or_replace T_PROCEDURE procedureName T_WRAPPED exp_until_term  /* 119 */
        {
            astNodeCreateProc *node = astMake<astNodeCreateProc>($<line>1);
            node->name = $4;
            node->REPLACE = $2 != 0;
            node->WRAPPED = true;
            node->AUTHID = true;
            $$ = node;
        }
    ;

procedure
    : T_PROCEDURE procedureName opt_formal_args opt_authid as_is program_body  /* 120 */
        {
            astNodeCreateProc *node = astMake<astNodeCreateProc>($<line>1);
            node->name = $2;
            node->REPLACE = false;
            node->args = $3;
            node->AUTHID = $4 != 0;
            node->body = $6;
            node->WRAPPED = false;
            $$ = node;
        }
    ;

create_table
    : T_CREATE T_TABLE tableName tab_cols opt_exp_until_semi optSemiColon  /* 121 */
        { $$ = ddlTable($<line>1, $3, false, false, $4, $5); }
    | T_CREATE T_GLOBAL_TEMPORARY T_TABLE tableName opt_exp_until_semi optSemiColon  /* 122 */
        { $$ = ddlTable($<line>1, $4, true, false, nullptr, $5); }
    | T_CREATE T_TABLE tableName T_OF T_XMLTYPE opt_exp_until_semi optSemiColon  /* 123 */
        { $$ = ddlTable($<line>1, $3, false, true, nullptr, nullptr); }
    | T_CREATE T_TABLE tableName opt_exp_until_semi optSemiColon  /* 124 */
        { $$ = ddlTable($<line>1, $3, false, false, nullptr, $4); }
    ;

alter_table
    : T_ALTER T_TABLE tableName opt_exp_until_semi optSemiColon  /* 125 */
        { $$ = parserDdl(AST_ALTER_TABLE, $<line>1, $3, $4); }
    ;

drop_table
    : T_DROP T_TABLE tableName opt_exp_until_semi optSemiColon  /* 126 */
        { $$ = parserDdl(AST_DROP_TABLE, $<line>1, $3, $4); }
    ;

drop_index
    : T_DROP T_INDEX indexName opt_exp_until_semi  /* 127 */
        { $$ = parserDdl(AST_DROP_INDEX, $<line>1, $3, $4); }
    ;

drop_view
    : T_DROP opt_materialized T_VIEW viewName opt_exp_until_semi optSemiColon  /* 128 */
        {
            astNodeDdlDropView *node = astMake<astNodeDdlDropView>($<line>1);
            node->name = $4;
            node->body = $5;
            node->mat = $2 != 0;
            $$ = node;
        }
    ;

create_view_stmt
    : T_CREATE opt_or_replace opt_force_noforce opt_materialized T_VIEW viewName T_OF typeName opt_exp_until_semi optSemiColon  /* 129 */
        { $$ = ddlView($<line>1, $6, $3, $4, true, $8, $9); }
    | T_CREATE opt_or_replace opt_force_noforce opt_materialized T_VIEW viewName '(' exp_until_rparen ')' opt_exp_until_semi optSemiColon  /* 130 */
        { $$ = ddlView($<line>1, $6, $3, $4, false, $8, $10); }
    | T_CREATE opt_or_replace opt_force_noforce opt_materialized T_VIEW viewName opt_exp_until_semi optSemiColon  /* 131 */
        { $$ = ddlView($<line>1, $6, $3, $4, false, nullptr, $7); }
    ;

create_func_stmt
    : T_CREATE opt_or_replace function optSemiColon  /* 132 */
        {
            astNodeCreateFunc *node = nodeAs<astNodeCreateFunc>($3);
            node->line = $<line>1;
            node->REPLACE = $2 != 0;
            $$ = node;
        }
    | T_CREATE opt_or_replace T_FUNCTION functionName T_WRAPPED exp_until_term  /* 133 */
        {
            astNodeCreateFunc *node = astMake<astNodeCreateFunc>($<line>1);
            node->name = $4;
            node->REPLACE = $2 != 0;
            node->WRAPPED = true;
            $$ = node;
        }
    ;

function
    : T_FUNCTION functionName opt_formal_args T_RETURN formal_arg_type optFunctionOpts as_is program_body  /* 134 */
        {
            astNodeCreateFunc *node = astMake<astNodeCreateFunc>($<line>1);
            node->name = $2;
            node->REPLACE = false;
            node->args = $3;
            node->returns = $5;
            node->body = $8;
            node->options = $6;
            node->WRAPPED = false;
            $$ = node;
        }
    /* Options followed directly by ';' could also start func_prototype (its
       empty exp_until_semi): one reduce/reduce conflict, which this earlier
       rule wins. Such a function in a package body is a routine without a
       body (AST_CREATE_FUNCTION), not a prototype. */
    | T_FUNCTION functionName opt_formal_args T_RETURN formal_arg_type optFunctionOpts  /* 135 */
        {
            astNodeCreateFunc *node = astMake<astNodeCreateFunc>($<line>1);
            node->name = $2;
            node->REPLACE = false;
            node->args = $3;
            node->returns = $5;
            node->options = $6;
            node->WRAPPED = false;
            $$ = node;
        }
    ;

create_pkg_stmt
    : create_pkg_head  /* 136 */
    | create_pkg_body  /* 137 */
    ;

drop_pkg_stmt
    : drop_pkg_head  /* 138 */
    | drop_pkg_body  /* 139 */
    ;

drop_pkg_head
    : T_DROP T_PACKAGE packageName  /* 140 */
        {
            astNodeDropPkgHead *node = astMake<astNodeDropPkgHead>($<line>1);
            node->name = $3;
            $$ = node;
        }
    | T_DROP T_FUNCTION functionName  /* 141 */
        { $$ = nullptr; }
    | T_DROP T_PROCEDURE procedureName  /* 142 */
        { $$ = nullptr; }
    ;

drop_pkg_body
    : T_DROP T_PACKAGE T_BODY packageName  /* 143 */
        {
            astNodeDropPkgBody *node = astMake<astNodeDropPkgBody>($<line>1);
            node->name = $4;
            $$ = node;
        }
    ;

create_pkg_head
    : T_CREATE opt_or_replace T_PACKAGE packageName opt_authid as_is pkg_prototypes optEndName optSemiColon  /* 144 */
        {
            astNodeCreatePkgHead *node = astMake<astNodeCreatePkgHead>($<line>1);
            node->name = $4;
            node->WRAPPED = false;
            node->REPLACE = $2 != 0;
            node->AUTHID = $5 != 0;
            node->elements = $7;
            $$ = node;
        }
    | T_CREATE opt_or_replace T_PACKAGE packageName T_WRAPPED exp_until_term  /* 145 */
        {
            astNodeCreatePkgHead *node = astMake<astNodeCreatePkgHead>($<line>1);
            node->name = $4;
            node->WRAPPED = true;
            node->AUTHID = true;
            $$ = node;
        }
    ;

create_pkg_body
    : T_CREATE opt_or_replace T_PACKAGE T_BODY packageName as_is pkg_members optEndName optSemiColon  /* 146 */
        {
            astNodeCreatePkgBody *node = astMake<astNodeCreatePkgBody>($<line>1);
            node->name = $5;
            node->WRAPPED = false;
            node->REPLACE = $2 != 0;
            node->elements = $7;
            $$ = node;
        }
    | T_CREATE opt_or_replace T_PACKAGE T_BODY packageName T_WRAPPED exp_until_term  /* 147 */
        {
            astNodeCreatePkgBody *node = astMake<astNodeCreatePkgBody>($<line>1);
            node->name = $5;
            node->WRAPPED = true;
            $$ = node;
        }
    ;

pkg_members
    : pkg_member_list T_END  /* 148 */
    | pkg_member_list constructor  /* 149 */
        { $$ = listAppend($1, $2); }
    | constructor  /* 150 */
        { $$ = listNew($1); }
    | T_END  /* 151 */
        { $$ = nullptr; }
    ;

pkg_member_list
    : pkg_member_list pkg_member  /* 152 */
        { $$ = listAppend($1, $2); yyerrok; }
    | pkg_member  /* 153 */
        { $$ = listNew($1); }
    | error  /* 154 */
        { $$ = listNew(takeLastErrorNode(ctx)); }
    | pkg_member_list error  /* 155 */
        { $$ = listAppend($1, takeLastErrorNode(ctx)); }
    ;

constructor
    : T_BEGIN proc_stmts exception_sect T_END  /* 156 */
        { $$ = newBlock($<line>1, nullptr, $2, $3); }
    ;

/* A routine followed by ';' is a pkg_member and also, through decl_stmt,
   a decl_sub_prog: 89 reduce/reduce conflicts in each of the two states after
   procedure ';' and function ';'. pkg_member, the earlier rule, wins. Both
   paths pass the routine's node through unchanged, so the tree is the same;
   the choice only decides which rule the report names. */
pkg_member
    : procedure ';'  /* 157 */
    | function ';'  /* 158 */
    | decl_stmt  /* 159 */
    | func_prototype  /* 160 */
    | proc_prototype  /* 161 */
    ;

pkg_prototypes
    : pkg_proto_list T_END  /* 162 */
    | T_END  /* 163 */
        { $$ = nullptr; }
    ;

pkg_proto_list
    : pkg_proto_list pkg_prototype  /* 164 */
        { $$ = listAppend($1, $2); }
    | pkg_prototype  /* 165 */
        { $$ = listNew($1); }
    | error  /* 166 */
        { takeLastErrorNode(ctx); $$ = nullptr; }
    | pkg_proto_list error  /* 167 */
        { takeLastErrorNode(ctx); }
    ;

pkg_prototype
    : func_prototype  /* 168 */
    | proc_prototype  /* 169 */
    | decl_stmt  /* 170 */
    ;

proc_prototype
    : T_PROCEDURE procedureName opt_formal_args ';'  /* 171 */
        {
            astNodeProcProto *node = astMake<astNodeProcProto>($<line>1);
            node->name = $2;
            node->args = $3;
            $$ = node;
        }
    ;

func_prototype
    : T_FUNCTION functionName opt_formal_args T_RETURN formal_arg_type optFunctionOpts exp_until_semi ';'  /* 172 */
        {
            astNodeFuncProto *node = astMake<astNodeFuncProto>($<line>1);
            node->name = $2;
            node->args = $3;
            node->returns = $5;
            node->options = $6;
            $$ = node;
        }
    ;

program_body
    : first_decl_sect T_BEGIN proc_stmts exception_sect T_END optEndName  /* 173 */
        { $$ = newBlock($<line>2, $1, $3, $4); }
    | external_func lno exp_until_semi  /* 174 */
        { $$ = astTokenNew(397, "EXTERNAL", static_cast<int>($2)); }
    | language_func lno exp_until_semi  /* 175 */
        { $$ = astTokenNew(399, "LANGUAGE", static_cast<int>($2)); }
    ;

external_func
    : T_EXTERNAL_LANGUAGE  /* 176 */
        { $$ = 1; }
    | T_EXTERNAL_NAME  /* 177 */
        { $$ = 1; }
    | T_EXTERNAL_LIBRARY  /* 178 */
        { $$ = 1; }
    ;

language_func
    : T_LANGUAGE_C  /* 179 */
        { $$ = 1; }
    | T_LANGUAGE_JAVA  /* 180 */
        { $$ = 1; }
    ;

first_decl_sect
    : decl_sect  /* 181 */
    | T_DECLARE decl_sect  /* 182 */
        { $$ = $2; }
    ;

pl_block
    : block optSemiColon  /* 183 */
    ;

trigger_body
    : block optEndName optSemiColon  /* 184 */
    ;

block
    : T_DECLARE decl_sect T_BEGIN proc_stmts exception_sect T_END  /* 185 */
        { $$ = newBlock($<line>1, $2, $4, $5); }
    | T_BEGIN proc_stmts exception_sect T_END  /* 186 */
        { $$ = newBlock($<line>1, nullptr, $2, $3); }
    ;

decl_sect
    : %empty  /* 187 */
        { $$ = nullptr; }
    | decl_stmts  /* 188 */
    ;

decl_sub_prog
    : procedure ';'  /* 189 */
    | function ';'  /* 190 */
    ;

decl_stmts
    : decl_stmts decl_stmt  /* 191 */
        { $$ = listAppend($1, $2); }
    | decl_stmt  /* 192 */
        { $$ = listNew($1); }
    | error  /* 193 */
        { $$ = listNew(takeLastErrorNode(ctx)); }
    | decl_stmts error  /* 194 */
        { $$ = listAppend($1, takeLastErrorNode(ctx)); }
    ;

col_decl
    : declVarName lno decl_datatype opt_notnull opt_enable opt_dflt_value exp_until_commaparen  /* 195 */
        {
            astNodeColDecl *node = astMake<astNodeColDecl>(static_cast<int>($2));
            node->colName = $1;
            node->colType = 0;
            node->dType = $3;
            node->notNull = $4 != 0;
            node->stateGiven = $5 != 0;
            node->dfltValue = $6;
            node->body = $7;
            $$ = node;
        }
    | opt_consName T_PRIMARY_KEY opt_unique '(' exp_until_rparen ')' exp_until_commaparen  /* 196 */
        { $$ = newConstraint($<line>2, $1, CONSTRAINT_PRIMARY_KEY, $5, $7); }
    | opt_consName T_PRIMARY_KEY opt_unique T_WORD exp_until_commaparen  /* 197 */
        { $$ = newConstraint($<line>2, $1, CONSTRAINT_PRIMARY_KEY, $4, $5); }
    | opt_consName T_FOREIGN_KEY '(' exp_until_rparen ')' exp_until_commaparen  /* 198 */
        { $$ = newConstraint($<line>2, $1, CONSTRAINT_FOREIGN_KEY, $4, $6); }
    | opt_consName T_FOREIGN_KEY T_WORD exp_until_commaparen  /* 199 */
        { $$ = newConstraint($<line>2, $1, CONSTRAINT_FOREIGN_KEY, $3, $4); }
    | opt_consName T_UNIQUE '(' exp_until_rparen ')' exp_until_commaparen  /* 200 */
        { $$ = newConstraint($<line>2, $1, CONSTRAINT_UNIQUE, $4, $6); }
    | opt_consName T_UNIQUE T_WORD exp_until_commaparen  /* 201 */
        { $$ = newConstraint($<line>2, $1, CONSTRAINT_UNIQUE, $3, $4); }
    | opt_consName T_CHECK '(' exp_until_rparen ')' opt_enable  /* 202 */
        { $$ = newConstraint($<line>2, $1, CONSTRAINT_CHECK, nullptr, $4); }
    ;

simple_decl
    : declVarName lno optConstant decl_datatype opt_notnull opt_enable opt_dflt_value  /* 203 */
        {
            astNodeVarDecl *node = astMake<astNodeVarDecl>(static_cast<int>($2));
            node->variableName = $1;
            node->variableType = VAR_SCALAR;
            node->constant = $3 != 0;
            node->dataType = $4;
            node->notNull = $5 != 0;
            node->stateGiven = $6 != 0;
            node->defaultValue = $7;
            if (node->constant && !node->defaultValue)
                reportError(ctx, "Must specify a default value for CONSTANT declarations");
            $$ = node;
        }
    ;

decl_stmt
    : simple_decl ';'  /* 204 */
    | T_CURSOR cursorName T_IS exp_until_semi ';'  /* 205 */
        {
            astNodeCursorDecl *node = astMake<astNodeCursorDecl>($<line>1);
            node->variableName = $2;
            node->query = $4;
            node->variableType = VAR_CURSOR;
            $$ = node;
        }
    | T_CURSOR cursorName '(' formal_args ')' T_IS exp_until_semi ';'  /* 206 */
        {
            astNodeCursorDecl *node = astMake<astNodeCursorDecl>($<line>1);
            node->variableName = $2;
            node->variableType = VAR_CURSOR;
            node->query = $7;
            node->queryArgs = $4;
            $$ = node;
        }
    | T_CURSOR cursorName '(' formal_args ')' T_RETURN decl_datatype T_IS exp_until_semi ';'  /* 207 */
        {
            astNodeCursorDecl *node = astMake<astNodeCursorDecl>($<line>1);
            node->variableName = $2;
            node->variableType = VAR_CURSOR;
            node->query = $9;
            node->queryArgs = $4;
            $$ = node;
        }
    | T_TYPE declVarName T_IS T_RECORD record_decl ';'  /* 208 */
        {
            astNodeRecordDecl *node = astMake<astNodeRecordDecl>($<line>1);
            node->variableType = VAR_RECORD;
            node->variableName = $2;
            node->dataType = $5;
            $$ = node;
        }
    | T_TYPE declVarName T_IS T_TABLE T_OF decl_datatype opt_notnull T_INDEX T_BY decl_datatype ';'  /* 209 */
        {
            astNodeTableDecl *node = astMake<astNodeTableDecl>($<line>1);
            node->variableName = $2;
            node->variableType = VAR_TABLE;
            node->dataType = $6;
            node->notNull = $7 != 0;
            node->noIndexBy = false;
            node->indexType = $10;
            $$ = node;
        }
    | T_TYPE declVarName T_IS T_TABLE T_OF decl_datatype ';'  /* 210 */
        {
            astNodeTableDecl *node = astMake<astNodeTableDecl>($<line>1);
            node->variableName = $2;
            node->dataType = $6;
            node->variableType = VAR_TABLE;
            node->indexType = nullptr;
            node->noIndexBy = true;
            $$ = node;
        }
    | T_SUBTYPE declVarName T_IS decl_datatype opt_notnull ';'  /* 211 */
        {
            astNodeSubType *node = astMake<astNodeSubType>($<line>1);
            node->variableName = $2;
            node->dataType = $4;
            node->variableType = VAR_SUBTYPE;
            $$ = node;
        }
    | T_TYPE declVarName T_IS T_REFCURSOR ';'  /* 212 */
        {
            astNodeRefCursorDecl *node = astMake<astNodeRefCursorDecl>($<line>1);
            node->variableName = $2;
            node->variableType = VAR_REFCURSOR;
            $$ = node;
        }
    | T_TYPE declVarName T_IS T_REFCURSOR T_RETURN decl_datatype ';'  /* 213 */
        {
            astNodeRefCursorDecl *node = astMake<astNodeRefCursorDecl>($<line>1);
            node->variableName = $2;
            node->dataType = $6;
            node->variableType = VAR_REFCURSOR;
            $$ = node;
        }
    | T_TYPE declVarName T_IS T_VARRAY varrayDim T_OF decl_datatype ';'  /* 214 */
        {
            astNodeVarrayDecl *node = astMake<astNodeVarrayDecl>($<line>1);
            node->variableName = $2;
            node->dimension = $5 ? poolStrdup($5) : nullptr;
            node->dataType = $7;
            node->variableType = VAR_VARRAY;
            $$ = node;
        }
    | declVarName lno T_EXCEPTION ';'  /* 215 */
        {
            astNodeExceptionDecl *node = astMake<astNodeExceptionDecl>(static_cast<int>($2));
            node->variableName = $1;
            node->variableType = VAR_EXCEPTION;
            $$ = node;
        }
    | T_PRAGMA T_EXCEPTION_INIT '(' exceptionName T_COMMA signedInteger ')' ';'  /* 216 */
        {
            astNodeExceptionDecl *node = astMake<astNodeExceptionDecl>($<line>1);
            node->variableType = VAR_EXCEPTION_INIT;
            node->variableName = $4;
            node->value = parserInteger(ctx, $6);
            $$ = node;
        }
    | T_PRAGMA T_AUTONOMOUS_XACT ';'  /* 217 */
        {
            astNodePragma *node = astMake<astNodePragma>($<line>1);
            node->pragmaCode = 278;
            $$ = node;
        }
    | decl_sub_prog  /* 218 */
    | decl_oracle_pragma  /* 219 */
    ;

decl_oracle_pragma
    : T_PRAGMA lno exp_until_semi ';'  /* 220 */
        {
            astNodeOraclePragma *node = astMake<astNodeOraclePragma>(static_cast<int>($2));
            node->expr = $3;
            $$ = node;
        }
    ;

record_decl
    : '(' simple_decls ')'  /* 221 */
        { $$ = $2; }
    ;

tab_cols
    : '(' col_decls ')'  /* 222 */
        { $$ = $2; }
    ;

col_decls
    : col_decls T_COMMA col_decl  /* 223 */
        { $$ = listAppend($1, $3); }
    | col_decl  /* 224 */
        { $$ = listNew($1); }
    ;

simple_decls
    : simple_decls T_COMMA simple_decl  /* 225 */
        { $$ = listAppend($1, $3); }
    | simple_decl  /* 226 */
        { $$ = listNew($1); }
    ;

decl_datatype
    : typeName  /* 227 */
        { $$ = parserDatatype(ctx, &yylval, takeLookahead(ctx, yychar, $1), true); }
    ;

formal_arg_type
    : typeName  /* 228 */
        { $$ = parserDatatype(ctx, &yylval, takeLookahead(ctx, yychar, $1), false); }
    ;

opt_notnull
    : %empty  /* 229 */
        { $$ = 0; }
    | T_NOT T_NULL  /* 230 */
        { $$ = 1; }
    ;

opt_public
    : %empty  /* 231 */
        { $$ = 0; }
    | T_PUBLIC  /* 232 */
        { $$ = 1; }
    ;

opt_dflt_value
    : %empty  /* 233 */
        { $$ = nullptr; }
    | T_ASSIGN dflt_value  /* 234 */
        { $$ = $2; }
    | T_DEFAULT dflt_value  /* 235 */
        { $$ = $2; }
    ;

opt_consName
    : %empty  /* 236 */
        { $$ = nullptr; }
    | T_CONSTRAINT T_WORD  /* 237 */
        { $$ = $2; }
    | T_CONSTRAINT  /* 238 */
        { $$ = nullptr; }
    | T_WORD  /* 239 */
    ;

opt_unique
    : %empty  /* 240 */
        { $$ = 0; }
    | T_UNIQUE  /* 241 */
        { $$ = 1; }
    ;

opt_bitmap
    : %empty  /* 242 */
        { $$ = 0; }
    | T_BITMAP  /* 243 */
        { $$ = 1; }
    ;

opt_enable
    : %empty  /* 244 */
        { $$ = 0; }
    | T_ENABLE  /* 245 */
        { $$ = 1; }
    | T_DISABLE  /* 246 */
        { $$ = 1; }
    ;

optConstant
    : %empty  /* 247 */
        { $$ = 0; }
    | T_CONSTANT  /* 248 */
        { $$ = 1; }
    ;

opt_arg_dflt
    : %empty  /* 249 */
        { $$ = nullptr; }
    | T_DEFAULT  /* 250 */
        { $$ = COLLECT("Missing default value", ')', T_COMMA); }
    | T_ASSIGN  /* 251 */
        { $$ = COLLECT("Missing default value", ')', T_COMMA); }
    ;

proc_stmts
    : proc_stmts proc_stmt  /* 252 */
        { $$ = listAppend($1, $2); yyerrok; }
    | proc_stmt  /* 253 */
        { $$ = listNew($1); }
    | error  /* 254 */
        { $$ = listNew(takeLastErrorNode(ctx)); }
    | proc_stmts error  /* 255 */
        { $$ = listAppend($1, takeLastErrorNode(ctx)); }
    ;

proc_stmt
    : opt_label labeled_stmt  /* 256 */
        {
            if ($2)
                parserSetLabel($2, $1);
            $$ = $2;
        }
    | opt_label pl_block  /* 257 */
        {
            /* A labelled nested block keeps its label like any statement. */
            if ($2)
                parserSetLabel($2, $1);
            $$ = $2;
        }
    ;

labeled_stmt
    : stmt_assign  /* 258 */
    | stmt_if  /* 259 */
    | stmt_loop  /* 260 */
    | stmt_while  /* 261 */
    | stmt_select  /* 262 */
    | stmt_execsql ';'  /* 263 */
    | stmt_fetch  /* 264 */
    | stmt_close  /* 265 */
    | stmt_open  /* 266 */
    | stmt_exit  /* 267 */
    | stmt_continue  /* 268 */
    | stmt_goto  /* 269 */
    | stmt_for  /* 270 */
    | param_exp ';'  /* 271 */
    | stmt_null  /* 272 */
    | stmt_return  /* 273 */
    | simple_func_expr  /* 274 */
    | stmt_case  /* 275 */
    | stmt_dynexecute  /* 276 */
    | stmt_raise  /* 277 */
    | stmt_raise_app  /* 278 */
    | stmt_pragma  /* 279 */
    | stmt_piperow  /* 280 */
    | stmt_forall  /* 281 */
    ;

stmt_pragma
    : T_PRAGMA T_ALIAS decl_datatype T_ASSIGN T_STRING  /* 282 */
        {
            astNodePragma *node = astMake<astNodePragma>($<line>1);
            node->pragmaCode = 276;
            node->name = $3;
            const char *text = $5 ? $5 : "";
            node->value = listNew(astTokenNew(268, *text ? text + 1 : text, $<line>1));
            $$ = node;
        }
    ;

stmt_assign
    : varName lno T_ASSIGN exp_until_semi ';'  /* 283 */
        { $$ = newAssign(static_cast<int>($2), $1, $4); }
    | T_TRIG_VAR lno T_ASSIGN exp_until_semi ';'  /* 284 */
        { $$ = newAssign(static_cast<int>($2), $1, $4); }
    ;

stmt_if
    : T_IF exp_until_then T_THEN proc_stmts elseif_sect else_sect T_END T_IF ';'  /* 285 */
        {
            astNodeIf *node = astMake<astNodeIf>($<line>1);
            node->expr = $2;
            node->body = $4;
            node->elseIf = parserElseIfsInOrder(nodeAs<astNodeElseIf>($5));
            node->elseBody = $6;
            $$ = node;
        }
    ;

stmt_loop
    : T_LOOP loop_body ';'  /* 286 */
        {
            astNodeLoop *node = astMake<astNodeLoop>($<line>1);
            node->body = $2;
            $$ = node;
        }
    ;

stmt_while
    : T_WHILE exp_until_loop loop_body ';'  /* 287 */
        {
            astNodeWhile *node = astMake<astNodeWhile>($<line>1);
            node->expr = $2;
            node->body = $3;
            $$ = node;
        }
    ;

stmt_fetch
    : T_FETCH cursorName T_INTO exp_until_semi ';'  /* 288 */
        {
            astNodeFetch *node = astMake<astNodeFetch>($<line>1);
            node->variable = $2;
            node->expr = $4;
            node->bulkCollect = false;
            $$ = node;
        }
    | T_FETCH cursorName T_BULK T_COLLECT T_INTO exp_until_semi ';'  /* 289 */
        {
            astNodeFetch *node = astMake<astNodeFetch>($<line>1);
            node->variable = $2;
            node->expr = $6;
            node->bulkCollect = true;
            $$ = node;
        }
    ;

stmt_close
    : T_CLOSE cursorName ';'  /* 290 */
        {
            astNodeClose *node = astMake<astNodeClose>($<line>1);
            node->variable = $2;
            $$ = node;
        }
    ;

stmt_open
    : T_OPEN cursorName ';'  /* 291 */
        { $$ = newOpen($<line>1, $2, nullptr, nullptr, nullptr); }
    | T_OPEN cursorName T_FOR selectExpr ';'  /* 292 */
        { $$ = newOpen($<line>1, $2, $4, nullptr, nullptr); }
    | T_OPEN cursorName T_FOR exp_until_using opt_open_using ';'  /* 293 */
        { $$ = newOpen($<line>1, $2, $4, $5, nullptr); }
    | T_OPEN cursorName '(' actual_args ')' ';'  /* 294 */
        { $$ = newOpen($<line>1, $2, nullptr, nullptr, $4); }
    ;

stmt_exit
    : T_EXIT opt_target opt_when_expr ';'  /* 295 */
        {
            astNodeExit *node = astMake<astNodeExit>($<line>1);
            node->target = $2;
            node->expr = $3;
            $$ = node;
        }
    ;

stmt_continue
    : T_CONTINUE opt_target opt_when_expr ';'  /* 296 */
        {
            astNodeContinue *node = astMake<astNodeContinue>($<line>1);
            node->target = $2;
            node->expr = $3;
            $$ = node;
        }
    ;

stmt_goto
    : T_GOTO labelName ';'  /* 297 */
        {
            astNodeGoto *node = astMake<astNodeGoto>($<line>1);
            node->target = $2;
            $$ = node;
        }
    ;

stmt_for
    : T_FOR varName T_IN optReverse exp_until_loop loop_body ';'  /* 298 */
        {
            astNodeFor *node = astMake<astNodeFor>($<line>1);
            node->index = $2;
            node->reverse = $4 != 0;
            node->expr = $5;
            node->body = $6;
            node->loopType = parserForLoopType($5);
            $$ = node;
        }
    ;

stmt_null
    : T_NULL ';'  /* 299 */
        { $$ = astMake<astNodeNull>($<line>1); }
    ;

stmt_return
    : T_RETURN opt_exp_until_semi ';'  /* 300 */
        {
            astNodeReturn *node = astMake<astNodeReturn>($<line>1);
            node->expr = $2;
            $$ = node;
        }
    ;

stmt_piperow
    : T_PIPEROW lno exp_until_semi ';'  /* 301 */
        {
            astNodePiperow *node = astMake<astNodePiperow>(static_cast<int>($2));
            node->expr = $3;
            $$ = node;
        }
    ;

stmt_forall
    : T_FORALL T_WORD T_IN exp_until_sql stmt_dynexecute  /* 302 */
        {
            astNodeForall *node = astMake<astNodeForall>($<line>1);
            node->index = parserFirstTokenNode($2);
            node->expr = $4;
            node->dynamic = $5;
            node->exec = true;
            $$ = node;
        }
    | T_FORALL T_WORD T_IN exp_until_sql stmt_execsql ';'  /* 303 */
        {
            astNodeForall *node = astMake<astNodeForall>($<line>1);
            node->index = parserFirstTokenNode($2);
            node->expr = $4;
            node->body = $5;
            $$ = node;
        }
    ;

stmt_case
    : T_CASE opt_exp_until_when case_exprs case_default T_END T_CASE ';'  /* 304 */
        {
            astNodeCase *node = astMake<astNodeCase>($<line>1);
            node->predicate = $2;
            node->values = $3;
            node->defaultValue = nodeAs<astNodeCaseExpr>($4);
            $$ = node;
        }
    ;

stmt_dynexecute
    : T_EXECUTE T_IMMEDIATE immediate_exp opt_into_clause opt_using_clause opt_return_clause ';'  /* 305 */
        {
            astNodeDynamic *node = astMake<astNodeDynamic>($<line>1);
            node->expr = $3;
            node->into = $4;
            node->using_ = $5;
            node->returnList = $6;
            $$ = node;
        }
    ;

immediate_exp
    : %empty  /* 306 */
        { $$ = COLLECT("Missing statement", ';', T_USING, T_INTO, T_RETURNING, T_RETURN); }
    ;

opt_into_clause
    : %empty  /* 307 */
        { $$ = nullptr; }
    | T_INTO  /* 308 */
        { $$ = COLLECT("Missing statement", ';', T_USING, T_RETURNING, T_RETURN); }
    ;

opt_using_clause
    : %empty  /* 309 */
        { $$ = nullptr; }
    | T_USING using_list  /* 310 */
        { $$ = $2; }
    ;

using_list
    : using_list T_COMMA using_param  /* 311 */
        { $$ = listAppend($1, $3); }
    | using_param  /* 312 */
        { $$ = listNew($1); }
    ;

using_param
    : opt_mode lno exp_until_comma_return  /* 313 */
        {
            astNodeUsingParam *node = astMake<astNodeUsingParam>(static_cast<int>($2));
            node->argMode = static_cast<int>($1);
            node->expr = $3;
            $$ = node;
        }
    ;

exp_until_comma_return
    : %empty  /* 314 */
        { $$ = COLLECT("Missing expression", ';', T_COMMA, T_RETURNING, T_RETURN); }
    ;

opt_return_clause
    : %empty  /* 315 */
        { $$ = nullptr; }
    | T_RETURNING  /* 316 */
        { $$ = COLLECT("Missing expression", ';'); }
    | T_RETURNING T_INTO  /* 317 */
        { $$ = COLLECT("Missing expression", ';'); }
    | T_RETURN  /* 318 */
        { $$ = COLLECT("Missing expression", ';'); }
    | T_RETURN T_INTO  /* 319 */
        { $$ = COLLECT("Missing expression", ';'); }
    ;

trig_cols
    : %empty  /* 320 */
        { $$ = COLLECT("Missing expression", ';', T_ON); }
    ;

stmt_raise
    : T_RAISE exceptionName ';'  /* 321 */
        {
            astNodeRaise *node = astMake<astNodeRaise>($<line>1);
            node->exceptionName = $2;
            $$ = node;
        }
    | T_RAISE ';'  /* 322 */
        {
            astNodeRaise *node = astMake<astNodeRaise>($<line>1);
            node->exceptionName = nullptr;
            $$ = node;
        }
    ;

stmt_raise_app
    : T_RAISE_APP_ERROR '(' signedInteger T_COMMA exp_until_rparen ')' ';'  /* 323 */
        {
            astNodeRaiseApp *node = astMake<astNodeRaiseApp>($<line>1);
            node->errorNo = astTokenNew(T_DIGITS, $3, $<line>1);
            node->errorNumber = parserInteger(ctx, $3);
            node->parms = $5;
            $$ = node;
        }
    | T_RAISE_APP_ERROR '(' T_WORD T_COMMA exp_until_rparen ')' ';'  /* 324 */
        {
            astNodeRaiseApp *node = astMake<astNodeRaiseApp>($<line>1);
            node->errorNo = parserFirstTokenNode($3);
            node->parms = $5;
            node->errorNumber = 0;
            $$ = node;
        }
    | T_RAISE_APP_ERROR '(' T_SQLCODE T_COMMA exp_until_rparen ')' ';'  /* 325 */
        {
            astNodeRaiseApp *node = astMake<astNodeRaiseApp>($<line>1);
            node->errorNo = astTokenNew(T_SQLCODE, $3 ? $3 : "SQLCODE", $<line>1);
            node->errorNumber = 0;
            node->parms = $5;
            $$ = node;
        }
    ;

stmt_select
    : selectNoParens ';'  /* 326 */
    ;

stmt_create_trigger
    : T_CREATE opt_or_replace T_TRIGGER triggerName triggerPoint triggerEvents T_ON schemaObjectName optReferencing optForEachRow optFollows optDisable optCompound optCondition trigger_body  /* 327 */
        {
            astNodeCreateTrigger *node = astMake<astNodeCreateTrigger>($<line>1);
            node->REPLACE = $2 != 0;
            node->name = $4;
            node->point = static_cast<int>($5);
            node->events = static_cast<int>($6);
            node->updateColumns = $<aux>6;
            node->relation = $8;
            node->referencing = $9;
            node->forEachRow = $10 != 0;
            node->follows = $11;
            node->disable = $12 != 0;
            node->compound = $13 != 0;
            node->condition = $14;
            node->body = nodeAs<astNodeBlock>($15);
            node->ofColumns = nullptr;
            node->ofTrigger = false;
            $$ = node;
        }
    | T_CREATE opt_or_replace T_TRIGGER triggerName triggerPoint triggerEvents T_OF trig_cols T_ON schemaObjectName optReferencing optForEachRow optFollows optDisable optCompound optCondition trigger_body  /* 328 */
        {
            astNodeCreateTrigger *node = astMake<astNodeCreateTrigger>($<line>1);
            node->REPLACE = $2 != 0;
            node->ofTrigger = true;
            node->name = $4;
            node->point = static_cast<int>($5);
            node->events = static_cast<int>($6);
            node->updateColumns = $<aux>6;
            node->ofColumns = $8;
            node->relation = $10;
            node->referencing = $11;
            node->forEachRow = $12 != 0;
            node->follows = $13;
            node->disable = $14 != 0;
            node->compound = $15 != 0;
            node->condition = $16;
            node->body = nodeAs<astNodeBlock>($17);
            $$ = node;
        }
    ;

stmt_alter_trigger
    : T_ALTER T_TRIGGER lno triggerName opt_exp_until_semi optSemiColon  /* 329 */
        { $$ = parserDdl(AST_ALTER_TRIGGER, static_cast<int>($3), $4, $5); }
    ;

gobble_java
    : %empty  /* 330 */
        {
            int first = parserFirstToken(yychar);
            $$ = read_brace_block(ctx, &yylval, READ_COLLECT, first);
            yychar = XXEMPTY;
        }
    ;

exp_until_term
    : %empty  /* 331 */
        { $$ = COLLECT("Missing expression", T_TERMINATOR); }
    ;

exp_until_semi
    : %empty  /* 332 */
        { $$ = COLLECT("Missing expression", ';'); }
    ;

opt_exp_until_semi
    : %empty  /* 333 */
        { $$ = COLLECT(nullptr, ';'); }
    ;

selectExpr
    : selectNoParens  /* 334 */
    | selectWithParens  /* 335 */
    ;

selectWithParens
    : '(' selectNoParens ')'  /* 336 */
        { $$ = $2; }
    | '(' selectWithParens ')'  /* 337 */
        { $$ = $2; }
    ;

selectNoParens
    : optCTE T_SELECT select_target into_clause from_clause  /* 338 */
        { $$ = newSelect($<line>2, $1, false, $3, $4, $5); }
    | optCTE T_SELECT select_target T_BULK T_COLLECT into_clause from_clause  /* 339 */
        { $$ = newSelect($<line>2, $1, true, $3, $6, $7); }
    ;

optCTE
    : T_WITH exp_until_select  /* 340 */
        { $$ = $2; }
    | %empty  /* 341 */
        { $$ = nullptr; }
    ;

dflt_value
    : %empty  /* 342 */
        { $$ = COLLECT("Missing default value", T_COMMA, ')', ';'); }
    ;

elseif_sect
    : %empty  /* 343 */
        { $$ = nullptr; }
    | elseif_sect T_ELSIF exp_until_then T_THEN proc_stmts  /* 344 */
        {
            /* Left recursion: a chain of any length is flat on the parser's
               stack. The branches come linked last first (see stmt_if). */
            astNodeElseIf *node = astMake<astNodeElseIf>($<line>2);
            node->expr = $3;
            node->body = $5;
            node->elseIf = nodeAs<astNodeElseIf>($1);
            $$ = node;
        }
    ;

else_sect
    : %empty  /* 345 */
        { $$ = nullptr; }
    | T_ELSE lno proc_stmts  /* 346 */
        { $$ = $3; }
    ;

exp_until_then
    : %empty  /* 347 */
        { $$ = COLLECT("Missing expression", T_THEN); }
    ;

exp_until_select
    : %empty  /* 348 */
        { $$ = COLLECT("Missing expression", T_SELECT); }
    ;

exp_until_sql
    : T_SAVE_EXCEPTIONS exp_until_sql  /* 349 */
        { $$ = COLLECT("Missing expression", ';', T_UPDATE, T_INSERT, T_DELETE); }
    | %empty  /* 350 */
        { $$ = COLLECT("Missing expression", ';', T_UPDATE, T_INSERT, T_DELETE, T_EXECUTE); }
    ;

exp_until_using
    : %empty  /* 351 */
        { $$ = COLLECT("Missing expression", T_USING, ';'); }
    ;

opt_open_using
    : %empty  /* 352 */
        { $$ = nullptr; }
    | T_USING exp_until_semi  /* 353 */
        { $$ = $2; }
    ;

loop_body
    : proc_stmts T_END T_LOOP optEndName  /* 354 */
    ;

exp_until_loop
    : %empty  /* 355 */
        {
            int first = parserFirstToken(yychar);
            int last = 0;
            $$ = read_token_run(ctx, &yylval, READ_CONSUME, first, &last, T_LOOP);
            yychar = XXEMPTY;
            if (!$$)
                reportError(ctx, "Missing expression");
        }
    ;

select_target
    : %empty  /* 356 */
        { $$ = COLLECT("Missing SELECT expression", T_INTO, T_FROM, T_BULK); }
    ;

into_clause
    : %empty  /* 357 */
        { $$ = nullptr; }
    | T_INTO exp_until_from  /* 358 */
        { $$ = $2; }
    ;

exp_until_from
    : %empty  /* 359 */
        { $$ = COLLECT("Missing INTO clause", T_FROM); }
    ;

from_clause
    : T_FROM exp_until_semi  /* 360 */
        {
            $$ = $2;
            if (!$2)
                reportError(ctx, "Missing FROM clause");
        }
    ;

stmt_execsql
    : T_INSERT exp_until_semi  /* 361 */
        { $$ = newSql($<line>1, "INSERT", 307, $2); }
    | T_UPDATE exp_until_semi  /* 362 */
        { $$ = newSql($<line>1, "UPDATE", 308, $2); }
    | T_DELETE exp_until_semi  /* 363 */
        { $$ = newSql($<line>1, "DELETE", 309, $2); }
    | T_START T_TRANSACTION  /* 364 */
        { $$ = newSql($<line>1, "START TRANSACTION", 334, nullptr); }
    | T_MERGE exp_until_semi  /* 365 */
        { $$ = newSql($<line>1, "MERGE", 310, $2); }
    | T_LOCK exp_until_semi  /* 366 */
        { $$ = newSql($<line>1, "LOCK", 311, $2); }
    | T_ROLLBACK opt_exp_until_semi  /* 367 */
        { $$ = newSql($<line>1, "ROLLBACK", 332, $2); }
    | T_SAVEPOINT exp_until_semi  /* 368 */
        { $$ = newSql($<line>1, "SAVEPOINT", 311, $2); }
    | T_TRUNCATE exp_until_semi  /* 369 */
        { $$ = newSql($<line>1, "TRUNCATE", 311, $2); }
    | T_COMMIT opt_exp_until_semi  /* 370 */
        { $$ = newSql($<line>1, "COMMIT", 331, $2); }
    | T_SETTRANSACTION lno opt_exp_until_semi  /* 371 */
        { $$ = newSql(static_cast<int>($2), "SET TRANSACTION", 420, $3); }
    ;

exception_sect
    : %empty  /* 372 */
        { $$ = nullptr; }
    | T_EXCEPTION proc_exceptions  /* 373 */
        { $$ = $2; }
    ;

proc_exceptions
    : proc_exceptions proc_exception  /* 374 */
        { $$ = listAppend($1, $2); }
    | proc_exception  /* 375 */
        { $$ = listNew($1); }
    ;

proc_exception
    : T_WHEN proc_conditions T_THEN proc_stmts  /* 376 */
        {
            astNodeHandler *node = astMake<astNodeHandler>($<line>1);
            node->conditions = $2;
            node->body = $4;
            $$ = node;
        }
    ;

proc_conditions
    : proc_conditions T_OR exceptionName  /* 377 */
        { $$ = listAppend($1, $3); }
    | exceptionName  /* 378 */
        { $$ = listNew($1); }
    ;

opt_target
    : %empty  /* 379 */
        { $$ = nullptr; }
    | labelName  /* 380 */
        { $$ = tokenListText($1); }
    ;

opt_label
    : %empty  /* 381 */
        { $$ = nullptr; }
    | T_LABEL_BEG labelName T_LABEL_END  /* 382 */
        { $$ = tokenListText($2); }
    ;

optEndName
    : %empty  /* 383 */
        { $$ = nullptr; }
    | schemaObjectName  /* 384 */
    ;

lno
    : %empty  /* 385 */
        { $$ = scannerCurrentLine(ctx); }
    ;

opt_assign
    : T_ASSIGN exp_until_semi ';'  /* 386 */
        { $$ = $2; }
    | %empty  /* 387 */
        { $$ = nullptr; }
    ;

opt_when_expr
    : T_WHEN exp_until_semi  /* 388 */
        { $$ = $2; }
    | %empty  /* 389 */
        { $$ = nullptr; }
    ;

opt_rec_colname
    : '.' varName  /* 390 */
        { $$ = $2; }
    | %empty  /* 391 */
        { $$ = nullptr; }
    ;

param_exp
    : T_WORD lno '(' actual_args ')' opt_rec_colname opt_assign  /* 392 */
        { $$ = callOrAssign(ctx, static_cast<int>($2), $1, $4, $6, $7); }
    | T_DTYPE lno '(' actual_args ')' opt_rec_colname opt_assign  /* 393 */
        { $$ = callOrAssign(ctx, static_cast<int>($2), $1, $4, $6, $7); }
    ;

actual_args
    : exp_until_rparen  /* 394 */
    ;

opt_formal_args
    : %empty  /* 395 */
        { $$ = nullptr; }
    | '(' formal_args ')'  /* 396 */
        { $$ = $2; }
    ;

formal_args
    : formal_args T_COMMA formal_arg  /* 397 */
        { $$ = listAppend($1, $3); yyerrok; }
    | formal_arg  /* 398 */
        { $$ = listNew($1); }
    | error  /* 399 */
        { $$ = listNew(takeLastErrorNode(ctx)); }
    | formal_args error  /* 400 */
        { $$ = listAppend($1, takeLastErrorNode(ctx)); }
    ;

formal_arg
    : varName lno opt_mode formal_arg_type opt_arg_dflt  /* 401 */
        {
            astNodeFormalArg *node = astMake<astNodeFormalArg>(static_cast<int>($2));
            node->name = $1;
            node->mode = static_cast<int>($3);
            node->dataType = $4;
            node->defaultValue = $5;
            $$ = node;
        }
    ;

opt_mode
    : %empty  /* 402 */
        { $$ = ARG_IN; }
    | T_IN  /* 403 */
        { $$ = ARG_IN; }
    | T_OUT optNoCopy  /* 404 */
        { $$ = ARG_OUT; }
    | T_IN T_OUT optNoCopy  /* 405 */
        { $$ = ARG_IN_OUT; }
    ;

optNoCopy
    : %empty  /* 406 */
        { $$ = 0; }
    | T_NOCOPY  /* 407 */
        { $$ = 1; }
    ;

optReverse
    : %empty  /* 408 */
        { $$ = 0; }
    | T_REVERSE  /* 409 */
        { $$ = 1; }
    ;

simple_func_expr
    : T_WORD lno ';'  /* 410 */
        { $$ = newCall(static_cast<int>($2), $1, nullptr); }
    | T_DTYPE lno ';'  /* 411 */
        { $$ = newCall(static_cast<int>($2), $1, nullptr); }
    ;

case_exprs
    : case_exprs case_expr  /* 412 */
        { $$ = listAppend($1, $2); }
    | case_expr  /* 413 */
        { $$ = listNew($1); }
    ;

case_expr
    : T_WHEN exp_until_then T_THEN proc_stmts  /* 414 */
        {
            astNodeCaseExpr *node = astMake<astNodeCaseExpr>($<line>1);
            node->predicate = $2;
            node->body = $4;
            $$ = node;
        }
    ;

case_default
    : %empty  /* 415 */
        { $$ = nullptr; }
    | T_ELSE proc_stmts  /* 416 */
        {
            astNodeCaseExpr *node = astMake<astNodeCaseExpr>($<line>1);
            node->body = $2;
            node->predicate = nullptr;
            $$ = node;
        }
    ;

exp_until_rparen
    : %empty  /* 417 */
        { $$ = COLLECT(nullptr, ')'); }
    ;

exp_until_commaparen
    : %empty  /* 418 */
        { $$ = COLLECT(nullptr, ')', T_COMMA); }
    ;

opt_exp_until_when
    : %empty  /* 419 */
        { $$ = COLLECT(nullptr, T_WHEN); }
    ;

as_is
    : T_IS  /* 420 */
    | T_AS  /* 421 */
    ;

opt_or_replace
    : %empty  /* 422 */
        { $$ = 0; }
    | T_OR T_REPLACE  /* 423 */
        { $$ = 1; }
    ;

authid
    : T_AUTHID T_CURRENT_USER  /* 424 */
        { $$ = 0; }
    | T_AUTHID T_DEFINER  /* 425 */
        { $$ = 1; }
    ;

opt_authid
    : %empty  /* 426 */
        { $$ = 1; }
    | authid  /* 427 */
    ;

optFunctionOpts
    : %empty  /* 428 */
        { $$ = nullptr; }
    | functionOpts  /* 429 */
    ;

functionOpts
    : functionOpts functionOpt  /* 430 */
        { $$ = listAppend($1, $2); }
    | functionOpt  /* 431 */
        { $$ = listNew($1); }
    ;

functionOpt
    : authid lno  /* 432 */
        {
            int line = static_cast<int>($2);
            $$ = $1 ? astTokenNew(353, "DEFINER", line) : astTokenNew(352, "CURRENT_USER", line);
        }
    | T_DETERMINISTIC  /* 433 */
        { $$ = astTokenNew(279, "DETERMINISTIC", $<line>1); }
    | T_PIPELINED lno  /* 434 */
        { $$ = astTokenNew(384, "PIPELINED", static_cast<int>($2)); }
    | T_PIPELINED lno T_USING functionName  /* 435 */
        { $$ = astTokenNew(384, "PIPELINED", static_cast<int>($2)); }
    | T_CLUSTER lno clusterName T_BY '(' exp_until_rparen ')'  /* 436 */
        { $$ = astTokenNew(404, "CLUSTER", static_cast<int>($2)); }
    | T_CLUSTER lno T_BY '(' exp_until_rparen ')'  /* 437 */
        { $$ = astTokenNew(404, "CLUSTER", static_cast<int>($2)); }
    | T_PARALLEL_ENABLE lno '(' exp_until_rparen ')'  /* 438 */
        { $$ = astTokenNew(425, "PARALLEL_ENABLE", static_cast<int>($2)); }
    | T_AGGREGATE T_USING functionName  /* 439 */
        { $$ = astTokenNew(410, "AGGREGATE", $<line>1); }
    | T_PARALLEL_ENABLE lno  /* 440 */
        { $$ = astTokenNew(425, "PARALLEL_ENABLE", static_cast<int>($2)); }
    ;

triggerPoint
    : T_BEFORE  /* 441 */
        { $$ = TRIGGER_BEFORE; }
    | T_AFTER  /* 442 */
        { $$ = TRIGGER_AFTER; }
    | T_FOR  /* 443 */
        { $$ = TRIGGER_FOR; }
    | T_INSTEAD T_OF  /* 444 */
        { $$ = TRIGGER_INSTEAD_OF; }
    ;

triggerEvents
    : triggerEvents T_OR triggerEvent  /* 445 */
        {
            $$ = $1 | $3;
            if ($3 == TRIGGER_UPDATE)
                $<aux>$ = $<aux>3;
        }
    | triggerEvent  /* 446 */
    ;

triggerEvent
    : T_INSERT  /* 447 */
        { $$ = TRIGGER_INSERT; $<aux>$ = nullptr; }
    | T_UPDATE optColumnList  /* 448 */
        { $$ = TRIGGER_UPDATE; $<aux>$ = $2; }
    | T_DELETE  /* 449 */
        { $$ = TRIGGER_DELETE; $<aux>$ = nullptr; }
    ;

optColumnList
    : %empty  /* 450 */
        { $$ = nullptr; }
    | T_OF columnList  /* 451 */
        { $$ = $2; }
    ;

columnList
    : columnList T_COMMA schemaObjectName  /* 452 */
        { $$ = listAppend($1, $3); }
    | schemaObjectName  /* 453 */
        { $$ = listNew($1); }
    ;

optCondition
    : %empty  /* 454 */
        { $$ = nullptr; }
    | T_WHEN '(' exp_until_rparen ')'  /* 455 */
        { $$ = $3; }
    ;

optReferencing
    : %empty  /* 456 */
        { $$ = nullptr; }
    | T_REFERENCING referencingList  /* 457 */
        { $$ = $2; }
    ;

referencingList
    : referencingList referenceClause  /* 458 */
        { $$ = listAppend($1, $2); }
    | referenceClause  /* 459 */
        { $$ = listNew($1); }
    ;

referenceClause
    : T_OLD T_AS varName  /* 460 */
        { $$ = newTriggerVariable($<line>1, TRIGGER_VAR_OLD, $3); }
    | T_NEW T_AS varName  /* 461 */
        { $$ = newTriggerVariable($<line>1, TRIGGER_VAR_NEW, $3); }
    | T_PARENT T_AS varName  /* 462 */
        { $$ = newTriggerVariable($<line>1, TRIGGER_VAR_PARENT, $3); }
    ;

optForEachRow
    : %empty  /* 463 */
        { $$ = 0; }
    | T_FOR T_EACH T_ROW  /* 464 */
        { $$ = 1; }
    ;

optFollows
    : %empty  /* 465 */
        { $$ = nullptr; }
    | T_FOLLOWS triggerName  /* 466 */
        { $$ = $2; }
    ;

optDisable
    : %empty  /* 467 */
        { $$ = 0; }
    | T_DISABLE  /* 468 */
        { $$ = 1; }
    ;

optCompound
    : %empty  /* 469 */
        { $$ = 0; }
    | T_COMPOUND T_TRIGGER  /* 470 */
        { $$ = 1; }
    ;

varrayDim
    : '(' T_DIGITS ')'  /* 471 */
        { $$ = $2; }
    ;

signedInteger
    : T_DIGITS  /* 472 */
    | '-' T_DIGITS  /* 473 */
        { $$ = parserNegate($2); }
    ;

optSemiColon
    : %empty  /* 474 */
    | ';'  /* 475 */
    ;

varKeyword
    : T_AFTER  /* 476 */
    | T_ALIAS  /* 477 */
    | T_AS  /* 478 */
    | T_AUTHID  /* 479 */
    | T_AUTONOMOUS_XACT  /* 480 */
    | T_BEFORE  /* 481 */
    | T_BY  /* 482 */
    | T_CASE  /* 483 */
    | T_CLOSE  /* 484 */
    | T_COMMIT  /* 485 */
    | T_COMPOUND  /* 486 */
    | T_CONTINUE  /* 487 */
    | T_CURRENT_USER  /* 488 */
    | T_DEFAULT  /* 489 */
    | T_DEFINER  /* 490 */
    | T_DELETE  /* 491 */
    | T_DIMENSION  /* 492 */
    | T_DISABLE  /* 493 */
    | T_EACH  /* 494 */
    | T_ENABLE  /* 495 */
    | T_EXCEPTION_INIT  /* 496 */
    | T_EXECUTE  /* 497 */
    | T_EXIT  /* 498 */
    | T_FETCH  /* 499 */
    | T_FOLLOWS  /* 500 */
    | T_FOR  /* 501 */
    | T_FROM  /* 502 */
    | T_GOTO  /* 503 */
    | T_GRANT  /* 504 */
    | T_IF  /* 505 */
    | T_IMMEDIATE  /* 506 */
    | T_INDEX  /* 507 */
    | T_INSERT  /* 508 */
    | T_INSTEAD  /* 509 */
    | T_INTO  /* 510 */
    | T_IS  /* 511 */
    | T_LOCK  /* 512 */
    | T_LOOP  /* 513 */
    | T_MERGE  /* 514 */
    | T_NEW  /* 515 */
    | T_NOT  /* 516 */
    | T_NULL  /* 517 */
    | T_OF  /* 518 */
    | T_OLD  /* 519 */
    | T_ON  /* 520 */
    | T_OPEN  /* 521 */
    | T_OR  /* 522 */
    | T_PACKAGE  /* 523 */
    | T_PARENT  /* 524 */
    | T_RAISE  /* 525 */
    | T_RAISE_APP_ERROR  /* 526 */
    | T_RECORD  /* 527 */
    | T_REFCURSOR  /* 528 */
    | T_REFERENCING  /* 529 */
    | T_REPLACE  /* 530 */
    | T_RETURN  /* 531 */
    | T_RETURNING  /* 532 */
    | T_ROLLBACK  /* 533 */
    | T_ROLE  /* 534 */
    | T_ROW  /* 535 */
    | T_SAVEPOINT  /* 536 */
    | T_SEQUENCE  /* 537 */
    | T_SQLCODE  /* 538 */
    | T_SQLERRM  /* 539 */
    | T_SQLSTATE  /* 540 */
    | T_START  /* 541 */
    | T_SUBTYPE  /* 542 */
    | T_SYNONYM  /* 543 */
    | T_TABLE  /* 544 */
    | T_THEN  /* 545 */
    | T_TRANSACTION  /* 546 */
    | T_TRIGGER  /* 547 */
    | T_TRUNCATE  /* 548 */
    | T_UPDATE  /* 549 */
    | T_USER  /* 550 */
    | T_USING  /* 551 */
    | T_VARRAY  /* 552 */
    | T_VIEW  /* 553 */
    | T_WHERE  /* 554 */
    | T_WHILE  /* 555 */
    | T_TYPE  /* 556 */
    ;

typeKeyword
    : varKeyword  /* 557 */
    | T_CURSOR  /* 558 */
    | T_ELSE  /* 559 */
    | T_ELSIF  /* 560 */
    | T_END  /* 561 */
    | T_FUNCTION  /* 562 */
    | T_PROCEDURE  /* 563 */
    | T_REVERSE  /* 564 */
    | T_SELECT  /* 565 */
    | T_XMLTYPE  /* 566 */
    ;

schemaKeyword
    : typeKeyword  /* 567 */
    | T_CONSTANT  /* 568 */
    | T_EXCEPTION  /* 569 */
    | T_IN  /* 570 */
    | T_NOCOPY  /* 571 */
    | T_OUT  /* 572 */
    | T_BULK  /* 573 */
    | T_COLLECT  /* 574 */
    | T_WITH  /* 575 */
    | T_DETERMINISTIC  /* 576 */
    ;

declVarName
    : T_WORD  /* 577 */
    | varKeyword  /* 578 */
        { $$ = parserKeywordName($1, $<line>1); }
    ;

varName
    : declVarName  /* 579 */
    | T_BODY  /* 580 */
        { $$ = parserKeywordName($1, $<line>1); }
    ;

typeName
    : T_WORD  /* 581 */
    | T_DTYPE  /* 582 */
    | typeKeyword  /* 583 */
        { $$ = parserKeywordName($1, $<line>1); }
    ;

schemaObjectName
    : T_WORD  /* 584 */
    | T_DTYPE  /* 585 */
    | schemaKeyword  /* 586 */
        { $$ = parserKeywordName($1, $<line>1); }
    ;

cursorName : schemaObjectName  /* 587 */ ;
triggerName : schemaObjectName  /* 588 */ ;
procedureName : schemaObjectName  /* 589 */ ;
functionName : schemaObjectName  /* 590 */ ;
packageName : schemaObjectName  /* 591 */ ;
exceptionName : schemaObjectName  /* 592 */ ;
labelName : schemaObjectName  /* 593 */ ;
tableName : schemaObjectName  /* 594 */ ;
viewName : schemaObjectName  /* 595 */ ;
seqName : schemaObjectName  /* 596 */ ;
synName : schemaObjectName  /* 597 */ ;
roleName : schemaObjectName  /* 598 */ ;
userName : schemaObjectName  /* 599 */ ;
indexName : schemaObjectName  /* 600 */ ;
clusterName : schemaObjectName  /* 601 */ ;

%%

/* Symbol names as the syntax-error messages and the expected-token lists of
   error records print them: bison's own names, but for the two that bison
   spells as phrases. */
static const struct {
    const char *operator[](int symbol) const
    {
        switch (symbol) {
        case YYSYMBOL_YYEOF:
            return "$end";
        case YYSYMBOL_YYUNDEF:
            return "$undefined";
        default:
            return yytname[symbol];
        }
    }
} xxSymbolNames;

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

/* The state the parser is in between two units. */
static int betweenUnitsState()
{
    const int nonterminal = YYSYMBOL_programs - YYNTOKENS;
    const int at = yypgoto[nonterminal];
    return 0 <= at && at <= YYLAST && yycheck[at] == 0 ? yytable[at] : yydefgoto[nonterminal];
}

/* After a recovered error the engine reports nothing for its next three
   tokens, so that one fault is not reported again. A unit that begins among
   them after text that begins no unit (a block after a client command line)
   is new input: the quiet time ends, so that its own errors are reported.
   After a broken CREATE unit, what follows is still a piece of it. */
static int nextTokenOfUnit(TokenValue *value, ParseContext *context)
{
    int code = nextToken(value, context);
    if (context->errorStatus && *context->errorStatus != 0 && context->inBrokenUnit == BROKEN_UNIT &&
        context->parserState && *context->parserState == betweenUnitsState()) {
        int symbols[YYNTOKENS];
        int count = acceptableSymbols(*context->parserState, symbols, YYNTOKENS);
        int symbol = parserSymbolOfToken(code);
        for (int i = 0; i < count; ++i)
            if (symbols[i] == symbol)
                *context->errorStatus = 0;
    }
    return code;
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
        ctx->errorStatus = nullptr;
        throw;
    }
    ctx->parserState = nullptr;
    ctx->errorStatus = nullptr;
    return result;
}
