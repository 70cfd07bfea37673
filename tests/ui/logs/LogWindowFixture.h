#pragma once

// The main window with a known system (0x1A3, RFSS 1, site 5) whose log views are filled by hand,
// so a test states exactly which rows a Save must write.

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include <filesystem>
#include <string>
#include <vector>

#include "MainWindowFixture.h"
#include "decoder/P25Class.h"
#include "support/ScratchFolder.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/views/ListModel.h"
#include "ui/views/LogExporter.h"

namespace uitest {

class LogWindowFixture : public MainWindowFixture {
protected:
    static constexpr const char* kTime = "04/21 14:07:00";
    static constexpr const char* kPacket = "3A 00 00 11 23 01 05 10 01 70 AB 0C ";

    void SetUp() override
    {
        MainWindowFixture::SetUp();
        // Every log recorded and shown, so no switch hides one by accident.
        for (ScreenSettings* s : {&settings.affiliations, &settings.patches, &settings.otherInfo, &settings.grants,
                                  &settings.unknowns, &settings.pktDump, &settings.psrDump})
            s->visible = true;
    }

    void Open()
    {
        MakeWindow();
        exporter = window->findChild<LogExporter*>();
        ASSERT_NE(exporter, nullptr);
        QObject::connect(exporter, &LogExporter::LogSaved, exporter,
                         [this](const QString& path) { saved.push_back(path.toStdString()); });
    }

    // The identification resets the decoder, whose clear markers empty the log views once the
    // refresh thread hands them over; rows are added only after that.
    void Identify()
    {
        P25Class& d = *window->Decoder();
        d.SetSiteIdentity(0x1A3, 1, 0x70, 5);
        ASSERT_TRUE(PumpUntil([&d] {
            return !d.Grants().GrantLogChanged() && d.AffLog().Pending() == 0 && d.Events().Pending() == 0 &&
                   d.PatchEvents().Pending() == 0 && d.Dump().Pending() == 0;
        }));
        QCoreApplication::processEvents();
    }

    ListModel& Model(const char* view)
    {
        ListModel* model = FindListModel(window.get(), view);
        EXPECT_NE(model, nullptr) << view;
        return *model;
    }
    void AddRows(const char* view, const std::vector<QStringList>& rows) { Model(view).AppendRows(rows); }
    int UnsavedRows(const char* view)
    {
        int n = 0;
        for (int row = 0; row < Model(view).Count(); ++row)
            n += Model(view).Saved(row) ? 0 : 1;
        return n;
    }
    // The short report in the window's bottom row, while it is shown.
    QString Note()
    {
        auto* label = Find<QLabel>(ui_names::kMessageNotice);
        return label && label->isVisibleTo(window.get()) ? label->text() : QString();
    }
    void Click(const char* button)
    {
        auto* b = Find<QPushButton>(button);
        ASSERT_NE(b, nullptr) << button;
        ASSERT_TRUE(b->isEnabled()) << button;
        b->click();
    }

    std::string SystemFolder() const { return Folder() + "System1A3/"; }
    std::string LogFile(const std::string& name) const { return SystemFolder() + name; }
    static std::string Read(const std::string& path) { return ScratchFolder::Read(path); }
    static bool Exists(const std::string& path) { return std::filesystem::exists(path); }

    LogExporter* exporter = nullptr;
    std::vector<std::string> saved;  // files written, in order
};

}  // namespace uitest
