#include "platform/sim/sim_dosbox.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace kl {

namespace {

bool SameNameIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    if (std::tolower(static_cast<unsigned char>(*a)) !=
        std::tolower(static_cast<unsigned char>(*b))) {
      return false;
    }
  }
  return *a == *b;
}

}  // namespace

void SimDosBox::SetProgram(const std::string& path) {
  answer.assign(path.begin(), path.end());
  answer.push_back(0);
  present = true;
}

DosBoxDriver::Handle SimDosBox::Open(const char* deviceName) {
  openedNames.emplace_back(deviceName ? deviceName : "");
  if (!present || !deviceName || !SameNameIgnoringCase(deviceName, kDosBoxDeviceName)) {
    m_lastError = kErrorFileNotFound;
    return kInvalidHandle;
  }
  Handle handle = m_nextHandle;
  m_nextHandle += 4;
  m_open.insert(handle);
  ++openHandles;
  m_lastError = 0;
  return handle;
}

bool SimDosBox::Control(Handle device, uint32_t code, void* in, uint32_t inSize) {
  controlCodes.push_back(code);
  if (m_open.count(device) == 0) {
    m_lastError = kErrorInvalidHandle;
    return false;
  }
  switch (code) {
    case 1:
      m_lastError = 0;
      return true;
    case 2: {
      if (!answerSucceeds) {
        m_lastError = failureError;
        return false;
      }
      if (!in && inSize != 0) {
        m_lastError = kErrorNoAccess;
        return false;
      }
      size_t count = std::min<size_t>(answer.size(), inSize);
      if (count != 0) std::memcpy(in, answer.data(), count);
      m_lastError = 0;
      return true;
    }
    default:
      m_lastError = kErrorInvalidFunction;
      return false;
  }
}

void SimDosBox::Close(Handle device) {
  if (m_open.erase(device) != 0) {
    --openHandles;
  } else {
    m_lastError = kErrorInvalidHandle;
  }
}

}  // namespace kl
