#include <fw/dialog.h>

#include <fw/win_app.h>

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
  ON_MESSAGE(WM_HELP, OnHelpRequest)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {}

INT_PTR CDialog::DoModal() {
  HWND owner = m_pParentWnd != NULL ? m_pParentWnd->m_hWnd : NULL;
  if (owner == NULL) {
    CWinApp* app = AfxGetApp();
    if (app != NULL && app->m_pMainWnd != NULL && app->m_pMainWnd != this)
      owner = app->m_pMainWnd->m_hWnd;
  }
  if (owner != NULL) owner = ::GetAncestor(owner, GA_ROOT);
  INT_PTR result = ::DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), owner,
                                     &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  m_hWnd = NULL;
  return result;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  DoDataExchange(&dx);
  return TRUE;
}

BOOL CDialog::OnInitDialog() {
  ::fw::AddInitialListData(m_hWnd, m_nIDTemplate);
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
  UpdateData(TRUE);
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT CDialog::OnHelpRequest(WPARAM, LPARAM) {
  SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
  return TRUE;
}

namespace {

// Messages whose result a dialog procedure returns itself instead of
// leaving it in DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
  switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
      return true;
    default:
      return false;
  }
}

}  // namespace

// The dialog's C++ object travels in DWLP_USER from WM_INITDIALOG on;
// messages before it (WM_SETFONT, creation) are the system's alone.
INT_PTR CALLBACK CDialog::DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) {
  CDialog* dialog;
  if (message == WM_INITDIALOG) {
    dialog = reinterpret_cast<CDialog*>(lParam);
    ::SetWindowLongPtrA(hDlg, DWLP_USER, lParam);
    dialog->m_hWnd = hDlg;
    ::fw::PlaceDialog(hDlg);
    return dialog->OnInitDialog();
  }
  dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hDlg, DWLP_USER));
  if (dialog == NULL) return FALSE;

  LRESULT result = 0;
  bool handled = dialog->OnWndMsg(message, wParam, lParam, &result);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(hDlg, DWLP_USER, 0);
    dialog->m_hWnd = NULL;
  }
  if (!handled) return FALSE;
  if (ReturnsResultDirectly(message)) return result;
  ::SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, result);
  return TRUE;
}
