// The commands on the window in memory: a recording page automation object
// over the scripted platform, the globals set as the start sequence sets
// them, and a run of its own.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string_view>

#include "app/commands.h"
#include "app/labeling_run.h"
#include "tests/support/page_fixture.h"
#include "tests/support/recording_page.h"
#include "tests/support/scripted_main_window.h"

namespace autolabel::tests {

class CommandsFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        app::labeling.Reset();
        app::labeling.SetClock([this] {
            return app::LabelingRun::Clock::time_point{} + std::chrono::milliseconds(window.Now());
        });
        window.BuildBrowser();
        auto recording = std::make_unique<RecordingPage>(platform);
        recorder = recording.get();
        app::page = std::move(recording);
        app::mainWindow = &window;
        app::browserWindow = window.browserControl;
    }
    void TearDown() override {
        app::page.reset();
        app::mainWindow = nullptr;
        app::browserWindow = 0;
        app::lastSelectResult = 0;
        app::labeling.Reset();
        app::labeling.SetClock(&app::LabelingRun::Clock::now);
    }
    std::shared_ptr<browser_host::scripted::ScriptedDocument> Show(std::string_view body) {
        auto document = Page(body);
        window.ShowPage(document);
        return document;
    }

    browser_host::scripted::ScriptedPlatform platform;
    ScriptedMainWindow window{platform};
    RecordingPage* recorder = nullptr;
};

}  // namespace autolabel::tests
