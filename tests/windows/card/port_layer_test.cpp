// The library's port layer at the binary level: the Windows version decides
// the backend, and each port operation is one device request with exact
// records. The system functions the library imports are replaced by
// recording stand-ins in its import table, so every call can be seen and the
// versions and failures Wine cannot produce can be played.
#include <cstring>
#include <string>
#include <vector>

#include "../check.h"
#include "import_patch.h"
#include "library_api.h"
#include "nalouni_requests.h"

namespace {

struct Request {
  HANDLE handle;
  DWORD code;
  std::vector<BYTE> in;
  bool outNull;
  DWORD outSize;
  bool returnedGiven, overlappedNull;
};

struct Open {
  std::string path;
  DWORD access, share, disposition, flags;
  bool securityNull, templateNull;
};

struct System {
  // What the stand-ins answer.
  DWORD platform = VER_PLATFORM_WIN32_NT, major = 4;
  bool refuseExtendedRecord = false, refuseEveryRecord = false;
  bool openFails = false, readsFail = true;
  BYTE readByte = 0;
  // What they saw.
  std::vector<DWORD> versionRecordSizes;
  std::vector<Open> opens;
  std::vector<HANDLE> closes;
  std::vector<Request> requests;
  std::vector<std::string> order;  // "open", "close", "request"
  int nextHandle = 0x4000;
  void Forget() {
    versionRecordSizes.clear();
    opens.clear();
    closes.clear();
    requests.clear();
    order.clear();
  }
} Sys;

BOOL WINAPI FakeGetVersionExA(OSVERSIONINFOA* info) {
  Sys.versionRecordSizes.push_back(info->dwOSVersionInfoSize);
  if (Sys.refuseEveryRecord) return FALSE;
  if (Sys.refuseExtendedRecord && info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return FALSE;
  info->dwPlatformId = Sys.platform;
  info->dwMajorVersion = Sys.major;
  return TRUE;
}

HANDLE WINAPI FakeCreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                              DWORD disposition, DWORD flags, HANDLE templateFile) {
  Sys.opens.push_back({path, access, share, disposition, flags, security == nullptr, templateFile == nullptr});
  Sys.order.push_back("open");
  if (Sys.openFails) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(Sys.nextHandle += 4));
}

BOOL WINAPI FakeCloseHandle(HANDLE handle) {
  Sys.closes.push_back(handle);
  Sys.order.push_back("close");
  return TRUE;
}

BOOL WINAPI FakeDeviceIoControl(HANDLE handle, DWORD code, LPVOID in, DWORD inSize, LPVOID out,
                                DWORD outSize, LPDWORD returned, LPOVERLAPPED overlapped) {
  const BYTE* bytes = static_cast<const BYTE*>(in);
  Sys.requests.push_back({handle, code, std::vector<BYTE>(bytes, bytes + inSize), out == nullptr, outSize,
                          returned != nullptr, overlapped == nullptr});
  Sys.order.push_back("request");
  if (handle == INVALID_HANDLE_VALUE) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const bool read = code == IOCTL_NALOUNI_READ_BYTE || code == IOCTL_NALOUNI_BUS_READ;
  if (read && Sys.readsFail) {
    SetLastError(ERROR_GEN_FAILURE);
    return FALSE;
  }
  if (read) *static_cast<BYTE*>(out) = Sys.readByte;
  if (returned) *returned = read ? 1 : 0;
  return TRUE;
}

LibraryApi Lib;

std::vector<BYTE> Bytes(std::initializer_list<int> values) {
  std::vector<BYTE> out;
  for (int v : values) out.push_back(static_cast<BYTE>(v));
  return out;
}

void CheckBeforeInit() {
  CHECK(Lib.GetInputs() == 0, "before InitSSIKovo a read yields 0");
  Lib.SetOutputs(0x3F);
  Lib.DeInitSSIKovo();
  CHECK(Sys.requests.empty() && Sys.opens.empty() && Sys.closes.empty(),
        "before InitSSIKovo no port is touched (%u requests)", unsigned(Sys.requests.size()));
}

void CheckBackendChoice() {
  struct Case { const char* name; DWORD platform, major; bool refuseExtended, refuseEvery, driver; };
  const Case cases[] = {
      {"NT 3.51", 2, 3, false, false, true},        {"NT 4.0", 2, 4, false, false, true},
      {"NT 5.x", 2, 5, false, false, true},         {"NT 6.x (our choice)", 2, 6, false, false, true},
      {"NT 10", 2, 10, false, false, true},         {"Windows 98", 1, 4, false, false, false},
      {"Win32s", 0, 3, false, false, false},        {"NT 4.0, short record only", 2, 4, true, false, true},
      {"Windows 95, short record only", 1, 4, true, false, false},
      {"no record filled", 2, 5, false, true, false},
  };
  for (const Case& c : cases) {
    Sys.platform = c.platform;
    Sys.major = c.major;
    Sys.refuseExtendedRecord = c.refuseExtended;
    Sys.refuseEveryRecord = c.refuseEvery;
    Sys.Forget();
    Lib.InitSSIKovo();
    const std::vector<DWORD> expectedSizes =
        c.refuseExtended || c.refuseEvery ? std::vector<DWORD>{156, 148} : std::vector<DWORD>{156};
    CHECK(Sys.versionRecordSizes == expectedSizes, "%s: version queried with %u records", c.name,
          unsigned(Sys.versionRecordSizes.size()));
    CHECK(!Sys.requests.empty(), "%s: no request", c.name);
    if (Sys.requests.empty()) continue;
    const Request& first = Sys.requests[0];
    const DWORD port = first.in[0] | first.in[1] << 8;
    if (c.driver) {
      CHECK(first.code == IOCTL_NALOUNI_WRITE_BYTE && port == 7, "%s: driver request %lx to port %lx",
            c.name, first.code, port);
    } else {
      CHECK(first.code == IOCTL_NALOUNI_BUS_WRITE && port == 0x107,
            "%s: port instruction %lx to port %lx", c.name, first.code, port);
    }
    Lib.DeInitSSIKovo();
  }
  Sys.refuseExtendedRecord = Sys.refuseEveryRecord = false;
  Sys.platform = VER_PLATFORM_WIN32_NT;
  Sys.major = 4;
}

void CheckRequest(const Request& r, HANDLE handle, DWORD code, const std::vector<BYTE>& in, bool read) {
  CHECK(r.handle == handle && r.code == code && r.in == in, "request %lx on %p (%u input bytes)", r.code,
        r.handle, unsigned(r.in.size()));
  CHECK(read ? !r.outNull && r.outSize == 1 : r.outNull && r.outSize == 0, "output buffer of %lx", r.code);
  CHECK(r.returnedGiven && r.overlappedNull, "synchronous request %lx with a byte count", r.code);
}

void CheckDriverRequests() {
  Sys.Forget();
  Lib.InitSSIKovo();
  CHECK(Sys.opens.size() == 1, "one device open, not %u", unsigned(Sys.opens.size()));
  if (Sys.opens.size() != 1) return;
  const Open& o = Sys.opens[0];
  CHECK(o.path == "\\\\.\\NaloUniDev" && o.access == (GENERIC_READ | GENERIC_WRITE) &&
            o.share == (FILE_SHARE_READ | FILE_SHARE_WRITE) && o.disposition == OPEN_EXISTING &&
            o.flags == 0 && o.securityNull && o.templateNull,
        "device opened as %s, access %lx, share %lx, disposition %lu, flags %lx", o.path.c_str(), o.access,
        o.share, o.disposition, o.flags);
  const HANDLE device = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(Sys.nextHandle));
  CHECK(Sys.requests.size() == 5, "card preparation is five requests, not %u", unsigned(Sys.requests.size()));
  if (Sys.requests.size() == 5) {
    CheckRequest(Sys.requests[0], device, 0x9C40A440, Bytes({7, 0, 0, 0, 0x00}), false);
    CheckRequest(Sys.requests[1], device, 0x9C406400, Bytes({7, 0, 0, 0}), true);
    CheckRequest(Sys.requests[2], device, 0x9C40A440, Bytes({3, 0, 0, 0, 0xB0}), false);
    CheckRequest(Sys.requests[3], device, 0x9C40A440, Bytes({2, 0, 0, 0, 0x01}), false);
    CheckRequest(Sys.requests[4], device, 0x9C40A440, Bytes({2, 0, 0, 0, 0x00}), false);
  }

  // A read that succeeds sets the byte every later failed read repeats.
  Sys.readsFail = false;
  Sys.readByte = 0x16;
  CHECK(Lib.GetInputs() == 0x0B, "inputs from byte 0x16");
  Sys.readsFail = true;
  Sys.readByte = 0x00;
  CHECK(Lib.GetInputs() == 0x0B, "a failed read repeats the last byte read");

  // A second Init while the device is open closes it before opening anew.
  Sys.Forget();
  Lib.InitSSIKovo();
  CHECK(Sys.order.size() >= 2 && Sys.order[0] == "close" && Sys.order[1] == "open",
        "second InitSSIKovo: close, then open");
  CHECK(Sys.closes.size() == 1 && Sys.closes[0] == device, "the earlier handle is closed");
}

void CheckRelease() {
  const HANDLE device = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(Sys.nextHandle));
  Sys.Forget();
  Lib.DeInitSSIKovo();
  const std::vector<std::string> releaseOrder = {"request", "close"};
  CHECK(Sys.order == releaseOrder, "release writes register 7, then closes the device");
  if (!Sys.requests.empty()) CheckRequest(Sys.requests[0], device, 0x9C40A440, Bytes({7, 0, 0, 0, 0}), false);
  CHECK(Sys.closes.size() == 1 && Sys.closes[0] == device, "the device is closed once");

  Sys.Forget();
  Lib.DeInitSSIKovo();
  Lib.SetOutputs(0x3F);
  CHECK(Sys.closes.empty(), "a second release closes nothing");
  for (const Request& r : Sys.requests) {
    CHECK(r.handle == INVALID_HANDLE_VALUE, "after release, requests reach no device (%p)", r.handle);
  }
  CHECK(Lib.GetInputs() == 0x0B, "after release, reads repeat the last byte read");
}

void CheckOpenFailure() {
  Sys.openFails = true;
  Sys.Forget();
  Lib.InitSSIKovo();
  CHECK(Sys.opens.size() == 1, "one open attempt");
  CHECK(!Sys.requests.empty() && Sys.requests[0].handle == INVALID_HANDLE_VALUE,
        "with the device missing, requests reach no device");
  CHECK(Lib.GetInputs() == 0x0B, "with the device missing, reads repeat the last byte read");
  Sys.Forget();
  Lib.DeInitSSIKovo();
  CHECK(Sys.closes.empty(), "no handle to close");
  Sys.openFails = false;
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  const char* library = argc > 1 ? argv[1] : "SSIKovoPortSim.dll";
  CHECK(Lib.Load(library), "cannot load %s", library);
  if (check_failures) return check_result("port layer");
  struct { const char* name; void* fake; } patches[] = {
      {"GetVersionExA", reinterpret_cast<void*>(FakeGetVersionExA)},
      {"CreateFileA", reinterpret_cast<void*>(FakeCreateFileA)},
      {"CloseHandle", reinterpret_cast<void*>(FakeCloseHandle)},
      {"DeviceIoControl", reinterpret_cast<void*>(FakeDeviceIoControl)},
  };
  for (auto& p : patches) {
    CHECK(PatchImport(Lib.module, "kernel32.dll", p.name, p.fake) != nullptr, "%s is not imported", p.name);
  }
  if (check_failures) return check_result("port layer");
  CheckBeforeInit();
  CheckBackendChoice();
  CheckDriverRequests();
  CheckRelease();
  CheckOpenFailure();
  return check_result("port layer");
}
