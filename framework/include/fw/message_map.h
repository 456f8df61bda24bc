// Message maps: per class, a static table that binds window messages and
// control notifications to member handlers. A message is looked up in the
// class's own table in table order, then in its base class's table, and so
// on; what no table takes goes to the system's default handling.
#pragma once

#include <windows.h>

#include <type_traits>

class CMessageTarget;

namespace fw {

// Calls one handler on the object the message reached; returns the message's
// result. Generated per entry by the ON_... macros below.
typedef LRESULT (*MessageThunk)(CMessageTarget* target, WPARAM wParam, LPARAM lParam);

// WM_COMMAND entries: the notification code they take. kAnyCommand is a menu
// or accelerator command, or BN_CLICKED, which has the menu's code 0.
const UINT kAnyCommand = 0xFFFFFFFFu;

struct MessageMapEntry {
  UINT message;
  UINT code;  // WM_COMMAND only: notification code, or kAnyCommand
  UINT id;    // WM_COMMAND only: control or command identifier
  MessageThunk thunk;
};

struct MessageMap {
  const MessageMap* (*base)();  // the base class's map, null at the root
  const MessageMapEntry* entries;  // ends with an entry whose thunk is null
};

// The first entry that takes this message, searching the class's own table
// before its base classes' tables; null when none does.
const MessageMapEntry* FindMessageEntry(const MessageMap* map, UINT message, WPARAM wParam,
                                        LPARAM lParam);

// Thunks: one per handler signature. F is a pointer to a member of T or of
// one of its bases; handlers that are virtual are called virtually.
template <class T, auto F>
LRESULT VoidThunk(CMessageTarget* target, WPARAM, LPARAM) {
  (static_cast<T*>(target)->*F)();
  return 0;
}

template <class T, auto F>
LRESULT SysCommandThunk(CMessageTarget* target, WPARAM wParam, LPARAM lParam) {
  (static_cast<T*>(target)->*F)(static_cast<UINT>(wParam), lParam);
  return 0;
}

template <class T, auto F>
LRESULT TimerThunk(CMessageTarget* target, WPARAM wParam, LPARAM) {
  (static_cast<T*>(target)->*F)(static_cast<UINT_PTR>(wParam));
  return 0;
}

template <class T, auto F>
LRESULT HandleResultThunk(CMessageTarget* target, WPARAM, LPARAM) {
  return reinterpret_cast<LRESULT>((static_cast<T*>(target)->*F)());
}

template <class T, auto F>
LRESULT MessageThunkOf(CMessageTarget* target, WPARAM wParam, LPARAM lParam) {
  return (static_cast<T*>(target)->*F)(wParam, lParam);
}

}  // namespace fw

// In the class body. Leaves the access at protected, so put it last.
#define DECLARE_MESSAGE_MAP()                                   \
 protected:                                                     \
  static const ::fw::MessageMap* GetThisMessageMap();           \
  const ::fw::MessageMap* GetMessageMap() const override;

// In the class's source file; handlers are named without their class, as in
// ON_BN_CLICKED(1011, OnChannelSettings1). A base class's handler may be named
// through the base: ON_COMMAND(ID_HELP, CWinApp::OnHelp).
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                  \
  const ::fw::MessageMap* theClass::GetMessageMap() const {                     \
    return GetThisMessageMap();                                                 \
  }                                                                             \
  const ::fw::MessageMap* theClass::GetThisMessageMap() {                       \
    typedef theClass ThisClass;                                                 \
    typedef baseClass TheBaseClass;                                             \
    static const ::fw::MessageMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                       \
      {0, 0, 0, nullptr}                                                        \
    };                                                                          \
    static_assert(std::is_base_of<TheBaseClass, ThisClass>::value,              \
                  "the message map's base class must be a base of its class");  \
    static const ::fw::MessageMap map = {&TheBaseClass::GetThisMessageMap, entries}; \
    return &map;                                                                \
  }

// void OnSysCommand(UINT nID, LPARAM lParam)
#define ON_WM_SYSCOMMAND() \
  {WM_SYSCOMMAND, 0, 0, &::fw::SysCommandThunk<ThisClass, &ThisClass::OnSysCommand>},
// void OnPaint()
#define ON_WM_PAINT() {WM_PAINT, 0, 0, &::fw::VoidThunk<ThisClass, &ThisClass::OnPaint>},
// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON() \
  {WM_QUERYDRAGICON, 0, 0, &::fw::HandleResultThunk<ThisClass, &ThisClass::OnQueryDragIcon>},
// void OnClose()
#define ON_WM_CLOSE() {WM_CLOSE, 0, 0, &::fw::VoidThunk<ThisClass, &ThisClass::OnClose>},
// void OnTimer(UINT_PTR nIDEvent)
#define ON_WM_TIMER() {WM_TIMER, 0, 0, &::fw::TimerThunk<ThisClass, &ThisClass::OnTimer>},
// void OnDestroy()
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, &::fw::VoidThunk<ThisClass, &ThisClass::OnDestroy>},
// void handler()
#define ON_BN_CLICKED(id, handler) \
  {WM_COMMAND, BN_CLICKED, (id), &::fw::VoidThunk<ThisClass, &ThisClass::handler>},
// void handler()
#define ON_CBN_SELCHANGE(id, handler) \
  {WM_COMMAND, CBN_SELCHANGE, (id), &::fw::VoidThunk<ThisClass, &ThisClass::handler>},
// void handler(): a menu or accelerator command, or a button click
#define ON_COMMAND(id, handler) \
  {WM_COMMAND, ::fw::kAnyCommand, (id), &::fw::VoidThunk<ThisClass, &ThisClass::handler>},
// LRESULT handler(WPARAM wParam, LPARAM lParam)
#define ON_MESSAGE(message, handler) \
  {(message), 0, 0, &::fw::MessageThunkOf<ThisClass, &ThisClass::handler>},
