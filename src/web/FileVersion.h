#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// The program's file version: four 16-bit numbers major.minor.release.build.
struct FileVersion {
    uint16_t major = 0;
    uint16_t minor = 0;
    uint16_t release = 0;
    uint16_t build = 0;

    // The two 32-bit halves that versions are compared by: major and minor, release and build.
    int32_t High() const { return static_cast<int32_t>((uint32_t{major} << 16) | minor); }
    int32_t Low() const { return static_cast<int32_t>((uint32_t{release} << 16) | build); }
};

// The program's name as the web services know it (agent texts, the version page).
inline constexpr char kProgramName[] = "Varnel";

// The version compiled into the program; empty when the build carries none.
std::optional<FileVersion> ProgramFileVersion();

// "Varnel/1.9.0B142" for 1.9.0.142: minor and build by their low 8 bits; the name alone when
// the version is not known.
QString AgentText(const QString& programName, const std::optional<FileVersion>& version);
