/* A caller built the way a Visual C++ project builds one: compiled for the
   MSVC target, linked against SSIKovo.lib and the system's import libraries,
   with no C runtime at all (its entry point is Start). It sets a known
   position on the simulated card through the port driver, reads it through
   the library and exits with the number of failed checks. */
#include "SSIKovo.h"
#include "nalouni_requests.h"

typedef void* HANDLE;
typedef unsigned long DWORD;
#define INVALID_HANDLE ((HANDLE)(long)-1)

__declspec(dllimport) HANDLE __stdcall CreateFileA(const char* name, DWORD access, DWORD share,
                                                   void* security, DWORD disposition, DWORD flags,
                                                   HANDLE templateFile);
__declspec(dllimport) int __stdcall DeviceIoControl(HANDLE device, DWORD code, void* in, DWORD inSize,
                                                    void* out, DWORD outSize, DWORD* returned,
                                                    void* overlapped);
__declspec(dllimport) int __stdcall CloseHandle(HANDLE handle);
__declspec(dllimport) HANDLE __stdcall GetStdHandle(DWORD which);
__declspec(dllimport) int __stdcall WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written,
                                              void* overlapped);
__declspec(dllimport) void __stdcall ExitProcess(unsigned code);

static int failures;

static void Print(const char* text) {
  DWORD length = 0, written;
  while (text[length]) ++length;
  WriteFile(GetStdHandle((DWORD)-11), text, length, &written, 0);
}

static void PrintHex(unsigned long value) {
  char text[11] = "0x";
  int i;
  for (i = 0; i < 8; ++i) text[2 + i] = "0123456789ABCDEF"[(value >> (28 - 4 * i)) & 0xF];
  text[10] = 0;
  Print(text);
}

static void Check(int ok, const char* what, unsigned long got) {
  if (ok) return;
  ++failures;
  Print("FAIL ");
  Print(what);
  Print(": ");
  PrintHex(got);
  Print("\r\n");
}

static int Steer(HANDLE device, DWORD code, void* record, DWORD size) {
  DWORD returned = 0;
  return DeviceIoControl(device, code, record, size, 0, 0, &returned, 0);
}

static int SetEncoder(HANDLE device, DWORD channel, DWORD bits, DWORD code, DWORD position) {
  NaloUniEncoder encoder;
  encoder.channel = channel;
  encoder.bits = bits;
  encoder.code = code;
  encoder.plugged = 1;
  encoder.position = position;
  encoder.speed = 0;
  return Steer(device, IOCTL_NALOUNI_SET_ENCODER, &encoder, sizeof encoder);
}

void __stdcall Start(void) {
  NaloUniCard card;
  HANDLE device = CreateFileA(NALOUNI_DEVICE_PATH, 0xC0000000UL /* read | write */, 3, 0,
                              3 /* OPEN_EXISTING */, 0, 0);
  Check(device != INVALID_HANDLE, "the port driver's device opens", 0);
  card.address = NALOUNI_DEFAULT_ADDRESS;
  card.present = 1;
  Check(Steer(device, IOCTL_NALOUNI_SET_CARD, &card, sizeof card), "card set", 0);
  Check(SetEncoder(device, 1, 13, NALOUNI_CODE_BINARY, 0x1ABC), "encoder 1 set", 0);
  Check(SetEncoder(device, 3, 25, NALOUNI_CODE_GRAY, 0x1234567), "encoder 3 set", 0);

  Check(InitSSIKovo() == 0xFF, "InitSSIKovo", 0);
  ConfSSIKovo(1, 13, 1000, 1);
  Check(GetSSIKovo(1) == 0x1ABC, "channel 1, 13 bits binary", (unsigned long)GetSSIKovo(1));
  Check(GetSSIKovo(3) == 0x1234567, "channel 3 with the defaults", (unsigned long)GetSSIKovo(3));
  Check(GetSSIKovo(5) == 0, "channel 5", (unsigned long)GetSSIKovo(5));
  Check(GrayToBin(0x1000000L) == 0x1FFFFFFL, "GrayToBin", (unsigned long)GrayToBin(0x1000000L));
  SetOutputs(0x21);
  Check(GetInputs() == 0, "no zero input", 0);
  Check(DeInitSSIKovo() == 0xFF, "DeInitSSIKovo", 0);
  CloseHandle(device);

  Print(failures ? "Visual C++ caller: FAILED\r\n" : "Visual C++ caller: passed\r\n");
  ExitProcess((unsigned)failures);
}
