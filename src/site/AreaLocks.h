#pragma once

#include <string_view>

#include "platform/NamedLock.h"

// The locks of the decoder's state areas and the order they nest in: "SYSINFOLOCK" outermost
// (around a reset and the loading of per-system data), "BSOLOCK" before "FREQUENCY", "FREQUENCY"
// before "TGLOCK" or "RADIDLOCK", "AFFLOG" before "AFFILIATE", "PATCHLOCK" before
// "PATCHLOGLOCK". Nothing else nests.
namespace area_locks {

inline constexpr const char* kSysInfoName = "SYSINFOLOCK";

inline constexpr LockOrder kSysInfo{kSysInfoName, {}};
inline constexpr LockOrder kIdentifiers{"BSOLOCK", {kSysInfoName}};
inline constexpr LockOrder kChannels{"FREQUENCY", {kSysInfoName, "BSOLOCK"}};
inline constexpr LockOrder kTalkgroups{"TGLOCK", {kSysInfoName, "BSOLOCK", "FREQUENCY"}};
inline constexpr LockOrder kRadios{"RADIDLOCK", {kSysInfoName, "BSOLOCK", "FREQUENCY"}};
inline constexpr LockOrder kNeighbors{"NEIGHBOR", {kSysInfoName}};
inline constexpr LockOrder kAffiliationLog{"AFFLOG", {kSysInfoName}};
inline constexpr LockOrder kAffiliations{"AFFILIATE", {kSysInfoName, "AFFLOG"}};
inline constexpr LockOrder kAffiliationFilter{"AFILTER", {kSysInfoName}};
inline constexpr LockOrder kPatches{"PATCHLOCK", {kSysInfoName}};
inline constexpr LockOrder kPatchLog{"PATCHLOGLOCK", {kSysInfoName, "PATCHLOCK"}};
inline constexpr LockOrder kGrantLog{"GLLOCK", {kSysInfoName}};
inline constexpr LockOrder kUnknowns{"UNKNOWNLOCK", {kSysInfoName}};
inline constexpr LockOrder kEvents{"EVENTLOCK", {kSysInfoName}};
inline constexpr LockOrder kPacketDump{"ALLPKTLOCK", {kSysInfoName}};

inline constexpr const LockOrder* kAll[] = {
    &kSysInfo,        &kIdentifiers,  &kChannels,          &kTalkgroups, &kRadios,   &kNeighbors,
    &kAffiliationLog, &kAffiliations, &kAffiliationFilter, &kPatches,    &kPatchLog, &kGrantLog,
    &kUnknowns,       &kEvents,       &kPacketDump,
};

// The order of an area lock by its name; nullptr for a name that is not an area lock.
inline const LockOrder* Find(std::string_view name)
{
    for (const LockOrder* order : kAll)
        if (name == order->name)
            return order;
    return nullptr;
}

}  // namespace area_locks
