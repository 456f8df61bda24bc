#include <cstdio>
#include <string>

#include "library_api.h"

namespace {

bool SetAppDefaultsVersion(const char* exeName, const char* version) {
  std::string key = std::string("Software\\Wine\\AppDefaults\\") + exeName;
  HKEY handle;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &handle, nullptr) != ERROR_SUCCESS)
    return false;
  LONG status = RegSetValueExA(handle, "Version", 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(version), lstrlenA(version) + 1);
  RegCloseKey(handle);
  return status == ERROR_SUCCESS;
}

}  // namespace

int RunAsWindowsVersion(const char* version, int argc, char** argv) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const char* exeName = strrchr(self, '\\') ? strrchr(self, '\\') + 1 : self;
  if (!SetAppDefaultsVersion(exeName, version)) {
    printf("FAIL: cannot set the Windows version for %s\n", exeName);
    return 1;
  }
  std::string command = std::string("\"") + self + "\" --child";
  for (int i = 1; i < argc; ++i) command += std::string(" \"") + argv[i] + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(self, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    printf("FAIL: cannot start %s\n", self);
    return 1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}
