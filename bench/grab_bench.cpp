// Full-screen grab into the capture canvas (the main window's hidden picture
// box), as a capture does it: clear the canvas, grab, assign. Prints the
// median and spread of the runs in milliseconds. Usage: grab_bench.exe [--runs=N]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "BenchClock.h"
#include "app/FrmMain.h"
#include "capture/cCapture.h"

namespace {

void Report(const char* what, int runs, const std::function<void()>& step) {
    for (int i = 0; i < 3; ++i) step();  // warm-up
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        double t0 = bench::NowMs();
        step();
        ms.push_back(bench::NowMs() - t0);
    }
    std::sort(ms.begin(), ms.end());
    auto at = [&](double q) { return ms[static_cast<size_t>(q * (ms.size() - 1) + 0.5)]; };
    std::printf("%s: median %.2f ms, p10-p90 %.2f-%.2f ms, min-max %.2f-%.2f ms (%d runs)\n", what, at(0.5), at(0.1),
                at(0.9), ms.front(), ms.back(), runs);
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 30;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--runs=", 7) == 0) runs = std::max(1, std::atoi(argv[i] + 7));
    OleInitialize(nullptr);
    std::printf("screen %d x %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    cCapture cap;
    forms::PictureBox& canvas = app::FrmMain->Pic;
    Report("grab into canvas", runs, [&] {
        canvas.Cls();
        canvas.Picture(cap.Capture_Screen());
    });
    Report("grab alone", runs, [&] { cap.Capture_Screen(); });
    std::fflush(stdout);
    OleUninitialize();
    return 0;
}
