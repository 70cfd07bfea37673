#pragma once

#include <cstdint>
#include <functional>

class P25Class;
class QColor;
class TForm1;

// What the talkgroup and radio ID dialogs need from the program: the decoder (created after the
// dialogs, gone after the window closes, so asked for each time), the default colour pair of
// the settings (Activity DefaultText / DefaultBackground, 0x00BBGGRR) and the shared colour
// chooser.
struct EditDialogServices {
    std::function<P25Class*()> decoder;
    std::function<uint32_t()> defaultText;
    std::function<uint32_t()> defaultBackground;
    std::function<bool(QColor&)> chooseColour;  // true with the colour when the user confirmed
};

// The services of the main window.
EditDialogServices MainWindowEditServices(TForm1& window);
