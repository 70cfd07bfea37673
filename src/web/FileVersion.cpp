#include "web/FileVersion.h"

#include "Version.h"

namespace {
constexpr unsigned kLowByte = 0xFF;
}

std::optional<FileVersion> ProgramFileVersion()
{
    FileVersion v;
    v.major = static_cast<uint16_t>(VARNEL_VERSION_MAJOR);
    v.minor = static_cast<uint16_t>(VARNEL_VERSION_MINOR);
    v.release = static_cast<uint16_t>(VARNEL_VERSION_RELEASE);
    v.build = static_cast<uint16_t>(VARNEL_VERSION_BUILD);
    return v;
}

QString AgentText(const QString& programName, const std::optional<FileVersion>& version)
{
    if (!version)
        return programName;
    return QString("%1/%2.%3.%4B%5")
        .arg(programName)
        .arg(version->major)
        .arg(version->minor & kLowByte)
        .arg(version->release)
        .arg(version->build & kLowByte);
}
