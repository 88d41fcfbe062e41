#include "text/iconv_code_page.h"

#include <iconv.h>

#include <cerrno>
#include <system_error>

#include "text/ansi_codepage.h"

namespace orv::text {
namespace {

const iconv_t kNotOpen = reinterpret_cast<iconv_t>(-1);
constexpr std::size_t kFailed = static_cast<std::size_t>(-1);

}  // namespace

// iconv descriptors carry conversion state, so each thread keeps its own pair.
struct IconvCodePage::Descriptors {
  std::string name;
  iconv_t toBytes = kNotOpen;
  iconv_t toText = kNotOpen;

  ~Descriptors() { close(); }
  void close() {
    if (toBytes != kNotOpen) iconv_close(toBytes);
    if (toText != kNotOpen) iconv_close(toText);
    toBytes = toText = kNotOpen;
  }
  void open(const std::string& codePage) {
    close();
    name = codePage;
    toBytes = iconv_open(codePage.c_str(), "UTF-16LE");
    toText = iconv_open("UTF-16LE", codePage.c_str());
    if (toBytes == kNotOpen || toText == kNotOpen) throw ConversionError("cannot open code page " + codePage + ": " + std::generic_category().message(errno));
  }
};

IconvCodePage::IconvCodePage(std::string name, std::optional<int> windowsCodePage)
    : name_(std::move(name)),
      additions_(windowsCodePage ? windowsCodePageAdditions(*windowsCodePage) : std::nullopt),
      // What Windows puts for bytes that stand for no character: katakana middle dot in 932.
      defaultCharacter_(windowsCodePage == 932 ? u'\u30FB' : u'?') {
  descriptors();  // an unknown name fails here, at once
}

IconvCodePage::Descriptors& IconvCodePage::descriptors() const {
  thread_local Descriptors perThread;
  if (perThread.name != name_ || perThread.toBytes == kNotOpen) perThread.open(name_);
  return perThread;
}

void IconvCodePage::appendBytes(std::string& out, std::u16string_view text) const {
  if (!additions_) return appendConverted(out, text);
  // Windows' own bytes for the characters of its additions; iconv for the stretches between.
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] < 0x80) continue;
    const std::optional<std::uint16_t> code = additionCode(*additions_, text[i]);
    if (!code) continue;
    appendConverted(out, text.substr(start, i - start));
    if (*code >= 0x100) out.push_back(static_cast<char>(*code >> 8));
    out.push_back(static_cast<char>(*code & 0xFF));
    start = i + 1;
  }
  appendConverted(out, text.substr(start));
}

void IconvCodePage::appendConverted(std::string& out, std::u16string_view text) const {
  if (text.empty()) return;
  iconv_t cd = descriptors().toBytes;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  auto* in = const_cast<char*>(reinterpret_cast<const char*>(text.data()));
  std::size_t inLeft = text.size() * sizeof(char16_t);
  std::size_t used = out.size();
  out.resize(used + text.size() * 2 + 8);
  while (inLeft > 0) {
    char* outPtr = out.data() + used;
    std::size_t outLeft = out.size() - used;
    const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    used = out.size() - outLeft;
    if (rc != kFailed) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // A character the code page lacks, or half of a surrogate pair: one '?' for each 16-bit
    // unit, as Windows writes them.
    if (out.size() - used < 1) out.resize(out.size() * 2);
    out[used++] = '?';
    in += sizeof(char16_t);
    inLeft -= sizeof(char16_t);
  }
  out.resize(used);
}

std::u16string IconvCodePage::toText(std::string_view bytes) const {
  std::u16string text(bytes.size() + 1, u'\0');
  if (bytes.empty()) return {};
  iconv_t cd = descriptors().toText;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  auto* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  std::size_t used = 0;  // in 16-bit units
  while (inLeft > 0) {
    auto* outPtr = reinterpret_cast<char*>(text.data() + used);
    std::size_t outLeft = (text.size() - used) * sizeof(char16_t);
    const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    used = text.size() - outLeft / sizeof(char16_t);
    if (rc != kFailed) break;
    if (errno == E2BIG) {
      text.resize(text.size() * 2);
      continue;
    }
    if (text.size() - used < 1) text.resize(text.size() * 2);
    // Bytes iconv cannot read: one of Windows' additions (a double-byte code first), or a
    // byte that stands for nothing.
    const auto first = static_cast<unsigned char>(in[0]);
    std::optional<char16_t> added;
    std::size_t length = 1;
    if (additions_) {
      if (inLeft >= 2)
        added =
            additionCharacter(*additions_, static_cast<std::uint16_t>(first << 8 | static_cast<unsigned char>(in[1])));
      if (added) {
        length = 2;
      } else {
        added = additionCharacter(*additions_, first);
      }
    }
    text[used++] = added.value_or(defaultCharacter_);
    in += length;
    inLeft -= length;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  text.resize(used);
  return text;
}

}  // namespace orv::text
