#include <fw/wnd.h>

#include <fw/win_app.h>

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  bool defaultWanted = false;
  bool* const outer = m_pbDefaultWanted;  // a handler may run a modal loop that dispatches again
  m_pbDefaultWanted = &defaultWanted;
  bool handled = DispatchToMap(message, wParam, lParam, pResult);
  m_pbDefaultWanted = outer;
  if (!handled && message == WM_COMMAND) {
    CWinApp* app = AfxGetApp();
    if (app != NULL) handled = app->DispatchToMap(message, wParam, lParam, pResult);
  }
  return handled && !defaultWanted;
}

LRESULT CWnd::Default() {
  if (m_pbDefaultWanted != NULL) *m_pbDefaultWanted = true;
  return 0;
}

void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnPaint() { Default(); }
HCURSOR CWnd::OnQueryDragIcon() {
  Default();
  return NULL;
}
void CWnd::OnClose() { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnDestroy() { Default(); }
