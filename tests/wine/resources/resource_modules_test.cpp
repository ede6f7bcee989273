// The built resource modules hold every resource the programs ask for.
// The 64-bit modules are loaded the way the programs load them (by bare name,
// beside this program) and their resources are used; the 32-bit modules
// (in the folder i686 beside it) are opened as data and must hold the same
// strings and the same resource bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "resources/builtin_strings.h"
#include "tests/unit/resources/required_strings.h"

namespace kl {
namespace {

using test::RequiredString;

struct Module {
  const char* file;
  StringModule strings;
  std::span<const RequiredString> required;
  // Icon and cursor groups the program asks for.
  std::vector<WORD> icons;
  std::vector<WORD> cursors;
  std::vector<WORD> menus;
  std::vector<WORD> dialogs;
};

const Module kModules[] = {
    {"KLOOM_RS.DLL", StringModule::kKloom, test::kKloomStrings, {128}, {32512}, {128}, {}},
    {"ORVO_RS.DLL", StringModule::kOrvo, test::kOrvoStrings, {150, 160}, {32512}, {161}, {100}},
    {"OSTRARS.DLL", StringModule::kOstra, test::kOstraStrings, {1, 131}, {}, {}, {}},
};

void PrintTo(const Module& module, std::ostream* out) {
  *out << module.file;
}

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}

// The text LoadStringA gives, or nothing with `found` false.
std::string LoadText(HMODULE module, UINT id, bool& found) {
  char buffer[1024] = {};
  const int length = LoadStringA(module, id, buffer, sizeof buffer);
  found = length > 0;
  return std::string(buffer, length > 0 ? length : 0);
}

// The bytes of one resource, empty when it is missing.
std::vector<unsigned char> ResourceBytes(HMODULE module, LPCSTR type, WORD id) {
  HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), type);
  if (!info) return {};
  HGLOBAL handle = LoadResource(module, info);
  const DWORD size = SizeofResource(module, info);
  const auto* data = static_cast<const unsigned char*>(handle ? LockResource(handle) : nullptr);
  if (!data) return {};
  return std::vector<unsigned char>(data, data + size);
}

#pragma pack(push, 2)
struct GroupDirectory {
  WORD reserved;
  WORD type;
  WORD count;
};
struct GroupIconEntry {
  BYTE width;
  BYTE height;
  BYTE colours;
  BYTE reserved;
  WORD planes;
  WORD bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

struct IconImage {
  int size;
  int bits;
};

// The images an icon group offers, read from its directory.
std::vector<IconImage> IconGroupImages(const std::vector<unsigned char>& group) {
  std::vector<IconImage> images;
  if (group.size() < sizeof(GroupDirectory)) return images;
  GroupDirectory directory;
  std::memcpy(&directory, group.data(), sizeof directory);
  for (WORD i = 0; i < directory.count; ++i) {
    const std::size_t at = sizeof directory + i * sizeof(GroupIconEntry);
    if (at + sizeof(GroupIconEntry) > group.size()) break;
    GroupIconEntry entry;
    std::memcpy(&entry, group.data() + at, sizeof entry);
    if (entry.width == entry.height) images.push_back({entry.width, entry.bitCount});
  }
  return images;
}

class ModuleTest : public testing::TestWithParam<Module> {
 protected:
  void SetUp() override {
    // As the programs do: the bare name, found beside the program.
    m_module = LoadLibraryA(GetParam().file);
    ASSERT_GE(reinterpret_cast<UINT_PTR>(m_module), 32u) << GetParam().file;
    const std::string i686 = ProgramFolder() + "i686\\" + GetParam().file;
    m_i686 = LoadLibraryExA(i686.c_str(), nullptr,
                            LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(m_i686, nullptr) << i686 << " error " << GetLastError();
  }

  void TearDown() override {
    if (m_i686) FreeLibrary(m_i686);
    if (m_module) FreeLibrary(m_module);
  }

  HMODULE m_module = nullptr;
  HMODULE m_i686 = nullptr;
};

TEST_P(ModuleTest, EveryStringLoadsAsTheBuiltInTableHasIt) {
  std::vector<UINT> ids;
  for (const RequiredString& required : GetParam().required) ids.push_back(required.id);
  if (GetParam().strings == StringModule::kKloom) {
    for (const test::KeyName& key : test::kKeyNames) ids.push_back(key.id);
    ids.push_back(test::kUnnamedKeyId);
  }
  for (UINT id : ids) {
    SCOPED_TRACE("string " + std::to_string(id));
    const char* builtIn = FindBuiltinString(GetParam().strings, id);
    ASSERT_NE(builtIn, nullptr);
    for (HMODULE module : {m_module, m_i686}) {
      bool found = false;
      const std::string text = LoadText(module, id, found);
      EXPECT_TRUE(found);
      EXPECT_EQ(text, builtIn);
    }
  }
}

TEST_P(ModuleTest, IconsOfferSixteenAndThirtyTwoPixelsInManyColours) {
  for (WORD id : GetParam().icons) {
    SCOPED_TRACE("icon " + std::to_string(id));
    const std::vector<IconImage> images =
        IconGroupImages(ResourceBytes(m_module, MAKEINTRESOURCEA(14), id));  // RT_GROUP_ICON
    for (int size : {16, 32}) {
      bool offered = false;
      for (const IconImage& image : images) offered |= image.size == size && image.bits >= 8;
      EXPECT_TRUE(offered) << size << " pixels";
      HANDLE icon = LoadImageA(m_module, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0);
      ASSERT_NE(icon, nullptr) << size << " pixels";
      ICONINFO info = {};
      ASSERT_TRUE(GetIconInfo(static_cast<HICON>(icon), &info));
      BITMAP colour = {};
      ASSERT_TRUE(info.hbmColor != nullptr);
      GetObjectA(info.hbmColor, sizeof colour, &colour);
      EXPECT_EQ(colour.bmWidth, size);
      EXPECT_EQ(colour.bmHeight, size);
      DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);
      DestroyIcon(static_cast<HICON>(icon));
    }
    EXPECT_NE(LoadIconA(m_module, MAKEINTRESOURCEA(id)), nullptr);
  }
}

TEST_P(ModuleTest, CursorsLoad) {
  for (WORD id : GetParam().cursors) {
    EXPECT_NE(LoadCursorA(m_module, MAKEINTRESOURCEA(id)), nullptr) << "cursor " << id;
  }
}

TEST_P(ModuleTest, ThirtyTwoBitModuleHoldsTheSameResources) {
  struct Kind {
    LPCSTR type;
    const std::vector<WORD>& ids;
    const char* name;
  };
  const Kind kinds[] = {
      {MAKEINTRESOURCEA(14), GetParam().icons, "icon group"},      // RT_GROUP_ICON
      {MAKEINTRESOURCEA(12), GetParam().cursors, "cursor group"},  // RT_GROUP_CURSOR
      {MAKEINTRESOURCEA(4), GetParam().menus, "menu"},             // RT_MENU
      {MAKEINTRESOURCEA(5), GetParam().dialogs, "dialog"},         // RT_DIALOG
  };
  for (const Kind& kind : kinds) {
    for (WORD id : kind.ids) {
      const std::vector<unsigned char> bytes = ResourceBytes(m_module, kind.type, id);
      EXPECT_FALSE(bytes.empty()) << kind.name << " " << id;
      EXPECT_EQ(ResourceBytes(m_i686, kind.type, id), bytes) << kind.name << " " << id;
    }
  }
}

std::string ModuleName(const testing::TestParamInfo<Module>& info) {
  std::string name = info.param.file;
  return name.substr(0, name.find('.'));
}

INSTANTIATE_TEST_SUITE_P(ResourceModules, ModuleTest, testing::ValuesIn(kModules), ModuleName);

class OrvoTest : public testing::Test {
 protected:
  void SetUp() override {
    m_module = LoadLibraryA("ORVO_RS.DLL");
    ASSERT_GE(reinterpret_cast<UINT_PTR>(m_module), 32u);
  }
  void TearDown() override {
    if (m_module) FreeLibrary(m_module);
  }
  HMODULE m_module = nullptr;
};

// The tray shows the first pop-up and makes its first item the default.
TEST_F(OrvoTest, TrayMenuHoldsItsThreeCommandsInOrder) {
  HMENU menu = LoadMenuA(m_module, MAKEINTRESOURCEA(161));
  ASSERT_NE(menu, nullptr);
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(popup, nullptr);
  struct Item {
    UINT id;
    const char* text;
  };
  const Item expected[] = {{32771, "Activate &Program"}, {57664, "&About"}, {32772, "&Close"}};
  ASSERT_EQ(GetMenuItemCount(popup), 3);
  for (int i = 0; i < 3; ++i) {
    char text[64] = {};
    GetMenuStringA(popup, i, text, sizeof text, MF_BYPOSITION);
    EXPECT_EQ(GetMenuItemID(popup, i), expected[i].id) << i;
    EXPECT_STREQ(text, expected[i].text) << i;
  }
  DestroyMenu(menu);
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

// The About box is built from the module, as the framework shows it.
TEST_F(OrvoTest, AboutBoxHasACaptionTheIconAndAnOkButton) {
  const std::vector<unsigned char> bytes = ResourceBytes(m_module, MAKEINTRESOURCEA(5), 100);
  ASSERT_FALSE(bytes.empty());
  HWND dialog = CreateDialogIndirectParamA(
      m_module, reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()), nullptr, QuietDialogProc, 0);
  ASSERT_NE(dialog, nullptr) << GetLastError();
  char text[128] = {};
  GetWindowTextA(dialog, text, sizeof text);
  EXPECT_GT(std::strlen(text), 0u);
  HWND ok = GetDlgItem(dialog, IDOK);
  ASSERT_NE(ok, nullptr);
  GetWindowTextA(ok, text, sizeof text);
  EXPECT_STREQ(text, "OK");
  GetClassNameA(ok, text, sizeof text);
  EXPECT_EQ(lstrcmpiA(text, "Button"), 0) << text;
  EXPECT_EQ(GetWindowLongPtrA(ok, GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);
  bool iconShown = false;
  std::string texts;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if ((GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      iconShown |= SendMessageA(child, STM_GETICON, 0, 0) != 0;
    }
    GetWindowTextA(child, text, sizeof text);
    texts += std::string(text) + "\n";
  }
  EXPECT_TRUE(iconShown);
  EXPECT_NE(texts.find("KeyLoom"), std::string::npos) << texts;
  EXPECT_NE(texts.find("Vornatek"), std::string::npos) << texts;
  EXPECT_NE(texts.find("Version"), std::string::npos) << texts;
  DestroyWindow(dialog);
}

}  // namespace
}  // namespace kl
