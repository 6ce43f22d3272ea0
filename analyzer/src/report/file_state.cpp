// Per-input-file state, the version triple, and the report's head and tail.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <string>

#include "file_state_internal.h"
#include "report_file.h"

namespace {

const char* const kCounterNames[FS_PRINTED_COUNTERS] = {
    "StatementCount",   "TableCount",          "ViewCount",
    "ProcedureCount",   "TriggerCount",        "TriggerStatementCount",
    "RuleCount",        "DefaultCount",        "SchemaCount",
    "DatabaseCount",    "IndexCount",          "MaxProcedureSize",
    "MinProcedureSize", "ProcedureStatementCount", "MaxBatchSize",
    "MinBatchSize",     "BatchStatementCount"};

// Buffer of file_state_statement_id, one per thread: the next call on the
// same thread overwrites it.
thread_local char t_statement_id[32];

bool valid_code(int code) { return code >= 0 && code < FS_COUNTERS; }

// Reads one run of decimal digits; the value saturates at INT_MAX however
// long the run is. Returns the number of digits read.
int read_digit_run(const char* p, int* value) {
  long long v = 0;
  int n = 0;
  while (p[n] >= '0' && p[n] <= '9') {
    if (v <= INT_MAX) v = v * 10 + (p[n] - '0');
    ++n;
  }
  *value = v > INT_MAX ? INT_MAX : (int)v;
  return n;
}

}  // namespace

int32_t path_hash(int32_t start, const char* text, int length) {
  uint32_t h = (uint32_t)start;
  if (text == nullptr || length <= 0) return start;
  for (int i = 0; i < length; ++i) h = h * 31u + (uint32_t)(int32_t)(signed char)text[i];
  return (int32_t)h;
}

namespace {

bool is_white(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// Reads length bytes at from, all of them; false with errno set otherwise.
bool read_at(int fd, char* to, size_t length, long long from) {
  while (length > 0) {
    ssize_t got = pread(fd, to, length, (off_t)from);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      if (got == 0) errno = EIO;  // shorter than its status said
      return false;
    }
    to += got;
    length -= (size_t)got;
    from += got;
  }
  return true;
}

}  // namespace

int report_find_source_end(int fd, long long size, long long* keep) {
  static const char kHead[] = "<source>";
  static const char kTail[] = "</source>";
  *keep = 0;
  if (size <= 0) return 0;
  char block[4096];
  // The head, after what editors and XML tools put before it: a UTF-8 byte
  // order mark, an XML declaration (first in the document, as XML wants
  // it), white space.
  size_t n = size < (long long)sizeof block ? (size_t)size : sizeof block;
  if (!read_at(fd, block, n, 0)) return -2;
  size_t first = 0;
  if (n >= 3 && memcmp(block, "\xEF\xBB\xBF", 3) == 0) first = 3;
  if (n - first > 5 && memcmp(block + first, "<?xml", 5) == 0 && is_white((unsigned char)block[first + 5])) {
    const char* end = (const char*)memmem(block + first, n - first, "?>", 2);
    if (end == nullptr) return -1;
    first = (size_t)(end - block) + 2;
  }
  while (first < n && is_white((unsigned char)block[first])) ++first;
  if (n - first < sizeof kHead - 1 || memcmp(block + first, kHead, sizeof kHead - 1) != 0) return -1;
  const long long head_end = (long long)(first + sizeof kHead - 1);
  // The tail, before white space (the writer's own line feed, blank lines
  // added by an editor).
  long long end = size;
  for (;;) {
    long long from = end > (long long)sizeof block ? end - (long long)sizeof block : 0;
    n = (size_t)(end - from);
    if (!read_at(fd, block, n, from)) return -2;
    while (n > 0 && is_white((unsigned char)block[n - 1])) --n;
    if (n > 0 || from == 0) {
      end = from + (long long)n;
      break;
    }
    end = from;
  }
  const long long tail = (long long)sizeof kTail - 1;
  if (end - tail < head_end) return -1;
  char last[sizeof kTail];
  if (!read_at(fd, last, (size_t)tail, end - tail)) return -2;
  if (memcmp(last, kTail, (size_t)tail) != 0) return -1;
  *keep = end - tail;
  return 1;
}

size_t report_utf8_sequence(const unsigned char* p, size_t n) {
  size_t length;
  unsigned char lo = 0x80, hi = 0xBF;
  if (p[0] >= 0xC2 && p[0] <= 0xDF) {
    length = 2;
  } else if (p[0] >= 0xE0 && p[0] <= 0xEF) {
    length = 3;
    if (p[0] == 0xE0) lo = 0xA0;
    if (p[0] == 0xED) hi = 0x9F;  // no surrogates
  } else if (p[0] >= 0xF0 && p[0] <= 0xF4) {
    length = 4;
    if (p[0] == 0xF0) lo = 0x90;
    if (p[0] == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (n < length || p[1] < lo || p[1] > hi) return 0;
  for (size_t i = 2; i < length; ++i)
    if (p[i] < 0x80 || p[i] > 0xBF) return 0;
  return length;
}

void report_write_cdata_text(FILE* out, const char* text, size_t length) {
  const unsigned char* p = (const unsigned char*)text;
  int brackets = 0;  // closing brackets just written
  for (size_t i = 0; i < length; ++i) {
    unsigned char c = p[i];
    if (c >= 0x80) {
      // Paths and identifiers may be UTF-8; other high bytes cannot stand
      // in the document.
      size_t n = report_utf8_sequence(p + i, length - i);
      if (n > 0) fwrite(p + i, 1, n, out);
      i += n > 0 ? n - 1 : 0;
      brackets = 0;
      continue;
    }
    if (c < 32 && c != '\t' && c != '\n' && c != '\r') continue;
    if (c == '>' && brackets >= 2) fputs("]]><![CDATA[", out);
    brackets = c == ']' ? brackets + 1 : 0;
    putc(c, out);
  }
}

namespace {

// ---- writing a report file beside it and renaming it into place ----

std::mutex g_open_mutex;
file_state* g_open_states = nullptr;
std::once_flag g_exit_hook_once;

void finish_open_states_at_exit();

void register_open(file_state* fs) {
  std::call_once(g_exit_hook_once, [] { atexit(finish_open_states_at_exit); });
  std::lock_guard<std::mutex> lock(g_open_mutex);
  fs->owner = getpid();
  fs->next_open = g_open_states;
  fs->prev_open = nullptr;
  if (g_open_states) g_open_states->prev_open = fs;
  g_open_states = fs;
}

void unregister_open(file_state* fs) {
  std::lock_guard<std::mutex> lock(g_open_mutex);
  if (fs->prev_open) fs->prev_open->next_open = fs->next_open;
  else if (g_open_states == fs) g_open_states = fs->next_open;
  if (fs->next_open) fs->next_open->prev_open = fs->prev_open;
  fs->next_open = fs->prev_open = nullptr;
}

// Copies length bytes of the file fd from offset from to the end of the
// file to (plain system calls, so that each failure has its errno).
bool copy_range(int fd, long long from, long long length, int to) {
  // On the heap: a library caller's thread may have a small stack.
  const size_t kBlock = 65536;
  char* block = (char*)malloc(kBlock);
  if (block == nullptr) {
    errno = ENOMEM;
    return false;
  }
  bool ok = true;
  while (ok && length > 0) {
    size_t n = length > (long long)kBlock ? kBlock : (size_t)length;
    ok = read_at(fd, block, n, from);
    for (size_t done = 0; ok && done < n;) {
      ssize_t put = write(to, block + done, n - done);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        if (put == 0) errno = ENOSPC;
        ok = false;
      } else {
        done += (size_t)put;
      }
    }
    from += (long long)n;
    length -= (long long)n;
  }
  int error = errno;
  free(block);
  errno = error;
  return ok;
}

// The first failure of the report's writing, for its message.
void note_write_error(file_state* fs, int error) {
  if (fs->write_errno == 0) fs->write_errno = error;
}

// Ends the run's hold on its report file. Unless the new report completed
// it, the file written beside the report is removed, and so is a report
// file that this run made; then the other runs may take the lock.
void end_report_file(file_state* fs, bool completed) {
  if (completed) {
    pending_file_release(fs->temp_pending);
    pending_file_release(fs->placeholder);
  } else {
    pending_file_discard(fs->temp_pending);
    pending_file_discard(fs->placeholder);
  }
  fs->temp_pending = nullptr;
  fs->placeholder = nullptr;
  free(fs->temp_path);
  fs->temp_path = nullptr;
  report_lock_close(fs->lock_fd, fs->report_dev, fs->report_ino);
  fs->lock_fd = -1;
}

// Opens the report of out_path, positioned where the new text goes. The
// report file (made empty when missing) is locked, and its text up to that
// position is copied into a file beside it, which replaces it when the
// report is complete. A path that is not a regular file, the input itself,
// a file that is neither empty nor a whole report, or a path whose folder
// takes no new file, is refused before anything is written.
report_lock_result open_report(file_state* fs, const char* out_path, int* found_source_end) {
  *found_source_end = 0;
  // Through a symbolic link the file it names is replaced, or made, not
  // the link.
  char* target = resolve_links(out_path);
  if (target == nullptr) return REPORT_CANNOT_OPEN;
  report_lock lock;
  report_lock_result result = report_lock_open(target, &lock);
  if (result != REPORT_LOCKED) {
    int error = errno;
    free(target);
    errno = error;
    return result;
  }
  fs->target_path = target;
  fs->lock_fd = lock.fd;
  fs->report_dev = lock.st.st_dev;
  fs->report_ino = lock.st.st_ino;
  fs->placeholder = lock.placeholder;
  fs->old_report_size = (long long)lock.st.st_size;
  struct stat in;
  long long keep = 0;
  int found = 0;
  if (fs->input != nullptr && fstat(fileno(fs->input), &in) == 0 && in.st_dev == lock.st.st_dev &&
      in.st_ino == lock.st.st_ino)
    result = REPORT_IS_INPUT;
  else if ((found = report_find_source_end(lock.fd, fs->old_report_size, &keep)) == -1)
    result = REPORT_NOT_A_REPORT;
  else if (found < 0)
    result = REPORT_CANNOT_READ;
  int fd = -1;
  char* name = nullptr;
  pending_file* pending = nullptr;
  if (result == REPORT_LOCKED) {
    // Only this process can read the new file until it takes the old one's
    // owner and mode.
    fd = create_beside(target, 0600, &name, &pending);
    if (fd < 0) result = REPORT_NO_FILE_BESIDE;
  }
  if (result == REPORT_LOCKED) {
    fs->temp_path = name;
    fs->temp_pending = pending;
    keep_owner_and_mode(fd, &lock.st);
    if (!copy_range(lock.fd, 0, keep, fd)) result = REPORT_CANNOT_COPY;
  }
  if (result == REPORT_LOCKED) {
    fs->report = fdopen(fd, "w+");
    if (fs->report == nullptr) result = REPORT_CANNOT_OPEN;
  }
  if (result != REPORT_LOCKED) {
    int error = errno;
    if (fd >= 0) close(fd);
    end_report_file(fs, false);
    free(fs->target_path);
    fs->target_path = nullptr;
    errno = error;
    return result;
  }
  *found_source_end = found;
  return REPORT_LOCKED;
}

// Ends the report written beside its file: the old bytes beyond the new
// text stay as they would after writing in place; then the file is made
// durable and renamed over the old one. False, with the new file removed,
// when any step fails.
bool commit_report(file_state* fs) {
  FILE* out = fs->report;
  bool ok = fflush(out) == 0 && ferror(out) == 0;
  if (ok && fs->old_report_size > 0) {
    long long written = ftello(out);
    ok = written >= 0 && (written >= fs->old_report_size ||
                          copy_range(fs->lock_fd, written, fs->old_report_size - written, fileno(out)));
  }
  ok = ok && fsync(fileno(out)) == 0;
  if (!ok) note_write_error(fs, errno);
  // Renamed while it is still open: the lock that tells a live run's file
  // from a dead one's goes with its last descriptor. Closing after the
  // rename loses nothing, the report is on the disk.
  if (ok && rename(fs->temp_path, fs->target_path) != 0) {
    note_write_error(fs, errno);
    ok = false;
  }
  fclose(out);
  fs->report = nullptr;
  end_report_file(fs, ok);
  return ok;
}

// What follows "Cannot open '...' for write" when a report path is
// refused; error is the errno of the failure.
std::string open_failure_reason(report_lock_result result, int error) {
  std::string reason = std::string(": ") + strerror(error);
  switch (result) {
    case REPORT_NOT_REGULAR:
      return ": not a regular file";
    case REPORT_CANNOT_LOCK:
      return ": it cannot be locked" + reason;
    case REPORT_HELD_BY_THREAD:
      return ": this thread has it open already";
    case REPORT_DEADLOCK:
      return ": its holder waits for a report that this run holds" + reason;
    case REPORT_NO_FILE_BESIDE:
      return ": no new file can be made in its folder" + reason;
    case REPORT_IS_INPUT:
      return ": it is the input";
    case REPORT_NOT_A_REPORT:
      return ": it is not empty and not a report (<source> ... </source>)";
    case REPORT_CANNOT_READ:
      return ": the old report cannot be read" + reason;
    case REPORT_CANNOT_COPY:
      return ": the old report cannot be copied beside it" + reason;
    default:
      return reason;
  }
}

// "Report '...' could not be written completely", with the reason when
// one is known.
void print_incomplete(file_state* fs, const char* path) {
  if (fs->write_errno != 0)
    fprintf(stderr, "Report '%s' could not be written completely: %s\n", path, strerror(fs->write_errno));
  else
    fprintf(stderr, "Report '%s' could not be written completely\n", path);
}

void write_report_tail(file_state* fs) {
  FILE* out = fs->report;
  fputs("    </objects>\n    <counters>\n", out);
  for (int code = 0; code < FS_PRINTED_COUNTERS; ++code) {
    fprintf(out,
            "      <counter>\n        <name>%s</name>\n        <value>%d</value>\n"
            "      </counter>\n",
            kCounterNames[code], (int)fs->counters[code]);
  }
  fputs("    </counters>\n  </file>\n</source>\n", out);
}

// Ends the report; true when every byte of it reached its file.
bool close_report(file_state* fs) {
  if (fs->report == nullptr) return true;
  if (fs->style == 1) write_report_tail(fs);
  if (fs->temp_path != nullptr) return commit_report(fs);
  FILE* out = fs->report;
  fs->report = nullptr;
  bool ok = fflush(out) == 0 && ferror(out) == 0;
  if (!ok) note_write_error(fs, errno);
  if (out != stdout && fclose(out) != 0) ok = false;
  return ok;
}

// At exit with file states still open (the fatal exit of a failing
// allocation ends the process in the middle of a batch): the report keeps
// every finished batch and is closed as after the last of them. Only a
// report written beside its file is cut back; standard output keeps what
// it got.
void finish_open_states_at_exit() {
  // Another thread that exits at the same moment may hold the list; the
  // process must still end.
  std::unique_lock<std::mutex> lock(g_open_mutex, std::try_to_lock);
  if (!lock.owns_lock()) return;
  for (file_state* fs = g_open_states; fs != nullptr; fs = fs->next_open) {
    // A forked child that exits leaves its parent's reports alone.
    if (fs->owner != getpid()) continue;
    if (fs->report == nullptr || fs->report == stdout) continue;
    bool ok = true;
    if (fs->in_batch) {
      ok = fs->batch_report_pos >= 0 && fflush(fs->report) == 0 &&
           ftruncate(fileno(fs->report), fs->batch_report_pos) == 0 &&
           fseeko(fs->report, fs->batch_report_pos, SEEK_SET) == 0;
      memcpy(fs->counters, fs->batch_counters, sizeof fs->counters);
      fs->in_batch = 0;
    }
    if (!ok) {
      // The old report stays as it was.
      fclose(fs->report);
      fs->report = nullptr;
      end_report_file(fs, false);
    }
    if (!ok || !close_report(fs)) print_incomplete(fs, fs->report_path);
  }
  g_open_states = nullptr;
}

}  // namespace

void file_state_batch_begin(file_state* fs) {
  fs->in_batch = 1;
  fs->batch_report_pos = -1;
  if (fs->temp_path != nullptr) fs->batch_report_pos = ftello(fs->report);
  memcpy(fs->batch_counters, fs->counters, sizeof fs->counters);
}

void file_state_batch_end(file_state* fs) { fs->in_batch = 0; }

extern "C" {

int ver_init(int v[3], const char* text) {
  if (text == nullptr) {
    v[0] = 2147483643;
    v[1] = 0;
    v[2] = 0;
    return 0;
  }
  v[0] = v[1] = v[2] = 0;
  const char* p = text;
  for (int part = 0; part < 3; ++part) {
    int value = 0;
    int n = read_digit_run(p, &value);
    if (n == 0) return 1;
    char after = p[n];
    if (after != '\0' && (after != '.' || part == 2)) return 1;
    v[part] = value;
    if (after == '\0') return 0;
    p += n + 1;
  }
  return 0;
}

int ver_less(const int a[3], const int b[3]) {
  for (int i = 0; i < 3; ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? 1 : 0;
  }
  return 0;
}

file_state* file_state_new(const char* id, const char* in_path, const char* out_path,
                           int escaped, int style) {
  file_state* fs = (file_state*)calloc(1, sizeof(file_state));
  if (fs == nullptr) return nullptr;
  fs->line = (char*)malloc(FS_LINE_BUFFER);
  if (fs->line == nullptr) {
    free(fs);
    return nullptr;
  }
  fs->line[0] = '\0';
  fs->line_capacity = FS_LINE_BUFFER;
  fs->lock_fd = -1;
  if (in_path == nullptr || in_path[0] == '\0') {
    // A standard input that the caller closed is no input: the report file
    // opened next would take its number and pass for the input.
    if (fcntl(STDIN_FILENO, F_GETFD) == -1) {
      fprintf(stderr, "Unable to open '<standard input>' for read: %s\n", strerror(errno));
      free(fs->line);
      free(fs);
      return nullptr;
    }
    fs->input = stdin;
  } else {
    fs->input = fopen(in_path, "r");
    struct stat st;
    // A folder opens like a file here but reads as an error; say so now.
    if (fs->input != nullptr && fstat(fileno(fs->input), &st) == 0 && S_ISDIR(st.st_mode)) {
      fclose(fs->input);
      fs->input = nullptr;
      fprintf(stderr, "Unable to open '%s' for read: it is a directory\n", in_path);
      free(fs->line);
      free(fs);
      return nullptr;
    }
    if (fs->input == nullptr) {
      fprintf(stderr, "Unable to open '%s' for read: %s\n", in_path, strerror(errno));
      free(fs->line);
      free(fs);
      return nullptr;
    }
  }
  int found_source_end = 0;
  if (out_path == nullptr || out_path[0] == '\0') {
    fs->report = stdout;
  } else {
    fs->report_path = strdup(out_path);
    report_lock_result opened =
        fs->report_path != nullptr ? open_report(fs, out_path, &found_source_end) : REPORT_CANNOT_OPEN;
    if (opened != REPORT_LOCKED) {
      fprintf(stderr, "Cannot open '%s' for write%s\n", out_path, open_failure_reason(opened, errno).c_str());
      if (fs->input != stdin) fclose(fs->input);
      free(fs->report_path);
      free(fs->line);
      free(fs);
      return nullptr;
    }
  }
  fs->escaped = escaped;
  fs->identifier = id;
  fs->input_path = in_path;
  fs->path_hash = path_hash(0, in_path, in_path ? (int)strlen(in_path) : 0);
  fs->style = style;
  if (style == 1) {
    if (!found_source_end) fputs("<source>\n", fs->report);
    fputs("  <file>\n    <name><![CDATA[", fs->report);
    if (in_path) report_write_cdata_text(fs->report, in_path, strlen(in_path));
    fputs("]]></name>\n    <id><![CDATA[", fs->report);
    if (id) report_write_cdata_text(fs->report, id, strlen(id));
    fputs("]]></id>\n    <objects>\n", fs->report);
  }
  register_open(fs);
  return fs;
}

int file_state_close(file_state* fs) {
  if (fs == nullptr) return 0;
  unregister_open(fs);
  int result = 0;
  if (fs->input != nullptr) {
    const char* name = fs->input_path && fs->input_path[0] ? fs->input_path : "<standard input>";
    bool unread = fs->line_failed || ferror(fs->input);
    if (fs->line_failed)
      fprintf(stderr, "Out of memory reading '%s': a line does not fit in memory\n", name);
    else if (unread)
      fprintf(stderr, "Error reading '%s': %s\n", name, strerror(fs->read_errno != 0 ? fs->read_errno : EIO));
    if (fs->input != stdin) fclose(fs->input);
    fs->input = nullptr;
    if (unread) {
      result = 1;
      // Part of the input went unread: a report file stays as it was.
      if (fs->report != nullptr && fs->temp_path != nullptr) {
        fclose(fs->report);
        fs->report = nullptr;
      }
    }
  }
  if (fs->report != nullptr && !close_report(fs)) {
    print_incomplete(fs, fs->report_path ? fs->report_path : "<standard output>");
    result = 1;
  }
  end_report_file(fs, false);
  free(fs->target_path);
  free(fs->report_path);
  free(fs->line);
  free(fs);
  return result;
}

void file_state_free(file_state* fs) { (void)file_state_close(fs); }

void file_state_discard_unfinished(void) { pending_files_discard(); }

void file_state_show_lines(file_state* fs, int on) { fs->show_lines = on != 0; }

char* file_state_line(file_state* fs) {
  // A line ends at a line feed, a carriage return and line feed, or a lone
  // carriage return, which is read as a line feed so that the analyzer
  // counts the same lines. NUL bytes are ordinary bytes of the line.
  FILE* in = fs->input;
  size_t n = 0;
  bool read_any = false;
  flockfile(in);
  for (;;) {
    int c = getc_unlocked(in);
    if (c == EOF) {
      if (ferror(in) && fs->read_errno == 0) fs->read_errno = errno;
      break;
    }
    read_any = true;
    if (n + 3 > fs->line_capacity) {
      size_t capacity = fs->line_capacity * 2;
      char* grown = (char*)realloc(fs->line, capacity);
      if (grown == nullptr) {
        fs->line_failed = 1;
        fs->read_errno = ENOMEM;
        funlockfile(in);
        return nullptr;
      }
      fs->line = grown;
      fs->line_capacity = capacity;
    }
    if (c == '\r') {
      int d = getc_unlocked(in);
      if (d == '\n') {
        fs->line[n++] = '\r';
        fs->line[n++] = '\n';
      } else {
        if (d != EOF) ungetc(d, in);
        fs->line[n++] = '\n';
      }
      break;
    }
    fs->line[n++] = (char)c;
    if (c == '\n') break;
  }
  funlockfile(in);
  if (!read_any) return nullptr;
  // A UTF-8 byte order mark before the first line (editors on Windows
  // write one) tells the encoding; it is no part of the source.
  if (fs->lines_read == 0 && n >= 3 && memcmp(fs->line, "\xEF\xBB\xBF", 3) == 0) {
    n -= 3;
    memmove(fs->line, fs->line + 3, n);
  }
  fs->line[n] = '\0';
  fs->line_length = n;
  fs->lines_read += 1;
  return fs->line;
}

size_t file_state_line_length(file_state* fs) { return fs->line_length; }

int file_state_syntax_errors(file_state* fs) { return fs->syntax_errors; }

void file_state_on_syntax_error(file_state* fs, file_state_syntax_error_fn fn, void* data) {
  if (fs == nullptr) return;
  fs->on_syntax_error = fn;
  fs->on_syntax_error_data = data;
}

int file_state_lineno(file_state* fs) { return fs->lines_read; }

void file_state_mark(file_state* fs) {
  fs->batch_mark = fs->lines_read == 0 ? 1 : fs->lines_read;
  if (fs->show_lines) fprintf(stderr, "Analyzing batch starting at line #%d\n", fs->batch_mark);
}

int file_state_get_mark(file_state* fs) { return fs->batch_mark; }
FILE* file_state_output(file_state* fs) { return fs->report; }
int file_state_style(file_state* fs) { return fs->style; }
int file_state_is_escaped(file_state* fs) { return fs->escaped; }

void file_state_inc(file_state* fs, int code) {
  if (valid_code(code)) fs->counters[code] = (int32_t)((uint32_t)fs->counters[code] + 1u);
}

void file_state_dec(file_state* fs, int code) {
  if (valid_code(code)) fs->counters[code] = (int32_t)((uint32_t)fs->counters[code] - 1u);
}

void file_state_add(file_state* fs, int code, int n) {
  if (valid_code(code))
    fs->counters[code] = (int32_t)((uint32_t)fs->counters[code] + (uint32_t)n);
}

void file_state_set(file_state* fs, int code, int n) {
  if (valid_code(code)) fs->counters[code] = n;
}

void file_state_reset(file_state* fs, int code) {
  if (valid_code(code)) fs->counters[code] = 0;
}

int file_state_get(file_state* fs, int code) {
  return valid_code(code) ? fs->counters[code] : 0;
}

const char* file_state_statement_id(file_state* fs) {
  snprintf(t_statement_id, sizeof t_statement_id, "%d-%d", (int)fs->path_hash,
           (int)fs->counters[FS_STATEMENT_COUNT]);
  return t_statement_id;
}

}  // extern "C"
