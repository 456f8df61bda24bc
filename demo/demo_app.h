// The application object: runs the main dialog modally and ends the program
// when it closes. The program has no main frame and no message loop of its own.
#pragma once

#include <fw/framework.h>

class CDemoApp : public CWinApp {
 public:
  CDemoApp();
  ~CDemoApp() override;

  BOOL InitInstance() override;

  DECLARE_MESSAGE_MAP()
};
