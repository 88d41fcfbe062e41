#pragma once
// Keys and plain passwords: text that leaves no copy behind. Every buffer it holds is wiped
// before it goes back: at the end; when the text grows (it moves to a larger buffer taken here,
// and the old one is wiped, where a string would free it as it is); when it shrinks (what is
// cut off); and when it is moved from, since a short text lives inside the object itself and a
// move only copies it. Text comes in as a view (copied) or by adoption: a string handed over
// gives up its buffer, and what stayed in it is wiped.
#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "base/secure_wipe.h"

namespace orv {

template <class CharT>
class BasicSecret {
 public:
  using String = std::basic_string<CharT>;
  using View = std::basic_string_view<CharT>;

  BasicSecret() noexcept = default;
  explicit BasicSecret(View text) : text_(text) {}
  explicit BasicSecret(const CharT* text) : text_(text) {}
  explicit BasicSecret(String&& adopted) noexcept : text_(std::move(adopted)) { wipeBuffer(adopted); }
  BasicSecret(const BasicSecret& other) : text_(other.text_) {}
  BasicSecret(BasicSecret&& other) noexcept : text_(std::move(other.text_)) { wipeBuffer(other.text_); }
  BasicSecret& operator=(const BasicSecret& other) {
    if (this != &other) *this = BasicSecret(other);
    return *this;
  }
  BasicSecret& operator=(BasicSecret&& other) noexcept {
    if (this != &other) {
      wipeBuffer(text_);
      text_ = std::move(other.text_);
      wipeBuffer(other.text_);
    }
    return *this;
  }
  ~BasicSecret() { wipeBuffer(text_); }

  View view() const noexcept { return text_; }
  // For interfaces that take the standard string by reference; a copy of it would not be wiped.
  const String& str() const noexcept { return text_; }
  const CharT* data() const noexcept { return text_.data(); }
  CharT* data() noexcept { return text_.data(); }
  std::size_t size() const noexcept { return text_.size(); }
  bool empty() const noexcept { return text_.empty(); }

  // `more` may be a view of this text itself: the old buffer lives until it is copied.
  void append(View more) {
    const std::size_t needed = text_.size() + more.size();
    if (needed <= text_.capacity()) {
      text_.append(more);
      return;
    }
    String larger;
    larger.reserve(std::max(needed, 2 * text_.capacity()));
    larger.append(text_);
    larger.append(more);
    takeBuffer(larger);
  }
  void push_back(CharT c) { append(View(&c, 1)); }

  void reserve(std::size_t capacity) {
    if (capacity <= text_.capacity()) return;
    String larger;
    larger.reserve(capacity);
    larger.append(text_);
    takeBuffer(larger);
  }

  // Shorter: what is cut off is wiped. Longer: zeros are added.
  void resize(std::size_t size) {
    if (size < text_.size()) secureWipe(text_.data() + size, (text_.size() - size) * sizeof(CharT));
    if (size > text_.capacity()) reserve(std::max(size, 2 * text_.capacity()));
    text_.resize(size);
  }

  void clear() noexcept { wipeBuffer(text_); }

  friend bool operator==(const BasicSecret& a, const BasicSecret& b) noexcept { return a.text_ == b.text_; }
  friend bool operator==(const BasicSecret& a, View b) noexcept { return a.view() == b; }

 private:
  // The whole buffer, its spare capacity and the inline buffer of a short text included.
  static void wipeBuffer(String& text) noexcept {
    text.resize(text.capacity());  // within the capacity: no allocation
    secureWipe(text.data(), text.size() * sizeof(CharT));
    text.clear();
  }

  // Leaves the old buffer in `larger`, wiped, to be freed with it.
  void takeBuffer(String& larger) noexcept {
    wipeBuffer(text_);
    text_.swap(larger);
  }

  String text_;
};

// A key or a password as the component takes it: 16-bit text.
using SecretText = BasicSecret<char16_t>;
// Its bytes: UTF-8 from a command line or a file, or ANSI for the key schedule.
using SecretBytes = BasicSecret<char>;

}  // namespace orv
