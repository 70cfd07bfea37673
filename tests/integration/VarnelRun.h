#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

// Runs the real varnel binary (VARNEL_BINARY) the way a user or a script would: the arguments go
// through the shell, standard output and standard error are kept apart.
struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline RunResult RunVarnel(const std::string& arguments)
{
    const std::filesystem::path errFile =
        std::filesystem::temp_directory_path() / ("varnel-stderr-" + std::to_string(::getpid()));
    const std::string command = std::string(VARNEL_BINARY) + " " + arguments + " 2>" + errFile.string();
    RunResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.out.append(buffer.data(), n);
    const int raw = ::pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream err(errFile);
    result.err.assign(std::istreambuf_iterator<char>(err), {});
    std::filesystem::remove(errFile);
    return result;
}
