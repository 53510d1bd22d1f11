// OLE on the calling thread for the life of the holder: OleUninitialize runs
// only for a call of OleInitialize that succeeded (S_FALSE, already
// initialised, counts: each success must be balanced).
#pragma once

#include <windows.h>
#include <ole2.h>

namespace autolabel::support::win32 {

class OleInitialization {
  public:
    OleInitialization() noexcept : initialized_(SUCCEEDED(::OleInitialize(nullptr))) {}
    OleInitialization(const OleInitialization&) = delete;
    OleInitialization& operator=(const OleInitialization&) = delete;
    ~OleInitialization() {
        if (initialized_) ::OleUninitialize();
    }
    explicit operator bool() const noexcept { return initialized_; }

  private:
    bool initialized_;
};

}  // namespace autolabel::support::win32
