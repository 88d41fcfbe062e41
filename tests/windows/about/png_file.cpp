#include "png_file.h"

#include <array>
#include <fstream>
#include <string>

namespace orv::testing {
namespace {

std::uint32_t crc32(const std::string& bytes) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> entries{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      entries[n] = c;
    }
    return entries;
  }();
  std::uint32_t c = 0xFFFFFFFFu;
  for (const char byte : bytes) c = table[(c ^ static_cast<std::uint8_t>(byte)) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

void putBig32(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

// Deflate's bit order: values least significant bit first, Huffman codes most significant first.
class BitWriter {
 public:
  void bits(std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) put((value >> i) & 1);
  }
  void code(std::uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) put((value >> i) & 1);
  }
  std::string finish() {
    if (used_ > 0) bytes_ += static_cast<char>(current_);
    return bytes_;
  }

 private:
  void put(std::uint32_t bit) {
    current_ |= bit << used_;
    if (++used_ == 8) {
      bytes_ += static_cast<char>(current_);
      current_ = 0;
      used_ = 0;
    }
  }
  std::string bytes_;
  std::uint32_t current_ = 0;
  int used_ = 0;
};

// The fixed literal/length code of a symbol (0-287).
void symbol(BitWriter& out, int value) {
  if (value < 144)
    out.code(0x30 + value, 8);
  else if (value < 256)
    out.code(0x190 + value - 144, 9);
  else if (value < 280)
    out.code(value - 256, 7);
  else
    out.code(0xC0 + value - 280, 8);
}

// A run of `length` (3-258) copies of the byte before: a length code and distance 1.
void repeat(BitWriter& out, int length) {
  static constexpr std::array<int, 29> kBase{3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                             31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
  static constexpr std::array<int, 29> kExtra{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
  int index = 28;
  while (kBase[static_cast<std::size_t>(index)] > length) --index;
  symbol(out, 257 + index);
  out.bits(static_cast<std::uint32_t>(length - kBase[static_cast<std::size_t>(index)]),
           kExtra[static_cast<std::size_t>(index)]);
  out.code(0, 5);  // distance code 0: distance 1
}

std::string zlibStream(const std::string& data) {
  BitWriter out;
  out.bits(1, 1);  // last block
  out.bits(1, 2);  // fixed codes
  std::size_t i = 0;
  while (i < data.size()) {
    std::size_t run = 0;
    while (i > 0 && i + run < data.size() && run < 258 && data[i + run] == data[i - 1]) ++run;
    if (run >= 3) {
      repeat(out, static_cast<int>(run));
      i += run;
    } else {
      symbol(out, static_cast<std::uint8_t>(data[i]));
      ++i;
    }
  }
  symbol(out, 256);
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (const char byte : data) {
    a = (a + static_cast<std::uint8_t>(byte)) % 65521;
    b = (b + a) % 65521;
  }
  std::string stream = "\x78\x01" + out.finish();
  putBig32(stream, (b << 16) | a);
  return stream;
}

std::string chunk(const char* type, const std::string& data) {
  std::string out;
  putBig32(out, static_cast<std::uint32_t>(data.size()));
  const std::string body = std::string(type) + data;
  out += body;
  putBig32(out, crc32(body));
  return out;
}

}  // namespace

bool writePng(const std::filesystem::path& file, int width, int height, const std::vector<std::uint8_t>& rgb) {
  const auto stride = static_cast<std::size_t>(width) * 3;
  std::string filtered;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = rgb.data() + stride * static_cast<std::size_t>(y);
    filtered += static_cast<char>(y == 0 ? 0 : 2);  // none, then "up"
    for (std::size_t x = 0; x < stride; ++x) {
      filtered += static_cast<char>(y == 0 ? row[x] : static_cast<std::uint8_t>(row[x] - row[x - stride]));
    }
  }
  std::string header;
  putBig32(header, static_cast<std::uint32_t>(width));
  putBig32(header, static_cast<std::uint32_t>(height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no interlace
  const std::string png = std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) +
                          chunk("IDAT", zlibStream(filtered)) + chunk("IEND", "");
  std::ofstream out(file, std::ios::binary);
  out.write(png.data(), static_cast<std::streamsize>(png.size()));
  return static_cast<bool>(out);
}

}  // namespace orv::testing
