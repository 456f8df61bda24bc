#include <fw/message_target.h>

namespace fw {

namespace {

bool Takes(const MessageMapEntry& entry, UINT message, WPARAM wParam, LPARAM lParam) {
  if (entry.message != message) return false;
  if (message != WM_COMMAND) return true;
  if (entry.id != LOWORD(wParam)) return false;
  const UINT code = HIWORD(wParam);
  if (entry.code != kAnyCommand) return entry.code == code;
  // Code 0 is a menu command or a button click; code 1 from no control is an
  // accelerator (from a control, 1 is a notification such as CBN_SELCHANGE).
  return code == 0 || (code == 1 && lParam == 0);
}

}  // namespace

const MessageMapEntry* FindMessageEntry(const MessageMap* map, UINT message, WPARAM wParam,
                                        LPARAM lParam) {
  for (; map != nullptr; map = map->base ? map->base() : nullptr) {
    for (const MessageMapEntry* entry = map->entries; entry->thunk != nullptr; ++entry) {
      if (Takes(*entry, message, wParam, lParam)) return entry;
    }
  }
  return nullptr;
}

}  // namespace fw

const ::fw::MessageMap* CMessageTarget::GetThisMessageMap() {
  static const ::fw::MessageMapEntry entries[] = {{0, 0, 0, nullptr}};
  static const ::fw::MessageMap map = {nullptr, entries};
  return &map;
}

const ::fw::MessageMap* CMessageTarget::GetMessageMap() const { return GetThisMessageMap(); }

bool CMessageTarget::DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  const ::fw::MessageMapEntry* entry = ::fw::FindMessageEntry(GetMessageMap(), message, wParam, lParam);
  if (entry == nullptr) return false;
  *pResult = entry->thunk(this, wParam, lParam);
  return true;
}
