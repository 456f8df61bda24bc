// The About dialog, opened from the main dialog's system menu.
#pragma once

#include <fw/framework.h>

class CAboutDlg : public CDialog {
 public:
  CAboutDlg();

 protected:
  void DoDataExchange(CDataExchange* pDX) override;

  DECLARE_MESSAGE_MAP()
};
