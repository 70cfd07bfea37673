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

#include "ui/config/ConfigWidgets.h"
#include "ui/config/Configform.h"

using namespace config_widgets;

namespace {

constexpr int kLatencyMaxMs = 100;
// Fields that hold addresses and folder paths show them whole.
constexpr int kPathFieldWidth = 440;
constexpr int kDaysFieldWidth = 60;
constexpr int kPortListWidth = kPathFieldWidth;  // /dev/serial/by-id names are long

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
QComboBox* PortCombo(const char* name, QWidget* parent)
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
    auto* port = PortCombo("ComboBox1", page);
    auto* rescan = Button("Button9", "Rescan", page);
    Row(form, "Port:", {port, rescan}, page);

    auto* latency = new QSlider(Qt::Horizontal, page);
    latency->setObjectName("TrackBar1");
    latency->setRange(0, kLatencyMaxMs);
    auto* latSet = new QLabel(page);
    latSet->setObjectName("LatSet");
    connect(latency, &QSlider::valueChanged, latSet,
            [latSet](int ms) { latSet->setText(QString::asprintf("%3d ms", ms)); });
    Row(form, "Latency:", {latency, latSet}, page);

    auto* type = Combo(
        "ComboBox15",
        {"Pro-96/Pro-2096", "PSR-500/PSR-600/Pro-106/Pro-197", "Uniden BCD396XT", "Anritsu S412D Analyzer"}, page);
    Row(form, "Decoding Scanner Model::", {type}, page);
    auto* speed = Combo("ComboBox19", Numbers({4800, 9600, 19200, 38400, 57600, 115200}), page);
    Row(form, "Port Speed:", {speed}, page);

    auto* colour = Combo("ComboBox20", {"Windows Default", "Black", "Red", "Green", "Yellow", "Blue", "White"}, page);
    barExample_ = new QProgressBar(page);
    barExample_->setObjectName("ProgressBar1");
    barExample_->setRange(0, 100);
    barExample_->setValue(75);
    Row(form, "Select Color:", {colour, barExample_}, page);

    connect(rescan, &QPushButton::clicked, this, &TcfgForm::RescanDecodePorts);
    connect(colour, &QComboBox::currentIndexChanged, this, &TcfgForm::ShowDecodeBarColour);
    return page;
}

QWidget* TcfgForm::BuildScannerPage()
{
    auto* page = new QWidget;
    auto* box = new QVBoxLayout(page);
    box->addWidget(Check("CheckBox5", "Enable control of Second Scanner", page));
    auto* form = new QFormLayout;
    auto* port = PortCombo("ComboBox2", page);
    auto* rescan = Button("Button10", "Rescan", page);
    Row(form, "Control Port:", {port, rescan}, page);
    Row(form, "Use this Profile:", {Combo("ComboBox3", {}, page)}, page);
    Row(form, "Private Call Priority:", {Spin("UpDown11", "Edit1", 0, 99, page)}, page);
    Row(form, "Quiet Frequency:", {Edit("Edit16", page)}, page);
    Row(form,
        "Port Speed:", {Combo("ComboBox4", Numbers({1200, 2400, 9600, 14400, 19200, 38400, 57600, 115200}), page)},
        page);
    box->addLayout(form);
    auto* warning = new QLabel(
        "The port selected to control this scanner may not be the same port that is used to read data from the "
        "Pro-96!  If the same port is selected, control of the scanner will be disabled.",
        page);
    warning->setWordWrap(true);
    box->addWidget(warning);
    box->addStretch(1);
    connect(rescan, &QPushButton::clicked, this, &TcfgForm::RescanControlPorts);
    return page;
}

QWidget* TcfgForm::BuildDataPage()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    auto* autoSave = Check("CheckBox6", "Auto Save Data every", page);
    auto* interval = Spin("UpDown1", "Edit2", 1, 60, page);
    grid->addWidget(autoSave, 0, 0);
    grid->addWidget(interval, 0, 1);
    grid->addWidget(Caption("Minute(s)", interval, page), 0, 2);
    grid->addWidget(Check("CheckBox12", "Add Date to all log file names.", page), 1, 0, 1, 3);
    grid->addWidget(Check("CheckBox33", "Require Confirmations for Clear and Stop Monitoring Buttons", page), 2, 0, 1,
                    3);

    auto* backup = new QGroupBox("Data Backup", page);
    auto* backupGrid = new QGridLayout(backup);
    auto* days = Edit("Edit26", backup);
    days->setMaxLength(3);
    days->setMaximumWidth(kDaysFieldWidth);
    backupGrid->addWidget(Check("CheckBox42", "Enable Data Backup every", backup), 0, 0);
    backupGrid->addWidget(days, 0, 1);
    backupGrid->addWidget(Caption("days", days, backup), 0, 2);
    backupGrid->addWidget(Caption("(Range 1 day to 365 Days)", days, backup), 1, 0, 1, 3);
    backupGrid->addWidget(Check("CheckBox43", "Add Date to backup folder", backup), 2, 0, 1, 3);
    auto* path = Wide(Edit("Edit27", backup));
    auto* choose = Button("Button7", "...", backup);
    backupGrid->addWidget(Caption("Backup Path: ", path, backup), 3, 0);
    backupGrid->addWidget(path, 3, 1);
    backupGrid->addWidget(choose, 3, 2);
    grid->addWidget(backup, 3, 0, 1, 3);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(3, 1);
    connect(choose, &QPushButton::clicked, this, &TcfgForm::ChooseBackupFolder);
    return page;
}

QWidget* TcfgForm::BuildWebPage()
{
    auto* page = new QWidget;
    auto* box = new QVBoxLayout(page);

    auto* web = new QGroupBox("Radio Reference Web Service", page);
    auto* webForm = new QFormLayout(web);
    webForm->addRow(Check("CheckBox40", "Enable the Radio Reference Web Service Option.", web));
    Row(webForm, "User Name:", {Edit("Edit17", web)}, web);
    Row(webForm, "Password:", {Edit("Edit20", web, true)}, web);
    Row(webForm, "WSDL Path:", {Wide(Edit("Edit21", web))}, web);
    auto* edit28 = Edit("Edit28", web);
    Row(webForm, "RX Time-Out:", {edit28, Caption("seconds", edit28, web)}, web);
    webForm->addRow(Check("CheckBox44", "Enable the RadioReference Database CD-ROM Option", web));
    Row(webForm, "WSDL Path:", {Wide(Edit("Edit29", web))}, web);
    auto* edit30 = Edit("Edit30", web);
    Row(webForm, "RX Time-Out:", {edit30, Caption("seconds", edit30, web)}, web);
    box->addWidget(web);

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
        group->addButton(radio, id++);
        radios->addWidget(radio);
    }
    proxyForm->addRow(radios);
    Row(proxyForm, "Proxy Address:", {Edit("Edit22", proxy)}, proxy);
    Row(proxyForm, "Port:", {Edit("Edit23", proxy)}, proxy);
    proxyForm->addRow(Check("CheckBox41", "Proxy Requires User name and Password", proxy));
    Row(proxyForm, "User Name:", {Edit("Edit24", proxy)}, proxy);
    Row(proxyForm, "Password:", {Edit("Edit25", proxy, true)}, proxy);
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
