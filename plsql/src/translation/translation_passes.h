// The passes of the translation, in order (translation_passes.cpp).
#pragma once

struct TransformState;

struct TranslationPass {
  const char* name;
  void (*run)(TransformState* state);
  const char* what;  // what it reads and what it sets on the tree, and its home
};

extern const TranslationPass kTranslationPasses[];
extern const int kTranslationPassCount;
