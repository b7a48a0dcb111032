// The one check of the fuzz targets: a broken invariant names itself on standard error and stops
// the run, so that libFuzzer keeps the input that broke it.
#pragma once

#include <cstdio>

#define FUZZ_CHECK(condition)                                                             \
  do {                                                                                    \
    if (!(condition)) {                                                                   \
      std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
      __builtin_trap();                                                                   \
    }                                                                                     \
  } while (false)
