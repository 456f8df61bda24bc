#include "demo_dlg.h"

#include <cstdio>

#include "about_dlg.h"
#include "channel_dlg.h"
#include "polling_cycle.h"
#include "protocol.h"
#include "resource.h"
#include "settings_store.h"

namespace {

const uint32_t kPollingTimerId = 1;
const uint32_t kPollingIntervalMs = 200;

// The polling cycle calls the card protocol built into the program directly.
const PollingCard kCard = {&GetSSIKovo, &GetInputs, &::SaveSettings};

}  // namespace

CDemoDlg::CDemoDlg(CWnd* pParent) : CDialog(IDD_MAIN, pParent) {
  m_hIcon = ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

void CDemoDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_POSITION4, m_PosEdit4);
  DDX_Control(pDX, IDC_POSITION3, m_PosEdit3);
  DDX_Control(pDX, IDC_POSITION2, m_PosEdit2);
  DDX_Control(pDX, IDC_POSITION1, m_PosEdit1);
  DDX_Control(pDX, IDC_ZERO_INPUT1, m_ZeroCheck1);
  DDX_Control(pDX, IDC_ZERO_INPUT4, m_ZeroCheck4);
  DDX_Control(pDX, IDC_ZERO_INPUT3, m_ZeroCheck3);
  DDX_Control(pDX, IDC_ZERO_INPUT2, m_ZeroCheck2);
  DDX_Control(pDX, IDC_OUTPUT6, m_OutCheck6);
  DDX_Control(pDX, IDC_OUTPUT5, m_OutCheck5);
  DDX_Control(pDX, IDC_OUTPUT4, m_OutCheck4);
  DDX_Control(pDX, IDC_OUTPUT3, m_OutCheck3);
  DDX_Control(pDX, IDC_OUTPUT2, m_OutCheck2);
  DDX_Control(pDX, IDC_OUTPUT1, m_OutCheck1);
}

// OK and Cancel are the dialog's own: Cancel ("Abbrechen", Esc, the close
// box) and OK (Enter with no push button focused) both end the program.
BEGIN_MESSAGE_MAP(CDemoDlg, CDialog)
  ON_WM_SYSCOMMAND()
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_BN_CLICKED(IDC_SETTINGS1, OnChannelSettings1)
  ON_BN_CLICKED(IDC_SETTINGS2, OnChannelSettings2)
  ON_BN_CLICKED(IDC_SETTINGS3, OnChannelSettings3)
  ON_BN_CLICKED(IDC_SETTINGS4, OnChannelSettings4)
  ON_WM_CLOSE()
  ON_WM_TIMER()
  ON_BN_CLICKED(IDC_OUTPUT1, OnOutputClicked)
  ON_BN_CLICKED(IDC_OUTPUT2, OnOutputClicked)
  ON_BN_CLICKED(IDC_OUTPUT3, OnOutputClicked)
  ON_BN_CLICKED(IDC_OUTPUT4, OnOutputClicked)
  ON_BN_CLICKED(IDC_OUTPUT5, OnOutputClicked)
  ON_BN_CLICKED(IDC_OUTPUT6, OnOutputClicked)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

BOOL CDemoDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  CMenu sysMenu = GetSystemMenu(FALSE);
  if (sysMenu.GetSafeHmenu() != NULL) {
    char about[256];
    if (::LoadStringA(AfxGetInstanceHandle(), IDS_ABOUTBOX, about, sizeof(about)) > 0) {
      sysMenu.AppendMenu(MF_SEPARATOR);
      sysMenu.AppendMenu(MF_STRING, IDM_ABOUTBOX, about);
    }
  }
  SetIcon(m_hIcon, TRUE);
  SetIcon(m_hIcon, FALSE);

  // Settings first: the card is configured from them right after its start.
  LoadSettings();
  InitSSIKovo();
  ConfSSIKovo(1, m_Channel1.Resolution, m_Channel1.ClockKHz, m_Channel1.CodeType);
  ConfSSIKovo(2, m_Channel2.Resolution, m_Channel2.ClockKHz, m_Channel2.CodeType);
  ConfSSIKovo(3, m_Channel3.Resolution, m_Channel3.ClockKHz, m_Channel3.CodeType);
  ConfSSIKovo(4, m_Channel4.Resolution, m_Channel4.ClockKHz, m_Channel4.CodeType);
  m_Position1 = 0;
  m_Position2 = 0;
  m_Position3 = 0;
  m_Position4 = 0;

  // The first cycle runs one interval from now; until then the position
  // fields stay empty.
  m_nTimerInterval = kPollingIntervalMs;
  m_nTimerId = kPollingTimerId;
  SetTimer(m_nTimerId, m_nTimerInterval, NULL);
  return TRUE;  // focus to the first tab stop, "Abbrechen"
}

// The About item and any command whose low bits fall in its range open the
// About dialog. The polling timer keeps running under it: its modal loop
// hands the ticks to this dialog.
void CDemoDlg::OnSysCommand(UINT nID, LPARAM lParam) {
  if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
    CAboutDlg dlgAbout;
    dlgAbout.DoModal();
  } else {
    CDialog::OnSysCommand(nID, lParam);
  }
}

// Minimised, the client area shows the program icon centred on an erased
// background.
void CDemoDlg::OnPaint() {
  if (IsIconic()) {
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = ::GetSystemMetrics(SM_CXICON);
    const int cyIcon = ::GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    const int x = (rect.Width() - cxIcon + 1) / 2;
    const int y = (rect.Height() - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
  } else {
    CDialog::OnPaint();
  }
}

// The cursor shown while the minimised window is dragged.
HCURSOR CDemoDlg::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(m_hIcon); }

void CDemoDlg::OnChannelSettings1() { EditChannel(1, m_Channel1); }
void CDemoDlg::OnChannelSettings2() { EditChannel(2, m_Channel2); }
void CDemoDlg::OnChannelSettings3() { EditChannel(3, m_Channel3); }
void CDemoDlg::OnChannelSettings4() { EditChannel(4, m_Channel4); }

// No polling cycle runs while the settings dialog is open: the cycle reads
// and may save the same records. The timer restarts whatever the outcome.
void CDemoDlg::EditChannel(uint8_t channel, ChannelSettings& record) {
  CChannelDlg dlg;
  KillTimer(m_nTimerId);
  dlg.SetChannelSettings(record);
  if (dlg.DoModal() == IDOK) {
    dlg.GetChannelSettings(record);
    ConfSSIKovo(channel, record.Resolution, record.ClockKHz, record.CodeType);
    SaveSettings();
  }
  SetTimer(m_nTimerId, m_nTimerInterval, NULL);
}

// One polling cycle per WM_TIMER, whatever its identifier.
void CDemoDlg::OnTimer(UINT_PTR nIDEvent) {
  ChannelRecords channels = {&m_Channel1, &m_Channel2, &m_Channel3, &m_Channel4};
  ShownPositions positions = {&m_Position1, &m_Position2, &m_Position3, &m_Position4};
  const uint8_t inputFlags = RunPollingStage(channels, positions, kCard);
  ShowPolledState(inputFlags);
  CDialog::OnTimer(nIDEvent);
}

// Every cycle sets all four texts and all four check states, changed or not.
void CDemoDlg::ShowPolledState(uint8_t inputFlags) {
  CEdit* const edits[kChannels] = {&m_PosEdit1, &m_PosEdit2, &m_PosEdit3, &m_PosEdit4};
  const int32_t positions[kChannels] = {m_Position1, m_Position2, m_Position3, m_Position4};
  for (int i = 0; i < kChannels; ++i) {
    char text[12];  // "-2147483648" and its NUL
    std::snprintf(text, sizeof(text), "%ld", static_cast<long>(positions[i]));
    edits[i]->SetWindowText(text);
  }
  CButton* const zeroChecks[kChannels] = {&m_ZeroCheck1, &m_ZeroCheck2, &m_ZeroCheck3,
                                          &m_ZeroCheck4};
  for (int i = 0; i < kChannels; ++i)
    zeroChecks[i]->SetCheck((inputFlags >> i) & 1 ? BST_CHECKED : BST_UNCHECKED);
}

// Any output box sends the state of all six to the card.
void CDemoDlg::OnOutputClicked() {
  CButton* const outChecks[] = {&m_OutCheck1, &m_OutCheck2, &m_OutCheck3,
                                &m_OutCheck4, &m_OutCheck5, &m_OutCheck6};
  uint8_t flags = 0;
  for (int i = 0; i < 6; ++i)
    if (outChecks[i]->GetCheck() == BST_CHECKED) flags = static_cast<uint8_t>(flags | (1 << i));
  SetOutputs(flags);
}

// The timer stops before the card is released, so no cycle reaches a
// released card; the release clears the outputs.
void CDemoDlg::OnDestroy() {
  CDialog::OnDestroy();
  KillTimer(m_nTimerId);
  DeInitSSIKovo();
}

void CDemoDlg::LoadSettings() {
  ChannelRecords channels = {&m_Channel1, &m_Channel2, &m_Channel3, &m_Channel4};
  ::LoadSettings(channels);
}

void CDemoDlg::SaveSettings() {
  ChannelRecords channels = {&m_Channel1, &m_Channel2, &m_Channel3, &m_Channel4};
  ::SaveSettings(channels);
}
