#include "file_fixtures.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace kl::test {

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kl-profile-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp failed");
  m_path = std::string(buffer.data()) + "/";
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(m_path, ec);
}

Bytes ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

FolderState ReadFolder(const std::string& folder) {
  FolderState state;
  for (const auto& item : std::filesystem::directory_iterator(folder)) {
    state[item.path().filename().string()] =
        item.is_regular_file() ? ReadFileBytes(item.path().string()) : Bytes("<not a file>");
  }
  return state;
}

void WriteFolder(const std::string& folder, const FolderState& state) {
  for (const auto& item : std::filesystem::directory_iterator(folder)) {
    std::filesystem::remove_all(item.path());
  }
  for (const auto& [name, bytes] : state)
    WriteFileBytes((std::filesystem::path(folder) / name).string(), bytes);
}

size_t MemoryFile::Read(void* buffer, size_t size) {
  ++m_readCalls;
  size_t take = std::min({size, m_chunk, m_bytes.size() - std::min(m_pos, m_bytes.size())});
  std::memcpy(buffer, m_bytes.data() + m_pos, take);
  m_pos += take;
  return take;
}

bool MemoryFile::Write(const void* buffer, size_t size) {
  if (m_pos > m_bytes.size()) m_bytes.resize(m_pos);
  m_bytes.replace(m_pos, std::min(size, m_bytes.size() - m_pos), static_cast<const char*>(buffer),
                  size);
  m_pos += size;
  return true;
}

bool MemoryFile::Seek(uint64_t offset) {
  m_pos = static_cast<size_t>(offset);
  return true;
}

namespace {

// A host file whose writes, flushes and close consult the owner.
class FaultyFile : public File {
 public:
  FaultyFile(std::unique_ptr<File> inner, FaultyFileSystem& owner)
      : m_inner(std::move(inner)), m_owner(owner) {}
  size_t Read(void* buffer, size_t size) override {
    // A failing read looks like the end of the data, as fread's does.
    if (m_owner.ShouldFail(FaultyFileSystem::Step::kRead)) {
      m_readFailed = true;
      return 0;
    }
    return m_inner->Read(buffer, size);
  }
  bool ReadFailed() const override { return m_readFailed || m_inner->ReadFailed(); }
  bool Write(const void* buffer, size_t size) override {
    if (m_owner.ShouldFail(FaultyFileSystem::Step::kWrite)) {
      // A torn write: half of the bytes reach the file.
      m_inner->Write(buffer, size / 2);
      return false;
    }
    return m_inner->Write(buffer, size);
  }
  bool Flush() override {
    if (m_owner.ShouldFail(FaultyFileSystem::Step::kFlush)) return false;
    return m_inner->Flush();
  }
  bool Seek(uint64_t offset) override { return m_inner->Seek(offset); }
  uint64_t Tell() override { return m_inner->Tell(); }
  bool Close() override {
    bool closed = m_inner->Close();
    if (m_owner.ShouldFail(FaultyFileSystem::Step::kClose)) return false;
    return closed;
  }

 private:
  std::unique_ptr<File> m_inner;
  FaultyFileSystem& m_owner;
  bool m_readFailed = false;
};

}  // namespace

int FaultyFileSystem::Count(Step step) const {
  return m_counts[static_cast<int>(step)];
}

bool FaultyFileSystem::ShouldFail(Step step) {
  int n = ++m_counts[static_cast<int>(step)];
  if (step == m_failStep && n == m_failAt) {
    m_failed = true;
    return true;
  }
  return false;
}

std::unique_ptr<File> FaultyFileSystem::Open(const std::string& path, OpenMode mode) {
  if (!m_failOpenPath.empty() && path == m_failOpenPath) return nullptr;
  if (ShouldFail(Step::kOpen)) return nullptr;
  std::unique_ptr<File> inner = m_host.Open(path, mode);
  if (!inner) return nullptr;
  return std::make_unique<FaultyFile>(std::move(inner), *this);
}

bool FaultyFileSystem::Remove(const std::string& path) {
  if (ShouldFail(Step::kRemove)) return false;
  return m_host.Remove(path);
}

bool FaultyFileSystem::Rename(const std::string& from, const std::string& to) {
  if (ShouldFail(Step::kRename)) return false;
  return m_host.Rename(from, to);
}

}  // namespace kl::test
