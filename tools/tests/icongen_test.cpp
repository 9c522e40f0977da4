// Runs icongen as a separate program and reads the .ico files it writes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
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

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
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

struct ToolRun {
    int status;          // 0 = success
    std::string errors;  // what the tool wrote to stderr
};

ToolRun runTool(const std::vector<fs::path>& args) {
    const fs::path errFile = scratchFile("stderr.txt");
    std::string cmd = std::string("\"") + ICONGEN_EXE + "\"";
    for (const auto& a : args) cmd += " \"" + a.string() + "\"";
    cmd += " 2> \"" + errFile.string() + "\"";
#ifdef _WIN32
    cmd = "\"" + cmd + "\"";  // cmd.exe strips the outer pair of quotes
#endif
    const int status = std::system(cmd.c_str());
    return {status, readText(errFile)};
}

// Makes an icon from the given maps, failing the test if the tool fails.
Bytes makeIcon(const std::string& name, const std::vector<fs::path>& maps) {
    const fs::path out = scratchFile(name);
    fs::remove(out);
    std::vector<fs::path> args{out};
    args.insert(args.end(), maps.begin(), maps.end());
    const ToolRun run = runTool(args);
    EXPECT_EQ(run.status, 0) << run.errors;
    return readBytes(out);
}

unsigned u16(const Bytes& b, std::size_t at) {
    return b.at(at) | b.at(at + 1) << 8;
}
std::uint32_t u32(const Bytes& b, std::size_t at) {
    return u16(b, at) | static_cast<std::uint32_t>(u16(b, at + 2)) << 16;
}

// One image of an .ico file, read straight from the bytes.
struct Dib {
    const Bytes& file;
    std::size_t offset;  // of the BITMAPINFOHEADER
    int size;            // width = height

    std::size_t xorStride() const { return static_cast<std::size_t>((size * 4 + 31) / 32 * 4); }
    std::size_t andStride() const { return static_cast<std::size_t>((size + 31) / 32 * 4); }
    std::size_t xorStart() const { return offset + 40 + 16 * 4; }
    std::size_t andStart() const { return xorStart() + xorStride() * static_cast<std::size_t>(size); }

    // Rows are stored bottom-up; y counts from the top as in the maps.
    std::size_t storedRow(int y) const { return static_cast<std::size_t>(size - 1 - y); }

    unsigned colour(int x, int y) const {
        const std::uint8_t b =
            file.at(xorStart() + storedRow(y) * xorStride() + static_cast<std::size_t>(x / 2));
        return x % 2 == 0 ? b >> 4 : b & 0x0F;
    }
    bool transparent(int x, int y) const {
        const std::uint8_t b =
            file.at(andStart() + storedRow(y) * andStride() + static_cast<std::size_t>(x / 8));
        return (b & (0x80 >> (x % 8))) != 0;
    }
};

Dib image(const Bytes& file, int index) {
    const std::size_t entry = 6 + 16 * static_cast<std::size_t>(index);
    const int size = file.at(entry) == 0 ? 256 : file.at(entry);
    return Dib{file, u32(file, entry + 12), size};
}

constexpr unsigned kBlack = 0x0, kTeal = 0x6, kGrey = 0x8, kLime = 0xA, kBlue = 0xC, kWhite = 0xF;

void expectOpaque(const Dib& d, int x, int y, unsigned colour) {
    EXPECT_FALSE(d.transparent(x, y)) << "at " << x << "," << y;
    EXPECT_EQ(d.colour(x, y), colour) << "at " << x << "," << y;
}

void expectClear(const Dib& d, int x, int y) {
    EXPECT_TRUE(d.transparent(x, y)) << "at " << x << "," << y;
    // Black under the mask, so that XOR-ing it onto the screen changes nothing.
    EXPECT_EQ(d.colour(x, y), kBlack) << "at " << x << "," << y;
}

// Checks the directory entry and BITMAPINFOHEADER of image `index`.
void expectHeaders(const Bytes& f, int index, int size, std::uint32_t offset) {
    const std::size_t e = 6 + 16 * static_cast<std::size_t>(index);
    const auto n = static_cast<std::uint32_t>(size);
    const std::uint32_t bytes = 40 + 64 + (n * 4 + 31) / 32 * 4 * n + (n + 31) / 32 * 4 * n;
    EXPECT_EQ(f.at(e + 0), size);   // bWidth
    EXPECT_EQ(f.at(e + 1), size);   // bHeight
    EXPECT_EQ(f.at(e + 2), 16);     // bColorCount
    EXPECT_EQ(f.at(e + 3), 0);      // bReserved
    EXPECT_EQ(u16(f, e + 4), 1u);   // wPlanes
    EXPECT_EQ(u16(f, e + 6), 4u);   // wBitCount
    EXPECT_EQ(u32(f, e + 8), bytes);
    EXPECT_EQ(u32(f, e + 12), offset);

    EXPECT_EQ(u32(f, offset + 0), 40u);      // biSize
    EXPECT_EQ(u32(f, offset + 4), n);        // biWidth
    EXPECT_EQ(u32(f, offset + 8), 2 * n);    // biHeight: colours and mask
    EXPECT_EQ(u16(f, offset + 12), 1u);      // biPlanes
    EXPECT_EQ(u16(f, offset + 14), 4u);      // biBitCount
    EXPECT_EQ(u32(f, offset + 16), 0u);      // BI_RGB
    EXPECT_EQ(u32(f, offset + 20), bytes - 104);  // biSizeImage
    EXPECT_EQ(u32(f, offset + 32), 0u);      // biClrUsed: the whole palette
}

void expectPaletteEntry(const Bytes& f, std::uint32_t offset, unsigned index, std::uint32_t rgb) {
    const std::size_t p = offset + 40 + 4 * index;  // RGBQUAD: blue, green, red, 0
    EXPECT_EQ(f.at(p + 0), rgb & 0xFF) << "palette " << index;
    EXPECT_EQ(f.at(p + 1), (rgb >> 8) & 0xFF) << "palette " << index;
    EXPECT_EQ(f.at(p + 2), (rgb >> 16) & 0xFF) << "palette " << index;
    EXPECT_EQ(f.at(p + 3), 0) << "palette " << index;
}

TEST(IconGen, AppIconHeadersAndSize) {
    const Bytes f = makeIcon("belavo.ico", {kMaps / "belavo.txt"});
    ASSERT_EQ(f.size(), 6u + 16u + 744u);
    EXPECT_EQ(u16(f, 0), 0u);  // idReserved
    EXPECT_EQ(u16(f, 2), 1u);  // idType: icon
    EXPECT_EQ(u16(f, 4), 1u);  // idCount
    expectHeaders(f, 0, 32, 22);
    EXPECT_EQ(u32(f, 6 + 8), 744u);

    const std::uint32_t rgb[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                   0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                   0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    for (unsigned i = 0; i < 16; ++i) expectPaletteEntry(f, 22, i, rgb[i]);
}

TEST(IconGen, AppIconPixels) {
    const Bytes f = makeIcon("belavo.ico", {kMaps / "belavo.txt"});
    ASSERT_EQ(f.size(), 766u);
    const Dib d = image(f, 0);

    expectClear(d, 0, 0);          // top corners: sky
    expectClear(d, 31, 0);
    expectClear(d, 5, 8);          // inside the upper bowl of the B
    expectClear(d, 16, 12);        // in the notch of the M
    expectOpaque(d, 1, 10, kBlue);   // stem of the B
    expectOpaque(d, 18, 12, kBlue);  // point of the M's V
    expectOpaque(d, 29, 8, kBlue);   // the I
    expectOpaque(d, 13, 20, kBlue);  // the M's stem down in the green block
    expectOpaque(d, 5, 20, kLime);   // lower bowl of the B
    expectOpaque(d, 11, 20, kLime);  // between B and M
    expectOpaque(d, 18, 20, kLime);  // inside the M
    expectOpaque(d, 16, 28, kGrey);  // the base
    expectOpaque(d, 0, 29, kGrey);
    expectOpaque(d, 16, 31, kTeal);
    expectOpaque(d, 31, 30, kTeal);
}

TEST(IconGen, AppIconRowsAreStoredBottomUp) {
    const Bytes f = makeIcon("belavo.ico", {kMaps / "belavo.txt"});
    ASSERT_EQ(f.size(), 766u);
    const std::size_t xorBits = 22 + 40 + 64;
    const std::size_t andBits = xorBits + 512;
    // The first stored row is the teal bottom edge, the last the empty top row.
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(f[xorBits + i], 0x66) << i;
        EXPECT_EQ(f[xorBits + 31 * 16 + i], 0x00) << i;
    }
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(f[andBits + i], 0x00) << i;
        EXPECT_EQ(f[andBits + 31 * 4 + i], 0xFF) << i;
    }
}

TEST(IconGen, InfoIconHasBothSizes) {
    const Bytes f = makeIcon("info.ico", {kMaps / "info32.txt", kMaps / "info16.txt"});
    const std::uint32_t first = 6 + 2 * 16;
    ASSERT_EQ(f.size(), first + 744u + 296u);
    EXPECT_EQ(u16(f, 4), 2u);
    expectHeaders(f, 0, 32, first);
    expectHeaders(f, 1, 16, first + 744);

    const Dib big = image(f, 0);
    expectClear(big, 0, 0);
    expectClear(big, 31, 31);
    expectOpaque(big, 0, 12, kBlack);    // outline, opaque black, not a hole
    expectOpaque(big, 5, 12, kWhite);    // the bubble
    expectOpaque(big, 15, 14, kBlue);    // stem of the i
    expectOpaque(big, 15, 5, kBlue);     // its dot
    expectOpaque(big, 15, 8, kWhite);    // gap between dot and stem
    expectOpaque(big, 7, 24, kWhite);    // inside the tail
    expectClear(big, 20, 26);            // beside the tail

    const Dib small = image(f, 1);
    expectClear(small, 0, 0);
    expectClear(small, 15, 15);
    expectOpaque(small, 0, 5, kBlack);
    expectOpaque(small, 3, 5, kWhite);
    expectOpaque(small, 7, 7, kBlue);
    expectOpaque(small, 8, 2, kBlue);
    expectOpaque(small, 7, 4, kWhite);
}

TEST(IconGen, BuildMakesTheSameFilesAsTheTool) {
    EXPECT_EQ(readBytes(fs::path(BUILT_ICONS_DIR) / "belavo.ico"),
              makeIcon("belavo.ico", {kMaps / "belavo.txt"}));
    EXPECT_EQ(readBytes(fs::path(BUILT_ICONS_DIR) / "info.ico"),
              makeIcon("info.ico", {kMaps / "info32.txt", kMaps / "info16.txt"}));
}

// A map with a different value in every column and row, to catch swapped nibbles,
// rows in the wrong order and a shifted or inverted mask.
std::string patternMap(int n) {
    std::string text;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x)
            text += (x + y) % 5 == 0 ? '.' : "0123456789ABCDEF"[(x * 3 + y) % 16];
        text += '\n';
    }
    return text;
}

TEST(IconGen, EveryPixelOfEachSizeRoundTrips) {
    for (const int n : {16, 32, 48}) {
        const fs::path map = writeMap("pattern" + std::to_string(n) + ".txt", patternMap(n));
        const Bytes f = makeIcon("pattern.ico", {map});
        const auto un = static_cast<std::uint32_t>(n);
        const std::uint32_t xorStride = un / 2, andStride = (un + 31) / 32 * 4;
        ASSERT_EQ(f.size(), 22u + 104u + (xorStride + andStride) * un) << n;
        expectHeaders(f, 0, n, 22);
        const Dib d = image(f, 0);
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                if ((x + y) % 5 == 0)
                    expectClear(d, x, y);
                else
                    expectOpaque(d, x, y, static_cast<unsigned>((x * 3 + y) % 16));
            }
        // Mask rows of 16 and 48 pixels end in padding, which must stay zero.
        for (std::size_t row = 0; row < un; ++row)
            for (std::size_t i = (un + 7) / 8; i < andStride; ++i)
                EXPECT_EQ(f.at(d.andStart() + row * andStride + i), 0) << n << " row " << row;
    }
}

TEST(IconGen, LeftmostPixelIsTheHighNibbleAndTheTopMaskBit) {
    std::string text = "1" + std::string(15, '.') + "\n";
    for (int y = 1; y < 16; ++y) text += std::string(15, '.') + "2\n";
    const Bytes f = makeIcon("corner.ico", {writeMap("corner.txt", text)});
    ASSERT_EQ(f.size(), 22u + 296u);
    const std::size_t xorBits = 22 + 104, andBits = xorBits + 16 * 8;
    // Top row, stored last: colour 1 at the far left; mask 0111 1111 1111 1111.
    EXPECT_EQ(f[xorBits + 15 * 8], 0x10);
    EXPECT_EQ(f[andBits + 15 * 4], 0x7F);
    EXPECT_EQ(f[andBits + 15 * 4 + 1], 0xFF);
    // Bottom row, stored first: colour 2 at the far right; mask 1111 1111 1111 1110.
    EXPECT_EQ(f[xorBits + 7], 0x02);
    EXPECT_EQ(f[andBits], 0xFF);
    EXPECT_EQ(f[andBits + 1], 0xFE);
}

TEST(IconGen, CommentsBlankLinesCrLfAndLowerCaseAreAccepted) {
    const std::string plain = patternMap(16);
    std::string loose = "# a comment\r\n\r\n";
    for (char c : plain) {
        if (c == '\n')
            loose += "  \r\n";
        else
            loose += static_cast<char>(c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c);
    }
    EXPECT_EQ(makeIcon("loose.ico", {writeMap("loose.txt", loose)}),
              makeIcon("plain.ico", {writeMap("plain.txt", plain)}));
}

// The tool must refuse the map, say where the problem is, and write nothing.
void expectRejected(const std::string& mapText, const std::string& message) {
    const fs::path out = scratchFile("rejected.ico");
    fs::remove(out);
    const ToolRun run = runTool({out, writeMap("bad.txt", mapText)});
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.errors.find(message), std::string::npos) << run.errors;
    EXPECT_FALSE(fs::exists(out));
}

std::string rows(int count, const std::string& row) {
    std::string text;
    for (int i = 0; i < count; ++i) text += row + "\n";
    return text;
}

TEST(IconGen, RejectsRaggedRows) {
    expectRejected(rows(5, std::string(16, '.')) + std::string(15, '.') + "\n" +
                       rows(10, std::string(16, '.')),
                   "bad.txt:6: row is 15 pixels wide, but the first row is 16");
}

TEST(IconGen, RejectsUnknownCharacters) {
    expectRejected("# comment\n" + rows(3, std::string(16, '0')) + "000G" + std::string(12, '0') +
                       "\n" + rows(12, std::string(16, '0')),
                   "bad.txt:5: column 4: unknown pixel 'G'");
    expectRejected(rows(3, std::string(16, '0')) + "00 0" + std::string(12, '0') + "\n" +
                       rows(12, std::string(16, '0')),
                   "column 3: unknown pixel byte 0x20");
}

TEST(IconGen, RejectsWrongSizes) {
    expectRejected(rows(20, std::string(20, '7')), "must be 16, 32 or 48 pixels wide");
    expectRejected(rows(31, std::string(32, '7')), "31 rows of 32 pixels; the map must be square");
    expectRejected(rows(17, std::string(16, '7')), "bad.txt:17: more than 16 rows");
    expectRejected("# nothing here\n\n", "no pixel rows");
}

TEST(IconGen, RejectsTwoImagesOfOneSizeAndMissingFiles) {
    const fs::path out = scratchFile("rejected.ico");
    fs::remove(out);
    ToolRun run = runTool({out, kMaps / "info16.txt", kMaps / "info16.txt"});
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.errors.find("a 16x16 image was already given"), std::string::npos) << run.errors;
    EXPECT_FALSE(fs::exists(out));

    run = runTool({out, kScratch / "no-such-map.txt"});
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.errors.find("no-such-map.txt: cannot open file"), std::string::npos) << run.errors;
    EXPECT_FALSE(fs::exists(out));

    run = runTool({out});
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.errors.find("usage:"), std::string::npos) << run.errors;
}

}  // namespace
