// Data exchange between a dialog's items and its members: one pass of the
// dialog's DoDataExchange, towards the items (bSaveAndValidate FALSE) or from
// them (TRUE).
#pragma once

#include <windows.h>

#include <fw/wnd.h>

class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
      : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
};

// Binds the wrapper to the dialog item with this identifier, in either
// direction. The item keeps its own window procedure; the wrapper only
// carries its handle (NULL when the dialog has no such item).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
