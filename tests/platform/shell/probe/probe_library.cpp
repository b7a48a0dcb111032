// A library for the dynamic-library tests: a constant, and a counter that shows whether two loads
// share one copy of the library's data.
extern "C" {

int TarvikProbeAnswer() {
  return 42;
}

int tarvik_probe_counter = 0;

int TarvikProbeIncrement() {
  return ++tarvik_probe_counter;
}
}
