#include <fw/dialog.h>

namespace fw {

void PlaceDialog(HWND hDlg) {
  if (::GetWindowLongA(hDlg, GWL_STYLE) & DS_CENTER) return;  // the system has centred it

  RECT dialog;
  ::GetWindowRect(hDlg, &dialog);
  MONITORINFO monitor;
  monitor.cbSize = sizeof monitor;
  HWND owner = ::GetWindow(hDlg, GW_OWNER);
  ::GetMonitorInfoA(::MonitorFromWindow(owner != NULL ? owner : hDlg, MONITOR_DEFAULTTOPRIMARY),
                    &monitor);
  const RECT& work = monitor.rcWork;

  RECT centreOn = work;
  if (owner != NULL && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &centreOn);

  const int width = dialog.right - dialog.left;
  const int height = dialog.bottom - dialog.top;
  int x = centreOn.left + (centreOn.right - centreOn.left - width) / 2;
  int y = centreOn.top + (centreOn.bottom - centreOn.top - height) / 2;
  // Keep it on the work area; the top left corner wins when it is too big.
  if (x + width > work.right) x = work.right - width;
  if (y + height > work.bottom) y = work.bottom - height;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  ::SetWindowPos(hDlg, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace fw
