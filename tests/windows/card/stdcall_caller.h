/* Calls a function the way a caller of another compiler would, whatever the
   unused high bits of its argument slots hold, and reports what the call
   did to the caller's frame.
   32-bit x86: the slots are pushed right to left (x86_caller.S); a
   standard-call function that removes exactly its own arguments leaves the
   stack pointer where it was, and EBX, ESI, EDI and EBP, which the caller
   loads with known values before the call, as they were.
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
  uint32_t registersChanged; /* bit n set for the n-th nonvolatile register that came
                                back changed: x86_64 RBX RBP RDI RSI R12-R15 XMM6-XMM15,
                                32-bit x86 EBX ESI EDI EBP */
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

#ifdef __cplusplus
extern "C" {
#endif

/* One call made by CallX86: the function, its argument slots, and what came
   back. Offsets are used by x86_caller.S. */
typedef struct X86Call {
  void* fn;              /* 0 */
  const uint32_t* slots; /* 4 */
  uint32_t count;        /* 8 */
  uint32_t result;       /* 12: EAX after the call */
  int32_t stackMoved;    /* 16: ESP after the call less ESP before the pushes */
  uint32_t changed;      /* 20: the nonvolatile registers that came back changed */
} X86Call;

void CallX86(X86Call* call);

#ifdef __cplusplus
static_assert(sizeof(X86Call) == 24 && offsetof(X86Call, changed) == 20, "X86Call layout");
}
#else
_Static_assert(sizeof(X86Call) == 24 && offsetof(X86Call, changed) == 20, "X86Call layout");
#endif

static inline StdcallResult CallStdcall(void* fn, const uint32_t* slots, uint32_t count) {
  X86Call call = {fn, slots, count, 0, 0, 0};
  CallX86(&call);
  StdcallResult r = {call.result, call.stackMoved, call.changed};
  return r;
}

#endif

#endif
