#pragma once

// Small builders of the configuration dialog's controls: each control gets its name as its
// objectName; a caption label in front of a control is its buddy, so the label follows the
// control when the dialog enables or disables it.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStringList>

namespace config_widgets {

inline constexpr int kPasswordMaxLength = 255;

inline QCheckBox* Check(const QString& name, const QString& caption, QWidget* parent)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

inline QComboBox* Combo(const QString& name, const QStringList& items, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->addItems(items);
    return combo;
}

inline QLineEdit* Edit(const QString& name, QWidget* parent, bool password = false)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    if (password) {
        // Masked with "*" whatever the style's own mask, and no longer than the settings file keeps.
        edit->setEchoMode(QLineEdit::Password);
        edit->setStyleSheet("lineedit-password-character: 42;");
        edit->setMaxLength(kPasswordMaxLength);
    }
    return edit;
}

// An edit field with its up-down arrows: the spin box carries the up-down's name, its text field
// the edit's name. Text outside the range is put back to the spinner's value when the field is left.
inline QSpinBox* Spin(const QString& upDownName, const QString& editName, int low, int high, QWidget* parent)
{
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(upDownName);
    spin->setRange(low, high);
    if (auto* edit = spin->findChild<QLineEdit*>())
        edit->setObjectName(editName);
    return spin;
}

inline QPushButton* Button(const QString& name, const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

inline QRadioButton* Radio(const QString& name, const QString& caption, QWidget* parent)
{
    auto* radio = new QRadioButton(caption, parent);
    radio->setObjectName(name);
    return radio;
}

inline QLabel* Caption(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

inline QStringList Numbers(std::initializer_list<int> values)
{
    QStringList items;
    for (int v : values)
        items << QString::number(v);
    return items;
}

}  // namespace config_widgets
