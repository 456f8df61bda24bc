/* A minimal check for the test programs that run under Wine, where GoogleTest
   is not available: each failed check prints one line, and the program's exit
   code is the number of failures (capped). */
#ifndef TESTS_WINDOWS_CHECK_H
#define TESTS_WINDOWS_CHECK_H

#include <stdio.h>

/* One counter per program, however many of its files check. */
#ifdef __cplusplus
inline int check_failures;
#else
static int check_failures;
#endif

#define CHECK(cond, ...)                                                  \
  do {                                                                    \
    if (!(cond)) {                                                        \
      ++check_failures;                                                   \
      printf("FAIL %s:%d: %s: ", __FILE__, __LINE__, #cond);              \
      printf(__VA_ARGS__);                                                \
      printf("\n");                                                       \
      fflush(stdout);                                                     \
    }                                                                     \
  } while (0)

static inline int check_result(const char* name) {
  printf("%s: %s (%d failed checks)\n", name, check_failures ? "FAILED" : "passed", check_failures);
  return check_failures > 100 ? 100 : check_failures;
}

#endif
