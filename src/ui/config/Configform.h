#pragma once

#include <QDialog>
#include <QFont>
#include <QStringList>

#include <array>
#include <functional>
#include <string>

#include "ui/views/ListFonts.h"

class QButtonGroup;
class QCheckBox;
class QColor;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabWidget;
struct Settings;

// "Configuration Settings": the decoding scanner's port and type, the second scanner, the fonts,
// colours and switches of the screens, automatic saving and backups, and the web directory
// service with its proxy. The caller fills it from the settings, shows it on one of its pages
// and, when it closes with "Ok", collects the settings back and applies them.
class TcfgForm : public QDialog {
    Q_OBJECT
public:
    static constexpr char kObjectName[] = "cfgForm";
    static constexpr char kCaption[] = "Configuration Settings";
    static constexpr char kRunningNote[] =
        "Note:  These settings may not be changed while Varnel is actively monitoring a system.";
    static constexpr int kMinimumWidth = 860;
    enum Page { kDecodePage, kScannerPage, kScreenPage, kDataPage, kWebPage, kPageCount };

    // The serial ports present, by name (device paths on this platform).
    using PortSearch = std::function<QStringList()>;
    // A folder chosen by the user from `start`; empty when cancelled.
    using FolderChooser = std::function<QString(QWidget* parent, const QString& start)>;
    // Lets the user pick a colour starting from `colour`; true when confirmed.
    using ColourChooser = std::function<bool(QColor& colour)>;

    explicit TcfgForm(QWidget* parent = nullptr);

    void SetPortSearch(PortSearch search) { portSearch_ = std::move(search); }
    void SetFolderChooser(FolderChooser chooser) { folderChooser_ = std::move(chooser); }
    void SetColourChooser(ColourChooser chooser) { colourChooser_ = std::move(chooser); }
    bool HasColourChooser() const { return static_cast<bool>(colourChooser_); }

    // Copies the settings into the controls. `screenFonts` are the fonts the screens use now;
    // the profile list is read from `profileFolder`; while `decodeRunning` the decoding port,
    // auto save and second-scanner controls are locked.
    void Fill(const Settings& s, const std::array<QFont, kFontScreens>& screenFonts, bool decodeRunning,
              const std::string& profileFolder);
    void ShowPage(int page);
    // Copies the controls back into the settings, with the corrections of "Ok" (backup days
    // limited, second-scanner control off on the decoding port).
    void Collect(Settings& s) const;

    // The port lists built again from the port search (or COM1..COMn with ShowAllPorts).
    void RescanDecodePorts();
    void RescanControlPorts();
    // The enabling rules of the dependent controls.
    void BringInLine();

    // The profile file names of a folder: "*.scanner" files that are plain, writable and not hidden;
    // then those of `examplesFolder` (the examples installed with the program) whose name, in any
    // case, `folder` does not hold.
    static QStringList ProfileNames(const std::string& folder, const std::string& examplesFolder = {});
    // The system's default port search.
    static QStringList SearchPorts();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* BuildDecodePage();
    QWidget* BuildScannerPage();
    QWidget* BuildScreenPage();
    QWidget* BuildGlobalFontPage();
    QWidget* BuildScreenFontPage(int screen);
    QWidget* BuildDataPage();
    QWidget* BuildWebPage();
    QWidget* BuildButtonsRow();
    // The font name list, size and bold box of the global font or of one screen.
    struct FontControls {
        QComboBox* names = nullptr;
        QSpinBox* size = nullptr;
        QCheckBox* bold = nullptr;
    };
    QWidget* FontRow(const QString& nameList, const QString& sizeUpDown, const QString& sizeEdit, const QString& bold,
                     QWidget* parent, FontControls& kept);
    void ConnectRules();
    void FillFonts(const Settings& s, const std::array<QFont, kFontScreens>& screenFonts);
    void CollectFonts(Settings& s) const;
    void FillColours(const Settings& s);
    void CollectColours(Settings& s) const;
    void FillBound(const Settings& s);
    void CollectBound(Settings& s) const;
    void ShowDecodePorts(const QStringList& ports);
    void ShowControlPorts(const QStringList& ports);
    void PickColour(QLineEdit* example, bool text, QLineEdit* alsoText = nullptr);
    void ChooseBackupFolder();
    void ShowDecodeBarColour(int index);
    void EnableWithLabels(QWidget* control, bool on);
    QStringList PortCandidates() const;

    template <typename T>
    T* Get(const char* name) const
    {
        return findChild<T*>(QString::fromLatin1(name));
    }

    PortSearch portSearch_;
    FolderChooser folderChooser_;
    ColourChooser colourChooser_;
    QTabWidget* pages_ = nullptr;
    QTabWidget* screenPages_ = nullptr;
    QLabel* runningNote_ = nullptr;
    QProgressBar* barExample_ = nullptr;
    QButtonGroup* proxyGroup_ = nullptr;                  // ProxyTypeGroup: automatic, manual, none
    FontControls globalFont_;                             // ComboBox12, UpDown9, CheckBox22
    std::array<FontControls, kFontScreens> screenFonts_;  // FontName*, FontSize*, FontBold*
    bool decodeRunning_ = false;
    bool showAllPorts_ = false;
    int highPort_ = 0;
    QString storedPort_;
    QString storedControlPort_;
    std::string storedProfile_;
};
