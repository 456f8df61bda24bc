/* A caller that only has SSIKovo.h and the import library: it links, loads
   the DLL by its decorated imports and gets the documented results. */
#include "SSIKovo.h"
#include "../check.h"

int main(void) {
  CHECK(GrayToBin(0x1000000L) == 0x1FFFFFFL, "GrayToBin");
  CHECK(GrayToBin((long)0x80000000UL) == 0x55555555L, "GrayToBin of a negative value");
  CHECK(GetSSIKovo(0) == 0, "channel 0");
  return check_result("import library");
}
