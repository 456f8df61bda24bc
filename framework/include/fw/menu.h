// A menu handle, not owned: the wrapper never destroys the menu.
#pragma once

#include <windows.h>

class CMenu {
 public:
  explicit CMenu(HMENU hMenu = NULL) : m_hMenu(hMenu) {}

  HMENU GetSafeHmenu() const { return m_hMenu; }

  BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = NULL) {
    return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
  }

  HMENU m_hMenu;
};
