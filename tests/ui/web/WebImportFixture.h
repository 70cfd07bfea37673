#pragma once

// The main window decoding system 3DC at RFSS 1, site 5, with the web directory service enabled
// and pointed at a fake directory on 127.0.0.1; runs the import with the options dialog and the
// system choice answered as each test says, recording the message boxes and the progress label.

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "MainWindowFixture.h"
#include "decoder/P25Class.h"
#include "ui/dialogs/Multsysselect.h"
#include "ui/dialogs/Rroptions.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/mainwindow/WebImport.h"
#include "web/FakeDirectory.h"

namespace webtest {

class WebImportFixture : public uitest::MainWindowFixture {
protected:
    static constexpr uint32_t kSystemId = 0x3DC;

    void SetUp() override
    {
        MainWindowFixture::SetUp();
        settings.webEnabled = true;
        settings.webUserName = "user";
        settings.webPassword = "secret";
        settings.webWsdl = directory.DescriptionUrl().toStdString();
        settings.webVersion = kWebServiceVersion;  // else loading puts the public address back
    }

    void TearDown() override
    {
        if (window)
            window->State().DecodeRunning = false;
        MainWindowFixture::TearDown();
    }

    // The window, decoding the test system.
    void MakeDecodingWindow()
    {
        MakeWindow();
        window->State().DecodeRunning = true;
        window->Decoder()->SetSiteIdentity(kSystemId, 1, 0x70, 5);
    }

    P25Class& Decoder() { return *window->Decoder(); }
    QLabel* Label() { return Find<QLabel>(ui_names::kImportLabel); }
    std::string Tower(uint32_t rfss, uint32_t site) { return Decoder().Towers().GetTowerName(rfss, site); }
    std::string SystemName()
    {
        SystemInfo info;
        Decoder().CopySystemInfo(info);
        return info.systemName;
    }

    // Runs the import. The options dialog gets the two option buttons (1..3 and 4..7) and the
    // result; the systems dialog gets `systemRow` selected and Import (or Cancel when -1).
    void RunImport(int siteButton = 1, int talkgroupButton = 4, int result = TRROptionsForm::kImportFromWeb,
                   int systemRow = 0, int timeoutMs = 0)
    {
        answerer.fill = [=, this](QDialog& dialog) {
            if (qobject_cast<TRROptionsForm*>(&dialog)) {
                optionsSeen = true;
                for (int n : {siteButton, talkgroupButton})
                    dialog.findChild<QRadioButton*>(QString("RadioButton%1").arg(n))->click();
                webEnabled = dialog.findChild<QPushButton*>("Button1")->isEnabled();
                cdromEnabled = dialog.findChild<QPushButton*>("Button3")->isEnabled();
                answerer.dialogResult = result;
            } else if (auto* systems = qobject_cast<TMultSysForm*>(&dialog)) {
                ShowSystems(*systems);
                if (systemRow >= 0)
                    systems->List()->topLevelItem(systemRow)->setSelected(true);
                importEnabledAfterChoice = dialog.findChild<QPushButton*>("Button1")->isEnabled();
                answerer.dialogResult = systemRow >= 0 ? QDialog::Accepted : QDialog::Rejected;
            }
        };
        answerer.inspect = [this] { labelAtBox.push_back(Label()->isVisible() ? Label()->text() : QString()); };
        QTimer progress;
        QObject::connect(&progress, &QTimer::timeout, [this] {
            const QString text = Label()->isVisible() ? Label()->text() : QString();
            if (labels.empty() || labels.back() != text)
                labels.push_back(text);
        });
        progress.start(5);
        WebImport import(*window);
        import.SetTimeoutOverrideMs(timeoutMs);
        import.Run();
    }

    // What the systems dialog showed: its rows and whether Import was enabled at first.
    void ShowSystems(TMultSysForm& dialog)
    {
        importEnabledAtOpen = dialog.findChild<QPushButton*>("Button1")->isEnabled();
        QTreeWidget* list = dialog.List();
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QStringList cells;
            for (int c = 0; c < list->columnCount(); ++c)
                cells << list->topLevelItem(i)->text(c);
            systemRows.push_back(cells);
            rowBackgrounds.push_back(list->topLevelItem(i)->background(0).color());
        }
    }

    bool Showed(const QString& label) const { return std::find(labels.begin(), labels.end(), label) != labels.end(); }

    FakeDirectory directory;
    uitest::ModalAnswerer answerer;
    bool optionsSeen = false;
    bool webEnabled = false;
    bool cdromEnabled = false;
    bool importEnabledAtOpen = true;
    bool importEnabledAfterChoice = false;
    std::vector<QStringList> systemRows;
    std::vector<QColor> rowBackgrounds;
    std::vector<QString> labels;      // the progress label's texts in order ("" = hidden)
    std::vector<QString> labelAtBox;  // the label's text when each message box showed
};

}  // namespace webtest
