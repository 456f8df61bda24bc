// Dialogs of the framework tests: they run from the demo program's templates
// and record, in one shared log, which handlers their message maps reached.
// Each runs a test script from its first timer tick, inside its own modal
// loop, and ends itself after a while should the script leave it open.
#pragma once

#include <fw/framework.h>

#include <functional>
#include <string>
#include <vector>

extern std::vector<std::string> g_log;
void Log(const char* format, ...);

const INT_PTR kTimedOut = 999;

class ProbeDialog : public CDialog {
 public:
  ProbeDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL) : CDialog(nIDTemplate, pParentWnd) {}

  std::function<void(ProbeDialog&)> script;
  std::vector<BOOL> exchanges;   // bSaveAndValidate of each DoDataExchange
  bool passCloseOn = true;       // OnClose hands WM_CLOSE to the default handling

  using CWnd::m_hWnd;
  using CDialog::EndDialog;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnTimer(UINT_PTR nIDEvent);
  void OnClose();
  void OnBaseGray();
  LRESULT OnAnswer(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()
};

// Template 133, bound as the channel settings dialog binds it.
class ChannelProbe : public ProbeDialog {
 public:
  ChannelProbe() : ProbeDialog(133) {}

  CButton m_GrayCheck;
  CButton m_BinaryCheck;
  CComboBox m_ClockCombo;
  CComboBox m_ResolutionCombo;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void OnBinary();
  void OnGray();
  void OnGrayAgain();
  void OnSelchangeResolution();
  void OnSelchangeClock();

  DECLARE_MESSAGE_MAP()
};

// Template 102 with the main dialog's system menu, paint and icon handlers.
class MainProbe : public ProbeDialog {
 public:
  MainProbe();

  HICON m_hIcon;
  bool windowAliveInOnDestroy = false;

 protected:
  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();
  void OnDestroy();

  DECLARE_MESSAGE_MAP()
};

// The application object of the test program; its InitInstance runs the tests.
class TestApp : public CWinApp {
 public:
  BOOL InitInstance() override;
  int ExitInstance() override;

 protected:
  void OnHelpCommand();

  DECLARE_MESSAGE_MAP()
};
