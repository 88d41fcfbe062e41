#include "process_handles.h"

#include <windows.h>
#include <winternl.h>

#include <stdexcept>
#include <vector>

namespace orv::wintest {
namespace {

constexpr ULONG kSystemHandleInformation = 16;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);

struct HandleEntry {
  ULONG ownerProcess;
  BYTE objectType;
  BYTE flags;
  USHORT value;
  PVOID object;
  ULONG access;
};

struct HandleTable {
  ULONG count;
  HandleEntry entries[1];
};

using QuerySystemInformation = NTSTATUS(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

}  // namespace

std::size_t openHandleCount() {
  const auto query = reinterpret_cast<QuerySystemInformation>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) throw std::runtime_error("NtQuerySystemInformation is missing");
  std::vector<char> buffer(1 << 20);
  NTSTATUS status;
  ULONG needed = 0;
  while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
         kInfoLengthMismatch) {
    buffer.resize(buffer.size() * 2);
  }
  if (status != 0) throw std::runtime_error("the system handle table cannot be read");
  const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
  const DWORD self = GetCurrentProcessId();
  std::size_t count = 0;
  for (ULONG i = 0; i < table->count; ++i) count += table->entries[i].ownerProcess == self ? 1 : 0;
  return count;
}

}  // namespace orv::wintest
