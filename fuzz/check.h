#ifndef VANTREL_FUZZ_CHECK_H
#define VANTREL_FUZZ_CHECK_H

// A property that fails in a fuzz target is a crash: libFuzzer stops, saves
// the input and reports it like any sanitizer finding.

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

#endif
