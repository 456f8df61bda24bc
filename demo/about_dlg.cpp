#include "about_dlg.h"

#include "resource.h"

// No parent: the framework places it over the main window.
CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

// Nothing to bind: the dialog only shows its template.
void CAboutDlg::DoDataExchange(CDataExchange* pDX) { CDialog::DoDataExchange(pDX); }

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
END_MESSAGE_MAP()
