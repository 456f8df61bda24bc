/* The library's export directory, read from the loaded image: module name,
   eight names at their fixed ordinals (decorated on 32-bit x86, plain on
   x86_64), nothing else. */
#include <windows.h>
#include <string.h>

#include "../check.h"
#include "export_names.h"

static const char* const kExpected[] = {
    SSIKOVO_EXPORT(ConfSSIKovo, 16), SSIKOVO_EXPORT(DeInitSSIKovo, 0),
    SSIKOVO_EXPORT(GetInputs, 0),    SSIKOVO_EXPORT(GetSSIKovo, 4),
    SSIKOVO_EXPORT(GrayToBin, 4),    SSIKOVO_EXPORT(InitSSIKovo, 0),
    SSIKOVO_EXPORT(SetAdrSSIKovo, 4), SSIKOVO_EXPORT(SetOutputs, 4),
};
enum { kCount = sizeof kExpected / sizeof kExpected[0] };

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : "SSIKovo.dll";
  HMODULE module = LoadLibraryA(path);
  CHECK(module != NULL, "cannot load %s (%lu)", path, GetLastError());
  if (!module) return check_result("export table");

  const BYTE* base = (const BYTE*)module;
  const IMAGE_NT_HEADERS* nt =
      (const IMAGE_NT_HEADERS*)(base + ((const IMAGE_DOS_HEADER*)base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY* dir = &nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  const IMAGE_EXPORT_DIRECTORY* exports = (const IMAGE_EXPORT_DIRECTORY*)(base + dir->VirtualAddress);
  const DWORD* names = (const DWORD*)(base + exports->AddressOfNames);
  const WORD* ordinals = (const WORD*)(base + exports->AddressOfNameOrdinals);

  CHECK(strcmp((const char*)(base + exports->Name), "SSIKovo.dll") == 0, "module name %s",
        (const char*)(base + exports->Name));
  CHECK(exports->Base == 1, "ordinal base %lu", exports->Base);
  CHECK(exports->NumberOfFunctions == kCount, "%lu functions", exports->NumberOfFunctions);
  CHECK(exports->NumberOfNames == kCount, "%lu names", exports->NumberOfNames);

  for (DWORD i = 0; i < exports->NumberOfNames && i < kCount; ++i) {
    const char* name = (const char*)(base + names[i]);
    const DWORD ordinal = exports->Base + ordinals[i];
    CHECK(strcmp(name, kExpected[i]) == 0, "name %lu is %s", i, name);
    CHECK(ordinal == i + 1, "%s has ordinal %lu", name, ordinal);
    FARPROC byName = GetProcAddress(module, kExpected[i]);
    FARPROC byOrdinal = GetProcAddress(module, MAKEINTRESOURCEA(i + 1));
    CHECK(byName != NULL && byName == byOrdinal, "%s by name %p, by ordinal %p", kExpected[i],
          (void*)byName, (void*)byOrdinal);
  }

  /* Only the names above: on 32-bit x86 a caller asking for the plain name
     gets nothing, on x86_64 one asking for a decorated name. */
#ifdef _WIN64
  static const char* const kOthers[] = {"_GetSSIKovo@4", "GetSSIKovo@4", "_InitSSIKovo@0", "DllMain"};
#else
  static const char* const kOthers[] = {"GetSSIKovo", "GetSSIKovo@4", "InitSSIKovo", "DllMain"};
#endif
  for (int i = 0; i < 4; ++i) {
    CHECK(GetProcAddress(module, kOthers[i]) == NULL, "%s is exported", kOthers[i]);
  }
  FreeLibrary(module);
  return check_result("export table");
}
