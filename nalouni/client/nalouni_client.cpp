#include "nalouni_client.h"

void NaloUniDevice::Close() {
  if (Open())
    CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
}

void NaloUniDevice::Reopen() {
  Close();
  handle_ = CreateFileA(NALOUNI_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
}

bool NaloUniDevice::Request(DWORD code, const void *input, DWORD inputLength, void *output,
                            DWORD outputLength, DWORD *returned) {
  DWORD count = 0;
  const BOOL ok = DeviceIoControl(handle_, code, const_cast<void *>(input), inputLength, output,
                                  outputLength, &count, nullptr);
  if (returned)
    *returned = count;
  return ok != FALSE;
}

bool NaloUniDevice::WriteByte(uint32_t port, uint8_t value) {
  uint8_t record[NALOUNI_WRITE_BYTE_INPUT];
  NaloUniWriteRecord(record, port, value);
  return Request(IOCTL_NALOUNI_WRITE_BYTE, record, sizeof record, nullptr, 0);
}

bool NaloUniDevice::ReadByte(uint32_t port, uint8_t *value) {
  uint8_t record[NALOUNI_READ_BYTE_INPUT];
  NaloUniReadRecord(record, port);
  DWORD returned = 0;
  return Request(IOCTL_NALOUNI_READ_BYTE, record, sizeof record, value, NALOUNI_READ_BYTE_OUTPUT,
                 &returned) &&
         returned == NALOUNI_READ_BYTE_OUTPUT;
}

bool NaloUniDevice::State(NaloUniState *state) {
  DWORD returned = 0;
  return Request(IOCTL_NALOUNI_GET_STATE, nullptr, 0, state, sizeof *state, &returned) &&
         returned == sizeof *state;
}

bool NaloUniDevice::SetCard(uint32_t address, uint32_t present) {
  const NaloUniCard card{address, present};
  return Request(IOCTL_NALOUNI_SET_CARD, &card, sizeof card, nullptr, 0);
}

bool NaloUniDevice::SetEncoder(const NaloUniEncoder &encoder) {
  return Request(IOCTL_NALOUNI_SET_ENCODER, &encoder, sizeof encoder, nullptr, 0);
}

bool NaloUniDevice::SetZero(uint32_t input, uint32_t active) {
  const NaloUniZero zero{input, active};
  return Request(IOCTL_NALOUNI_SET_ZERO, &zero, sizeof zero, nullptr, 0);
}

namespace {

constexpr DWORD kServiceWaitMs = 10000;
constexpr DWORD kServicePollMs = 20;

struct ServiceHandle {
  SC_HANDLE h = nullptr;
  explicit ServiceHandle(SC_HANDLE handle) : h(handle) {}
  ~ServiceHandle() {
    if (h)
      CloseServiceHandle(h);
  }
  ServiceHandle(const ServiceHandle &) = delete;
  ServiceHandle &operator=(const ServiceHandle &) = delete;
};

std::string Failed(const char *what) {
  return std::string(what) + " failed (error " + std::to_string(GetLastError()) + ")";
}

// Polls until the service reports "wanted" or the bound has passed.
bool WaitFor(SC_HANDLE service, DWORD wanted, DWORD *last) {
  const DWORD start = GetTickCount();
  SERVICE_STATUS status;
  for (;;) {
    if (!QueryServiceStatus(service, &status))
      return false;
    *last = status.dwCurrentState;
    if (status.dwCurrentState == wanted)
      return true;
    if (GetTickCount() - start > kServiceWaitMs)
      return false;
    Sleep(kServicePollMs);
  }
}

// Opens the manager and the driver's service and runs one step on it.
template <typename Step>
bool WithDriverService(std::string *error, Step step) {
  ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  if (!manager.h)
    return *error = Failed("OpenSCManager"), false;
  ServiceHandle service(OpenServiceA(manager.h, NALOUNI_SERVICE_NAME, SERVICE_ALL_ACCESS));
  if (!service.h)
    return *error = Failed("OpenService"), false;
  return step(service.h);
}

// The raw state, or 0; *installed tells whether the service exists.
DWORD QueryStatus(bool *installed) {
  *installed = true;
  ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager.h)
    return 0;
  ServiceHandle service(OpenServiceA(manager.h, NALOUNI_SERVICE_NAME, SERVICE_QUERY_STATUS));
  if (!service.h) {
    *installed = GetLastError() != ERROR_SERVICE_DOES_NOT_EXIST;
    return 0;
  }
  SERVICE_STATUS status;
  return QueryServiceStatus(service.h, &status) ? status.dwCurrentState : 0;
}

}  // namespace

const char *StateName(ServiceState state) {
  switch (state) {
  case ServiceState::NotInstalled: return "not installed";
  case ServiceState::Stopped: return "stopped";
  case ServiceState::Starting: return "starting";
  case ServiceState::Running: return "running";
  case ServiceState::Stopping: return "stopping";
  case ServiceState::Unknown: break;
  }
  return "unknown";
}

DWORD DriverServiceStatus() {
  bool installed;
  return QueryStatus(&installed);
}

ServiceState QueryDriverService() {
  bool installed;
  switch (QueryStatus(&installed)) {
  case SERVICE_STOPPED: return ServiceState::Stopped;
  case SERVICE_START_PENDING: return ServiceState::Starting;
  case SERVICE_RUNNING: return ServiceState::Running;
  case SERVICE_STOP_PENDING: return ServiceState::Stopping;
  }
  return installed ? ServiceState::Unknown : ServiceState::NotInstalled;
}

bool ConfigureDriverService(const std::string &imagePath, std::string *error) {
  ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  if (!manager.h)
    return *error = Failed("OpenSCManager"), false;
  ServiceHandle service(OpenServiceA(manager.h, NALOUNI_SERVICE_NAME, SERVICE_ALL_ACCESS));
  if (service.h) {
    if (!ChangeServiceConfigA(service.h, SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START,
                              SERVICE_ERROR_NORMAL, imagePath.c_str(), nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr))
      return *error = Failed("ChangeServiceConfig"), false;
    return true;
  }
  ServiceHandle created(CreateServiceA(manager.h, NALOUNI_SERVICE_NAME, NALOUNI_SERVICE_NAME,
                                       SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER,
                                       SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                       imagePath.c_str(), nullptr, nullptr, nullptr, nullptr,
                                       nullptr));
  if (!created.h)
    return *error = Failed("CreateService"), false;
  return true;
}

namespace {

// Sends the start or stop request and waits for its state. "done" is the
// error by which the service says it is there already.
template <typename Send>
bool Drive(std::string *error, DWORD wanted, const char *request, DWORD done,
           const char *missed, Send send) {
  return WithDriverService(error, [=](SC_HANDLE service) {
    if (!send(service) && GetLastError() != done)
      return *error = Failed(request), false;
    DWORD last = 0;
    if (!WaitFor(service, wanted, &last))
      return *error = std::string(missed) + " (state " + std::to_string(last) + ")", false;
    return true;
  });
}

}  // namespace

bool StartDriverService(std::string *error) {
  return Drive(error, SERVICE_RUNNING, "StartService", ERROR_SERVICE_ALREADY_RUNNING,
               "service did not reach running",
               [](SC_HANDLE service) { return StartServiceA(service, 0, nullptr) != FALSE; });
}

bool StopDriverService(std::string *error) {
  return Drive(error, SERVICE_STOPPED, "stopping the service", ERROR_SERVICE_NOT_ACTIVE,
               "service did not stop", [](SC_HANDLE service) {
                 SERVICE_STATUS status;
                 return ControlService(service, SERVICE_CONTROL_STOP, &status) != FALSE;
               });
}

bool RemoveDriverService(std::string *error) {
  return WithDriverService(error, [error](SC_HANDLE service) {
    if (!DeleteService(service))
      return *error = Failed("DeleteService"), false;
    return true;
  });
}

std::string DriverServiceImage() {
  ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager.h)
    return "";
  ServiceHandle service(OpenServiceA(manager.h, NALOUNI_SERVICE_NAME, SERVICE_QUERY_CONFIG));
  if (!service.h)
    return "";
  union {
    QUERY_SERVICE_CONFIGA config;
    char bytes[8192];
  } buffer;
  DWORD needed = 0;
  if (!QueryServiceConfigA(service.h, &buffer.config, sizeof(buffer), &needed) ||
      !buffer.config.lpBinaryPathName)
    return "";
  return buffer.config.lpBinaryPathName;
}

namespace {

struct Key {
  HKEY h = nullptr;
  ~Key() {
    if (h)
      RegCloseKey(h);
  }
};

LONG OpenKey(Key *key, bool write) {
  const LONG rc =
      write ? RegCreateKeyExA(HKEY_LOCAL_MACHINE, NALOUNI_PARAMETERS_KEY, 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key->h, nullptr)
            : RegOpenKeyExA(HKEY_LOCAL_MACHINE, NALOUNI_PARAMETERS_KEY, 0, KEY_READ, &key->h);
  if (rc != ERROR_SUCCESS)
    key->h = nullptr;
  return rc;
}

// Only a 4-byte REG_DWORD counts as stored.
bool ReadDword(HKEY key, const char *name, DWORD *value) {
  DWORD type = 0, data = 0, size = sizeof(data);
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(&data), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof(data))
    return false;
  *value = data;
  return true;
}

int ReadStored(void *key, const char *name, uint32_t *value) {
  DWORD data;
  if (!ReadDword(static_cast<HKEY>(key), name, &data))
    return 0;
  *value = data;
  return 1;
}

LONG WriteDword(HKEY key, const char *name, DWORD value) {
  return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value),
                        sizeof value);
}

}  // namespace

NaloUniState LoadStoredSettings() {
  NaloUniState state;
  NaloUniDefaultState(&state);
  Key key;
  if (OpenKey(&key, false) == ERROR_SUCCESS)
    NaloUniLoadSettings(&state, ReadStored, key.h);
  return state;
}

bool StoreSettings(NaloUniGroup group, const NaloUniState &state, unsigned channel,
                   std::string *error) {
  Key key;
  LONG rc = OpenKey(&key, true);
  if (rc != ERROR_SUCCESS) {
    *error = "cannot open HKLM\\" NALOUNI_PARAMETERS_KEY " (error " + std::to_string(rc) + ")";
    return false;
  }
  NaloUniState copy = state;
  for (unsigned i = 0; i < NaloUniSettingCount; ++i) {
    const NaloUniSetting &setting = NaloUniSettings[i];
    if (setting.group != group)
      continue;
    char name[NALOUNI_VALUE_NAME_SIZE];
    NaloUniValueName(&setting, channel, name);
    rc = WriteDword(key.h, name, *NaloUniSettingField(&setting, &copy, channel));
    if (rc != ERROR_SUCCESS) {
      *error = std::string("cannot write ") + name + " (error " + std::to_string(rc) + ")";
      return false;
    }
  }
  return true;
}

bool SetDriverParameter(const char *name, int64_t value) {
  Key key;
  if (OpenKey(&key, true) != ERROR_SUCCESS)
    return false;
  if (value < 0) {
    const LONG rc = RegDeleteValueA(key.h, name);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
  }
  return WriteDword(key.h, name, static_cast<DWORD>(value)) == ERROR_SUCCESS;
}

bool GetDriverParameter(const char *name, DWORD *value) {
  Key key;
  return OpenKey(&key, false) == ERROR_SUCCESS && ReadDword(key.h, name, value);
}
