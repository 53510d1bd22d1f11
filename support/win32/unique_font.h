// An owning GDI font, deleted by the holder.
#pragma once

#include <windows.h>

#include <utility>

namespace autolabel::support::win32 {

class UniqueFont {
  public:
    UniqueFont() noexcept = default;
    explicit UniqueFont(HFONT font) noexcept : font_(font) {}
    UniqueFont(const UniqueFont&) = delete;
    UniqueFont& operator=(const UniqueFont&) = delete;
    UniqueFont(UniqueFont&& other) noexcept : font_(std::exchange(other.font_, nullptr)) {}
    UniqueFont& operator=(UniqueFont&& other) noexcept {
        if (this != &other) {
            Reset();
            font_ = std::exchange(other.font_, nullptr);
        }
        return *this;
    }
    ~UniqueFont() { Reset(); }

    void Reset() noexcept {
        if (HFONT old = std::exchange(font_, nullptr)) ::DeleteObject(old);
    }
    HFONT Get() const noexcept { return font_; }
    explicit operator bool() const noexcept { return font_ != nullptr; }

  private:
    HFONT font_ = nullptr;
};

}  // namespace autolabel::support::win32
