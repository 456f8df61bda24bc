// The application object and the program's entry point. They share this file
// on purpose: a program's global application object refers to the
// constructor, which brings the entry point into the link with it.
#include <fw/win_app.h>

namespace {
CWinApp* g_app = NULL;
}

CWinApp::CWinApp(LPCSTR) : m_pMainWnd(NULL) { g_app = this; }

CWinApp::~CWinApp() {
  if (g_app == this) g_app = NULL;
}

BOOL CWinApp::InitInstance() { return FALSE; }

int CWinApp::ExitInstance() { return 0; }

void CWinApp::OnHelp() {
  HWND owner = m_pMainWnd != NULL ? m_pMainWnd->m_hWnd : NULL;
  ::MessageBoxA(owner, "No help is available for this program.", "Help",
                MB_OK | MB_ICONINFORMATION);
}

CWinApp* AfxGetApp() { return g_app; }

HINSTANCE AfxGetInstanceHandle() { return ::GetModuleHandleA(NULL); }

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  CWinApp* app = AfxGetApp();
  if (app == NULL) return 1;
  app->InitInstance();
  return app->ExitInstance();
}
