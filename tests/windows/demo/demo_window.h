// The demo program's windows seen from another process: found by caption,
// their items read and driven with window messages only.
#pragma once

#include <windows.h>

#include <string>

namespace demo_window {

const char kMainCaption[] = "SSIKovo - Demo";
const char kDialogClass[] = "#32770";
// Position edits of channels 1 to 4.
const int kPositionEdits[4] = {1010, 1015, 1016, 1017};

// A message to a window of the demo; 0 when it does not answer in time.
inline LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 10000, &result)) return 0;
  return static_cast<LRESULT>(result);
}

inline LRESULT SendItem(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return Send(GetDlgItem(dialog, id), message, wParam, lParam);
}

// The dialog with this caption, waiting up to timeoutMs for it to appear.
inline HWND WaitForDialog(const char* caption, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND window = FindWindowA(kDialogClass, caption);
    if (window != NULL || GetTickCount() - start >= timeoutMs) return window;
    Sleep(50);
  }
}

inline std::string ItemText(HWND dialog, int id) {
  char text[64] = "";
  SendItem(dialog, id, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
  return text;
}

// Polls the condition every 50 ms until it holds or timeoutMs has passed.
template <class Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(50);
  }
}

}  // namespace demo_window
