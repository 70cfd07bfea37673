// The add-range dialog of the affiliation log filter, the usage codes and the shared colour chooser.
#include <QTableWidget>

#include <vector>

#include "DialogFixture.h"
#include "ui/dialogs/Addrange.h"
#include "ui/dialogs/Usage.h"
#include "ui/mainwindow/MainWindowNames.h"

using namespace uitest;

namespace {

std::vector<FILTERRANGE> Ranges(P25Class& decoder)
{
    std::vector<FILTERRANGE> out(AffiliationFilter::kCapacity);
    out.resize(size_t(decoder.Filter().CopyFilterRanges(out.data(), int(out.size()))));
    return out;
}

}  // namespace

class RangeAndUsageTest : public DialogFixture {
protected:
    // Opens the range dialog from `open`, types both bounds and answers it with `result`.
    ModalAnswerer::Seen AddRange(const std::function<void()>& open, const QString& low, const QString& high,
                                 int result = QDialog::Accepted, std::vector<ModalAnswerer::Seen>* boxes = nullptr)
    {
        TAddRangeForm& dialog = *window->Dialogs().addRange;
        dialog.LowField()->setText("left over");
        dialog.HighField()->setText("left over");
        bool emptied = false;
        ModalAnswerer answerer;
        answerer.dialogResult = result;
        answerer.fill = [&](QDialog&) {
            emptied = dialog.LowField()->text().isEmpty() && dialog.HighField()->text().isEmpty();
            Type(dialog.LowField(), low);
            Type(dialog.HighField(), high);
        };
        open();
        EXPECT_TRUE(emptied);
        if (boxes)
            *boxes = std::vector<ModalAnswerer::Seen>(answerer.seen.begin() + 1, answerer.seen.end());
        return answerer.seen.empty() ? ModalAnswerer::Seen{} : answerer.seen.front();
    }
};

TEST_F(RangeAndUsageTest, AddRangeChecksTheBoundsBeforeAdding)
{
    struct Row {
        const char* low;
        const char* high;
        bool rangeError;
        std::vector<std::pair<int32_t, int32_t>> ranges;  // all active
    };
    const Row rows[] = {
        {"200", "100", true, {}},      {"100", "100", false, {{100, 100}}},  // one radio
        {"x", "50", false, {{0, 50}}},                                       // text that is not a number reads as 0
        {"100", "abc", true, {}},                                            // high reads as 0, below the low value
        {"1", "16777216", false, {}},                                        // beyond 24 bits: the filter refuses it
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.low) + ".." + row.high);
        Decoder().Filter().ClearFilterRanges();
        std::vector<ModalAnswerer::Seen> boxes;
        const ModalAnswerer::Seen seen =
            AddRange([&] { window->AddFilterRange(); }, row.low, row.high, QDialog::Accepted, &boxes);
        EXPECT_EQ(seen.title, "AddRangeForm");
        if (row.rangeError) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].title, "Range Error");
            EXPECT_EQ(boxes[0].text, "The low value may not be higher than the high value");
        } else {
            EXPECT_TRUE(boxes.empty());
        }
        std::vector<std::pair<int32_t, int32_t>> got;
        for (const FILTERRANGE& r : Ranges(Decoder())) {
            EXPECT_TRUE(r.active);
            got.emplace_back(r.low, r.high);
        }
        EXPECT_EQ(got, row.ranges);
    }
}

TEST_F(RangeAndUsageTest, AddRangeButtonAndPopupOpenTheDialogAndCancelAddsNothing)
{
    auto* button = Find<QPushButton>(ui_names::kAddRangeButton);
    auto* action = Action(ui_names::kAddRangeAction);
    ASSERT_NE(button, nullptr);
    ASSERT_NE(action, nullptr);
    AddRange([&] { button->click(); }, "10", "20");
    AddRange([&] { action->trigger(); }, "30", "40");
    AddRange([&] { button->click(); }, "50", "60", QDialog::Rejected);
    std::vector<std::pair<int32_t, int32_t>> got;
    for (const FILTERRANGE& r : Ranges(Decoder()))
        got.emplace_back(r.low, r.high);
    EXPECT_EQ(got, (std::vector<std::pair<int32_t, int32_t>>{{10, 20}, {30, 40}}));
}

TEST_F(RangeAndUsageTest, EveryOpeningOfAddRangePutsTheFocusInTheLowField)
{
    TAddRangeForm& dialog = *window->Dialogs().addRange;
    for (int opening = 1; opening <= 2; ++opening) {
        SCOPED_TRACE(opening);
        QWidget* focused = nullptr;
        ModalAnswerer answerer;
        answerer.fill = [&](QDialog&) {
            QCoreApplication::processEvents();
            focused = dialog.focusWidget();
            // The user finishes with a click on "Add Range", which takes the focus.
            dialog.findChild<QPushButton*>("Button1")->setFocus(Qt::MouseFocusReason);
            Type(dialog.LowField(), "100");
            Type(dialog.HighField(), "200");
        };
        window->AddFilterRange();
        EXPECT_EQ(focused, dialog.LowField());
    }
}

TEST_F(RangeAndUsageTest, UsageButtonListsEveryLetterWithItsMeaning)
{
    QStringList letters, texts;
    QString title;
    ModalAnswerer answerer;
    answerer.fill = [&](QDialog& d) {
        title = d.windowTitle();
        auto* codes = d.findChild<QTableWidget*>();
        ASSERT_NE(codes, nullptr);
        for (int row = 0; row < codes->rowCount(); ++row) {
            letters << codes->item(row, 0)->text();
            texts << codes->item(row, 1)->text();
        }
    };
    Find<QPushButton>(ui_names::kUsageButton)->click();
    EXPECT_EQ(title, "Frequency Usage Codes");
    EXPECT_EQ(letters, (QStringList{"a", "c", "d", "i", "p", "t", "v"}));
    EXPECT_EQ(texts, (QStringList{"This frequency is designated as an alternate control channel.",
                                  "This frequency has been used as a control channel for this tower.",
                                  "This frequency has been used to transmit data.",
                                  "This frequency has been used to transmit system ID information.",
                                  "This frequency has been used for private calls.",
                                  "This frequency has been used for a telephone interconnect.",
                                  "This frequency has been used to carry voice"}));
    EXPECT_EQ(window->Dialogs().usage->findChild<QPushButton*>("Button1")->text(), "Close");
}

TEST_F(RangeAndUsageTest, ColourChooserOpensWithTheColourAndKeepsCustomColours)
{
    window->AppSettings().customColors[0] = "0000FF";  // 0x00BBGGRR: red
    QColor opened, custom0;
    ModalAnswerer answerer;
    answerer.fill = [&](QDialog& d) {
        auto* chooser = qobject_cast<QColorDialog*>(&d);
        ASSERT_NE(chooser, nullptr);
        EXPECT_EQ(chooser->objectName(), "ColorDialog1");
        opened = chooser->currentColor();
        custom0 = QColorDialog::customColor(0);
        QColorDialog::setCustomColor(1, QColor(0, 0, 255));
        chooser->setCurrentColor(QColor(1, 2, 3));
    };
    QColor colour(10, 20, 30);
    EXPECT_TRUE(window->ChooseColour(colour));
    EXPECT_EQ(opened, QColor(10, 20, 30));
    EXPECT_EQ(custom0, QColor(255, 0, 0));
    EXPECT_EQ(colour, QColor(1, 2, 3));
    EXPECT_EQ(window->AppSettings().customColors[0], "0000FF");
    EXPECT_EQ(window->AppSettings().customColors[1], "FF0000");
    EXPECT_EQ(window->AppSettings().customColors[2], "FFFFFFFF");  // untouched entries keep their text

    answerer.dialogResult = QDialog::Rejected;
    answerer.fill = nullptr;
    EXPECT_FALSE(window->ChooseColour(colour));
    EXPECT_EQ(colour, QColor(1, 2, 3));
    EXPECT_EQ(window->findChildren<QColorDialog*>().size(), 1);  // one shared chooser
}
