// Test entry point: runs under the environment's locale so the de_DE run means something.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    const char* got = std::setlocale(LC_ALL, "");
    if (const char* want = std::getenv("VARNO_EXPECT_LOCALE")) {
        // A missing locale would make the German run silently test "C" again.
        if (!got || !std::strstr(got, want)) {
            std::fprintf(stderr, "locale %s is not installed (got %s); run scripts/bootstrap\n", want,
                         got ? got : "nothing");
            return 1;
        }
        std::locale::global(std::locale(""));
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
