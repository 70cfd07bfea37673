// The UI tests' main: one QApplication for every test (offscreen platform unless told otherwise).
#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>

namespace {

// The offscreen platform warns about every fixed-size dialog; the rest goes through.
QtMessageHandler g_defaultHandler = nullptr;

void QuietOffscreenWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains("propagateSizeHints"))
        return;
    g_defaultHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("TZ", "UTC", 1);
    g_defaultHandler = qInstallMessageHandler(QuietOffscreenWarnings);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
