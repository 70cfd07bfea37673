#include <cstdio>
#include <cstring>

#include "Version.h"

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("Usage: varnel [--version] [--help]\n");
            return 0;
        }
    }
    std::printf("Varnel %s\n", VARNEL_VERSION);
    return 0;
}
