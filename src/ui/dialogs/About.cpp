#include "ui/dialogs/About.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Version.h"
#include "ui/mainwindow/MainWindowNames.h"

namespace {
constexpr char kProgramName[] = "Varnel P25 CC Decoder";
constexpr unsigned kHalfMask = 0xFFFF;  // each part of the file version is a 16-bit half
}  // namespace

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(ui_names::kAboutDialog);
    setWindowTitle("About");
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(kProgramName, this);
    QFont font = name->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + 4);
    name->setFont(font);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    auto* what = new QLabel("Decodes the control channel of a P25 trunked radio system.", this);
    what->setAlignment(Qt::AlignCenter);
    layout->addWidget(what);
    version_ = new QLabel(this);
    version_->setObjectName(ui_names::kAboutVersion);
    version_->setAlignment(Qt::AlignCenter);
    layout->addWidget(version_);
    dataFolder_ = new QLabel(this);
    dataFolder_->setObjectName(kDataFolderLabel);
    dataFolder_->setAlignment(Qt::AlignCenter);
    dataFolder_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(dataFolder_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString TAboutForm::VersionText()
{
    return QString("Version: %1.%2.%3 Build %4")
        .arg(VARNEL_VERSION_MAJOR & kHalfMask)
        .arg(VARNEL_VERSION_MINOR & kHalfMask)
        .arg(VARNEL_VERSION_RELEASE & kHalfMask)
        .arg(VARNEL_VERSION_BUILD & kHalfMask);
}

void TAboutForm::SetVersionText(const QString& text)
{
    version_->setText(text);
}

void TAboutForm::SetDataFolder(const QString& folder)
{
    dataFolder_->setText("Data folder: " + folder);
}

QString TAboutForm::ShownVersionText() const
{
    return version_->text();
}
