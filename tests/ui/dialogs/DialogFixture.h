#pragma once

// The main window with a known system (0x123, RFSS 1, site 5) and distinctive default colours,
// and helpers that drive the editing dialogs as a user would: typing, leaving a field, clicking.

#include <QColorDialog>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include "MainWindowFixture.h"
#include "decoder/P25Class.h"
#include "platform/NamedLock.h"
#include "ui/dialogs/ColourPairPanel.h"
#include "ui/dialogs/Radidedit.h"
#include "ui/dialogs/Tgedit.h"

namespace uitest {

constexpr uint32_t kDefaultText = 0x112233;
constexpr uint32_t kDefaultBack = 0xEEDDCC;

inline QColor Bgr(uint32_t v)
{
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

// Replaces what the field holds, the way typing does (textEdited is emitted, the length limit holds).
inline void Type(QLineEdit* field, const QString& text)
{
    field->selectAll();
    field->insert(text);
}

// The user leaves `widget` with the Tab key.
inline void Leave(QWidget* widget)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(widget, &out);
    QCoreApplication::processEvents();
}

inline void Click(QWidget* dialog, const char* button)
{
    dialog->findChild<QPushButton*>(button)->click();
    QCoreApplication::processEvents();
}

// Answers the colour chooser with `colour` (or cancels it when `colour` is invalid).
inline void AnswerColourChooser(ModalAnswerer& answerer, QColor colour)
{
    answerer.dialogResult = colour.isValid() ? QDialog::Accepted : QDialog::Rejected;
    answerer.fill = [colour](QDialog& d) {
        if (auto* chooser = qobject_cast<QColorDialog*>(&d); chooser && colour.isValid())
            chooser->setCurrentColor(colour);
    };
}

class DialogFixture : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        settings.defaultText = kDefaultText;
        settings.defaultBackground = kDefaultBack;
        MakeWindow();
        window->Decoder()->SetSiteIdentity(0x123, 1, 0x70, 5);
    }

    P25Class& Decoder() { return *window->Decoder(); }
    TalkgroupTable& Talkgroups() { return Decoder().Talkgroups(); }
    RadioTable& Radios() { return Decoder().Radios(); }
    TForm3& TalkgroupDialog() { return *window->Dialogs().talkgroupDialog; }
    TForm4& RadioDialog() { return *window->Dialogs().radioDialog; }

    // Prefills the number field as the callers do and shows the dialog (without a modal loop).
    EntryEditDialog& Open(EntryEditDialog& dialog, const QString& number)
    {
        dialog.NumberField()->setText(number);
        dialog.show();
        QCoreApplication::processEvents();
        return dialog;
    }

    static std::pair<QColor, QColor> NameColours(const EntryEditDialog& dialog)
    {
        const QPalette p = dialog.NameField()->palette();
        return {p.color(QPalette::Text), p.color(QPalette::Base)};
    }

    TGTAG TalkgroupRecord(int32_t id)
    {
        LockGuard guard(Talkgroups().Lock());
        for (int i = 0; i < Talkgroups().TalkgroupCount(); ++i)
            if (Talkgroups().At(i).id == id)
                return Talkgroups().At(i);
        return {};
    }

    RADTAG RadioRecord(int32_t id)
    {
        LockGuard guard(Radios().Lock());
        for (int i = 0; i < Radios().RadioCount(); ++i)
            if (Radios().At(i).id == id)
                return Radios().At(i);
        return {};
    }

    void TearDown() override
    {
        for (QDialog* d : {static_cast<QDialog*>(window->Dialogs().talkgroupDialog),
                           static_cast<QDialog*>(window->Dialogs().radioDialog)})
            if (d)
                d->hide();
        MainWindowFixture::TearDown();
    }
};

}  // namespace uitest
