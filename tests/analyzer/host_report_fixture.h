// Runs the test host over a source file and builds the report text it is
// expected to write, byte for byte. Shared by the analyzer's report tests.
#ifndef QEN_HOST_REPORT_FIXTURE_H
#define QEN_HOST_REPORT_FIXTURE_H

#include <gtest/gtest.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <initializer_list>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "analyzer_test_util.h"
#include "shell_command.h"

#ifdef QEN_HOST_PATH

namespace qen_test {

// First half of every statement id: h * 31 + byte over the input path, the
// bytes taken as signed, in 32-bit wrap-around.
inline int32_t path_hash(const std::string& path) {
  uint32_t h = 0;
  for (char c : path) h = h * 31u + (uint32_t)(int32_t)(signed char)c;
  return (int32_t)h;
}

// What one run of the host left behind.
struct HostProcess {
  int status = -1;  // exit status; a signal that ended it shows as 128 + its number
  int signal = 0;   // that signal, else 0
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs "prefix qen_host args" through the shell with standard output and
// error caught in scratch files of this process. args is shell text: every
// path in it goes through shell_quote.
inline HostProcess run_host_process(const std::string& args, const std::string& prefix = "") {
  // Test executables of this folder run side by side and share its scratch
  // folder: the process id keeps the files apart.
  std::string base = tmp_path("host_run_" + std::to_string(getpid()));
  std::string out = base + ".out", err = base + ".err";
  HostProcess r;
  r.status = command_status(prefix + " " + shell_quote(QEN_HOST_PATH) + " " + args + " > " + shell_quote(out) +
                            " 2> " + shell_quote(err));
  if (r.status > 128) r.signal = r.status - 128;
  r.out = read_file(out);
  r.err = read_file(err);
  remove(out.c_str());
  remove(err.c_str());
  return r;
}

// An empty scratch folder of its own for a case.
inline std::string fresh_folder(const std::string& name) {
  std::string dir = tmp_path(name);
  // A case that failed half-way may have left it without write access.
  std::error_code ignored;
  std::filesystem::permissions(dir, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(dir, ignored);
  std::filesystem::create_directories(dir);
  return dir;
}

// The names in a folder.
inline std::set<std::string> listing(const std::string& dir) {
  std::set<std::string> names;
  for (const std::filesystem::directory_entry& e : std::filesystem::directory_iterator(dir))
    names.insert(e.path().filename().string());
  return names;
}

// A folder with an input and a finished report of it: what a refused run
// must leave byte for byte.
struct Scene {
  std::string dir, in, out, before;
  explicit Scene(const std::string& name) : dir(fresh_folder(name)), in(dir + "/in.sql"), out(dir + "/report.xml") {
    write_file(in, "select 1\nkill 1\n");
    EXPECT_EQ(run_host_process("-o " + shell_quote(out) + " " + shell_quote(in)).status, 0);
    before = read_file(out);
  }
  // The host over args with the report path, after prefix.
  HostProcess run(const std::string& args, const std::string& prefix = "") const {
    return run_host_process("-o " + shell_quote(out) + " " + args, prefix);
  }
};

// The host's exit status for the arguments (see run_host_process).
inline int run_host(const std::string& args) { return run_host_process(args).status; }

// Writes the source to <file>.sql, runs the host on it with the options
// and the input id, and reads <file>.xml back. Returns the whole run, its
// standard output being empty.
inline HostProcess run_host_on_file(const std::string& file, const std::string& id, const std::string& source,
                                    const std::string& options, std::string* path, std::string* text) {
  *path = tmp_path(file + ".sql");
  write_file(*path, source);
  std::string out = tmp_path(file + ".xml");
  remove(out.c_str());
  HostProcess r =
      run_host_process(options + " -i " + shell_quote(id) + " -o " + shell_quote(out) + " " + shell_quote(*path));
  *text = read_file(out);
  return r;
}

// run_host_on_file's exit status.
inline int run_host_on(const std::string& file, const std::string& id, const std::string& source,
                       const std::string& options, std::string* path, std::string* text) {
  return run_host_on_file(file, id, source, options, path, text).status;
}

// One corpus file through the host into report: the host's run, and
// xmllint's verdict on the report (its messages in lint.output).
struct CorpusRun {
  HostProcess host;
  ProcessResult lint;
};

inline CorpusRun corpus_run(const std::filesystem::path& input, const std::filesystem::path& report) {
  std::filesystem::remove(report);
  CorpusRun r;
  r.host = run_host_process("-o " + shell_quote(report.string()) + " " + shell_quote(input.string()));
  r.lint = run_command("xmllint --noout " + shell_quote(report.string()) + " 2>&1");
  return r;
}

inline std::string object_head(int line, const std::string& type, const std::string& name) {
  return "      <object>\n        <line-in-file>" + std::to_string(line) + "</line-in-file>\n        <type>" +
         type + "</type>\n        <name>" + name + "</name>\n        <flags>\n";
}

inline std::string object_close() { return "        </flags>\n      </object>\n"; }

// One feature element of the report for the input at path.
inline std::string feature_xml(const std::string& path, const std::string& tag, int statements, int line,
                               int line_in_object, const std::string& context, const std::string& type,
                               const std::string& name) {
  return "          <feature>\n            <id>" + tag + "</id>\n            <statement-id>" +
         std::to_string(path_hash(path)) + "-" + std::to_string(statements) +
         "</statement-id>\n            <line-in-file>" + std::to_string(line) +
         "</line-in-file>\n            <line-in-object>" + std::to_string(line_in_object) +
         "</line-in-object>\n            <context><![CDATA[" + context +
         "]]></context>\n            <object>\n              <type>" + type + "</type>\n              <name>" +
         name + "</name>\n            </object>\n          </feature>\n";
}

// The whole report: file head, the objects, the seventeen counters.
inline std::string whole_report(const std::string& path, const std::string& id, const std::string& objects,
                                const Counters& counters) {
  return "<source>\n" + file_head(path, id) + objects + report_tail(counters);
}

// Counters of a file that is one batch of n statements.
inline Counters one_batch_counters(int n) {
  return {.statements = n, .max_batch_size = n, .min_batch_size = n, .batch_statements = n};
}

// The whole report of a file that is one batch of n statements starting on
// line 1, every finding (the features text, maybe empty) in the batch
// object; without findings there is no object.
inline std::string one_batch_report(const std::string& path, const std::string& id, const std::string& features,
                                    int n) {
  std::string objects;
  if (!features.empty()) objects = object_head(1, "batch", "[batch]") + features + object_close();
  return whole_report(path, id, objects, one_batch_counters(n));
}

// One finding as the report writes it: the tag, the statement count at the
// time, the line in the file and in the object, the source line, and the
// type and name of the finding's own object.
struct Finding {
  std::string tag;
  int statements;
  int line;
  int line_in_object;
  std::string context;
  std::string name;
  std::string type = "statement";
};

// A statement feature whose display name is the bracket text of its tag.
inline Finding stmt(const std::string& what, int statements, int line, int line_in_object,
                    const std::string& context) {
  return {"STATEMENT[" + what + "]", statements, line, line_in_object, context, what};
}

// A statement feature with a display name of its own.
inline Finding stmt_named(const std::string& what, const std::string& name, int statements, int line,
                          int line_in_object, const std::string& context) {
  return {"STATEMENT[" + what + "]", statements, line, line_in_object, context, name};
}

// One source run through the host at construction; builds the expected
// report from findings.
struct Analysis {
  std::string path;
  std::string text;
  int status = -1;

  Analysis(const std::string& name, const std::string& source, const std::string& options = "") {
    status = run_host_on(name, name, source, options, &path, &text);
  }

  std::string feature(const Finding& f) const {
    return feature_xml(path, f.tag, f.statements, f.line, f.line_in_object, f.context, f.type, f.name);
  }

  // An object element with its findings.
  std::string object(int line, const std::string& type, const std::string& name,
                     std::initializer_list<Finding> findings) const {
    std::string s = object_head(line, type, name);
    for (const Finding& f : findings) s += feature(f);
    return s + object_close();
  }

  std::string report(const std::string& id, const std::string& objects, const Counters& counters) const {
    return whole_report(path, id, objects, counters);
  }
};

// The expected report built piece by piece, for a run made by analyse().
struct Report {
  std::string path;
  std::string text;

  static std::string head(int line, const std::string& type, const std::string& name) {
    return object_head(line, type, name);
  }
  static std::string close() { return object_close(); }

  std::string feature(const std::string& tag, int statements, int line, int line_in_object,
                      const std::string& context, const std::string& type, const std::string& name) const {
    return feature_xml(path, tag, statements, line, line_in_object, context, type, name);
  }
  // A statement feature whose display name repeats the bracketed text.
  std::string statement(const std::string& name, int statements, int line, int line_in_object,
                        const std::string& context) const {
    return feature("STATEMENT[" + name + "]", statements, line, line_in_object, context, "statement", name);
  }
  // A statement feature with a display name of its own.
  std::string statement_named(const std::string& what, const std::string& name, int statements, int line,
                              int line_in_object, const std::string& context) const {
    return feature("STATEMENT[" + what + "]", statements, line, line_in_object, context, "statement", name);
  }
  std::string global(const std::string& variable, int statements, int line, int line_in_object,
                     const std::string& context) const {
    return feature("GLOBAL[" + variable + "]", statements, line, line_in_object, context, "global", variable);
  }
};

// Runs the host over the text with extra options; returns its exit status
// and the report.
inline int analyse(const std::string& name, const std::string& source, Report* report,
                   const std::string& options = "") {
  return run_host_on(name, name, source, options, &report->path, &report->text);
}

// One input given as lines run through the host; every expected context
// is the line as written.
struct HostRun {
  std::vector<std::string> lines;
  std::string path;
  std::string text;
  int status = -1;

  HostRun(const std::string& name, std::vector<std::string> source, const std::string& options = "")
      : lines(std::move(source)) {
    std::string joined;
    for (auto& l : lines) joined += l + "\n";
    status = run_host_on(name, name, joined, options, &path, &text);
  }

  static std::string head(int line, const std::string& type, const std::string& name) {
    return object_head(line, type, name);
  }
  static std::string close() { return object_close(); }

  // A finding on the given line of the file, in an object that starts on
  // object_line, with statements counted so far.
  std::string feature(const std::string& id, const std::string& type, const std::string& name, int statements,
                      int line, int object_line = 1) const {
    return feature_xml(path, id, statements, line, line - object_line + 1, lines.at(line - 1), type, name);
  }
  std::string statement(const std::string& name, int statements, int line, int object_line = 1) const {
    return feature("STATEMENT[" + name + "]", "statement", name, statements, line, object_line);
  }
  std::string global(const std::string& var, int statements, int line, int object_line = 1) const {
    return feature("GLOBAL[" + var + "]", "global", var, statements, line, object_line);
  }
  std::string report(const std::string& objects, const Counters& counters, const std::string& id) const {
    return whole_report(path, id, objects, counters);
  }
};

// Expected findings of batch objects: a finding's line in its object
// counts from the batch's first line.
struct BatchFindings {
  std::string path;
  std::string text;

  static std::string head(int line) { return object_head(line, "batch", "[batch]"); }
  static std::string close() { return object_close(); }

  // One finding of a batch that starts on line `first`.
  std::string feature(const std::string& id, const std::string& type, const std::string& name, int statements,
                      int line, int first, const std::string& context) const {
    return feature_xml(path, id, statements, line, line - first + 1, context, type, name);
  }
  std::string start(const std::string& id) const { return "<source>\n" + file_head(path, id); }
};

}  // namespace qen_test

#endif
#endif
