#pragma once

#include <QDialog>
#include <QList>

#include "web/WebDirectoryTypes.h"

class QPushButton;
class QTreeWidget;
struct Settings;

// "Multiple Systems Match System ID": the user picks which of the directory's systems with the
// decoded system ID is the one being monitored. exec() answers Accepted ("Import") or Rejected.
class TMultSysForm : public QDialog {
    Q_OBJECT
public:
    explicit TMultSysForm(QWidget* parent = nullptr);

    // One row per system in the given order (RRID, name, city), coloured with the even and odd
    // row colours of the settings, the first row taking the even ones. Nothing is selected.
    void Fill(const QList<rr::TrsListDef>& systems, const Settings& settings);
    // The selected row, or -1.
    int SelectedRow() const;

    QTreeWidget* List() const { return list_; }  // ListView1

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTreeWidget* list_ = nullptr;
    QPushButton* import_ = nullptr;  // Button1
};
