// The order in which one document goes to a printer, apart from the device
// it goes to: the document starts, each page starts, is drawn and ends, the
// document ends. A step the device refuses stops the run there: a refused
// page aborts the document (nothing more is drawn), a document refused at
// its start or its end needs no abort. The answer is the error to show the
// user: the device's own code for the step that failed, or the fallback
// when the device gave none. No Windows headers, so the order and every
// failure path are tested natively; print.cpp puts a printer's device
// context behind it.
#pragma once

#include <cstdint>

namespace kl {

class DocumentDevice {
 public:
  virtual ~DocumentDevice() = default;
  // bool StartDocument(): true when the device takes a new document.
  virtual bool StartDocument() = 0;
  // bool StartPage(): true when the device starts a new page.
  virtual bool StartPage() = 0;
  // void DrawPage(unsigned page): draws page `page` (from 1) on the started page.
  virtual void DrawPage(unsigned page) = 0;
  // bool EndPage(): true when the device took the page drawn.
  virtual bool EndPage() = 0;
  // bool EndDocument(): true when the device took the whole document.
  virtual bool EndDocument() = 0;
  // void AbortDocument(): drops the document started.
  virtual void AbortDocument() = 0;
  // uint32_t LastError(): the device's error code for the step that just failed, 0 for none.
  virtual uint32_t LastError() = 0;
};

// Prints pages `from` .. `to` on `device` as one document: 0 when it was
// printed, else the error code of the step that failed (`fallback` when
// the device named none).
inline uint32_t RunDocument(DocumentDevice& device, unsigned from, unsigned to, uint32_t fallback) {
  const auto failed = [&] {
    const uint32_t error = device.LastError();
    return error != 0 ? error : fallback;
  };
  if (!device.StartDocument()) return failed();
  for (unsigned page = from; page <= to; ++page) {
    const bool started = device.StartPage();
    if (started) device.DrawPage(page);
    if (!started || !device.EndPage()) {
      const uint32_t error = failed();  // before the abort, which has errors of its own
      device.AbortDocument();
      return error;
    }
  }
  return device.EndDocument() ? 0 : failed();
}

}  // namespace kl
