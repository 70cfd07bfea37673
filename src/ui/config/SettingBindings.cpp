#include "ui/config/SettingBindings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

#include "persist/Settings.h"
#include "ui/views/ColourValue.h"

namespace {

// Text that is not a decimal integer reads as 0.
int DecimalOr0(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : 0;
}

}  // namespace

QCheckBox* SettingBindings::Box(QCheckBox* box, Ref<bool> setting)
{
    boxes_.push_back({box, setting});
    return box;
}

QLineEdit* SettingBindings::Text(QLineEdit* field, Ref<std::string> setting)
{
    texts_.push_back({field, setting});
    return field;
}

QLineEdit* SettingBindings::Number(QLineEdit* field, Ref<int> setting)
{
    numberFields_.push_back({field, setting});
    return field;
}

QSpinBox* SettingBindings::Spinner(QSpinBox* spin, Ref<int> setting)
{
    spinners_.push_back({spin, setting});
    return spin;
}

QComboBox* SettingBindings::Index(QComboBox* list, Ref<int> setting)
{
    indexes_.push_back({list, setting});
    return list;
}

QComboBox* SettingBindings::NumberedList(QComboBox* list, Ref<int> setting, int fallback)
{
    numberedLists_.push_back({list, setting, fallback});
    return list;
}

QLineEdit* SettingBindings::ColourExample(QLineEdit* example, Ref<uint32_t> text, Ref<uint32_t> back)
{
    colours_.push_back({example, text, back});
    return example;
}

void SettingBindings::Fill(const Settings& settings) const
{
    Settings s = settings;  // the accessors hand out writable references; filling only reads them
    for (const auto& b : boxes_)
        b.control->setChecked(b.setting(s));
    for (const auto& b : texts_)
        b.control->setText(QString::fromStdString(b.setting(s)));
    for (const auto& b : numberFields_)
        b.control->setText(QString::number(b.setting(s)));
    for (const auto& b : spinners_)
        b.control->setValue(b.setting(s));
    for (const auto& b : indexes_) {
        const int index = b.setting(s);
        b.control->setCurrentIndex(index >= 0 && index < b.control->count() ? index : -1);
    }
    for (const auto& b : numberedLists_) {
        int index = b.control->findText(QString::number(b.setting(s)));
        if (index < 0)
            index = b.control->findText(QString::number(b.fallback));
        b.control->setCurrentIndex(index);
    }
    for (const ColourBinding& b : colours_) {
        QPalette palette = b.example->palette();
        palette.setColor(QPalette::Text, ToQColor(b.text(s)));
        palette.setColor(QPalette::Base, ToQColor(b.back(s)));
        b.example->setPalette(palette);
    }
}

void SettingBindings::Collect(Settings& s) const
{
    for (const auto& b : boxes_)
        b.setting(s) = b.control->isChecked();
    for (const auto& b : texts_)
        b.setting(s) = b.control->text().toStdString();
    for (const auto& b : numberFields_)
        b.setting(s) = DecimalOr0(b.control->text());
    for (const auto& b : spinners_)
        b.setting(s) = b.control->value();
    for (const auto& b : indexes_)
        if (b.control->currentIndex() >= 0)
            b.setting(s) = b.control->currentIndex();
    for (const auto& b : numberedLists_) {
        bool ok = false;
        const int value = b.control->currentText().toInt(&ok);
        if (ok)
            b.setting(s) = value;
    }
    for (const ColourBinding& b : colours_) {
        const QPalette palette = b.example->palette();
        b.text(s) = FromQColor(palette.color(QPalette::Text));
        b.back(s) = FromQColor(palette.color(QPalette::Base));
    }
}
