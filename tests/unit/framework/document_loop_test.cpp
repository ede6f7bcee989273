// The document loop against a device that refuses one chosen step: what it
// was asked, in order, and the error the user is shown.
#include "framework/document_loop.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace kl {
namespace {

// Refuses step `refuse` with `error` and writes every step it is asked for
// into `steps`: "doc", "pageN" and "endN" for the start and end of the Nth
// page of the document, "drawP" for drawing page P, "abort", "enddoc".
class ScriptedDevice : public DocumentDevice {
 public:
  ScriptedDevice(std::string refuse, uint32_t error)
      : m_refuse(std::move(refuse)), m_error(error) {}
  std::string steps;

  bool StartDocument() override { return Step("doc"); }
  bool StartPage() override { return Step("page" + std::to_string(++m_started)); }
  void DrawPage(unsigned page) override { steps += "draw" + std::to_string(page) + " "; }
  bool EndPage() override { return Step("end" + std::to_string(m_started)); }
  bool EndDocument() override { return Step("enddoc"); }
  void AbortDocument() override {
    m_last = 0;  // an abort has answers of its own
    steps += "abort ";
  }
  uint32_t LastError() override { return m_last; }

 private:
  bool Step(const std::string& step) {
    steps += step + " ";
    const bool refused = step == m_refuse;
    m_last = refused ? m_error : 0;
    return !refused;
  }
  std::string m_refuse;
  uint32_t m_error;
  uint32_t m_last = 0;
  unsigned m_started = 0;
};

constexpr uint32_t kFallback = 31;

TEST(DocumentLoop, EveryRefusedStepEndsTheRunWithItsError) {
  const struct {
    const char* name;
    const char* refuse;
    uint32_t error;
    uint32_t shown;
    const char* steps;
  } cases[] = {
      {"printed", "", 0, 0, "doc page1 draw1 end1 page2 draw2 end2 page3 draw3 end3 enddoc "},
      {"document refused at its start", "doc", 5, 5, "doc "},
      {"first page refused at its start", "page1", 112, 112, "doc page1 abort "},
      {"second page refused at its start", "page2", 0, kFallback,
       "doc page1 draw1 end1 page2 abort "},
      {"a drawn page refused", "end2", 6, 6, "doc page1 draw1 end1 page2 draw2 end2 abort "},
      {"the last page refused", "end3", 0, kFallback,
       "doc page1 draw1 end1 page2 draw2 end2 page3 draw3 end3 abort "},
      {"document refused at its end", "enddoc", 6, 6,
       "doc page1 draw1 end1 page2 draw2 end2 page3 draw3 end3 enddoc "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedDevice device(c.refuse, c.error);
    EXPECT_EQ(RunDocument(device, 1, 3, kFallback), c.shown);
    EXPECT_EQ(device.steps, c.steps);
  }
}

TEST(DocumentLoop, OnlyTheChosenPagesAreDrawn) {
  ScriptedDevice device("", 0);
  EXPECT_EQ(RunDocument(device, 2, 3, kFallback), 0u);
  EXPECT_EQ(device.steps, "doc page1 draw2 end1 page2 draw3 end2 enddoc ");
}

}  // namespace
}  // namespace kl
