/* Each export called through GetProcAddress with garbage in the unused high
   bits of its slots: it must read only the low bits, return its result in the
   low bits of EAX and remove exactly its own argument bytes. No card is needed:
   the calls chosen here give known results whatever the ports answer. */
#include <windows.h>

#include "../check.h"
#include "stdcall_caller.h"

static HMODULE module;

static StdcallResult Call(const char* name, const uint32_t* slots, uint32_t count) {
  void* fn = (void*)GetProcAddress(module, name);
  CHECK(fn != NULL, "%s not found", name);
  if (!fn) {
    StdcallResult none = {0, 0};
    return none;
  }
  StdcallResult r = CallStdcall(fn, slots, count);
  CHECK(r.stackMoved == 0, "%s left the stack pointer moved by %ld bytes", name, (long)r.stackMoved);
  return r;
}

int main(int argc, char** argv) {
  module = LoadLibraryA(argc > 1 ? argv[1] : "SSIKovo.dll");
  CHECK(module != NULL, "cannot load the library");
  if (!module) return check_result("call frame");

  /* Before InitSSIKovo no backend is chosen: the address only goes to
     PortBase, which InitSSIKovo replaces; nothing reaches the registry. */
  uint32_t address[] = {0xABCD0300};
  Call("_SetAdrSSIKovo@4", address, 1);

  struct { uint32_t in, out; } gray[] = {
      {0x01000000, 0x01FFFFFF}, {0x00000002, 3}, {0x80000000, 0x55555555}, {0xFFFFFFFF, 0}};
  for (int i = 0; i < 4; ++i) {
    StdcallResult r = Call("_GrayToBin@4", &gray[i].in, 1);
    CHECK(r.eax == gray[i].out, "GrayToBin(%08lx) = %08lx", (unsigned long)gray[i].in,
          (unsigned long)r.eax);
  }

  StdcallResult init = Call("_InitSSIKovo@0", NULL, 0);
  CHECK((init.eax & 0xFF) == 0xFF, "InitSSIKovo low byte %02lx", (unsigned long)(init.eax & 0xFF));

  /* Valid once the high bits are dropped: channel 1, 25 bits, 1000 kHz, binary. */
  uint32_t conf[] = {0xDEADBE01, 0x00010019, 0x000103E8, 0xFFFFFF01};
  Call("_ConfSSIKovo@16", conf, 4);

  /* Channel 0x00 and 0x05 in the low byte: no acquisition, result 0. */
  uint32_t channels[] = {0x00000100, 0xFFFFFF05, 0x12345600};
  for (int i = 0; i < 3; ++i) {
    StdcallResult r = Call("_GetSSIKovo@4", &channels[i], 1);
    CHECK(r.eax == 0, "GetSSIKovo(%08lx) = %08lx", (unsigned long)channels[i], (unsigned long)r.eax);
  }

  uint32_t outputs[] = {0xFFFFFF40};
  Call("_SetOutputs@4", outputs, 1);
  StdcallResult inputs = Call("_GetInputs@0", NULL, 0);
  CHECK((inputs.eax & 0xFF) <= 0x0F, "GetInputs low byte %02lx", (unsigned long)(inputs.eax & 0xFF));

  StdcallResult deinit = Call("_DeInitSSIKovo@0", NULL, 0);
  CHECK((deinit.eax & 0xFF) == 0xFF, "DeInitSSIKovo low byte %02lx", (unsigned long)(deinit.eax & 0xFF));
  StdcallResult again = Call("_DeInitSSIKovo@0", NULL, 0);
  CHECK((again.eax & 0xFF) == 0xFF, "second DeInitSSIKovo low byte %02lx", (unsigned long)(again.eax & 0xFF));

  FreeLibrary(module);
  return check_result("call frame");
}
