// The library's exports, looked up by their exported names (decorated on
// 32-bit x86) in a module loaded by path, so that one test program can load
// either build.
#pragma once

#include <windows.h>

#include <cstdint>

#include "export_names.h"

struct LibraryApi {
  HMODULE module = nullptr;
  uint8_t(__stdcall* InitSSIKovo)() = nullptr;
  uint8_t(__stdcall* DeInitSSIKovo)() = nullptr;
  void(__stdcall* SetAdrSSIKovo)(uint16_t) = nullptr;
  void(__stdcall* ConfSSIKovo)(uint8_t, uint8_t, uint16_t, uint8_t) = nullptr;
  int32_t(__stdcall* GetSSIKovo)(uint8_t) = nullptr;
  uint8_t(__stdcall* GetInputs)() = nullptr;
  void(__stdcall* SetOutputs)(uint8_t) = nullptr;

  bool Load(const char* path) {
    module = LoadLibraryA(path);
    if (!module) return false;
    Get(InitSSIKovo, SSIKOVO_EXPORT(InitSSIKovo, 0));
    Get(DeInitSSIKovo, SSIKOVO_EXPORT(DeInitSSIKovo, 0));
    Get(SetAdrSSIKovo, SSIKOVO_EXPORT(SetAdrSSIKovo, 4));
    Get(ConfSSIKovo, SSIKOVO_EXPORT(ConfSSIKovo, 16));
    Get(GetSSIKovo, SSIKOVO_EXPORT(GetSSIKovo, 4));
    Get(GetInputs, SSIKOVO_EXPORT(GetInputs, 0));
    Get(SetOutputs, SSIKOVO_EXPORT(SetOutputs, 4));
    return InitSSIKovo && DeInitSSIKovo && SetAdrSSIKovo && ConfSSIKovo && GetSSIKovo &&
           GetInputs && SetOutputs;
  }

 private:
  template <typename Fn>
  void Get(Fn& fn, const char* name) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }
};

// Runs this program again with the Windows version that Wine reports set to
// `version` for it (per-program AppDefaults), and returns the child's exit code.
int RunAsWindowsVersion(const char* version, int argc, char** argv);
