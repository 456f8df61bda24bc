// Modal dialogs from numbered templates in the program's resources.
#pragma once

#include <windows.h>

#include <fw/data_exchange.h>
#include <fw/wnd.h>

class CDialog : public CWnd {
 public:
  // With no parent, the application's main window (if it is not this
  // dialog) becomes the dialog's owner.
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
  ~CDialog() override;

  // Runs the dialog until it ends; returns the end code, or -1 when the
  // dialog could not be created.
  virtual INT_PTR DoModal();

  void EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }

  // One pass of DoDataExchange: TRUE from the items, FALSE towards them.
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  // Fills the lists from the template's initial data, then runs
  // UpdateData(FALSE), which binds the wrappers. TRUE: the system gives the
  // focus to the first item with a tab stop.
  virtual BOOL OnInitDialog();

 protected:
  virtual void DoDataExchange(CDataExchange* pDX);
  // OK: UpdateData(TRUE), then the dialog ends with IDOK.
  virtual void OnOK();
  // Cancel (also Esc and the close box): the dialog ends with IDCANCEL.
  virtual void OnCancel();

  // The dialog's help request (F1) becomes the ID_HELP command, which the
  // dialog's maps and then the application's map may take.
  LRESULT OnHelpRequest(WPARAM wParam, LPARAM lParam);

  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;

  DECLARE_MESSAGE_MAP()

 private:
  static INT_PTR CALLBACK DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
};

namespace fw {

// Adds the initial list contents that the program's resources hold for the
// dialog template (resource type 240, the template's number) to the dialog's
// items. Records of an unknown kind are skipped.
void AddInitialListData(HWND hDlg, UINT nIDTemplate);

// Centres a dialog that has no DS_CENTER style over its owner, or in the
// screen's work area when it has no visible owner; keeps it inside the work
// area.
void PlaceDialog(HWND hDlg);

}  // namespace fw
