// Whole translations in process for the tests: source text through the
// parser, the rewriting and the emitter, with the statement records and the
// error records returned as plain values.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "parse_context.h"
#include "records_text.h"
#include "sqlexc_ast_emit.h"
#include "translate.h"

namespace translate_test {

struct Out {
  int status;
  std::vector<int> types;
  std::vector<std::string> texts;
  std::vector<std::string> errors;  // message@line
};

inline Out translate(const char* source, bool markers) {
  TranslateResult r = translateRun(source, markers);
  Out out;
  out.status = r.status;
  for (StatementRecord* s = r.statements; s; s = s->next) {
    out.types.push_back(s->type);
    out.texts.push_back(std::string(s->text, s->length));
  }
  for (ErrorRecord* e = r.errors; e; e = e->next)
    out.errors.push_back(std::string(e->message ? e->message : "") + "@" + std::to_string(e->line));
  return out;
}

// A whole translation compared as text: every record as "[type]\n" and its
// text, and every error record as message|domain|line|context|text.
struct SoundCase {
  const char* name;
  bool markers;
  const char* source;
  std::string text;
  const char* errors;
};

// Lines that many translations share, said once.
// The variables a routine with a handler declares for the error it handles.
inline const std::string kErrorVariables =
    "  DECLARE SQLSTATE CHAR(5) DEFAULT '00000';\n"
    "  DECLARE SQLCODE INTEGER DEFAULT 0;\n"
    "  DECLARE SYSZULINTERNAL_SQLCODE INTEGER DEFAULT 0;\n"
    "  DECLARE SYSZULINTERNAL_SQLSTATE CHAR(5) DEFAULT '00000';\n"
    "  DECLARE SYSZULINTERNAL_SQLERRM VARCHAR(32672);\n";
// The head of the block around a query that must find a row.
inline const std::string kNoRowGuard =
    "  BEGIN\n"
    "  DECLARE EXIT HANDLER FOR NOT FOUND\n"
    "  BEGIN\n"
    "  SIGNAL SQLSTATE 'UDNDF';\n"
    "  END;\n";
// A handler's first statements: the codes, then the message for the code.
inline const std::string kHandlerCodes =
    "  VALUES(SQLCODE, SQLSTATE) INTO SYSZULINTERNAL_SQLCODE, SYSZULINTERNAL_SQLSTATE;\n"
    "  SET SYSZULINTERNAL_SQLERRM = SQLERRM(SYSZULINTERNAL_SQLCODE);\n";

// The head of a handler: its condition, then the codes it copies first.
inline std::string handlerHead(const std::string& condition) {
  return "  DECLARE EXIT HANDLER FOR " + condition + "\n  BEGIN\n" + kHandlerCodes;
}
// A handler as the translation writes it: its head, then its own statements.
inline std::string exitHandler(const std::string& condition, const std::string& body) {
  return handlerHead(condition) + body + "  END;\n";
}

// FOR row IN cursor LOOP body END LOOP as a block that opens the cursor,
// fetches under the made-up label `loop` and closes the cursor; `handler`
// goes ahead of the OPEN, `label` (when given) on the block.
inline std::string cursorLoop(const std::string& label, const std::string& cursor, const std::string& row,
                              const std::string& loop, const std::string& body, const std::string& handler = "") {
  return "  " + (label.empty() ? "" : label + ": ") + "BEGIN\n  DECLARE " + row + " ANCHOR TO ROW " + cursor +
         ";\n" + handler + "  OPEN " + cursor + ";\n\n  " + loop + ": LOOP\n  FETCH " + cursor + " INTO " + row +
         ";\n  IF " + cursor + " IS NOT FOUND THEN LEAVE " + loop + "; END IF;\n" + body + "  END LOOP " + loop +
         ";\n\n  CLOSE " + cursor + " ;\n  END;\n";
}

// The end of a numeric FOR loop's expansion: the step of the index at the
// end of the body, the end of the loop and of the index's block.
inline std::string numericLoopEnd(const std::string& index, const char* step = "+") {
  return "  SET " + index + " = " + index + " " + step + " 1;\n  END WHILE;\n\n  END;\n";
}

// The handler that closes a cursor loop's cursor when an exception leaves
// the loop.
inline std::string cursorCloseHandler(const std::string& cursor) {
  return "  DECLARE EXIT HANDLER FOR SQLEXCEPTION\n  BEGIN\n\n  IF " + cursor + " IS OPEN THEN\n  CLOSE " + cursor +
         " ;\n  END IF;\n\n  RESIGNAL;\n  END;\n";
}

// What a package body writes ahead of its members, and the end of a routine.
inline std::string moduleBodyOpening(const std::string& name) {
  return "[3]\nALTER MODULE " + name + " DROP BODY@\n[3]\nCOMMENT ON MODULE " + name + " IS 'PL/SQL Package Body'@\n";
}
inline const std::string kRoutineEnd = "  END@\n\n\n";


// The status a run with these error records ends with: 5 once a syntax or
// lexical record (domain 0 or 1) is among them, 0 otherwise.
inline int statusOfErrors(const std::string& errors) {
  size_t at = 0;
  while (at < errors.size()) {
    size_t end = errors.find('\n', at);
    if (end == std::string::npos) end = errors.size();
    size_t bar = errors.find('|', at);
    if (bar != std::string::npos && bar + 2 < end && (errors[bar + 1] == '0' || errors[bar + 1] == '1') &&
        errors[bar + 2] == '|')
      return 5;
    at = end + 1;
  }
  return 0;
}

// Every case of a table through the whole translation.
inline void expectSoundCases(std::span<const SoundCase> cases) {
  for (const SoundCase& c : cases) {
    TranslateResult r = translateRun(c.source, c.markers);
    EXPECT_EQ(r.status, statusOfErrors(c.errors)) << c.name;
    std::string text = recordsText(r);
    EXPECT_EQ(text, c.text) << c.name;
    EXPECT_EQ(errorsText(r), c.errors) << c.name;
    if (c.markers) {
      EXPECT_EQ(text.find("--#line 000"), std::string::npos) << c.name;
    }
  }
}

// Builders of the records that many translations share.
// An anonymous block's record around its statements.
inline std::string anonymousBlock(const std::string& body) { return "[4]\nBEGIN\n" + body + "END@\n"; }
// The translation of NULL.
inline const std::string kNullStatement = "  -- NULL;\n";

// Each line of `lines` under the line marker of source line `line`.
inline std::string atLine(const std::string& line, const std::string& lines) {
  std::string text;
  for (size_t at = 0, end; at < lines.size(); at = end + 1) {
    end = lines.find('\n', at);
    text += "--#line " + line + "\n" + lines.substr(at, end - at + 1);
  }
  return text;
}

// A routine's parameters as its record writes them, one a line after `indent`.
inline std::string parameterList(const std::vector<std::string>& params, const std::string& indent) {
  std::string text;
  for (const std::string& param : params) text += (text.empty() ? "(\n" : ", \n") + indent + param;
  return params.empty() ? text : text + ")";
}
// The record of a standalone routine up to its body; a function has `returns`.
inline std::string routineHead(const std::string& name, const std::vector<std::string>& params,
                               const std::string& returns = "") {
  return (returns.empty() ? "[1]\nCREATE PROCEDURE " : "[2]\nCREATE FUNCTION ") + name + parameterList(params, "") +
         " SPECIFIC " + name + "\n" + (returns.empty() ? "" : "RETURNS " + returns + "\n") +
         "LANGUAGE SQL\n  SYSZULINTERNAL_BLOCK: BEGIN\n";
}
// The record of a package's routine up to its body.
inline std::string memberHead(const std::string& module, const std::string& name,
                              const std::vector<std::string>& params = {}, const std::string& returns = "") {
  return "[3]\n  ALTER MODULE " + module + (returns.empty() ? " ADD PROCEDURE " : " ADD FUNCTION ") + name +
         parameterList(params, "  ") + "\n" + (returns.empty() ? "" : "  RETURNS " + returns + "\n") +
         "  LANGUAGE SQL\n  SYSZULINTERNAL_BLOCK: BEGIN\n";
}
// A line of a package head that publishes `what`.
inline std::string publish(const std::string& module, const std::string& what) {
  return "[3]\nALTER MODULE " + module + " PUBLISH " + what + "@\n";
}
// A package head's line for a routine's prototype.
inline std::string publishRoutine(const std::string& module, const std::string& name,
                                  const std::vector<std::string>& params, const std::string& returns = "") {
  return publish(module, (returns.empty() ? "PROCEDURE " : "FUNCTION ") + name + parameterList(params, "") +
                             (returns.empty() ? " LANGUAGE SQL" : " RETURNS " + returns + " LANGUAGE SQL "));
}

// A numeric FOR loop's block up to its body, for literal bounds.
inline std::string numericLoopHead(const std::string& label, const std::string& index, const std::string& from,
                                   const std::string& limit, const std::string& loop, const char* test = "<=") {
  return "  " + (label.empty() ? "" : label + ": ") + "BEGIN\n  DECLARE " + index + " INTEGER DEFAULT " + from +
         ";\n  DECLARE SYSZULINTERNAL_LOOP_LIMIT INTEGER DEFAULT " + limit + ";\n\n  " + loop + ": WHILE " + index +
         " " + test + " SYSZULINTERNAL_LOOP_LIMIT DO\n";
}

// The block of a dynamic statement: its text in a variable, then `body`.
inline std::string dynamicBlock(const std::string& text, const std::string& body) {
  return "  BEGIN\n  DECLARE SYSZULINTERNAL_STMT_TEXT CLOB(2M) DEFAULT '" + text + "';\n" + body + "  END;\n";
}

// The variables behind SQL%ROWCOUNT and SQL%FOUND, and what sets them after
// a statement that changes data.
inline const std::string kRowCountVariables =
    "  DECLARE SYSZULINTERNAL_ROWCOUNT INTEGER;\n  DECLARE SYSZULINTERNAL_FOUND BOOLEAN;\n";
inline const std::string kFoundFromRowCount =
    "  SET SYSZULINTERNAL_FOUND = (CASE WHEN SYSZULINTERNAL_ROWCOUNT > 0 THEN true ELSE false END);\n";
inline const std::string kRowCountAfterChange =
    "  GET DIAGNOSTICS SYSZULINTERNAL_ROWCOUNT = ROW_COUNT;\n" + kFoundFromRowCount;


// The record of a routine up to its body: standalone (CREATE OR REPLACE)
// when `module` is empty, else a member of that package body, its lines
// indented; a FUNCTION returns NUMBER. `param` is its one parameter as the
// translation writes it; `modifies` adds the clause of a routine that
// changes data.
inline std::string routineOrMemberHead(const std::string& module, const std::string& kind, const std::string& name,
                                       const std::string& param = "", bool modifies = false) {
  const bool function = kind == "FUNCTION";
  const std::string in = module.empty() ? "" : "  ";
  std::string head = module.empty() ? std::string(function ? "[2]" : "[1]") + "\nCREATE OR REPLACE "
                                    : "[3]\n  ALTER MODULE " + module + " ADD ";
  head += kind + " " + name + (param.empty() ? (function ? "()" : "") : "(\n" + in + param + ")");
  head += (module.empty() ? " SPECIFIC " + name : "") + "\n";
  if (function) head += in + "RETURNS NUMBER\n";
  head += in + "LANGUAGE SQL\n";
  if (modifies) head += in + "MODIFIES SQL DATA\n";
  return head + "  SYSZULINTERNAL_BLOCK: BEGIN\n";
}

// A package body's record of a type or variable it declares.
inline std::string moduleMember(const std::string& module, const std::string& member) {
  return "[3]\n  ALTER MODULE " + module + " ADD " + member + "@\n";
}

// A package head's records: the module, then what it publishes, one each.
inline std::string packageHead(const std::string& name, std::initializer_list<std::string> published) {
  std::string text = "[3]\nCREATE OR REPLACE MODULE " + name + "@\n";
  for (const std::string& line : published) text += publish(name, line);
  return text;
}

}  // namespace translate_test
