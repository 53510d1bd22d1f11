// One SelectAll pass on generated pages, on the in-memory double: the time
// per pass, and per element the walks visit (each tried number walks the
// input elements from the start, so a pass visits about radios x inputs).
#include <benchmark/benchmark.h>

#include <string>

#include "app/commands.h"
#include "bench/generated_page.h"
#include "tests/support/scripted_main_window.h"

namespace {

using autolabel::browser_host::scripted::ScriptedDocument;
using autolabel::browser_host::scripted::ScriptedPlatform;
using autolabel::tests::ScriptedMainWindow;

void BM_SelectAllPass(benchmark::State& state) {
    const int radios = static_cast<int>(state.range(0));
    ScriptedPlatform platform;
    ScriptedMainWindow window(platform);
    auto document = ScriptedDocument::FromHtml(autolabel::bench::GeneratePage(radios));
    window.ShowPage(document);
    window.BuildBrowser();
    autolabel::app::page = std::make_unique<autolabel::automation::PageAutomation>(platform);
    autolabel::app::mainWindow = &window;
    autolabel::app::browserWindow = window.browserControl;

    // One logged pass tells how many elements a pass visits.
    autolabel::app::SelectAll();
    const double visits = document->CountCalls("inputs.item");
    document->KeepCallLog(false);

    for (auto _ : state) {
        autolabel::app::SelectAll();
        benchmark::DoNotOptimize(autolabel::app::lastSelectResult);
    }
    state.counters["visits/pass"] = visits;
    state.counters["per_visit"] =
        benchmark::Counter(visits * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);

    autolabel::app::page.reset();
    autolabel::app::mainWindow = nullptr;
}

BENCHMARK(BM_SelectAllPass)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
