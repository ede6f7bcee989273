#include "profile/textstream.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace kl {
namespace {

constexpr size_t kBufferSize = 4096;
constexpr uint8_t kCr = 0x0D;
constexpr uint8_t kLf = 0x0A;
constexpr uint8_t kCtrlZByte = 0x1A;

}  // namespace

TextStream::TextStream(std::unique_ptr<File> file, CtrlZ ctrlZ)
    : m_file(std::move(file)), m_ctrlZ(ctrlZ), m_buffer(kBufferSize) {
  if (m_file) {
    m_base = m_file->Tell();
  } else {
    m_failed = true;
  }
}

TextStream::~TextStream() {
  if (m_file) Close();
}

bool TextStream::StartReading() {
  if (!m_file) return false;
  if (m_direction == Direction::kReading) return true;
  if (!WritePending()) return false;
  m_direction = Direction::kReading;
  return true;
}

bool TextStream::StartWriting() {
  if (!m_file || m_failed) return false;
  if (m_direction == Direction::kWriting) return true;
  // The file is ahead of the reader by what was read into the buffer.
  if (m_pos != m_end && !m_file->Seek(m_base + m_pos)) {
    m_failed = true;
    return false;
  }
  m_base += m_pos;
  m_pos = 0;
  m_end = 0;
  m_direction = Direction::kWriting;
  return true;
}

bool TextStream::WritePending() {
  if (m_direction != Direction::kWriting || m_pos == 0) return !m_failed;
  if (!m_failed && !m_file->Write(m_buffer.data(), m_pos)) m_failed = true;
  m_base += m_pos;
  m_pos = 0;
  return !m_failed;
}

size_t TextStream::EnsureStored(size_t count) {
  if (!StartReading()) return 0;
  size_t available = m_end - m_pos;
  if (available >= count) return available;
  if (m_pos > 0) {
    std::memmove(m_buffer.data(), m_buffer.data() + m_pos, available);
    m_base += m_pos;
    m_pos = 0;
    m_end = available;
  }
  while (m_end < count) {
    size_t got = m_file->Read(m_buffer.data() + m_end, m_buffer.size() - m_end);
    if (got == 0) {
      // An error is not the end of the data: whoever copies must know.
      if (m_file->ReadFailed()) m_failed = true;
      break;
    }
    m_end += got;
  }
  return m_end - m_pos;
}

bool TextStream::IsWhiteSpace(int byte) const {
  return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

int TextStream::PeekByte() {
  if (m_ctrlZSeen) return kEnd;
  size_t available = EnsureStored(2);
  if (available == 0) return kEnd;
  uint8_t b = m_buffer[m_pos];
  if (b == kCtrlZByte && m_ctrlZ == CtrlZ::kEndsReading) return kEnd;
  if (b == kCr && available >= 2 && m_buffer[m_pos + 1] == kLf) return kLf;
  return b;
}

int TextStream::ReadByte() {
  if (m_ctrlZSeen) return kEnd;
  size_t available = EnsureStored(2);
  if (available == 0) return kEnd;
  uint8_t b = m_buffer[m_pos];
  if (b == kCtrlZByte && m_ctrlZ == CtrlZ::kEndsReading) {
    // The end stays where the 0x1A is, as a text-mode C stream leaves it.
    m_ctrlZSeen = true;
    return kEnd;
  }
  if (b == kCr && available >= 2 && m_buffer[m_pos + 1] == kLf) {
    m_pos += 2;
    return kLf;
  }
  m_pos += 1;
  return b;
}

size_t TextStream::PlainRun(size_t limit) const {
  if (m_ctrlZSeen || m_direction != Direction::kReading || m_pos >= m_end) return 0;
  const uint8_t* begin = m_buffer.data() + m_pos;
  size_t run = std::min(limit, m_end - m_pos);
  if (const void* cr = std::memchr(begin, kCr, run)) {
    run = static_cast<size_t>(static_cast<const uint8_t*>(cr) - begin);
  }
  if (m_ctrlZ == CtrlZ::kEndsReading) {
    if (const void* eof = std::memchr(begin, kCtrlZByte, run)) {
      run = static_cast<size_t>(static_cast<const uint8_t*>(eof) - begin);
    }
  }
  return run;
}

size_t TextStream::Read(void* buffer, size_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < count) {
    // Plain bytes in one copy; a CR, a 0x1A or an empty buffer byte by byte.
    if (const size_t run = PlainRun(count - done)) {
      std::memcpy(out + done, m_buffer.data() + m_pos, run);
      m_pos += run;
      done += run;
      continue;
    }
    int b = ReadByte();
    if (b == kEnd) break;
    out[done++] = static_cast<uint8_t>(b);
  }
  return done;
}

size_t TextStream::Skip(size_t count) {
  size_t done = 0;
  while (done < count) {
    if (const size_t run = PlainRun(count - done)) {
      m_pos += run;
      done += run;
      continue;
    }
    if (ReadByte() == kEnd) break;
    ++done;
  }
  return done;
}

std::optional<std::string> TextStream::ReadWord(size_t width) {
  int c = PeekByte();
  while (c != kEnd && IsWhiteSpace(c)) {
    ReadByte();
    c = PeekByte();
  }
  if (c == kEnd || width == 0) return std::nullopt;
  std::string word;
  while (word.size() < width && c != kEnd && !IsWhiteSpace(c)) {
    word.push_back(static_cast<char>(ReadByte()));
    c = PeekByte();
  }
  return word;
}

std::optional<int32_t> TextStream::ReadDecimal() {
  int c = PeekByte();
  while (c != kEnd && IsWhiteSpace(c)) {
    ReadByte();
    c = PeekByte();
  }
  bool negative = false;
  if (c == '+' || c == '-') {
    negative = c == '-';
    ReadByte();
    c = PeekByte();
  }
  if (c < '0' || c > '9') return std::nullopt;
  int64_t value = 0;
  while (c >= '0' && c <= '9') {
    value = std::min<int64_t>(value * 10 + (c - '0'), int64_t{INT_MAX} + 1);
    ReadByte();
    c = PeekByte();
  }
  if (negative) value = -value;
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

bool TextStream::Write(const void* buffer, size_t count) {
  if (!StartWriting()) return false;
  const auto* in = static_cast<const uint8_t*>(buffer);
  for (size_t i = 0; i < count; ++i) {
    // Room for a CR LF pair.
    if (m_pos + 2 > m_buffer.size() && !WritePending()) return false;
    if (in[i] == kLf) m_buffer[m_pos++] = kCr;
    m_buffer[m_pos++] = in[i];
  }
  return !m_failed;
}

size_t TextStream::ReadStored(void* buffer, size_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < count) {
    size_t available = EnsureStored(1);
    if (available == 0) break;
    size_t take = std::min(available, count - done);
    std::memcpy(out + done, m_buffer.data() + m_pos, take);
    m_pos += take;
    done += take;
  }
  return done;
}

bool TextStream::WriteStored(const void* buffer, size_t count) {
  if (!StartWriting()) return false;
  const auto* in = static_cast<const uint8_t*>(buffer);
  while (count > 0) {
    if (m_pos == m_buffer.size() && !WritePending()) return false;
    size_t take = std::min(count, m_buffer.size() - m_pos);
    std::memcpy(m_buffer.data() + m_pos, in, take);
    m_pos += take;
    in += take;
    count -= take;
  }
  return !m_failed;
}

bool TextStream::SeekStored(uint64_t offset) {
  if (!m_file) return false;
  if (!WritePending()) return false;
  m_direction = Direction::kReading;
  m_pos = 0;
  m_end = 0;
  m_ctrlZSeen = false;
  if (!m_file->Seek(offset)) return false;
  m_base = offset;
  return true;
}

bool TextStream::Flush() {
  if (!m_file) return false;
  if (!WritePending()) return false;
  if (!m_file->Flush()) m_failed = true;
  return !m_failed;
}

bool TextStream::Close() {
  if (!m_file) return false;
  WritePending();
  if (!m_file->Close()) m_failed = true;
  m_file.reset();
  return !m_failed;
}

bool ReplaceWholeFile(FileSystem& fs, const std::string& path, const std::string& tempPath,
                      const std::function<bool(TextStream&)>& write) {
  std::unique_ptr<File> file = fs.Open(tempPath, OpenMode::kWrite);
  if (!file) return false;
  bool written;
  {
    TextStream out(std::move(file));
    written = write(out);
    // Flush before Close: the rename must only ever expose a complete file.
    written = out.Flush() && written;
    written = out.Close() && written;
  }
  if (!written || !fs.Rename(tempPath, path)) {
    fs.Remove(tempPath);
    return false;
  }
  return true;
}

}  // namespace kl
