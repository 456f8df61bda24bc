// Wrappers of the dialog items the programs bind with DDX_Control.
#pragma once

#include <windows.h>

#include <fw/wnd.h>

class CEdit : public CWnd {};

class CButton : public CWnd {
 public:
  // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
  int GetCheck() const { return static_cast<int>(::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0)); }
  void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }
};

class CComboBox : public CWnd {
 public:
  int GetCount() const { return Send(CB_GETCOUNT, 0, 0); }
  // CB_ERR when nothing is selected.
  int GetCurSel() const { return Send(CB_GETCURSEL, 0, 0); }
  // -1 clears the selection (and returns CB_ERR).
  int SetCurSel(int nSelect) { return Send(CB_SETCURSEL, static_cast<WPARAM>(nSelect), 0); }
  // Searches after nIndexStart (-1: the whole list from the top); CB_ERR if
  // no item equals the text (the comparison ignores case).
  int FindStringExact(int nIndexStart, LPCSTR lpszFind) const {
    return Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(nIndexStart),
                reinterpret_cast<LPARAM>(lpszFind));
  }
  int AddString(LPCSTR lpszString) {
    return Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszString));
  }
  int GetLBTextLen(int nIndex) const { return Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(nIndex), 0); }
  // lpszText must hold GetLBTextLen(nIndex) + 1 characters.
  int GetLBText(int nIndex, LPSTR lpszText) const {
    return Send(CB_GETLBTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszText));
  }

 private:
  int Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return static_cast<int>(::SendMessageA(m_hWnd, message, wParam, lParam));
  }
};
