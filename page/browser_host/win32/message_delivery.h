// One way for a window message to go, from the message loop and from the
// binding's walk alike: the window's pre-translation first (keys for the
// browser control), then translated and dispatched.
#pragma once

#include <windows.h>

#include "support/unique_any.h"

namespace autolabel::browser_host::win32 {

class MessagePreTranslator {
  public:
    // True when the message was used up and must not be dispatched.
    virtual bool PreTranslate(MSG& message) = 0;

  protected:
    ~MessagePreTranslator() = default;
};

struct PreTranslatorTraits {
    using Type = MessagePreTranslator*;
    static MessagePreTranslator* None() noexcept { return nullptr; }
    static bool IsNone(MessagePreTranslator* translator) noexcept { return !translator; }
    // The thread has none again, unless another has taken its place.
    static void Close(MessagePreTranslator* translator) noexcept;
};
// The thread's pre-translator for the life of the holder.
using PreTranslatorRegistration = support::UniqueAny<PreTranslatorTraits>;

// `translator` pre-translates the thread's messages from now on, in place
// of any before it.
[[nodiscard]] PreTranslatorRegistration RegisterMessagePreTranslator(
    MessagePreTranslator& translator) noexcept;
// The thread's pre-translator; null for none.
MessagePreTranslator* CurrentMessagePreTranslator() noexcept;

void DeliverMessage(MSG& message);

}  // namespace autolabel::browser_host::win32
