// icongen: builds a Windows .ico file from text pixel maps.
//
//   icongen <output.ico> <map.txt> [<map.txt> ...]
//   icongen --resource <image-id> <output.grp> <output.dib> <map.txt>
//
// The second form writes the two resources an executable holds for an icon
// whose image must have a fixed resource id: the image itself (RT_ICON data)
// and an icon group (RT_GROUP_ICON data) whose one entry names <image-id>.
//
// Each map becomes one image of the icon, in the order given. Every image is
// stored as a 16-colour DIB: a 40-byte BITMAPINFOHEADER (biHeight = 2 x height,
// one plane, 4 bits per pixel, biClrUsed 0 = the full 16-entry palette), the
// palette, the colour (XOR) bitmap bottom-up, then the 1-bpp AND mask
// (1 = transparent), each row of both padded to a multiple of 4 bytes. A 32x32
// image therefore takes 40 + 64 + 512 + 128 = 744 bytes.
//
// Map format (plain text, UTF-8 or ASCII):
//   - One line per pixel row, top row first; one character per pixel.
//   - '.'            transparent pixel
//   - '0'-'9', 'A'-'F' (or 'a'-'f')
//                    opaque pixel of that palette index:
//       0 black   #000000    8 grey    #808080
//       1 maroon  #800000    9 red     #FF0000
//       2 green   #008000    A lime    #00FF00
//       3 olive   #808000    B yellow  #FFFF00
//       4 navy    #000080    C blue    #0000FF
//       5 purple  #800080    D fuchsia #FF00FF
//       6 teal    #008080    E aqua    #00FFFF
//       7 silver  #C0C0C0    F white   #FFFFFF
//   - Lines starting with '#' are comments; empty lines are ignored.
//     Trailing spaces, tabs and a carriage return are ignored.
//   - All rows must have the same length, and the map must be square:
//     16x16, 32x32 or 48x48.
//
// Exit status: 0 on success, 1 on a bad map or a file error, 2 on bad usage.
// Nothing is written unless every map was read without error.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::uint8_t kTransparent = 0xFF;

struct RGB {
    std::uint8_t r, g, b;
};

constexpr std::array<RGB, 16> kPalette = {{
    {0x00, 0x00, 0x00},
    {0x80, 0x00, 0x00},
    {0x00, 0x80, 0x00},
    {0x80, 0x80, 0x00},
    {0x00, 0x00, 0x80},
    {0x80, 0x00, 0x80},
    {0x00, 0x80, 0x80},
    {0xC0, 0xC0, 0xC0},
    {0x80, 0x80, 0x80},
    {0xFF, 0x00, 0x00},
    {0x00, 0xFF, 0x00},
    {0xFF, 0xFF, 0x00},
    {0x00, 0x00, 0xFF},
    {0xFF, 0x00, 0xFF},
    {0x00, 0xFF, 0xFF},
    {0xFF, 0xFF, 0xFF},
}};

// A problem with an input or output file; the message names the file (and line).
struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Image {
    int size = 0;                      // width = height
    std::vector<std::uint8_t> pixels;  // row-major, top row first; kTransparent or 0..15
};

int pixelValue(char c) {
    if (c == '.') return kTransparent;
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string describeChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x21 && u < 0x7F) return std::string("'") + c + "'";
    char buf[16];
    std::snprintf(buf, sizeof buf, "byte 0x%02X", static_cast<unsigned>(u));
    return buf;
}

Image readMap(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw InputError(path + ": cannot open file");

    Image image;
    std::size_t width = 0;
    std::size_t rows = 0;
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        if (line.empty() || line[0] == '#') continue;

        const std::string where = path + ":" + std::to_string(lineNo) + ": ";
        if (rows == 0) {
            width = line.size();
            if (width != 16 && width != 32 && width != 48)
                throw InputError(where + "row is " + std::to_string(width) +
                                 " pixels wide; a map must be 16, 32 or 48 pixels wide");
        } else if (line.size() != width) {
            throw InputError(where + "row is " + std::to_string(line.size()) +
                             " pixels wide, but the first row is " + std::to_string(width));
        }
        if (rows == width)
            throw InputError(where + "more than " + std::to_string(width) + " rows; the map must be square");
        for (std::size_t x = 0; x < line.size(); ++x) {
            const int v = pixelValue(line[x]);
            if (v < 0)
                throw InputError(where + "column " + std::to_string(x + 1) + ": unknown pixel " +
                                 describeChar(line[x]) + " (use '.' or a hex digit 0-F)");
            image.pixels.push_back(static_cast<std::uint8_t>(v));
        }
        ++rows;
    }
    if (in.bad()) throw InputError(path + ": read error");
    if (rows == 0) throw InputError(path + ": no pixel rows");
    if (rows != width)
        throw InputError(path + ": " + std::to_string(rows) + " rows of " + std::to_string(width) +
                         " pixels; the map must be square");
    image.size = static_cast<int>(width);
    return image;
}

void put8(std::vector<std::uint8_t>& out, unsigned v) { out.push_back(static_cast<std::uint8_t>(v & 0xFF)); }
void put16(std::vector<std::uint8_t>& out, unsigned v) {
    put8(out, v);
    put8(out, v >> 8);
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// Bytes per row, rounded up to whole 32-bit words.
std::size_t stride(int width, int bitsPerPixel) {
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel) + 31) / 32 * 4;
}

// The DIB that an icon directory entry points at.
std::vector<std::uint8_t> encodeImage(const Image& image) {
    const int n = image.size;
    const std::size_t xorStride = stride(n, 4);
    const std::size_t andStride = stride(n, 1);
    const std::size_t bitsSize = (xorStride + andStride) * static_cast<std::size_t>(n);

    std::vector<std::uint8_t> out;
    put32(out, 40);                                    // biSize
    put32(out, static_cast<std::uint32_t>(n));         // biWidth
    put32(out, static_cast<std::uint32_t>(2 * n));     // biHeight: colour bitmap + mask
    put16(out, 1);                                     // biPlanes
    put16(out, 4);                                     // biBitCount
    put32(out, 0);                                     // biCompression = BI_RGB
    put32(out, static_cast<std::uint32_t>(bitsSize));  // biSizeImage
    put32(out, 0);                                     // biXPelsPerMeter
    put32(out, 0);                                     // biYPelsPerMeter
    put32(out, 0);                                     // biClrUsed: 0 = all 16
    put32(out, 0);                                     // biClrImportant

    for (const RGB& c : kPalette) {  // RGBQUAD: blue, green, red, 0
        put8(out, c.b);
        put8(out, c.g);
        put8(out, c.r);
        put8(out, 0);
    }

    const auto at = [&](int x, int y) {
        return image
            .pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(n) + static_cast<std::size_t>(x)];
    };

    // Colour bitmap, bottom row first, two pixels a byte (left pixel in the
    // high nibble). Transparent pixels are black so that XOR leaves the screen as is.
    for (int y = n - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(xorStride, 0);
        for (int x = 0; x < n; ++x) {
            const std::uint8_t v = at(x, y);
            const unsigned index = v == kTransparent ? 0u : v;
            row[static_cast<std::size_t>(x / 2)] |=
                static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
        }
        out.insert(out.end(), row.begin(), row.end());
    }

    // AND mask, bottom row first, leftmost pixel in the top bit; 1 = transparent.
    for (int y = n - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(andStride, 0);
        for (int x = 0; x < n; ++x) {
            if (at(x, y) == kTransparent)
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<std::uint8_t> encodeIcon(const std::vector<Image>& images) {
    std::vector<std::vector<std::uint8_t>> dibs;
    for (const Image& image : images) dibs.push_back(encodeImage(image));

    std::vector<std::uint8_t> out;
    put16(out, 0);                                     // idReserved
    put16(out, 1);                                     // idType: icon
    put16(out, static_cast<unsigned>(images.size()));  // idCount

    std::size_t offset = 6 + 16 * images.size();
    for (std::size_t i = 0; i < images.size(); ++i) {
        put8(out, static_cast<unsigned>(images[i].size));        // bWidth
        put8(out, static_cast<unsigned>(images[i].size));        // bHeight
        put8(out, 16);                                           // bColorCount
        put8(out, 0);                                            // bReserved
        put16(out, 1);                                           // wPlanes
        put16(out, 4);                                           // wBitCount
        put32(out, static_cast<std::uint32_t>(dibs[i].size()));  // dwBytesInRes
        put32(out, static_cast<std::uint32_t>(offset));          // dwImageOffset
        offset += dibs[i].size();
    }
    for (const auto& dib : dibs) out.insert(out.end(), dib.begin(), dib.end());
    return out;
}

// The group directory of a resource file: like the .ico directory, but each
// entry ends in the image's resource id instead of its file offset.
std::vector<std::uint8_t> encodeGroup(const Image& image, const std::vector<std::uint8_t>& dib,
                                      unsigned imageId) {
    std::vector<std::uint8_t> out;
    put16(out, 0);  // idReserved
    put16(out, 1);  // idType: icon
    put16(out, 1);  // idCount
    put8(out, static_cast<unsigned>(image.size));
    put8(out, static_cast<unsigned>(image.size));
    put8(out, 16);  // bColorCount
    put8(out, 0);   // bReserved
    put16(out, 1);  // wPlanes
    put16(out, 4);  // wBitCount
    put32(out, static_cast<std::uint32_t>(dib.size()));
    put16(out, imageId);
    return out;
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw InputError(path + ": cannot create file");
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::remove(path.c_str());
        throw InputError(path + ": write error");
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: icongen <output.ico> <map.txt> [<map.txt> ...]\n"
                     "       icongen --resource <image-id> <output.grp> <output.dib> <map.txt>\n"
                     "Builds a 16-colour icon with one image per text pixel map\n"
                     "('.' transparent, 0-F palette index; 16x16, 32x32 or 48x48).\n";
        return 2;
    }
    try {
        if (std::string(argv[1]) == "--resource") {
            if (argc != 6)
                throw InputError("--resource takes <image-id> <output.grp> <output.dib> <map.txt>");
            const unsigned long imageId = std::stoul(argv[2]);
            if (imageId == 0 || imageId > 0xFFFF) throw InputError("the image id must be 1 to 65535");
            const Image image = readMap(argv[5]);
            const std::vector<std::uint8_t> dib = encodeImage(image);
            writeFile(argv[3], encodeGroup(image, dib, static_cast<unsigned>(imageId)));
            writeFile(argv[4], dib);
            return 0;
        }
        std::vector<Image> images;
        for (int i = 2; i < argc; ++i) {
            Image image = readMap(argv[i]);
            for (const Image& other : images) {
                if (other.size == image.size)
                    throw InputError(std::string(argv[i]) + ": a " + std::to_string(image.size) + "x" +
                                     std::to_string(image.size) + " image was already given");
            }
            images.push_back(std::move(image));
        }
        writeFile(argv[1], encodeIcon(images));
    } catch (const std::exception& e) {
        std::cerr << "icongen: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
