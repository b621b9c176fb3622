// make_icon: writes Parvane's application icon (a butterfly) as a Windows .ico.
//
// Usage: make_icon <output.ico>
//
// The icon holds thirteen images: 48/32/24/16 px at 4 bpp and at 8 bpp,
// then 256/48/32/24/16 px at 32 bpp.  The 256 px image is stored as PNG,
// all others as classic DIBs with an AND mask.  Standard C++17 only, so the
// icon can be regenerated on any build host without extra libraries.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Rgba { std::uint8_t r = 0, g = 0, b = 0, a = 0; };

struct Image {
    int size = 0;
    std::vector<Rgba> px;  // row-major, top row first
};

// ---- Picture ---------------------------------------------------------------

constexpr Rgba kBody{40, 24, 48, 255};
constexpr Rgba kEdge{70, 30, 90, 255};
constexpr Rgba kOrange{245, 140, 30, 255};
constexpr Rgba kYellow{255, 215, 90, 255};
constexpr Rgba kViolet{140, 70, 190, 255};
constexpr Rgba kLilac{205, 160, 235, 255};
constexpr Rgba kNone{0, 0, 0, 0};

// Normalised squared distance of (x, y) from an ellipse centre rotated by
// `deg`; values below 1 lie inside the ellipse.
double ellipse(double x, double y, double cx, double cy, double rx, double ry, double deg) {
    const double t = deg * 3.14159265358979323846 / 180.0;
    const double dx = x - cx, dy = y - cy;
    const double u = dx * std::cos(t) + dy * std::sin(t);
    const double v = -dx * std::sin(t) + dy * std::cos(t);
    return (u * u) / (rx * rx) + (v * v) / (ry * ry);
}

// Distance from (x, y) to the segment (ax, ay)-(bx, by).
double segment(double x, double y, double ax, double ay, double bx, double by) {
    const double vx = bx - ax, vy = by - ay;
    const double t = std::clamp(((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
    return std::hypot(x - ax - t * vx, y - ay - t * vy);
}

// Colour of the butterfly at (x, y) in [-1, 1]^2, y pointing down.
// The picture is mirror-symmetric, so only the right half is described.
Rgba sample(double x, double y) {
    const double ax = std::abs(x);
    const bool body = ellipse(ax, y, 0.0, 0.21, 0.085, 0.60, 0.0) < 1.0 ||
                      ellipse(ax, y, 0.0, -0.47, 0.11, 0.11, 0.0) < 1.0 ||
                      segment(ax, y, 0.04, -0.55, 0.30, -0.79) < 0.025 ||
                      ellipse(ax, y, 0.31, -0.80, 0.05, 0.05, 0.0) < 1.0;
    if (body) return kBody;

    const double upper = ellipse(ax, y, 0.46, -0.17, 0.48, 0.36, -35.0);
    if (upper < 1.0) {
        if (upper > 0.75) return kEdge;
        return ellipse(ax, y, 0.58, -0.29, 0.13, 0.13, 0.0) < 1.0 ? kYellow : kOrange;
    }
    const double lower = ellipse(ax, y, 0.33, 0.53, 0.32, 0.26, 40.0);
    if (lower < 1.0) {
        if (lower > 0.70) return kEdge;
        return ellipse(ax, y, 0.38, 0.59, 0.09, 0.09, 0.0) < 1.0 ? kLilac : kViolet;
    }
    return kNone;
}

// Supersamples each pixel on an 8x8 grid so small sizes keep smooth edges.
Image render(int size) {
    constexpr int kGrid = 8;
    Image img{size, std::vector<Rgba>(static_cast<size_t>(size) * size)};
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            int r = 0, g = 0, b = 0, n = 0;
            for (int sy = 0; sy < kGrid; ++sy) {
                for (int sx = 0; sx < kGrid; ++sx) {
                    const double x = (px + (sx + 0.5) / kGrid) / size * 2.0 - 1.0;
                    const double y = (py + (sy + 0.5) / kGrid) / size * 2.0 - 1.0;
                    const Rgba c = sample(x, y);
                    if (c.a == 0) continue;
                    r += c.r; g += c.g; b += c.b; ++n;
                }
            }
            if (n == 0) continue;
            img.px[static_cast<size_t>(py) * size + px] = Rgba{
                static_cast<std::uint8_t>(r / n), static_cast<std::uint8_t>(g / n),
                static_cast<std::uint8_t>(b / n),
                static_cast<std::uint8_t>(n * 255 / (kGrid * kGrid))};
        }
    }
    return img;
}

// ---- Palettes --------------------------------------------------------------

using Palette = std::vector<Rgba>;

// 16 colours chosen for this picture (entry 0 is the black behind transparent pixels).
Palette palette16() {
    return {{0, 0, 0, 255},       {255, 255, 255, 255}, kBody,  kEdge,
            kOrange,              kYellow,              kViolet, kLilac,
            {200, 100, 25, 255},  {250, 185, 95, 255},  {105, 50, 140, 255},
            {150, 90, 70, 255},   {128, 128, 128, 255}, {192, 192, 192, 255},
            {64, 64, 64, 255},    {230, 120, 110, 255}};
}

// 6x6x6 colour cube followed by 40 greys.
Palette palette256() {
    Palette p;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                p.push_back({std::uint8_t(r * 51), std::uint8_t(g * 51), std::uint8_t(b * 51), 255});
    for (int i = 0; i < 40; ++i) {
        const auto v = std::uint8_t(i * 255 / 39);
        p.push_back({v, v, v, 255});
    }
    return p;
}

int nearest(const Palette& pal, Rgba c) {
    int best = 0, bestDist = 1 << 30;
    for (size_t i = 0; i < pal.size(); ++i) {
        const int dr = c.r - pal[i].r, dg = c.g - pal[i].g, db = c.b - pal[i].b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDist) { bestDist = d; best = static_cast<int>(i); }
    }
    return best;
}

// ---- Byte writers ----------------------------------------------------------

void u8(Bytes& out, std::uint32_t v) { out.push_back(static_cast<std::uint8_t>(v & 0xFF)); }
void le16(Bytes& out, std::uint32_t v) { u8(out, v); u8(out, v >> 8); }
void le32(Bytes& out, std::uint32_t v) { le16(out, v & 0xFFFF); le16(out, v >> 16); }
void be32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) u8(out, v >> shift);
}

bool transparent(Rgba c) { return c.a < 128; }

// ---- DIB -------------------------------------------------------------------

// BITMAPINFOHEADER + palette + bottom-up XOR bitmap + 1 bpp AND mask.
Bytes encodeDib(const Image& img, int bpp) {
    const int n = img.size;
    const size_t xorStride = static_cast<size_t>((n * bpp + 31) / 32) * 4;
    const size_t andStride = static_cast<size_t>((n + 31) / 32) * 4;
    const Palette pal = bpp == 4 ? palette16() : bpp == 8 ? palette256() : Palette{};

    Bytes out;
    le32(out, 40);
    le32(out, n);
    le32(out, 2 * n);  // icon DIBs count the XOR and AND bitmaps together
    le16(out, 1);
    le16(out, bpp);
    le32(out, 0);      // BI_RGB
    le32(out, static_cast<std::uint32_t>((xorStride + andStride) * n));
    for (int i = 0; i < 4; ++i) le32(out, 0);
    for (const Rgba& c : pal) { out.push_back(c.b); out.push_back(c.g); out.push_back(c.r); out.push_back(0); }

    for (int y = n - 1; y >= 0; --y) {
        Bytes row(xorStride, 0);
        for (int x = 0; x < n; ++x) {
            const Rgba c = img.px[static_cast<size_t>(y) * n + x];
            if (bpp == 32) {
                std::copy_n(std::array<std::uint8_t, 4>{c.b, c.g, c.r, c.a}.begin(), 4, &row[x * 4]);
            } else if (!transparent(c)) {
                const int idx = nearest(pal, c);
                if (bpp == 8) row[x] = static_cast<std::uint8_t>(idx);
                else row[x / 2] = static_cast<std::uint8_t>(row[x / 2] | (x % 2 ? idx : idx << 4));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = n - 1; y >= 0; --y) {
        Bytes row(andStride, 0);
        for (int x = 0; x < n; ++x)
            if (transparent(img.px[static_cast<size_t>(y) * n + x]))
                row[x / 8] = static_cast<std::uint8_t>(row[x / 8] | (0x80 >> (x % 8)));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// ---- PNG -------------------------------------------------------------------

std::uint32_t crc32(const std::uint8_t* data, size_t len) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < len; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::uint32_t adler32(const Bytes& data) {
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : data) { a = (a + byte) % 65521; b = (b + a) % 65521; }
    return (b << 16) | a;
}

void pngChunk(Bytes& out, const char* type, const Bytes& data) {
    be32(out, static_cast<std::uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    be32(out, crc32(&out[start], out.size() - start));
}

// zlib stream made of stored (uncompressed) deflate blocks: no compressor needed.
Bytes zlibStored(const Bytes& raw) {
    Bytes out{0x78, 0x01};
    size_t pos = 0;
    do {
        const size_t len = std::min<size_t>(65535, raw.size() - pos);
        u8(out, pos + len == raw.size() ? 1 : 0);  // BFINAL on the last block
        le16(out, static_cast<std::uint32_t>(len));
        le16(out, static_cast<std::uint32_t>(~len & 0xFFFF));
        out.insert(out.end(), raw.begin() + pos, raw.begin() + pos + len);
        pos += len;
    } while (pos < raw.size());
    be32(out, adler32(raw));
    return out;
}

Bytes encodePng(const Image& img) {
    Bytes raw;
    for (int y = 0; y < img.size; ++y) {
        raw.push_back(0);  // filter type None
        for (int x = 0; x < img.size; ++x) {
            const Rgba c = img.px[static_cast<size_t>(y) * img.size + x];
            raw.insert(raw.end(), {c.r, c.g, c.b, c.a});
        }
    }
    Bytes ihdr;
    be32(ihdr, img.size);
    be32(ihdr, img.size);
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, deflate, no filter/interlace extras

    Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    pngChunk(out, "IHDR", ihdr);
    pngChunk(out, "IDAT", zlibStored(raw));
    pngChunk(out, "IEND", {});
    return out;
}

// ---- ICO -------------------------------------------------------------------

struct Entry { int size; int bpp; Bytes data; };

Bytes encodeIco(const std::vector<Entry>& entries) {
    Bytes out;
    le16(out, 0);
    le16(out, 1);  // type: icon
    le16(out, static_cast<std::uint32_t>(entries.size()));
    size_t offset = 6 + 16 * entries.size();
    for (const Entry& e : entries) {
        const std::uint32_t dim = e.size >= 256 ? 0 : static_cast<std::uint32_t>(e.size);
        u8(out, dim);
        u8(out, dim);
        u8(out, e.bpp == 4 ? 16 : 0);  // colour count is only meaningful below 8 bpp
        u8(out, 0);
        le16(out, 1);
        le16(out, e.bpp);
        le32(out, static_cast<std::uint32_t>(e.data.size()));
        le32(out, static_cast<std::uint32_t>(offset));
        offset += e.data.size();
    }
    for (const Entry& e : entries) out.insert(out.end(), e.data.begin(), e.data.end());
    return out;
}

std::vector<Entry> buildEntries() {
    const struct { int size, bpp; } layout[] = {
        {48, 4}, {32, 4}, {24, 4}, {16, 4},
        {48, 8}, {32, 8}, {24, 8}, {16, 8},
        {256, 32}, {48, 32}, {32, 32}, {24, 32}, {16, 32}};
    std::vector<Entry> entries;
    for (const auto& l : layout) {
        const Image img = render(l.size);
        entries.push_back({l.size, l.bpp, l.size == 256 ? encodePng(img) : encodeDib(img, l.bpp)});
    }
    return entries;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_icon <output.ico>\n";
        return 2;
    }
    const Bytes ico = encodeIco(buildEntries());
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    if (!file) {
        std::cerr << "make_icon: cannot open " << argv[1] << " for writing\n";
        return 1;
    }
    file.write(reinterpret_cast<const char*>(ico.data()), static_cast<std::streamsize>(ico.size()));
    file.close();
    if (!file) {
        std::cerr << "make_icon: failed writing " << argv[1] << "\n";
        std::remove(argv[1]);  // don't leave a truncated icon behind
        return 1;
    }
    return 0;
}
