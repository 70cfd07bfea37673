#pragma once

#include <QDialog>
#include <QFont>
#include <QStringList>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "ui/config/SettingBindings.h"
#include "ui/views/ListFonts.h"

class QButtonGroup;
class QCheckBox;
class QColor;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QVBoxLayout;
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
    void BuildScreenSwitches(int screen, QVBoxLayout* box, QWidget* page);
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
    void FillBound(const Settings& s);
    void CollectBound(Settings& s) const;
    void ShowDecodePorts(const QStringList& ports);
    void ShowControlPorts(const QStringList& ports);
    void PickColour(QLineEdit* example, bool text, QLineEdit* alsoText = nullptr);
    void ChooseBackupFolder(QLineEdit* path);
    void ShowDecodeBarColour(int index);
    void EnableWithLabels(QWidget* control, bool on);
    QStringList PortCandidates() const;

    PortSearch portSearch_;
    FolderChooser folderChooser_;
    ColourChooser colourChooser_;
    // Every control that edits one setting, recorded by the page that creates it.
    SettingBindings bindings_;

    // The controls the dialog reaches by their role, kept where they are created; the comments
    // give their objectNames.
    QTabWidget* pages_ = nullptr;        // PageControl1
    QTabWidget* screenPages_ = nullptr;  // PageControl2
    QLabel* runningNote_ = nullptr;      // RunningNote
    // "Decode Configuration".
    QComboBox* decodePortList_ = nullptr;        // ComboBox1
    QPushButton* decodeRescanButton_ = nullptr;  // Button9
    QSlider* latencySlider_ = nullptr;           // TrackBar1
    QLabel* latencyLabel_ = nullptr;             // LatSet
    QComboBox* scannerTypeList_ = nullptr;       // ComboBox15
    QComboBox* unidenSpeedList_ = nullptr;       // ComboBox19, only for the Uniden type
    QComboBox* barColourList_ = nullptr;         // ComboBox20
    QProgressBar* barExample_ = nullptr;         // ProgressBar1
    // "Scanner Control".
    QCheckBox* scanControlBox_ = nullptr;         // CheckBox5
    QComboBox* controlPortList_ = nullptr;        // ComboBox2
    QPushButton* controlRescanButton_ = nullptr;  // Button10
    QComboBox* profileList_ = nullptr;            // ComboBox3
    QLineEdit* quietFrequencyField_ = nullptr;    // Edit16
    // "Screen Settings".
    QCheckBox* globalFontBox_ = nullptr;                  // CheckBox21
    FontControls globalFont_;                             // ComboBox12, UpDown9, CheckBox22
    std::array<FontControls, kFontScreens> screenFonts_;  // FontName*, FontSize*, FontBold*
    QCheckBox* grantLogBox_ = nullptr;                    // CheckBox34, the abbreviated grant log
    QComboBox* grantLogLengthList_ = nullptr;             // ComboBox14
    QCheckBox* grantFilterBox_ = nullptr;                 // CheckBox7
    QSpinBox* grantFilterLevelSpin_ = nullptr;            // UpDown12
    QCheckBox* grantFilterNonVoiceBox_ = nullptr;         // CheckBox32
    // "Data Options".
    QCheckBox* autoSaveBox_ = nullptr;          // CheckBox6
    QSpinBox* autoSaveIntervalSpin_ = nullptr;  // UpDown1
    // "RR Web Service/Proxy Settings".
    QCheckBox* webServiceBox_ = nullptr;         // CheckBox40
    std::vector<QWidget*> webServiceControls_;   // Edit17, Edit20, Edit21, Edit28, CheckBox44, Edit29, Edit30
    QButtonGroup* proxyGroup_ = nullptr;         // ProxyTypeGroup: automatic, manual, none
    QRadioButton* manualProxyRadio_ = nullptr;   // RadioButton3
    std::vector<QWidget*> manualProxyControls_;  // Edit22, Edit23, CheckBox41, Edit24, Edit25
    bool decodeRunning_ = false;
    bool showAllPorts_ = false;
    int highPort_ = 0;
    QString storedPort_;
    QString storedControlPort_;
    std::string storedProfile_;
};
