#include "ui/mainwindow/DesktopProgram.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <exception>
#include <filesystem>

#include "platform/ProgramFolder.h"
#include "ui/config/Configform.h"
#include "ui/dialogs/About.h"
#include "ui/dialogs/Addrange.h"
#include "ui/dialogs/EditDialogServices.h"
#include "ui/dialogs/Holdscreen.h"
#include "ui/dialogs/Multsysselect.h"
#include "ui/dialogs/Radidedit.h"
#include "ui/dialogs/Rroptions.h"
#include "ui/dialogs/Sysedit.h"
#include "ui/dialogs/Tgedit.h"
#include "ui/dialogs/Usage.h"
#include "ui/mainwindow/ScreenshotTour.h"
#include "ui/mainwindow/TerminationSignals.h"

namespace {

constexpr char kApplicationTitle[] = "Varnel P25 CC Decoder";
constexpr char kDesktopFileName[] = "org.varnel.Varnel";

// An exception that escapes an event handler is shown in a message box and the event loop goes on.
class VarnelApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            QMessageBox::critical(nullptr, applicationDisplayName(), QString::fromLocal8Bit(e.what()));
        } catch (...) {
            QMessageBox::critical(nullptr, applicationDisplayName(), "Unknown exception");
        }
        return false;
    }
};

}  // namespace

std::unique_ptr<TForm1> CreateDesktopWindows(MainWindowOptions options)
{
    auto form1 = std::make_unique<TForm1>(std::move(options));
    // The dialogs in their fixed order: TForm2, TForm3, TForm4, TcfgForm, TAboutForm, TForm5,
    // TUsageForm, TRROptionsForm, TMultSysForm, TAddRangeForm.
    form1->Dialogs().systemDialog = new TForm2(form1.get());
    form1->Dialogs().talkgroupDialog = new TForm3(MainWindowEditServices(*form1), form1.get());
    form1->Dialogs().radioDialog = new TForm4(MainWindowEditServices(*form1), form1.get());
    form1->Dialogs().config = new TcfgForm(form1.get());  // after TForm4, before TAboutForm
    form1->Dialogs().about = new TAboutForm(form1.get());
    form1->Dialogs().hold = new TForm5(form1.get());
    form1->Dialogs().usage = new TUsageForm(form1.get());
    form1->Dialogs().rrOptions = new TRROptionsForm(form1.get());
    form1->Dialogs().multSys = new TMultSysForm(form1.get());
    form1->Dialogs().addRange = new TAddRangeForm(form1.get());
    return form1;
}

int RunDesktop(int& argc, char** argv, const DesktopOptions& options)
{
    VarnelApplication app(argc, argv);
    // The application title is the program's name for the desktop and the title of its own
    // messages (applicationDisplayName() falls back to it). It is set as the application name
    // because a display name would be appended to every window's caption by the window system.
    QApplication::setApplicationName(kApplicationTitle);
    // The desktop entry's name (without ".desktop"): the window system shows its icon.
    QGuiApplication::setDesktopFileName(kDesktopFileName);

    MainWindowOptions windowOptions;
    windowOptions.programFolder = ChooseProgramFolder(options.dataDir, argv[0]);
    windowOptions.settingsPath = SettingsFilePath(windowOptions.programFolder, argv[0]);
    windowOptions.arguments = QApplication::arguments();
    windowOptions.demo = options.demo;
    windowOptions.demoCapture = options.demoCapture;
    if (windowOptions.programFolder.empty()) {
        QMessageBox::critical(nullptr, kApplicationTitle, "No program folder could be found or created.");
        return 2;
    }

    // The first start in a folder the user did not name shows the About box, which says where
    // the settings, systems and logs are kept.
    std::error_code ec;
    const bool showDataFolder = options.dataDir.empty() && qEnvironmentVariableIsEmpty("VARNEL_HOME") &&
                                !std::filesystem::exists(windowOptions.settingsPath, ec) && !ec;

    std::unique_ptr<TForm1> form1;
    try {
        form1 = CreateDesktopWindows(std::move(windowOptions));
    } catch (const std::exception& e) {
        // An exception while the windows are created ends the program after its message.
        QMessageBox::critical(nullptr, kApplicationTitle, QString::fromLocal8Bit(e.what()));
        return 1;
    }
    // A termination signal ends the program the way "E&xit" does: threads ended in order, the
    // settings and the decoded system written, status 0.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::Requested, form1.get(), &TForm1::ExitProgram);
    form1->show();
    if (showDataFolder)
        QTimer::singleShot(0, form1.get(), &TForm1::ShowAbout);
    StartScreenshotTourIfAsked(*form1);
    const int status = QApplication::exec();
    form1->RunCloseSequence();
    return status;
}

int RefuseDesktopStart(int& argc, char** argv, const std::string& text)
{
    std::unique_ptr<QApplication> app;
    if (QApplication::instance() == nullptr)
        app = std::make_unique<QApplication>(argc, argv);
    QMessageBox::critical(nullptr, kApplicationTitle, QString::fromLocal8Bit(text.c_str()));
    return 2;
}
