// The initial list contents of a dialog template live in a resource of type
// 240 with the template's number: records of item identifier (WORD), message
// (WORD), text length including its NUL (DWORD) and the ANSI text, with no
// padding, ended by an identifier of 0.
#include <fw/dialog.h>

#include <cstring>

namespace fw {

namespace {

const WORD kInitialDataType = 240;
// The record's message numbers are those of 16-bit Windows.
const WORD kComboAddString = 0x0403;

WORD ReadWord(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }
DWORD ReadDword(const BYTE* p) { return ReadWord(p) | (static_cast<DWORD>(ReadWord(p + 2)) << 16); }

}  // namespace

void AddInitialListData(HWND hDlg, UINT nIDTemplate) {
  HMODULE module = ::GetModuleHandleA(NULL);
  HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(nIDTemplate), MAKEINTRESOURCEA(kInitialDataType));
  if (found == NULL) return;
  HGLOBAL loaded = ::LoadResource(module, found);
  const BYTE* data = loaded != NULL ? static_cast<const BYTE*>(::LockResource(loaded)) : NULL;
  if (data == NULL) return;
  const BYTE* const end = data + ::SizeofResource(module, found);

  const size_t kHeader = 2 + 2 + 4;
  while (static_cast<size_t>(end - data) >= 2) {
    const WORD item = ReadWord(data);
    if (item == 0) break;
    if (static_cast<size_t>(end - data) < kHeader) break;
    const WORD message = ReadWord(data + 2);
    const DWORD length = ReadDword(data + 4);
    const BYTE* text = data + kHeader;
    if (length == 0 || length > static_cast<size_t>(end - text) || text[length - 1] != 0) break;
    if (message == kComboAddString)
      ::SendDlgItemMessageA(hDlg, item, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    data = text + length;
  }
}

}  // namespace fw
