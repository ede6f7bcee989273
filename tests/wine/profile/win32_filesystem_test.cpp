// The Win32 file system under Wine: binary file access, rename over an open
// file, last-write times, listings, and the profile store's bytes through it.
#include "platform/win32/win32_filesystem.h"

#include <gtest/gtest.h>

#include "folder_fixture.h"
#include "key_bytes.h"
#include "profile/gamelist.h"
#include "profile/profile_store.h"
#include "profile/textstream.h"

namespace kl {
namespace {

using namespace std::string_literals;

using winetest::ReadWholeFile;
using winetest::ScratchFolder;
using winetest::WriteBytes;

std::string ReadThrough(File& file) {
  std::string out;
  char buffer[7];
  for (size_t got; (got = file.Read(buffer, sizeof buffer)) > 0;) out.append(buffer, got);
  return out;
}

TEST(Win32FileSystem, OpenModesAreBinary) {
  ScratchFolder folder;
  Win32FileSystem fs;
  const std::string path = folder / "a.key";
  EXPECT_EQ(fs.Open(path, OpenMode::kRead), nullptr);

  auto w = fs.Open(path, OpenMode::kWrite);
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(w->Write("\r\nabc\x1A", 6));
  EXPECT_EQ(w->Tell(), 6u);
  ASSERT_TRUE(w->Flush());
  ASSERT_TRUE(w->Close());
  EXPECT_EQ(ReadWholeFile(path), "\r\nabc\x1A");

  auto a = fs.Open(path, OpenMode::kAppend);
  ASSERT_NE(a, nullptr);
  ASSERT_TRUE(a->Seek(0));
  ASSERT_TRUE(a->Write("\n", 1)) << "appending ignores the position";
  ASSERT_TRUE(a->Close());
  EXPECT_EQ(ReadWholeFile(path), "\r\nabc\x1A\n");

  auto rw = fs.Open(path, OpenMode::kReadWrite);
  ASSERT_NE(rw, nullptr);
  ASSERT_TRUE(rw->Seek(2));
  char c = 0;
  ASSERT_EQ(rw->Read(&c, 1), 1u);
  EXPECT_EQ(c, 'a');
  ASSERT_TRUE(rw->Write("X", 1));
  ASSERT_TRUE(rw->Seek(0));
  EXPECT_EQ(ReadThrough(*rw), "\r\naXc\x1A\n");
  ASSERT_TRUE(rw->Close());

  EXPECT_NE(fs.Open(folder / "new.key", OpenMode::kReadWrite), nullptr);
  EXPECT_TRUE(fs.Exists(folder / "new.key"));
  EXPECT_EQ(fs.Open(folder.Path(), OpenMode::kRead), nullptr) << "a folder is not a file";
  EXPECT_FALSE(fs.Exists(folder.Path()));
  EXPECT_EQ(fs.Separator(), '\\');
}

TEST(Win32FileSystem, RenameReplacesInOneStep) {
  ScratchFolder folder;
  Win32FileSystem fs;
  const std::string list = folder / "GameList.lst";
  const std::string temp = folder / "GameList.TMP";
  WriteBytes(list, "old");
  WriteBytes(temp, "new");
  {
    // While a reader holds the target, the platform may refuse to replace
    // it; either way the target is whole and the reader keeps what it opened.
    auto reader = fs.Open(list, OpenMode::kRead);
    ASSERT_NE(reader, nullptr);
    const bool replaced = fs.Rename(temp, list);
    EXPECT_EQ(ReadThrough(*reader), "old");
    EXPECT_EQ(fs.Exists(temp), !replaced);
  }
  if (fs.Exists(temp)) {
    ASSERT_TRUE(fs.Rename(temp, list)) << "once the reader is gone";
  }
  EXPECT_EQ(ReadWholeFile(list), "new");
  EXPECT_FALSE(fs.Exists(temp));
  EXPECT_FALSE(fs.Rename(temp, list)) << "the source is gone";
  EXPECT_EQ(ReadWholeFile(list), "new");
  EXPECT_TRUE(fs.Remove(list));
  EXPECT_FALSE(fs.Exists(list));
  EXPECT_FALSE(fs.Remove(list));
}

TEST(Win32FileSystem, LastWriteTimeIsTheFileTime) {
  ScratchFolder folder;
  Win32FileSystem fs;
  const std::string path = folder / "GameList.lst";
  EXPECT_FALSE(fs.LastWriteTime(path).has_value());
  EXPECT_FALSE(fs.LastWriteTime(folder / "*").has_value()) << "no wildcards";
  WriteBytes(path, "x");
  const uint64_t stamps[] = {125911584000000000ull, 125911584020000000ull, 0x01D0000012345678ull};
  for (uint64_t stamp : stamps) {
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(stamp);
    ft.dwHighDateTime = static_cast<DWORD>(stamp >> 32);
    ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &ft));
    CloseHandle(h);
    EXPECT_EQ(fs.LastWriteTime(path), stamp);
  }
}

TEST(Win32FileSystem, ListsPlainFilesBySuffix) {
  ScratchFolder folder;
  Win32FileSystem fs;
  for (const char* name : {"ZORK.key", "doom.KEY", "GameList.lst", "kbMap.TMP"}) {
    WriteBytes(folder / name, "");
  }
  CreateDirectoryA((folder / "DIR.key").c_str(), nullptr);
  EXPECT_EQ(fs.List(folder.Path(), ".key"), (std::vector<std::string>{"ZORK.key", "doom.KEY"}));
  std::string noSlash = folder.Path();
  noSlash.pop_back();
  EXPECT_EQ(fs.List(noSlash, ".KEY").size(), 2u);
  EXPECT_TRUE(fs.List(folder / "missing", ".key").empty());
}

TEST(Win32FileSystem, TextStreamAndWholeFileReplace) {
  ScratchFolder folder;
  Win32FileSystem fs;
  WriteBytes(folder / "GameList.lst", "old");
  ASSERT_TRUE(ReplaceWholeFile(fs, folder / "GameList.lst", folder / "GameList.TMP",
                               [](TextStream& out) { return out.Write("[GAMELIST]\n\n"); }));
  EXPECT_EQ(ReadWholeFile(folder / "GameList.lst"), "[GAMELIST]\r\n\r\n");
  EXPECT_FALSE(fs.Exists(folder / "GameList.TMP"));
}

TEST(Win32FileSystem, ProfileStoreWritesTheSameBytes) {
  ScratchFolder folder;
  Win32FileSystem fs;
  test::RecordingPrompts prompts;
  GameList games;
  games.AddGame("DOOM.EXE");
  ProfileStore store(fs, prompts, games, folder.Path());
  store.SetPadCount(1);
  test::TestPad pad = test::DefaultPad(14);
  pad[4] = {1, {{0x0A, 'C'}}};  // a stored CR LF inside the record
  store.Table(0) = test::ToTable(pad);
  ASSERT_EQ(store.AppendProfile("DOOM.EXE", "ONE"), 0);
  ASSERT_EQ(store.AppendProfile("DOOM.EXE", "TWO"), 1);
  ASSERT_EQ(store.AppendProfile("DOOM.EXE", "THREE"), 2);
  ASSERT_TRUE(store.DeleteProfile("DOOM.EXE", "ONE"));
  EXPECT_EQ(ReadWholeFile(folder / "DOOM.key"),
            test::HeaderBytes() + test::Stored(test::RecordBytes("TWO", {pad})) +
                test::Stored(test::RecordBytes("THREE", {pad})));
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_FALSE(fs.Exists(folder / "kbMap.TMP"));
  ASSERT_TRUE(games.SaveGameList(fs, folder / "GameList.lst", folder / "GameList.TMP"));
  EXPECT_EQ(ReadWholeFile(folder / "GameList.lst"),
            "[GAMELIST]\r\nDOOM.EXE\r\n\r\n[PROFILE]\r\n1 \0TWO \0THREE\r\n"s);
}

}  // namespace
}  // namespace kl
