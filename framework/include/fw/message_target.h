// The root of every class that has a message map: windows and the
// application object.
#pragma once

#include <fw/message_map.h>

class CMessageTarget {
 public:
  virtual ~CMessageTarget() {}

  // The map of the object's most derived class that declares one.
  virtual const ::fw::MessageMap* GetMessageMap() const;

  // Runs the handler that this object's maps bind to the message. Returns
  // false when no entry takes it; *pResult gets the handler's result.
  bool DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

 protected:
  static const ::fw::MessageMap* GetThisMessageMap();
};
