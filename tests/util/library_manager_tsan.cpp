// Thread sanitizer settings for the library manager tests.

// The framework's library manager takes its own manager and handle locks in
// both orders while it closes a library. That is its affair: the library
// manager's own lock is only ever taken outside the framework's. Every other
// report still counts.
extern "C" __attribute__((visibility("default"))) const char* __tsan_default_suppressions()
{
  return "deadlock:LibraryManagerTest_LoadsModuleAndFindsSymbols_Test\n"
         "deadlock:LibraryManagerTest_ThreadsLoadTogether_Test\n";
}
