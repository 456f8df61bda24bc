#include "probe_dialogs.h"

#include <cstdarg>
#include <cstdio>

std::vector<std::string> g_log;

void Log(const char* format, ...) {
  char text[128];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  g_log.push_back(text);
}

namespace {
const UINT_PTR kScriptTimer = 100;
const UINT_PTR kWatchdogTimer = 101;
}  // namespace

BEGIN_MESSAGE_MAP(ProbeDialog, CDialog)
  ON_WM_TIMER()
  ON_WM_CLOSE()
  ON_BN_CLICKED(1016, OnBaseGray)
  ON_MESSAGE(WM_APP, OnAnswer)
END_MESSAGE_MAP()

BOOL ProbeDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  SetTimer(kScriptTimer, 10);
  SetTimer(kWatchdogTimer, 10000);
  return TRUE;
}

void ProbeDialog::DoDataExchange(CDataExchange* pDX) { exchanges.push_back(pDX->m_bSaveAndValidate); }

void ProbeDialog::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == kScriptTimer) {
    KillTimer(kScriptTimer);
    g_log.clear();
    if (script) script(*this);
  } else if (nIDEvent == kWatchdogTimer) {
    EndDialog(static_cast<int>(kTimedOut));
  } else {
    Log("OnTimer:%u", static_cast<unsigned>(nIDEvent));
  }
  CDialog::OnTimer(nIDEvent);
}

void ProbeDialog::OnClose() {
  Log("OnClose");
  if (passCloseOn) CDialog::OnClose();
}

void ProbeDialog::OnBaseGray() { Log("ProbeDialog::OnBaseGray"); }

LRESULT ProbeDialog::OnAnswer(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam) + 1; }

BEGIN_MESSAGE_MAP(ChannelProbe, ProbeDialog)
  ON_BN_CLICKED(1017, OnBinary)
  ON_BN_CLICKED(1016, OnGray)
  ON_CBN_SELCHANGE(1012, OnSelchangeResolution)
  ON_CBN_SELCHANGE(1013, OnSelchangeClock)
  ON_BN_CLICKED(1016, OnGrayAgain)
END_MESSAGE_MAP()

void ChannelProbe::DoDataExchange(CDataExchange* pDX) {
  ProbeDialog::DoDataExchange(pDX);
  DDX_Control(pDX, 1016, m_GrayCheck);
  DDX_Control(pDX, 1017, m_BinaryCheck);
  DDX_Control(pDX, 1013, m_ClockCombo);
  DDX_Control(pDX, 1012, m_ResolutionCombo);
}

void ChannelProbe::OnBinary() { Log("OnBinary"); }
void ChannelProbe::OnGray() { Log("OnGray"); }
void ChannelProbe::OnGrayAgain() { Log("OnGrayAgain"); }
void ChannelProbe::OnSelchangeResolution() { Log("OnSelchangeResolution"); }
void ChannelProbe::OnSelchangeClock() { Log("OnSelchangeClock"); }

BEGIN_MESSAGE_MAP(MainProbe, ProbeDialog)
  ON_WM_SYSCOMMAND()
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

MainProbe::MainProbe() : ProbeDialog(102) {
  m_hIcon = static_cast<HICON>(::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(128), IMAGE_ICON,
                                            0, 0, LR_DEFAULTSIZE));
}

void MainProbe::OnSysCommand(UINT nID, LPARAM lParam) {
  Log("OnSysCommand:%04X", nID);
  if ((nID & 0xFFF0) != 0x0010) CDialog::OnSysCommand(nID, lParam);
}

void MainProbe::OnPaint() {
  Log("OnPaint");
  CDialog::OnPaint();
}

HCURSOR MainProbe::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

void MainProbe::OnDestroy() {
  Log("OnDestroy");
  windowAliveInOnDestroy = ::IsWindow(m_hWnd) != FALSE;
  CDialog::OnDestroy();
}

BEGIN_MESSAGE_MAP(TestApp, CWinApp)
  ON_COMMAND(ID_HELP, OnHelpCommand)
END_MESSAGE_MAP()

void TestApp::OnHelpCommand() { Log("TestApp::OnHelp"); }
