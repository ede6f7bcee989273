#include "platform/sim/host_filesystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "file_fixtures.h"

namespace kl {
namespace {

using test::Bytes;

class HostFileSystemTest : public ::testing::Test {
 protected:
  test::TempFolder m_folder;
  HostFileSystem m_fs;
};

Bytes ReadThrough(File& file) {
  Bytes out;
  char buffer[16];
  for (size_t got; (got = file.Read(buffer, sizeof buffer)) > 0;) out.append(buffer, got);
  return out;
}

TEST_F(HostFileSystemTest, OpenModes) {
  const std::string path = m_folder / "a.key";
  EXPECT_EQ(m_fs.Open(path, OpenMode::kRead), nullptr) << "reading needs an existing file";

  auto w = m_fs.Open(path, OpenMode::kWrite);
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(w->Write("\r\nabc", 5));
  EXPECT_EQ(w->Tell(), 5u);
  ASSERT_TRUE(w->Flush());
  ASSERT_TRUE(w->Close());
  EXPECT_EQ(test::ReadFileBytes(path), "\r\nabc") << "binary: nothing translated";

  auto a = m_fs.Open(path, OpenMode::kAppend);
  ASSERT_NE(a, nullptr);
  ASSERT_TRUE(a->Write("de", 2));
  ASSERT_TRUE(a->Close());
  EXPECT_EQ(test::ReadFileBytes(path), "\r\nabcde");

  auto rw = m_fs.Open(path, OpenMode::kReadWrite);
  ASSERT_NE(rw, nullptr);
  ASSERT_TRUE(rw->Seek(2));
  char c = 0;
  ASSERT_EQ(rw->Read(&c, 1), 1u);
  EXPECT_EQ(c, 'a');
  ASSERT_TRUE(rw->Write("X", 1)) << "writing right after reading";
  EXPECT_EQ(rw->Tell(), 4u);
  ASSERT_TRUE(rw->Seek(0));
  EXPECT_EQ(ReadThrough(*rw), "\r\naXcde");
  ASSERT_TRUE(rw->Close());

  auto empty = m_fs.Open(path, OpenMode::kWrite);
  ASSERT_NE(empty, nullptr);
  ASSERT_TRUE(empty->Close());
  EXPECT_EQ(test::ReadFileBytes(path), "") << "writing empties the file";

  auto created = m_fs.Open(m_folder / "new.key", OpenMode::kReadWrite);
  ASSERT_NE(created, nullptr) << "read-write creates a missing file";
  EXPECT_TRUE(m_fs.Exists(m_folder / "new.key"));

  EXPECT_EQ(m_fs.Open(m_folder.Path(), OpenMode::kRead), nullptr) << "a folder is not a file";
}

TEST_F(HostFileSystemTest, ExistsRemoveAndRenameOver) {
  const std::string key = m_folder / "DOOM.key";
  const std::string temp = m_folder / "kbMap.TMP";
  EXPECT_FALSE(m_fs.Exists(key));
  EXPECT_FALSE(m_fs.Remove(key));
  test::WriteFileBytes(key, "old");
  test::WriteFileBytes(temp, "new");
  EXPECT_TRUE(m_fs.Exists(key));
  EXPECT_FALSE(m_fs.Exists(m_folder.Path())) << "a folder is not a file";

  ASSERT_TRUE(m_fs.Rename(temp, key)) << "rename replaces the target";
  EXPECT_EQ(test::ReadFileBytes(key), "new");
  EXPECT_FALSE(m_fs.Exists(temp));
  EXPECT_FALSE(m_fs.Rename(temp, key)) << "the source is gone";
  EXPECT_EQ(test::ReadFileBytes(key), "new");

  ASSERT_TRUE(m_fs.Remove(key));
  EXPECT_FALSE(m_fs.Exists(key));
}

TEST_F(HostFileSystemTest, ListMatchesTheSuffixWithoutCase) {
  for (const char* name : {"ZORK.key", "doom.KEY", "GameList.lst", "kbMap.TMP", "key"}) {
    test::WriteFileBytes(m_folder / name, "");
  }
  std::filesystem::create_directory(m_folder / "FOLDER.key");
  EXPECT_EQ(m_fs.List(m_folder.Path(), ".key"), (std::vector<std::string>{"ZORK.key", "doom.KEY"}));
  EXPECT_TRUE(m_fs.List(m_folder / "missing", ".key").empty());
}

TEST_F(HostFileSystemTest, LastWriteTimeIsAFileTime) {
  const std::string path = m_folder / "GameList.lst";
  EXPECT_FALSE(m_fs.LastWriteTime(path).has_value());
  test::WriteFileBytes(path, "x");
  // 2000-01-01 00:00:00 UTC is 125911584000000000 hundred-nanosecond ticks
  // after 1601-01-01.
  auto y2k = std::chrono::sys_seconds{std::chrono::sys_days{std::chrono::year{2000} / 1 / 1}};
  std::filesystem::last_write_time(path, std::chrono::file_clock::from_sys(y2k));
  EXPECT_EQ(m_fs.LastWriteTime(path), uint64_t{125911584000000000});
  std::filesystem::last_write_time(
      path, std::chrono::file_clock::from_sys(y2k + std::chrono::seconds(2)));
  EXPECT_EQ(m_fs.LastWriteTime(path), uint64_t{125911584020000000});
}

TEST_F(HostFileSystemTest, SeparatorIsSlash) {
  EXPECT_EQ(m_fs.Separator(), '/');
}

}  // namespace
}  // namespace kl
