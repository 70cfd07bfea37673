#pragma once

#include <cstdint>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
struct Settings;

// The setting `member` of Settings as the accessor a binding keeps: bindings reach nested settings
// (`affiliations.autoSave`) the same way as plain ones.
#define BOUND_SETTING(member)                                                                                          \
    +[](Settings & s) -> auto&                                                                                         \
    {                                                                                                                  \
        return s.member;                                                                                               \
    }

// Which control of the configuration dialog edits which setting: the one table of the dialog's
// bound controls. The page builders record each control here as they create it, so a control and
// its setting are named once, side by side; filling copies the settings into every recorded
// control and collecting copies them back on "Ok". Controls with rules of their own (ports,
// profile, latency, quiet frequency, proxy type, fonts) are filled by the dialog itself.
class SettingBindings {
public:
    template <typename T>
    using Ref = T& (*)(Settings&);

    // Each recorder returns the control it was given, so it can wrap the control's creation.
    QCheckBox* Box(QCheckBox* box, Ref<bool> setting);
    QLineEdit* Text(QLineEdit* field, Ref<std::string> setting);
    // A text field holding a decimal integer; text that is not one collects as 0.
    QLineEdit* Number(QLineEdit* field, Ref<int> setting);
    QSpinBox* Spinner(QSpinBox* spin, Ref<int> setting);
    // A list whose item index is the setting; a list without a chosen item leaves the setting.
    QComboBox* Index(QComboBox* list, Ref<int> setting);
    // A list whose items are numbers; `fallback` is chosen when the stored number is no item.
    QComboBox* NumberedList(QComboBox* list, Ref<int> setting, int fallback);
    // An example field that shows a colour pair as its text and background.
    QLineEdit* ColourExample(QLineEdit* example, Ref<uint32_t> text, Ref<uint32_t> back);

    void Fill(const Settings& settings) const;
    void Collect(Settings& s) const;

private:
    template <typename Control, typename Value>
    struct Binding {
        Control* control;
        Ref<Value> setting;
        int fallback = 0;  // numbered lists only
    };
    struct ColourBinding {
        QLineEdit* example;
        Ref<uint32_t> text;
        Ref<uint32_t> back;
    };

    std::vector<Binding<QCheckBox, bool>> boxes_;
    std::vector<Binding<QLineEdit, std::string>> texts_;
    std::vector<Binding<QLineEdit, int>> numberFields_;
    std::vector<Binding<QSpinBox, int>> spinners_;
    std::vector<Binding<QComboBox, int>> indexes_;
    std::vector<Binding<QComboBox, int>> numberedLists_;
    std::vector<ColourBinding> colours_;
};
