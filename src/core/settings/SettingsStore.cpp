// The settings file: registry keys and values kept in a REGEDIT4-format text file.
#include "settings/SettingsStore.h"

#include <cerrno>
#include <chrono>
#include <cstdio>

#include <fmt/printf.h>

#include "base/AtomicFile.h"

namespace varno::settings {
namespace fs = std::filesystem;
namespace {

std::string fullPath(std::string_view key)
{
    std::string p(kRootKey);
    p += '\\';
    p += key;
    return p;
}

// Texts the file format cannot carry: a line break would end the line, and a
// registry string ends at its first NUL anyway.
bool holdable(std::string_view s)
{
    return s.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

constexpr std::string_view kNotRegular = "not a regular file";

bool validKey(std::string_view key)
{
    return !key.empty() && holdable(key) && key.back() != '\\';
}

} // namespace

SettingsStore::SettingsStore(std::string path, FileSync* sync)
    : path_(std::move(path)), sync_(sync ? sync : &stdioSync_)
{
}

std::string SettingsStore::unreadableMessage(std::string_view path)
{
    return "The settings file\n" + std::string(path) + "\ncannot be read and is ignored.";
}

std::string SettingsStore::report() const
{
    // A device, pipe or socket named as the settings file is never moved aside
    // or replaced, so no setting can be saved while it is there.
    if (reason_ == kNotRegular)
        return "The settings file\n" + path_ +
               "\nis not a regular file: it is ignored and left as it is, "
               "and settings cannot be saved.";
    return unreadableMessage(path_);
}

void SettingsStore::refresh() const
{
    std::error_code ec;
    fs::file_status st = fs::status(path_, ec);
    // A link that leads round in a circle names nothing that can be read or
    // replaced: reported like a device, not taken for a missing file.
    const bool linkLoop = ec.value() == ELOOP;
    if (!linkLoop && (ec || !fs::exists(st))) {
        if (!loaded_ || exists_) {
            doc_ = RegDocument{};
            bad_ = false;
            reason_.clear();
            bytes_.clear();
        }
        loaded_ = true;
        exists_ = false;
        return;
    }
    const bool regular = !linkLoop && fs::is_regular_file(st);
    std::uintmax_t size = regular ? fs::file_size(path_, ec) : 0;
    if (ec)
        size = 0;
    fs::file_time_type mtime = fs::last_write_time(path_, ec);
    if (ec)
        mtime = {};
    const bool sameStamp = loaded_ && exists_ && size == size_ && mtime == mtime_;
    if (sameStamp && !racy_)
        return;

    auto load = [&](bool bad, std::string why, std::string bytes) {
        loaded_ = exists_ = true;
        size_ = size;
        mtime_ = mtime;
        // A change within the file system's time granularity keeps size and
        // time: while the file was young when read, its bytes are compared too.
        racy_ = mtime + std::chrono::seconds(3) >= fs::file_time_type::clock::now();
        if (sameStamp && !bad && !bad_ && bytes == bytes_)
            return;
        bytes_ = std::move(bytes);
        doc_ = RegDocument{};
        bad_ = bad;
        reason_ = std::move(why);
        if (bad) {
            sawBad_ = true;
            return;
        }
        auto parsed = RegDocument::parse(bytes_);
        if (!parsed.document) {
            bad_ = sawBad_ = true;
            reason_ = parsed.error;
            return;
        }
        doc_ = std::move(*parsed.document);
    };
    if (!regular)
        return load(true, std::string(kNotRegular), {});
    if (size > kMaxFileBytes)
        return load(true, "larger than any settings file", {});
    std::FILE* f = std::fopen(path_.c_str(), "rb");
    if (!f)
        return load(true, "cannot be opened", {});
    std::string bytes;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        bytes.append(buffer, n);
        if (bytes.size() > kMaxFileBytes)
            break;
    }
    bool readError = std::ferror(f) != 0;
    std::fclose(f);
    if (readError)
        return load(true, "read error", {});
    if (bytes.size() > kMaxFileBytes)
        return load(true, "larger than any settings file", {});
    load(false, {}, std::move(bytes));
}

bool SettingsStore::keyExists(std::string_view key) const
{
    std::lock_guard lock(mutex_);
    refresh();
    return doc_.hasKey(fullPath(key));
}

std::optional<Value> SettingsStore::get(std::string_view key, std::string_view name) const
{
    std::lock_guard lock(mutex_);
    refresh();
    return doc_.get(fullPath(key), name);
}

std::vector<NamedValue> SettingsStore::values(std::string_view key) const
{
    std::lock_guard lock(mutex_);
    refresh();
    return doc_.values(fullPath(key));
}

std::vector<std::string> SettingsStore::keys() const
{
    std::lock_guard lock(mutex_);
    refresh();
    std::vector<std::string> out;
    std::string root = foldName(kRootKey) + '\\';
    for (auto& k : doc_.keys())
        if (foldName(k).compare(0, root.size(), root) == 0)
            out.push_back(k.substr(root.size()));
    return out;
}

bool SettingsStore::unreadable() const
{
    std::lock_guard lock(mutex_);
    refresh();
    return bad_;
}

std::string SettingsStore::unreadableReason() const
{
    std::lock_guard lock(mutex_);
    refresh();
    return reason_;
}

std::string SettingsStore::takeUnreadableReport()
{
    std::lock_guard lock(mutex_);
    refresh();
    if (!sawBad_ || reported_)
        return {};
    reported_ = true;
    return report();
}

SettingsStore::Lookup SettingsStore::lookup(std::string_view key, std::string_view name)
{
    std::lock_guard lock(mutex_);
    refresh();
    Lookup out;
    if (sawBad_ && !reported_) {
        reported_ = true;
        out.unreadableReport = report();
    }
    const std::string path = fullPath(key);
    out.keyExists = doc_.hasKey(path);
    if (out.keyExists)
        out.value = doc_.get(path, name);
    return out;
}

std::string SettingsStore::movedAsidePath() const
{
    std::lock_guard lock(mutex_);
    return movedAside_;
}

int SettingsStore::lastErrorCode() const
{
    std::lock_guard lock(mutex_);
    return lastError_ ? lastError_ : 1;
}

bool SettingsStore::createKey(std::string_view key)
{
    return apply({Op{Op::Kind::CreateKey, std::string(key), {}, {}}});
}

bool SettingsStore::setString(std::string_view key, std::string_view name, std::string_view text)
{
    return apply({Op{Op::Kind::Set, std::string(key), std::string(name), Value::sz(std::string(text))}});
}

bool SettingsStore::setDword(std::string_view key, std::string_view name, uint32_t number)
{
    return apply({Op{Op::Kind::Set, std::string(key), std::string(name), Value::dword(number)}});
}

bool SettingsStore::deleteValue(std::string_view key, std::string_view name)
{
    {
        std::lock_guard lock(mutex_);
        refresh();
        if (!doc_.get(fullPath(key), name))
            return false;
    }
    return apply({Op{Op::Kind::Delete, std::string(key), std::string(name), {}}});
}

bool SettingsStore::apply(const std::vector<Op>& ops)
{
    for (const auto& op : ops)
        if (!validKey(op.key) || !holdable(op.name) ||
            (op.kind == Op::Kind::Set && op.value.type == ValueType::Sz && !holdable(op.value.text))) {
            std::lock_guard lock(mutex_);
            lastError_ = EINVAL;
            return false;
        }

    std::lock_guard lock(mutex_);
    refresh();
    RegDocument doc = doc_; // empty when the file is unreadable
    for (const auto& op : ops) {
        std::string key = fullPath(op.key);
        switch (op.kind) {
        case Op::Kind::CreateKey:
            doc.ensureKey(key);
            break;
        case Op::Kind::Set:
            doc.set(key, op.name, op.value);
            break;
        case Op::Kind::Delete:
            doc.erase(key, op.name);
            break;
        }
    }
    if (!writeFile(doc))
        return false;
    doc_ = std::move(doc);
    bad_ = false;
    reason_.clear();
    bytes_ = doc_.format();
    std::error_code ec;
    exists_ = true;
    size_ = fs::file_size(path_, ec);
    mtime_ = fs::last_write_time(path_, ec);
    racy_ = true;
    return true;
}

bool SettingsStore::moveAside()
{
    std::error_code ec;
    // Only a regular file that cannot be parsed is set aside.
    if (!fs::is_regular_file(fs::status(path_, ec))) {
        lastError_ = ec ? ec.value() : EINVAL;
        return false;
    }
    for (int i = 0; i < 100; ++i) {
        std::string target = i == 0 ? path_ + ".bad" : fmt::sprintf("%s.bad%d", path_, i);
        if (fs::exists(fs::symlink_status(target, ec)))
            continue;
        fs::rename(path_, target, ec);
        if (ec) {
            lastError_ = ec.value();
            return false;
        }
        movedAside_ = target;
        return true;
    }
    return false;
}

bool SettingsStore::writeFile(const RegDocument& doc)
{
    AtomicWriteOptions options;
    options.sync = sync_;
    options.createFolders = true;
    // An unreadable file is kept under another name, never replaced; the new
    // file takes neither its link nor its permissions.
    const bool setAside = exists_ && bad_;
    options.inheritOldFile = !setAside;
    if (setAside)
        options.beforeReplace = [this] { return moveAside() ? 0 : (lastError_ ? lastError_ : EEXIST); };
    lastError_ = 0;
    const WriteOutcome outcome = writeFileAtomically(path_, doc.format(), options);
    lastError_ = outcome.error;
    return static_cast<bool>(outcome);
}

SettingsStore::Batch& SettingsStore::Batch::createKey(std::string_view key)
{
    ops_.push_back({Op::Kind::CreateKey, std::string(key), {}, {}});
    return *this;
}

SettingsStore::Batch& SettingsStore::Batch::setString(std::string_view key, std::string_view name,
                                                      std::string_view text)
{
    ops_.push_back({Op::Kind::Set, std::string(key), std::string(name), Value::sz(std::string(text))});
    return *this;
}

SettingsStore::Batch& SettingsStore::Batch::setDword(std::string_view key, std::string_view name,
                                                     uint32_t number)
{
    ops_.push_back({Op::Kind::Set, std::string(key), std::string(name), Value::dword(number)});
    return *this;
}

SettingsStore::Batch& SettingsStore::Batch::deleteValue(std::string_view key, std::string_view name)
{
    ops_.push_back({Op::Kind::Delete, std::string(key), std::string(name), {}});
    return *this;
}

bool SettingsStore::Batch::commit()
{
    return store_.apply(ops_);
}

} // namespace varno::settings
