#include "channel_dlg.h"

#include <cstdio>

#include "resource.h"

namespace {

// The lists' items, index 0 first, as the template's list data adds them.
// The handlers map a selection by index; they never read the item text.
const uint8_t kResolutionTop = 25;  // item i is 25 - i bits
const int kResolutionItems = 16;
const uint16_t kClockItems[] = {1000, 500, 400, 200, 100, 50};
const int kClockItemCount = sizeof(kClockItems) / sizeof(kClockItems[0]);

// Selects the item whose text is exactly the number; none when no item is.
void SelectNumber(CComboBox& list, int number) {
  char text[12];
  std::snprintf(text, sizeof(text), "%d", number);
  list.SetCurSel(list.FindStringExact(-1, text));
}

}  // namespace

CChannelDlg::CChannelDlg(CWnd* pParent) : CDialog(IDD_CHANNEL, pParent) {}

void CChannelDlg::SetChannelSettings(const ChannelSettings& channel) {
  m_pszName = channel.Name;
  m_nResolution = channel.Resolution;
  m_nClock = channel.ClockKHz;
  m_nCodeType = channel.CodeType;
}

void CChannelDlg::GetChannelSettings(ChannelSettings& channel) const {
  channel.Resolution = m_nResolution;
  channel.ClockKHz = m_nClock;
  channel.CodeType = m_nCodeType;
}

void CChannelDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_GRAY, m_GrayCheck);
  DDX_Control(pDX, IDC_BINARY, m_BinaryCheck);
  DDX_Control(pDX, IDC_CLOCK, m_ClockCombo);
  DDX_Control(pDX, IDC_RESOLUTION, m_ResolutionCombo);
}

// WM_TIMER gets nothing but the default handling: the dialog starts no timer,
// and the main dialog's timer is stopped while this one is open.
BEGIN_MESSAGE_MAP(CChannelDlg, CDialog)
  ON_BN_CLICKED(IDC_BINARY, OnBinary)
  ON_BN_CLICKED(IDC_GRAY, OnGray)
  ON_CBN_SELCHANGE(IDC_RESOLUTION, OnSelchangeResolution)
  ON_CBN_SELCHANGE(IDC_CLOCK, OnSelchangeClock)
  ON_WM_TIMER()
  ON_WM_CLOSE()
END_MESSAGE_MAP()

BOOL CChannelDlg::OnInitDialog() {
  CDialog::OnInitDialog();  // fills the lists, binds the wrappers
  SetWindowText(m_pszName);
  // A stored value that is not in its list (250 kHz, say) shows no
  // selection and stays as it is unless the user picks an item.
  SelectNumber(m_ResolutionCombo, m_nResolution);
  SelectNumber(m_ClockCombo, m_nClock);
  // Any code type but 0 shows as binary.
  m_GrayCheck.SetCheck(m_nCodeType == 0 ? BST_CHECKED : BST_UNCHECKED);
  m_BinaryCheck.SetCheck(m_nCodeType == 0 ? BST_UNCHECKED : BST_CHECKED);
  return TRUE;  // focus to the first tab stop, the resolution list
}

// The two automatic check boxes work as a pair of radio buttons: the click
// has toggled the box already; set both, so that a click on the box that is
// checked leaves it checked.
void CChannelDlg::OnBinary() {
  m_nCodeType = 1;
  m_GrayCheck.SetCheck(BST_UNCHECKED);
  m_BinaryCheck.SetCheck(BST_CHECKED);
}

void CChannelDlg::OnGray() {
  m_nCodeType = 0;
  m_GrayCheck.SetCheck(BST_CHECKED);
  m_BinaryCheck.SetCheck(BST_UNCHECKED);
}

void CChannelDlg::OnSelchangeResolution() {
  const int index = m_ResolutionCombo.GetCurSel();
  if (index >= 0 && index < kResolutionItems)
    m_nResolution = static_cast<uint8_t>(kResolutionTop - index);
}

void CChannelDlg::OnSelchangeClock() {
  const int index = m_ClockCombo.GetCurSel();
  if (index >= 0 && index < kClockItemCount) m_nClock = kClockItems[index];
}
