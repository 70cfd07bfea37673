#pragma once

#include <string>

// What a user who may not open a serial port can do about it, appended after the port's error
// text: on Linux, serial devices open only for root and the members of the "dialout" group.
// Empty for every error number but a permission refusal (EACCES, EPERM).
std::string PortAccessHint(int err);
