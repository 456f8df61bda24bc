// The application object. A program defines exactly one, as a global; the
// program's entry point, which the framework supplies, runs its InitInstance.
#pragma once

#include <windows.h>

#include <fw/message_target.h>
#include <fw/wnd.h>

// The help command, sent when the user asks for help (F1 in a dialog).
#define ID_HELP 0xE146

class CWinApp : public CMessageTarget {
 public:
  // There is no application name; the parameter only keeps the usual form.
  explicit CWinApp(LPCSTR lpszAppName = NULL);
  ~CWinApp() override;

  // Called once at start-up. A dialog program runs its main dialog modally
  // here and returns FALSE: the framework has no message loop of its own, so
  // the program ends when InitInstance returns, whatever it returns.
  virtual BOOL InitInstance();
  // Called after InitInstance; its result is the program's exit code.
  virtual int ExitInstance();

  // The 3-D look of dialogs and their controls is the system's own since
  // Windows 95 and NT 4.0; nothing needs to be switched on. Always TRUE.
  BOOL Enable3dControlsStatic() { return TRUE; }

  // The handler a program binds to ID_HELP. No help file belongs to the
  // program, so it says so in a message box over the main window.
  void OnHelp();

  CWnd* m_pMainWnd;
};

// The one application object, or NULL before it is constructed.
CWinApp* AfxGetApp();
// The program's module, where its resources are.
HINSTANCE AfxGetInstanceHandle();
