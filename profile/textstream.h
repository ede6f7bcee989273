// The text-mode stream every key file and the game list go through. The files
// keep the byte rules of a Windows text-mode C stream, so the same bytes come
// out on every platform: a 0x0A written is stored as 0x0D 0x0A, a stored
// 0x0D 0x0A reads back as 0x0A (a lone 0x0D stays), and a stored 0x1A ends
// reading unless the stream treats it as data. Positions and stored skips
// count stored bytes. The stream buffers, so single bytes cost no system call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/filesystem.h"

namespace kl {

// What a stored 0x1A means to the reader.
enum class CtrlZ {
  kEndsReading,  // the text rule: reading stops there as at the end
  kIsData        // an ordinary byte (key files, whose records may hold it)
};

class TextStream {
 public:
  static constexpr int kEnd = -1;

  explicit TextStream(std::unique_ptr<File> file, CtrlZ ctrlZ = CtrlZ::kEndsReading);
  ~TextStream();
  TextStream(const TextStream&) = delete;
  TextStream& operator=(const TextStream&) = delete;

  // Reading, after the text rules.
  int ReadByte();  // 0..255, or kEnd
  int PeekByte();  // the byte ReadByte would return, left unread
  // Up to `count` bytes; fewer only at the end of the data.
  size_t Read(void* buffer, size_t count);
  // Reads through up to `count` bytes; returns how many there were.
  size_t Skip(size_t count);
  // Like fscanf("%Ns") with N = `width`: skips white space, then takes at most
  // `width` characters up to the next white space, which stays unread. None
  // when the data ends before a word starts.
  std::optional<std::string> ReadWord(size_t width = SIZE_MAX);
  // Like fscanf("%d"): skips white space, an optional sign, decimal digits
  // (saturating at the int range). None when no digit is there.
  std::optional<int32_t> ReadDecimal();

  // Writing, after the text rules (each 0x0A becomes 0x0D 0x0A).
  bool Write(const void* buffer, size_t count);
  bool Write(std::string_view text) { return Write(text.data(), text.size()); }
  bool WriteByte(uint8_t byte) { return Write(&byte, 1); }

  // Stored bytes as they are, for copying files and byte positions.
  size_t ReadStored(void* buffer, size_t count);
  bool WriteStored(const void* buffer, size_t count);
  bool SeekStored(uint64_t offset);
  uint64_t Tell() const { return m_base + m_pos; }

  // Writes buffered bytes and pushes them to the disk.
  bool Flush();
  // Writes buffered bytes and closes the file; false when anything written
  // since the stream was made failed.
  bool Close();
  // Whether a write or a read failed; reading stops at a failed read as at
  // the end, so only this tells a cut-short file from a short one.
  bool Failed() const { return m_failed; }

 private:
  enum class Direction { kReading, kWriting };

  bool StartReading();
  bool StartWriting();
  // Makes at least `count` stored bytes available after m_pos, if the file
  // has them; returns how many are available.
  size_t EnsureStored(size_t count);
  // How many of the buffered bytes from m_pos on (at most `limit`) read as
  // they are stored: none is a CR or, where it ends reading, a 0x1A. Lets
  // Read and Skip move over plain data in one step instead of byte by byte.
  size_t PlainRun(size_t limit) const;
  bool WritePending();
  bool IsWhiteSpace(int byte) const;

  std::unique_ptr<File> m_file;
  CtrlZ m_ctrlZ;
  Direction m_direction = Direction::kReading;
  std::vector<uint8_t> m_buffer;
  uint64_t m_base = 0;  // stored offset of m_buffer[0]
  size_t m_pos = 0;     // reading: next byte; writing: bytes pending
  size_t m_end = 0;     // reading: bytes in the buffer
  bool m_ctrlZSeen = false;
  bool m_failed = false;
};

// Replaces the whole file at `path`: `write` fills a fresh `tempPath` in the
// same folder, which is pushed to disk and renamed over `path` in one step.
// On any failure the temporary file is removed and `path` is untouched.
bool ReplaceWholeFile(FileSystem& fs, const std::string& path, const std::string& tempPath,
                      const std::function<bool(TextStream&)>& write);

}  // namespace kl
