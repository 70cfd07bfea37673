// The talkgroup and radio ID dialogs: loading an entry, the colour rule both ways, the number and
// priority fields, Apply/Ok/Cancel, and the menu commands that open them.
#include <QFile>
#include <QLabel>
#include <QSpinBox>

#include "DialogFixture.h"
#include "ui/mainwindow/MainWindowNames.h"

using namespace uitest;

namespace {

constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0xFF0000;

}  // namespace

class EntryDialogsTest : public DialogFixture { };

TEST_F(EntryDialogsTest, DialogsCarryTheirCaptionsAndFieldLimits)
{
    struct Row {
        QDialog* dialog;
        const char* caption;
        int numberLength;
        int nameLength;
    };
    for (const Row& row :
         {Row{&TalkgroupDialog(), "Talkgroup Edit Screen", 5, 40}, Row{&RadioDialog(), "Edit Radio ID", 8, 50}}) {
        SCOPED_TRACE(row.caption);
        EXPECT_EQ(row.dialog->windowTitle(), row.caption);
        EXPECT_EQ(row.dialog->findChild<QLineEdit*>("Edit1")->maxLength(), row.numberLength);
        EXPECT_EQ(row.dialog->findChild<QLineEdit*>("Edit2")->maxLength(), row.nameLength);
        EXPECT_EQ(row.dialog->minimumSize(), row.dialog->maximumSize());  // fixed size
        auto* ok = row.dialog->findChild<QPushButton*>("Button3");
        EXPECT_EQ(ok->text(), "Ok");
        EXPECT_TRUE(ok->isDefault());
        EXPECT_EQ(row.dialog->findChild<QPushButton*>("Button1")->text(), "Apply");
        EXPECT_EQ(row.dialog->findChild<QPushButton*>("Button2")->text(), "Cancel");
        EXPECT_EQ(row.dialog->findChild<QPushButton*>("Button4")->text(), "Text Color");
        EXPECT_EQ(row.dialog->findChild<QPushButton*>("Button5")->text(), "BG Color");
        EXPECT_EQ(row.dialog->findChild<QPushButton*>("Button6")->text(), "Default");
    }
    auto* spinner = TalkgroupDialog().findChild<QSpinBox*>("UpDown1");
    ASSERT_NE(spinner, nullptr);
    EXPECT_EQ(spinner->minimum(), 0);
    EXPECT_EQ(spinner->maximum(), 99);
    EXPECT_EQ(TalkgroupDialog().findChild<QLineEdit*>("Edit3")->maxLength(), 2);
}

TEST_F(EntryDialogsTest, TalkgroupOpensWithItsStoredNamePriorityAndColours)
{
    Talkgroups().SetTalkgroup(100, "Fire Dispatch", 7, 0);
    Talkgroups().SetTalkgroupColors(100, kRed, kGreen);
    EntryEditDialog& d = Open(TalkgroupDialog(), "100");
    EXPECT_EQ(d.NameField()->text(), "Fire Dispatch");
    EXPECT_EQ(TalkgroupDialog().PrioritySpinner()->value(), 7);
    EXPECT_EQ(NameColours(d), std::make_pair(Bgr(kRed), Bgr(kGreen)));
    EXPECT_EQ(d.focusWidget(), d.NameField());
    EXPECT_FALSE(d.ApplyButton()->isEnabled());
}

TEST_F(EntryDialogsTest, EntriesWithoutColoursOfTheirOwnOpenWithTheDefaults)
{
    Talkgroups().SetTalkgroup(10, "never coloured", 255, 0);
    Talkgroups().SetTalkgroup(11, "equal pair", 255, 0);
    Talkgroups().SetTalkgroupColors(11, 0x123456, 0x123456);
    Radios().SetRadio(20, "never coloured", 0);
    Radios().SetRadio(21, "equal pair", 0);
    Radios().SetRadioColors(21, 0x123456, 0x123456);
    struct Row {
        EntryEditDialog* dialog;
        const char* number;
    };
    for (const Row& row : {Row{&TalkgroupDialog(), "10"}, Row{&TalkgroupDialog(), "11"},
                           Row{&TalkgroupDialog(), "12"},  // not in the table
                           Row{&RadioDialog(), "20"}, Row{&RadioDialog(), "21"}, Row{&RadioDialog(), "22"}}) {
        SCOPED_TRACE(row.number);
        // Start from other colours so that a dialog showing its last pair would be caught.
        row.dialog->Colours()->ShowPair(kRed, kBlue);
        Open(*row.dialog, row.number);
        EXPECT_EQ(NameColours(*row.dialog), std::make_pair(Bgr(kDefaultText), Bgr(kDefaultBack)));
        row.dialog->hide();
    }
    EXPECT_EQ(TalkgroupDialog().PrioritySpinner()->value(), 50);  // talkgroup 12 is not in the table
}

TEST_F(EntryDialogsTest, ChosenColoursAreStoredAndTheDefaultPairIsStoredAsNoColours)
{
    Talkgroups().SetTalkgroup(100, "Fire", 255, 0);
    Talkgroups().SetTalkgroupColors(100, kRed, kGreen);
    EntryEditDialog& d = Open(TalkgroupDialog(), "100");
    {
        ModalAnswerer answerer;
        AnswerColourChooser(answerer, Bgr(kBlue));
        Click(&d, "Button4");
        ASSERT_EQ(answerer.seen.size(), 1u);
    }
    EXPECT_TRUE(d.ApplyButton()->isEnabled());
    EXPECT_EQ(NameColours(d).first, Bgr(kBlue));
    Click(&d, "Button1");
    EXPECT_FALSE(d.ApplyButton()->isEnabled());
    EXPECT_EQ(TalkgroupRecord(100).textColor, kBlue);
    EXPECT_EQ(TalkgroupRecord(100).backColor, kGreen);

    // Choosing exactly the default pair by hand: the entry keeps no colours of its own.
    for (auto [button, colour] : {std::pair{"Button4", kDefaultText}, std::pair{"Button5", kDefaultBack}}) {
        ModalAnswerer answerer;
        AnswerColourChooser(answerer, Bgr(colour));
        Click(&d, button);
    }
    Click(&d, "Button1");
    EXPECT_EQ(TalkgroupRecord(100).textColor, 0u);
    EXPECT_EQ(TalkgroupRecord(100).backColor, 0u);
}

TEST_F(EntryDialogsTest, CancelledColourChooserChangesNothing)
{
    Radios().SetRadio(5000, "Engine 1", 0);
    Radios().SetRadioColors(5000, kRed, kGreen);
    EntryEditDialog& d = Open(RadioDialog(), "5000");
    ModalAnswerer answerer;
    AnswerColourChooser(answerer, QColor());
    Click(&d, "Button5");
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(NameColours(d), std::make_pair(Bgr(kRed), Bgr(kGreen)));
    EXPECT_FALSE(d.ApplyButton()->isEnabled());
}

TEST_F(EntryDialogsTest, DefaultButtonResetsTheRadioToNoColours)
{
    Radios().SetRadio(5000, "Engine 1", 0);
    Radios().SetRadioColors(5000, kRed, kGreen);
    EntryEditDialog& d = Open(RadioDialog(), "5000");
    Click(&d, "Button6");
    EXPECT_EQ(NameColours(d), std::make_pair(Bgr(kDefaultText), Bgr(kDefaultBack)));
    Click(&d, "Button3");
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(RadioRecord(5000).textColor, 0u);
    EXPECT_EQ(RadioRecord(5000).backColor, 0u);
    EXPECT_EQ(RadioRecord(5000).description, "Engine 1");
}

TEST_F(EntryDialogsTest, TalkgroupNumbersOutsideOneTo65535AreRefused)
{
    Talkgroups().SetTalkgroup(100, "Fire", 9, 0);
    for (const char* number : {"0", "65536", "12a", "-5"}) {
        SCOPED_TRACE(number);
        EntryEditDialog& d = Open(TalkgroupDialog(), "100");
        Type(d.NumberField(), number);
        Leave(d.NumberField());
        EXPECT_EQ(d.focusWidget(), d.NumberField());
        EXPECT_EQ(d.NameField()->text(), "Fire");  // nothing else changed
        Type(d.NameField(), "Renamed");
        EXPECT_FALSE(d.ApplyButton()->isEnabled());
        d.hide();
    }
    EXPECT_EQ(Talkgroups().TalkgroupCount(), 1);
}

TEST_F(EntryDialogsTest, LeavingTheNumberFieldLoadsAnotherTalkgroup)
{
    Talkgroups().SetTalkgroup(200, "Police", 3, 0);
    Talkgroups().SetTalkgroupColors(200, kRed, kGreen);
    EntryEditDialog& d = Open(TalkgroupDialog(), "");
    EXPECT_EQ(d.focusWidget(), d.NumberField());
    EXPECT_EQ(TalkgroupDialog().PrioritySpinner()->value(), 50);
    Type(d.NumberField(), "200");
    Leave(d.NumberField());
    EXPECT_EQ(d.NameField()->text(), "Police");
    EXPECT_EQ(TalkgroupDialog().PrioritySpinner()->value(), 3);
    EXPECT_EQ(NameColours(d), std::make_pair(Bgr(kRed), Bgr(kGreen)));
    EXPECT_EQ(d.focusWidget(), d.NameField());
    EXPECT_FALSE(d.ApplyButton()->isEnabled());  // loading is no change

    // Leaving the field again with the same number keeps what was typed since.
    Type(d.NameField(), "Police North");
    Leave(d.NumberField());
    EXPECT_EQ(d.NameField()->text(), "Police North");
    EXPECT_TRUE(d.ApplyButton()->isEnabled());
}

TEST_F(EntryDialogsTest, PriorityFieldTakesZeroToNinetyNineOnly)
{
    Talkgroups().SetTalkgroup(100, "Fire", 50, 0);
    EntryEditDialog& d = Open(TalkgroupDialog(), "100");
    QLineEdit* edit3 = TalkgroupDialog().PriorityField();
    QSpinBox* spinner = TalkgroupDialog().PrioritySpinner();

    Type(edit3, "7");
    Leave(spinner);
    EXPECT_EQ(spinner->value(), 7);
    EXPECT_EQ(edit3->text(), "7");
    EXPECT_TRUE(d.ApplyButton()->isEnabled());

    edit3->setText("4x");  // pasted past the field's own check
    Leave(spinner);
    EXPECT_EQ(spinner->value(), 7);
    EXPECT_EQ(edit3->text(), "7");

    Type(edit3, "100");  // two characters at most
    EXPECT_EQ(edit3->text(), "10");

    Click(&d, "Button1");
    EXPECT_EQ(Talkgroups().GetTalkgroupPriority(100), 10);
}

TEST_F(EntryDialogsTest, ApplyCreatesAndStampsTheTalkgroupAndCancelKeepsIt)
{
    clock.Set(1700000000);
    EntryEditDialog& d = Open(TalkgroupDialog(), "");
    Type(d.NumberField(), "300");
    Leave(d.NumberField());
    Type(d.NameField(), "Public Works");
    ASSERT_TRUE(d.ApplyButton()->isEnabled());
    Click(&d, "Button1");
    const TGTAG stored = TalkgroupRecord(300);
    EXPECT_EQ(stored.id, 300);
    EXPECT_EQ(stored.description, "Public Works");
    EXPECT_EQ(stored.priority, 50);
    EXPECT_EQ(stored.lastSeen, 1700000000);
    EXPECT_EQ(stored.textColor, 0u);  // the defaults shown: no colours of its own
    Click(&d, "Button2");
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_TRUE(Talkgroups().IsTalkgroupKnown(300));
}

TEST_F(EntryDialogsTest, OkWithoutAnyChangeWritesNothing)
{
    clock.Set(1600000000);
    Talkgroups().SetTalkgroup(100, "Fire", 9, 0);
    Radios().SetRadio(5000, "Engine 1", 0);
    clock.Set(1700000000);

    EntryEditDialog& tg = Open(TalkgroupDialog(), "100");
    Click(&tg, "Button3");
    EXPECT_EQ(tg.result(), QDialog::Accepted);
    EXPECT_EQ(TalkgroupRecord(100).lastSeen, 1600000000);  // Apply would stamp it

    for (EntryEditDialog* d :
         {static_cast<EntryEditDialog*>(&TalkgroupDialog()), static_cast<EntryEditDialog*>(&RadioDialog())}) {
        Open(*d, "777");  // absent: Ok must not add it
        Click(d, "Button3");
        EXPECT_FALSE(d->isVisible());
    }
    EXPECT_FALSE(Talkgroups().IsTalkgroupKnown(777));
    EXPECT_EQ(Radios().RadioCount(), 1);
}

// A colour or priority change enables Apply with no valid number in the field: Apply and Ok
// then write nothing, and Ok keeps the dialog open with the number field to correct.
TEST_F(EntryDialogsTest, ApplyAndOkWithoutAValidNumberWriteNothing)
{
    struct Row {
        EntryEditDialog* dialog;
        const char* number;
    };
    for (const Row& row :
         {Row{&TalkgroupDialog(), ""}, Row{&TalkgroupDialog(), "0"}, Row{&TalkgroupDialog(), "65536"},
          Row{&RadioDialog(), ""}, Row{&RadioDialog(), "0"}, Row{&RadioDialog(), "-3"}, Row{&RadioDialog(), "x1"}}) {
        SCOPED_TRACE(row.number);
        EntryEditDialog& d = Open(*row.dialog, "");
        Type(d.NumberField(), row.number);
        Click(&d, "Button6");  // "Default" enables Apply whatever the number field holds
        ASSERT_TRUE(d.ApplyButton()->isEnabled());
        EXPECT_FALSE(d.ApplyChanges());
        Click(&d, "Button3");
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.focusWidget(), d.NumberField());
        d.hide();
    }
    EXPECT_EQ(Talkgroups().TalkgroupCount(), 0);
    EXPECT_EQ(Radios().RadioCount(), 0);
}

TEST_F(EntryDialogsTest, RadioDialogShowsEachRadiosOwnColoursAndGivesOnlyChosenOnesToAnother)
{
    Radios().SetRadio(5000, "Engine 1", 0);
    Radios().SetRadioColors(5000, kRed, kGreen);
    Radios().SetRadio(6000, "Ladder 2", 0);
    const auto defaults = std::make_pair(Bgr(kDefaultText), Bgr(kDefaultBack));
    EntryEditDialog& d = Open(RadioDialog(), "5000");
    EXPECT_EQ(d.NameField()->text(), "Engine 1");
    EXPECT_EQ(NameColours(d), std::make_pair(Bgr(kRed), Bgr(kGreen)));

    // Another radio typed into the same opening shows its own (here: the default) colours, and
    // "Ok" leaves it without colours of its own.
    Type(d.NumberField(), "6000");
    Leave(d.NumberField());
    EXPECT_EQ(d.NameField()->text(), "Ladder 2");
    EXPECT_EQ(NameColours(d), defaults);
    EXPECT_EQ(d.focusWidget(), d.NameField());
    Type(d.NameField(), "Ladder 2 Cab");
    Click(&d, "Button3");
    EXPECT_EQ(RadioRecord(6000).description, "Ladder 2 Cab");
    EXPECT_EQ(RadioRecord(6000).textColor, 0u);
    EXPECT_EQ(RadioRecord(6000).backColor, 0u);

    // Opened for a radio after one with colours, or without a number: the defaults, not the
    // colours last shown; 0 is refused.
    Open(RadioDialog(), "5000");
    d.hide();
    Open(RadioDialog(), "6000");
    EXPECT_EQ(NameColours(d), defaults);
    d.hide();
    Open(RadioDialog(), "5000");
    d.hide();
    Open(RadioDialog(), "");
    EXPECT_TRUE(d.NameField()->text().isEmpty());
    EXPECT_EQ(d.focusWidget(), d.NumberField());
    EXPECT_EQ(NameColours(d), defaults);
    Type(d.NumberField(), "0");
    Leave(d.NumberField());
    EXPECT_EQ(d.focusWidget(), d.NumberField());
    Type(d.NumberField(), "12345678");
    Leave(d.NumberField());
    Type(d.NameField(), "Portable");
    Click(&d, "Button1");
    EXPECT_EQ(RadioRecord(12345678).description, "Portable");
    EXPECT_EQ(RadioRecord(12345678).textColor, 0u);
    d.hide();

    // Colours chosen in this opening go to the radio typed next: that is how a pair is copied.
    Open(RadioDialog(), "5000");
    {
        ModalAnswerer answerer;
        AnswerColourChooser(answerer, Bgr(kBlue));
        Click(&d, "Button4");
    }
    Type(d.NumberField(), "6000");
    Leave(d.NumberField());
    EXPECT_EQ(NameColours(d), std::make_pair(Bgr(kBlue), Bgr(kGreen)));
    Click(&d, "Button3");
    EXPECT_EQ(RadioRecord(6000).textColor, kBlue);
    EXPECT_EQ(RadioRecord(6000).backColor, kGreen);
}

TEST_F(EntryDialogsTest, TabWalksEveryFieldOfTheTalkgroupDialogInOrder)
{
    EntryEditDialog& d = Open(TalkgroupDialog(), "100");
    // Apply is enabled by a change, so that it is part of the walk too.
    Type(d.NameField(), "Fire");
    // The Tab key's walk: the focus chain's widgets that take the focus by Tab; the spinner and
    // its text field are one stop.
    QStringList walk;
    QWidget* w = d.NumberField();
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(&d)) {
            const QString name = w->objectName() == "UpDown1" ? QString("Edit3") : w->objectName();
            if (walk.isEmpty() || walk.back() != name)
                walk << name;
        }
        w = w->nextInFocusChain();
    } while (w != d.NumberField() && walk.size() < 20);
    EXPECT_EQ(walk, (QStringList{"Edit1", "Edit2", "Edit3", "Button4", "Button5", "Button6", "Button1", "Button3",
                                 "Button2"}));
}

TEST_F(EntryDialogsTest, MenuCommandsOpenTheDialogsEmptyAndSaveTheSettingsAfterOk)
{
    Talkgroups().SetTalkgroup(100, "Fire", 9, 0);
    struct Row {
        const char* action;
        EntryEditDialog* dialog;
        int result;
    };
    for (const Row& row : {Row{ui_names::kActEditTalkgroup, &TalkgroupDialog(), QDialog::Accepted},
                           Row{ui_names::kActEditRadio, &RadioDialog(), QDialog::Accepted},
                           Row{ui_names::kActEditTalkgroup, &TalkgroupDialog(), QDialog::Rejected}}) {
        SCOPED_TRACE(row.action);
        row.dialog->NumberField()->setText("100");  // left from an earlier list click
        ASSERT_TRUE(QFile::remove(QString::fromStdString(SettingsFile())));
        QString shownNumber = "unset";
        ModalAnswerer answerer;
        answerer.dialogResult = row.result;
        answerer.fill = [&](QDialog& d) {
            if (&d == row.dialog)
                shownNumber = row.dialog->NumberField()->text();
        };
        Action(row.action)->trigger();
        ASSERT_EQ(answerer.seen.size(), 1u);
        EXPECT_EQ(answerer.seen[0].title, row.dialog->windowTitle());
        EXPECT_EQ(shownNumber, "");
        EXPECT_EQ(QFile::exists(QString::fromStdString(SettingsFile())), row.result == QDialog::Accepted);
    }

    // The lists open the talkgroup dialog with their number.
    QString shownName;
    ModalAnswerer answerer;
    answerer.fill = [&](QDialog&) { shownName = TalkgroupDialog().NameField()->text(); };
    window->EditTalkgroup("100");
    EXPECT_EQ(shownName, "Fire");
}
