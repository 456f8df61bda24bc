/* Calls a function the way a caller of another compiler would: the argument
   slots pushed right to left, whatever their unused high bits hold. Reports
   how far the stack pointer moved across the call; a standard-call function
   that removes exactly its own arguments leaves it where it was. */
#ifndef STDCALL_CALLER_H
#define STDCALL_CALLER_H

#include <stdint.h>

typedef struct StdcallResult {
  uint32_t eax;
  int32_t stackMoved; /* bytes; 0 when the callee removed exactly its slots */
} StdcallResult;

static inline StdcallResult CallStdcall(void* fn, const uint32_t* slots, uint32_t count) {
  StdcallResult r;
  uint32_t n = count;
  __asm__ __volatile__(
      "movl %%esp, %%edi\n\t"
      "1: jecxz 2f\n\t"
      "pushl -4(%%esi,%%ecx,4)\n\t"
      "decl %%ecx\n\t"
      "jmp 1b\n"
      "2: call *%%ebx\n\t"
      "movl %%esp, %%ecx\n\t"
      "subl %%edi, %%ecx\n\t"
      "movl %%edi, %%esp\n\t"
      : "=a"(r.eax), "+c"(n)
      : "S"(slots), "b"(fn)
      : "edi", "edx", "memory", "cc");
  r.stackMoved = (int32_t)n;
  return r;
}

#endif
