// The settings file: registry keys and values kept in a REGEDIT4-format text file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/FileSync.h"
#include "settings/RegDocument.h"
#include "settings/Value.h"

namespace varno::settings {

// The key every setting lives under, and the subkey of the POI file list.
inline constexpr std::string_view kVarnoKey = "Software\\VARNO";
inline constexpr std::string_view kPoiFilesKey = "Software\\VARNO\\POIFiles";
// The root the keys above live under; the file names it in every section.
inline constexpr std::string_view kRootKey = "HKEY_CURRENT_USER";

// Keys are named as under HKEY_CURRENT_USER ("Software\VARNO"); names of keys
// and values compare without regard to case, as the registry does. Values keep
// the order they have in the file, which is their enumeration order. A key
// exists when it or a key below it has a section in the file.
//
// Every read reflects the file as it is on disk now: the file is read again
// when its size or modification time changed, and compared byte by byte while
// it is only seconds old (its time may not have moved), so another program
// editing it is seen. Every write goes to a temporary file in the same folder
// that is flushed to disk and renamed over the old one: a crash never leaves
// half a file. A rewrite keeps keys of other roots and values of other types;
// comments and blank lines are not kept.
//
// A file that cannot be parsed (see RegDocument), cannot be read, or is larger
// than kMaxFileBytes counts as having no keys at all. It is never overwritten:
// the first write moves it aside as "<file>.bad" (or "<file>.bad1", ... when
// that name is taken) and then writes a new file. A missing or empty file is
// simply a store without keys.
//
// Safe to use from several threads.
class SettingsStore {
public:
    // A real settings file is a few kilobytes; anything this large is not one.
    static constexpr std::uintmax_t kMaxFileBytes = 4u << 20;

    // sync may be null: then stdio buffers are flushed, nothing more.
    explicit SettingsStore(std::string path, FileSync* sync = nullptr);

    const std::string& path() const { return path_; }

    bool keyExists(std::string_view key) const;
    std::optional<Value> get(std::string_view key, std::string_view name) const;
    std::vector<NamedValue> values(std::string_view key) const;
    // Keys under HKEY_CURRENT_USER in file order ("Software\VARNO", ...).
    std::vector<std::string> keys() const;

    // Writers create the key (and the file and its folder) as needed. False on
    // an I/O failure, and for texts and names the file cannot hold (NUL, CR or
    // LF in them): the file is then left as it was.
    bool createKey(std::string_view key);
    bool setString(std::string_view key, std::string_view name, std::string_view text);
    bool setDword(std::string_view key, std::string_view name, uint32_t number);
    // False also when there was no such value (nothing is written then).
    bool deleteValue(std::string_view key, std::string_view name);

    // Several writes as one file replacement: all of them land or none does.
    class Batch;

    // True when the file exists but cannot be used.
    bool unreadable() const;
    // Why, for diagnostics ("line 3: unterminated string"); empty when readable.
    std::string unreadableReason() const;
    // The message for the user about an unreadable file, the first time one is
    // seen by this store; empty afterwards and while the file is fine.
    std::string takeUnreadableReport();

    // A reader's whole look at one value from a single look at the file: the
    // unreadable-file report (taken, as takeUnreadableReport does), whether the
    // key exists and the value. The per-fix readers use it, so that a read
    // costs one check of the file instead of three.
    struct Lookup {
        std::string unreadableReport;
        bool keyExists = false;
        std::optional<Value> value;
    };
    Lookup lookup(std::string_view key, std::string_view name);
    // Where the last unreadable file was moved to; empty when none was.
    std::string movedAsidePath() const;
    // The system's error number of the last failed write; 1 when it gave none.
    int lastErrorCode() const;

    static std::string unreadableMessage(std::string_view path);

private:
    // The once-only message about an unreadable file.
    std::string report() const;

    struct Op {
        enum class Kind { CreateKey, Set, Delete } kind;
        std::string key;
        std::string name;
        Value value;
    };

    // Reads the file again when it changed; caller holds mutex_.
    void refresh() const;
    bool apply(const std::vector<Op>& ops);
    bool writeFile(const RegDocument& doc);
    bool moveAside();

    std::string path_;
    FileSync* sync_;
    StdioFileSync stdioSync_;

    mutable std::mutex mutex_;
    mutable bool loaded_ = false;
    mutable bool exists_ = false;
    mutable std::uintmax_t size_ = 0;
    mutable std::filesystem::file_time_type mtime_{};
    mutable RegDocument doc_;
    mutable std::string bytes_; // the file as last read or written
    mutable bool racy_ = false; // the file was too young to trust its size and time
    mutable bool bad_ = false;
    mutable std::string reason_;
    mutable bool sawBad_ = false;
    bool reported_ = false;
    std::string movedAside_;
    int lastError_ = 0;
};

class SettingsStore::Batch {
public:
    explicit Batch(SettingsStore& store) : store_(store) {}
    Batch& createKey(std::string_view key);
    Batch& setString(std::string_view key, std::string_view name, std::string_view text);
    Batch& setDword(std::string_view key, std::string_view name, uint32_t number);
    Batch& deleteValue(std::string_view key, std::string_view name);
    // Writes the file once. False when any text cannot be held or the write failed.
    bool commit();

private:
    SettingsStore& store_;
    std::vector<Op> ops_;
};

} // namespace varno::settings
