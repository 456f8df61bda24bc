#include "driver_client.h"

#include <cstring>
#include <vector>

void DriverClient::Close() {
  if (Open())
    CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
}

void DriverClient::Reopen() {
  Close();
  handle_ = CreateFileA(NALOUNI_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
}

bool DriverClient::Request(DWORD code, const void *input, DWORD inputLength, void *output,
                           DWORD outputLength, DWORD *returned) {
  DWORD count = 0;
  const BOOL ok = DeviceIoControl(handle_, code, const_cast<void *>(input), inputLength, output,
                                  outputLength, &count, nullptr);
  if (returned)
    *returned = count;
  return ok != FALSE;
}

bool DriverClient::WriteByte(uint32_t port, uint8_t value) {
  uint8_t record[NALOUNI_WRITE_BYTE_INPUT];
  NaloUniWriteRecord(record, port, value);
  return Request(IOCTL_NALOUNI_WRITE_BYTE, record, sizeof record, nullptr, 0);
}

bool DriverClient::ReadByte(uint32_t port, uint8_t *value) {
  DWORD returned = 0;
  return Request(IOCTL_NALOUNI_READ_BYTE, &port, sizeof port, value, 1, &returned) &&
         returned == 1;
}

bool DriverClient::State(NaloUniState *state) {
  DWORD returned = 0;
  return Request(IOCTL_NALOUNI_GET_STATE, nullptr, 0, state, sizeof *state, &returned) &&
         returned == sizeof *state;
}

bool DriverClient::SetCard(uint32_t address, uint32_t present) {
  const NaloUniCard card{address, present};
  return Request(IOCTL_NALOUNI_SET_CARD, &card, sizeof card, nullptr, 0);
}

bool DriverClient::SetEncoder(const NaloUniEncoder &encoder) {
  return Request(IOCTL_NALOUNI_SET_ENCODER, &encoder, sizeof encoder, nullptr, 0);
}

bool DriverClient::SetZero(uint32_t input, uint32_t active) {
  const NaloUniZero zero{input, active};
  return Request(IOCTL_NALOUNI_SET_ZERO, &zero, sizeof zero, nullptr, 0);
}

bool DriverClient::ResetCard(uint32_t address) {
  bool ok = SetCard(address, 1) && WriteByte(7, 0);
  for (uint32_t ch = 1; ch <= NALOUNI_CHANNELS; ++ch) {
    ok = ok && SetEncoder(NaloUniEncoder{ch, NALOUNI_DEFAULT_BITS, NALOUNI_CODE_GRAY, 1, 0, 0});
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

namespace {

bool WaitFor(SC_HANDLE service, DWORD wanted, DWORD *last) {
  SERVICE_STATUS status;
  for (int i = 0; i < 500; ++i) {  // 10 s
    if (!QueryServiceStatus(service, &status))
      return false;
    *last = status.dwCurrentState;
    if (status.dwCurrentState == wanted)
      return true;
    Sleep(20);
  }
  return false;
}

}  // namespace

// Stop (start false) or start the service and wait for the state.
static bool Drive(bool start, std::string *error) {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = manager ? OpenServiceA(manager, NALOUNI_SERVICE_NAME, SERVICE_ALL_ACCESS)
                              : nullptr;
  bool ok = false;
  DWORD last = 0;
  SERVICE_STATUS status;
  if (!service)
    *error = "cannot open the service";
  else if (!start && !ControlService(service, SERVICE_CONTROL_STOP, &status))
    *error = "stop refused, error " + std::to_string(GetLastError());
  else if (start && !StartServiceA(service, 0, nullptr))
    *error = "start refused, error " + std::to_string(GetLastError());
  else if (!WaitFor(service, start ? SERVICE_RUNNING : SERVICE_STOPPED, &last))
    *error = "state " + std::to_string(last) + " reached, not " + (start ? "running" : "stopped");
  else
    ok = true;
  if (service)
    CloseServiceHandle(service);
  if (manager)
    CloseServiceHandle(manager);
  return ok;
}

bool StopDriverService(std::string *error) { return Drive(false, error); }
bool StartDriverService(std::string *error) { return Drive(true, error); }
bool RestartService(std::string *error) { return Drive(false, error) && Drive(true, error); }

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
