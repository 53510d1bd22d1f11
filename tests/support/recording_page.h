// A page automation object that records the operations the commands call.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "page/page_automation.h"

namespace autolabel::tests {

class RecordingPage : public automation::PageAutomation {
  public:
    using automation::PageAutomation::PageAutomation;

    // "Bind", "Select 3", "Click 2" in call order.
    std::vector<std::string> operations;
    // Runs after each SelectRadio with its identifier: a page that changes
    // under a pass.
    std::function<void(std::string_view)> afterSelect;
    std::vector<std::string> Selected() const {
        std::vector<std::string> out;
        for (const std::string& op : operations) {
            if (op.starts_with("Select ")) out.push_back(op.substr(7));
        }
        return out;
    }
    int Count(const std::string& prefix) const {
        int n = 0;
        for (const std::string& op : operations) n += op.starts_with(prefix) ? 1 : 0;
        return n;
    }

    bool BindWindow(WindowHandle window) override {
        operations.push_back("Bind");
        return automation::PageAutomation::BindWindow(window);
    }
    bool SelectRadio(std::string_view identifier, std::int32_t skipCount,
                     bool fireMouseDown) override {
        operations.push_back("Select " + std::string(identifier));
        EXPECT_EQ(skipCount, 0);
        EXPECT_FALSE(fireMouseDown);
        const bool found =
            automation::PageAutomation::SelectRadio(identifier, skipCount, fireMouseDown);
        if (afterSelect) afterSelect(identifier);
        return found;
    }
    bool ClickButton(std::string_view identifier, std::int32_t skipCount) override {
        operations.push_back("Click " + std::string(identifier));
        EXPECT_EQ(skipCount, 0);
        return automation::PageAutomation::ClickButton(identifier, skipCount);
    }
};

}  // namespace autolabel::tests
