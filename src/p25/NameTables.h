#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Vocabularies that turn the control channel's numeric codes into the words of descriptions,
// the event log and the screens. All tables are constant, so every lookup is a pure function
// that any thread may call without a lock.

// Manufacturer name of an MFID; "Unknown" for an MFID not in the table.
const char* ManufacturerName(uint8_t mfid);

// " Mfg " + MFID as two upper-case hex digits + "(" + ManufacturerName + ")", the suffix that
// block descriptions end with, e.g. " Mfg 90(Motorola)".
std::string ManufacturerSuffix(uint8_t mfid);

// Name of the 6-bit service type carried in acknowledgements, denials and queued responses;
// "Unknown Code 0x%02x" (lower-case hex) for any other value.
std::string ServiceTypeName(int code);

// Reason text of a denial or queued response code, "reserved" for codes not in the table.
// Writes it into buf (at most size-1 characters plus the terminator); nothing when size is 0.
void ReasonText(int code, char* buf, size_t size);
std::string ReasonText(int code);

// Service class byte of status and control channel broadcasts as text: one text per set bit,
// lowest bit first, joined with "," (no blank); "None Advertised" when no bit is set.
std::string ServiceClassText(uint8_t serviceClass);

// Parenthesised name that a multi-block header summary shows for the carried opcode, e.g.
// "(RFSS Status Broadcast)"; "(Unknown)" for opcodes without one or outside 0x00..0x3F.
const char* OpcodeSummaryName(int opcode);
