// Machin's formula, pi = 16 atan(1/5) - 4 atan(1/239), in fixed point: word 0 is the integer
// part, the rest the fraction, most significant first. Guard words absorb the truncation of
// the few thousand divisions.
#include "pi_words.h"

#include <algorithm>

namespace orv::testing {
namespace {

using Fixed = std::vector<std::uint32_t>;
constexpr std::size_t kGuardWords = 3;

void divide(Fixed& x, std::uint32_t divisor) {
  std::uint64_t remainder = 0;
  for (std::uint32_t& word : x) {
    const std::uint64_t current = (remainder << 32) | word;
    word = static_cast<std::uint32_t>(current / divisor);
    remainder = current % divisor;
  }
}

void multiply(Fixed& x, std::uint32_t factor) {
  std::uint64_t carry = 0;
  for (auto word = x.rbegin(); word != x.rend(); ++word) {
    const std::uint64_t current = std::uint64_t{*word} * factor + carry;
    *word = static_cast<std::uint32_t>(current);
    carry = current >> 32;
  }
}

void add(Fixed& sum, const Fixed& x) {
  std::uint64_t carry = 0;
  for (std::size_t i = sum.size(); i-- > 0;) {
    const std::uint64_t current = std::uint64_t{sum[i]} + x[i] + carry;
    sum[i] = static_cast<std::uint32_t>(current);
    carry = current >> 32;
  }
}

void subtract(Fixed& difference, const Fixed& x) {
  std::uint64_t borrow = 0;
  for (std::size_t i = difference.size(); i-- > 0;) {
    const std::uint64_t current = std::uint64_t{difference[i]} - x[i] - borrow;
    difference[i] = static_cast<std::uint32_t>(current);
    borrow = (current >> 32) != 0 ? 1 : 0;
  }
}

bool isZero(const Fixed& x) {
  return std::all_of(x.begin(), x.end(), [](std::uint32_t w) { return w == 0; });
}

// atan(1/x) = 1/x - 1/(3x^3) + 1/(5x^5) - ...
Fixed arctanOfInverse(std::uint32_t x, std::size_t words) {
  Fixed power(words, 0);
  power[0] = 1;
  divide(power, x);
  Fixed sum = power;
  for (std::uint32_t k = 1; !isZero(power); ++k) {
    divide(power, x * x);
    Fixed term = power;
    divide(term, 2 * k + 1);
    if (k % 2 == 1) {
      subtract(sum, term);
    } else {
      add(sum, term);
    }
  }
  return sum;
}

}  // namespace

std::vector<std::uint32_t> piFractionWords(std::size_t count) {
  const std::size_t words = 1 + count + kGuardWords;
  Fixed pi = arctanOfInverse(5, words);
  multiply(pi, 4);
  subtract(pi, arctanOfInverse(239, words));
  multiply(pi, 4);
  return {pi.begin() + 1, pi.begin() + 1 + static_cast<std::ptrdiff_t>(count)};
}

}  // namespace orv::testing
