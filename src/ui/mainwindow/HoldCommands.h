#pragma once

#include <QString>

#include <cstdint>

class TForm1;

// Holds `talkgroup` for the follow decision (-1 releases the hold) and shows it on the hold
// button. The refresh thread redraws the activity list within its next pass.
void SetHeldTalkgroup(TForm1& window, int32_t talkgroup);

// A talkgroup typed into the hold dialog or read from an activity row: a decimal number, blanks
// around it allowed. False for anything else, and for a negative number (-1 means "no hold").
bool ReadHoldNumber(const QString& text, int32_t& number);
