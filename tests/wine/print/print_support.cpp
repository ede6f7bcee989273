#include "print/print_support.h"

#include <winspool.h>
#include <winternl.h>

#include <cstring>
#include <string>
#include <vector>

#include "harness/support.h"

namespace kl::printtest {

bool SetOrientation(short orientation) {
  HANDLE printer = nullptr;
  PRINTER_DEFAULTSA access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
  if (!OpenPrinterA(const_cast<char*>(kPrinter), &printer, &access)) return false;
  DWORD needed = 0;
  GetPrinterA(printer, 2, nullptr, 0, &needed);
  std::string buffer(needed, '\0');
  auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
  bool ok = needed > 0 &&
            GetPrinterA(printer, 2, reinterpret_cast<BYTE*>(buffer.data()), needed, &needed) &&
            info->pDevMode != nullptr;
  if (ok) {
    info->pDevMode->dmOrientation = orientation;
    info->pDevMode->dmFields |= DM_ORIENTATION;
    info->pSecurityDescriptor = nullptr;
    PRINTER_INFO_9A user = {info->pDevMode};
    ok = SetPrinterA(printer, 2, reinterpret_cast<BYTE*>(info), 0) != FALSE;
    ok = (SetPrinterA(printer, 9, reinterpret_cast<BYTE*>(&user), 0) != FALSE) && ok;
  }
  ClosePrinter(printer);
  return ok;
}

bool InstallPrinter() {
  char folder[MAX_PATH] = {};
  DWORD needed = 0;
  if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(folder),
                                  sizeof folder, &needed)) {
    return false;
  }
  const std::string ppd = winetest::ProgramFolder() + "KLTEST.PPD";
  if (!CopyFileA(ppd.c_str(), (std::string(folder) + "\\KLTEST.PPD").c_str(), FALSE)) {
    return false;
  }
  DRIVER_INFO_3A driver = {};
  driver.cVersion = 3;
  driver.pName = const_cast<char*>(kDriver);
  driver.pDriverPath = const_cast<char*>("wineps.drv");
  driver.pDataFile = const_cast<char*>("KLTEST.PPD");
  driver.pConfigFile = const_cast<char*>("wineps.drv");
  if (!AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES)) {
    return false;
  }
  PRINTER_INFO_2A printer = {};
  printer.pPrinterName = const_cast<char*>(kPrinter);
  printer.pPortName = const_cast<char*>("FILE:");
  printer.pDriverName = const_cast<char*>(kDriver);
  printer.pPrintProcessor = const_cast<char*>("WinPrint");
  printer.pDatatype = const_cast<char*>("RAW");
  HANDLE handle = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
  if (handle != nullptr) {
    ClosePrinter(handle);
  } else if (GetLastError() != ERROR_PRINTER_ALREADY_EXISTS) {
    return false;
  }
  return SetDefaultPrinterA(kPrinter) != FALSE && SetOrientation(DMORIENT_PORTRAIT);
}

bool RemovePrinter() {
  HANDLE printer = nullptr;
  PRINTER_DEFAULTSA access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
  if (!OpenPrinterA(const_cast<char*>(kPrinter), &printer, &access)) return false;
  const bool deleted = DeletePrinter(printer) != FALSE;
  ClosePrinter(printer);
  return deleted;
}

int GdiObjects(HANDLE process) {
  PROCESS_BASIC_INFORMATION basic = {};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) !=
      0) {
    return -1;
  }
  const size_t offset = sizeof(void*) == 8 ? 0xF8 : 0x94;  // GdiSharedHandleTable
  const BYTE* tableAddress = nullptr;
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, reinterpret_cast<const BYTE*>(basic.PebBaseAddress) + offset,
                         &tableAddress, sizeof tableAddress, &read) ||
      tableAddress == nullptr) {
    return -1;
  }
  // Entries of 24 bytes: the object's address (8 bytes), the owner (4), a
  // counter (2), the type (1) and flags (1), a user pointer (8).
  constexpr size_t kEntries = 0x10000;
  constexpr size_t kEntrySize = 24;
  constexpr size_t kTypeOffset = 14;
  std::vector<BYTE> table(kEntries * kEntrySize);
  if (!ReadProcessMemory(process, tableAddress, table.data(), table.size(), &read) ||
      read != table.size()) {
    return -1;
  }
  int count = 0;
  for (size_t i = 0; i < kEntries; ++i) {
    const BYTE* entry = table.data() + i * kEntrySize;
    UINT64 object = 0;
    std::memcpy(&object, entry, sizeof object);
    const UCHAR type = entry[kTypeOffset];
    count += type != 0 && object != 0;
  }
  return count;
}

}  // namespace kl::printtest
