// A web request that never gets an answer: the window stays usable, a progress window offers
// "Cancel", the commands that would start a second request are off, and "Cancel" ends the
// request at once without a message.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>
#include <vector>

#include "MainWindowFixture.h"
#include "ui/mainwindow/MainWindowNames.h"
#include "ui/mainwindow/WebRequestProgress.h"
#include "web/UpdateCheck.h"
#include "web/WebImportFixture.h"

namespace {

using namespace ui_names;

// Accepts every connection and never says a word.
class SilentServer : public QTcpServer {
public:
    SilentServer()
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection())
                held.push_back(socket);
        });
    }
    QString Url(const QString& path) const { return QString("http://127.0.0.1:%1%2").arg(serverPort()).arg(path); }
    std::vector<QTcpSocket*> held;
};

// Drives the window from inside the request's wait: once the request has reached the server it
// records what the window shows, opens the "Help" menu with a click posted to the menu bar (no
// modal window may stand in its way), then presses "Cancel".
class WaitDriver {
public:
    WaitDriver(TForm1& window, SilentServer& server) : window_(window), server_(server)
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Step(); });
        timer_.start(10);
        since_.start();
    }

    bool sawProgress = false;
    bool commandsOff = false;
    bool busyCursor = false;
    bool menuOpened = false;
    QElapsedTimer cancelledAt;

private:
    QProgressDialog* Progress() const { return window_.findChild<QProgressDialog*>(WebRequestProgress::kObjectName); }
    QMenu* HelpMenu() const { return window_.findChild<QMenu*>(kMenuHelp); }

    void Step()
    {
        QProgressDialog* progress = Progress();
        if (stage_ == 0 && progress && progress->isVisible() && !server_.held.empty()) {
            sawProgress = true;
            commandsOff = !window_.findChild<QAction*>(kActCheckUpdates)->isEnabled() &&
                          !window_.findChild<QAction*>(kActImport)->isEnabled();
            busyCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::BusyCursor;
            // A click on "&Help" in the menu bar.
            QMenuBar* bar = window_.menuBar();
            const QPoint at = bar->actionGeometry(HelpMenu()->menuAction()).center();
            QApplication::postEvent(bar, new QMouseEvent(QEvent::MouseButtonPress, at, bar->mapToGlobal(at),
                                                         Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
            QApplication::postEvent(bar, new QMouseEvent(QEvent::MouseButtonRelease, at, bar->mapToGlobal(at),
                                                         Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
            stage_ = 1;
            since_.restart();
        } else if (stage_ == 1 && (HelpMenu()->isVisible() || since_.elapsed() > 3000)) {
            menuOpened = HelpMenu()->isVisible();
            HelpMenu()->hide();
            stage_ = 2;
            cancelledAt.start();
            progress->findChild<QPushButton*>()->click();
        } else if (stage_ == 0 && since_.elapsed() > uitest::kWaitMs && progress) {
            stage_ = 2;  // never reached the server: end the wait all the same
            cancelledAt.start();
            progress->findChild<QPushButton*>()->click();
        }
    }

    TForm1& window_;
    SilentServer& server_;
    QTimer timer_;
    QElapsedTimer since_;
    int stage_ = 0;
};

void ExpectAllBackToNormal(TForm1& window)
{
    EXPECT_EQ(window.findChild<QProgressDialog*>(WebRequestProgress::kObjectName), nullptr);
    EXPECT_TRUE(window.findChild<QAction*>(kActCheckUpdates)->isEnabled());
    EXPECT_TRUE(window.findChild<QAction*>(kActImport)->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

class UpdateCheckCancelTest : public uitest::MainWindowFixture {
protected:
    void TearDown() override
    {
        unsetenv(UpdateCheck::kUrlVariable);
        MainWindowFixture::TearDown();
    }
};

TEST_F(UpdateCheckCancelTest, CancelEndsAnUnansweredCheckAtOnceAndTheWindowAnswersMeanwhile)
{
    SilentServer server;
    ASSERT_TRUE(server.isListening());
    setenv(UpdateCheck::kUrlVariable, server.Url("/CurrentVersions.txt").toUtf8().constData(), 1);
    MakeWindow();
    uitest::ModalAnswerer answerer;
    WaitDriver driver(*window, server);
    Action(kActCheckUpdates)->trigger();  // returns once the request has ended
    const qint64 afterCancel = driver.cancelledAt.elapsed();

    EXPECT_TRUE(driver.sawProgress);
    EXPECT_TRUE(driver.commandsOff);
    EXPECT_TRUE(driver.busyCursor);
    EXPECT_TRUE(driver.menuOpened);
    EXPECT_LT(afterCancel, 1000);
    EXPECT_TRUE(answerer.seen.empty());  // a cancelled check tells nothing
    ExpectAllBackToNormal(*window);
}

class ImportCancelTest : public webtest::WebImportFixture { };

TEST_F(ImportCancelTest, CancelEndsAnUnansweredImportAtOnceWithoutAMessage)
{
    SilentServer server;
    ASSERT_TRUE(server.isListening());
    settings.webWsdl = server.Url("/soap/?wsdl").toStdString();
    MakeDecodingWindow();
    WaitDriver driver(*window, server);
    RunImport();
    const qint64 afterCancel = driver.cancelledAt.elapsed();

    EXPECT_TRUE(driver.sawProgress);
    EXPECT_TRUE(driver.commandsOff);
    EXPECT_TRUE(driver.menuOpened);
    EXPECT_LT(afterCancel, 1000);
    ASSERT_EQ(answerer.seen.size(), 1u);  // the options dialog only
    EXPECT_TRUE(optionsSeen);
    EXPECT_FALSE(Label()->isVisible());
    ExpectAllBackToNormal(*window);
}

}  // namespace
