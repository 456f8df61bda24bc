// The settings dialog of one channel: resolution, SSI clock and code type.
// It edits private copies; the main dialog takes them over only on OK.
#pragma once

#include <cstdint>

#include <fw/framework.h>

#include "channel_settings.h"

class CChannelDlg : public CDialog {
 public:
  explicit CChannelDlg(CWnd* pParent = NULL);

  // Copies name, resolution, clock and code type; the offset stays out.
  void SetChannelSettings(const ChannelSettings& channel);
  // Writes back resolution, clock and code type; name and offset stay.
  void GetChannelSettings(ChannelSettings& channel) const;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;

  void OnBinary();
  void OnGray();
  void OnSelchangeResolution();
  void OnSelchangeClock();

  CButton m_GrayCheck;
  CButton m_BinaryCheck;
  CComboBox m_ClockCombo;
  CComboBox m_ResolutionCombo;
  uint16_t m_nClock;
  const char* m_pszName;  // the caller's record's name; not owned
  uint8_t m_nResolution;
  uint8_t m_nCodeType;

  DECLARE_MESSAGE_MAP()
};
