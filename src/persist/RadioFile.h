#pragma once

#include <string>

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
// fields, an id below 1 or text where a number belongs are skipped. Returns the lines taken.
int Read(DataFileReader& reader, RadioTable& table);

// Reads the file when it exists; false when it cannot be opened.
bool Load(const std::string& path, RadioTable& table);

}  // namespace RadioFile
