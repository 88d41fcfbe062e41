#pragma once
// Writes 8-bit RGB pixels, row by row from the top, as a PNG file: each row filtered against
// the one above, runs of equal bytes deflated with fixed codes. Screenshots of the box are
// mostly flat, so that is small enough without a compression library.
#include <cstdint>
#include <filesystem>
#include <vector>

namespace orv::testing {

bool writePng(const std::filesystem::path& file, int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace orv::testing
