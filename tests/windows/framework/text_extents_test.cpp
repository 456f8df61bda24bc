// Every text of the demo's three dialogs fits its control, measured in the
// dialogs themselves with the fonts they got: static texts, check boxes,
// push buttons and group boxes from the templates, the list items of the
// settings dialog, the largest position in the position fields, the
// captions, and the About item of the system menu. A text fits when its
// extent, plus what the control draws beside it, is no wider than the
// control and its font no taller; each of its characters must have a glyph.
// Prints one line per text ("needed of available px") for the record.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "../check.h"
#include "probe_dialogs.h"

namespace {

TestApp theApp;

// What a control draws beside its text, in pixels at 96 dpi: the frame and
// focus rectangle of a push button, the box and gap of a check box, the
// frame and margins of an edit field, the drop-down button of a list, the
// line and gaps before a group box's title.
const int kPushButtonFrame = 6;
const int kCheckBox = 13 + 4;
const int kEditFrame = 2 * 2 + 2 * 2;
const int kGroupBoxIndent = 2 * 8;

// The text as drawn: without the '&' of a mnemonic (a doubled one stays).
std::string Drawn(const std::string& text, bool prefix) {
  if (!prefix) return text;
  std::string shown;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    shown += text[i];
  }
  return shown;
}

struct Measure {
  int width, height;
  bool glyphs;  // every character has a glyph in the font
};

Measure Extent(HFONT font, const std::string& text) {
  HDC dc = ::GetDC(NULL);
  HGDIOBJ old = ::SelectObject(dc, font ? font : ::GetStockObject(SYSTEM_FONT));
  SIZE size = {0, 0};
  ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  TEXTMETRICA metrics;
  ::GetTextMetricsA(dc, &metrics);
  // Characters to glyph indices: a missing glyph comes back as 0xFFFF.
  wchar_t wide[128];
  const int n = ::MultiByteToWideChar(1252, 0, text.c_str(), static_cast<int>(text.size()), wide, 128);
  std::vector<WORD> glyphs(n > 0 ? n : 1);
  bool all = n >= 0 &&
             ::GetGlyphIndicesW(dc, wide, n, glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS) != GDI_ERROR;
  for (int i = 0; i < n; ++i) all = all && glyphs[i] != 0xFFFF;
  ::SelectObject(dc, old);
  ::ReleaseDC(NULL, dc);
  return Measure{size.cx, metrics.tmHeight, all};
}

// The family of the font drawn, which for a substituted face is not the
// name asked for.
std::string FaceName(HFONT font) {
  HDC dc = ::GetDC(NULL);
  HGDIOBJ old = ::SelectObject(dc, font);
  std::string face = "?";
  const UINT size = ::GetOutlineTextMetricsA(dc, 0, NULL);
  if (size > 0) {
    std::vector<char> buffer(size);
    OUTLINETEXTMETRICA* metrics = reinterpret_cast<OUTLINETEXTMETRICA*>(buffer.data());
    if (::GetOutlineTextMetricsA(dc, size, metrics))
      face = buffer.data() + reinterpret_cast<UINT_PTR>(metrics->otmpFamilyName);
  }
  ::SelectObject(dc, old);
  ::ReleaseDC(NULL, dc);
  return face;
}

// One text against the room its control gives it.
void Fits(const char* where, const std::string& text, HFONT font, int extra, int width, int height) {
  const Measure m = Extent(font, text);
  printf("  %-8s %-28s %3d of %3d px wide, %2d of %2d px high\n", where, ("\"" + text + "\"").c_str(),
         m.width + extra, width, m.height, height);
  CHECK(m.width + extra <= width, "%s \"%s\": %d px needed, %d px there", where, text.c_str(),
        m.width + extra, width);
  CHECK(height < 0 || m.height <= height, "%s \"%s\": font %d px high, %d px there", where, text.c_str(),
        m.height, height);
  CHECK(m.glyphs, "%s \"%s\": a character without a glyph in %s", where, text.c_str(), FaceName(font).c_str());
}

std::string ClassOf(HWND item) {
  char name[32] = "";
  ::GetClassNameA(item, name, sizeof name);
  return name;
}

std::string TextOf(HWND item) {
  char text[128] = "";
  ::GetWindowTextA(item, text, sizeof text);
  return text;
}

// Every item of a dialog with a text of its own, by the kind of control.
void CheckItems(HWND dialog, const char* name) {
  const HFONT font = reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
  printf("%s, font %s\n", name, FaceName(font).c_str());
  for (HWND item = ::GetWindow(dialog, GW_CHILD); item; item = ::GetWindow(item, GW_HWNDNEXT)) {
    RECT client;
    ::GetClientRect(item, &client);
    const int width = client.right, height = client.bottom;
    const LONG style = ::GetWindowLongA(item, GWL_STYLE);
    const std::string kind = ClassOf(item), text = TextOf(item);
    char where[16];
    std::snprintf(where, sizeof where, "item %d", static_cast<short>(::GetDlgCtrlID(item)));
    if (kind == "Static") {
      if ((style & SS_TYPEMASK) == SS_BITMAP) continue;
      Fits(where, Drawn(text, !(style & SS_NOPREFIX)), font, 0, width, height);
    } else if (kind == "Button") {
      switch (style & BS_TYPEMASK) {
        case BS_GROUPBOX: Fits(where, Drawn(text, true), font, kGroupBoxIndent, width, -1); break;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX: Fits(where, Drawn(text, true), font, kCheckBox, width, height); break;
        default: Fits(where, Drawn(text, true), font, kPushButtonFrame, width, height); break;
      }
    } else if (kind == "Edit") {
      // The largest position of a 25-bit channel.
      Fits(where, "33554431", font, kEditFrame, width, height);
    } else if (kind == "ComboBox") {
      const int count = static_cast<int>(::SendMessageA(item, CB_GETCOUNT, 0, 0));
      CHECK(count > 0, "%s: an empty list", where);
      for (int i = 0; i < count; ++i) {
        char entry[16] = "";
        if (::SendMessageA(item, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof entry))
          ::SendMessageA(item, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry));
        Fits(where, entry, font, ::GetSystemMetrics(SM_CXVSCROLL) + kEditFrame, width, -1);
      }
    } else {
      CHECK(false, "%s: a control of class %s that this test does not know", where, kind.c_str());
    }
  }
}

// The caption beside the icon and the close button, in the caption font.
void CheckCaption(HWND dialog) {
  NONCLIENTMETRICSA metrics;
  metrics.cbSize = sizeof metrics;
  ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = ::CreateFontIndirectA(&metrics.lfCaptionFont);
  RECT window;
  ::GetWindowRect(dialog, &window);
  const int buttons = ::GetSystemMetrics(SM_CXSMICON) + ::GetSystemMetrics(SM_CXSIZE) + 4 * 4;
  Fits("caption", TextOf(dialog), font, buttons, window.right - window.left, ::GetSystemMetrics(SM_CYCAPTION));
  ::DeleteObject(font);
}

// The About item as the system menu shows it, in the menu font. A menu is as
// wide as its widest item, so only its glyphs and its height can fail.
void CheckAboutItem(HWND dialog) {
  char text[64] = "";
  ::LoadStringA(AfxGetInstanceHandle(), 101, text, sizeof text);
  CMenu menu(::GetSystemMenu(dialog, FALSE));
  menu.AppendMenu(MF_SEPARATOR);
  menu.AppendMenu(MF_STRING, 0x0010, text);
  NONCLIENTMETRICSA metrics;
  metrics.cbSize = sizeof metrics;
  ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = ::CreateFontIndirectA(&metrics.lfMenuFont);
  Fits("menu", Drawn(text, true), font, 0, 1 << 16, ::GetSystemMetrics(SM_CYMENU));
  ::DeleteObject(font);
}

void Run(ProbeDialog& dialog, const char* name, bool aboutItem) {
  dialog.script = [name, aboutItem](ProbeDialog& d) {
    CheckItems(d.m_hWnd, name);
    CheckCaption(d.m_hWnd);
    if (aboutItem) CheckAboutItem(d.m_hWnd);
    d.EndDialog(IDOK);
  };
  CHECK(dialog.DoModal() == IDOK, "%s ran", name);
}

}  // namespace

BOOL TestApp::InitInstance() {
  MainProbe main;
  Run(main, "main dialog (102)", true);
  ChannelProbe channel;
  Run(channel, "channel settings (133)", false);
  ProbeDialog about(100);
  Run(about, "About (100)", false);
  return FALSE;
}

int TestApp::ExitInstance() { return check_result("text extents"); }
