// The desktop program opening a full system: the data folder holds system 1A3 with 65,535
// talkgroups and 100,000 radios (names, colours, times), and a session on the demo capture (system
// 1A3, played by the simulator at the real rate of a control channel) identifies it, so the
// decoder reads those files while the window runs. Measured: how long the window takes to be
// created and shown, how long from the session's start until the site information, the activity
// list and the table counts show the system, and the longest delay of a 10 ms timer on the main
// thread meanwhile (the window must not stall while the files are read). Goal: within one second.
//
//   bench_open_system [seconds after the system shows]
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "decoder/P25Class.h"
#include "persist/Settings.h"
#include "persist/SystemStore.h"
#include "platform/Clock.h"
#include "session/DemoSimulator.h"
#include "session/ScannerSimulator.h"
#include "session/SimCapture.h"
#include "ui/mainwindow/DesktopProgram.h"
#include "ui/mainwindow/Mainwindow.h"

namespace {

constexpr uint32_t kSystem = 0x1A3;  // the demo capture's system
// The tables count as shown once their counts show nearly all entries (older versions read one
// talkgroup fewer).
constexpr double kLoaded = 0.99;

// Writes the files of a full system into `folder` the way the program writes them.
bool WriteFullSystem(const std::string& folder)
{
    ManualClock clock(1240322820);
    P25Class decoder(clock, folder);
    AttachSystemStore(decoder);
    decoder.SetSiteIdentity(kSystem, 1, 0x70, 5);
    TalkgroupTable& tg = decoder.Talkgroups();
    for (int32_t id = 1; id <= TalkgroupTable::kCapacity; ++id) {
        tg.SetTalkgroup(id, "Talkgroup " + std::to_string(id) + " dispatch, county fire", 1 + id % 99, 1240322820 - id);
        tg.SetTalkgroupColors(id, 0x0000FF, 0xFFFFFF);
    }
    RadioTable& radios = decoder.Radios();
    for (int32_t id = 1; id <= RadioTable::kCapacity; ++id) {
        radios.SetRadio(id * 7, "TG: 100 DT: 4/21/09@14:07 unit " + std::to_string(id), 1240322820 - id);
        radios.SetRadioColors(id * 7, 0x00FF00, 0);
    }
    return SaveSystemData(decoder);
}

// Views and labels are looked up by their names, which every version of the window keeps.
int RowsOf(const TForm1& window, const char* list)
{
    const auto* view = window.findChild<QTreeView*>(QLatin1String(list));
    return view && view->model() ? view->model()->rowCount() : -1;
}

QString LabelOf(const TForm1& window, const char* name)
{
    const auto* label = window.findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QString();
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;

    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/";
    QElapsedTimer prepare;
    prepare.start();
    if (!WriteFullSystem(folder)) {
        std::fprintf(stderr, "the system files could not be written\n");
        return 2;
    }
    std::printf("system files of %d talkgroups and %d radios written in %lld ms\n", TalkgroupTable::kCapacity,
                RadioTable::kCapacity, static_cast<long long>(prepare.elapsed()));

    std::vector<SimItem> capture;
    std::string error;
    if (!SimCapture::Load(VARNEL_DEMO_CAPTURE, 1, capture, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    SimulatorOptions options;
    options.scannerType = 1;
    options.blocksPerSecond = kDemoBlocksPerSecond;
    options.loop = true;
    ScannerSimulator scanner(options);
    if (!scanner.Open()) {
        std::fprintf(stderr, "%s\n", scanner.ErrorText().c_str());
        return 2;
    }
    scanner.SetCapture(std::move(capture));

    Settings settings;
    settings.port = scanner.SlavePath();
    settings.scannerType = 1;
    const std::string settingsPath = folder + "varnel.INI";
    SaveSettings(settingsPath, settings);

    QElapsedTimer clock;
    clock.start();
    MainWindowOptions windowOptions;
    windowOptions.programFolder = folder;
    windowOptions.settingsPath = settingsPath;
    auto window = CreateDesktopWindows(std::move(windowOptions));
    window->show();
    QApplication::processEvents();
    std::printf("window created and shown in %lld ms\n", static_cast<long long>(clock.elapsed()));

    std::vector<qint64> delays;
    qint64 last = -1;
    qint64 started = -1;
    qint64 shown = -1;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (last >= 0)
            delays.push_back(std::max<qint64>(0, now - last - 10'000'000));
        last = now;
        if (shown < 0 && RowsOf(*window, "ListView11") == 8 && RowsOf(*window, "ListView1") > 0 &&
            LabelOf(*window, "TGIDCount").toInt() >= kLoaded * TalkgroupTable::kCapacity &&
            LabelOf(*window, "RIDCount").toInt() >= kLoaded * RadioTable::kCapacity) {
            shown = now;
            QTimer::singleShot(seconds * 1000, window.get(), [&] {
                probe.stop();
                const auto longest = delays.empty() ? 0 : *std::max_element(delays.begin(), delays.end());
                std::printf("session start to the system shown (site information, activity, %s talkgroups, "
                            "%s radios): %.0f ms\n",
                            qPrintable(LabelOf(*window, "TGIDCount")), qPrintable(LabelOf(*window, "RIDCount")),
                            static_cast<double>(shown - started) / 1e6);
                std::printf("10 ms timer on the main thread: %zu ticks, longest delay %.2f ms\n", delays.size(),
                            static_cast<double>(longest) / 1e6);
                window->close();
                app.quit();
            });
        }
    });

    QTimer::singleShot(300, window.get(), [&] {
        scanner.Start();
        started = clock.nsecsElapsed();
        window->ToggleSession();
        probe.start(10);
    });
    QTimer::singleShot(60'000, window.get(), [&] {
        if (shown < 0) {
            std::printf("the system did not show within 60 s: site information %d rows, activity %d rows, "
                        "talkgroup count \"%s\", radio count \"%s\"\n",
                        RowsOf(*window, "ListView11"), RowsOf(*window, "ListView1"),
                        qPrintable(LabelOf(*window, "TGIDCount")), qPrintable(LabelOf(*window, "RIDCount")));
            window->close();
            app.quit();
        }
    });
    const int status = app.exec();
    scanner.Close();
    return shown < 0 ? 1 : status;
}
