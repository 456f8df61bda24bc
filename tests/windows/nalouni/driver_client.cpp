#include "driver_client.h"

#include <cstring>
#include <vector>

bool DriverClient::ResetCard(uint32_t address) {
  NaloUniState defaults;
  NaloUniDefaultState(&defaults);
  bool ok = SetCard(address, 1) && WriteByte(7, 0);
  for (uint32_t ch = 1; ch <= NALOUNI_CHANNELS; ++ch) {
    ok = ok && SetEncoder(defaults.encoder[ch - 1]);
    ok = ok && SetZero(ch, 0);
  }
  return ok;
}

bool DriverClient::RunClockLine(uint32_t channel, uint16_t divisor) {
  const uint8_t writes[][2] = {{7, static_cast<uint8_t>(channel - 1)},
                               {3, 0xB0},
                               {3, 0x70},
                               {1, 0},
                               {1, 0},
                               {3, 0x36},
                               {0, static_cast<uint8_t>(divisor)},
                               {0, static_cast<uint8_t>(divisor >> 8)}};
  bool ok = true;
  for (const auto &w : writes)
    ok = WriteByte(w[0], w[1]) && ok;
  return ok;
}

bool RestartService(std::string *error) {
  return StopDriverService(error) && StartDriverService(error);
}

std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/')
    path = "Z:" + path;
  for (char &ch : path)
    if (ch == '/')
      ch = '\\';
  return path;
}

DWORD RunTool(const std::string &tool, const std::string &arguments, std::string *output) {
  SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
  HANDLE readEnd, writeEnd;
  if (!CreatePipe(&readEnd, &writeEnd, &sa, 0))
    return 1000;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = writeEnd;
  si.hStdError = writeEnd;
  PROCESS_INFORMATION pi{};
  const std::string line = "\"" + tool + "\" " + arguments;
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back(0);
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                      &pi)) {
    CloseHandle(readEnd);
    CloseHandle(writeEnd);
    return 1001;
  }
  CloseHandle(writeEnd);
  char chunk[256];
  DWORD got;
  output->clear();
  while (ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got)
    output->append(chunk, got);
  WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = 1002;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  CloseHandle(readEnd);
  return code;
}

bool SameState(const NaloUniState &a, const NaloUniState &b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}
