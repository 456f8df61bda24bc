#include <fw/data_exchange.h>

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  rControl.m_hWnd = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
}
