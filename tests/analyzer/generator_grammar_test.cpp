// The grammar generator: the size checks of the listed grammar, the automaton
// that bison builds from it (alone and with the additions), the refusal of
// broken grammar files, and the names and counts of what it generates.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "measured_size.h"
#include "shell_command.h"

namespace fs = std::filesystem;

namespace {

const std::string kGrammarDir = std::string(QEN_SOURCE_DIR) + "/analyzer/grammar";

using ProcessRun = qen_test::ProcessResult;
using qen_test::shell_quote;

// Runs the command with its standard error read along with its output.
ProcessRun run(const std::string& command) { return qen_test::run_command(command + " 2>&1"); }

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> area_files(const fs::path& dir) {
  std::vector<std::string> out;
  for (auto& e : fs::directory_iterator(dir))
    if (e.path().extension() == ".ag") out.push_back(e.path().string());
  std::sort(out.begin(), out.end());
  return out;
}

std::string aggen_command(const fs::path& grammar_dir, const std::string& out_dir) {
  std::string cmd = "ASAN_OPTIONS=detect_leaks=0 " + shell_quote(AGGEN_PATH) + " --terminals " +
                    shell_quote((grammar_dir / "terminals.def").string()) + " --precedence " +
                    shell_quote((grammar_dir / "precedence.def").string()) + " --measured " +
                    shell_quote((grammar_dir / "measured_size.txt").string());
  if (!out_dir.empty()) cmd += " --out " + shell_quote(out_dir);
  for (auto& f : area_files(grammar_dir)) cmd += " " + shell_quote(f);
  return cmd;
}

int figure(const std::string& name) { return grammar_figure(name); }

std::string str(int n) { return std::to_string(n); }

// The three additions, as the generator names them.
const std::vector<std::string> kAdditions = {
    "addition: Data_Option Data_Option COMMA_ANDMAKSROWSPERPAGE_JUMBO EQUAL INTEGER_CONSTANT ;",
    "addition: Data_Option Data_Option COMMA_AND_RESERVEPAGEGAP_JUMBO EQUAL INTEGER_CONSTANT ;",
    "addition: Index_Option Index_Option Fat_Constraint_Index_Option ;",
};

// A scratch copy of the grammar directory that a test may break.
fs::path grammar_copy(const std::string& name) {
  fs::path dir = fs::path(QEN_TEST_TMP_DIR) / name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  for (auto& e : fs::directory_iterator(kGrammarDir)) fs::copy_file(e.path(), dir / e.path().filename());
  return dir;
}

void replace_in(const fs::path& file, const std::string& from, const std::string& to) {
  std::string text = read_file(file);
  size_t at = text.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  text.replace(at, from.size(), to);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

struct Automaton {
  int states = 0;        // numbered states, 0 to states - 1
  int state_lines = 0;   // report lines that begin with "State ", the conflict summary included
  int shift_reduce = 0;
  int reduce_reduce = 0;
  int error_states = 0;
  std::vector<std::string> conflict_states;
};

Automaton measure(const std::string& report) {
  Automaton a;
  std::istringstream in(report);
  std::string line;
  std::regex conflicts(R"(^State (\d+) conflicts: (.*)$)");
  std::regex sr(R"((\d+) shift/reduce)"), rr(R"((\d+) reduce/reduce)");
  bool error_here = false;
  while (std::getline(in, line)) {
    std::smatch m;
    if (line.rfind("State ", 0) == 0) ++a.state_lines;
    if (std::regex_match(line, m, conflicts)) {
      a.conflict_states.push_back(m[1]);
      std::string rest = m[2];
      if (std::regex_search(rest, m, sr)) a.shift_reduce += std::stoi(m[1]);
      if (std::regex_search(rest, m, rr)) a.reduce_reduce += std::stoi(m[1]);
    } else if (line.rfind("State ", 0) == 0) {
      ++a.states;
      error_here = false;
    } else if (!error_here && std::regex_search(line, std::regex(R"(^    error +shift, and go to state)"))) {
      error_here = true;
      ++a.error_states;
    }
  }
  return a;
}

// The state of the one conflict: an ELSE_KW after "IF_KW Predicate_Expr
// One_Stmt", settled by shifting.
void expect_dangling_else(const std::string& report, const std::string& state) {
  size_t at = report.find("\nState " + state + "\n");
  ASSERT_NE(at, std::string::npos);
  size_t end = report.find("\nState ", at + 1);
  std::string body = report.substr(at, end - at);
  EXPECT_NE(body.find("If_Stmt: IF_KW Predicate_Expr One_Stmt \xE2\x80\xA2\n"), std::string::npos) << body;
  EXPECT_NE(body.find("ELSE_KW  shift, and go to state"), std::string::npos) << body;
  EXPECT_NE(body.find("ELSE_KW   [reduce using rule"), std::string::npos) << body;
}

// States whose only action is their default reduction (reduced without a
// lookahead), from the parser tables bison wrote.
int default_only_states(const std::string& parser) {
  const std::string ninf_key = "#define YYPACT_NINF (";
  size_t at = parser.find(ninf_key);
  if (at == std::string::npos) return -1;
  long ninf = std::stol(parser.substr(at + ninf_key.size(), 16));
  at = parser.find(" yypact[] =");
  if (at == std::string::npos) return -1;
  size_t open = parser.find('{', at), close = parser.find('}', at);
  std::istringstream table(parser.substr(open + 1, close - open - 1));
  std::string item;
  int n = 0;
  while (std::getline(table, item, ','))
    if (!item.empty() && item.find_first_not_of(" \n\t") != std::string::npos && std::stol(item) == ninf) ++n;
  return n;
}

}  // namespace

TEST(GeneratorGrammar, ListedGrammarHasTheMeasuredSizeAndTheAdditionsAreNamed) {
  ProcessRun r = run(aggen_command(kGrammarDir, ""));
  ASSERT_EQ(r.status, 0) << r.output;
  std::istringstream in(r.output);
  std::string listed, built;
  std::getline(in, listed);
  std::getline(in, built);
  std::string sizes = "nonterminals " + str(figure("nonterminals"));
  std::string rest = ", empty " + str(figure("empty")) + ", terminals " + str(figure("terminals")) +
                     ", evaluated " + str(figure("evaluated")) + ", procedures " + str(figure("procedures"));
  int built_productions = figure("productions") + (int)kAdditions.size();
  EXPECT_EQ(listed, "listed: " + sizes + ", productions " + str(figure("productions")) + rest);
  EXPECT_EQ(built, "built: " + sizes + ", productions " + str(built_productions) + rest + ", descriptors " +
                       str(built_productions + figure("terminals")));
  std::vector<std::string> additions;
  std::string line;
  while (std::getline(in, line)) additions.push_back(line.substr(0, line.find("  (")));
  EXPECT_EQ(additions, kAdditions);
  EXPECT_EQ((int)kAdditions.size(), kGrammarAdditions);
}

TEST(GeneratorGrammar, ListedGrammarAloneGivesTheMeasuredAutomaton) {
  fs::path out = fs::path(QEN_TEST_TMP_DIR) / "listed_out";
  fs::remove_all(out);
  fs::create_directories(out);
  ProcessRun g = run(aggen_command(kGrammarDir, out.string()));
  ASSERT_EQ(g.status, 0) << g.output;
  std::string listed = read_file(out / "tsql_listed.y");
  EXPECT_EQ(listed.find("Fat_Constraint_Index_Option\n      {"), std::string::npos);
  EXPECT_EQ(listed.find("Index_Option Fat_Constraint_Index_Option"), std::string::npos) << "additions left out";
  ProcessRun b = run(shell_quote(BISON_PATH) + " --report=state --report-file=" +
                     shell_quote((out / "listed.output").string()) + " -o " + shell_quote((out / "listed.c").string()) +
                     " " + shell_quote((out / "tsql_listed.y").string()));
  ASSERT_EQ(b.status, 0) << b.output;
  std::string report = read_file(out / "listed.output");
  Automaton a = measure(report);
  // bison numbers the states from 0, the accepting one among them; its
  // report adds the one-line conflict summary to the lines that begin with
  // "State ".
  EXPECT_EQ(a.states, figure("listed_states"));
  EXPECT_EQ(a.state_lines, figure("listed_states") + 1);
  EXPECT_EQ(a.shift_reduce, figure("shift_reduce"));
  EXPECT_EQ(a.reduce_reduce, 0);
  EXPECT_EQ(a.error_states, figure("error_states"));
  ASSERT_EQ(a.conflict_states.size(), 1u);
  expect_dangling_else(report, a.conflict_states[0]);
  EXPECT_EQ(default_only_states(read_file(out / "listed.c")), figure("listed_default_only"));
}

TEST(GeneratorGrammar, BuiltParserUsesTheGrammarWithTheAdditions) {
  std::string y = read_file(fs::path(QEN_GENERATED_DIR) / "tsql.y");
  EXPECT_NE(y.find("%expect " + str(figure("shift_reduce")) + "\n"), std::string::npos);
  EXPECT_NE(y.find("%token ABS_ID 257\n"), std::string::npos);
  EXPECT_NE(y.find("%token WRITETEKST_KW 804\n"), std::string::npos);
  EXPECT_NE(y.find("%token UNARI_NEGATE 806\n%token UNARI_PLUS 807\n"), std::string::npos);
  EXPECT_NE(y.find("%left OR_KW\n%left AND_KW\n%left NOT_KW\n%left PLUS MINUS STRING_CAT BIT_AND BIT_OR "
                   "BIT_EKSOR\n%left STAR DIVIDE MODULO\n%left UNARI_NEGATE UNARI_PLUS BIT_NOT\n"),
            std::string::npos);
  EXPECT_NE(y.find("MINUS Gen_Expression %prec UNARI_NEGATE"), std::string::npos);
  EXPECT_NE(y.find("PLUS Gen_Expression %prec UNARI_PLUS"), std::string::npos);
  // The error symbol's value never reaches a constructor.
  EXPECT_NE(y.find("LPAR error RPAR\n      { $$ = gn_new_Gen_Expression__LPAR_error_RPAR(ctx, $1, nullptr, $3); }"),
            std::string::npos);
  std::string report = read_file(fs::path(QEN_GENERATED_DIR) / "tsql_parser.output");
  Automaton a = measure(report);
  EXPECT_EQ(a.states, figure("built_states"));
  EXPECT_EQ(a.state_lines, figure("built_states") + 1);
  EXPECT_EQ(a.shift_reduce, figure("shift_reduce"));
  EXPECT_EQ(a.reduce_reduce, 0);
  EXPECT_EQ(a.error_states, figure("error_states"));
  ASSERT_EQ(a.conflict_states.size(), 1u);
  expect_dangling_else(report, a.conflict_states[0]);
  std::string parser = read_file(fs::path(QEN_GENERATED_DIR) / "tsql_parser.cpp");
  EXPECT_EQ(default_only_states(parser), figure("built_default_only"));
  // Stacks start with room for 200 entries and stop at 10,000.
  EXPECT_NE(parser.find("# define YYINITDEPTH 200\n"), std::string::npos);
  EXPECT_NE(parser.find("# define YYMAXDEPTH 10000\n"), std::string::npos);
}

TEST(GeneratorGrammar, GeneratedNamesAndCounts) {
  fs::path dir(QEN_GENERATED_DIR);
  std::string desc = read_file(dir / "gn_descriptors.cpp");
  EXPECT_NE(desc.find("{\"Real_Goal Batch_Input ;\", nullptr},"), std::string::npos);
  EXPECT_NE(desc.find("{\"Where_Clause WHERE_KW Predicate_Expr ;\", gn_eval_Where_Clause__WHERE_KW_Predicate_Expr},"),
            std::string::npos);
  EXPECT_NE(desc.find("{\"Opt_Where_Clause ;\", gn_eval_Opt_Where_Clause__empty},"), std::string::npos);
  EXPECT_EQ(desc.find("{\"ABS_ID ;\""), std::string::npos);  // tokens have no nodes
  EXPECT_NE(desc.find("{\"Writetext_Stmt WRITETEKST_KW Column_Name Text_Pointer WITH_KW LOG_ID Lob_Write_Data ;\""),
            std::string::npos);
  int evals = 0, news = 0;
  for (auto& e : fs::directory_iterator(dir)) {
    if (e.path().filename().string().rfind("gn_", 0) != 0 || e.path().extension() != ".cpp") continue;
    if (e.path().filename() == "gn_descriptors.cpp") continue;
    std::string text = read_file(e.path());
    for (size_t at = 0; (at = text.find("extern \"C\" ag_word gn_eval_", at)) != std::string::npos; ++at) ++evals;
    for (size_t at = 0; (at = text.find("extern \"C\" st_node* gn_new_", at)) != std::string::npos; ++at) ++news;
  }
  EXPECT_EQ(evals, figure("procedures"));
  EXPECT_EQ(news, figure("productions") + (int)kAdditions.size());
  int leaves = 0;
  for (size_t at = 0; (at = desc.find("extern \"C\" void gn_dproc_", at)) != std::string::npos; ++at) ++leaves;
  EXPECT_EQ(leaves, figure("terminals") + 1);  // and the table's init
}

TEST(GeneratorGrammar, RefusesAGrammarThatDiffersFromTheMeasuredOne) {
  {
    fs::path dir = grammar_copy("missing_production");
    replace_in(dir / "set.ag", "  | SERIALISABLE_ID\n", "");
    ProcessRun r = run(aggen_command(dir, ""));
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find("productions: " + str(figure("productions") - 1) + ", expected " +
                            str(figure("productions"))),
              std::string::npos)
        << r.output;
  }
  {
    fs::path dir = grammar_copy("unused_terminal");
    replace_in(dir / "terminals.def", "AG_TERMINAL(WRITETEKST_KW, 804, 2)\n",
               "AG_TERMINAL(WRITETEKST_KW, 804, 2)\nAG_TERMINAL(EKSTRA_KW, 805, 1)\n");
    ProcessRun r = run(aggen_command(dir, ""));
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find("terminals: " + str(figure("terminals") + 1) + ", expected " + str(figure("terminals"))),
              std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("terminal EKSTRA_KW occurs in no production"), std::string::npos) << r.output;
  }
  {
    fs::path dir = grammar_copy("not_evaluated");
    replace_in(dir / "table_refs.ag", "nonterminal Set_Target_For_Update evaluated { in, out }",
               "nonterminal Set_Target_For_Update");
    ProcessRun r = run(aggen_command(dir, ""));
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find("evaluated nonterminals: " + str(figure("evaluated") - 1) + ", expected " +
                            str(figure("evaluated"))),
              std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("evaluation procedures: " + str(figure("procedures") - 1) + ", expected " +
                            str(figure("procedures"))),
              std::string::npos)
        << r.output;
  }
  {
    fs::path dir = grammar_copy("unknown_symbol");
    replace_in(dir / "set.ag", "  | SERIALISABLE_ID\n", "  | SERIALISABLE\n");
    ProcessRun r = run(aggen_command(dir, ""));
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find("unknown symbol SERIALISABLE"), std::string::npos) << r.output;
  }
  {
    fs::path dir = grammar_copy("duplicate");
    replace_in(dir / "set.ag", "  | SERIALISABLE_ID\n", "  | SERIALISABLE_ID\n  | SERIALISABLE_ID\n");
    ProcessRun r = run(aggen_command(dir, ""));
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find("duplicate production Isolation_Level SERIALISABLE_ID ;"), std::string::npos)
        << r.output;
  }
  {
    fs::path dir = grammar_copy("eval_in_plain");
    replace_in(dir / "set.ag", "  | SERIALISABLE_ID\n", "  | SERIALISABLE_ID\n  eval { }\n");
    ProcessRun r = run(aggen_command(dir, ""));
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find("not evaluated"), std::string::npos) << r.output;
  }
  {
    fs::path dir = grammar_copy("open_block");
    replace_in(dir / "set.ag", "  | SERIALISABLE_ID\n", "  | SERIALISABLE_ID\n  ctor { if (1) { \"}\";\n");
    ProcessRun r = run(aggen_command(dir, ""));
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find("block without its closing brace"), std::string::npos) << r.output;
  }
  {
    fs::path dir = grammar_copy("bad_terminal_code");
    replace_in(dir / "terminals.def", "AG_TERMINAL(ABSOLUTE_ID, 258, 2)", "AG_TERMINAL(ABSOLUTE_ID, 259, 2)");
    ProcessRun r = run(aggen_command(dir, ""));
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find("ABSOLUTE_ID has code 259"), std::string::npos) << r.output;
  }
}

TEST(GeneratorGrammar, AdditionsAreCountedApartAndWrittenBack) {
  fs::path dir = grammar_copy("extra_addition");
  replace_in(dir / "set.ag", "  | SERIALISABLE_ID\n",
             "  | SERIALISABLE_ID\nadded Isolation_Level: SERIALISABLE_ID READ_KW\n"
             "  ctor { const char* s = \"$1 costs $\"; /* $2 */ (void)s; $1->lexeme = 7; }\n");
  fs::path out = fs::path(QEN_TEST_TMP_DIR) / "extra_addition_out";
  fs::remove_all(out);
  fs::create_directories(out);
  ProcessRun r = run(aggen_command(dir, out.string()));
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("addition: Isolation_Level SERIALISABLE_ID READ_KW ;"), std::string::npos);
  EXPECT_NE(r.output.find("built: nonterminals " + str(figure("nonterminals")) + ", productions " +
                          str(figure("productions") + (int)kAdditions.size() + 1) + ","),
            std::string::npos);
  std::string set_cpp = read_file(out / "gn_set.cpp");
  // Grammar code keeps its place in the grammar file for compiler messages,
  // and positions become typed children (a token the slot of its lexeme
  // number); strings and comments stay as written.
  EXPECT_NE(set_cpp.find("#line 12 \"" + (dir / "set.ag").string() +
                         "\"\n const char* s = \"$1 costs $\"; /* $2 */ (void)s; (&self->c1)->lexeme = 7; "),
            std::string::npos)
      << set_cpp.substr(0, 2000);
}

// The body of a generated constructor, from its name to the next constructor.
std::string constructor_body(const std::string& source, const std::string& suffix) {
  size_t at = source.find("st_node* gn_new_" + suffix + "(");
  if (at == std::string::npos) return "";
  return source.substr(at, source.find("st_node* gn_new_", at + 1) - at);
}

TEST(GeneratorGrammar, AlternativesShareTheirBlocksAndANonterminalItsDefaultCtor) {
  fs::path dir = grammar_copy("alternatives");
  replace_in(dir / "set.ag", "nonterminal Isolation_Level\n", "nonterminal Isolation_Level\n  ctor { (void)$1; }\n");
  replace_in(dir / "set.ag", "  | REPEATABLE_ID READ_KW\n",
             "  | REPEATABLE_ID READ_KW\n  ctor { /* shared */ }\nIsolation_Level: READ_KW UNCOMMITTED_ID\n");
  replace_in(dir / "set.ag", "  | READ_KW UNCOMMITTED_ID\n", "");
  replace_in(dir / "set.ag", "  | SERIALISABLE_ID\n", "  ctor {}\nIsolation_Level: SERIALISABLE_ID\n");
  fs::path out = fs::path(QEN_TEST_TMP_DIR) / "alternatives_out";
  fs::remove_all(out);
  fs::create_directories(out);
  ProcessRun r = run(aggen_command(dir, out.string()));
  ASSERT_EQ(r.status, 0) << r.output;
  std::string set_cpp = read_file(out / "gn_set.cpp");
  struct Case {
    const char* suffix;
    const char* has;
    const char* lacks;
  } cases[] = {
      {"Isolation_Level__INTEGER_CONSTANT", "/* shared */", "(void)"},
      {"Isolation_Level__READ_KW_COMMITTED_ID", "/* shared */", "(void)"},
      {"Isolation_Level__REPEATABLE_ID_READ_KW", "/* shared */", "(void)"},
      {"Isolation_Level__READ_KW_UNCOMMITTED_ID", "  {\n#line", "(void)"},
      {"Isolation_Level__SERIALISABLE_ID", "(void)(&self->c1);", "/* shared */"},
  };
  for (const Case& c : cases) {
    std::string body = constructor_body(set_cpp, c.suffix);
    ASSERT_FALSE(body.empty()) << c.suffix;
    EXPECT_NE(body.find(c.has), std::string::npos) << body;
    EXPECT_EQ(body.find(c.lacks), std::string::npos) << body;
  }
  // The parser does not change: the same productions, however written.
  EXPECT_EQ(read_file(out / "tsql.y"), read_file(fs::path(QEN_GENERATED_DIR) / "tsql.y"));
}

TEST(GeneratorGrammar, RefusesMalformedWriting) {
  struct Case {
    const char* name;
    const char* file;
    const char* from;
    const char* to;
    const char* message;
  } cases[] = {
      {"alternative_outside", "set.ag", "nonterminal Isolation_Level\n", "nonterminal Isolation_Level\n  | READ_KW\n",
       "an alternative '|' outside a production"},
      {"alternative_after_blocks", "set.ag", "  | SERIALISABLE_ID\n", "  ctor {}\n  | SERIALISABLE_ID\n",
       "an alternative '|' after the blocks of its production"},
      {"added_alternative", "set.ag", "  | SERIALISABLE_ID\n",
       "  | SERIALISABLE_ID\nadded Isolation_Level: READ_KW READ_KW\n  | SERIALISABLE_ID READ_KW\n",
       "an addition takes no alternatives"},
      {"default_eval", "set.ag", "nonterminal Isolation_Level\n", "nonterminal Isolation_Level\n  eval {}\n",
       "a nonterminal takes only a default ctor { ... }"},
      {"position_out_of_range", "set.ag", "  | SERIALISABLE_ID\n", "  | SERIALISABLE_ID\n  ctor { (void)$3; }\n",
       "$3 out of range"},
      {"bad_terminal", "terminals.def", "AG_TERMINAL(ABSOLUTE_ID, 258, 2)", "AG_TERMINAL(ABSOLUTE_ID, 258 2)",
       "expected AG_TERMINAL(name, code, words)"},
      {"unknown_figure", "measured_size.txt", "\nempty ", "\nempties ", "unknown figure empties"},
      {"token_without_lexeme", "set.ag", "  | SERIALISABLE_ID\n", "  | SERIALISABLE_ID\n  ctor { (void)$1; }\n",
       "$1 is the token READ_KW, which carries no lexeme number"},
      {"int_state", "set.ag", "evaluated { in, out, tie switch_word }\nSet_Special_Syntax",
       "evaluated { int in, out, tie switch_word }\nSet_Special_Syntax", "in and out hold states, not ints"},
      {"kind_state", "set.ag", "evaluated { in, out, tie switch_word }\nSet_Special_Syntax",
       "evaluated { in, envn out, tie switch_word }\nSet_Special_Syntax", "in and out take no kind"},
      {"unknown_kind", "set.ag", "evaluated { in, out, tie switch_word }\nSet_Special_Syntax",
       "evaluated { in, out, bits switch_word }\nSet_Special_Syntax", "unknown word kind 'bits'"},
      {"out_word", "set.ag", "  eval { state = gn_option(state, FT_OPTION_CHAR_CONVERT, $1->lexeme); }\n",
       "  eval { (void)$$->out; }\n", "$$->out is no word of the node"},
  };
  for (const Case& c : cases) {
    fs::path dir = grammar_copy(c.name);
    replace_in(dir / c.file, c.from, c.to);
    ProcessRun r = run(aggen_command(dir, ""));
    EXPECT_NE(r.status, 0) << c.name;
    EXPECT_NE(r.output.find(c.message), std::string::npos) << c.name << ": " << r.output;
  }
}
