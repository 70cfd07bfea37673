#include "ui/dialogs/NamesImportDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QTableView>
#include <QVBoxLayout>

#include "platform/RegularFile.h"
#include "ui/dialogs/NamesImportRowsModel.h"

namespace {

// Planning a large list takes a moment; the cursor says so.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QString CountsText(const NamesImport::Plan& plan)
{
    QString text =
        QStringLiteral("%1 new, %2 changed, %3 unchanged").arg(plan.newRows).arg(plan.changed).arg(plan.unchanged);
    if (plan.keptNames > 0)
        text += QStringLiteral(" (%1 keep their own names)").arg(plan.keptNames);
    text += QStringLiteral(", %1 rejected").arg(plan.rejected.size());
    return text;
}

}  // namespace

NamesImportDialog::NamesImportDialog(QWidget* parent, NamesImport::Kind kind, TalkgroupTable* talkgroups,
                                     RadioTable* radios)
    : QDialog(parent), kind_(kind), talkgroups_(talkgroups), radios_(radios)
{
    const bool forTalkgroups = kind_ == NamesImport::Kind::Talkgroups;
    setObjectName("NamesImportDialog");
    setWindowTitle(forTalkgroups ? "Import TalkGroup Names" : "Import Radio ID Names");
    resize(640, 520);

    auto* layout = new QVBoxLayout(this);
    sourceLabel_ = new QLabel(this);
    sourceLabel_->setObjectName("SourceLabel");
    sourceLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    countsLabel_ = new QLabel(this);
    countsLabel_->setObjectName("CountsLabel");
    QFont bold = countsLabel_->font();
    bold.setBold(true);
    countsLabel_->setFont(bold);
    problemLabel_ = new QLabel(this);
    problemLabel_->setObjectName("ProblemLabel");
    problemLabel_->setWordWrap(true);
    problemLabel_->setStyleSheet("color: #b00000;");
    problemLabel_->hide();
    replaceBox_ = new QCheckBox("replace existing names", this);
    replaceBox_->setObjectName("ReplaceBox");
    replaceBox_->setToolTip("Without it, an entry that has a name of its own keeps it; entries without a name, or "
                            "with one the program made up, always take the file's.");

    rowsModel_ = new NamesImportRowsModel(this);
    rowsView_ = new QTableView(this);
    rowsView_->setObjectName("RowsView");
    rowsView_->setModel(rowsModel_);
    rowsView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    rowsView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rowsView_->verticalHeader()->hide();
    rowsView_->verticalHeader()->setDefaultSectionSize(rowsView_->fontMetrics().height() + 6);
    rowsView_->horizontalHeader()->setSectionResizeMode(NamesImportRowsModel::kName, QHeaderView::Stretch);
    rowsView_->setColumnHidden(NamesImportRowsModel::kPriority, !forTalkgroups);

    rejectedLabel_ = new QLabel(this);
    rejectedModel_ = new QStringListModel(this);
    rejectedView_ = new QListView(this);
    rejectedView_->setObjectName("RejectedView");
    rejectedView_->setModel(rejectedModel_);
    rejectedView_->setUniformItemSizes(true);  // a list with thousands of bad lines stays quick
    rejectedView_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setObjectName("OkButton");
    buttons_->button(QDialogButtonBox::Ok)->setText("&Import");
    buttons_->button(QDialogButtonBox::Cancel)->setObjectName("CancelButton");

    layout->addWidget(sourceLabel_);
    layout->addWidget(countsLabel_);
    layout->addWidget(problemLabel_);
    layout->addWidget(replaceBox_);
    layout->addWidget(new QLabel("Rows to apply:", this));
    layout->addWidget(rowsView_, 3);
    layout->addWidget(rejectedLabel_);
    layout->addWidget(rejectedView_, 2);
    layout->addWidget(buttons_);

    connect(replaceBox_, &QCheckBox::toggled, this, &NamesImportDialog::Replan);
    connect(buttons_, &QDialogButtonBox::accepted, this, &NamesImportDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &NamesImportDialog::reject);
    ShowPlan();
}

NamesImportDialog::~NamesImportDialog() = default;

bool NamesImportDialog::LoadFile(const QString& file)
{
    sourceLabel_->setText("From: " + QDir::toNativeSeparators(file));
    std::string text;
    RegularFileRead read;
    {
        WaitCursor wait;
        read = ReadRegularFile(QFile::encodeName(file).toStdString(), kMaxListBytes, text);
    }
    if (!read.Read()) {
        haveText_ = false;
        plan_ = {};
        ShowPlan();
        ShowProblem("Cannot read " + QFileInfo(file).fileName() + ": " +
                    (read.Failed() ? QString::fromStdString(read.reason) : QStringLiteral("no such file")));
        return false;
    }
    text_ = std::move(text);
    haveText_ = true;
    Replan();
    return true;
}

void NamesImportDialog::LoadText(std::string text, const QString& name)
{
    sourceLabel_->setText("From: " + name);
    text_ = std::move(text);
    haveText_ = true;
    Replan();
}

void NamesImportDialog::Replan()
{
    if (!haveText_)
        return;
    const bool replace = replaceBox_->isChecked();
    {
        WaitCursor wait;
        if (kind_ == NamesImport::Kind::Talkgroups && talkgroups_)
            plan_ = NamesImport::PlanTalkgroups(text_, *talkgroups_, replace);
        else if (kind_ == NamesImport::Kind::Radios && radios_)
            plan_ = NamesImport::PlanRadios(text_, *radios_, replace);
        else
            plan_ = {};
    }
    ShowPlan();
}

bool NamesImportDialog::CanApply() const
{
    return haveText_ && plan_.problem.empty() && plan_.Applicable() > 0;
}

void NamesImportDialog::ShowProblem(const QString& text)
{
    problemLabel_->setText(text);
    problemLabel_->setVisible(!text.isEmpty());
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(CanApply());
    replaceBox_->setEnabled(haveText_ && plan_.problem.empty());
}

void NamesImportDialog::ShowPlan()
{
    rowsModel_->ShowPlan(&plan_);
    rowsView_->resizeColumnToContents(NamesImportRowsModel::kLine);
    rowsView_->resizeColumnToContents(NamesImportRowsModel::kNumber);
    QStringList rejected;
    rejected.reserve(static_cast<qsizetype>(plan_.rejected.size()));
    for (const NamesImport::Rejected& r : plan_.rejected)
        rejected << QStringLiteral("line %1: %2").arg(r.line).arg(QString::fromStdString(r.reason));
    rejectedModel_->setStringList(rejected);
    rejectedLabel_->setText(QStringLiteral("Rejected lines (%1):").arg(plan_.rejected.size()));
    countsLabel_->setText(haveText_ ? CountsText(plan_) : QString());

    const char* what = kind_ == NamesImport::Kind::Talkgroups ? "talkgroup" : "radio";
    QString problem;
    if (!haveText_)
        problem.clear();
    else if (!plan_.problem.empty())
        problem = "Cannot import: " + QString::fromStdString(plan_.problem) + ".";
    else if (plan_.rows.empty())
        problem = QStringLiteral("Nothing to import: no line of the file holds a valid %1 and name.").arg(what);
    else if (plan_.Applicable() == 0)
        problem = QStringLiteral("Nothing to change: every %1 of the file already has this name.").arg(what);
    ShowProblem(problem);
}

void NamesImportDialog::done(int result)
{
    if (result == QDialog::Accepted) {
        if (!CanApply())
            return;
        if (kind_ == NamesImport::Kind::Talkgroups)
            applied_ = NamesImport::Apply(plan_, *talkgroups_);
        else
            applied_ = NamesImport::Apply(plan_, *radios_);
    }
    QDialog::done(result);
}

int NamesImportDialog::Run(QWidget* parent, const QString& file, NamesImport::Kind kind, TalkgroupTable* talkgroups,
                           RadioTable* radios)
{
    NamesImportDialog dialog(parent, kind, talkgroups, radios);
    dialog.LoadFile(file);
    return dialog.exec() == QDialog::Accepted ? dialog.Applied() : 0;
}
