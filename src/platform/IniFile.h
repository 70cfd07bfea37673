#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

// An INI file with Windows private-profile semantics: section and key names are compared without
// regard to case, the first match wins, blanks around names and values are trimmed, lines starting
// with ';' are comments and are kept when the file is rewritten. Lines end with CR LF when written;
// CR LF, LF or a lone CR are accepted when read.
//
// The file is held in memory: Load reads it whole (a missing file is an empty INI), the Write and
// Erase calls change the memory copy, and Save rewrites the file whole and atomically (a temporary
// file in the same folder, fsync, rename over the old one), so a crash or a full disk never leaves
// half a file behind. Not thread-safe: one owner at a time.
class IniFile {
public:
    // Permissions of a file that Save creates (an existing file keeps its own unless
    // SetCreateMode was called, which then applies to every save).
    static constexpr mode_t kDefaultMode = 0644;

    IniFile() = default;
    explicit IniFile(std::string path) : path_(std::move(path)) { }

    // Far above any real settings file or profile; only a runaway file reaches it.
    static constexpr size_t kMaxFileBytes = size_t{16} << 20;

    // Reads the file at `path` (and remembers the path for Save). A missing file gives an empty
    // INI and true; an existing file that cannot be read (not a regular file, no permission,
    // larger than kMaxFileBytes, ...) gives an empty INI, false and the reason in Error(). Never
    // blocks on a special file.
    bool Load(const std::string& path);
    // Why the last Load or Save failed.
    const std::string& Error() const { return error_; }
    // Parses INI text (CR LF, LF or CR lines) in place of the current contents.
    void Parse(std::string_view text);
    // The file's text as Save writes it (CR LF line ends).
    std::string Text() const;

    // Writes the file whole and atomically to the remembered path (or `path`). On any failure the
    // old file is left as it was and false is returned.
    bool Save();
    bool Save(const std::string& path);

    // Permissions given to the file on every save (e.g. 0600 for a file that holds passwords).
    void SetCreateMode(mode_t mode);

    const std::string& Path() const { return path_; }
    void SetPath(std::string path) { path_ = std::move(path); }

    // --- reading (a missing section or key gives the default) ---
    std::string ReadString(std::string_view section, std::string_view key, std::string_view def = {}) const;
    // GetPrivateProfileInt rules: optional blanks, optional sign, then the leading decimal digits;
    // a value with no leading digit gives the default.
    int64_t ReadInteger(std::string_view section, std::string_view key, int64_t def) const;
    // A decimal float ("12.5", "1e3"); a value that does not start with a number gives the default.
    double ReadFloat(std::string_view section, std::string_view key, double def) const;
    // A number (leading digits, as ReadInteger) is true when not 0; else the words yes/true/on and
    // no/false/off (any case); anything else gives the default.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;

    // The same rules applied to a text of one's own (e.g. a default given as text).
    static int64_t ParseInteger(std::string_view text, int64_t def);
    static double ParseFloat(std::string_view text, double def);

    // --- writing (adds the section and key at the end when missing, else replaces the value of
    //     the first match in place) ---
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int64_t value);
    // Shortest text that reads back to the same double.
    void WriteFloat(std::string_view section, std::string_view key, double value);
    // Writes "1" or "0".
    void WriteBool(std::string_view section, std::string_view key, bool value);

    // --- structure ---
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    void EraseSection(std::string_view section);  // every section of that name
    void DeleteKey(std::string_view section, std::string_view key);
    std::vector<std::string> ReadSection(std::string_view section) const;  // key names, file order
    std::vector<std::string> ReadSections() const;                         // section names, file order
    void Clear();

private:
    struct Line {
        std::string key;    // trimmed key; empty for a comment or other kept line
        std::string value;  // trimmed value, or the whole raw line when key is empty
    };
    struct Section {
        std::string name;
        std::vector<Line> lines;
    };

    const Section* FindSection(std::string_view name) const;
    Section* FindSection(std::string_view name);
    static const Line* FindKey(const Section& s, std::string_view key);
    static Line* FindKey(Section& s, std::string_view key);
    const std::string* Find(std::string_view section, std::string_view key) const;

    std::string path_;
    std::vector<Line> preamble_;  // comment lines before the first section
    std::vector<Section> sections_;
    mode_t mode_ = kDefaultMode;
    bool modeSet_ = false;
    std::string error_;
};
