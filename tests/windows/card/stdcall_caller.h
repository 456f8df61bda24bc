/* Calls a function the way a caller of another compiler would, whatever the
   unused high bits of its argument slots hold, and reports what the call
   did to the caller's frame.
   32-bit x86: the slots are pushed right to left; a standard-call function
   that removes exactly its own arguments leaves the stack pointer where it
   was.
   x86_64: the slots go to RCX, RDX, R8 and R9 (at most four), each register's
   upper 32 bits and every unused register filled with garbage, with the
   callee's home area of garbage on an aligned stack (win64_caller.S). The
   stack pointer must come back where it was, and so must every nonvolatile
   register (RBX, RBP, RDI, RSI, R12-R15, XMM6-XMM15), which the caller loads
   with known values before the call. */
#ifndef STDCALL_CALLER_H
#define STDCALL_CALLER_H

#include <stddef.h>
#include <stdint.h>

typedef struct StdcallResult {
  uint32_t eax;       /* the low 32 bits of the result register */
  int32_t stackMoved; /* bytes; 0 when the stack pointer came back where it was */
#if defined(__x86_64__)
  uint32_t registersChanged; /* bit n set for the n-th nonvolatile register (RBX RBP
                                RDI RSI R12-R15 XMM6-XMM15) that came back changed */
#endif
} StdcallResult;

#if defined(__x86_64__)

#ifdef __cplusplus
extern "C" {
#endif

/* One call made by CallWin64: the function, the four argument registers,
   and what came back. Offsets are used by win64_caller.S. */
typedef struct Win64Call {
  void* fn;             /* 0 */
  uint64_t args[4];     /* 8: RCX, RDX, R8, R9 */
  uint64_t result;      /* 40: RAX after the call */
  int64_t stackMoved;   /* 48: RSP after the call less RSP before it */
  uint32_t changed;     /* 56: the nonvolatile registers that came back changed */
} Win64Call;

void CallWin64(Win64Call* call);

#ifdef __cplusplus
static_assert(sizeof(Win64Call) == 64 && offsetof(Win64Call, changed) == 56, "Win64Call layout");
#else
_Static_assert(sizeof(Win64Call) == 64 && offsetof(Win64Call, changed) == 56, "Win64Call layout");
#endif

#ifdef __cplusplus
}
#endif

static inline StdcallResult CallStdcall(void* fn, const uint32_t* slots, uint32_t count) {
  Win64Call call = {fn, {0, 0, 0, 0}, 0, 0, 0};
  for (uint32_t i = 0; i < 4; ++i) {
    const uint64_t low = i < count ? slots[i] : 0xA5A5A5A5u - i;
    call.args[i] = low | (uint64_t)(0xBAD0C0DEu + i) << 32;
  }
  StdcallResult r = {0, 0, 0};
  if (count > 4) {
    r.stackMoved = -1; /* not made: this caller passes registers only */
    return r;
  }
  CallWin64(&call);
  r.eax = (uint32_t)call.result;
  r.stackMoved = (int32_t)call.stackMoved;
  r.registersChanged = call.changed;
  return r;
}

#else

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

#endif
