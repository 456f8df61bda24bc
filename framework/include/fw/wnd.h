// A window handle with the calls the dialogs make on it, and the message
// handlers whose base versions hand the message to the system's default
// handling. The object keeps nothing of the window but its handle.
#pragma once

#include <windows.h>

#include <fw/menu.h>
#include <fw/message_target.h>

class CWnd : public CMessageTarget {
 public:
  CWnd() : m_hWnd(NULL), m_pbDefaultWanted(NULL) {}
  explicit CWnd(HWND hWnd) : m_hWnd(hWnd), m_pbDefaultWanted(NULL) {}
  // A copy is another wrapper of the same window, outside any dispatch.
  CWnd(const CWnd& other) : CMessageTarget(), m_hWnd(other.m_hWnd), m_pbDefaultWanted(NULL) {}
  CWnd& operator=(const CWnd& other) {
    m_hWnd = other.m_hWnd;
    return *this;
  }

  HWND GetSafeHwnd() const { return m_hWnd; }

  // The dialog item with this identifier, or a wrapper of NULL.
  CWnd GetDlgItem(int nID) const { return CWnd(::GetDlgItem(m_hWnd, nID)); }
  LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendDlgItemMessageA(m_hWnd, nID, message, wParam, lParam);
  }
  void SetDlgItemText(int nID, LPCSTR lpszString) { ::SetDlgItemTextA(m_hWnd, nID, lpszString); }

  void SetWindowText(LPCSTR lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }
  int GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const {
    return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
  }

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
  }
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
  }

  // bRevert FALSE: the window's own copy of the system menu, which may be
  // changed; a wrapper of NULL when the window has none.
  CMenu GetSystemMenu(BOOL bRevert) const { return CMenu(::GetSystemMenu(m_hWnd, bRevert)); }

  // Returns the icon set before.
  HICON SetIcon(HICON hIcon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                                               reinterpret_cast<LPARAM>(hIcon)));
  }

  UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = NULL) {
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
  }
  BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }

  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
  void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
  void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }

  // Routes a message that reached this window through its message maps; a
  // command that no map of the window takes goes on to the application's map.
  // Returns false when the message is left to the system's default handling:
  // no entry took it, or its handler asked for it with Default().
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

  HWND m_hWnd;

 protected:
  // Hands the message being dispatched, with its own parameters, to the
  // system's default handling. For a dialog that handling is the default
  // dialog procedure, which runs when the dialog procedure returns FALSE, so
  // it takes place once the handler has returned. Outside a handler: nothing.
  LRESULT Default();

  // Base handlers: default handling of the message.
  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();
  void OnClose();
  void OnTimer(UINT_PTR nIDEvent);
  void OnDestroy();

 private:
  // Set only while a message is dispatched to a handler of this object: where
  // Default() records that the message goes on to the default handling.
  bool* m_pbDefaultWanted;
};
