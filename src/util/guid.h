#pragma once
// A new globally unique identifier and its 38-character registry text form.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace orv::util {

// Laid out as the Windows GUID: a 32-bit number, two 16-bit numbers, 8 bytes.
struct GuidRecord {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::array<std::uint8_t, 8> data4{};
};

// Fills the record; returns 0 on success or a failure code (an HRESULT on Windows).
using GuidSource = std::function<std::int32_t(GuidRecord&)>;

std::int32_t platformNewGuid(GuidRecord& guid);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case.
std::u16string guidText(const GuidRecord& guid);

}  // namespace orv::util
