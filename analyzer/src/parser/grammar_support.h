#ifndef QEN_ANALYZER_GRAMMAR_SUPPORT_H
#define QEN_ANALYZER_GRAMMAR_SUPPORT_H

/* What the code generated from the grammar files relies on: token values
 * and slots, int words, the content flags, node allocation, visiting a
 * child (with the depth check of the walk it runs in), walking a list,
 * calls through parameter blocks and the hook that observes each
 * evaluation pass. Also included by the code blocks of the grammar files,
 * so everything here is usable there. */

#include <stddef.h>
#include <stdint.h>

#include <tuple>
#include <type_traits>
#include <utility>

#include "analysis_runtime.h"
#include "analyzer_internal.h"
#include "deep_walk.h"
#include "grammar_types.h"
#include "scanner.h"
#include "token_leaves.h"

/* Expression-content flags (construction-time flags words). */
enum : ag_word {
  EF_NONE = 1,
  EF_CONSTANT = 2,
  EF_LOCAL_VAR = 4,
  EF_GLOBAL_VAR = 8,
  EF_COLUMN = 16,
  EF_SUBQUERY = 32,
  EF_AGGREGATE = 64,
  EF_FUNCTION = 128,
  EF_ERROR_VAR = 256,
  EF_ZERO = 512,
  EF_DATE_FUNC = 1024,
};

/* A token's semantic value is its lexeme number, tagged so that it is
 * never taken for a node; the end of input is null. A parent keeps the
 * number in a slot of its own (gn_leaf) where the token carries one. */
inline st_node* gn_token_value(int32_t lexeme) {
  return reinterpret_cast<st_node*>((static_cast<uintptr_t>(static_cast<uint32_t>(lexeme)) << 1) | 1u);
}
inline int32_t gn_token_lexeme(const st_node* value) {
  return static_cast<int32_t>(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(value) >> 1));
}

[[noreturn]] void gn_int_too_wide(ag_word value);

/* A word declared int: 32 bits in the node, read as a sign-extended word.
 * A value that does not fit is a grammar error (a pointer in an int word),
 * stopped where it is stored. */
struct gn_int {
  int32_t value;
  gn_int& operator=(ag_word w) {
    if (w != static_cast<int32_t>(w)) [[unlikely]]
      gn_int_too_wide(w);
    value = static_cast<int32_t>(w);
    return *this;
  }
  operator ag_word() const { return value; }
};

/* A token's lexeme number as its parent keeps it: reads as an int32_t, and
 * goes into the lexeme slots of gn_call only. */
struct gn_lexeme {
  int32_t value;
  gn_lexeme& operator=(int32_t v) {
    value = v;
    return *this;
  }
  operator int32_t() const { return value; }
};

/* A token's slot in its parent: `$k->lexeme` reads it. */
struct gn_leaf {
  gn_lexeme lexeme;
};

extern const st_production gn_production_descriptors[];

/* Node memory from the context's pool (never released by itself). */
inline void* gn_alloc(st_context* ctx, size_t bytes) {
  return smp_alloc(ctx->pool, static_cast<unsigned>(bytes));
}

/* Visit of a node of an evaluated nonterminal: hand it the state, run its
 * procedure, take its state back. The evaluation pass runs behind
 * deep_walk, which stops it here before it would overflow its stack. */
inline void gn_visit_node(st_node* node, ag_word& state) {
  deep_walk_check();
  state = gn_production_descriptors[node->production].procedure(node, state);
}

/* Visit of an evaluated child; only nodes of evaluated nonterminals
 * compile here. */
template <class Node>
inline void gn_visit(Node* child, ag_word& state) {
  static_assert(Node::gn_evaluated, "gn_visit: the child's nonterminal is not evaluated");
  gn_visit_node(reinterpret_cast<st_node*>(child), state);
}

/* The procedure of a production that continues a left-recursive list
 * ("L: L ...") and visits that list first: walks down the list's first
 * children to its first element, visits it, then runs the rest of each
 * element's procedure on the way back up, the links to the first children
 * turned around meanwhile. A list of any length takes one call level
 * instead of one per element. */
ag_word gn_walk_list(st_node* node, ag_word in);

/* A slot value of an argument: integers sign-extended from 32 bits,
 * pointers as they are. */
inline ag_word gn_word(int32_t v) { return static_cast<ag_word>(v); }
inline ag_word gn_word(gn_lexeme v) { return static_cast<ag_word>(v.value); }
inline ag_word gn_word(uint32_t v) { return static_cast<ag_word>(static_cast<int32_t>(v)); }
inline ag_word gn_word(decltype(nullptr)) { return 0; }
inline ag_word gn_word(long v) { return static_cast<ag_word>(v); }
inline ag_word gn_word(long long v) { return static_cast<ag_word>(v); }
template <class T>
inline ag_word gn_word(T* p) { return reinterpret_cast<ag_word>(p); }

/* The kinds of the words of a parameter block (runtime_ops.def), each with
 * the argument types it accepts, so that an argument in the slot of another
 * kind (a lexeme where the object kind goes, a name record for a text)
 * does not compile. A typed word (gn_typed, gn_int_of: a call's result,
 * the state, a word declared with a kind) goes only into slots of its
 * kind. A plain ag_word has no kind and goes only into value slots, so
 * that no word reaches a slot of another kind through an untyped
 * variable; flags and lexemes also take int constants and untyped int
 * words, kinds and codes only their own enumerations. The content flags
 * of an expression (EF_*), a plain number and the scanner switch's tie
 * word are kinds of the grammar's own words: they take only words of
 * their kind. */
namespace gn_w {
template <class... Types>
struct accepts {
  template <class Arg>
  static constexpr bool has = (std::is_same_v<Arg, Types> || ...);
};
struct envn : accepts<::envn*> {};
struct flag : accepts<int, gn_int> {};
struct lexeme : accepts<int32_t, gn_int, gn_lexeme> {};
struct kind : accepts<obj_kind> {};
struct code : accepts<fs_counter> {};
struct text : accepts<st_String_const*> {};
struct record : accepts<name_rec*> {};
struct content : accepts<> {};
struct number : accepts<int, gn_int> {};
struct tie : accepts<> {};
struct value {
  template <class Arg>
  static constexpr bool has = true;
};
}  // namespace gn_w

/* A word tagged with its kind: the first result of a call, the state a
 * pass threads (envn) and every word the grammar declares with a kind. It
 * reads as a plain ag_word and as nothing narrower, and takes a plain
 * ag_word or a word of its own kind, never one of another kind; in gn_call
 * it goes only into slots of its kind. */
template <class Word>
struct gn_int_of;

template <class Word>
struct gn_typed {
  using word_kind = Word;
  ag_word word;
  gn_typed() = default;
  gn_typed(ag_word w) : word(w) {}
  gn_typed(gn_int w) : word(w.value) {}
  gn_typed(gn_int_of<Word> w);
  template <class Other>
    requires(!std::is_same_v<Other, Word>)
  gn_typed(gn_typed<Other>) = delete;
  template <class Other>
    requires(!std::is_same_v<Other, Word>)
  gn_typed(gn_int_of<Other>) = delete;
  template <class T>
    requires std::is_same_v<T, ag_word>
  operator T() const {
    return word;
  }
};

/* The same in 32 bits, for a word the grammar declares with a 32-bit kind
 * (flag, lexeme); a value that does not fit stops the program as in
 * gn_int. A token's lexeme goes only into a lexeme word. */
template <class Word>
struct gn_int_of {
  using word_kind = Word;
  int32_t value;
  gn_int_of() = default;
  gn_int_of(ag_word w) : value(static_cast<int32_t>(w)) {
    if (w != value) [[unlikely]]
      gn_int_too_wide(w);
  }
  gn_int_of(gn_int w) : value(w.value) {}
  gn_int_of(gn_typed<Word> w) : gn_int_of(w.word) {}
  gn_int_of(gn_lexeme w)
    requires std::is_same_v<Word, gn_w::lexeme>
      : value(w.value) {}
  template <class Other>
    requires(!std::is_same_v<Other, Word>)
  gn_int_of(gn_typed<Other>) = delete;
  template <class Other>
    requires(!std::is_same_v<Other, Word>)
  gn_int_of(gn_int_of<Other>) = delete;
  operator ag_word() const { return value; }
};

template <class Word>
inline gn_typed<Word>::gn_typed(gn_int_of<Word> w) : word(w.value) {}

/* Typed words take the room of the words they replace in a node. */
static_assert(sizeof(gn_typed<gn_w::envn>) == sizeof(ag_word) && alignof(gn_typed<gn_w::envn>) == alignof(ag_word));
static_assert(sizeof(gn_int_of<gn_w::flag>) == sizeof(int32_t) && alignof(gn_int_of<gn_w::flag>) == alignof(int32_t));
static_assert(std::is_trivially_copyable_v<gn_typed<gn_w::envn>> &&
              std::is_trivially_copyable_v<gn_int_of<gn_w::flag>>);
static_assert(std::is_standard_layout_v<gn_typed<gn_w::envn>> && std::is_standard_layout_v<gn_int_of<gn_w::flag>>);

template <class Word>
inline ag_word gn_word(gn_typed<Word> r) {
  return r.word;
}
template <class Word>
inline ag_word gn_word(gn_int_of<Word> r) {
  return r.value;
}

/* The state threaded through a pass, as a node's procedure keeps it, and
 * the words helpers of the grammar take. */
using gn_envn = gn_typed<gn_w::envn>;
using gn_flag_word = gn_int_of<gn_w::flag>;
using gn_lexeme_word = gn_int_of<gn_w::lexeme>;
using gn_text_word = gn_typed<gn_w::text>;
using gn_record_word = gn_typed<gn_w::record>;
using gn_content_word = gn_int_of<gn_w::content>;
using gn_number_word = gn_int_of<gn_w::number>;
using gn_tie_word = gn_int_of<gn_w::tie>;

template <class Node>
inline void gn_visit(Node* child, gn_envn& state) {
  gn_visit(child, state.word);
}

/* The kind a typed word carries; void for any other type. */
template <class Arg>
struct gn_kind_of {
  using type = void;
};
template <class Word>
struct gn_kind_of<gn_typed<Word>> {
  using type = Word;
};
template <class Word>
struct gn_kind_of<gn_int_of<Word>> {
  using type = Word;
};

/* One argument against its slot; the failing instantiation names both. */
template <class Word, class Arg>
constexpr bool gn_slot_checked() {
  static_assert(Word::template has<Arg> || std::is_same_v<typename gn_kind_of<Arg>::type, Word>,
                "gn_call: an argument is not of its slot's word kind (runtime_ops.def)");
  return true;
}

template <class First, class... Rest>
struct gn_first_of {
  using type = First;
};

/* A result word as a call hands it back: typed with its kind, a value
 * word plain. */
template <class Word>
using gn_result_word = std::conditional_t<std::is_same_v<Word, gn_w::value>, ag_word, gn_typed<Word>>;

template <class... Words>
struct gn_words {
  static constexpr int count = sizeof...(Words);
  using first = typename gn_first_of<Words...>::type;
  using typed = std::tuple<gn_result_word<Words>...>;
  template <class... Args>
  static constexpr bool checked() {
    if constexpr (sizeof...(Args) == count)
      return (gn_slot_checked<Words, Args>() && ...);
    else
      return true;  // the arity check has refused the call already
  }
};

/* The arity and the word kinds of every operation grammar code may call
 * (runtime_ops.def). An operation missing from the table has no
 * specialization and is refused. */
template <auto Op>
inline constexpr bool gn_op_listed = false;

template <auto Op>
struct gn_op {
  static_assert(gn_op_listed<Op>, "gn_call: the operation is not listed in runtime_ops.def");
};

#define GN_WORDS_TEXT(...) #__VA_ARGS__
#define GN_WORDS_OF(...) gn_words<__VA_ARGS__>

/* The word kinds by the names runtime_ops.def gives them. */
struct gn_word_names {
  using envn = gn_w::envn;
  using flag = gn_w::flag;
  using lexeme = gn_w::lexeme;
  using kind = gn_w::kind;
  using code = gn_w::code;
  using text = gn_w::text;
  using record = gn_w::record;
  using content = gn_w::content;
  using number = gn_w::number;
  using tie = gn_w::tie;
  using value = gn_w::value;
};

#define GN_OP(op, n_inputs, n_results, input_words, result_words)                   \
  template <>                                                                       \
  struct gn_op<&op> : gn_word_names {                                               \
    using inputs_t = GN_WORDS_OF input_words;                                       \
    using results_t = GN_WORDS_OF result_words;                                     \
    static constexpr int inputs = n_inputs;                                         \
    static constexpr int results = n_results;                                       \
    template <int N>                                                                \
    static constexpr bool arity_checked() {                                         \
      static_assert(N == n_inputs, "gn_call(" #op ", ...) takes " #n_inputs         \
                                   " argument(s): {" GN_WORDS_TEXT input_words      \
                                   "; " GN_WORDS_TEXT result_words "}");            \
      return true;                                                                  \
    }                                                                               \
  };
#include "runtime_ops.def"
#undef GN_OP

/* Runs a parameter-block operation over a block of its inputs and
 * results; the number of inputs and the kind of each are checked at
 * compile time. */
template <auto Op, class... Args>
inline void gn_run_checked(ag_word* block, Args... args) {
  using table = gn_op<Op>;
  static_assert(table::template arity_checked<sizeof...(Args)>());
  static_assert(table::inputs_t::count == table::inputs && table::results_t::count == table::results,
                "runtime_ops.def: words miscounted");
  static_assert(table::inputs_t::template checked<Args...>());
  [[maybe_unused]] int k = 0;
  ((block[k++] = gn_word(args)), ...);
  Op(block);
}

/* Calls an operation of one result and returns it. An operation with more
 * results goes through gn_call_all, so that none is read untyped. */
template <auto Op, class... Args>
inline auto gn_call_checked(Args... args) {
  using table = gn_op<Op>;
  static_assert(table::results == 1, "gn_call: the operation has more than one result (gn_call_all reads them)");
  ag_word block[table::inputs + table::results] = {};
  gn_run_checked<Op>(block, args...);
  return gn_result_word<typename table::results_t::first>{block[table::inputs]};
}
#define gn_call(op, ...) gn_call_checked<&op>(__VA_ARGS__)

/* Calls an operation and returns all its results, each typed with its
 * kind: `auto [name, flag] = gn_call_all(op, ...)`. */
template <auto Op, class... Args>
inline auto gn_call_all_checked(Args... args) {
  using table = gn_op<Op>;
  ag_word block[table::inputs + table::results] = {};
  gn_run_checked<Op>(block, args...);
  using typed = typename table::results_t::typed;
  return [&]<size_t... I>(std::index_sequence<I...>) {
    return typed{std::tuple_element_t<I, typed>{block[table::inputs + I]}...};
  }(std::make_index_sequence<table::results>{});
}
#define gn_call_all(op, ...) gn_call_all_checked<&op>(__VA_ARGS__)

/* 1 when the target is below the version of the feature's gate. */
inline gn_typed<gn_w::flag> gn_target_before(gn_envn state, const feature_gate& gate) {
  return gn_call(ver_before, state, gate.since[0], gate.since[1], gate.since[2]);
}

extern "C" {
void gn_dproc_NONE(st_context* ctx, st_node** value);
void gn_dproc_end_of_input(st_context* ctx, st_node** value);
void gn_dproc_table_init(void);
}

/* Called by the start production's constructor after each evaluation pass
 * with the new Real_Goal node; hands it to the observer, if one is set (a
 * test or trace hook; nothing is observed by default). */
typedef void (*gn_goal_observer)(void* user, st_node* goal);
void gn_set_goal_observer(gn_goal_observer fn, void* user);
void gn_goal_reduced(st_node* goal);

#endif
