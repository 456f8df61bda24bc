// The dialog framework over the demo program's own resources, under Wine:
// modal runs and their end codes, list data and DDX_Control, message-map
// routing, default handling, placement, and the About item's text.
#include <cstdlib>
#include <cstring>

#include "../check.h"
#include "probe_dialogs.h"

namespace {

TestApp theApp;

typedef std::vector<std::string> Lines;

std::string Join(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : ",") + line;
  return text;
}

std::vector<std::string> ListItems(CComboBox& combo) {
  std::vector<std::string> items;
  for (int i = 0; i < combo.GetCount(); ++i) {
    char text[16] = "";
    if (combo.GetLBTextLen(i) < static_cast<int>(sizeof text)) combo.GetLBText(i, text);
    items.push_back(text);
  }
  return items;
}

POINT Centre(HWND hWnd) {
  RECT r;
  ::GetWindowRect(hWnd, &r);
  POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  return p;
}

bool Near(POINT a, POINT b) { return std::abs(a.x - b.x) <= 1 && std::abs(a.y - b.y) <= 1; }

void PostKey(UINT vk) {
  HWND focus = ::GetFocus();
  ::PostMessageA(focus, WM_KEYDOWN, vk, 1);
  ::PostMessageA(focus, WM_KEYUP, vk, 0xC0000001);
}

// The channel dialog as it opens: its lists hold the template's data in
// order, the wrappers are bound, the first tab stop has the focus. Without a
// main window it has no owner and sits centred on the screen.
void ChannelDialogOpens() {
  ChannelProbe dlg;
  dlg.script = [](ProbeDialog& d) {
    ChannelProbe& c = static_cast<ChannelProbe&>(d);
    const struct {
      CWnd& wrapper;
      int id;
    } bindings[] = {{c.m_GrayCheck, 1016}, {c.m_BinaryCheck, 1017}, {c.m_ClockCombo, 1013},
                    {c.m_ResolutionCombo, 1012}};
    for (const auto& b : bindings)
      CHECK(b.wrapper.m_hWnd != NULL && b.wrapper.m_hWnd == ::GetDlgItem(c.m_hWnd, b.id), "item %d", b.id);

    const Lines resolutions = {"25", "24", "23", "22", "21", "20", "19", "18",
                               "17", "16", "15", "14", "13", "12", "11", "10"};
    const Lines clocks = {"1000", "500", "400", "200", "100", "50"};
    CHECK(ListItems(c.m_ResolutionCombo) == resolutions, "resolution list: %s",
          Join(ListItems(c.m_ResolutionCombo)).c_str());
    CHECK(ListItems(c.m_ClockCombo) == clocks, "clock list: %s", Join(ListItems(c.m_ClockCombo)).c_str());
    CHECK(c.m_ResolutionCombo.GetCurSel() == CB_ERR, "no selection before the program makes one");
    CHECK(c.m_ResolutionCombo.FindStringExact(-1, "10") == 15, "\"10\" is the last resolution");
    CHECK(c.m_ClockCombo.FindStringExact(-1, "250") == CB_ERR, "250 kHz is not in the list");

    CHECK(::GetFocus() == c.m_ResolutionCombo.m_hWnd, "focus on the resolution list");
    CHECK(::GetWindow(c.m_hWnd, GW_OWNER) == NULL, "no owner without a main window");
    MONITORINFO m;
    m.cbSize = sizeof m;
    ::GetMonitorInfoA(::MonitorFromWindow(c.m_hWnd, MONITOR_DEFAULTTOPRIMARY), &m);
    POINT screenCentre = {(m.rcWork.left + m.rcWork.right) / 2, (m.rcWork.top + m.rcWork.bottom) / 2};
    CHECK(Near(Centre(c.m_hWnd), screenCentre), "centred on the screen");
    char caption[32] = "";
    c.GetWindowText(caption, sizeof caption);
    CHECK(std::strcmp(caption, "Config") == 0, "caption %s", caption);
    c.EndDialog(IDCANCEL);
  };
  CHECK(dlg.DoModal() == IDCANCEL, "channel dialog run");
  CHECK(dlg.exchanges == std::vector<BOOL>{FALSE}, "one exchange towards the items at the start");
  CHECK(dlg.m_hWnd == NULL, "no window handle after the run");
}

// Every way of ending a dialog gives its end code; only OK exchanges data
// back from the items.
void EndCodes() {
  const struct {
    const char* how;
    void (*end)(ProbeDialog&);
    INT_PTR code;
    std::vector<BOOL> exchanges;
  } cases[] = {
      {"OK button", [](ProbeDialog& d) { ::SendMessageA(::GetDlgItem(d.m_hWnd, IDOK), BM_CLICK, 0, 0); },
       IDOK, {FALSE, TRUE}},
      {"Enter", [](ProbeDialog&) { PostKey(VK_RETURN); }, IDOK, {FALSE, TRUE}},
      {"Cancel button",
       [](ProbeDialog& d) { ::SendMessageA(::GetDlgItem(d.m_hWnd, IDCANCEL), BM_CLICK, 0, 0); }, IDCANCEL,
       {FALSE}},
      {"Esc", [](ProbeDialog&) { PostKey(VK_ESCAPE); }, IDCANCEL, {FALSE}},
      {"close box", [](ProbeDialog& d) { ::PostMessageA(d.m_hWnd, WM_CLOSE, 0, 0); }, IDCANCEL, {FALSE}},
      {"system menu Close",
       [](ProbeDialog& d) { ::PostMessageA(d.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL, {FALSE}},
  };
  for (const auto& c : cases) {
    ChannelProbe dlg;
    dlg.script = c.end;
    INT_PTR code = dlg.DoModal();
    CHECK(code == c.code, "%s: end code %d", c.how, static_cast<int>(code));
    CHECK(dlg.exchanges == c.exchanges, "%s: %u exchanges", c.how, static_cast<unsigned>(dlg.exchanges.size()));
  }
}

// WM_CLOSE reaches OnClose; only when the handler passes it on does the
// dialog's default handling turn it into Cancel.
void CloseGoesThroughOnClose() {
  ChannelProbe dlg;
  dlg.script = [](ProbeDialog& d) {
    d.passCloseOn = false;
    d.SendMessage(WM_CLOSE);
    MSG pending;
    CHECK(!::PeekMessageA(&pending, d.m_hWnd, WM_COMMAND, WM_COMMAND, PM_NOREMOVE),
          "a swallowed WM_CLOSE issues no command");
    d.passCloseOn = true;
    d.SendMessage(WM_CLOSE);
    CHECK(Join(g_log) == "OnClose,OnClose", "log %s", Join(g_log).c_str());
  };
  CHECK(dlg.DoModal() == IDCANCEL, "WM_CLOSE passed on gives IDCANCEL");
}

// Commands and notifications reach the handler of the first entry that takes
// them: the class's own table in table order, then its base class's, then the
// application's; the notification code tells a click from a selection.
void Routing() {
  ChannelProbe dlg;
  dlg.script = [](ProbeDialog& d) {
    const struct {
      int id;
      int code;
      bool fromItem;
      const char* handlers;
    } cases[] = {
        {1017, BN_CLICKED, true, "OnBinary"},
        {1016, BN_CLICKED, true, "OnGray"},  // not the later entry, nor the base class's
        {1012, CBN_SELCHANGE, true, "OnSelchangeResolution"},
        {1013, CBN_SELCHANGE, true, "OnSelchangeClock"},
        {1012, CBN_DROPDOWN, true, ""},
        {1016, CBN_SELCHANGE, true, ""},  // code 1 from an item is no command
        {1013, BN_CLICKED, true, ""},
        {1011, BN_CLICKED, false, ""},
        {ID_HELP, 0, false, "TestApp::OnHelp"},  // menu command, on to the application
        {ID_HELP, 1, false, "TestApp::OnHelp"},  // accelerator
    };
    for (const auto& c : cases) {
      g_log.clear();
      HWND from = c.fromItem ? ::GetDlgItem(d.m_hWnd, c.id) : NULL;
      d.SendMessage(WM_COMMAND, MAKEWPARAM(c.id, c.code), reinterpret_cast<LPARAM>(from));
      CHECK(Join(g_log) == c.handlers, "id %d code %d: got [%s]", c.id, c.code, Join(g_log).c_str());
    }

    ChannelProbe& ch = static_cast<ChannelProbe&>(d);
    g_log.clear();
    ::SendMessageA(ch.m_GrayCheck.m_hWnd, BM_CLICK, 0, 0);
    CHECK(Join(g_log) == "OnGray" && ch.m_GrayCheck.GetCheck() == BST_CHECKED, "a real click: [%s]",
          Join(g_log).c_str());
    g_log.clear();
    ::SendMessageA(ch.m_ClockCombo.m_hWnd, WM_KEYDOWN, VK_DOWN, 0);
    CHECK(Join(g_log) == "OnSelchangeClock", "a real selection: [%s]", Join(g_log).c_str());

    g_log.clear();
    d.SendMessage(WM_TIMER, 7);
    CHECK(Join(g_log) == "OnTimer:7", "WM_TIMER: [%s]", Join(g_log).c_str());

    g_log.clear();
    HELPINFO help = {sizeof help, HELPINFO_WINDOW, 1012, ch.m_ResolutionCombo.m_hWnd, 0, {0, 0}};
    d.SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
    CHECK(Join(g_log) == "TestApp::OnHelp", "F1: [%s]", Join(g_log).c_str());

    CHECK(d.SendMessage(WM_APP, 41) == 42, "a handler's result reaches the sender");
    d.EndDialog(IDCANCEL);
  };
  CHECK(dlg.DoModal() == IDCANCEL, "routing dialog run");
}

// The main dialog: centred on the screen, owner of dialogs opened without a
// parent, system menu extended with string 101; handlers that pass a message
// on leave it to the default handling with its own parameters.
void MainDialog() {
  MainProbe dlg;
  theApp.m_pMainWnd = &dlg;
  dlg.script = [](ProbeDialog& d) {
    MainProbe& m = static_cast<MainProbe&>(d);
    MONITORINFO info;
    info.cbSize = sizeof info;
    ::GetMonitorInfoA(::MonitorFromWindow(m.m_hWnd, MONITOR_DEFAULTTOPRIMARY), &info);
    POINT screenCentre = {(info.rcWork.left + info.rcWork.right) / 2, (info.rcWork.top + info.rcWork.bottom) / 2};
    CHECK(Near(Centre(m.m_hWnd), screenCentre), "main dialog centred on the screen");
    CHECK(::GetFocus() == ::GetDlgItem(m.m_hWnd, IDCANCEL), "focus on \"Abbrechen\"");
    CHECK(::GetWindowLongA(m.m_hWnd, GWL_EXSTYLE) & WS_EX_APPWINDOW, "task bar button");

    char text[64] = "";
    int length = ::LoadStringA(AfxGetInstanceHandle(), 101, text, sizeof text);
    CHECK(length == 21 && std::strcmp(text, "Inf&o \xFC" "ber SSIKovo...") == 0 &&
              static_cast<unsigned char>(text[6]) == 0xFC,
          "string 101 [%s], byte 6 = %02X", text, static_cast<unsigned char>(text[6]));
    CMenu sysMenu = m.GetSystemMenu(FALSE);
    CHECK(sysMenu.GetSafeHmenu() != NULL, "system menu");
    sysMenu.AppendMenu(MF_SEPARATOR);
    sysMenu.AppendMenu(MF_STRING, 0x0010, text);
    char item[64] = "";
    ::GetMenuStringA(::GetSystemMenu(m.m_hWnd, FALSE), 0x0010, item, sizeof item, MF_BYCOMMAND);
    CHECK(std::strcmp(item, text) == 0, "About item [%s]", item);

    g_log.clear();
    m.SendMessage(WM_SYSCOMMAND, 0x0013);
    CHECK(Join(g_log) == "OnSysCommand:0013" && ::IsWindow(m.m_hWnd), "About command: [%s]", Join(g_log).c_str());

    CHECK(m.SendMessage(WM_QUERYDRAGICON) == reinterpret_cast<LRESULT>(m.m_hIcon) && m.m_hIcon != NULL,
          "drag icon");
    g_log.clear();
    ::InvalidateRect(m.m_hWnd, NULL, TRUE);
    ::UpdateWindow(m.m_hWnd);
    CHECK(Join(g_log) == "OnPaint", "paint: [%s]", Join(g_log).c_str());
    CHECK(!::GetUpdateRect(m.m_hWnd, NULL, FALSE), "the default handling painted and validated");

    ChannelProbe channel;
    channel.script = [&m](ProbeDialog& c) {
      CHECK(::GetWindow(c.m_hWnd, GW_OWNER) == m.m_hWnd, "the main dialog owns a dialog without parent");
      CHECK(!::IsWindowEnabled(m.m_hWnd), "the owner is disabled while it runs");
      CHECK(Near(Centre(c.m_hWnd), Centre(m.m_hWnd)), "centred over the main dialog");
      c.EndDialog(IDOK);
    };
    CHECK(channel.DoModal() == IDOK, "nested channel dialog");

    g_log.clear();
    ::PostMessageA(m.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  };
  INT_PTR code = dlg.DoModal();
  theApp.m_pMainWnd = NULL;
  CHECK(code == IDCANCEL, "Close from the system menu ends with IDCANCEL, got %d", static_cast<int>(code));
  CHECK(Join(g_log) == "OnSysCommand:F060,OnClose,OnDestroy", "log [%s]", Join(g_log).c_str());
  CHECK(dlg.windowAliveInOnDestroy, "OnDestroy runs while the window exists");
  CHECK(dlg.exchanges == std::vector<BOOL>{FALSE}, "Cancel runs no exchange from the items");
}

void MissingTemplate() {
  ProbeDialog dlg(999);
  CHECK(dlg.DoModal() == -1, "a missing template gives -1");
  CHECK(dlg.exchanges.empty(), "and no initialisation ran");
}

}  // namespace

BOOL TestApp::InitInstance() {
  CHECK(AfxGetApp() == this, "the one application object");
  CHECK(Enable3dControlsStatic(), "3-D look");
  ChannelDialogOpens();
  EndCodes();
  CloseGoesThroughOnClose();
  Routing();
  MainDialog();
  MissingTemplate();
  return FALSE;
}

int TestApp::ExitInstance() { return check_result("framework_test"); }
