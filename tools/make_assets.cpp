// Draws the clock's pictures and writes them as the files the program
// embeds: the ball picture (BMP), the hand pointer (ICO) and the window icon
// (ICO with six images), the ball and the pointer again at two and three
// times the resolution for screens of that scale, and the icon theme's
// larger sizes (PNG, SVG). Standard library only; the output is committed,
// so this runs by hand after a change to the drawing:
//
//     build/tools/telvo-make-assets assets

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Rgb {
    double r = 0, g = 0, b = 0;
};

Rgb Mix(const Rgb &a, const Rgb &b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

std::uint8_t Channel(double v) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

// A picture with a coverage value per pixel (0 outside the drawn shape, 1 inside).
struct Canvas {
    int width = 0, height = 0;
    std::vector<Rgb> color;
    std::vector<double> coverage;
    std::vector<std::uint8_t> index; // palette indices, for 16-colour images

    Canvas(int w, int h) : width(w), height(h), color(w * h), coverage(w * h), index(w * h) {}
    Rgb &At(int x, int y) { return color[y * width + x]; }
    double &Cover(int x, int y) { return coverage[y * width + x]; }
};

// --- the shaded ball

struct BallColors {
    Rgb shadow, middle, lit;
};

constexpr double kPi = 3.14159265358979323846;

// Colour of the sphere at a point of its disc (nx, ny in -1..1), lit from the
// upper left and a little from the front, with a soft white highlight and a
// faint bounce light along the lower rim.
Rgb ShadeSphere(double nx, double ny, const BallColors &colors, double highlight) {
    const double nz = std::sqrt(std::max(0.0, 1.0 - nx * nx - ny * ny));
    const double lx = -0.45, ly = -0.55, lz = 0.70;
    const double len = std::sqrt(lx * lx + ly * ly + lz * lz);
    const double diffuse = std::max(0.0, (nx * lx + ny * ly + nz * lz) / len);
    Rgb c = diffuse < 0.55 ? Mix(colors.shadow, colors.middle, diffuse / 0.55)
                           : Mix(colors.middle, colors.lit, (diffuse - 0.55) / 0.45);
    // Blinn highlight with the viewer straight in front.
    const double hx = lx / len, hy = ly / len, hz = lz / len + 1.0;
    const double hlen = std::sqrt(hx * hx + hy * hy + hz * hz);
    const double specular = std::pow(std::max(0.0, (nx * hx + ny * hy + nz * hz) / hlen), 60.0) * highlight;
    const double bounce = std::pow(std::max(0.0, ny), 3.0) * std::pow(1.0 - nz, 1.5) * 0.35;
    c = Mix(c, colors.middle, bounce);
    return Mix(c, Rgb{255, 255, 255}, specular);
}

// Draws the ball filling an ellipse, with its edge anti-aliased by 4x4 samples.
void DrawBall(Canvas &canvas, double cx, double cy, double rx, double ry, const BallColors &colors,
              double highlight) {
    constexpr int kSamples = 4;
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            Rgb sum;
            int inside = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double nx = (x + (sx + 0.5) / kSamples - cx) / rx;
                    const double ny = (y + (sy + 0.5) / kSamples - cy) / ry;
                    if (nx * nx + ny * ny < 1.0) {
                        const Rgb c = ShadeSphere(nx, ny, colors, highlight);
                        sum.r += c.r, sum.g += c.g, sum.b += c.b;
                        ++inside;
                    }
                }
            }
            canvas.Cover(x, y) = inside / double(kSamples * kSamples);
            if (inside > 0) {
                canvas.At(x, y) = {sum.r / inside, sum.g / inside, sum.b / inside};
            }
        }
    }
}

// --- the hand pointer, drawn upright and then turned

struct Capsule {
    double x1, y1, x2, y2, radius;
    int finger; // 0 for palm and wrist, 1.. for the thumb and fingers

    double Distance(double x, double y) const {
        const double dx = x2 - x1, dy = y2 - y1;
        const double t = std::clamp(((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy + 1e-12), 0.0, 1.0);
        return std::hypot(x - (x1 + t * dx), y - (y1 + t * dy)) - radius;
    }
};

// An open right hand, palm towards the viewer, fingers up, in a 32x32 frame.
const std::array<Capsule, 8> kHand = {{
    {13.5, 19.0, 18.5, 19.0, 5.2, 0}, // palm
    {14.5, 23.0, 17.5, 27.0, 3.8, 0}, // wrist
    {9.5, 20.5, 3.6, 14.0, 1.8, 1},   // thumb
    {10.8, 15.0, 8.6, 3.6, 1.6, 2},   // index
    {14.8, 14.5, 14.2, 1.6, 1.65, 3}, // middle
    {18.4, 15.0, 19.6, 3.2, 1.6, 4},  // ring
    {21.4, 17.0, 24.2, 7.6, 1.45, 5}, // little
    {13.5, 22.0, 18.5, 22.0, 4.6, 0}, // heel of the hand
}};

// Turns a point of the upright hand so that the fingers point to the lower left.
struct Turn {
    double angle, scale, cx, cy;
    void Forward(double x, double y, double &ox, double &oy) const {
        const double dx = (x - 16) * scale, dy = (y - 16) * scale;
        ox = cx + dx * std::cos(angle) - dy * std::sin(angle);
        oy = cy + dx * std::sin(angle) + dy * std::cos(angle);
    }
    void Back(double x, double y, double &ox, double &oy) const {
        const double dx = x - cx, dy = y - cy;
        ox = 16 + (dx * std::cos(-angle) - dy * std::sin(-angle)) / scale;
        oy = 16 + (dx * std::sin(-angle) + dy * std::cos(-angle)) / scale;
    }
};
const Turn kHandTurn{-3 * kPi / 4, 0.98, 16.0, 15.5};

// Which part of the hand covers a point: -1 for none, else the finger number.
int HandPartAt(double x, double y) {
    int part = -1;
    double best = 0;
    for (const Capsule &c : kHand) {
        const double d = c.Distance(x, y);
        if (d < 0 && (part < 0 || d < best)) {
            part = c.finger;
            best = d;
        }
    }
    return part;
}

enum Vga : std::uint8_t {
    kVgaBlack = 0,
    kVgaDarkBlue = 4,
    kVgaYellow = 11,
    kVgaBlue = 12,
    kVgaCyan = 14,
    kVgaWhite = 15,
};

// The sixteen colours of a 4-bit image, in the usual order.
const std::array<Rgb, 16> kVgaPalette = {{{0, 0, 0},
                                          {128, 0, 0},
                                          {0, 128, 0},
                                          {128, 128, 0},
                                          {0, 0, 128},
                                          {128, 0, 128},
                                          {0, 128, 128},
                                          {192, 192, 192},
                                          {128, 128, 128},
                                          {255, 0, 0},
                                          {0, 255, 0},
                                          {255, 255, 0},
                                          {0, 0, 255},
                                          {255, 0, 255},
                                          {0, 255, 255},
                                          {255, 255, 255}}};

// The hand in a frame of 32 by 32 pixels times `scale`; the outline and the
// seams between the fingers are `scale` pixels wide.
Canvas DrawHand(int scale) {
    const int size = 32 * scale;
    Canvas canvas(size, size);
    std::vector<int> part(size * size, -1);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Majority of 3x3 samples decides the pixel.
            int votes = 0, which = -1;
            for (int s = 0; s < 9; ++s) {
                double ux, uy;
                kHandTurn.Back((x + (s % 3 + 0.5) / 3) / scale, (y + (s / 3 + 0.5) / 3) / scale, ux, uy);
                const int p = HandPartAt(ux, uy);
                if (p >= 0) {
                    ++votes;
                    if (s == 4 || which < 0) {
                        which = p;
                    }
                }
            }
            if (votes >= 5) {
                part[y * size + x] = which;
            }
        }
    }
    auto partAt = [&](int x, int y) {
        return x < 0 || y < 0 || x >= size || y >= size ? -1 : part[y * size + x];
    };
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int here = partAt(x, y);
            bool touchesHand = false, fingerSeam = false;
            for (int dy = -scale; dy <= scale; ++dy) {
                for (int dx = -scale; dx <= scale; ++dx) {
                    const int there = partAt(x + dx, y + dy);
                    touchesHand |= there >= 0;
                    // Draw a seam where two fingers meet, once (on the lower-numbered side).
                    fingerSeam |= here > 0 && there > here && (dx == 0 || dy == 0);
                }
            }
            std::uint8_t &px = canvas.index[y * size + x];
            if (here >= 0) {
                px = fingerSeam ? kVgaBlack : kVgaWhite;
                canvas.Cover(x, y) = 1;
            } else if (touchesHand) {
                px = kVgaBlack;
                canvas.Cover(x, y) = 1;
            }
        }
    }
    return canvas;
}

// --- 16-colour reduction and the digits of the small icon

std::uint8_t NearestVga(const Rgb &c, const std::vector<std::uint8_t> &allowed) {
    std::uint8_t best = allowed.front();
    double bestDistance = 1e30;
    for (std::uint8_t i : allowed) {
        const Rgb &p = kVgaPalette[i];
        const double d = (c.r - p.r) * (c.r - p.r) + (c.g - p.g) * (c.g - p.g) + (c.b - p.b) * (c.b - p.b);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

// Ordered (Bayer) dithering onto the colours a blue ball needs.
void ReduceToVga(Canvas &canvas) {
    static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const std::vector<std::uint8_t> blues = {kVgaBlack, kVgaDarkBlue, kVgaBlue, kVgaCyan, kVgaWhite};
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            const double offset = (kBayer[y % 4][x % 4] / 16.0 - 0.5) * 64;
            Rgb c = canvas.At(x, y);
            c = {c.r + offset, c.g + offset, c.b + offset};
            canvas.index[y * canvas.width + x] = NearestVga(c, blues);
        }
    }
}

// Digits three pixels wide and five high; each row is a bit pattern, high bit left.
const std::array<std::array<std::uint8_t, 5>, 11> kDigits = {{
    {7, 5, 5, 5, 7},
    {2, 6, 2, 2, 7},
    {7, 1, 7, 4, 7},
    {7, 1, 3, 1, 7},
    {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7},
    {7, 4, 7, 5, 7},
    {7, 1, 1, 2, 2},
    {7, 5, 7, 5, 7},
    {7, 5, 7, 1, 7},
    {0, 2, 0, 2, 0}, // colon
}};

void DrawDigits(Canvas &canvas, const std::string &text, int top) {
    const int width = static_cast<int>(text.size()) * 4 - 1;
    int x = (canvas.width - width) / 2;
    for (char ch : text) {
        const auto &glyph = kDigits[ch == ':' ? 10 : ch - '0'];
        for (int row = 0; row < 5; ++row) {
            for (int col = 0; col < 3; ++col) {
                if (glyph[row] & (4 >> col)) {
                    canvas.index[(top + row) * canvas.width + x + col] = kVgaYellow;
                    canvas.Cover(x + col, top + row) = 1;
                }
            }
        }
        x += 4;
    }
}

// --- file formats (little-endian)

struct Bytes {
    std::vector<std::uint8_t> data;
    void U8(unsigned v) { data.push_back(static_cast<std::uint8_t>(v)); }
    void U16(unsigned v) { U8(v & 0xff), U8(v >> 8); }
    void U32(std::uint32_t v) { U16(v & 0xffff), U16(v >> 16); }
    void Append(const Bytes &other) { data.insert(data.end(), other.data.begin(), other.data.end()); }
};

void InfoHeader(Bytes &out, int width, int storedHeight, int bits, std::uint32_t imageSize, int colors) {
    out.U32(40);
    out.U32(static_cast<std::uint32_t>(width));
    out.U32(static_cast<std::uint32_t>(storedHeight));
    out.U16(1);
    out.U16(static_cast<unsigned>(bits));
    out.U32(0); // uncompressed
    out.U32(imageSize);
    out.U32(3780); // 96 dots per inch, in dots per metre
    out.U32(3780);
    out.U32(static_cast<std::uint32_t>(colors));
    out.U32(0);
}

int RowBytes(int width, int bits) {
    return (width * bits + 31) / 32 * 4;
}

// 24-bit pixel rows from the bottom up; pixels outside the shape take `ground`.
Bytes Pixels24(Canvas &canvas, const Rgb &ground, bool blendEdges) {
    Bytes out;
    const int pad = RowBytes(canvas.width, 24) - canvas.width * 3;
    for (int y = canvas.height - 1; y >= 0; --y) {
        for (int x = 0; x < canvas.width; ++x) {
            const double cover = canvas.Cover(x, y);
            Rgb c =
                blendEdges ? Mix(ground, canvas.At(x, y), cover) : (cover >= 0.5 ? canvas.At(x, y) : ground);
            out.U8(Channel(c.b)), out.U8(Channel(c.g)), out.U8(Channel(c.r));
        }
        for (int i = 0; i < pad; ++i) {
            out.U8(0);
        }
    }
    return out;
}

Bytes Pixels4(const Canvas &canvas) {
    Bytes out;
    for (int y = canvas.height - 1; y >= 0; --y) {
        for (int x = 0; x < canvas.width; x += 2) {
            const int at = y * canvas.width + x;
            out.U8(static_cast<unsigned>(canvas.index[at] << 4 |
                                         (x + 1 < canvas.width ? canvas.index[at + 1] : 0)));
        }
        for (int i = (canvas.width + 1) / 2; i < RowBytes(canvas.width, 4); ++i) {
            out.U8(0);
        }
    }
    return out;
}

// The 1-bit transparency mask of an icon image: a set bit is transparent.
Bytes Mask(Canvas &canvas) {
    Bytes out;
    for (int y = canvas.height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(RowBytes(canvas.width, 1), 0);
        for (int x = 0; x < canvas.width; ++x) {
            if (canvas.Cover(x, y) < 0.5) {
                row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        for (std::uint8_t b : row) {
            out.U8(b);
        }
    }
    return out;
}

Bytes Bmp24(Canvas &canvas, const Rgb &ground) {
    const Bytes pixels = Pixels24(canvas, ground, true);
    Bytes out;
    out.U8('B'), out.U8('M');
    out.U32(static_cast<std::uint32_t>(14 + 40 + pixels.data.size()));
    out.U32(0);
    out.U32(14 + 40);
    InfoHeader(out, canvas.width, canvas.height, 24, static_cast<std::uint32_t>(pixels.data.size()), 0);
    out.Append(pixels);
    return out;
}

// One image of an icon file: header, palette, colour bits, mask.
Bytes IconImage(Canvas &canvas, int bits) {
    Bytes body;
    Bytes pixels = bits == 4 ? Pixels4(canvas) : Pixels24(canvas, Rgb{}, false);
    const Bytes mask = Mask(canvas);
    InfoHeader(body, canvas.width, canvas.height * 2, bits,
               static_cast<std::uint32_t>(pixels.data.size() + mask.data.size()), bits == 4 ? 16 : 0);
    if (bits == 4) {
        for (const Rgb &c : kVgaPalette) {
            body.U8(Channel(c.b)), body.U8(Channel(c.g)), body.U8(Channel(c.r)), body.U8(0);
        }
    }
    body.Append(pixels);
    body.Append(mask);
    return body;
}

Bytes Ico(std::vector<std::pair<Canvas, int>> &images) {
    Bytes out;
    out.U16(0);
    out.U16(1); // icon
    out.U16(static_cast<unsigned>(images.size()));
    std::vector<Bytes> bodies;
    for (auto &[canvas, bits] : images) {
        bodies.push_back(IconImage(canvas, bits));
    }
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const Canvas &canvas = images[i].first;
        const int bits = images[i].second;
        out.U8(static_cast<unsigned>(canvas.width % 256));
        out.U8(static_cast<unsigned>(canvas.height % 256));
        out.U8(bits == 4 ? 16 : 0);
        out.U8(0);
        out.U16(1);
        out.U16(static_cast<unsigned>(bits));
        out.U32(static_cast<std::uint32_t>(bodies[i].data.size()));
        out.U32(offset);
        offset += static_cast<std::uint32_t>(bodies[i].data.size());
    }
    for (const Bytes &body : bodies) {
        out.Append(body);
    }
    return out;
}

// --- PNG, for the icon theme's larger sizes: RGBA, the edge's coverage as
// alpha, in stored (uncompressed) deflate blocks.

void U32Big(Bytes &out, std::uint32_t v) {
    out.U8(v >> 24), out.U8(v >> 16 & 0xff), out.U8(v >> 8 & 0xff), out.U8(v & 0xff);
}

std::uint32_t Crc32(const std::uint8_t *data, std::size_t size) {
    std::uint32_t crc = 0xffffffffu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = crc & 1 ? (crc >> 1) ^ 0xedb88320u : crc >> 1;
        }
    }
    return crc ^ 0xffffffffu;
}

void Chunk(Bytes &out, const char *type, const Bytes &body) {
    U32Big(out, static_cast<std::uint32_t>(body.data.size()));
    Bytes typed;
    for (int i = 0; i < 4; ++i) {
        typed.U8(static_cast<unsigned char>(type[i]));
    }
    typed.Append(body);
    out.Append(typed);
    U32Big(out, Crc32(typed.data.data(), typed.data.size()));
}

Bytes Png(Canvas &canvas) {
    Bytes raw;
    for (int y = 0; y < canvas.height; ++y) {
        raw.U8(0); // no filter
        for (int x = 0; x < canvas.width; ++x) {
            const Rgb &c = canvas.At(x, y);
            raw.U8(Channel(c.r)), raw.U8(Channel(c.g)), raw.U8(Channel(c.b)),
                raw.U8(Channel(canvas.Cover(x, y) * 255));
        }
    }
    Bytes zlib;
    zlib.U8(0x78), zlib.U8(0x01);
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw.data) {
        a = (a + byte) % 65521, b = (b + a) % 65521;
    }
    for (std::size_t at = 0; at < raw.data.size(); at += 65535) {
        const std::size_t size = std::min<std::size_t>(65535, raw.data.size() - at);
        zlib.U8(at + size == raw.data.size() ? 1 : 0);
        zlib.U16(static_cast<unsigned>(size)), zlib.U16(static_cast<unsigned>(~size & 0xffff));
        zlib.data.insert(zlib.data.end(), raw.data.begin() + static_cast<std::ptrdiff_t>(at),
                         raw.data.begin() + static_cast<std::ptrdiff_t>(at + size));
    }
    U32Big(zlib, b << 16 | a);

    Bytes out;
    const unsigned char signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    for (unsigned char byte : signature) {
        out.U8(byte);
    }
    Bytes header;
    U32Big(header, static_cast<std::uint32_t>(canvas.width));
    U32Big(header, static_cast<std::uint32_t>(canvas.height));
    header.U8(8), header.U8(6), header.U8(0), header.U8(0), header.U8(0); // 8-bit RGBA
    Chunk(out, "IHDR", header);
    Chunk(out, "IDAT", zlib);
    Chunk(out, "IEND", Bytes{});
    return out;
}

// The blue ball as a drawing of any size: the same colours, lit from the
// upper left, with the highlight.
Bytes BlueBallSvg() {
    const std::string svg =
        R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <defs>
    <radialGradient id="shade" cx="0.36" cy="0.32" r="0.72">
      <stop offset="0" stop-color="#78beff"/>
      <stop offset="0.45" stop-color="#1e54c8"/>
      <stop offset="1" stop-color="#081050"/>
    </radialGradient>
    <radialGradient id="highlight" cx="0.34" cy="0.28" r="0.16">
      <stop offset="0" stop-color="#ffffff" stop-opacity="0.9"/>
      <stop offset="1" stop-color="#ffffff" stop-opacity="0"/>
    </radialGradient>
  </defs>
  <circle cx="128" cy="128" r="127.5" fill="url(#shade)"/>
  <circle cx="128" cy="128" r="127.5" fill="url(#highlight)"/>
</svg>
)svg";
    Bytes out;
    for (char c : svg) {
        out.U8(static_cast<unsigned char>(c));
    }
    return out;
}

bool Write(const std::string &path, const Bytes &bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char *>(bytes.data.data()),
               static_cast<std::streamsize>(bytes.data.size()));
    file.close();
    if (!file) {
        std::cerr << "telvo-make-assets: cannot write " << path << '\n';
        return false;
    }
    std::cout << path << ": " << bytes.data.size() << " bytes\n";
    return true;
}

const BallColors kOrangePink{{150, 28, 78}, {236, 82, 108}, {255, 170, 72}};
const BallColors kBlue{{8, 16, 80}, {30, 84, 200}, {120, 190, 255}};
const Rgb kNearBlack{35, 31, 28};

Canvas BlueBall(int size) {
    Canvas canvas(size, size);
    const double r = size / 2.0 - 0.5;
    DrawBall(canvas, size / 2.0, size / 2.0, r, r, kBlue, 0.9);
    return canvas;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::cerr << "usage: telvo-make-assets OUTPUT-FOLDER\n";
        return 2;
    }
    const std::string folder = argv[1];

    // The ball and the pointer at one, two and three times the resolution.
    std::vector<Bytes> balls, pointers;
    for (int scale = 1; scale <= 3; ++scale) {
        Canvas ball(120 * scale, 113 * scale);
        DrawBall(ball, 60.0 * scale, 56.5 * scale, 58.5 * scale, 55.0 * scale, kOrangePink, 0.95);
        balls.push_back(Bmp24(ball, kNearBlack));
        std::vector<std::pair<Canvas, int>> pointer;
        pointer.emplace_back(DrawHand(scale), 4);
        pointers.push_back(Ico(pointer));
    }

    Canvas small = BlueBall(32);
    ReduceToVga(small);
    DrawDigits(small, "12:30", 13);
    std::vector<std::pair<Canvas, int>> icon;
    icon.emplace_back(BlueBall(16), 24);
    icon.emplace_back(std::move(small), 4);
    for (int size : {32, 48, 64, 72}) {
        icon.emplace_back(BlueBall(size), 24);
    }

    // The icon theme's larger sizes, beyond what the window icon holds.
    Canvas large = BlueBall(128), huge = BlueBall(256);

    const bool ok =
        Write(folder + "/ball.bmp", balls[0]) && Write(folder + "/ball@2x.bmp", balls[1]) &&
        Write(folder + "/ball@3x.bmp", balls[2]) && Write(folder + "/hand.ico", pointers[0]) &&
        Write(folder + "/hand@2x.ico", pointers[1]) && Write(folder + "/hand@3x.ico", pointers[2]) &&
        Write(folder + "/telvo.ico", Ico(icon)) && Write(folder + "/telvo-128.png", Png(large)) &&
        Write(folder + "/telvo-256.png", Png(huge)) && Write(folder + "/telvo.svg", BlueBallSvg());
    return ok ? 0 : 1;
}
