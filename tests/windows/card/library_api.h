// The library's exports, looked up by their decorated names in a module
// loaded by path, so that one test program can load either build.
#pragma once

#include <windows.h>

#include <cstdint>

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
    Get(InitSSIKovo, "_InitSSIKovo@0");
    Get(DeInitSSIKovo, "_DeInitSSIKovo@0");
    Get(SetAdrSSIKovo, "_SetAdrSSIKovo@4");
    Get(ConfSSIKovo, "_ConfSSIKovo@16");
    Get(GetSSIKovo, "_GetSSIKovo@4");
    Get(GetInputs, "_GetInputs@0");
    Get(SetOutputs, "_SetOutputs@4");
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
