#ifndef QEN_TESTS_ANALYZER_MEASURED_SIZE_H
#define QEN_TESTS_ANALYZER_MEASURED_SIZE_H

// The measured size of the grammar and of its parsers, as the generator
// reads it (analyzer/grammar/measured_size.txt: one "name value" a line).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

inline int grammar_figure(const std::string& name) {
  std::ifstream in(std::string(QEN_SOURCE_DIR) + "/analyzer/grammar/measured_size.txt");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string key;
    int value;
    if (words >> key >> value && key == name) return value;
  }
  ADD_FAILURE() << "no figure " << name;
  return -1;
}

// The productions outside the listed grammar.
constexpr int kGrammarAdditions = 3;

#endif
