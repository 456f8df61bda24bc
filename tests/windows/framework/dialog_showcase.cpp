// Not a test: opens the main dialog, the channel settings dialog and the
// About dialog side by side, with the main dialog's system menu popped up, so
// that a screenshot shows their layout. Everything closes after 25 seconds.
#include "probe_dialogs.h"

namespace {

TestApp theApp;

void Move(HWND hWnd, int x, int y) { ::SetWindowPos(hWnd, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER); }

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) { ::EndMenu(); }

}  // namespace

BOOL TestApp::InitInstance() {
  MainProbe main;
  m_pMainWnd = &main;
  main.script = [](ProbeDialog& m) {
    // The main dialog stays centred: with no window manager, Wine does not
    // move a window that has a task bar button.
    char text[64] = "";
    ::LoadStringA(AfxGetInstanceHandle(), 101, text, sizeof text);
    CMenu sysMenu = m.GetSystemMenu(FALSE);
    sysMenu.AppendMenu(MF_SEPARATOR);
    sysMenu.AppendMenu(MF_STRING, 0x0010, text);
    m.SetIcon(static_cast<MainProbe&>(m).m_hIcon, TRUE);
    m.SetDlgItemText(1010, "1234567");
    m.SendDlgItemMessage(1002, BM_SETCHECK, BST_CHECKED);
    m.SendDlgItemMessage(1009, BM_SETCHECK, BST_CHECKED);

    ChannelProbe channel;
    channel.script = [&m](ProbeDialog& d) {
      ChannelProbe& c = static_cast<ChannelProbe&>(d);
      Move(c.m_hWnd, 20, 20);
      c.SetWindowText("SSI 1");
      c.m_ResolutionCombo.SetCurSel(c.m_ResolutionCombo.FindStringExact(-1, "25"));
      c.m_ClockCombo.SetCurSel(c.m_ClockCombo.FindStringExact(-1, "100"));
      c.m_GrayCheck.SetCheck(BST_CHECKED);

      ProbeDialog about(100);
      about.script = [&m](ProbeDialog& a) {
        Move(a.m_hWnd, 700, 20);
        ::SetTimer(NULL, 0, 25000, CloseMenu);
        ::TrackPopupMenu(::GetSystemMenu(m.m_hWnd, FALSE), TPM_LEFTALIGN, 20, 540, 0, a.m_hWnd, NULL);
        a.EndDialog(IDOK);
      };
      about.DoModal();
      c.EndDialog(IDOK);
    };
    channel.DoModal();
    m.EndDialog(IDCANCEL);
  };
  main.DoModal();
  m_pMainWnd = NULL;
  return FALSE;
}

int TestApp::ExitInstance() { return 0; }
