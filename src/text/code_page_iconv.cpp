// Code pages by name outside Windows: single-byte code pages go through a table built once (one
// load per character); UTF-8 through the project's own conversion; other multi-byte code pages
// through iconv with Windows' additions.
#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "text/ascii_reading.h"
#include "text/code_page.h"
#include "text/iconv_code_pages.h"
#include "text/utf.h"

namespace orv::text {
namespace {

bool allDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::optional<int> windowsNumber(const std::string& name) {
  const std::string n = upper(name);
  if (n == "UTF-8" || n == "UTF8") return 65001;
  for (std::string_view prefix : {"", "CP", "WINDOWS-"}) {
    const std::string_view rest = std::string_view(n).substr(std::min(prefix.size(), n.size()));
    if (n.starts_with(prefix) && allDigits(rest) && rest.size() <= 5) return std::stoi(std::string(rest));
  }
  return std::nullopt;
}

namespace {

// A bare number becomes the name iconv knows it by.
std::string iconvName(const std::string& name) {
  if (!allDigits(name)) return name;
  return name == "65001" ? "UTF-8" : "CP" + name;
}

// Decodes every byte alone through cd (the code page to UTF-16LE). A byte that begins a longer
// sequence (EINVAL: input cut short) marks a multi-byte code page. Bytes a single-byte code page
// leaves undefined map to the character of the same number, as Windows does for 0x81, 0x8D, 0x8F,
// 0x90 and 0x9D of code page 1252: every byte value must survive a trip through text, since cipher
// text travels as text.
std::optional<std::array<char16_t, 256>> singleByteDecoding(iconv_t cd) {
  std::array<char16_t, 256> table{};
  bool singleByte = true;
  for (int b = 0; b < 256 && singleByte; ++b) {
    char in = static_cast<char>(b);
    unsigned char out[8] = {};
    char* inPtr = &in;
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    if (rc == static_cast<std::size_t>(-1) && errno == EINVAL) singleByte = false;
    const bool oneUnit = rc != static_cast<std::size_t>(-1) && inLeft == 0 && sizeof out - outLeft == 2;
    table[b] = oneUnit ? static_cast<char16_t>(out[0] | (out[1] << 8)) : static_cast<char16_t>(b);
  }
  if (!singleByte) return std::nullopt;
  return table;
}

std::optional<AnyCodePage> knownCodePage(const std::string& name) {
  const std::optional<int> number = windowsNumber(name);
  if (number == 65001) return Utf8CodePage{};
  const std::string iconv = iconvName(name);
  const iconv_t cd = iconv_open("UTF-16LE", iconv.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  const std::optional<std::array<char16_t, 256>> table = singleByteDecoding(cd);
  iconv_close(cd);
  if (table) return AnyCodePage(std::in_place_type<SingleByteTable>, *table);
  // Decoding and encoding are opened apart: a name may be known one way only.
  const iconv_t back = iconv_open(iconv.c_str(), "UTF-16LE");
  if (back == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  iconv_close(back);
  return AnyCodePage(std::in_place_type<IconvCodePage>, iconv, number);
}

}  // namespace

std::variant<AnyCodePage, CodePageRefusal> makeCodePage(const std::string& name) {
  std::optional<AnyCodePage> page = knownCodePage(name);
  if (!page) return CodePageRefusal::UnknownName;
  if (!readsAsciiAsItself([&](std::string_view bytes) { return toText(*page, bytes); })) {
    return CodePageRefusal::NotAnAnsiCodePage;
  }
  return std::move(*page);
}


void appendBytes(const AnyCodePage& page, std::string& out, std::u16string_view text) {
  if (const auto* table = std::get_if<SingleByteTable>(&page)) return table->appendBytes(out, text);
  if (const auto* multi = std::get_if<IconvCodePage>(&page)) return multi->appendBytes(out, text);
  out += toUtf8(text);
}

std::u16string toText(const AnyCodePage& page, std::string_view bytes) {
  if (const auto* table = std::get_if<SingleByteTable>(&page)) return table->toText(bytes);
  if (const auto* multi = std::get_if<IconvCodePage>(&page)) return multi->toText(bytes);
  return fromUtf8(bytes);
}

namespace {

class NamedCodePage final : public CodePage {
 public:
  NamedCodePage(const std::string& name, AnyCodePage page) : name_(name), page_(std::move(page)) {}
  std::u16string toText(std::string_view bytes) const override { return text::toText(page_, bytes); }
  std::string name() const override { return name_; }

 private:
  std::string name_;
  AnyCodePage page_;
};

}  // namespace

CodePageLookup codePageNamed(const std::string& name) {
  std::variant<AnyCodePage, CodePageRefusal> made = makeCodePage(name);
  if (const auto* refusal = std::get_if<CodePageRefusal>(&made)) return *refusal;
  return std::make_unique<NamedCodePage>(name, std::move(std::get<AnyCodePage>(made)));
}

}  // namespace orv::text
