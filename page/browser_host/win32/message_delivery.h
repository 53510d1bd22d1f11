// One way for a window message to go, from the message loop and from the
// binding's walk alike: the window's pre-translation first (keys for the
// browser control), then translated and dispatched.
#pragma once

#include <windows.h>

namespace autolabel::browser_host::win32 {

class MessagePreTranslator {
  public:
    // True when the message was used up and must not be dispatched.
    virtual bool PreTranslate(MSG& message) = 0;

  protected:
    ~MessagePreTranslator() = default;
};

// The thread's pre-translator; null for none. The window that sets it clears
// it before it goes.
void SetMessagePreTranslator(MessagePreTranslator* translator) noexcept;
MessagePreTranslator* CurrentMessagePreTranslator() noexcept;

void DeliverMessage(MSG& message);

}  // namespace autolabel::browser_host::win32
