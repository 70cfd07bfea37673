#include "ui/config/Configform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <initializer_list>

#include "link/TCommPort.h"
#include "persist/Settings.h"
#include "platform/DataPaths.h"

namespace fs = std::filesystem;

namespace {

constexpr int kUnidenType = 2;  // "Uniden BCD396XT": the only type with a choice of speed

// Global/DecodeBarColor: the toolkit's default, then black, red, green, yellow, blue, white.
const QColor kBarColours[] = {QColor(), Qt::black, Qt::red, Qt::green, Qt::yellow, Qt::blue, Qt::white};

}  // namespace

TcfgForm::TcfgForm(QWidget* parent)
    : QDialog(parent), portSearch_(&TcfgForm::SearchPorts), folderChooser_([](QWidget* owner, const QString& start) {
          // The chooser may create a new folder.
          return QFileDialog::getExistingDirectory(owner, "Backup Path", start, QFileDialog::ShowDirsOnly);
      })
{
    setObjectName(kObjectName);
    setWindowTitle(kCaption);
    auto* box = new QVBoxLayout(this);
    pages_ = new QTabWidget(this);
    pages_->setObjectName("PageControl1");
    pages_->addTab(BuildDecodePage(), "Decode Configuration");
    pages_->addTab(BuildScannerPage(), "Scanner Control");
    pages_->addTab(BuildScreenPage(), "Screen Settings");
    pages_->addTab(BuildDataPage(), "Data Options");
    pages_->addTab(BuildWebPage(), "RR Web Service/Proxy Settings");
    for (int i = 0; i < kPageCount; ++i)
        pages_->widget(i)->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
    box->addWidget(pages_);
    box->addWidget(BuildButtonsRow());
    // Wide enough for every page tab and every tab of "Screen Settings" to show its caption.
    setMinimumWidth(kMinimumWidth);
    ConnectRules();
}

void TcfgForm::ConnectRules()
{
    auto rules = [this] { BringInLine(); };
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
             globalFontBox_, webServiceBox_, manualProxyRadio_, grantFilterBox_, grantLogBox_})
        connect(button, &QAbstractButton::toggled, this, rules);
    connect(scannerTypeList_, &QComboBox::currentIndexChanged, this, rules);
}

void TcfgForm::ShowPage(int page)
{
    if (page >= 0 && page < kPageCount)
        pages_->setCurrentIndex(page);
}

void TcfgForm::Fill(const Settings& s, const std::array<QFont, kFontScreens>& screenFonts, bool decodeRunning,
                    const std::string& profileFolder)
{
    decodeRunning_ = decodeRunning;
    FillBound(s);
    FillFonts(s, screenFonts);

    QComboBox* profiles = profileList_;
    profiles->clear();
    profiles->addItems(ProfileNames(profileFolder, ExampleProfileFolder()));
    const QString wanted = QString::fromStdString(s.profile);
    int index = profiles->findText(wanted);
    // Settings written where file names ignore case may name the file in another case.
    if (index < 0)
        index = profiles->findText(wanted, Qt::MatchFixedString);
    profiles->setCurrentIndex(index);

    // Both lists select the stored ports; a rescan keeps what the user chose since.
    decodePortList_->clear();
    controlPortList_->clear();
    const QStringList ports = PortCandidates();
    ShowDecodePorts(ports);
    ShowControlPorts(ports);

    screenPages_->setCurrentIndex(0);
    BringInLine();
}

void TcfgForm::Collect(Settings& s) const
{
    CollectBound(s);
    CollectFonts(s);
    if (profileList_->currentIndex() >= 0)
        s.profile = profileList_->currentText().toStdString();
    s.backupDays = std::clamp(s.backupDays, 1, 365);
    // One port cannot both feed the decoder and steer the second scanner.
    if (s.scanControlPort == s.port)
        s.scanControlEnabled = false;
}

void TcfgForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    screenPages_->setCurrentIndex(0);
    BringInLine();
    ShowDecodeBarColour(barColourList_->currentIndex());
}

void TcfgForm::EnableWithLabels(QWidget* control, bool on)
{
    control->setEnabled(on);
    for (QLabel* label : findChildren<QLabel*>())
        if (label->buddy() == control)
            label->setEnabled(on);
}

void TcfgForm::BringInLine()
{
    const bool global = globalFontBox_->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*>{globalFont_.names, globalFont_.size, globalFont_.bold})
        EnableWithLabels(control, global);
    for (const FontControls& screen : screenFonts_)
        for (QWidget* control : std::initializer_list<QWidget*>{screen.names, screen.size, screen.bold})
            EnableWithLabels(control, !global);

    const bool web = webServiceBox_->isChecked();
    for (QWidget* control : webServiceControls_)
        EnableWithLabels(control, web);
    const bool manual = manualProxyRadio_->isChecked();
    for (QWidget* control : manualProxyControls_)
        EnableWithLabels(control, manual);
    EnableWithLabels(unidenSpeedList_, scannerTypeList_->currentIndex() == kUnidenType);
    const bool filter = grantFilterBox_->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*>{grantFilterNonVoiceBox_, grantFilterLevelSpin_})
        EnableWithLabels(control, filter);
    EnableWithLabels(grantLogLengthList_, grantLogBox_->isChecked());

    // The threads of a running decode use these settings.
    for (QWidget* control : std::initializer_list<QWidget*>{decodePortList_, autoSaveBox_, autoSaveIntervalSpin_})
        EnableWithLabels(control, !decodeRunning_);
    pages_->widget(kScannerPage)->setEnabled(!decodeRunning_);
    runningNote_->setVisible(decodeRunning_);
}

QStringList TcfgForm::PortCandidates() const
{
    QStringList ports;
    if (showAllPorts_) {
        for (int n = 1; n <= highPort_; ++n)
            ports << QStringLiteral("COM%1").arg(n);
        return ports;
    }
    return portSearch_ ? portSearch_() : ports;
}

void TcfgForm::RescanDecodePorts()
{
    ShowDecodePorts(PortCandidates());
}

void TcfgForm::RescanControlPorts()
{
    ShowControlPorts(PortCandidates());
}

namespace {

// Selects `wanted`, which is listed first when the search did not find it (a device unplugged
// right now, a pseudo-terminal, a typed path): a stored port stays what it is until the user picks
// another. Without a wanted port the first port found is selected; an empty list selects nothing.
void ShowPorts(QComboBox* list, QStringList ports, const QString& wanted)
{
    if (!wanted.isEmpty() && !ports.contains(wanted))
        ports.prepend(wanted);
    list->clear();
    list->addItems(ports);
    const int index = list->findText(wanted);
    list->setCurrentIndex(index >= 0 ? index : (ports.isEmpty() ? -1 : 0));
}

// The port a list shows: the item chosen or the path typed.
QString PortText(const QComboBox* list)
{
    return list->currentText().trimmed();
}

}  // namespace

void TcfgForm::ShowDecodePorts(const QStringList& ports)
{
    QComboBox* list = decodePortList_;
    // A rescan keeps what the user chose or typed since the dialog was filled.
    const QString shown = PortText(list);
    ShowPorts(list, ports, shown.isEmpty() ? storedPort_ : shown);
    decodeRescanButton_->setEnabled(!showAllPorts_);
}

void TcfgForm::ShowControlPorts(const QStringList& ports)
{
    QComboBox* list = controlPortList_;
    const QString shown = PortText(list);
    QString wanted = shown.isEmpty() ? storedControlPort_ : shown;
    QStringList choices = ports;
    if (!showAllPorts_) {
        // The decoding port is no choice for the second scanner.
        const QString decoding = PortText(decodePortList_);
        choices.removeAll(decoding);
        if (wanted == decoding)
            wanted.clear();
    }
    ShowPorts(list, choices, wanted);
    controlRescanButton_->setEnabled(!showAllPorts_);
    if (list->count() == 0) {
        // Nothing to steer the second scanner through.
        scanControlBox_->setChecked(false);
        EnableWithLabels(list, false);
    } else {
        EnableWithLabels(list, true);
    }
}

QStringList TcfgForm::SearchPorts()
{
    QStringList ports;
    TCommPort port;
    for (int found = port.FindFirstPort(); found > 0; found = port.FindNextPort())
        ports << QString::fromStdString(port.PortName());
    return ports;
}

QStringList TcfgForm::ProfileNames(const std::string& folder, const std::string& examplesFolder)
{
    QStringList names;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        std::string extension = entry.path().extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (name.empty() || name.front() == '.' || extension != ".scanner" || !entry.is_regular_file(ec))
            continue;
        if ((entry.status(ec).permissions() & fs::perms::owner_write) == fs::perms::none)
            continue;  // read-only files are not offered
        names << QString::fromStdString(name);
    }
    if (!examplesFolder.empty() && !fs::equivalent(examplesFolder, folder, ec)) {
        const QStringList own = names;
        for (const QString& example : ProfileNames(examplesFolder))
            if (!own.contains(example, Qt::CaseInsensitive))
                names << example;
    }
    names.sort(Qt::CaseInsensitive);
    return names;
}

void TcfgForm::PickColour(QLineEdit* example, bool text, QLineEdit* alsoText)
{
    const QPalette::ColorRole role = text ? QPalette::Text : QPalette::Base;
    QColor colour = example->palette().color(role);
    if (!colourChooser_ || !colourChooser_(colour))
        return;
    for (QLineEdit* edit : {example, alsoText}) {
        if (!edit)
            continue;
        QPalette palette = edit->palette();
        palette.setColor(role, colour);
        edit->setPalette(palette);
    }
}

void TcfgForm::ChooseBackupFolder(QLineEdit* path)
{
    const QString chosen = folderChooser_ ? folderChooser_(this, path->text()) : QString();
    if (!chosen.isEmpty())
        path->setText(chosen);
}

void TcfgForm::ShowDecodeBarColour(int index)
{
    if (index < 0 || index >= static_cast<int>(std::size(kBarColours)))
        return;
    QPalette palette = barExample_->style()->standardPalette();
    if (kBarColours[index].isValid())
        palette.setColor(QPalette::Highlight, kBarColours[index]);
    barExample_->setPalette(palette);
}
