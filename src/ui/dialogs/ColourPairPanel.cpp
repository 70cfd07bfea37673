#include "ui/dialogs/ColourPairPanel.h"
#include "ui/views/ColourValue.h"

#include <QColor>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

namespace {

QPushButton* Button(const char* name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

ColourPairPanel::ColourPairPanel(EditDialogServices services, QLineEdit* nameField, QWidget* parent)
    : QGroupBox("Color Settings", parent), services_(std::move(services)), nameField_(nameField)
{
    auto* row = new QHBoxLayout(this);
    QPushButton* text = Button("Button4", "Text Color", this);
    QPushButton* back = Button("Button5", "BG Color", this);
    QPushButton* defaults = Button("Button6", "Default", this);
    row->addWidget(text);
    row->addWidget(back);
    row->addWidget(defaults);
    connect(text, &QPushButton::clicked, this, [this] { Choose(false); });
    connect(back, &QPushButton::clicked, this, [this] { Choose(true); });
    connect(defaults, &QPushButton::clicked, this, [this] {
        ShowDefaults();
        emit Changed();
    });
    ShowDefaults();
}

void ColourPairPanel::ShowPair(uint32_t text, uint32_t back)
{
    if (text == back) {
        ShowDefaults();
        return;
    }
    text_ = text;
    back_ = back;
    Paint();
}

void ColourPairPanel::ShowDefaults()
{
    text_ = services_.defaultText ? services_.defaultText() : 0;
    back_ = services_.defaultBackground ? services_.defaultBackground() : 0xFFFFFF;
    Paint();
}

void ColourPairPanel::StoredPair(uint32_t& text, uint32_t& back) const
{
    const uint32_t defaultText = services_.defaultText ? services_.defaultText() : 0;
    const uint32_t defaultBack = services_.defaultBackground ? services_.defaultBackground() : 0xFFFFFF;
    const bool isDefault = text_ == defaultText && back_ == defaultBack;
    text = isDefault ? 0 : text_;
    back = isDefault ? 0 : back_;
}

void ColourPairPanel::Choose(bool background)
{
    if (!services_.chooseColour)
        return;
    QColor colour = ToQColor(background ? back_ : text_);
    if (!services_.chooseColour(colour))
        return;
    (background ? back_ : text_) = FromQColor(colour);
    Paint();
    emit Changed();
}

void ColourPairPanel::Paint()
{
    QPalette palette = nameField_->palette();
    palette.setColor(QPalette::Text, ToQColor(text_));
    palette.setColor(QPalette::Base, ToQColor(back_));
    nameField_->setPalette(palette);
}
