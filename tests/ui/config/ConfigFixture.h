#pragma once

// The main window with its configuration dialog: the dialog opened through TForm1's command,
// driven while it is shown, closed with "Ok" or "Cancel"; a made-up port search.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>

#include <functional>
#include <ostream>

#include "MainWindowFixture.h"
#include "ui/config/Configform.h"

// Readable texts in failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace uitest {

class ConfigFixture : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        settings.port = "/dev/ttyUSB0";
        settings.scanControlPort = "/dev/ttyUSB1";
    }

    // Makes the windows with the made-up ports.
    void Start()
    {
        MakeWindow();
        Form()->SetPortSearch([this] { return ports; });
    }

    TcfgForm* Form() const { return window->Dialogs().config; }

    template <typename T>
    T* Control(const char* name) const
    {
        T* control = Form()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    // Opens the dialog on `page`, runs `whileShown` with it on the screen, then closes it with
    // `result`. Returns whether the dialog was shown.
    bool Open(int page, const std::function<void(TcfgForm&)>& whileShown, int result = QDialog::Accepted)
    {
        ModalAnswerer answerer;
        bool shown = false;
        answerer.fill = [&](QDialog& dialog) {
            auto* form = qobject_cast<TcfgForm*>(&dialog);
            ASSERT_NE(form, nullptr);
            shown = true;
            if (whileShown)
                whileShown(*form);
        };
        answerer.dialogResult = result;
        window->OpenConfigDialog(page);
        return shown;
    }

    QStringList Items(const char* comboName) const
    {
        QStringList items;
        auto* combo = Control<QComboBox>(comboName);
        for (int i = 0; combo && i < combo->count(); ++i)
            items << combo->itemText(i);
        return items;
    }

    QStringList ports{"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyACM0"};
};

}  // namespace uitest
