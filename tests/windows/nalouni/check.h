// A tiny check macro for the Wine tests: one line per check, "ok" or
// "FAIL" with what was seen, and a failure count for the exit code.
#pragma once

#include <cstdio>

inline int &CheckFailures() {
  static int failures = 0;
  return failures;
}

// CHECK(condition, format, ...): the format describes the check and what was seen.
#define CHECK(condition, ...)                                           \
  do {                                                                  \
    const bool checkPassed = (condition);                               \
    if (!checkPassed)                                                   \
      ++CheckFailures();                                                \
    std::printf("%s ", checkPassed ? "ok  " : "FAIL");                  \
    std::printf(__VA_ARGS__);                                           \
    if (!checkPassed)                                                   \
      std::printf("  [%s:%d: %s]", __FILE__, __LINE__, #condition);     \
    std::printf("\n");                                                  \
  } while (0)

// Ends the test: a summary line, exit code 1 on any failure.
inline int CheckResult(const char *test) {
  if (CheckFailures())
    std::printf("%s: %d check(s) failed\n", test, CheckFailures());
  else
    std::printf("%s: all checks passed\n", test);
  std::fflush(stdout);
  return CheckFailures() ? 1 : 0;
}
