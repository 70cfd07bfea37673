#include "site/GeneratedDescription.h"

bool IsGeneratedDescription(std::string_view d)
{
    std::string_view rest;
    if (d.substr(0, 4) == "TG: ")
        rest = d.substr(4);
    else if (d.substr(0, 3) == "T: ")
        rest = d.substr(3);
    else
        return false;
    size_t digits = 0;
    while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9')
        ++digits;
    return digits > 0 && rest.substr(digits, 5) == " DT: ";
}
