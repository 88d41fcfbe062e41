// Build tool (runs on the build machine): retypes named by-value parameters of a widl type
// library to by-reference, in place in the binary.
//
// widl stores a text default value only on a text parameter, never on BSTR*. So ShowAbout's
// parameters are compiled as [in, optional, defaultvalue("")] BSTR, and this tool then gives
// them the type of a model BSTR* parameter and the [out] flag, keeping the stored default:
// [in, out, optional, defaultvalue("")] BSTR*, as clients know them.
//
// usage: typelib_retype <in.tlb> <out.tlb> <model parameter> <parameter>...
// Format: the MSFT layout that widl writes (header, segment directory, type info table,
// function records with their parameter triples at the end, name table).
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kHeaderSize = 0x54;
constexpr std::uint32_t kHelpDllFlag = 0x100;
constexpr int kSegmentCount = 15;
constexpr int kTypeInfoSegment = 0;
constexpr int kNameSegment = 7;
constexpr int kTypeInfoSize = 100;
constexpr std::uint32_t kBstrByValue = 0x80080008;  // immediate VT_BSTR
constexpr std::int32_t kParamFlagOut = 0x2;
constexpr int kTypeDescSize = 8;  // what widl counts per pointer level in a function's descriptor size

std::int32_t read32(const std::vector<unsigned char>& data, std::size_t at) {
  if (at + 4 > data.size()) throw std::runtime_error("truncated type library");
  std::int32_t value = 0;
  std::memcpy(&value, data.data() + at, 4);
  return value;
}

std::int16_t read16(const std::vector<unsigned char>& data, std::size_t at) {
  if (at + 2 > data.size()) throw std::runtime_error("truncated type library");
  std::int16_t value = 0;
  std::memcpy(&value, data.data() + at, 2);
  return value;
}

void write32(std::vector<unsigned char>& data, std::size_t at, std::int32_t value) { std::memcpy(data.data() + at, &value, 4); }
void write16(std::vector<unsigned char>& data, std::size_t at, std::int16_t value) { std::memcpy(data.data() + at, &value, 2); }

struct Parameter {
  std::size_t record;  // offset of the function record
  std::size_t triple;  // offset of {DataType, oName, Flags}
};

std::string nameAt(const std::vector<unsigned char>& data, std::size_t nameTable, std::int32_t offset) {
  const std::size_t intro = nameTable + static_cast<std::size_t>(offset);
  const std::size_t length = static_cast<std::size_t>(read32(data, intro + 8) & 0xff);
  if (intro + 12 + length > data.size()) throw std::runtime_error("name out of range");
  return std::string(reinterpret_cast<const char*>(data.data() + intro + 12), length);
}

// Every parameter of every function record, by name.
std::multimap<std::string, Parameter> parameters(const std::vector<unsigned char>& data) {
  if (data.size() < kHeaderSize || std::memcmp(data.data(), "MSFT", 4) != 0) throw std::runtime_error("not an MSFT type library");
  const auto flags = static_cast<std::uint32_t>(read32(data, 0x14));
  const std::int32_t typeInfoCount = read32(data, 0x20);
  std::size_t directory = kHeaderSize + ((flags & kHelpDllFlag) != 0 ? 4 : 0) + static_cast<std::size_t>(typeInfoCount) * 4;
  const auto segment = [&](int index) { return static_cast<std::size_t>(read32(data, directory + index * 16)); };
  if (directory + kSegmentCount * 16 > data.size()) throw std::runtime_error("truncated segment directory");
  const std::size_t typeInfos = segment(kTypeInfoSegment);
  const std::size_t names = segment(kNameSegment);

  std::multimap<std::string, Parameter> found;
  for (std::int32_t i = 0; i < typeInfoCount; ++i) {
    const std::size_t base = typeInfos + static_cast<std::size_t>(i) * kTypeInfoSize;
    const std::int32_t functions = read32(data, base + 24) & 0xffff;
    const std::int32_t records = read32(data, base + 4);
    if (functions == 0 || records < 0 || static_cast<std::size_t>(records) >= data.size()) continue;
    std::size_t record = static_cast<std::size_t>(records) + 4;
    for (std::int32_t f = 0; f < functions; ++f) {
      const std::size_t size = static_cast<std::size_t>(read32(data, record) & 0xffff);
      const int count = read16(data, record + 20);
      for (int p = 0; p < count; ++p) {
        const std::size_t triple = record + size - static_cast<std::size_t>(count - p) * 12;
        found.emplace(nameAt(data, names, read32(data, triple + 4)), Parameter{record, triple});
      }
      record += size;
    }
  }
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: %s in.tlb out.tlb model-parameter parameter...\n", argv[0]);
    return 2;
  }
  try {
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto all = parameters(data);
    const auto model = all.find(argv[3]);
    if (model == all.end()) throw std::runtime_error(std::string("no parameter named ") + argv[3]);
    const std::int32_t byReference = read32(data, model->second.triple);

    for (int i = 4; i < argc; ++i) {
      const auto [first, last] = all.equal_range(argv[i]);
      if (first == last) throw std::runtime_error(std::string("no parameter named ") + argv[i]);
      for (auto it = first; it != last; ++it) {
        const Parameter& parameter = it->second;
        if (static_cast<std::uint32_t>(read32(data, parameter.triple)) != kBstrByValue) {
          throw std::runtime_error(std::string(argv[i]) + " is not a BSTR passed by value");
        }
        write32(data, parameter.triple, byReference);
        write32(data, parameter.triple + 8, read32(data, parameter.triple + 8) | kParamFlagOut);
        // The descriptor a client's oleaut32 rebuilds now holds one more TYPEDESC.
        write16(data, parameter.record + 14, static_cast<std::int16_t>(read16(data, parameter.record + 14) + kTypeDescSize));
      }
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    return out ? 0 : 1;
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "typelib_retype: %s\n", failure.what());
    return 1;
  }
}
