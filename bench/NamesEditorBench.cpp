// The list editor on a full system: the data folder holds a system with 65,535 talkgroups and
// 100,000 radios (names, colours, times, written the way the program writes them). Measured: how
// long from choosing the system until both tables are filled and the window has painted them
// (goal: 1 s), and how long each keystroke of a search takes until the filtered lists are painted
// (goal: 50 ms), in id order and sorted by description.
//
//   bench_names_editor [rounds]
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "persist/RadioFile.h"
#include "persist/SystemStore.h"
#include "persist/TalkgroupFile.h"
#include "platform/AtomicFile.h"
#include "site/DecoderContext.h"
#include "site/RadioTable.h"
#include "site/TalkgroupTable.h"
#include "ui/dialogs/NamesEditor.h"
#include "ui/dialogs/NamesFilterProxy.h"
#include "ui/dialogs/NamesListModel.h"

namespace {

constexpr uint32_t kSystem = 0x1A3;
constexpr double kOpenGoalMs = 1000.0;
constexpr double kKeyGoalMs = 50.0;

bool WriteFullSystem(const std::string& folder)
{
    DecoderContext ctx;
    TalkgroupTable tg(ctx);
    RadioTable radios(ctx);
    for (int32_t id = 1; id <= TalkgroupTable::kCapacity; ++id) {
        tg.SetTalkgroup(id, "Talkgroup " + std::to_string(id) + " dispatch, county fire", 1 + id % 99, 1240322820 - id);
        tg.SetTalkgroupColors(id, 0x0000FF, 0xFFFFFF);
    }
    for (int32_t id = 1; id <= RadioTable::kCapacity; ++id) {
        radios.SetRadio(id * 7, "Unit " + std::to_string(id) + " engine company", 1240322820 - id);
        radios.SetRadioColors(id * 7, 0x00FF00, 0);
    }
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return WriteFileAtomically(folder + TalkgroupFile::kFileName, TalkgroupFile::Format(tg)) &&
           WriteFileAtomically(folder + RadioFile::kFileName, RadioFile::Format(radios));
}

double Milliseconds(const QElapsedTimer& t)
{
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

struct Figures {
    double worst = 0;
    double median = 0;
};

Figures Summary(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v.back(), v[v.size() / 2]};
}

// Types `text` key by key, then takes it back key by key; each step until painted.
std::vector<double> TypeSearch(NamesEditor& editor, const QString& text)
{
    std::vector<double> times;
    auto step = [&](const QString& now) {
        QElapsedTimer t;
        t.start();
        editor.SearchField()->setText(now);
        editor.repaint();
        QCoreApplication::processEvents();
        times.push_back(Milliseconds(t));
        if (std::getenv("NAMES_BENCH_TRACE"))
            std::printf("  \"%s\" %.1f ms\n", now.toUtf8().constData(), times.back());
    };
    for (qsizetype n = 1; n <= text.size(); ++n)
        step(text.left(n));
    for (qsizetype n = text.size() - 1; n >= 0; --n)
        step(text.left(n));
    return times;
}

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/";
    if (!dir.isValid() || !WriteFullSystem(SystemFolder(folder, kSystem))) {
        std::fprintf(stderr, "cannot write the system files\n");
        return 1;
    }

    NamesEditorServices services;
    services.programFolder = [folder] { return folder; };
    NamesEditor editor(std::move(services));
    editor.show();
    QCoreApplication::processEvents();

    std::vector<double> opens;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        editor.ChooseSystem(kSystem);
        editor.repaint();
        QCoreApplication::processEvents();
        opens.push_back(Milliseconds(t));
    }
    const int talkgroups = editor.Model(NamesEditor::Kind::Talkgroups).rowCount();
    const int radios = editor.Model(NamesEditor::Kind::Radios).rowCount();
    const Figures open = Summary(opens);
    std::printf("system shown: %d talkgroups, %d radios\n", talkgroups, radios);
    std::printf(
        "open (files read, tables filled, painted): median %.1f ms, worst %.1f ms over %d rounds (goal %.0f ms)\n",
        open.median, open.worst, rounds, kOpenGoalMs);

    const QString typed = QStringLiteral("dispatch 123");
    const Figures byId = Summary(TypeSearch(editor, typed));
    std::printf("search keystroke, id order: median %.1f ms, worst %.1f ms (goal %.0f ms)\n", byId.median, byId.worst,
                kKeyGoalMs);
    for (NamesEditor::Kind kind : {NamesEditor::Kind::Talkgroups, NamesEditor::Kind::Radios})
        editor.View(kind)->sortByColumn(editor.Model(kind).ColumnOf(NamesListModel::Column::Description),
                                        Qt::AscendingOrder);
    const Figures byText = Summary(TypeSearch(editor, typed));
    std::printf("search keystroke, sorted by description: median %.1f ms, worst %.1f ms (goal %.0f ms)\n",
                byText.median, byText.worst, kKeyGoalMs);
    editor.Tabs()->setCurrentIndex(1);
    QCoreApplication::processEvents();
    const Figures radioKeys = Summary(TypeSearch(editor, QStringLiteral("unit 99")));
    std::printf("search keystroke, radio tab sorted by description: median %.1f ms, worst %.1f ms (goal %.0f ms)\n",
                radioKeys.median, radioKeys.worst, kKeyGoalMs);

    const bool met = talkgroups == TalkgroupTable::kCapacity && radios == RadioTable::kCapacity &&
                     open.worst <= kOpenGoalMs && byId.worst <= kKeyGoalMs && byText.worst <= kKeyGoalMs &&
                     radioKeys.worst <= kKeyGoalMs;
    std::printf("%s\n", met ? "goals met" : "GOALS NOT MET");
    return met ? 0 : 2;
}
