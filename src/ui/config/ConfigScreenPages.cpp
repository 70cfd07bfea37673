// The "Screen Settings" page of the configuration dialog: the sub-pages of PageControl2 with the
// global font and line colours, and each screen's font and switches.
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QTabWidget>
#include <QVBoxLayout>

#include "persist/Settings.h"
#include "ui/config/ConfigWidgets.h"
#include "ui/config/Configform.h"

using namespace config_widgets;

namespace {

constexpr int kFontSizeMin = 6;
constexpr int kFontSizeMax = 12;
const QStringList kColorModes = {"Radio ID Color", "Talkgroup ID Color", "Split Color"};

QLineEdit* Example(const char* name, const QString& text, QWidget* parent)
{
    QLineEdit* example = Edit(name, parent);
    example->setText(text);
    example->setReadOnly(true);
    return example;
}

QHBoxLayout* Line(std::initializer_list<QWidget*> widgets)
{
    auto* row = new QHBoxLayout;
    for (QWidget* w : widgets)
        row->addWidget(w);
    row->addStretch(1);
    return row;
}

}  // namespace

QWidget* TcfgForm::FontRow(const QString& nameList, const QString& sizeUpDown, const QString& sizeEdit,
                           const QString& bold, QWidget* parent, FontControls& kept)
{
    auto* group = new QGroupBox("Font", parent);
    auto* row = new QHBoxLayout(group);
    auto* names = Combo(nameList, QFontDatabase::families(), group);
    auto* size = Spin(sizeUpDown, sizeEdit, kFontSizeMin, kFontSizeMax, group);
    auto* boldBox = Check(bold, "Bold", group);
    row->addWidget(Caption("Font:", names, group));
    row->addWidget(names, 1);
    row->addWidget(Caption("Size:", size, group));
    row->addWidget(size);
    row->addWidget(boldBox);
    kept = {names, size, boldBox};
    return group;
}

QWidget* TcfgForm::BuildScreenPage()
{
    auto* page = new QWidget;
    auto* box = new QVBoxLayout(page);
    screenPages_ = new QTabWidget(page);
    screenPages_->setObjectName("PageControl2");
    screenPages_->addTab(BuildGlobalFontPage(), "Global");
    for (int screen = 0; screen < kFontScreens; ++screen)
        screenPages_->addTab(BuildScreenFontPage(screen), FontScreens()[static_cast<size_t>(screen)].tab);
    box->addWidget(screenPages_);
    return page;
}

QWidget* TcfgForm::BuildGlobalFontPage()
{
    auto* page = new QWidget;
    auto* box = new QVBoxLayout(page);
    globalFontBox_ = bindings_.Box(Check("CheckBox21", "Use Global Font", page), BOUND_SETTING(useGlobalFont));
    box->addWidget(globalFontBox_);
    box->addWidget(FontRow("ComboBox12", "UpDown9", "Edit12", "CheckBox22", page, globalFont_));

    auto* colours = new QGroupBox("Line Colors", page);
    auto* grid = new QGridLayout(colours);
    auto* even = bindings_.ColourExample(Example("Edit4", "Even Lines", colours), BOUND_SETTING(evenText),
                                         BOUND_SETTING(evenBackground));
    auto* odd = bindings_.ColourExample(Example("Edit13", "Odd Lines", colours), BOUND_SETTING(oddText),
                                        BOUND_SETTING(oddBackground));
    auto* text = Button("Button5", "Text", colours);
    auto* evenBack = Button("Button6", "Background", colours);
    auto* oddBack = Button("Button8", "Background", colours);
    grid->addWidget(even, 0, 0);
    grid->addWidget(text, 0, 1, 2, 1);
    grid->addWidget(evenBack, 0, 2);
    grid->addWidget(odd, 1, 0);
    grid->addWidget(oddBack, 1, 2);
    box->addWidget(colours);
    box->addWidget(bindings_.Box(Check("CheckBox25", "Save window sizes and column positions on exit.", page),
                                 BOUND_SETTING(saveScreenSizes)));
    box->addWidget(
        bindings_.Box(Check("CheckBox36", "Show abbreviated system information at the bottom of the screen.", page),
                      BOUND_SETTING(hideSystemInfo)));
    box->addStretch(1);

    // Both line kinds share one text colour: the even example's.
    connect(text, &QPushButton::clicked, this, [this, even, odd] { PickColour(even, true, odd); });
    connect(evenBack, &QPushButton::clicked, this, [this, even] { PickColour(even, false); });
    connect(oddBack, &QPushButton::clicked, this, [this, odd] { PickColour(odd, false); });
    return page;
}

QWidget* TcfgForm::BuildScreenFontPage(int screen)
{
    const QString key = FontScreens()[static_cast<size_t>(screen)].key;
    auto* page = new QWidget;
    auto* box = new QVBoxLayout(page);
    box->addWidget(FontRow("FontName" + key, "FontSize" + key, "FontSizeEdit" + key, "FontBold" + key, page,
                           screenFonts_[static_cast<size_t>(screen)]));
    BuildScreenSwitches(screen, box, page);
    box->addStretch(1);
    return page;
}

// The switches of one screen's sub-page below its font choice.
void TcfgForm::BuildScreenSwitches(int screen, QVBoxLayout* box, QWidget* page)
{
    // A check box of the sub-page that edits `setting`.
    auto check = [this, box, page](const char* name, const QString& caption, SettingBindings::Ref<bool> setting) {
        QCheckBox* checkBox = bindings_.Box(Check(name, caption, page), setting);
        box->addWidget(checkBox);
        return checkBox;
    };
    // An example field with its "Text" and "Background" buttons, which pick the example's colours.
    auto colourLine = [this, box, page](const QString& caption, const char* exampleName, const char* textButton,
                                        const char* backButton, SettingBindings::Ref<uint32_t> text,
                                        SettingBindings::Ref<uint32_t> back) {
        QLabel* label = Caption(caption, nullptr, page);
        QLineEdit* example = bindings_.ColourExample(Example(exampleName, "Example", page), text, back);
        QPushButton* pickText = Button(textButton, "Text", page);
        QPushButton* pickBack = Button(backButton, "Background", page);
        box->addLayout(Line({label, example, pickText, pickBack}));
        connect(pickText, &QPushButton::clicked, this, [this, example] { PickColour(example, true); });
        connect(pickBack, &QPushButton::clicked, this, [this, example] { PickColour(example, false); });
    };
    constexpr char kAutoSave[] = "Turn on Auto Save at Startup";
    constexpr char kVisible[] = "Make this screen Visible";
    constexpr char kTalkgroupColours[] = "Use Talkgroup Color Settings (Odd/Even Colors will be used if unchecked)";

    switch (static_cast<FontScreen>(screen)) {
    case FontScreen::Activity: {
        colourLine("Default Talkgroup:", "Edit3", "Button3", "Button4", BOUND_SETTING(defaultText),
                   BOUND_SETTING(defaultBackground));
        colourLine("Control Channel:", "Edit18", "Button17", "Button18", BOUND_SETTING(controlText),
                   BOUND_SETTING(controlBackground));
        grantLogBox_ =
            check("CheckBox34", "Include Abbreviated Grant Log on activity screen", BOUND_SETTING(showGrantLog));
        QStringList counts;
        for (int n = 10; n <= 200; n += 10)
            counts << QString::number(n);
        grantLogLengthList_ = bindings_.NumberedList(Combo("ComboBox14", counts, page), BOUND_SETTING(grantLogMax), 20);
        box->addLayout(Line({Caption("Include the last", grantLogLengthList_, page), grantLogLengthList_,
                             Caption("grant log entries in this window.", grantLogLengthList_, page)}));
        check("CheckBox35", "Include Patch List on Activity Screen", BOUND_SETTING(showPatchList));
        auto* mode = bindings_.Index(Combo("ComboBox17", kColorModes, page), BOUND_SETTING(activityColorMode));
        box->addLayout(Line({Caption("Custom Color Priority:", mode, page), mode}));
        check("CheckBox45", "Save Repeater Hit Counts Across Restarts", BOUND_SETTING(saveHits));
        break;
    }
    case FontScreen::Affiliations:
        check("CheckBox3", "Include Denied Affiliations in affiliation log screen", BOUND_SETTING(logDenied));
        check("CheckBox8", kAutoSave, BOUND_SETTING(affiliations.autoSave));
        check("CheckBox27",
              "Make these screens Visible (This function controls both the Affiliations Log and "
              "Affiliations List Tabs)",
              BOUND_SETTING(affiliations.visible));
        check("CheckBox28", kTalkgroupColours, BOUND_SETTING(affiliationsUseTGColors));
        break;
    case FontScreen::TowerInfo: check("CheckBox29", kVisible, BOUND_SETTING(towerInfo.visible)); break;
    case FontScreen::Patches:
        check("CheckBox13", kAutoSave, BOUND_SETTING(patches.autoSave));
        check("CheckBox30", kVisible, BOUND_SETTING(patches.visible));
        break;
    case FontScreen::OtherInfo:
        check("CheckBox9", kAutoSave, BOUND_SETTING(otherInfo.autoSave));
        check("CheckBox4", kVisible, BOUND_SETTING(otherInfo.visible));
        break;
    case FontScreen::Grants: {
        check("CheckBox10", kAutoSave, BOUND_SETTING(grants.autoSave));
        check("CheckBox1", kVisible, BOUND_SETTING(grants.visible));
        check("CheckBox31", kTalkgroupColours, BOUND_SETTING(grantsUseTGColors));
        grantFilterBox_ = check("CheckBox7", "Enable filtering on Grant Log screen", BOUND_SETTING(grantsUseFilter));
        grantFilterLevelSpin_ =
            bindings_.Spinner(Spin("UpDown12", "Edit14", 1, 99, page), BOUND_SETTING(grantsFilterLevel));
        box->addLayout(
            Line({Caption("Filter all talkgroups  with priority levels higher than", grantFilterLevelSpin_, page),
                  grantFilterLevelSpin_}));
        grantFilterNonVoiceBox_ =
            check("CheckBox32", "Filter all Non-Voice channel grants", BOUND_SETTING(grantsFilterOther));
        auto* mode = bindings_.Index(Combo("ComboBox18", kColorModes, page), BOUND_SETTING(grantsColorMode));
        box->addLayout(Line({Caption("Custom Color Priority:", mode, page), mode}));
        break;
    }
    case FontScreen::Unknowns:
        check("CheckBox11", kAutoSave, BOUND_SETTING(unknowns.autoSave));
        check("CheckBox2", kVisible, BOUND_SETTING(unknowns.visible));
        break;
    case FontScreen::PktDump:
        check("CheckBox24", kAutoSave, BOUND_SETTING(pktDump.autoSave));
        check("CheckBox23", kVisible, BOUND_SETTING(pktDump.visible));
        break;
    case FontScreen::PsrDump:
        check("CheckBox39", kAutoSave, BOUND_SETTING(psrDump.autoSave));
        check("CheckBox38", kVisible, BOUND_SETTING(psrDump.visible));
        break;
    case FontScreen::Count: break;
    }
}
