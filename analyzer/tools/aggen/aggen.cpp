// aggen: turns the T-SQL attribute grammar (analyzer/grammar) into code.
//
// Inputs: the terminal list (AG_TERMINAL lines), the precedence levels, the
// measured size of the grammar (measured_size.txt) and the area files
// (*.ag). Outputs, all into one directory: the bison grammar with its
// actions, a second bison grammar of the listed productions alone (used by
// the tests that measure the automaton), the node structures, the
// descriptors, the leaf constructors and one C++ file per area with its
// node constructors and evaluation procedures.
//
// The generator refuses a grammar whose listed part differs in size from
// the one the parser tables were measured on, an unknown symbol, a
// duplicate production or generated name, or a misdeclared nonterminal.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The figures of measured_size.txt that the generator knows; it checks the
// first six and writes the expected conflicts into the grammar.
const char* const kFigureNames[] = {
    "nonterminals", "productions",  "empty",        "terminals",           "evaluated",         "procedures",
    "shift_reduce", "listed_states", "built_states", "error_states", "listed_default_only", "built_default_only"};

struct Terminal {
  std::string name;
  int code = 0;
  int words = 0;
  int index = 0;  // position in code order
};

struct Block {
  std::string code;
  std::string file;
  int line = 0;  // line of the first code line
  bool present = false;
};

struct Nonterminal {
  std::string name;
  bool evaluated = false;
  std::vector<std::string> words;
  std::set<std::string> int_words;  // declared "int", "flag" or "lexeme": 32-bit slots
  std::map<std::string, std::string> word_kinds;  // the words declared with a kind
  std::string file;
  int line = 0;
  std::vector<int> productions;
  Block default_ctor;  // taken by the productions without a ctor of their own
};

struct Production {
  std::string lhs;
  std::vector<std::string> rhs;
  std::string prec;
  bool added = false;
  std::string file;  // area file stem
  std::string path;
  int line = 0;
  std::vector<std::string> locals;
  std::set<std::string> int_locals;
  std::map<std::string, std::string> local_kinds;
  Block ctor, eval;
  // filled later
  int index = 0;  // descriptor index (rule order)
  std::string suffix;
};

struct AreaFile {
  std::string stem;
  std::string path;
  std::vector<Block> code;
};

[[noreturn]] void fail(const std::string& where, const std::string& msg) {
  std::cerr << where << ": error: " << msg << "\n";
  std::exit(1);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) fail(path, "cannot read");
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Leaves a file that already holds the text untouched, so that the build
// recompiles only what changed.
void write_file(const std::string& path, const std::string& text) {
  {
    std::ifstream in(path, std::ios::binary);
    if (in) {
      std::ostringstream old;
      old << in.rdbuf();
      if (old.str() == text) return;
    }
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) fail(path, "cannot write");
  out << text;
  if (!out) fail(path, "write failed");
}

bool is_ident(const std::string& s) {
  if (s.empty() || !(std::isalpha((unsigned char)s[0]) || s[0] == '_')) return false;
  for (char c : s)
    if (!(std::isalnum((unsigned char)c) || c == '_')) return false;
  return true;
}

bool is_terminal_name(const std::string& s) {
  for (char c : s)
    if (std::islower((unsigned char)c)) return false;
  return true;
}

bool is_number(const std::string& s) {
  if (s.empty() || s.size() > 6) return false;
  for (char c : s)
    if (!std::isdigit((unsigned char)c)) return false;
  return true;
}

// The text with its C comments blanked out (newlines kept, so that line
// numbers still hold).
std::string strip_comments(const std::string& text, const std::string& path) {
  std::string out = text;
  for (size_t i = 0; i + 1 < out.size(); ++i) {
    if (out[i] == '/' && out[i + 1] == '*') {
      size_t end = out.find("*/", i + 2);
      if (end == std::string::npos) fail(path, "comment without its end");
      for (size_t k = i; k < end + 2; ++k)
        if (out[k] != '\n') out[k] = ' ';
      i = end + 1;
    } else if (out[i] == '/' && out[i + 1] == '/') {
      for (; i < out.size() && out[i] != '\n'; ++i) out[i] = ' ';
    }
  }
  return out;
}

std::string trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

std::vector<std::string> split_ws(const std::string& s) {
  std::istringstream in(s);
  std::vector<std::string> out;
  std::string w;
  while (in >> w) out.push_back(w);
  return out;
}

std::string basename_stem(const std::string& path) {
  size_t slash = path.find_last_of('/');
  std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = base.find_last_of('.');
  return dot == std::string::npos ? base : base.substr(0, dot);
}

class Grammar {
 public:
  std::vector<Terminal> terminals;
  std::map<std::string, int> terminal_index;
  std::vector<std::pair<std::string, int>> prec_tokens;  // name, code
  std::vector<std::vector<std::string>> levels;
  std::map<std::string, Nonterminal> nonterminals;
  std::vector<Production> productions;
  std::vector<AreaFile> areas;

  void read_terminals(const std::string& path) {
    std::string text = strip_comments(read_file(path), path);
    const std::string key = "AG_TERMINAL";
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at)) {
      size_t open = at + key.size();
      size_t close = text.find(')', open);
      std::string line = path + ":" + std::to_string(1 + std::count(text.begin(), text.begin() + at, '\n'));
      if (trim(text.substr(open, 1)) != "(" || close == std::string::npos)
        fail(line, "expected AG_TERMINAL(name, code, words)");
      std::vector<std::string> f;
      std::istringstream args(text.substr(open + 1, close - open - 1));
      for (std::string a; std::getline(args, a, ',');) f.push_back(trim(a));
      if (f.size() != 3 || !is_ident(f[0]) || !is_number(f[1]) || !is_number(f[2]))
        fail(line, "expected AG_TERMINAL(name, code, words)");
      Terminal t;
      t.name = f[0];
      t.code = std::stoi(f[1]);
      t.words = std::stoi(f[2]);
      if (t.words != 1 && t.words != 2) fail(path, "terminal " + t.name + " has a leaf of " + std::to_string(t.words) + " words");
      if (terminal_index.count(t.name)) fail(path, "terminal " + t.name + " listed twice");
      t.index = (int)terminals.size();
      terminal_index[t.name] = t.index;
      terminals.push_back(t);
      at = close;
    }
    for (size_t i = 0; i < terminals.size(); ++i)
      if (terminals[i].code != 257 + (int)i)
        fail(path, "terminal " + terminals[i].name + " has code " + std::to_string(terminals[i].code) +
                       ", expected " + std::to_string(257 + i));
  }

  std::map<std::string, int> measured;

  // Calls fn(where, words) for each line of a small definition file that is
  // neither blank nor a '#' comment.
  template <typename Fn>
  static void for_each_definition(const std::string& path, Fn fn) {
    std::istringstream in(read_file(path));
    std::string line;
    int n = 0;
    while (std::getline(in, line)) {
      ++n;
      std::string t = trim(line);
      if (t.empty() || t[0] == '#') continue;
      fn(path + ":" + std::to_string(n), split_ws(t));
    }
  }

  void read_measured(const std::string& path) {
    for_each_definition(path, [&](const std::string& where, const std::vector<std::string>& w) {
      if (w.size() != 2 || !is_number(w[1])) fail(where, "expected: name value");
      bool known = false;
      for (const char* name : kFigureNames) known |= w[0] == name;
      if (!known) fail(where, "unknown figure " + w[0]);
      if (!measured.emplace(w[0], std::stoi(w[1])).second) fail(where, "figure " + w[0] + " given twice");
    });
    for (const char* name : kFigureNames)
      if (!measured.count(name)) fail(path, std::string("figure ") + name + " missing");
  }

  void read_precedence(const std::string& path) {
    for_each_definition(path, [&](const std::string& where, const std::vector<std::string>& w) {
      if (w[0] == "token") {
        if (w.size() != 3 || !is_ident(w[1])) fail(where, "expected: token NAME CODE");
        prec_tokens.emplace_back(w[1], std::stoi(w[2]));
      } else if (w[0] == "left") {
        if (w.size() < 2) fail(where, "empty level");
        levels.emplace_back(w.begin() + 1, w.end());
      } else {
        fail(where, "unknown line");
      }
    });
  }

  // The kinds a word may be declared with (the word kinds of gn_call's
  // slots and of the grammar's own words); flag, lexeme, content, number and
  // tie words take 32 bits.
  static bool word_kind_is_int(const std::string& kind) {
    return kind == "flag" || kind == "lexeme" || kind == "content" || kind == "number" || kind == "tie";
  }
  static bool is_word_kind(const std::string& kind) {
    return kind == "envn" || kind == "text" || kind == "record" || word_kind_is_int(kind);
  }

  // Reads "{ a, int b, lexeme c, d }" starting at position pos of line;
  // returns the names, adds those of 32 bits to ints and those declared
  // with a kind to kinds.
  static std::vector<std::string> word_list(const std::string& text, const std::string& where,
                                            std::set<std::string>& ints, std::map<std::string, std::string>& kinds) {
    size_t open = text.find('{');
    size_t close = text.rfind('}');
    if (open == std::string::npos || close == std::string::npos || close < open) fail(where, "expected { words }");
    std::string inner = text.substr(open + 1, close - open - 1);
    std::vector<std::string> out;
    std::string cur;
    std::istringstream in(inner);
    while (std::getline(in, cur, ',')) {
      std::string w = trim(cur);
      if (w.empty()) continue;
      size_t space = w.find(' ');
      std::string kind = space == std::string::npos ? "" : w.substr(0, space);
      if (!kind.empty() && kind != "int" && !is_word_kind(kind)) fail(where, "unknown word kind '" + kind + "'");
      if (!kind.empty()) w = trim(w.substr(space + 1));
      if (!is_ident(w)) fail(where, "bad word name '" + w + "'");
      if (kind == "int" || word_kind_is_int(kind)) ints.insert(w);
      if (is_word_kind(kind)) kinds[w] = kind;
      out.push_back(w);
    }
    if (!trim(text.substr(close + 1)).empty()) fail(where, "text after }");
    return out;
  }

  // Scans a brace-balanced block that starts at the '{' at (line li, col ci).
  // Strings, character literals and comments do not count.
  static Block scan_block(const std::vector<std::string>& lines, size_t& li, size_t ci, const std::string& path) {
    Block b;
    b.present = true;
    b.file = path;
    int depth = 0;
    bool in_block_comment = false;
    std::string out;
    size_t start_line = li;
    size_t i = ci;
    bool first = true;
    while (li < lines.size()) {
      const std::string& s = lines[li];
      size_t seg_start = first ? ci + 1 : 0;
      if (first) {
        depth = 1;
        i = ci + 1;
        b.line = (int)li + 1;
      } else {
        i = 0;
      }
      first = false;
      while (i < s.size()) {
        char c = s[i];
        if (in_block_comment) {
          if (c == '*' && i + 1 < s.size() && s[i + 1] == '/') {
            in_block_comment = false;
            ++i;
          }
        } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '/') {
          i = s.size();
          break;
        } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
          in_block_comment = true;
          ++i;
        } else if (c == '"' || c == '\'') {
          char q = c;
          ++i;
          while (i < s.size() && s[i] != q) {
            if (s[i] == '\\') ++i;
            ++i;
          }
        } else if (c == '{') {
          ++depth;
        } else if (c == '}') {
          if (--depth == 0) {
            out += s.substr(seg_start, i - seg_start);
            if (!trim(s.substr(i + 1)).empty())
              fail(path + ":" + std::to_string(li + 1), "text after the closing brace of a block");
            b.code = out;
            ++li;
            return b;
          }
        }
        ++i;
      }
      out += s.substr(seg_start) + "\n";
      ++li;
    }
    fail(path + ":" + std::to_string(start_line + 1), "block without its closing brace");
  }

  // The right-hand side of a production: symbols, optionally ending in
  // "%prec TOKEN".
  static Production parse_rhs(const std::string& lhs, const std::string& text, const std::string& where) {
    Production p;
    p.lhs = lhs;
    auto rhs = split_ws(text);
    for (size_t k = 0; k < rhs.size(); ++k) {
      if (rhs[k] == "%prec") {
        if (k + 2 != rhs.size()) fail(where, "%prec takes one token at the end");
        p.prec = rhs[k + 1];
        break;
      }
      if (!is_ident(rhs[k])) fail(where, "bad symbol '" + rhs[k] + "'");
      p.rhs.push_back(rhs[k]);
    }
    return p;
  }

  void read_area(const std::string& path) {
    AreaFile area;
    area.path = path;
    area.stem = basename_stem(path);
    for (auto& a : areas)
      if (a.stem == area.stem) fail(path, "two area files named " + area.stem);
    std::vector<std::string> lines;
    {
      std::istringstream in(read_file(path));
      std::string l;
      while (std::getline(in, l)) lines.push_back(l);
    }
    // The productions that the indented lines below belong to: one written
    // production and its "|" alternatives, which share every block.
    std::vector<size_t> group;
    bool group_has_items = false;
    // The nonterminal declared just above, whose default ctor may follow.
    Nonterminal* declared = nullptr;
    size_t li = 0;
    // A production written at line li of this file joins the group.
    auto add_to_group = [&](Production p) {
      p.file = area.stem;
      p.path = path;
      p.line = (int)li + 1;
      group.push_back(productions.size());
      productions.push_back(std::move(p));
    };
    while (li < lines.size()) {
      std::string raw = lines[li];
      std::string t = trim(raw);
      std::string where = path + ":" + std::to_string(li + 1);
      if (t.empty() || t.rfind("//", 0) == 0) {
        ++li;
        continue;
      }
      bool indented = raw[0] == ' ' || raw[0] == '\t';
      auto w = split_ws(t);
      if (indented && t[0] == '|') {
        if (group.empty()) fail(where, "an alternative '|' outside a production");
        if (group_has_items) fail(where, "an alternative '|' after the blocks of its production");
        const Production& first = productions[group.front()];
        if (first.added) fail(where, "an addition takes no alternatives");
        add_to_group(parse_rhs(first.lhs, t.substr(1), where));
        ++li;
        continue;
      }
      if (indented) {
        std::string kw = w[0];
        if (declared && group.empty()) {
          // A nonterminal's default constructor.
          size_t col = raw.find('{');
          if (kw != "ctor" || col == std::string::npos || trim(raw.substr(0, col)) != kw)
            fail(where, "a nonterminal takes only a default ctor { ... }");
          if (declared->default_ctor.present) fail(where, "second default ctor");
          declared->default_ctor = scan_block(lines, li, col, path);
          continue;
        }
        if (group.empty()) fail(where, "indented line outside a production");
        group_has_items = true;
        if (kw == "local") {
          std::set<std::string> ints;
          std::map<std::string, std::string> kinds;
          auto locals = word_list(t, where, ints, kinds);
          if (locals.empty()) fail(where, "empty local list");
          for (size_t k : group) {
            if (!productions[k].locals.empty()) fail(where, "second local list");
            productions[k].locals = locals;
            productions[k].int_locals = ints;
            productions[k].local_kinds = kinds;
          }
          ++li;
        } else if (kw == "ctor" || kw == "eval") {
          size_t col = raw.find('{');
          if (col == std::string::npos || trim(raw.substr(0, col)) != kw) fail(where, "expected " + kw + " {");
          Block b = scan_block(lines, li, col, path);
          for (size_t k : group) {
            Block& dst = kw == "ctor" ? productions[k].ctor : productions[k].eval;
            if (dst.present) fail(where, "second " + kw + " block");
            dst = b;
          }
        } else {
          fail(where, "unknown production item '" + kw + "'");
        }
        continue;
      }
      group.clear();
      group_has_items = false;
      declared = nullptr;
      if (w[0] == "nonterminal") {
        if (w.size() < 2 || !is_ident(w[1]) || is_terminal_name(w[1])) fail(where, "bad nonterminal declaration");
        Nonterminal nt;
        nt.name = w[1];
        nt.file = path;
        nt.line = (int)li + 1;
        std::string rest = trim(t.substr(t.find(w[1]) + w[1].size()));
        if (rest.rfind("evaluated", 0) == 0) {
          nt.evaluated = true;
          rest = trim(rest.substr(9));
        }
        if (!rest.empty()) nt.words = word_list(rest, where, nt.int_words, nt.word_kinds);
        std::set<std::string> seen;
        for (auto& x : nt.words)
          if (!seen.insert(x).second) fail(where, "word " + x + " twice");
        if (nt.evaluated) {
          if (nt.words.size() < 2 || nt.words[0] != "in" || nt.words[1] != "out")
            fail(where, "an evaluated nonterminal begins its words with in, out");
          if (nt.int_words.count("in") || nt.int_words.count("out")) fail(where, "in and out hold states, not ints");
          if (nt.word_kinds.count("in") || nt.word_kinds.count("out"))
            fail(where, "in and out take no kind: they are the state");
        } else if (seen.count("in") || seen.count("out")) {
          fail(where, "in and out are the words of evaluated nonterminals");
        }
        if (nonterminals.count(nt.name)) fail(where, "nonterminal " + nt.name + " declared twice");
        declared = &(nonterminals[nt.name] = nt);
        ++li;
        continue;
      }
      if (w[0] == "code") {
        size_t col = raw.find('{');
        if (col == std::string::npos || trim(raw.substr(0, col)) != "code") fail(where, "expected code {");
        area.code.push_back(scan_block(lines, li, col, path));
        continue;
      }
      std::string text = t;
      bool added = false;
      if (w[0] == "added") {
        added = true;
        text = trim(text.substr(5));
      }
      size_t colon = text.find(':');
      if (colon == std::string::npos) fail(where, "expected a production 'Lhs: Rhs'");
      std::string lhs = trim(text.substr(0, colon));
      if (!is_ident(lhs)) fail(where, "bad left-hand side '" + lhs + "'");
      Production p = parse_rhs(lhs, text.substr(colon + 1), where);
      p.added = added;
      add_to_group(std::move(p));
      ++li;
    }
    areas.push_back(area);
  }

  void check_and_order() {
    // Symbols.
    for (auto& p : productions) {
      std::string where = p.path + ":" + std::to_string(p.line);
      auto nt = nonterminals.find(p.lhs);
      if (nt == nonterminals.end()) fail(where, "undeclared nonterminal " + p.lhs);
      for (auto& s : p.rhs) {
        if (s == "error") continue;
        if (terminal_index.count(s)) continue;
        if (nonterminals.count(s)) continue;
        fail(where, "unknown symbol " + s);
      }
      if (!p.prec.empty() && !terminal_index.count(p.prec)) {
        bool found = false;
        for (auto& t : prec_tokens) found |= t.first == p.prec;
        if (!found) fail(where, "unknown %prec token " + p.prec);
      }
      if (p.eval.present && !nt->second.evaluated) fail(where, "eval block in a production of a nonterminal that is not evaluated");
      std::set<std::string> names(nt->second.words.begin(), nt->second.words.end());
      for (auto& l : p.locals)
        if (!names.insert(l).second) fail(where, "local word " + l + " clashes with another word");
    }
    for (auto& [name, nt] : nonterminals) (void)name;
    // Rule order: nonterminals by name, listed productions by descriptor
    // text, then the additions in the order written.
    std::stable_sort(productions.begin(), productions.end(), [](const Production& a, const Production& b) {
      if (a.lhs != b.lhs) return a.lhs < b.lhs;
      if (a.added != b.added) return !a.added;
      if (a.added) return false;
      return a.rhs < b.rhs;
    });
    std::set<std::string> texts, suffixes;
    for (size_t i = 0; i < productions.size(); ++i) {
      Production& p = productions[i];
      std::string where = p.path + ":" + std::to_string(p.line);
      p.index = (int)i;
      if (!texts.insert(descriptor_text(p)).second) fail(where, "duplicate production " + descriptor_text(p));
      p.suffix = p.lhs + "__";
      if (p.rhs.empty()) p.suffix += "empty";
      for (size_t k = 0; k < p.rhs.size(); ++k) p.suffix += (k ? "_" : "") + p.rhs[k];
      if (!suffixes.insert(p.suffix).second) fail(where, "generated name clash: " + p.suffix);
      nonterminals[p.lhs].productions.push_back((int)i);
    }
    for (auto& [name, nt] : nonterminals)
      if (nt.productions.empty()) fail(nt.file + ":" + std::to_string(nt.line), "nonterminal " + name + " has no production");
    if (!nonterminals.count("Real_Goal")) fail("grammar", "no start symbol Real_Goal");
  }

  static std::string descriptor_text(const Production& p) {
    std::string s = p.lhs;
    for (auto& r : p.rhs) s += " " + r;
    return s + " ;";
  }

  struct Counts {
    int nonterminals = 0, productions = 0, empty = 0, terminals = 0, evaluated = 0, procedures = 0;
  };

  Counts count(bool listed_only) const {
    Counts c;
    std::set<std::string> nts;
    for (auto& p : productions) {
      if (listed_only && p.added) continue;
      nts.insert(p.lhs);
      ++c.productions;
      if (p.rhs.empty()) ++c.empty;
      if (nonterminals.at(p.lhs).evaluated) ++c.procedures;
    }
    c.nonterminals = (int)nts.size();
    for (auto& n : nts)
      if (nonterminals.at(n).evaluated) ++c.evaluated;
    c.terminals = (int)terminals.size();
    return c;
  }

  void check_counts() const {
    Counts c = count(true);
    std::ostringstream err;
    auto expect = [&](const char* what, int got, int want) {
      if (got != want) err << "  " << what << ": " << got << ", expected " << want << "\n";
    };
    expect("nonterminals", c.nonterminals, measured.at("nonterminals"));
    expect("productions", c.productions, measured.at("productions"));
    expect("empty productions", c.empty, measured.at("empty"));
    expect("terminals", c.terminals, measured.at("terminals"));
    expect("evaluated nonterminals", c.evaluated, measured.at("evaluated"));
    expect("evaluation procedures", c.procedures, measured.at("procedures"));
    // Every terminal occurs in the listed productions (most of the rarely
    // used ones only in the batches of rejected input).
    std::set<std::string> used;
    for (auto& p : productions)
      if (!p.added) used.insert(p.rhs.begin(), p.rhs.end());
    for (auto& t : terminals)
      if (!used.count(t.name)) err << "  terminal " << t.name << " occurs in no production\n";
    if (!err.str().empty()) fail("grammar", "the listed productions differ from the measured grammar:\n" + err.str());
    // An addition may not bring a nonterminal of its own.
    std::set<std::string> listed;
    for (auto& p : productions)
      if (!p.added) listed.insert(p.lhs);
    for (auto& p : productions)
      if (p.added && !listed.count(p.lhs)) fail(p.path + ":" + std::to_string(p.line), "an addition for a nonterminal that has no listed production");
  }

  // Symbols of the three nonterminals that constructors evaluate: a parent's
  // default procedure never visits them.
  static bool constructor_evaluated(const std::string& nt) {
    return nt == "Index_Column_List" || nt == "Procedure_Name_Base" || nt == "Procedure_Name_Prefixes";
  }

  // ---- node layout ------------------------------------------------------
  //
  // A node is its production's number (32 bits) followed by its stored
  // words and its children's slots. Words declared "int" take 32 bits, the
  // others a pointer's width. The state that the pass threads goes in and
  // out of a procedure as an argument and a result; only the nonterminals
  // that constructors evaluate keep their in and out words in the node,
  // since their parents read them later. A token with a lexeme number
  // leaves that number in its parent's slot; a token without one, and the
  // error symbol, leave nothing. The fields are ordered so that 32-bit ones
  // share pointer-sized units: the nonterminal's ints, its wide words, then
  // the production's int locals and token slots, its wide locals and its
  // node children.

  enum class SlotKind { Word, Int, Node, Lexeme, None };

  struct Slot {
    std::string name;   // field name (cK for children)
    std::string type;   // C++ type of the field
    SlotKind kind;
    std::string symbol; // children: the right-hand symbol
  };

  // Whether a node of the nonterminal keeps its in and out words.
  bool stores_state(const Nonterminal& nt) const { return nt.evaluated && constructor_evaluated(nt.name); }

  bool stored(const Nonterminal& nt, const std::string& w) const {
    return (w != "in" && w != "out") || stores_state(nt);
  }

  // The C++ type of a word: a word declared with a kind is typed, so that
  // gn_call takes it only into slots of that kind.
  static std::string word_type(const std::string& w, const std::set<std::string>& ints,
                               const std::map<std::string, std::string>& kinds) {
    auto k = kinds.find(w);
    bool is_int = ints.count(w) != 0;
    if (k == kinds.end()) return is_int ? "gn_int" : "ag_word";
    return (is_int ? "gn_int_of<gn_w::" : "gn_typed<gn_w::") + k->second + ">";
  }

  // The nonterminal's stored words in field order.
  std::vector<Slot> head_slots(const Nonterminal& nt) const {
    std::vector<Slot> out;
    for (auto& w : nt.words)
      if (stored(nt, w) && nt.int_words.count(w))
        out.push_back({w, word_type(w, nt.int_words, nt.word_kinds), SlotKind::Int, ""});
    for (auto& w : nt.words)
      if (stored(nt, w) && !nt.int_words.count(w))
        out.push_back({w, word_type(w, nt.int_words, nt.word_kinds), SlotKind::Word, ""});
    return out;
  }

  Slot child_slot(const Production& p, size_t k) const {
    const std::string& s = p.rhs[k];
    std::string name = "c" + std::to_string(k + 1);
    if (s == "error") return {name, "", SlotKind::None, s};
    auto t = terminal_index.find(s);
    if (t != terminal_index.end())
      return terminals[t->second].words == 2 ? Slot{name, "gn_leaf", SlotKind::Lexeme, s} : Slot{name, "", SlotKind::None, s};
    return {name, "gn_N_" + s + "*", SlotKind::Node, s};
  }

  // The production's own fields in field order (after the head).
  std::vector<Slot> production_slots(const Production& p) const {
    std::vector<Slot> out;
    for (auto& w : p.locals)
      if (p.int_locals.count(w)) out.push_back({w, word_type(w, p.int_locals, p.local_kinds), SlotKind::Int, ""});
    for (size_t k = 0; k < p.rhs.size(); ++k)
      if (child_slot(p, k).kind == SlotKind::Lexeme) out.push_back(child_slot(p, k));
    for (auto& w : p.locals)
      if (!p.int_locals.count(w)) out.push_back({w, word_type(w, p.int_locals, p.local_kinds), SlotKind::Word, ""});
    for (size_t k = 0; k < p.rhs.size(); ++k)
      if (child_slot(p, k).kind == SlotKind::Node) out.push_back(child_slot(p, k));
    return out;
  }

  // A node without any field besides its production number is the same for
  // every reduction: one shared node serves them all.
  bool shared_node(const Production& p) const {
    return head_slots(nonterminals.at(p.lhs)).empty() && production_slots(p).empty();
  }

  // Whether a default procedure visits a child of this symbol.
  bool visited_by_default(const std::string& s) const {
    auto it = nonterminals.find(s);
    return it != nonterminals.end() && it->second.evaluated && !constructor_evaluated(s);
  }

  // Whether the production continues a left-recursive list ("L: L ...")
  // whose procedure begins by visiting that list, the first child, with
  // the state it was given: a long list is then walked without one call
  // level per element (gn_walk_list). rest receives the procedure's block
  // without that first visit (blanked, so that lines keep their numbers);
  // a block that reads $$->in after it does not qualify.
  bool continues_list(const Production& p, std::string* rest) const {
    const Nonterminal& nt = nonterminals.at(p.lhs);
    if (!nt.evaluated || stores_state(nt) || p.rhs.empty() || p.rhs[0] != p.lhs) return false;
    if (!p.eval.present) return true;
    const std::string& code = p.eval.code;
    size_t i = 0;
    while (i < code.size()) {
      if (std::isspace((unsigned char)code[i])) {
        ++i;
      } else if (code.compare(i, 2, "//") == 0) {
        i = code.find('\n', i);
        if (i == std::string::npos) return false;
      } else if (code.compare(i, 2, "/*") == 0) {
        i = code.find("*/", i + 2);
        if (i == std::string::npos) return false;
        i += 2;
      } else {
        break;
      }
    }
    const std::string first = "visit($1);";
    std::string compact;
    size_t end = i;
    while (end < code.size() && compact.size() < first.size()) {
      if (!std::isspace((unsigned char)code[end])) compact += code[end];
      ++end;
    }
    if (compact != first) return false;
    std::string tail = code;
    for (size_t k = i; k < end; ++k)
      if (tail[k] != '\n') tail[k] = ' ';
    if (tail.find("$$->in") != std::string::npos) return false;
    *rest = tail;
    return true;
  }

  // ---- bison grammars -------------------------------------------------

  std::string bison(bool with_actions) const {
    std::ostringstream y;
    y << "/* Generated by aggen from analyzer/grammar; do not edit. */\n";
    if (with_actions) {
      y << "%code requires {\n#include \"parser_glue.h\"\n}\n";
      y << "%code {\n#include \"gn_nodes.h\"\n}\n";
      y << "%define api.pure full\n";
      y << "%define api.value.type {st_node*}\n";
      y << "%parse-param {st_context* ctx}\n%lex-param {st_context* ctx}\n";
      int sr = expected_sr_conflicts();
      y << "%expect " << sr << "\n";
    }
    for (auto& t : terminals) y << "%token " << t.name << " " << t.code << "\n";
    for (auto& t : prec_tokens) y << "%token " << t.first << " " << t.second << "\n";
    for (auto& l : levels) {
      y << "%left";
      for (auto& s : l) y << " " << s;
      y << "\n";
    }
    y << "%start Real_Goal\n%%\n";
    std::string cur;
    bool first = true;
    for (auto& p : productions) {
      if (!with_actions && p.added) continue;
      if (p.lhs != cur) {
        if (!cur.empty()) y << "  ;\n";
        cur = p.lhs;
        y << p.lhs << ":\n";
        first = true;
      }
      y << (first ? "    " : "  | ");
      first = false;
      if (p.rhs.empty()) y << "%empty";
      for (size_t k = 0; k < p.rhs.size(); ++k) y << (k ? " " : "") << p.rhs[k];
      if (!p.prec.empty()) y << " %prec " << p.prec;
      if (with_actions) {
        y << "\n      { $$ = gn_new_" << p.suffix << "(ctx";
        for (size_t k = 0; k < p.rhs.size(); ++k) {
          if (p.rhs[k] == "error")
            y << ", nullptr";
          else
            y << ", $" << (k + 1);
        }
        y << "); }";
      }
      y << "\n";
    }
    y << "  ;\n%%\n";
    return y.str();
  }

  // The listed grammar's shift/reduce conflicts (the dangling else); the
  // additions bring none of their own.
  int expected_sr_conflicts() const { return measured.at("shift_reduce"); }

  // ---- C++ ------------------------------------------------------------

  static std::string line_directive(int line, const std::string& file) {
    return "#line " + std::to_string(line) + " \"" + file + "\"\n";
  }

  // $$ -> self, $N -> self->cN (a token's slot: (&self->cN)). In an eval
  // block, $$->in is the state the procedure was given. String and
  // character literals and comments are copied as they are; a '$' that
  // starts neither form is left alone.
  std::string substitute(const std::string& code, const Production& p, const std::string& where, bool eval) const {
    const Nonterminal& nt = nonterminals.at(p.lhs);
    std::string out;
    size_t i = 0;
    auto copy_to = [&](size_t end) {
      out.append(code, i, end - i);
      i = end;
    };
    // The word named after "$$->" at position at, if any.
    auto word_at = [&](size_t at) {
      size_t j = at;
      while (j < code.size() && (std::isalnum((unsigned char)code[j]) || code[j] == '_')) ++j;
      return code.substr(at, j - at);
    };
    while (i < code.size()) {
      char c = code[i];
      char next = i + 1 < code.size() ? code[i + 1] : '\0';
      if (c == '/' && next == '/') {
        size_t end = code.find('\n', i);
        copy_to(end == std::string::npos ? code.size() : end);
      } else if (c == '/' && next == '*') {
        size_t end = code.find("*/", i + 2);
        copy_to(end == std::string::npos ? code.size() : end + 2);
      } else if (c == '"' || (c == '\'' && !(i > 0 && std::isalnum((unsigned char)code[i - 1])))) {
        // A quote after a letter or digit is a digit separator.
        size_t j = i + 1;
        while (j < code.size() && code[j] != c && code[j] != '\n') j += code[j] == '\\' ? 2 : 1;
        copy_to(std::min(j + 1, code.size()));
      } else if (c == '$' && next == '$') {
        std::string w = code.compare(i + 2, 2, "->") == 0 ? word_at(i + 4) : "";
        if ((w == "in" || w == "out") && !stored(nt, w)) {
          if (w == "out" || !eval) fail(where, "$$->" + w + " is no word of the node: the state is `state`");
          out += "gn_envn{in}";
          i += 4 + w.size();
        } else {
          out += "self";
          i += 2;
        }
      } else if (c == '$' && std::isdigit((unsigned char)next)) {
        size_t j = i + 1;
        while (j < code.size() && std::isdigit((unsigned char)code[j])) ++j;
        std::string digits = code.substr(i + 1, j - i - 1);
        int k = digits.size() > 4 ? 0 : std::stoi(digits);
        if (k < 1 || k > (int)p.rhs.size()) fail(where, "$" + digits + " out of range");
        if (p.rhs[k - 1] == "error") fail(where, "$" + digits + " is the error symbol, whose value is always null");
        Slot slot = child_slot(p, (size_t)k - 1);
        if (slot.kind == SlotKind::None)
          fail(where, "$" + digits + " is the token " + p.rhs[k - 1] + ", which carries no lexeme number");
        out += slot.kind == SlotKind::Lexeme ? "(&self->" + slot.name + ")" : "self->" + slot.name;
        i = j;
      } else {
        out += c;
        ++i;
      }
    }
    return out;
  }

  static void write_fields(std::ostringstream& h, const std::vector<Slot>& slots) {
    for (auto& s : slots) h << "  " << s.type << " " << s.name << ";\n";
  }

  std::string nodes_header() const {
    std::ostringstream h;
    h << "/* Generated by aggen from analyzer/grammar; do not edit. */\n";
    h << "#ifndef GN_NODES_H\n#define GN_NODES_H\n\n#include \"grammar_support.h\"\n\n";
    h << "#define GN_PRODUCTION_COUNT " << productions.size() << "\n";
    h << "#define GN_TERMINAL_COUNT " << terminals.size() << "\n\n";
    h << "extern const st_production gn_production_descriptors[GN_PRODUCTION_COUNT];\n\n";
    h << "/* Per production: where its nodes keep their words (the attribute words\n"
         " * without in and out, then the local words, as declared) and the slots of\n"
         " * its right-hand symbols, for code that reads whole trees. */\n";
    h << "extern const gn_shape gn_production_shapes[GN_PRODUCTION_COUNT];\n";
    h << "extern const gn_slot gn_slots[];\n";
    h << "extern const char gn_slot_names[];\n\n";
    h << "inline const gn_slot* gn_shape_words(const gn_shape* s) { return gn_slots + s->first; }\n";
    h << "inline const gn_slot* gn_shape_children(const gn_shape* s) { return gn_slots + s->first + s->word_count; }\n";
    h << "inline const char* gn_slot_name(const gn_slot* s) { return gn_slot_names + s->name; }\n\n";
    h << "/* Per production that continues a left-recursive list and visits it\n"
         " * first: the rest of its procedure (see gn_walk_list); null for the others. */\n";
    h << "extern const st_eval_proc gn_production_list_tails[GN_PRODUCTION_COUNT];\n\n";
    h << "/* The common head of every node of a nonterminal: its stored words. */\n";
    for (auto& [name, nt] : nonterminals) {
      h << "struct gn_N_" << name << " {\n  uint32_t production;\n";
      write_fields(h, head_slots(nt));
      if (nt.evaluated) h << "  static constexpr bool gn_evaluated = true;\n";
      h << "};\n";
    }
    h << "\n/* One node layout per production: the head, local words, children. */\n";
    for (auto& p : productions) {
      h << "struct gn_P_" << p.suffix << " {\n  uint32_t production;\n";
      write_fields(h, head_slots(nonterminals.at(p.lhs)));
      write_fields(h, production_slots(p));
      h << "};\n";
    }
    h << "\nextern \"C\" {\n";
    for (auto& p : productions) {
      h << "st_node* gn_new_" << p.suffix << "(st_context* ctx";
      for (size_t k = 0; k < p.rhs.size(); ++k) h << ", st_node* v" << (k + 1);
      h << ");\n";
    }
    std::string rest;
    for (auto& p : productions) {
      if (nonterminals.at(p.lhs).evaluated) h << "ag_word gn_eval_" << p.suffix << "(st_node* node, ag_word in);\n";
      if (continues_list(p, &rest)) h << "ag_word gn_tail_" << p.suffix << "(st_node* node, ag_word in);\n";
    }
    for (auto& t : terminals) h << "void gn_dproc_" << t.name << "(st_context* ctx, st_node** value);\n";
    h << "}\n\n#endif\n";
    return h.str();
  }

  std::string area_source(const AreaFile& area, const std::string& outdir) const {
    std::ostringstream c;
    c << "/* Generated by aggen from " << area.stem << ".ag; do not edit. */\n";
    c << "#include \"gn_nodes.h\"\n\n";
    for (auto& b : area.code) {
      c << line_directive(b.line, b.file) << b.code << "\n";
      c << "#line RESET\n";
    }
    for (auto& p : productions) {
      if (p.file != area.stem) continue;
      const Nonterminal& nt = nonterminals.at(p.lhs);
      std::string where = p.path + ":" + std::to_string(p.line);
      std::string node = "gn_P_" + p.suffix;
      c << "\n/* " << descriptor_text(p) << (p.added ? "  (addition)" : "") << " */\n";
      c << "extern \"C\" st_node* gn_new_" << p.suffix << "(st_context* ctx";
      for (size_t k = 0; k < p.rhs.size(); ++k) c << ", st_node* v" << (k + 1);
      c << ") {\n";
      if (shared_node(p)) {
        c << "  static " << node << " shared = {" << p.index << "};\n";
        c << "  [[maybe_unused]] " << node << "* self = &shared;\n";
      } else {
        c << "  auto* self = static_cast<" << node << "*>(gn_alloc(ctx, sizeof(" << node << ")));\n";
        c << "  self->production = " << p.index << ";\n";
        for (auto& s : head_slots(nt)) c << "  self->" << s.name << " = 0;\n";
      }
      for (auto& s : production_slots(p)) {
        if (s.kind == SlotKind::Int || s.kind == SlotKind::Word) c << "  self->" << s.name << " = 0;\n";
      }
      for (size_t k = 0; k < p.rhs.size(); ++k) {
        Slot s = child_slot(p, k);
        std::string v = "v" + std::to_string(k + 1);
        if (s.kind == SlotKind::Node)
          c << "  self->" << s.name << " = reinterpret_cast<" << s.type << ">(" << v << ");\n";
        else if (s.kind == SlotKind::Lexeme)
          c << "  self->" << s.name << ".lexeme = gn_token_lexeme(" << v << ");\n";
      }
      const Block& ctor = p.ctor.present ? p.ctor : nt.default_ctor;
      if (ctor.present) {
        c << "  {\n" << line_directive(ctor.line, ctor.file) << substitute(ctor.code, p, where, false) << "\n";
        c << "#line RESET\n  }\n";
      }
      c << "  return reinterpret_cast<st_node*>(self);\n}\n";
      if (!nt.evaluated) continue;
      // A production that continues a left-recursive list leaves the walk
      // down the list to gn_walk_list; its own part is the rest of the
      // procedure, after the visit of the list before it.
      std::string rest;
      bool list = continues_list(p, &rest);
      if (list) {
        c << "extern \"C\" ag_word gn_eval_" << p.suffix << "(st_node* node, ag_word in) {\n";
        c << "  return gn_walk_list(node, in);\n}\n";
        c << "extern \"C\" ag_word gn_tail_" << p.suffix << "(st_node* node, ag_word in) {\n";
      } else {
        c << "extern \"C\" ag_word gn_eval_" << p.suffix << "(st_node* node, ag_word in) {\n";
      }
      c << "  [[maybe_unused]] auto* self = reinterpret_cast<" << node << "*>(node);\n";
      // The state of a pass is the environment; the nonterminals that
      // constructors evaluate thread a word of their own (a count, a vector).
      c << "  " << (stores_state(nt) ? "ag_word" : "gn_envn") << " state{in};\n";
      if (stores_state(nt)) c << "  self->in = in;\n";
      if (p.eval.present) {
        c << "  [[maybe_unused]] auto visit = [&state](auto* child) { gn_visit(child, state); };\n";
        c << "  {\n" << line_directive(p.eval.line, p.eval.file)
          << substitute(list ? rest : p.eval.code, p, where, true) << "\n";
        c << "#line RESET\n  }\n";
      } else {
        for (size_t k = list ? 1 : 0; k < p.rhs.size(); ++k) {
          if (!visited_by_default(p.rhs[k])) continue;
          c << "  gn_visit(self->c" << (k + 1) << ", state);\n";
        }
      }
      if (stores_state(nt)) c << "  self->out = state;\n";
      c << "  return state;\n}\n";
    }
    return fix_line_resets(c.str(), outdir + "/gn_" + area.stem + ".cpp");
  }

  // "#line RESET" marks the return from grammar code to generated code.
  static std::string fix_line_resets(const std::string& text, const std::string& path) {
    std::istringstream in(text);
    std::ostringstream out;
    std::string l;
    int n = 0;
    while (std::getline(in, l)) {
      ++n;
      if (l == "#line RESET")
        out << "#line " << n + 1 << " \"" << path << "\"\n";
      else
        out << l << "\n";
    }
    return out.str();
  }

  static std::string c_string(const std::string& s) {
    std::string out = "\"";
    for (char ch : s) {
      if (ch == '"' || ch == '\\') out += '\\';
      out += ch;
    }
    return out + "\"";
  }

  static const char* slot_kind_name(SlotKind k) {
    switch (k) {
      case SlotKind::Word: return "GN_SLOT_WORD";
      case SlotKind::Int: return "GN_SLOT_INT";
      case SlotKind::Node: return "GN_SLOT_NODE";
      case SlotKind::Lexeme: return "GN_SLOT_LEXEME";
      case SlotKind::None: break;
    }
    return "GN_SLOT_NONE";
  }

  std::string descriptors_source() const {
    std::ostringstream c;
    c << "/* Generated by aggen from analyzer/grammar; do not edit. */\n";
    c << "#include \"gn_nodes.h\"\n\n#include <stddef.h>\n\n";
    c << "const st_production gn_production_descriptors[GN_PRODUCTION_COUNT] = {\n";
    for (auto& p : productions) {
      c << "  {" << c_string(descriptor_text(p)) << ", ";
      if (nonterminals.at(p.lhs).evaluated)
        c << "gn_eval_" << p.suffix;
      else
        c << "nullptr";
      c << "},\n";
    }
    c << "};\n\n";
    // Shapes: the words as declared, then the children in right-hand order,
    // all slots in one table and all names in one text.
    std::string names;
    std::map<std::string, size_t> name_at;
    auto name_offset = [&](const std::string& n) {
      auto it = name_at.find(n);
      if (it != name_at.end()) return it->second;
      size_t at = names.size();
      names += n;
      names += '\0';
      return name_at[n] = at;
    };
    std::ostringstream slots, shapes;
    size_t slot_count = 0;
    for (auto& p : productions) {
      const Nonterminal& nt = nonterminals.at(p.lhs);
      std::string node = "gn_P_" + p.suffix;
      std::vector<std::string> words;
      for (auto& w : nt.words)
        if (w != "in" && w != "out") words.push_back(w);
      words.insert(words.end(), p.locals.begin(), p.locals.end());
      shapes << "  {" << slot_count << ", " << words.size() << ", " << p.rhs.size() << "},\n";
      for (auto& w : words) {
        bool is_int = nt.int_words.count(w) || p.int_locals.count(w);
        slots << "  {" << name_offset(w) << ", offsetof(" << node << ", " << w << "), "
              << (is_int ? "GN_SLOT_INT" : "GN_SLOT_WORD") << "},\n";
      }
      for (size_t k = 0; k < p.rhs.size(); ++k) {
        Slot sl = child_slot(p, k);
        slots << "  {" << name_offset(sl.symbol) << ", ";
        if (sl.kind == SlotKind::None)
          slots << "0";
        else
          slots << "offsetof(" << node << ", " << sl.name << ")";
        slots << ", " << slot_kind_name(sl.kind) << "},\n";
      }
      slot_count += words.size() + p.rhs.size();
    }
    if (slot_count > 65535 || names.size() > 65535) fail("grammar", "more slots or slot names than the shapes can number");
    c << "const gn_slot gn_slots[] = {\n" << slots.str() << "};\n\n";
    c << "const gn_shape gn_production_shapes[GN_PRODUCTION_COUNT] = {\n" << shapes.str() << "};\n\n";
    c << "const char gn_slot_names[] =";
    for (size_t at = 0; at < names.size();) {
      size_t end = std::min(names.size(), at + 96);
      while (end < names.size() && names[end - 1] != '\0') ++end;
      std::string piece;
      for (size_t k = at; k < end; ++k) piece += names[k] == '\0' ? std::string("\\0") : std::string(1, names[k]);
      c << "\n    \"" << piece << "\"";
      at = end;
    }
    c << ";\n\n";
    c << "const st_eval_proc gn_production_list_tails[GN_PRODUCTION_COUNT] = {";
    std::string rest;
    for (auto& p : productions) {
      if (p.index % 8 == 0) c << "\n ";
      c << " " << (continues_list(p, &rest) ? "gn_tail_" + p.suffix : "nullptr") << ",";
    }
    c << "\n};\n\n";
    // Leaf constructors: the token's value is its lexeme number.
    for (auto& t : terminals) {
      c << "extern \"C\" void gn_dproc_" << t.name << "(st_context* ctx, st_node** value) {\n";
      c << "  *value = gn_token_value(ctx->lexeme_count);  // the token's own lexeme number\n}\n";
    }
    c << "\nextern \"C\" void gn_dproc_table_init(void) {\n";
    c << "  for (int i = 0; i < GN_DPROC_TABLE_SIZE; ++i) gn_dproc_table[i] = gn_dproc_NONE;\n";
    c << "  gn_dproc_table[0] = gn_dproc_end_of_input;\n";
    for (auto& t : terminals) c << "  gn_dproc_table[" << t.code << "] = gn_dproc_" << t.name << ";\n";
    c << "}\n";
    c << "\nstatic_assert(GN_DPROC_TABLE_SIZE == " << terminals.back().code + 1 << ", \"leaf table size\");\n";
    return c.str();
  }
  std::string summary() const {
    Counts l = count(true), a = count(false);
    std::ostringstream s;
    s << "listed: nonterminals " << l.nonterminals << ", productions " << l.productions << ", empty " << l.empty
      << ", terminals " << l.terminals << ", evaluated " << l.evaluated << ", procedures " << l.procedures << "\n";
    s << "built: nonterminals " << a.nonterminals << ", productions " << a.productions << ", empty " << a.empty
      << ", terminals " << a.terminals << ", evaluated " << a.evaluated << ", procedures " << a.procedures
      << ", descriptors " << a.productions + a.terminals << "\n";
    for (auto& p : productions)
      if (p.added) s << "addition: " << descriptor_text(p) << "  (" << p.path << ":" << p.line << ")\n";
    return s.str();
  }
};

}  // namespace

int main(int argc, char** argv) {
  std::string terminals, precedence, measured, outdir;
  std::vector<std::string> areas;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) fail("aggen", a + " needs a value");
      return argv[++i];
    };
    if (a == "--terminals")
      terminals = value();
    else if (a == "--precedence")
      precedence = value();
    else if (a == "--measured")
      measured = value();
    else if (a == "--out")
      outdir = value();
    else if (!a.empty() && a[0] == '-')
      fail("aggen", "unknown option " + a);
    else
      areas.push_back(a);
  }
  if (terminals.empty() || precedence.empty() || measured.empty() || areas.empty())
    fail("aggen", "usage: aggen --terminals FILE --precedence FILE --measured FILE [--out DIR] AREA.ag...");
  std::sort(areas.begin(), areas.end());
  Grammar g;
  g.read_terminals(terminals);
  g.read_precedence(precedence);
  g.read_measured(measured);
  for (auto& a : areas) g.read_area(a);
  g.check_and_order();
  g.check_counts();
  // Everything is generated, and so checked, before anything is written.
  std::vector<std::pair<std::string, std::string>> files = {
      {"tsql.y", g.bison(true)},
      {"tsql_listed.y", g.bison(false)},
      {"gn_nodes.h", g.nodes_header()},
      {"gn_descriptors.cpp", g.descriptors_source()},
  };
  for (auto& a : g.areas) files.emplace_back("gn_" + a.stem + ".cpp", g.area_source(a, outdir));
  std::string summary = g.summary();
  files.emplace_back("grammar_summary.txt", summary);
  std::cout << summary;
  if (outdir.empty()) return 0;
  for (auto& [name, text] : files) write_file(outdir + "/" + name, text);
  return 0;
}
