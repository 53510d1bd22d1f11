#include "page/browser_host/win32/message_delivery.h"

namespace autolabel::browser_host::win32 {

namespace {

thread_local MessagePreTranslator* preTranslator = nullptr;

}  // namespace

void PreTranslatorTraits::Close(MessagePreTranslator* translator) noexcept {
    if (preTranslator == translator) preTranslator = nullptr;
}

PreTranslatorRegistration RegisterMessagePreTranslator(MessagePreTranslator& translator) noexcept {
    preTranslator = &translator;
    return PreTranslatorRegistration(&translator);
}

MessagePreTranslator* CurrentMessagePreTranslator() noexcept { return preTranslator; }

void DeliverMessage(MSG& message) {
    if (preTranslator && preTranslator->PreTranslate(message)) return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

}  // namespace autolabel::browser_host::win32
