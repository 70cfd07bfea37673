#pragma once

#include <string_view>

// Whether a description is one the tables made up themselves for an entry nobody has named:
// "T: <rfss><site> DT: <date>" for a talkgroup, "TG: <talkgroup> DT: <date>" for a radio. Such a
// text counts as no name at all when names are brought in from elsewhere.
bool IsGeneratedDescription(std::string_view description);
