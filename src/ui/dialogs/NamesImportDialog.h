#pragma once

#include <QDialog>
#include <QString>
#include <string>

#include "persist/NamesImport.h"

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QListView;
class QStringListModel;
class QTableView;
class NamesImportRowsModel;
class RadioTable;
class TalkgroupTable;

// "Import Names": the preview of a CSV name list before anything is applied. It shows the counts
// of new, changed and unchanged entries, the rows that will be applied, every rejected line with
// its reason, and the choice "replace existing names" (which plans again). OK applies exactly the
// plan shown; Cancel applies nothing. A file with no row to apply says why and cannot be applied.
class NamesImportDialog : public QDialog {
    Q_OBJECT
public:
    // A name list larger than this is not one (the whole talkgroup space with long names is a few MB).
    static constexpr size_t kMaxListBytes = size_t{512} << 20;

    // Imports into `talkgroups` or `radios`, whichever `kind` names (the other may be null).
    NamesImportDialog(QWidget* parent, NamesImport::Kind kind, TalkgroupTable* talkgroups, RadioTable* radios);
    ~NamesImportDialog() override;

    // Reads the file (a regular file, at most kMaxListBytes) and plans; false when it cannot be read
    // (the dialog then says why).
    bool LoadFile(const QString& file);
    // Plans the given text, shown as coming from `name`.
    void LoadText(std::string text, const QString& name);

    // Shows the preview of `file` and applies it when the user accepts. Returns the rows applied
    // (0 when cancelled or when nothing could be applied).
    static int Run(QWidget* parent, const QString& file, NamesImport::Kind kind, TalkgroupTable* talkgroups,
                   RadioTable* radios);

    const NamesImport::Plan& CurrentPlan() const { return plan_; }
    bool CanApply() const;
    int Applied() const { return applied_; }

    QCheckBox* ReplaceBox() const { return replaceBox_; }
    QLabel* CountsLabel() const { return countsLabel_; }
    QLabel* ProblemLabel() const { return problemLabel_; }
    QTableView* RowsView() const { return rowsView_; }
    QListView* RejectedView() const { return rejectedView_; }

    // Accepting applies the plan (and is refused while there is nothing to apply); any other
    // result applies nothing.
    void done(int result) override;

private:
    void Replan();
    void ShowPlan();
    void ShowProblem(const QString& text);

    NamesImport::Kind kind_;
    TalkgroupTable* talkgroups_;
    RadioTable* radios_;
    std::string text_;
    bool haveText_ = false;
    NamesImport::Plan plan_;
    int applied_ = 0;

    QLabel* sourceLabel_;
    QLabel* countsLabel_;
    QLabel* problemLabel_;
    QCheckBox* replaceBox_;
    QTableView* rowsView_;
    NamesImportRowsModel* rowsModel_;
    QLabel* rejectedLabel_;
    QListView* rejectedView_;
    QStringListModel* rejectedModel_;
    QDialogButtonBox* buttons_;
};
