#include "demo_app.h"

#include "demo_dlg.h"

// The program's one application object.
CDemoApp theApp;

BEGIN_MESSAGE_MAP(CDemoApp, CWinApp)
  ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CDemoApp::CDemoApp() {}

CDemoApp::~CDemoApp() {}

BOOL CDemoApp::InitInstance() {
  Enable3dControlsStatic();
  CDemoDlg dlg;
  m_pMainWnd = &dlg;
  dlg.DoModal();
  // FALSE: the program ends here instead of starting a message loop.
  return FALSE;
}
