// The "Screen Settings" page of the configuration dialog: the sub-pages of PageControl2 with the
// global font and line colours, and each screen's font and switches.
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QTabWidget>
#include <QVBoxLayout>

#include <functional>

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

// The switches of one screen's sub-page below its font choice.
void ScreenSwitches(int screen, QVBoxLayout* box, QWidget* page)
{
    switch (static_cast<FontScreen>(screen)) {
    case FontScreen::Activity: {
        box->addLayout(Line({Caption("Default Talkgroup:", nullptr, page), Example("Edit3", "Example", page),
                             Button("Button3", "Text", page), Button("Button4", "Background", page)}));
        box->addLayout(Line({Caption("Control Channel:", nullptr, page), Example("Edit18", "Example", page),
                             Button("Button17", "Text", page), Button("Button18", "Background", page)}));
        box->addWidget(Check("CheckBox34", "Include Abbreviated Grant Log on activity screen", page));
        QStringList counts;
        for (int n = 10; n <= 200; n += 10)
            counts << QString::number(n);
        auto* count = Combo("ComboBox14", counts, page);
        box->addLayout(Line({Caption("Include the last", count, page), count,
                             Caption("grant log entries in this window.", count, page)}));
        box->addWidget(Check("CheckBox35", "Include Patch List on Activity Screen", page));
        auto* mode = Combo("ComboBox17", kColorModes, page);
        box->addLayout(Line({Caption("Custom Color Priority:", mode, page), mode}));
        box->addWidget(Check("CheckBox45", "Save Repeater Hit Counts Across Restarts", page));
        break;
    }
    case FontScreen::Affiliations:
        box->addWidget(Check("CheckBox3", "Include Denied Affiliations in affiliation log screen", page));
        box->addWidget(Check("CheckBox8", "Turn on Auto Save at Startup", page));
        box->addWidget(Check("CheckBox27",
                             "Make these screens Visible (This function controls both the Affiliations Log and "
                             "Affiliations List Tabs)",
                             page));
        box->addWidget(
            Check("CheckBox28", "Use Talkgroup Color Settings (Odd/Even Colors will be used if unchecked)", page));
        break;
    case FontScreen::TowerInfo: box->addWidget(Check("CheckBox29", "Make this screen Visible", page)); break;
    case FontScreen::Patches:
        box->addWidget(Check("CheckBox13", "Turn on Auto Save at Startup", page));
        box->addWidget(Check("CheckBox30", "Make this screen Visible", page));
        break;
    case FontScreen::OtherInfo:
        box->addWidget(Check("CheckBox9", "Turn on Auto Save at Startup", page));
        box->addWidget(Check("CheckBox4", "Make this screen Visible", page));
        break;
    case FontScreen::Grants: {
        box->addWidget(Check("CheckBox10", "Turn on Auto Save at Startup", page));
        box->addWidget(Check("CheckBox1", "Make this screen Visible", page));
        box->addWidget(
            Check("CheckBox31", "Use Talkgroup Color Settings (Odd/Even Colors will be used if unchecked)", page));
        box->addWidget(Check("CheckBox7", "Enable filtering on Grant Log screen", page));
        auto* level = Spin("UpDown12", "Edit14", 1, 99, page);
        box->addLayout(Line({Caption("Filter all talkgroups  with priority levels higher than", level, page), level}));
        box->addWidget(Check("CheckBox32", "Filter all Non-Voice channel grants", page));
        auto* mode = Combo("ComboBox18", kColorModes, page);
        box->addLayout(Line({Caption("Custom Color Priority:", mode, page), mode}));
        break;
    }
    case FontScreen::Unknowns:
        box->addWidget(Check("CheckBox11", "Turn on Auto Save at Startup", page));
        box->addWidget(Check("CheckBox2", "Make this screen Visible", page));
        break;
    case FontScreen::PktDump:
        box->addWidget(Check("CheckBox24", "Turn on Auto Save at Startup", page));
        box->addWidget(Check("CheckBox23", "Make this screen Visible", page));
        break;
    case FontScreen::PsrDump:
        box->addWidget(Check("CheckBox39", "Turn on Auto Save at Startup", page));
        box->addWidget(Check("CheckBox38", "Make this screen Visible", page));
        break;
    case FontScreen::Count: break;
    }
}

}  // namespace

QWidget* TcfgForm::FontRow(const QString& nameList, const QString& sizeUpDown, const QString& sizeEdit,
                           const QString& bold, QWidget* parent, FontControls& kept)
{
    auto* group = new QGroupBox("Font", parent);
    auto* row = new QHBoxLayout(group);
    auto* names = new QComboBox(group);
    names->setObjectName(nameList);
    names->addItems(QFontDatabase::families());
    auto* size = new QSpinBox(group);
    size->setObjectName(sizeUpDown);
    size->setRange(kFontSizeMin, kFontSizeMax);
    if (auto* edit = size->findChild<QLineEdit*>())
        edit->setObjectName(sizeEdit);
    auto* boldBox = new QCheckBox("Bold", group);
    boldBox->setObjectName(bold);
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
    box->addWidget(Check("CheckBox21", "Use Global Font", page));
    box->addWidget(FontRow("ComboBox12", "UpDown9", "Edit12", "CheckBox22", page, globalFont_));

    auto* colours = new QGroupBox("Line Colors", page);
    auto* grid = new QGridLayout(colours);
    auto* even = Example("Edit4", "Even Lines", colours);
    auto* odd = Example("Edit13", "Odd Lines", colours);
    auto* text = Button("Button5", "Text", colours);
    auto* evenBack = Button("Button6", "Background", colours);
    auto* oddBack = Button("Button8", "Background", colours);
    grid->addWidget(even, 0, 0);
    grid->addWidget(text, 0, 1, 2, 1);
    grid->addWidget(evenBack, 0, 2);
    grid->addWidget(odd, 1, 0);
    grid->addWidget(oddBack, 1, 2);
    box->addWidget(colours);
    box->addWidget(Check("CheckBox25", "Save window sizes and column positions on exit.", page));
    box->addWidget(Check("CheckBox36", "Show abbreviated system information at the bottom of the screen.", page));
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
    ScreenSwitches(screen, box, page);
    box->addStretch(1);
    if (static_cast<FontScreen>(screen) == FontScreen::Activity) {
        auto find = [page](const char* name) { return page->findChild<QWidget*>(name); };
        auto* defaults = qobject_cast<QLineEdit*>(find("Edit3"));
        auto* control = qobject_cast<QLineEdit*>(find("Edit18"));
        const std::pair<const char*, std::function<void()>> buttons[] = {
            {"Button3", [this, defaults] { PickColour(defaults, true); }},
            {"Button4", [this, defaults] { PickColour(defaults, false); }},
            {"Button17", [this, control] { PickColour(control, true); }},
            {"Button18", [this, control] { PickColour(control, false); }}};
        for (const auto& [name, pick] : buttons)
            connect(qobject_cast<QPushButton*>(find(name)), &QPushButton::clicked, this, pick);
    }
    return page;
}
