#include "tools/uidriver/ListView.h"

#include "tools/uidriver/Errors.h"
#include "tools/uidriver/Handles.h"
#include "tools/uidriver/Text.h"
#include "tools/uidriver/WindowFinder.h"

#include <commctrl.h>
#include <cstddef>

namespace uidriver {

namespace {

constexpr int kTextCapacity = 1024;

// The item and its text buffer in one block of the list's process, laid out
// as this build's LVITEMW (the driver and the program share a build).
struct RemoteItem {
  LVITEMW item;
  wchar_t text[kTextCapacity];
};

std::wstring CellText(HWND list, HANDLE process, const RemoteMemory& remote, int row, int column) {
  RemoteItem local{};
  local.item.iSubItem = column;
  local.item.pszText =
      reinterpret_cast<wchar_t*>(static_cast<char*>(remote.Address()) + offsetof(RemoteItem, text));
  local.item.cchTextMax = kTextCapacity;
  if (!::WriteProcessMemory(process, remote.Address(), &local, sizeof local, nullptr)) {
    throw StepFailed(SystemError("WriteProcessMemory", ::GetLastError()));
  }
  Ask(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote.Address()));
  if (!::ReadProcessMemory(process, remote.Address(), &local, sizeof local, nullptr)) {
    throw StepFailed(SystemError("ReadProcessMemory", ::GetLastError()));
  }
  local.text[kTextCapacity - 1] = L'\0';
  return local.text;
}

}  // namespace

std::vector<std::wstring> ListViewRows(HWND list, int columns) {
  ScopedHandle process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                     FALSE, ProcessOf(list)));
  if (!process.IsValid()) throw StepFailed(SystemError("OpenProcess", ::GetLastError()));
  RemoteMemory remote(process.Get(), sizeof(RemoteItem));
  if (!remote.IsValid()) throw StepFailed(SystemError("VirtualAllocEx", ::GetLastError()));
  const auto count = static_cast<int>(Ask(list, LVM_GETITEMCOUNT, 0, 0));
  std::vector<std::wstring> rows;
  for (int row = 0; row < count; ++row) {
    std::wstring line;
    for (int column = 0; column < columns; ++column) {
      if (column > 0) line += L'\t';
      line += CellText(list, process.Get(), remote, row, column);
    }
    rows.push_back(line);
  }
  return rows;
}

}  // namespace uidriver
