// The pages "Decode Configuration", "Scanner Control", "Data Options" and "RR Web Service/Proxy
// Settings" of the configuration dialog, and its "Ok"/"Cancel" row.
#include <QButtonGroup>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QSlider>
#include <QVBoxLayout>

#include "persist/Settings.h"
#include "ui/config/ConfigWidgets.h"
#include "ui/config/Configform.h"

using namespace config_widgets;

namespace {

constexpr int kLatencyMaxMs = 100;
// Fields that hold addresses and folder paths show them whole.
constexpr int kPathFieldWidth = 440;
constexpr int kDaysFieldWidth = 60;
constexpr int kPortListWidth = kPathFieldWidth;  // /dev/serial/by-id names are long
constexpr int kManualProxy = 1;                  // the proxy type of "Manual Configuration"

QLineEdit* Wide(QLineEdit* edit)
{
    edit->setMinimumWidth(kPathFieldWidth);
    return edit;
}

// A row of controls in a form: a caption, then the controls side by side.
void Row(QFormLayout* form, const QString& caption, std::initializer_list<QWidget*> controls, QWidget* parent)
{
    auto* row = new QHBoxLayout;
    for (QWidget* w : controls)
        row->addWidget(w);
    row->addStretch(1);
    form->addRow(Caption(caption, *controls.begin(), parent), row);
}

// A port list that also takes a typed device path (a link under /dev/serial/by-id, a
// pseudo-terminal, a device not plugged in right now).
QComboBox* PortCombo(const QString& name, QWidget* parent)
{
    QComboBox* combo = Combo(name, {}, parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMinimumWidth(kPortListWidth);
    return combo;
}

}  // namespace

QWidget* TcfgForm::BuildDecodePage()
{
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    decodePortList_ = PortCombo("ComboBox1", page);
    decodeRescanButton_ = Button("Button9", "Rescan", page);
    Row(form, "Port:", {decodePortList_, decodeRescanButton_}, page);

    latencySlider_ = new QSlider(Qt::Horizontal, page);
    latencySlider_->setObjectName("TrackBar1");
    latencySlider_->setRange(0, kLatencyMaxMs);
    latencyLabel_ = new QLabel(page);
    latencyLabel_->setObjectName("LatSet");
    connect(latencySlider_, &QSlider::valueChanged, latencyLabel_,
            [label = latencyLabel_](int ms) { label->setText(QString::asprintf("%3d ms", ms)); });
    Row(form, "Latency:", {latencySlider_, latencyLabel_}, page);

    scannerTypeList_ = bindings_.Index(
        Combo("ComboBox15",
              {"Pro-96/Pro-2096", "PSR-500/PSR-600/Pro-106/Pro-197", "Uniden BCD396XT", "Anritsu S412D Analyzer"},
              page),
        BOUND_SETTING(scannerType));
    Row(form, "Decoding Scanner Model::", {scannerTypeList_}, page);
    unidenSpeedList_ =
        bindings_.NumberedList(Combo("ComboBox19", Numbers({4800, 9600, 19200, 38400, 57600, 115200}), page),
                               BOUND_SETTING(unidenSpeed), 115200);
    Row(form, "Port Speed:", {unidenSpeedList_}, page);

    barColourList_ = bindings_.Index(
        Combo("ComboBox20", {"Windows Default", "Black", "Red", "Green", "Yellow", "Blue", "White"}, page),
        BOUND_SETTING(decodeBarColor));
    barExample_ = new QProgressBar(page);
    barExample_->setObjectName("ProgressBar1");
    barExample_->setRange(0, 100);
    barExample_->setValue(75);
    Row(form, "Select Color:", {barColourList_, barExample_}, page);

    connect(decodeRescanButton_, &QPushButton::clicked, this, &TcfgForm::RescanDecodePorts);
    connect(barColourList_, &QComboBox::currentIndexChanged, this, &TcfgForm::ShowDecodeBarColour);
    return page;
}

QWidget* TcfgForm::BuildScannerPage()
{
    auto* page = new QWidget;
    auto* box = new QVBoxLayout(page);
    scanControlBox_ =
        bindings_.Box(Check("CheckBox5", "Enable control of Second Scanner", page), BOUND_SETTING(scanControlEnabled));
    box->addWidget(scanControlBox_);
    auto* form = new QFormLayout;
    controlPortList_ = PortCombo("ComboBox2", page);
    controlRescanButton_ = Button("Button10", "Rescan", page);
    Row(form, "Control Port:", {controlPortList_, controlRescanButton_}, page);
    profileList_ = Combo("ComboBox3", {}, page);
    Row(form, "Use this Profile:", {profileList_}, page);
    Row(form, "Private Call Priority:",
        {bindings_.Spinner(Spin("UpDown11", "Edit1", 0, 99, page), BOUND_SETTING(privatePriority))}, page);
    quietFrequencyField_ = Edit("Edit16", page);
    Row(form, "Quiet Frequency:", {quietFrequencyField_}, page);
    // A control port speed that is not an item falls back to the default speed; without an item
    // chosen there would be no speed to store.
    auto* speed = bindings_.NumberedList(
        Combo("ComboBox4", Numbers({1200, 2400, 9600, 14400, 19200, 38400, 57600, 115200}), page),
        BOUND_SETTING(portSpeed), 9600);
    Row(form, "Port Speed:", {speed}, page);
    box->addLayout(form);
    auto* warning = new QLabel(
        "The port selected to control this scanner may not be the same port that is used to read data from the "
        "Pro-96!  If the same port is selected, control of the scanner will be disabled.",
        page);
    warning->setWordWrap(true);
    box->addWidget(warning);
    box->addStretch(1);
    connect(controlRescanButton_, &QPushButton::clicked, this, &TcfgForm::RescanControlPorts);
    return page;
}

QWidget* TcfgForm::BuildDataPage()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    autoSaveBox_ = bindings_.Box(Check("CheckBox6", "Auto Save Data every", page), BOUND_SETTING(autoSaveEnabled));
    autoSaveIntervalSpin_ = bindings_.Spinner(Spin("UpDown1", "Edit2", 1, 60, page), BOUND_SETTING(autoSaveInterval));
    grid->addWidget(autoSaveBox_, 0, 0);
    grid->addWidget(autoSaveIntervalSpin_, 0, 1);
    grid->addWidget(Caption("Minute(s)", autoSaveIntervalSpin_, page), 0, 2);
    auto* dateInNames =
        bindings_.Box(Check("CheckBox12", "Add Date to all log file names.", page), BOUND_SETTING(includeDate));
    grid->addWidget(dateInNames, 1, 0, 1, 3);
    auto* confirmationsBox =
        bindings_.Box(Check("CheckBox33", "Require Confirmations for Clear and Stop Monitoring Buttons", page),
                      BOUND_SETTING(confirmations));
    grid->addWidget(confirmationsBox, 2, 0, 1, 3);

    auto* backup = new QGroupBox("Data Backup", page);
    auto* backupGrid = new QGridLayout(backup);
    auto* days = bindings_.Number(Edit("Edit26", backup), BOUND_SETTING(backupDays));
    days->setMaxLength(3);
    days->setMaximumWidth(kDaysFieldWidth);
    auto* backupOn =
        bindings_.Box(Check("CheckBox42", "Enable Data Backup every", backup), BOUND_SETTING(backupEnabled));
    backupGrid->addWidget(backupOn, 0, 0);
    backupGrid->addWidget(days, 0, 1);
    backupGrid->addWidget(Caption("days", days, backup), 0, 2);
    backupGrid->addWidget(Caption("(Range 1 day to 365 Days)", days, backup), 1, 0, 1, 3);
    auto* dateInFolder =
        bindings_.Box(Check("CheckBox43", "Add Date to backup folder", backup), BOUND_SETTING(backupAddDate));
    backupGrid->addWidget(dateInFolder, 2, 0, 1, 3);
    auto* path = bindings_.Text(Wide(Edit("Edit27", backup)), BOUND_SETTING(backupPath));
    auto* choose = Button("Button7", "...", backup);
    backupGrid->addWidget(Caption("Backup Path: ", path, backup), 3, 0);
    backupGrid->addWidget(path, 3, 1);
    backupGrid->addWidget(choose, 3, 2);
    grid->addWidget(backup, 3, 0, 1, 3);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(3, 1);
    connect(choose, &QPushButton::clicked, this, [this, path] { ChooseBackupFolder(path); });
    return page;
}

QWidget* TcfgForm::BuildWebPage()
{
    auto* page = new QWidget;
    auto* box = new QVBoxLayout(page);

    // The web service switch enables all the other controls of its group.
    auto* web = new QGroupBox("Radio Reference Web Service", page);
    auto* webForm = new QFormLayout(web);
    webServiceBox_ = bindings_.Box(Check("CheckBox40", "Enable the Radio Reference Web Service Option.", web),
                                   BOUND_SETTING(webEnabled));
    webForm->addRow(webServiceBox_);
    auto* userName = bindings_.Text(Edit("Edit17", web), BOUND_SETTING(webUserName));
    Row(webForm, "User Name:", {userName}, web);
    auto* password = bindings_.Text(Edit("Edit20", web, true), BOUND_SETTING(webPassword));
    Row(webForm, "Password:", {password}, web);
    auto* wsdl = bindings_.Text(Wide(Edit("Edit21", web)), BOUND_SETTING(webWsdl));
    Row(webForm, "WSDL Path:", {wsdl}, web);
    auto* timeOut = bindings_.Number(Edit("Edit28", web), BOUND_SETTING(webTimeOut));
    Row(webForm, "RX Time-Out:", {timeOut, Caption("seconds", timeOut, web)}, web);
    auto* cdrom = bindings_.Box(Check("CheckBox44", "Enable the RadioReference Database CD-ROM Option", web),
                                BOUND_SETTING(cdromEnabled));
    webForm->addRow(cdrom);
    auto* cdromWsdl = bindings_.Text(Wide(Edit("Edit29", web)), BOUND_SETTING(cdromWsdl));
    Row(webForm, "WSDL Path:", {cdromWsdl}, web);
    auto* cdromTimeOut = bindings_.Number(Edit("Edit30", web), BOUND_SETTING(cdromTimeOut));
    Row(webForm, "RX Time-Out:", {cdromTimeOut, Caption("seconds", cdromTimeOut, web)}, web);
    webServiceControls_ = {userName, password, wsdl, timeOut, cdrom, cdromWsdl, cdromTimeOut};
    box->addWidget(web);

    // "Manual Configuration" enables the address, port and login of the proxy.
    auto* proxy = new QGroupBox("Proxy Settings", page);
    auto* proxyForm = new QFormLayout(proxy);
    auto* group = new QButtonGroup(proxy);
    group->setObjectName("ProxyTypeGroup");
    proxyGroup_ = group;
    auto* radios = new QHBoxLayout;
    int id = 0;
    for (auto [name, caption] :
         {std::pair{"RadioButton1", "Automatic"}, std::pair{"RadioButton3", "Manual Configuration"},
          std::pair{"RadioButton2", "No Proxy"}}) {
        QRadioButton* radio = Radio(name, caption, proxy);
        if (id == kManualProxy)
            manualProxyRadio_ = radio;
        group->addButton(radio, id++);
        radios->addWidget(radio);
    }
    proxyForm->addRow(radios);
    auto* address = bindings_.Text(Edit("Edit22", proxy), BOUND_SETTING(proxyAddress));
    Row(proxyForm, "Proxy Address:", {address}, proxy);
    auto* port = bindings_.Number(Edit("Edit23", proxy), BOUND_SETTING(proxyPort));
    Row(proxyForm, "Port:", {port}, proxy);
    auto* login = bindings_.Box(Check("CheckBox41", "Proxy Requires User name and Password", proxy),
                                BOUND_SETTING(proxyLoginRequired));
    proxyForm->addRow(login);
    auto* proxyUser = bindings_.Text(Edit("Edit24", proxy), BOUND_SETTING(proxyUserName));
    Row(proxyForm, "User Name:", {proxyUser}, proxy);
    auto* proxyPassword = bindings_.Text(Edit("Edit25", proxy, true), BOUND_SETTING(proxyPassword));
    Row(proxyForm, "Password:", {proxyPassword}, proxy);
    manualProxyControls_ = {address, port, login, proxyUser, proxyPassword};
    box->addWidget(proxy);
    box->addStretch(1);
    return page;
}

QWidget* TcfgForm::BuildButtonsRow()
{
    auto* row = new QWidget(this);
    auto* box = new QHBoxLayout(row);
    box->setContentsMargins(0, 0, 0, 0);
    runningNote_ = new QLabel(kRunningNote, row);
    runningNote_->setObjectName("RunningNote");
    runningNote_->setWordWrap(true);
    runningNote_->hide();
    box->addWidget(runningNote_, 1);
    auto* ok = Button("Button1", "Ok", row);
    ok->setDefault(true);
    auto* cancel = Button("Button2", "Cancel", row);
    box->addWidget(ok);
    box->addWidget(cancel);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    return row;
}
