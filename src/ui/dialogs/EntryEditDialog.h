#pragma once

#include <QDialog>

#include <initializer_list>
#include <optional>

#include "ui/dialogs/EditDialogServices.h"

class ColourPairPanel;
class P25Class;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

// What the talkgroup and radio ID dialogs share: a number field (Edit1), a name field (Edit2)
// whose colours are the entry's colour pair, the "Color Settings" panel, and "Apply" (Button1),
// "Ok" (Button3, the default button) and "Cancel" (Button2). The caller fills Edit1 with a
// decimal number or leaves it empty and shows the dialog; the entry is loaded when the dialog
// is shown. "Apply" and "Ok" write only while Edit1 holds a valid number: a colour or priority
// change can enable them with the field empty or refused, and such a press must not invent an
// entry.
class EntryEditDialog : public QDialog {
    Q_OBJECT
public:
    struct Texts {
        const char* objectName;
        const char* caption;
        const char* note;
        const char* numberLabel;
        int numberLength;
        const char* nameLabel;
        int nameLength;
    };

    QLineEdit* NumberField() const { return numberField_; }  // Edit1
    QLineEdit* NameField() const { return nameField_; }      // Edit2
    ColourPairPanel* Colours() const { return colours_; }
    QPushButton* ApplyButton() const { return apply_; }

    // The number in Edit1 when it reads as a decimal number this dialog accepts.
    std::optional<int> Number() const;

    // "Apply": writes the entry; false when nothing was written.
    bool ApplyChanges();

protected:
    EntryEditDialog(const Texts& texts, EditDialogServices services, QWidget* parent);

    // Rows below the number and name fields (the priority of a talkgroup).
    QGridLayout* Fields() const { return grid_; }
    // Ends the layout once the subclass has added its rows (`extraFields`, in their order): the Tab
    // key then walks number, name, the extra fields, the colour buttons, Apply, Ok, Cancel.
    void FinishLayout(std::initializer_list<QWidget*> extraFields = {});

    virtual bool AcceptsNumber(int number) const = 0;
    // Loads the entry into the dialog when it is shown (number: the valid number of Edit1).
    virtual void Activate(std::optional<int> number) = 0;
    // Leaving Edit1 with a valid number that differs from the one shown.
    virtual void LoadNumber(int number) = 0;
    // Writes what the dialog shows for `number`.
    virtual void Store(P25Class& decoder, int number) = 0;
    // Takes pending edits of further fields before a write.
    virtual void CommitFields() { }

    P25Class* Decoder() const;
    void EnableApply() { SetApplyEnabled(true); }
    void SetApplyEnabled(bool on);
    // Puts the focus into `field` once the current focus change is over.
    void FocusLater(QWidget* field);
    // Leaving a field by the user (not by the window losing activation).
    static bool IsLeave(QEvent* event);

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    EditDialogServices services_;
    std::optional<int> shownNumber_;  // the number whose entry the fields show

private:
    void LeaveNumberField();
    void OkPressed();

    QLineEdit* numberField_;
    QLineEdit* nameField_;
    QGridLayout* grid_;
    QVBoxLayout* layout_;
    ColourPairPanel* colours_;
    QPushButton* apply_;
    QPushButton* ok_;
    QPushButton* cancel_;
};
