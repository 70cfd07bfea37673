#pragma once

// The desktop program's windows in a temporary program folder with a settings file written
// before the window is made, a manual clock, and helpers to wait on the event loop and to
// answer message boxes and dialogs as they open.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "WidgetLookup.h"
#include "persist/Settings.h"
#include "platform/Clock.h"
#include "ui/mainwindow/DesktopProgram.h"
#include "ui/mainwindow/Mainwindow.h"

namespace uitest {

constexpr int kWaitMs = 8000;  // bound of every wait; a healthy run needs a small part of it

// Runs the event loop until `done()` holds or `timeoutMs` passed; returns done().
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = kWaitMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Answers every modal message box or dialog that opens while it lives: records the box's title
// and text, lets `inspect` look at the moment, then closes it with `answer` (message boxes) or
// `dialogResult` (other dialogs, after `fill`).
class ModalAnswerer : public QObject {
public:
    struct Seen {
        QString title;
        QString text;
        qint64 closedAtMs;
    };

    explicit ModalAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok) : answer_(answer)
    {
        clock_.start();
        connect(&poll_, &QTimer::timeout, this, &ModalAnswerer::Poll);
        poll_.start(5);
    }

    void SetAnswer(QMessageBox::StandardButton answer) { answer_ = answer; }
    std::function<void()> inspect;
    std::function<void(QDialog&)> fill;
    int dialogResult = QDialog::Accepted;
    std::vector<Seen> seen;
    qint64 ElapsedMs() const { return clock_.elapsed(); }

private:
    void Poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (inspect)
                inspect();
            QAbstractButton* button = box->button(answer_);
            seen.push_back({box->windowTitle(), box->text(), clock_.elapsed()});
            if (button)
                button->click();
            else
                box->done(answer_);
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            seen.push_back({dialog->windowTitle(), QString(), clock_.elapsed()});
            if (fill)
                fill(*dialog);
            dialog->done(dialogResult);
        }
    }

    QMessageBox::StandardButton answer_;
    QTimer poll_;
    QElapsedTimer clock_;
};

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    void TearDown() override
    {
        if (window)
            window->close();
        window.reset();
    }

    std::string Folder() const { return dir.path().toStdString() + "/"; }
    std::string SettingsFile() const { return Folder() + "varnel.INI"; }

    // Writes `settings`, makes the windows and (unless told otherwise) shows the main window and
    // waits for its start-up activation.
    void MakeWindow(QStringList arguments = {}, bool show = true)
    {
        ASSERT_TRUE(SaveSettings(SettingsFile(), settings));
        MainWindowOptions options;
        options.programFolder = Folder();
        options.settingsPath = SettingsFile();
        options.arguments = arguments;
        options.clock = &clock;
        window = CreateDesktopWindows(std::move(options));
        if (show) {
            window->show();
            ASSERT_TRUE(PumpUntil([this] { return window->Decoder() != nullptr; }));
            QCoreApplication::processEvents();
        }
    }

    template <typename T>
    T* Find(const char* name) const
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }

    QAction* Action(const char* name) const { return Find<QAction>(name); }

    Settings Reloaded() const
    {
        Settings s;
        LoadSettings(SettingsFile(), s);
        return s;
    }

    QTemporaryDir dir;
    Settings settings;
    ManualClock clock;
    std::unique_ptr<TForm1> window;
};

}  // namespace uitest
