#include "tools/vpad/vpad_block.h"

#include <cstring>

namespace kl::vpad {

namespace {

// Bounded waits: a reader never spins for ever on a writer that died
// mid-change, and a writer gives up rather than hang a test.
constexpr int kReadAttempts = 1000;
constexpr DWORD kWriterWaitMs = 5000;

bool ValidNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.';
}

}  // namespace

std::string BlockName() {
  char buffer[80] = {};
  DWORD length = GetEnvironmentVariableA("KLVPAD_NAME", buffer, sizeof buffer);
  if (length == 0 || length > 64) {
    return "default";
  }
  std::string name(buffer, length);
  for (char c : name) {
    if (!ValidNameChar(c)) {
      return "default";
    }
  }
  return name;
}

Device NewDevice() {
  Device device = {};
  device.configured = 1;
  device.numButtons = 12;
  device.numAxes = 2;
  for (uint32_t& axis : device.axes) {
    axis = kCentre;
  }
  device.pov = kPovCentred;
  std::strcpy(device.regKey, "VPAD");
  std::strcpy(device.name, "KeyLoom Virtual Pad");
  return device;
}

Device Sanitised(const Device& device) {
  Device copy = device;
  copy.regKey[kTextSize - 1] = '\0';
  copy.name[kTextSize - 1] = '\0';
  if (copy.numButtons > kMaxButtons) {
    copy.numButtons = kMaxButtons;
  }
  if (copy.numAxes > kMaxAxes) {
    copy.numAxes = kMaxAxes;
  }
  copy.plugged = copy.plugged != 0 ? 1 : 0;
  copy.hasPov = copy.hasPov != 0 ? 1 : 0;
  return copy;
}

SharedBlock::~SharedBlock() {
  if (m_block != nullptr) {
    UnmapViewOfFile(m_block);
  }
  if (m_mapping != nullptr) {
    CloseHandle(m_mapping);
  }
  if (m_file != INVALID_HANDLE_VALUE) {
    CloseHandle(m_file);
  }
  if (m_mutex != nullptr) {
    CloseHandle(m_mutex);
  }
}

bool SharedBlock::Open() {
  if (m_block != nullptr) {
    return true;
  }
  std::string name = BlockName();
  char folder[MAX_PATH + 1] = {};
  DWORD length = GetTempPathA(sizeof folder, folder);
  if (length == 0 || length >= sizeof folder) {
    return false;
  }
  std::string path = std::string(folder) + "klvpad-" + name + ".bin";
  m_file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  if (m_file == INVALID_HANDLE_VALUE) {
    return false;
  }
  // A mapping larger than the file grows it; new bytes read as zero.
  std::string object = "Local\\klvpad-" + name;
  m_mapping = CreateFileMappingA(m_file, nullptr, PAGE_READWRITE, 0, sizeof(Block), object.c_str());
  if (m_mapping == nullptr) {
    return false;
  }
  m_block = static_cast<Block*>(MapViewOfFile(m_mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Block)));
  if (m_block == nullptr) {
    return false;
  }
  m_mutex = CreateMutexA(nullptr, FALSE, (object + "-writer").c_str());
  return true;
}

bool SharedBlock::Read(uint32_t id, Device& device) const {
  if (m_block == nullptr || id >= kDeviceCount || m_block->magic != kMagic ||
      m_block->version != kVersion) {
    return false;
  }
  Device copy = {};
  for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
    LONG before = InterlockedCompareExchange(&m_block->sequence, 0, 0);
    if ((before & 1) == 0) {
      std::memcpy(&copy, &m_block->devices[id], sizeof copy);
      MemoryBarrier();
      if (InterlockedCompareExchange(&m_block->sequence, 0, 0) == before) {
        break;
      }
    }
    Sleep(0);
  }
  device = Sanitised(copy);
  return true;
}

bool SharedBlock::BeginWrite() {
  if (m_block == nullptr || m_mutex == nullptr) {
    return false;
  }
  DWORD wait = WaitForSingleObject(m_mutex, kWriterWaitMs);
  if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
    return false;
  }
  // A writer that died mid-change left the count odd; even it out first.
  if ((m_block->sequence & 1) != 0) {
    InterlockedIncrement(&m_block->sequence);
  }
  InterlockedIncrement(&m_block->sequence);
  if (m_block->magic != kMagic || m_block->version != kVersion) {
    std::memset(m_block->devices, 0, sizeof m_block->devices);
    m_block->configChanged = 0;
    m_block->magic = kMagic;
    m_block->version = kVersion;
  }
  return true;
}

void SharedBlock::EndWrite() {
  InterlockedIncrement(&m_block->sequence);
  ReleaseMutex(m_mutex);
}

void SharedBlock::NoteConfigChanged() {
  if (m_block != nullptr) {
    InterlockedIncrement(&m_block->configChanged);
  }
}

LONG SharedBlock::ConfigChangedCount() const {
  return m_block != nullptr ? InterlockedCompareExchange(&m_block->configChanged, 0, 0) : 0;
}

}  // namespace kl::vpad
