/* A caller that only has SSIKovo.h and the import library: it links, loads
   the DLL by the import library's imports (decorated names on 32-bit x86,
   plain names on x86_64) and gets the documented results; and the same
   functions looked up by ordinal in the loaded module, called through
   pointers of the header's types. */
#include <windows.h>

#include "SSIKovo.h"
#include "../check.h"

int main(void) {
  CHECK(GrayToBin(0x1000000L) == 0x1FFFFFFL, "GrayToBin");
  CHECK(GrayToBin((long)0x80000000UL) == 0x55555555L, "GrayToBin of a negative value");
  CHECK(GetSSIKovo(0) == 0, "channel 0");

  HMODULE module = GetModuleHandleA("SSIKovo.dll");
  CHECK(module != NULL, "SSIKovo.dll is not loaded by the import library");
  if (!module) return check_result("import library");
  typeof(&GrayToBin) grayByOrdinal = (typeof(&GrayToBin))(void*)GetProcAddress(module, MAKEINTRESOURCEA(5));
  typeof(&GetSSIKovo) getByOrdinal = (typeof(&GetSSIKovo))(void*)GetProcAddress(module, MAKEINTRESOURCEA(4));
  CHECK(grayByOrdinal != NULL && getByOrdinal != NULL, "ordinals 4 and 5 not found");
  if (grayByOrdinal && getByOrdinal) {
    CHECK(grayByOrdinal(0x2L) == 3L, "GrayToBin by ordinal");
    CHECK(grayByOrdinal(0x1000000L) == 0x1FFFFFFL, "GrayToBin by ordinal of bit 24");
    CHECK(getByOrdinal(5) == 0, "GetSSIKovo by ordinal, channel 5");
  }
  return check_result("import library");
}
