#include "link/PortAccessHint.h"

#include <cerrno>

std::string PortAccessHint(int err)
{
    if (err != EACCES && err != EPERM)
        return {};
    return " (Your user may not open this serial port: add it to the 'dialout' group with "
           "\"sudo usermod -aG dialout $USER\", then log out and in again.)";
}
