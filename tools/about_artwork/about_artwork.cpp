// The About box's artwork, drawn here and written as the files the DLL's resource script embeds:
//   about_artwork ICON_FILE BITMAP_FILE
// ICON_FILE: the window icon, 16 x 16 and 32 x 32, 256 colours each, transparent corners.
// BITMAP_FILE: the 125 x 125 24-bit picture of picIcon.
// The emblem: a person with a gold key on a blue tile. Every shape is a distance function,
// sampled 4 x 4 per pixel, so edges come out smooth at every size.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

struct Colour {
  double r = 0, g = 0, b = 0, a = 0;  // 0..1, straight alpha
};

struct Point {
  double x, y;
};

double length(Point p) { return std::hypot(p.x, p.y); }
Point minus(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }

// Signed distances: negative inside.
double circle(Point p, Point centre, double radius) { return length(minus(p, centre)) - radius; }

double segment(Point p, Point a, Point b, double halfWidth) {
  const Point ab = minus(b, a);
  const Point ap = minus(p, a);
  const double t = std::clamp((ap.x * ab.x + ap.y * ab.y) / (ab.x * ab.x + ab.y * ab.y), 0.0, 1.0);
  return length({ap.x - t * ab.x, ap.y - t * ab.y}) - halfWidth;
}

double roundedSquare(Point p, double radius) {
  const double qx = std::abs(p.x - 0.5) - (0.5 - radius);
  const double qy = std::abs(p.y - 0.5) - (0.5 - radius);
  return length({std::max(qx, 0.0), std::max(qy, 0.0)}) + std::min(std::max(qx, qy), 0.0) - radius;
}

Colour rgb(unsigned value) {
  return {((value >> 16) & 0xFF) / 255.0, ((value >> 8) & 0xFF) / 255.0, (value & 0xFF) / 255.0, 1};
}

Colour mix(Colour a, Colour b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

// The key: a ring with a shaft at 45 degrees and two teeth; bolder on the small icons, where
// thin parts would vanish.
double keyShape(Point p, bool bold) {
  const double scale = bold ? 1.35 : 1.0;
  const Point bow{0.64, 0.60};
  const double ring = std::max(circle(p, bow, 0.135 * (bold ? 1.1 : 1.0)), -circle(p, bow, 0.055 * scale));
  const Point tip{0.90, 0.86};
  const double shaft = segment(p, {0.72, 0.68}, tip, 0.035 * scale);
  const double tooth1 = segment(p, {0.83, 0.79}, {0.77, 0.85}, 0.025 * scale);
  const double tooth2 = segment(p, {0.88, 0.84}, {0.83, 0.89}, 0.025 * scale);
  return std::min({ring, shaft, tooth1, tooth2});
}

double personShape(Point p) {
  const double head = circle(p, {0.40, 0.36}, 0.14);
  // Shoulders: the upper half of a wide ellipse.
  const Point q{(p.x - 0.40) / 0.29, (p.y - 0.92) / 0.30};
  const double body = (length(q) - 1.0) * 0.29;
  return std::min(head, body);
}

// The scene at p in the unit square. A tile has rounded, transparent corners; a panel fills
// the whole square.
Colour scene(Point p, bool tile, double pixel) {
  const double outside = tile ? roundedSquare(p, 0.2) : -1;
  if (outside > 0) return {};
  Colour colour = mix(rgb(0x1E3A5F), rgb(0x2F7FA3), p.y);
  colour = mix(colour, rgb(0x4A9CC4), std::max(0.0, 0.35 - length(minus(p, {0.2, 0.15}))) * 0.9);

  const double key = keyShape(p, tile);
  const double outline = tile ? 0.7 * pixel : 0.02;
  if (personShape(p) < 0 && key > outline) colour = mix(rgb(0xF4F7FA), rgb(0xC9D8E6), std::clamp(p.y - 0.3, 0.0, 1.0));
  if (key < 0) {
    colour =
        key > -outline ? rgb(0x8A5A0C) : mix(rgb(0xFFD766), rgb(0xE0A020), std::clamp((p.x + p.y - 1.1) * 2, 0.0, 1.0));
  } else if (key < outline) {
    colour = rgb(0x8A5A0C);
  }
  return colour;
}

// width x height pixels, each the average of 4 x 4 samples; alpha kept separately.
std::vector<Colour> render(int size, bool tile) {
  std::vector<Colour> pixels(static_cast<std::size_t>(size) * size);
  constexpr int kSamples = 4;
  const double pixel = 1.0 / size;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      Colour sum;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const Colour c =
              scene({(x + (sx + 0.5) / kSamples) * pixel, (y + (sy + 0.5) / kSamples) * pixel}, tile, pixel);
          sum.r += c.r * c.a;
          sum.g += c.g * c.a;
          sum.b += c.b * c.a;
          sum.a += c.a;
        }
      }
      Colour& out = pixels[static_cast<std::size_t>(y) * size + x];
      out.a = sum.a / (kSamples * kSamples);
      if (sum.a > 0) out = {sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, out.a};
    }
  }
  return pixels;
}

using Rgb = std::array<std::uint8_t, 3>;

Rgb toRgb(const Colour& c) {
  auto channel = [](double v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
  return {channel(c.r), channel(c.g), channel(c.b)};
}

// Median cut: the colour box with the widest channel is split at its median until there are
// enough boxes; each box's mean becomes a palette entry.
std::vector<Rgb> palette(const std::vector<Rgb>& colours, std::size_t entries) {
  std::vector<std::vector<Rgb>> boxes{colours};
  auto widest = [](const std::vector<Rgb>& box, int& channel) {
    int best = -1;
    for (int c = 0; c < 3; ++c) {
      const auto [lo, hi] =
          std::minmax_element(box.begin(), box.end(), [c](const Rgb& a, const Rgb& b) { return a[c] < b[c]; });
      if ((*hi)[c] - (*lo)[c] > best) {
        best = (*hi)[c] - (*lo)[c];
        channel = c;
      }
    }
    return best;
  };
  while (boxes.size() < entries) {
    std::size_t chosen = boxes.size();
    int chosenChannel = 0;
    int chosenRange = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      int channel = 0;
      const int range = boxes[i].size() > 1 ? widest(boxes[i], channel) : 0;
      if (range > chosenRange) {
        chosen = i;
        chosenRange = range;
        chosenChannel = channel;
      }
    }
    if (chosen == boxes.size()) break;  // every box is a single colour
    std::vector<Rgb>& box = boxes[chosen];
    std::sort(box.begin(), box.end(),
              [chosenChannel](const Rgb& a, const Rgb& b) { return a[chosenChannel] < b[chosenChannel]; });
    std::vector<Rgb> upper(box.begin() + static_cast<std::ptrdiff_t>(box.size() / 2), box.end());
    box.resize(box.size() / 2);
    boxes.push_back(std::move(upper));
  }
  std::vector<Rgb> result;
  for (const auto& box : boxes) {
    std::array<long, 3> sum{};
    for (const Rgb& c : box) {
      for (int i = 0; i < 3; ++i) sum[i] += c[i];
    }
    const auto n = static_cast<long>(box.size());
    result.push_back({static_cast<std::uint8_t>(sum[0] / n), static_cast<std::uint8_t>(sum[1] / n),
                      static_cast<std::uint8_t>(sum[2] / n)});
  }
  return result;
}

std::uint8_t nearest(const std::vector<Rgb>& entries, const Rgb& colour) {
  std::size_t best = 0;
  long bestDistance = -1;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    long distance = 0;
    for (int c = 0; c < 3; ++c) distance += (entries[i][c] - colour[c]) * (entries[i][c] - colour[c]);
    if (bestDistance < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return static_cast<std::uint8_t>(best);
}

void put16(std::string& out, unsigned value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}
void put32(std::string& out, std::uint32_t value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}

std::string infoHeader(int width, int height, int bits, std::uint32_t imageSize, std::uint32_t coloursUsed) {
  std::string header;
  put32(header, 40);
  put32(header, static_cast<std::uint32_t>(width));
  put32(header, static_cast<std::uint32_t>(height));
  put16(header, 1);
  put16(header, static_cast<unsigned>(bits));
  put32(header, 0);  // BI_RGB
  put32(header, imageSize);
  put32(header, 3780);  // 96 dots per inch, in dots per metre
  put32(header, 3780);
  put32(header, coloursUsed);
  put32(header, 0);
  return header;
}

// One icon image: 256-colour colour bitmap bottom-up, then the 1-bit mask (1 = transparent).
std::string iconImage(int size) {
  const std::vector<Colour> pixels = render(size, true);
  std::vector<Rgb> opaque;
  for (const Colour& c : pixels) {
    if (c.a >= 0.5) opaque.push_back(toRgb(c));
  }
  // Entry 0 stays black for the transparent pixels, which the mask hides.
  std::vector<Rgb> entries{{0, 0, 0}};
  for (const Rgb& c : palette(opaque, 255)) entries.push_back(c);
  entries.resize(256, Rgb{0, 0, 0});

  const int colourRow = (size + 3) / 4 * 4;
  const int maskRow = ((size + 7) / 8 + 3) / 4 * 4;
  std::string colourBits;
  std::string maskBits;
  for (int y = size - 1; y >= 0; --y) {
    std::string row(static_cast<std::size_t>(colourRow), '\0');
    std::string mask(static_cast<std::size_t>(maskRow), '\0');
    for (int x = 0; x < size; ++x) {
      const Colour& c = pixels[static_cast<std::size_t>(y) * size + x];
      if (c.a >= 0.5) {
        // Index 0 is the transparent black; opaque pixels take the nearest of the others.
        const std::vector<Rgb> rest(entries.begin() + 1, entries.end());
        row[static_cast<std::size_t>(x)] = static_cast<char>(1 + nearest(rest, toRgb(c)));
      } else {
        mask[static_cast<std::size_t>(x / 8)] =
            static_cast<char>(mask[static_cast<std::size_t>(x / 8)] | (0x80 >> (x % 8)));
      }
    }
    colourBits += row;
    maskBits += mask;
  }
  std::string image =
      infoHeader(size, size * 2, 8, static_cast<std::uint32_t>(colourBits.size() + maskBits.size()), 256);
  for (const Rgb& c : entries) {
    image += static_cast<char>(c[2]);
    image += static_cast<char>(c[1]);
    image += static_cast<char>(c[0]);
    image += '\0';
  }
  return image + colourBits + maskBits;
}

std::string iconFile() {
  const std::array<int, 2> sizes{16, 32};
  std::vector<std::string> images;
  for (const int size : sizes) images.push_back(iconImage(size));
  std::string file;
  put16(file, 0);
  put16(file, 1);  // icon
  put16(file, static_cast<unsigned>(sizes.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * sizes.size());
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    file += static_cast<char>(sizes[i]);
    file += static_cast<char>(sizes[i]);
    file += '\0';  // 256 colours
    file += '\0';
    put16(file, 1);
    put16(file, 8);
    put32(file, static_cast<std::uint32_t>(images[i].size()));
    put32(file, offset);
    offset += static_cast<std::uint32_t>(images[i].size());
  }
  for (const std::string& image : images) file += image;
  return file;
}

std::string bitmapFile() {
  constexpr int kSize = 125;
  const std::vector<Colour> pixels = render(kSize, false);
  const int row = (kSize * 3 + 3) / 4 * 4;
  std::string bits;
  for (int y = kSize - 1; y >= 0; --y) {
    std::string line(static_cast<std::size_t>(row), '\0');
    for (int x = 0; x < kSize; ++x) {
      const Rgb c = toRgb(pixels[static_cast<std::size_t>(y) * kSize + x]);
      line[static_cast<std::size_t>(x) * 3] = static_cast<char>(c[2]);
      line[static_cast<std::size_t>(x) * 3 + 1] = static_cast<char>(c[1]);
      line[static_cast<std::size_t>(x) * 3 + 2] = static_cast<char>(c[0]);
    }
    bits += line;
  }
  const std::string header = infoHeader(kSize, kSize, 24, static_cast<std::uint32_t>(bits.size()), 0);
  std::string file = "BM";
  put32(file, static_cast<std::uint32_t>(14 + header.size() + bits.size()));
  put32(file, 0);
  put32(file, static_cast<std::uint32_t>(14 + header.size()));
  return file + header + bits;
}

bool write(const char* path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: about_artwork ICON_FILE BITMAP_FILE\n");
    return 2;
  }
  if (!write(argv[1], iconFile()) || !write(argv[2], bitmapFile())) {
    std::fprintf(stderr, "about_artwork: cannot write the artwork\n");
    return 1;
  }
  return 0;
}
