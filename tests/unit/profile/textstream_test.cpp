#include "profile/textstream.h"

#include <gtest/gtest.h>

#include "file_fixtures.h"

namespace kl {
namespace {

using test::Bytes;
using test::MemoryFile;

// Reads every logical byte of `stored`, handing the stream `chunk` stored
// bytes per file read.
Bytes ReadAll(const Bytes& stored, CtrlZ ctrlZ, size_t chunk) {
  TextStream in(std::make_unique<MemoryFile>(stored, chunk), ctrlZ);
  Bytes out;
  for (int b = in.ReadByte(); b != TextStream::kEnd; b = in.ReadByte()) {
    out.push_back(static_cast<char>(b));
  }
  return out;
}

Bytes WriteAll(const Bytes& logical) {
  auto file = std::make_unique<MemoryFile>("", 1);
  MemoryFile* raw = file.get();
  TextStream out(std::move(file));
  EXPECT_TRUE(out.Write(logical));
  EXPECT_TRUE(out.Flush());
  raw->Seek(0);
  Bytes stored;
  char c;
  while (raw->Read(&c, 1) == 1) stored.push_back(c);
  return stored;
}

struct ReadCase {
  const char* what;
  Bytes stored;
  CtrlZ ctrlZ;
  Bytes logical;
};

TEST(TextStreamRead, StoredBytesBecomeLogicalBytes) {
  const Bytes longLine = Bytes(4095, 'x') + "\r\ny";
  const ReadCase cases[] = {
      {"CR LF reads as LF", "a\r\nb\r\n", CtrlZ::kEndsReading, "a\nb\n"},
      {"lone CR is kept", "a\rb", CtrlZ::kEndsReading, "a\rb"},
      {"CR at the very end", "ab\r", CtrlZ::kEndsReading, "ab\r"},
      {"CR before CR LF", "\r\r\n", CtrlZ::kEndsReading, "\r\n"},
      {"bare LF stays LF", "a\nb", CtrlZ::kEndsReading, "a\nb"},
      {"0x1A ends reading",
       Bytes("ab\x1A"
             "cd",
             5),
       CtrlZ::kEndsReading, "ab"},
      {"0x1A after a CR", Bytes("a\r\x1A\n", 4), CtrlZ::kEndsReading, "a\r"},
      {"0x1A as data",
       Bytes("ab\x1A\r\n"
             "cd",
             7),
       CtrlZ::kIsData,
       Bytes("ab\x1A\n"
             "cd",
             6)},
      {"NUL bytes are data", Bytes("\0\r\n\0", 4), CtrlZ::kEndsReading, Bytes("\0\n\0", 3)},
      {"pair across the buffer end", longLine, CtrlZ::kEndsReading, Bytes(4095, 'x') + "\ny"},
  };
  for (const ReadCase& c : cases) {
    for (size_t chunk : {size_t{1}, size_t{3}, size_t{100000}}) {
      EXPECT_EQ(ReadAll(c.stored, c.ctrlZ, chunk), c.logical) << c.what << ", chunk " << chunk;
    }
  }
}

TEST(TextStreamRead, EndAtCtrlZStaysUntilASeek) {
  TextStream in(std::make_unique<MemoryFile>(Bytes("ab\x1A"
                                                   "cd",
                                                   5),
                                             100));
  EXPECT_EQ(in.Skip(10), 2u);
  EXPECT_EQ(in.ReadByte(), TextStream::kEnd);
  EXPECT_EQ(in.Tell(), 2u) << "the end is where the 0x1A is";
  ASSERT_TRUE(in.SeekStored(3));
  EXPECT_EQ(in.ReadByte(), 'c');
}

TEST(TextStreamWrite, LineFeedIsStoredAsCrLf) {
  const struct {
    Bytes logical;
    Bytes stored;
  } cases[] = {
      {"a\nb", "a\r\nb"},
      {"\n\n", "\r\n\r\n"},
      {"\r", "\r"},
      {"\r\n", "\r\r\n"},
      {Bytes("\x1A\0", 2), Bytes("\x1A\0", 2)},
      {Bytes(5000, '\n'),
       [] {
         Bytes s;
         for (int i = 0; i < 5000; ++i) s += "\r\n";
         return s;
       }()},
  };
  for (const auto& c : cases) EXPECT_EQ(WriteAll(c.logical), c.stored);
}

TEST(TextStreamWrite, EveryByteRoundTripsWhenCtrlZIsData) {
  Bytes all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  Bytes stored = WriteAll(all);
  EXPECT_EQ(stored.size(), 257u);
  EXPECT_EQ(ReadAll(stored, CtrlZ::kIsData, 7), all);
  EXPECT_EQ(ReadAll(stored, CtrlZ::kEndsReading, 7), all.substr(0, 0x1A));
}

TEST(TextStreamPosition, SkipAndTellCountStoredBytes) {
  // Logical "a\nb\nc", stored with two CR LF pairs.
  const Bytes stored = "a\r\nb\r\nc";
  const struct {
    size_t skip;
    uint64_t tell;
    int next;
  } cases[] = {{0, 0, 'a'}, {1, 1, '\n'}, {2, 3, 'b'}, {4, 6, 'c'}, {5, 7, TextStream::kEnd}};
  for (const auto& c : cases) {
    TextStream in(std::make_unique<MemoryFile>(stored, 2));
    EXPECT_EQ(in.Skip(c.skip), c.skip);
    EXPECT_EQ(in.Tell(), c.tell) << "after skipping " << c.skip;
    EXPECT_EQ(in.ReadByte(), c.next) << "after skipping " << c.skip;
  }
  // A stored position taken with Tell finds the same byte again.
  TextStream in(std::make_unique<MemoryFile>(stored, 2));
  in.Skip(2);
  uint64_t atB = in.Tell();
  in.Skip(3);
  ASSERT_TRUE(in.SeekStored(atB));
  EXPECT_EQ(in.ReadByte(), 'b');
  // A stored seek may land between CR and LF: the LF then reads alone.
  ASSERT_TRUE(in.SeekStored(2));
  EXPECT_EQ(in.ReadByte(), '\n');
  EXPECT_EQ(in.Tell(), 3u);
}

TEST(TextStreamRead, ExactCountAcrossStoredPairs) {
  TextStream in(std::make_unique<MemoryFile>("ab\r\ncd\r\n\r\nef", 1));
  char buffer[8] = {};
  EXPECT_EQ(in.Read(buffer, 5), 5u);
  EXPECT_EQ(Bytes(buffer, 5), "ab\ncd");
  EXPECT_EQ(in.Tell(), 6u);
  EXPECT_EQ(in.Read(buffer, 8), 4u) << "only four logical bytes are left";
  EXPECT_EQ(Bytes(buffer, 4), "\n\nef");
  EXPECT_EQ(in.Read(buffer, 8), 0u);
}

TEST(TextStreamRead, WordsLikeScanfWithAWidth) {
  const struct {
    const char* what;
    Bytes stored;
    size_t width;
    std::optional<Bytes> word;
    int next;
  } cases[] = {
      {"leading white space skipped", " \t\r\nabc def", 8, "abc", ' '},
      {"width stops the word", "[PROFILE]x", 8, "[PROFILE", ']'},
      {"word at the width", "PROFILE] name", 8, "PROFILE]", ' '},
      {"line end left unread", "DOOM.EXE\r\nZORK", 255, "DOOM.EXE", '\n'},
      {"lone CR is white space", "ab\rcd", 8, "ab", '\r'},
      {"NUL is part of a word", Bytes("a\0b c", 5), 8, Bytes("a\0b", 3), ' '},
      {"only white space", " \r\n\t ", 8, std::nullopt, TextStream::kEnd},
      {"nothing at all", "", 8, std::nullopt, TextStream::kEnd},
      {"0x1A ends the word",
       Bytes("ab\x1A"
             "cd",
             5),
       8, "ab", TextStream::kEnd},
  };
  for (const auto& c : cases) {
    TextStream in(std::make_unique<MemoryFile>(c.stored, 1));
    EXPECT_EQ(in.ReadWord(c.width), c.word) << c.what;
    EXPECT_EQ(in.ReadByte(), c.next) << c.what;
  }
}

TEST(TextStreamRead, DecimalsLikeScanf) {
  const struct {
    Bytes stored;
    std::optional<int32_t> value;
    int next;
  } cases[] = {
      {"  42 x", 42, ' '},
      {"\r\n7\r\n", 7, '\n'},
      {"-13\x01", -13, 1},
      {"+5", 5, TextStream::kEnd},
      {"99999999999999", INT32_MAX, TextStream::kEnd},
      {"-99999999999999", INT32_MIN, TextStream::kEnd},
      {"x1", std::nullopt, 'x'},
      {"", std::nullopt, TextStream::kEnd},
  };
  for (const auto& c : cases) {
    TextStream in(std::make_unique<MemoryFile>(c.stored, 1));
    EXPECT_EQ(in.ReadDecimal(), c.value) << c.stored;
    EXPECT_EQ(in.ReadByte(), c.next) << c.stored;
  }
}

TEST(TextStream, ReadsAreBuffered) {
  auto file = std::make_unique<MemoryFile>(Bytes(10000, 'a'), 100000);
  MemoryFile* raw = file.get();
  TextStream in(std::move(file));
  EXPECT_EQ(in.Skip(20000), 10000u);
  EXPECT_LE(raw->ReadCalls(), 5u) << "one file read per buffer, not per byte";
}

TEST(TextStream, StoredCopyIsUntranslated) {
  const Bytes stored(
      "a\r\nb\x1A\r"
      "c",
      7);
  TextStream in(std::make_unique<MemoryFile>(stored, 2));
  auto file = std::make_unique<MemoryFile>("", 100);
  MemoryFile* raw = file.get();
  TextStream out(std::move(file));
  char buffer[3];
  for (size_t got; (got = in.ReadStored(buffer, sizeof buffer)) > 0;) {
    ASSERT_TRUE(out.WriteStored(buffer, got));
  }
  ASSERT_TRUE(out.Flush());
  raw->Seek(0);
  Bytes copied(stored.size() + 1, '?');
  EXPECT_EQ(raw->Read(copied.data(), copied.size()), stored.size());
  copied.resize(stored.size());
  EXPECT_EQ(copied, stored);
}

TEST(TextStream, WritingAfterReadingContinuesAtTheReader) {
  auto file = std::make_unique<MemoryFile>("abcdef", 100);
  MemoryFile* raw = file.get();
  TextStream s(std::move(file));
  EXPECT_EQ(s.ReadByte(), 'a');
  EXPECT_EQ(s.ReadByte(), 'b');
  ASSERT_TRUE(s.Write("\n"));
  EXPECT_EQ(s.Tell(), 4u);
  EXPECT_EQ(s.ReadByte(), 'e');
  ASSERT_TRUE(s.Flush());
  raw->Seek(0);
  char buffer[6];
  ASSERT_EQ(raw->Read(buffer, 6), 6u);
  EXPECT_EQ(Bytes(buffer, 6), "ab\r\nef");
}

// Replacing a whole file: the old content survives every failure.
class ReplaceWholeFileTest : public ::testing::Test {
 protected:
  test::TempFolder m_folder;
  std::string m_path = m_folder / "GameList.lst";
  std::string m_temp = m_folder / "GameList.TMP";
};

TEST_F(ReplaceWholeFileTest, WritesThroughTheTextRulesAndRemovesTheTemporary) {
  test::WriteFileBytes(m_path, "old");
  HostFileSystem fs;
  ASSERT_TRUE(ReplaceWholeFile(fs, m_path, m_temp,
                               [](TextStream& out) { return out.Write("[GAMELIST]\n"); }));
  EXPECT_EQ(test::ReadFileBytes(m_path), "[GAMELIST]\r\n");
  EXPECT_FALSE(test::FileExists(m_temp));
}

TEST_F(ReplaceWholeFileTest, CreatesAMissingFile) {
  HostFileSystem fs;
  ASSERT_TRUE(ReplaceWholeFile(fs, m_path, m_temp, [](TextStream& out) { return out.Write("x"); }));
  EXPECT_EQ(test::ReadFileBytes(m_path), "x");
}

TEST_F(ReplaceWholeFileTest, AnyFailureLeavesTheOldFile) {
  using Step = test::FaultyFileSystem::Step;
  const Bytes big(10000, 'n');  // more than one buffer, so several writes
  const struct {
    Step step;
    int k;
  } faults[] = {{Step::kWrite, 1},
                {Step::kWrite, 2},
                {Step::kFlush, 1},
                {Step::kClose, 1},
                {Step::kRename, 1}};
  for (const auto& f : faults) {
    test::WriteFileBytes(m_path, "old content");
    test::WriteFileBytes(m_temp, "left over");
    test::FaultyFileSystem fs;
    fs.FailAt(f.step, f.k);
    EXPECT_FALSE(
        ReplaceWholeFile(fs, m_path, m_temp, [&](TextStream& out) { return out.Write(big); }))
        << static_cast<int>(f.step) << "/" << f.k;
    EXPECT_TRUE(fs.Failed());
    EXPECT_EQ(test::ReadFileBytes(m_path), "old content");
    EXPECT_FALSE(test::FileExists(m_temp));
  }
  // The writer itself may give up.
  HostFileSystem fs;
  EXPECT_FALSE(ReplaceWholeFile(fs, m_path, m_temp, [](TextStream& out) {
    out.Write("partial");
    return false;
  }));
  EXPECT_EQ(test::ReadFileBytes(m_path), "old content");
  EXPECT_FALSE(test::FileExists(m_temp));
}

TEST_F(ReplaceWholeFileTest, AnUnwritableFolderFails) {
  HostFileSystem fs;
  std::string missing = m_folder / "no-such-folder/";
  EXPECT_FALSE(ReplaceWholeFile(fs, missing + "x", missing + "x.TMP",
                                [](TextStream& out) { return out.Write("x"); }));
}

}  // namespace
}  // namespace kl
