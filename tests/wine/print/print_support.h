// What the printing tests share: Wine's PostScript driver installed with
// the test's printer description (KLTEST.PPD beside the test program) as a
// printer on the FILE: port that is the system's default, its default
// orientation, a system without that printer for the failure tests, and
// a count of a process's GDI objects taken from the handle table the system
// keeps for it (GetGuiResources answers 0 under Wine).
#pragma once

#include <windows.h>

namespace kl::printtest {

constexpr char kPrinter[] = "KeyLoom Test";
constexpr char kDriver[] = "KeyLoom Test Printer";

// The driver, the printer and the system's default printer, in portrait.
bool InstallPrinter();
// Deletes the printer: the system then has none.
bool RemovePrinter();
// No printer while it lives; the test printer installed again at its end,
// whatever way the test leaves.
class WithoutPrinter {
 public:
  WithoutPrinter() : m_removed(RemovePrinter()) {}
  WithoutPrinter(const WithoutPrinter&) = delete;
  WithoutPrinter& operator=(const WithoutPrinter&) = delete;
  ~WithoutPrinter() { InstallPrinter(); }
  bool Removed() const { return m_removed; }

 private:
  bool m_removed;
};
// Makes `orientation` (DMORIENT_PORTRAIT or DMORIENT_LANDSCAPE) the printer's default.
bool SetOrientation(short orientation);
// The GDI objects `process` holds (opened with PROCESS_QUERY_INFORMATION
// and PROCESS_VM_READ), or -1 when the table cannot be read.
int GdiObjects(HANDLE process);

}  // namespace kl::printtest
