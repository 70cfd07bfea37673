#pragma once

#include <string>

#include "platform/RegularFile.h"

class DataFileReader;
class RadioTable;

// Radios.txt of a system folder: the radio table, one line per radio in id order. Written in
// version 4; every older version is read (version 1 wrote the ids in hexadecimal).
namespace RadioFile {

constexpr int kVersion = 4;
constexpr const char* kFileName = "Radios.txt";

// The whole file text, CR LF line ends. Walks the table under its lock.
std::string Format(RadioTable& table);

// Reads the file's lines into the table: SetRadio, then the colours. Lines with fewer than 4
// fields, an id outside 1..16,777,215, a negative time or text where a number belongs are
// skipped. Returns the lines taken.
int Read(DataFileReader& reader, RadioTable& table);

// Reads the file when it exists. Failed when it exists but cannot be read, or is not a radio file
// this program understands (DataFileReader::Verdict): such a file must be kept as it is.
RegularFileRead Load(const std::string& path, RadioTable& table);

}  // namespace RadioFile
