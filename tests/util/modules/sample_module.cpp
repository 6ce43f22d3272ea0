// Loadable module used by the library manager tests.
extern "C" __attribute__((visibility("default"))) int qen_sample_answer()
{
  return 42;
}
