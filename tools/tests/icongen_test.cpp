// Runs icongen on a pixel map with a different value in every row and column,
// which shows swapped nibbles, rows in the wrong order and a shifted or
// unpadded mask.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::filesystem::path kScratch = SCRATCH_DIR;

bool clearAt(int x, int y) { return (x + y) % 5 == 0; }
unsigned colourAt(int x, int y) { return static_cast<unsigned>(x * 3 + y) % 16; }

// icongen OUT MAP: its exit status.
int runTool(const std::string& icon, const std::string& map) {
    std::string command = "\"" + std::string(ICONGEN_EXE) + "\" \"" + (kScratch / icon).string() + "\" \"" +
                          (kScratch / map).string() + "\"";
#ifdef _WIN32
    command = "\"" + command + "\"";  // cmd.exe strips the outer pair of quotes
#endif
    return std::system(command.c_str());
}

TEST(IconGen, EveryPixelRoundTripsAndABadMapWritesNothing) {
    constexpr int n = 16;
    std::filesystem::create_directories(kScratch);
    {
        std::ofstream out(kScratch / "map.txt");
        for (int y = 0; y < n; ++y, out << '\n') {
            for (int x = 0; x < n; ++x) out << (clearAt(x, y) ? '.' : "0123456789ABCDEF"[colourAt(x, y)]);
        }
    }
    ASSERT_EQ(runTool("pattern.ico", "map.txt"), 0);
    std::ifstream in(kScratch / "pattern.ico", std::ios::binary);
    const std::vector<unsigned char> f{std::istreambuf_iterator<char>(in), {}};
    const std::size_t colours = (f.at(18) | f.at(19) << 8) + 40 + 64, mask = colours + n * n / 2;
    for (int y = 0; y < n; ++y) {
        const std::size_t row = n - 1 - y;  // stored bottom-up
        for (int x = 0; x < n; ++x) {
            const unsigned c = f.at(colours + row * n / 2 + x / 2) >> (x % 2 ? 0 : 4) & 0xF;
            EXPECT_EQ((f.at(mask + row * 4 + x / 8) << (x % 8) & 0x80) != 0, clearAt(x, y)) << x << "," << y;
            EXPECT_EQ(c, clearAt(x, y) ? 0 : colourAt(x, y)) << x << "," << y;
        }
    }
    std::ofstream(kScratch / "bad.txt") << "0000\n000\n";
    EXPECT_NE(runTool("bad.ico", "bad.txt"), 0);
    EXPECT_FALSE(std::filesystem::exists(kScratch / "bad.ico"));
}

}  // namespace
