// Main-thread responsiveness of the desktop program under the heaviest steady load it meets:
// a scanner feeding blocks as fast as its serial line carries them, with the packet dump and
// raw data views switched on and growing to their caps. A 10 ms timer on the main thread
// records how late each of its ticks comes; the longest delay is the figure of interest.
//
//   bench_ui_latency [seconds] [blocks-per-second]     (0 blocks per second: as fast as read)
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "persist/Settings.h"
#include "session/ScannerSimulator.h"
#include "session/SimCapture.h"
#include "ui/mainwindow/DesktopProgram.h"
#include "ui/mainwindow/Mainwindow.h"
#include "ui/views/ListModel.h"

namespace {

// A type 1 line ("P25,0," + 24 hex digits + CR LF) is 32 characters of 10 bits on a 115200 bit/s
// line: 360 blocks a second at most.
constexpr double kLineRateBlocks = 115200.0 / 10.0 / 32.0;

int RowsOf(const TForm1& window, ListRole list)
{
    const ListModel* model = ModelOf(window.Widgets().List(list));
    return model ? model->rowCount() : -1;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const double rate = argc > 2 ? std::atof(argv[2]) : kLineRateBlocks;

    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/";

    std::vector<SimItem> capture;
    std::string error;
    if (!SimCapture::Load(VARNEL_DEMO_CAPTURE, 1, capture, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    SimulatorOptions options;
    options.scannerType = 1;
    options.blocksPerSecond = rate;
    options.loop = true;
    options.startDelay = std::chrono::milliseconds(300);
    ScannerSimulator scanner(options);
    if (!scanner.Open()) {
        std::fprintf(stderr, "%s\n", scanner.ErrorText().c_str());
        return 2;
    }
    scanner.SetCapture(std::move(capture));
    scanner.Start();

    Settings settings;
    settings.port = scanner.SlavePath();
    settings.scannerType = 1;
    // Every log view on, so every updater works on each pass.
    for (ScreenSettings* screen : {&settings.pktDump, &settings.psrDump, &settings.grants, &settings.unknowns,
                                   &settings.otherInfo, &settings.patches, &settings.affiliations})
        screen->visible = true;
    const std::string settingsPath = folder + "varnel.INI";
    SaveSettings(settingsPath, settings);

    MainWindowOptions windowOptions;
    windowOptions.programFolder = folder;
    windowOptions.settingsPath = settingsPath;
    auto window = CreateDesktopWindows(std::move(windowOptions));
    window->show();

    QElapsedTimer clock;
    std::vector<qint64> delays;
    qint64 last = -1;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (last >= 0)
            delays.push_back(std::max<qint64>(0, now - last - 10'000'000));
        last = now;
    });

    QTimer::singleShot(500, window.get(), [&] {
        window->ToggleSession();
        clock.start();
        probe.start(10);
    });
    QTimer::singleShot(500 + seconds * 1000, window.get(), [&] {
        probe.stop();
        std::vector<qint64> sorted = delays;
        std::sort(sorted.begin(), sorted.end());
        auto ms = [](qint64 ns) { return static_cast<double>(ns) / 1e6; };
        const size_t n = sorted.size();
        std::printf("run %d s, scanner %.0f blocks/s (0 = as fast as read), blocks sent %zu\n", seconds, rate,
                    scanner.ItemsSent());
        if (n > 0)
            std::printf("10 ms timer: %zu ticks, delay median %.2f ms, 99th %.2f ms, 99.9th %.2f ms, longest %.2f ms\n",
                        n, ms(sorted[n / 2]), ms(sorted[n * 99 / 100]), ms(sorted[n * 999 / 1000]), ms(sorted.back()));
        std::printf("rows: packet dump %d, raw data %d, grant trace %d\n", RowsOf(*window, ListRole::PacketDump),
                    RowsOf(*window, ListRole::RawData), RowsOf(*window, ListRole::GrantTrace));
        window->close();
        app.quit();
    });
    const int status = app.exec();
    scanner.Close();
    return status;
}
