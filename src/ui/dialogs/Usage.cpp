#include "ui/dialogs/Usage.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <iterator>

namespace {

struct UsageCode {
    const char* letter;
    const char* text;
};

constexpr UsageCode kCodes[] = {
    {"a", "This frequency is designated as an alternate control channel."},
    {"c", "This frequency has been used as a control channel for this tower."},
    {"d", "This frequency has been used to transmit data."},
    {"i", "This frequency has been used to transmit system ID information."},
    {"p", "This frequency has been used for private calls."},
    {"t", "This frequency has been used for a telephone interconnect."},
    {"v", "This frequency has been used to carry voice"},
};

QLabel* Note(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

}  // namespace

TUsageForm::TUsageForm(QWidget* parent) : QDialog(parent)
{
    constexpr int kRowPadding = 6;
    setObjectName("UsageForm");
    setWindowTitle("Frequency Usage Codes");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Note("Frequencies on a trunked system sometimes have special uses.  The usage field will list "
                           "all types of transmissions that have been seen by Varnel on each frequency in the system.",
                           this));
    layout->addWidget(Note("Below is a listing of all of the possible letter codes for the usage field.", this));

    const int rows = int(std::size(kCodes));
    codes_ = new QTableWidget(rows, 2, this);
    codes_->setObjectName("UsageCodes");
    codes_->horizontalHeader()->hide();
    codes_->verticalHeader()->hide();
    codes_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    codes_->setSelectionMode(QAbstractItemView::NoSelection);
    codes_->setFocusPolicy(Qt::NoFocus);
    codes_->setShowGrid(false);
    for (int row = 0; row < rows; ++row) {
        auto* letter = new QTableWidgetItem(kCodes[row].letter);
        letter->setTextAlignment(Qt::AlignCenter);
        codes_->setItem(row, 0, letter);
        codes_->setItem(row, 1, new QTableWidgetItem(kCodes[row].text));
    }
    codes_->setColumnWidth(0, 24);
    codes_->horizontalHeader()->setStretchLastSection(true);
    // One line per code: measured before the table has its width, wrapped rows would come out
    // several lines tall.
    codes_->setWordWrap(false);
    for (int r = 0; r < rows; ++r)
        codes_->setRowHeight(r, codes_->fontMetrics().height() + kRowPadding);
    int height = 2 * codes_->frameWidth();
    for (int row = 0; row < rows; ++row)
        height += codes_->rowHeight(row);
    codes_->setFixedHeight(height);
    layout->addWidget(codes_);

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    auto* close = new QPushButton("Close", this);
    close->setObjectName("Button1");
    close->setDefault(true);
    row->addWidget(close);
    layout->addLayout(row);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    setFixedSize(480, sizeHint().height());
}
