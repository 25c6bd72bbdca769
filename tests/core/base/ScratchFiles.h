// A scratch folder per test, whole-file reads and writes, and a disk sync that can be made to fail.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <thread>

#include "base/FileSync.h"

namespace varno::test {

class ScratchDir {
public:
    ScratchDir()
    {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("varno-test-" + std::to_string(rd()) + "-" + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir()
    {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Fails every flush while fail is set.
struct FailingSync final : FileSync {
    explicit FailingSync(bool failing = true) : fail(failing) {}
    bool fail;
    bool flushToDisk(std::FILE* f) override { return !fail && std::fflush(f) == 0; }
};

inline void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs work on a thread of its own and says whether it ended within limit. A
// run that never ends (blocked in an open, say) is left behind, so a fault
// fails the test instead of hanging it.
template <class Work> bool finishesWithin(std::chrono::seconds limit, Work work)
{
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> ended = done->get_future();
    std::thread([done, work = std::move(work)]() mutable {
        work();
        done->set_value();
    }).detach();
    return ended.wait_for(limit) == std::future_status::ready;
}

} // namespace varno::test
