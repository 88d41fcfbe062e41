#pragma once
// The two random words that open every cipher data, values 0..2147483647. They only make
// equal plain texts encrypt differently; decryption never reads them.
#include <cstdint>
#include <functional>

namespace orv::cipher {

struct RandomWords {
  std::int32_t first = 0;
  std::int32_t second = 0;
};

using RandomWordSource = std::function<RandomWords()>;

// Fresh words from the operating system's cryptographic generator.
RandomWords systemRandomWords();

// A uniform fraction in [0, 1) scaled to 0..2147483647, rounded to nearest.
std::int32_t wordFromFraction(double fraction);

// Uniform fraction in [0, 1) from the top 53 bits of a random 64-bit value.
double fractionFromBits(std::uint64_t bits);

}  // namespace orv::cipher
