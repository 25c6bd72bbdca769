// Runs a fuzz target over files and folders of seeds, without libFuzzer, so
// every build replays the seeds (and the sanitizer build checks them).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

static void runFile(const fs::path& p, int& count)
{
    std::ifstream in(p, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ++count;
}

int main(int argc, char** argv)
{
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        fs::path p = argv[i];
        if (fs::is_directory(p)) {
            for (const auto& e : fs::recursive_directory_iterator(p))
                if (e.is_regular_file())
                    runFile(e.path(), count);
        } else if (fs::is_regular_file(p)) {
            runFile(p, count);
        } else {
            std::fprintf(stderr, "no seeds at %s\n", argv[i]);
            return 1;
        }
    }
    std::printf("%d seeds ran\n", count);
    return 0;
}
