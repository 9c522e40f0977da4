// Runs icongen on pixel maps with a different value in every row and column,
// which shows swapped nibbles, rows in the wrong order and a shifted mask.
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

std::string quoted(const std::filesystem::path& path) {
    std::string text = "\"";
    text += path.string();
    return text += '"';
}

// icongen OUT MAP...: its exit status.
int runTool(const std::vector<std::filesystem::path>& paths) {
    std::string command = quoted(ICONGEN_EXE);
    for (const auto& path : paths) command.append(" ").append(quoted(path));
#ifdef _WIN32
    command = "\"" + command + "\"";  // cmd.exe strips the outer pair of quotes
#endif
    return std::system(command.c_str());
}

TEST(IconGen, EveryPixelOfEachSizeRoundTripsAndABadMapWritesNothing) {
    std::filesystem::create_directories(kScratch);
    const int sizes[] = {16, 32};
    const auto icon = kScratch / "pattern.ico";
    std::vector<std::filesystem::path> paths{icon};
    for (int n : sizes) {
        const auto map = kScratch / ("map" + std::to_string(n) + ".txt");
        std::ofstream out(map);
        for (int y = 0; y < n; ++y, out << '\n') {
            for (int x = 0; x < n; ++x) out << (clearAt(x, y) ? '.' : "0123456789ABCDEF"[colourAt(x, y)]);
        }
        paths.push_back(map);
    }
    ASSERT_EQ(runTool(paths), 0);
    std::ifstream in(icon, std::ios::binary);
    const std::vector<unsigned char> f{std::istreambuf_iterator<char>(in), {}};
    const auto u32 = [&](std::size_t at) { return f.at(at) | f.at(at + 1) << 8 | f.at(at + 2) << 16 | f.at(at + 3) << 24; };
    ASSERT_EQ(f.at(4), 2);
    for (std::size_t i = 0; i < 2; ++i) {
        const int n = sizes[i];
        const std::size_t colours = u32(6 + 16 * i + 12) + 40 + 64, mask = colours + n * n / 2, maskRow = (n + 31) / 32 * 4;
        for (int y = 0; y < n; ++y) {
            const std::size_t row = n - 1 - y;  // stored bottom-up
            for (int x = 0; x < n; ++x) {
                const unsigned c = f.at(colours + row * n / 2 + x / 2) >> (x % 2 ? 0 : 4) & 0xF;
                EXPECT_EQ((f.at(mask + row * maskRow + x / 8) << (x % 8) & 0x80) != 0, clearAt(x, y)) << n << ":" << x << "," << y;
                EXPECT_EQ(c, clearAt(x, y) ? 0 : colourAt(x, y)) << n << ":" << x << "," << y;
            }
        }
    }
    std::ofstream(kScratch / "bad.txt") << "0000\n000\n";
    EXPECT_NE(runTool({kScratch / "bad.ico", kScratch / "bad.txt"}), 0);
    EXPECT_FALSE(std::filesystem::exists(kScratch / "bad.ico"));
}

}  // namespace
