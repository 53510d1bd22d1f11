#include "page/browser_host/win32/message_delivery.h"

namespace autolabel::browser_host::win32 {

namespace {

thread_local MessagePreTranslator* preTranslator = nullptr;

}  // namespace

void SetMessagePreTranslator(MessagePreTranslator* translator) noexcept {
    preTranslator = translator;
}

MessagePreTranslator* CurrentMessagePreTranslator() noexcept { return preTranslator; }

void DeliverMessage(MSG& message) {
    if (preTranslator && preTranslator->PreTranslate(message)) return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

}  // namespace autolabel::browser_host::win32
