// Key-file bytes built by hand from the documented layout, independent of
// the writer under test: the 40-byte header, profile records with their pad
// blocks, and the text-mode storing of 0x0A. Also a Prompts that records.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "file_fixtures.h"
#include "platform/prompts.h"
#include "profile/keyfile.h"

namespace kl::test {

struct TestEntry {
  uint8_t mode = 0xFF;
  std::vector<std::pair<uint8_t, uint8_t>> keys;  // (flags, vk)
};
using TestPad = std::vector<TestEntry>;

Bytes HeaderBytes();
// A record as written before the text rules: tag, the name right-aligned in
// 255 characters, 0, P, 0, L, 100 zero bytes, the pad blocks.
Bytes RecordBytes(const std::string& name, const std::vector<TestPad>& pads);
// What a text-mode stream stores for `logical`: each 0x0A as 0x0D 0x0A.
Bytes Stored(const Bytes& logical);

// The default assignments of a 10- (14 entries) or 12-button (16) pad.
TestPad DefaultPad(int entries);
// A pad of `entries` unassigned entries.
TestPad EmptyPad(int entries);
PadKeyTable ToTable(const TestPad& pad);
// Distinct tables for distinct records: a default pad whose input 4 taps
// Ctrl + `vk`.
TestPad PadWithButton(uint8_t vk, int entries = 14);
// A whole key file as stored: the header, then each record.
Bytes KeyFileBytes(const std::vector<std::pair<std::string, std::vector<TestPad>>>& records);

class RecordingPrompts : public Prompts {
 public:
  std::vector<uint32_t> messages;
  std::vector<OpenFileRequest> openRequests;
  std::optional<std::string> openAnswer;

  int MessageBox(uint32_t stringId, uint32_t) override {
    messages.push_back(stringId);
    return kIdOk;
  }
  std::optional<std::string> OpenFile(const OpenFileRequest& request) override {
    openRequests.push_back(request);
    return openAnswer;
  }
};

}  // namespace kl::test
