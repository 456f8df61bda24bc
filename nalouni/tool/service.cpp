// Service manager steps for the driver: create or update, start, stop,
// delete, query. Waits are bounded so that a driver that does not stop or
// does not start ends in an error, not a hang.
#include "service.h"

#include <windows.h>

#include "nalouni_requests.h"

namespace {

constexpr DWORD kWaitMs = 10000;

struct Handle {
  SC_HANDLE h = nullptr;
  explicit Handle(SC_HANDLE handle) : h(handle) {}
  ~Handle() {
    if (h)
      CloseServiceHandle(h);
  }
  Handle(const Handle &) = delete;
  Handle &operator=(const Handle &) = delete;
};

std::string LastError(const char *what) {
  return std::string(what) + " failed (error " + std::to_string(GetLastError()) + ")";
}

ServiceState FromStatus(DWORD state) {
  switch (state) {
  case SERVICE_STOPPED: return ServiceState::Stopped;
  case SERVICE_START_PENDING: return ServiceState::Starting;
  case SERVICE_RUNNING: return ServiceState::Running;
  case SERVICE_STOP_PENDING: return ServiceState::Stopping;
  }
  return ServiceState::Unknown;
}

bool WaitFor(SC_HANDLE service, DWORD wanted, DWORD *last) {
  const DWORD start = GetTickCount();
  SERVICE_STATUS status;
  for (;;) {
    if (!QueryServiceStatus(service, &status))
      return false;
    *last = status.dwCurrentState;
    if (status.dwCurrentState == wanted)
      return true;
    if (GetTickCount() - start > kWaitMs)
      return false;
    Sleep(20);
  }
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

ServiceState QueryService() {
  Handle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager.h)
    return ServiceState::Unknown;
  Handle service(OpenServiceA(manager.h, NALOUNI_SERVICE_NAME, SERVICE_QUERY_STATUS));
  if (!service.h)
    return GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST ? ServiceState::NotInstalled
                                                          : ServiceState::Unknown;
  SERVICE_STATUS status;
  if (!QueryServiceStatus(service.h, &status))
    return ServiceState::Unknown;
  return FromStatus(status.dwCurrentState);
}

bool ConfigureService(const std::string &imagePath, std::string *error) {
  Handle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  if (!manager.h)
    return *error = LastError("OpenSCManager"), false;
  Handle service(OpenServiceA(manager.h, NALOUNI_SERVICE_NAME, SERVICE_ALL_ACCESS));
  if (service.h) {
    if (!ChangeServiceConfigA(service.h, SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START,
                              SERVICE_ERROR_NORMAL, imagePath.c_str(), nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr))
      return *error = LastError("ChangeServiceConfig"), false;
    return true;
  }
  Handle created(CreateServiceA(manager.h, NALOUNI_SERVICE_NAME, NALOUNI_SERVICE_NAME,
                                SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START,
                                SERVICE_ERROR_NORMAL, imagePath.c_str(), nullptr, nullptr, nullptr,
                                nullptr, nullptr));
  if (!created.h)
    return *error = LastError("CreateService"), false;
  return true;
}

namespace {

// Opens the manager and the driver's service and runs one step on it.
template <typename Step>
bool WithDriverService(std::string *error, Step step) {
  Handle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  if (!manager.h)
    return *error = LastError("OpenSCManager"), false;
  Handle service(OpenServiceA(manager.h, NALOUNI_SERVICE_NAME, SERVICE_ALL_ACCESS));
  if (!service.h)
    return *error = LastError("OpenService"), false;
  return step(service.h);
}

}  // namespace

bool StartDriver(std::string *error) {
  return WithDriverService(error, [error](SC_HANDLE service) {
    if (!StartServiceA(service, 0, nullptr) && GetLastError() != ERROR_SERVICE_ALREADY_RUNNING)
      return *error = LastError("StartService"), false;
    DWORD last = 0;
    if (!WaitFor(service, SERVICE_RUNNING, &last))
      return *error = "service did not reach running (state " + std::to_string(last) + ")", false;
    return true;
  });
}

bool StopDriver(std::string *error) {
  return WithDriverService(error, [error](SC_HANDLE service) {
    SERVICE_STATUS status;
    if (!ControlService(service, SERVICE_CONTROL_STOP, &status) &&
        GetLastError() != ERROR_SERVICE_NOT_ACTIVE)
      return *error = LastError("stopping the service"), false;
    DWORD last = 0;
    if (!WaitFor(service, SERVICE_STOPPED, &last))
      return *error = "service did not stop (state " + std::to_string(last) + ")", false;
    return true;
  });
}

bool RemoveService(std::string *error) {
  return WithDriverService(error, [error](SC_HANDLE service) {
    if (!DeleteService(service))
      return *error = LastError("DeleteService"), false;
    return true;
  });
}

std::string ServiceImage() {
  Handle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager.h)
    return "";
  Handle service(OpenServiceA(manager.h, NALOUNI_SERVICE_NAME, SERVICE_QUERY_CONFIG));
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
