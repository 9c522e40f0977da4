// Runs icongen as a separate program and reads the .ico files it writes.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

const fs::path kMaps = ICON_MAPS_DIR;
const fs::path kScratch = SCRATCH_DIR;

Bytes readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

fs::path scratchFile(const std::string& name) {
    fs::create_directories(kScratch);
    return kScratch / name;
}

fs::path writeMap(const std::string& name, const std::string& text) {
    const fs::path path = scratchFile(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// Runs the tool to write `out` (removed first) from `maps`: its exit status and what it wrote to stderr.
std::pair<int, std::string> runTool(const fs::path& out, const std::vector<fs::path>& maps) {
    fs::remove(out);
    const fs::path errFile = scratchFile("stderr.txt");
    std::string cmd = std::string("\"") + ICONGEN_EXE + "\" \"" + out.string() + "\"";
    for (const auto& map : maps) cmd += " \"" + map.string() + "\"";
    cmd += " 2> \"" + errFile.string() + "\"";
#ifdef _WIN32
    cmd = "\"" + cmd + "\"";  // cmd.exe strips the outer pair of quotes
#endif
    const int status = std::system(cmd.c_str());
    const Bytes errors = readBytes(errFile);
    return {status, std::string(errors.begin(), errors.end())};
}

Bytes makeIcon(const std::string& name, const std::vector<fs::path>& maps) {
    const fs::path out = scratchFile(name);
    const auto [status, errors] = runTool(out, maps);
    EXPECT_EQ(status, 0) << errors;
    return readBytes(out);
}

unsigned u16(const Bytes& b, std::size_t at) { return b.at(at) | b.at(at + 1) << 8; }
std::uint32_t u32(const Bytes& b, std::size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }

// The directory entry and BITMAPINFOHEADER of image `index`, 16 colours and n×n pixels at `offset`.
void expectHeaders(const Bytes& f, std::size_t index, std::uint32_t n, std::uint32_t offset) {
    const std::size_t e = 6 + 16 * index, h = offset;
    const std::uint32_t bytes = 40 + 64 + (n / 2 + (n + 31) / 32 * 4) * n;
    // Width, height, colours, reserved, planes, bits per pixel, bytes, offset.
    EXPECT_EQ((std::vector<std::uint32_t>{f.at(e), f.at(e + 1), f.at(e + 2), f.at(e + 3), u16(f, e + 4),
                                          u16(f, e + 6), u32(f, e + 8), u32(f, e + 12)}),
              (std::vector<std::uint32_t>{n, n, 16, 0, 1, 4, bytes, offset}))
        << "entry " << index;
    // Header size, width, height of colours and mask, planes, bits, BI_RGB, image size, whole palette.
    EXPECT_EQ((std::vector<std::uint32_t>{u32(f, h), u32(f, h + 4), u32(f, h + 8), u16(f, h + 12), u16(f, h + 14),
                                          u32(f, h + 16), u32(f, h + 20), u32(f, h + 32)}),
              (std::vector<std::uint32_t>{40, n, 2 * n, 1, 4, 0, bytes - 104, 0}))
        << "header " << index;
}

TEST(IconGen, AppIconLayoutHeadersAndPalette) {
    const Bytes f = makeIcon("belavo.ico", {kMaps / "belavo.txt"});
    ASSERT_EQ(f.size(), 6u + 16u + 744u);
    EXPECT_EQ(u16(f, 0), 0u);  // idReserved
    EXPECT_EQ(u16(f, 2), 1u);  // idType: icon
    EXPECT_EQ(u16(f, 4), 1u);  // idCount
    expectHeaders(f, 0, 32, 22);
    const std::uint32_t rgb[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                   0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                   0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    for (unsigned i = 0; i < 16; ++i) EXPECT_EQ(u32(f, 22 + 40 + 4 * i), rgb[i]) << "palette " << i;
}

TEST(IconGen, BuildMakesTheSameFilesAsTheTool) {
    EXPECT_EQ(readBytes(fs::path(BUILT_ICONS_DIR) / "belavo.ico"),
              makeIcon("belavo.ico", {kMaps / "belavo.txt"}));
    EXPECT_EQ(readBytes(fs::path(BUILT_ICONS_DIR) / "info.ico"),
              makeIcon("info.ico", {kMaps / "info32.txt", kMaps / "info16.txt"}));
}

// A different value in every column and row: catches swapped nibbles, rows in
// the wrong order and a shifted or inverted mask.
bool clearAt(int x, int y) { return (x + y) % 5 == 0; }
unsigned colourAt(int x, int y) { return static_cast<unsigned>((x * 3 + y) % 16); }

std::string patternMap(int n) {
    std::string text;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) text += clearAt(x, y) ? '.' : "0123456789ABCDEF"[colourAt(x, y)];
        text += '\n';
    }
    return text;
}

TEST(IconGen, EveryPixelOfEachSizeRoundTripsInOneFile) {
    const int sizes[] = {16, 32, 48};
    std::vector<fs::path> maps;
    for (const int n : sizes) maps.push_back(writeMap("pattern" + std::to_string(n) + ".txt", patternMap(n)));
    const Bytes f = makeIcon("pattern.ico", maps);
    ASSERT_GE(f.size(), 6u + 3 * 16);
    EXPECT_EQ(u16(f, 4), 3u);
    std::uint32_t offset = 6 + 3 * 16;
    for (std::size_t i = 0; i < 3; ++i) {
        const int n = sizes[i];
        const auto un = static_cast<std::uint32_t>(n);
        const std::size_t xorStride = un / 2, andStride = (un + 31) / 32 * 4;
        const std::size_t xorStart = offset + 104, andStart = xorStart + xorStride * un;
        expectHeaders(f, i, un, offset);
        offset += 104 + static_cast<std::uint32_t>((xorStride + andStride) * un);
        ASSERT_GE(f.size(), offset);
        for (int y = 0; y < n; ++y) {
            const std::size_t row = static_cast<std::size_t>(n - 1 - y);  // stored bottom-up
            for (int x = 0; x < n; ++x) {
                const std::uint8_t c = f[xorStart + row * xorStride + static_cast<std::size_t>(x / 2)];
                const std::uint8_t m = f[andStart + row * andStride + static_cast<std::size_t>(x / 8)];
                // Under the mask the colour is black, so XOR-ing it onto the screen changes nothing.
                EXPECT_EQ((m & 0x80 >> (x % 8)) != 0, clearAt(x, y)) << n << " at " << x << "," << y;
                EXPECT_EQ(x % 2 == 0 ? c >> 4 : c & 0x0F, clearAt(x, y) ? 0 : colourAt(x, y))
                    << n << " at " << x << "," << y;
            }
            // Mask rows of 16 and 48 pixels end in padding, which must stay zero.
            for (std::size_t b = (un + 7) / 8; b < andStride; ++b)
                EXPECT_EQ(f[andStart + row * andStride + b], 0) << n << " row " << row;
        }
    }
    EXPECT_EQ(f.size(), offset);
}

TEST(IconGen, CommentsBlankLinesCrLfAndLowerCaseAreAccepted) {
    const std::string plain = patternMap(16);
    std::string loose = "# a comment\r\n\r\n";
    for (char c : plain) loose += c == '\n' ? "  \r\n" : std::string(1, static_cast<char>(std::tolower(c)));
    EXPECT_EQ(makeIcon("loose.ico", {writeMap("loose.txt", loose)}),
              makeIcon("plain.ico", {writeMap("plain.txt", plain)}));
}

std::string rows(int count, const std::string& row) {
    std::string text;
    for (int i = 0; i < count; ++i) text += row + "\n";
    return text;
}

// The tool refuses, says where the problem is, and writes nothing.
TEST(IconGen, RejectsBadInput) {
    const std::string o16(16, '0');
    const struct {
        std::string map;  // written to bad.txt; when empty, `maps` are given instead
        std::vector<fs::path> maps;
        std::string message;
    } cases[] = {
        {rows(5, o16) + std::string(15, '0') + "\n" + rows(10, o16), {},
         "bad.txt:6: row is 15 pixels wide, but the first row is 16"},
        {"# comment\n" + rows(3, o16) + "000G" + std::string(12, '0') + "\n" + rows(12, o16), {},
         "bad.txt:5: column 4: unknown pixel 'G'"},
        {rows(3, o16) + "00 0" + std::string(12, '0') + "\n" + rows(12, o16), {}, "column 3: unknown pixel byte 0x20"},
        {rows(20, std::string(20, '7')), {}, "must be 16, 32 or 48 pixels wide"},
        {rows(31, std::string(32, '7')), {}, "31 rows of 32 pixels; the map must be square"},
        {rows(17, o16), {}, "bad.txt:17: more than 16 rows"},
        {"# nothing here\n\n", {}, "no pixel rows"},
        {"", {kMaps / "info16.txt", kMaps / "info16.txt"}, "a 16x16 image was already given"},
        {"", {kScratch / "no-such-map.txt"}, "no-such-map.txt: cannot open file"},
        {"", {}, "usage:"},
    };
    const fs::path out = scratchFile("rejected.ico");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const auto [status, errors] = runTool(out, c.map.empty() ? c.maps : std::vector{writeMap("bad.txt", c.map)});
        EXPECT_NE(status, 0);
        EXPECT_NE(errors.find(c.message), std::string::npos) << errors;
        EXPECT_FALSE(fs::exists(out));
    }
}

}  // namespace
