// The main dialog. It holds everything of a run: the four channel records,
// the four shown positions, the polling timer and the card, which it
// initialises when it opens and releases when it is destroyed.
#pragma once

#include <cstdint>

#include <fw/framework.h>

#include "channel_settings.h"

class CDemoDlg : public CDialog {
 public:
  explicit CDemoDlg(CWnd* pParent = NULL);

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;

  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();
  void OnChannelSettings1();
  void OnChannelSettings2();
  void OnChannelSettings3();
  void OnChannelSettings4();
  void OnTimer(UINT_PTR nIDEvent);
  void OnOutputClicked();
  void OnDestroy();

  CEdit m_PosEdit4;
  CEdit m_PosEdit3;
  CEdit m_PosEdit2;
  CEdit m_PosEdit1;
  CButton m_ZeroCheck1;
  CButton m_ZeroCheck4;
  CButton m_ZeroCheck3;
  CButton m_ZeroCheck2;
  CButton m_OutCheck6;
  CButton m_OutCheck5;
  CButton m_OutCheck4;
  CButton m_OutCheck3;
  CButton m_OutCheck2;
  CButton m_OutCheck1;
  HICON m_hIcon;
  uint32_t m_nTimerInterval;  // polling interval, ms
  uint32_t m_nTimerId;
  int32_t m_Position4;
  int32_t m_Position3;
  int32_t m_Position2;
  int32_t m_Position1;
  ChannelSettings m_Channel4;
  ChannelSettings m_Channel3;
  ChannelSettings m_Channel2;
  ChannelSettings m_Channel1;

 private:
  void LoadSettings();
  void SaveSettings();
  // Runs channel n's settings dialog with polling stopped; applies and
  // saves the new values on OK only.
  void EditChannel(uint8_t channel, ChannelSettings& record);
  // The second stage of the polling cycle: positions and input states shown.
  void ShowPolledState(uint8_t inputFlags);

  DECLARE_MESSAGE_MAP()
};
