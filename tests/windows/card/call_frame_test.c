/* Each export called through GetProcAddress with garbage in the unused high
   bits of its slots: it must read only the low bits, return its result in the
   low bits of EAX, remove exactly its own argument bytes and keep EBX, ESI,
   EDI and EBP (32-bit x86), or leave the stack pointer and every nonvolatile
   register as they were (x86_64, where the upper half of each argument
   register is garbage too). No card is needed:
   the calls chosen here give known results whatever the ports answer. */
#include <windows.h>
#include <string.h>

#include "../check.h"
#include "export_names.h"
#include "stdcall_caller.h"

static HMODULE module;

static StdcallResult Call(const char* name, const uint32_t* slots, uint32_t count) {
  void* fn = (void*)GetProcAddress(module, name);
  CHECK(fn != NULL, "%s not found", name);
  if (!fn) {
    StdcallResult none;
    memset(&none, 0, sizeof none);
    return none;
  }
  StdcallResult r = CallStdcall(fn, slots, count);
  CHECK(r.stackMoved == 0, "%s left the stack pointer moved by %ld bytes", name, (long)r.stackMoved);
#if defined(__x86_64__)
  CHECK(r.registersChanged == 0, "%s changed nonvolatile registers (mask %05lx: bit 0 RBX ... 7 R15, 8 XMM6 ...)",
        name, (unsigned long)r.registersChanged);
#else
  CHECK(r.registersChanged == 0, "%s changed nonvolatile registers (mask %lx: bit 0 EBX, 1 ESI, 2 EDI, 3 EBP)",
        name, (unsigned long)r.registersChanged);
#endif
  return r;
}

int main(int argc, char** argv) {
  module = LoadLibraryA(argc > 1 ? argv[1] : "SSIKovo.dll");
  CHECK(module != NULL, "cannot load the library");
  if (!module) return check_result("call frame");

  /* Before InitSSIKovo no backend is chosen: the address only goes to
     PortBase, which InitSSIKovo replaces; nothing reaches the registry. */
  uint32_t address[] = {0xABCD0300};
  Call(SSIKOVO_EXPORT(SetAdrSSIKovo, 4), address, 1);

  struct { uint32_t in, out; } gray[] = {
      {0x01000000, 0x01FFFFFF}, {0x00000002, 3}, {0x80000000, 0x55555555}, {0xFFFFFFFF, 0}};
  for (int i = 0; i < 4; ++i) {
    StdcallResult r = Call(SSIKOVO_EXPORT(GrayToBin, 4), &gray[i].in, 1);
    CHECK(r.eax == gray[i].out, "GrayToBin(%08lx) = %08lx", (unsigned long)gray[i].in,
          (unsigned long)r.eax);
  }

  StdcallResult init = Call(SSIKOVO_EXPORT(InitSSIKovo, 0), NULL, 0);
  CHECK((init.eax & 0xFF) == 0xFF, "InitSSIKovo low byte %02lx", (unsigned long)(init.eax & 0xFF));

  /* Valid once the high bits are dropped: channel 1, 25 bits, 1000 kHz, binary. */
  uint32_t conf[] = {0xDEADBE01, 0x00010019, 0x000103E8, 0xFFFFFF01};
  Call(SSIKOVO_EXPORT(ConfSSIKovo, 16), conf, 4);

  /* Channel 0x00 and 0x05 in the low byte: no acquisition, result 0. */
  uint32_t channels[] = {0x00000100, 0xFFFFFF05, 0x12345600};
  for (int i = 0; i < 3; ++i) {
    StdcallResult r = Call(SSIKOVO_EXPORT(GetSSIKovo, 4), &channels[i], 1);
    CHECK(r.eax == 0, "GetSSIKovo(%08lx) = %08lx", (unsigned long)channels[i], (unsigned long)r.eax);
  }

  uint32_t outputs[] = {0xFFFFFF40};
  Call(SSIKOVO_EXPORT(SetOutputs, 4), outputs, 1);
  StdcallResult inputs = Call(SSIKOVO_EXPORT(GetInputs, 0), NULL, 0);
  CHECK((inputs.eax & 0xFF) <= 0x0F, "GetInputs low byte %02lx", (unsigned long)(inputs.eax & 0xFF));

  StdcallResult deinit = Call(SSIKOVO_EXPORT(DeInitSSIKovo, 0), NULL, 0);
  CHECK((deinit.eax & 0xFF) == 0xFF, "DeInitSSIKovo low byte %02lx", (unsigned long)(deinit.eax & 0xFF));
  StdcallResult again = Call(SSIKOVO_EXPORT(DeInitSSIKovo, 0), NULL, 0);
  CHECK((again.eax & 0xFF) == 0xFF, "second DeInitSSIKovo low byte %02lx", (unsigned long)(again.eax & 0xFF));

  FreeLibrary(module);
  return check_result("call frame");
}
