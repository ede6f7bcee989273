// The pictures and dialog templates of the resource modules. Every bitmap the
// programs name is an 8-bit DIB with a 40-byte header and a full colour table,
// of the size the layout tables give, sharing its module's palette; the parts
// that are redrawn over a larger picture match it pixel for pixel; pressed
// pictures light up; the dialogs hold the controls the programs drive.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "layout_tables.h"

namespace kl {
namespace {

namespace lt = layout;

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::vector<unsigned char> Bytes(HMODULE module, LPCSTR type, LPCSTR name) {
  HRSRC info = FindResourceA(module, name, type);
  if (!info) return {};
  HGLOBAL handle = LoadResource(module, info);
  const DWORD size = SizeofResource(module, info);
  const auto* data = static_cast<const unsigned char*>(handle ? LockResource(handle) : nullptr);
  if (!data) return {};
  return std::vector<unsigned char>(data, data + size);
}

// An 8-bit picture read from a bitmap resource as the painter reads it:
// header, 256 colours, pixels 1064 bytes after the start.
struct Dib {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> colours;  // 1024 bytes
  std::vector<unsigned char> rows;     // bottom-up, stride-padded

  int Stride() const { return (width + 3) & ~3; }
  // Palette index at (x, y), y counted from the top.
  unsigned char At(int x, int y) const {
    return rows[static_cast<std::size_t>(height - 1 - y) * Stride() + x];
  }
  // The colour at (x, y) as 0x00RRGGBB.
  std::uint32_t Colour(int x, int y) const {
    const unsigned char* c = &colours[At(x, y) * 4];
    return (c[2] << 16) | (c[1] << 8) | c[0];
  }
  double Luminance(int x, int y) const {
    const unsigned char* c = &colours[At(x, y) * 4];
    return 0.114 * c[0] + 0.587 * c[1] + 0.299 * c[2];
  }
};

// The bitmap's problems, or nothing when it is a well-formed 8-bit DIB.
std::optional<std::string> ReadDib(const std::vector<unsigned char>& bytes, Dib& dib) {
  if (bytes.size() < sizeof(BITMAPINFOHEADER)) return "missing or too short";
  BITMAPINFOHEADER header;
  std::memcpy(&header, bytes.data(), sizeof header);
  if (header.biSize != 40) return "header size " + std::to_string(header.biSize);
  if (header.biBitCount != 8) return "bit count " + std::to_string(header.biBitCount);
  if (header.biPlanes != 1) return "planes " + std::to_string(header.biPlanes);
  if (header.biCompression != BI_RGB) return "compressed";
  if (header.biClrUsed != 0 && header.biClrUsed != 256) {
    return "colours used " + std::to_string(header.biClrUsed);
  }
  if (header.biWidth <= 0 || header.biHeight <= 0) return "not a bottom-up picture";
  dib.width = header.biWidth;
  dib.height = header.biHeight;
  const std::size_t pixels = static_cast<std::size_t>(dib.Stride()) * dib.height;
  if (bytes.size() < 1064 + pixels) return "pixel data cut short";
  dib.colours.assign(bytes.begin() + 40, bytes.begin() + 1064);
  dib.rows.assign(bytes.begin() + 1064, bytes.begin() + 1064 + pixels);
  return std::nullopt;
}

std::vector<int> Range(int first, int last) {
  std::vector<int> ids;
  for (int id = first; id <= last; ++id) ids.push_back(id);
  return ids;
}

std::vector<int> Join(std::initializer_list<std::vector<int>> parts) {
  std::vector<int> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// Every bitmap id the programs draw, written down from what they name.
const std::vector<int> kEditorIds = Join({{200, 201, 202, 205, 206},
                                          Range(210, 228),
                                          Range(231, 241),
                                          Range(251, 261),
                                          {273},
                                          Range(300, 306),
                                          Range(310, 318),
                                          Range(320, 322),
                                          {327, 328},
                                          Range(330, 334),
                                          Range(400, 426),
                                          Range(450, 480),
                                          Range(500, 527)});
const std::vector<int> kAppletIds = Join({{200, 201, 202},
                                          Range(210, 217),
                                          Range(220, 235),
                                          Range(300, 323),
                                          {326, 328, 329},
                                          Range(350, 379),
                                          Range(400, 425),
                                          {428},
                                          Range(430, 433),
                                          Range(450, 483)});

struct PictureModule {
  const char* file;
  const std::vector<int>* ids;
  std::span<const lt::BitmapEntry> sizes;
};

const PictureModule kPictureModules[] = {
    {"KLOOM_RS.DLL", &kEditorIds, lt::kKloomBitmaps},
    {"OSTRARS.DLL", &kAppletIds, lt::kOstraBitmaps},
};

void PrintTo(const PictureModule& module, std::ostream* out) {
  *out << module.file;
}

class Pictures : public testing::TestWithParam<PictureModule> {
 protected:
  void SetUp() override {
    m_module = LoadLibraryA(GetParam().file);
    ASSERT_GE(reinterpret_cast<UINT_PTR>(m_module), 32u) << GetParam().file;
    const std::string i686 = ProgramFolder() + "i686\\" + GetParam().file;
    m_i686 = LoadLibraryExA(i686.c_str(), nullptr,
                            LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(m_i686, nullptr) << i686;
  }
  void TearDown() override {
    if (m_i686) FreeLibrary(m_i686);
    if (m_module) FreeLibrary(m_module);
  }

  // Looked up the way the applet does it, by "#" and the decimal id.
  std::vector<unsigned char> Bitmap(HMODULE module, int id) const {
    const std::string name = "#" + std::to_string(id);
    return Bytes(module, MAKEINTRESOURCEA(2), name.c_str());  // RT_BITMAP
  }

  HMODULE m_module = nullptr;
  HMODULE m_i686 = nullptr;
};

TEST_P(Pictures, EveryNamedBitmapIsAnEightBitDibOfItsSizeInBothModules) {
  std::vector<unsigned char> palette;
  for (int id : *GetParam().ids) {
    SCOPED_TRACE("bitmap " + std::to_string(id));
    const std::vector<unsigned char> bytes = Bitmap(m_module, id);
    Dib dib;
    const auto problem = ReadDib(bytes, dib);
    ASSERT_FALSE(problem.has_value()) << *problem;
    const lt::BitmapEntry* bitmap = nullptr;
    for (const lt::BitmapEntry& s : GetParam().sizes) {
      if (s.id == id) bitmap = &s;
    }
    ASSERT_NE(bitmap, nullptr) << "the layout tables do not know it";
    EXPECT_EQ(dib.width, bitmap->width);
    EXPECT_EQ(dib.height, bitmap->height);
    // One palette for the whole module.
    if (palette.empty()) palette = dib.colours;
    EXPECT_EQ(dib.colours, palette);
    EXPECT_EQ(Bitmap(m_i686, id), bytes) << "the 32-bit module differs";
    // The platform makes a bitmap of it at that size.
    HBITMAP handle = static_cast<HBITMAP>(
        LoadImageA(m_module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(handle, nullptr);
    BITMAP info = {};
    GetObjectA(handle, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, bitmap->width);
    EXPECT_EQ(info.bmHeight, bitmap->height);
    DeleteObject(handle);
  }
}

// A module's palette uses its colours: a table of one colour repeated
// would pass the format checks yet show nothing.
TEST_P(Pictures, PaletteHoldsManyDistinctColours) {
  Dib dib;
  ASSERT_FALSE(ReadDib(Bitmap(m_module, 200), dib).has_value());
  std::map<std::uint32_t, int> distinct;
  for (int i = 0; i < 256; ++i) {
    std::uint32_t c;
    std::memcpy(&c, &dib.colours[i * 4], 4);
    ++distinct[c];
  }
  EXPECT_GT(distinct.size(), 200u);
}

INSTANTIATE_TEST_SUITE_P(ResourceModules, Pictures, testing::ValuesIn(kPictureModules),
                         [](const auto& info) {
                           std::string name = info.param.file;
                           return name.substr(0, name.find('.'));
                         });

// Reads one bitmap of a module.
Dib Load(HMODULE module, int id) {
  Dib dib;
  const auto problem = ReadDib(Bytes(module, MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(id)), dib);
  EXPECT_FALSE(problem.has_value()) << "bitmap " << id << ": " << problem.value_or("");
  return dib;
}

// How many pixels of `part` differ from `whole` at (x, y); -1 when it does not fit.
int Mismatch(const Dib& part, const Dib& whole, int x, int y) {
  if (part.width == 0 || x < 0 || y < 0 || x + part.width > whole.width ||
      y + part.height > whole.height) {
    return -1;
  }
  int differ = 0;
  for (int j = 0; j < part.height; ++j) {
    for (int i = 0; i < part.width; ++i) differ += part.At(i, j) != whole.At(x + i, y + j);
  }
  return differ;
}

double MeanLuminance(const Dib& dib) {
  double sum = 0;
  for (int y = 0; y < dib.height; ++y) {
    for (int x = 0; x < dib.width; ++x) sum += dib.Luminance(x, y);
  }
  return dib.width ? sum / (dib.width * dib.height) : 0;
}

class ModuleFixture : public testing::Test {
 protected:
  void Open(const char* file) {
    m_module = LoadLibraryA(file);
    ASSERT_GE(reinterpret_cast<UINT_PTR>(m_module), 32u) << file;
  }
  void TearDown() override {
    if (m_module) FreeLibrary(m_module);
  }
  HMODULE m_module = nullptr;
};

using EditorPictures = ModuleFixture;

// Parts the view draws over the skin or the pad picture in their resting
// state are the very pixels underneath, so nothing jumps when they redraw.
TEST_F(EditorPictures, RestingPartsMatchThePictureBeneathThem) {
  Open("KLOOM_RS.DLL");
  const Dib skin = Load(m_module, lt::kloom::kBackground);
  struct Part {
    int id;
    lt::Rect at;
  };
  std::vector<Part> parts = {
      {lt::kloom::kGameList, lt::kGameListRect},
      {lt::kloom::kProfileList, lt::kProfileListRect},
      {lt::kloom::kStatusBox, lt::kStatusBoxRect},
      {lt::kloom::kSelectorBackground, lt::kPadSelectorRect},
      {lt::kloom::kImportFace, lt::kImportButtonRect},
      {lt::kloom::kPageUpReleased, lt::kGamePageUpRect},
      {lt::kloom::kPageDownReleased, lt::kProfilePageDownRect},
  };
  for (int mode = 0; mode < 3; ++mode) parts.push_back({213 + mode, lt::kModeButtons[mode]});
  for (const lt::PictureMenu& menu : lt::kMenus) parts.push_back({menu.tabFaceBitmap, menu.tab});
  for (const Part& part : parts) {
    EXPECT_EQ(Mismatch(Load(m_module, part.id), skin, part.at.left, part.at.top), 0)
        << "bitmap " << part.id;
  }
  for (const lt::PadModelLayout* model : {&lt::kModel10, &lt::kModel12}) {
    const Dib pad = Load(m_module, model->padBitmap);
    const int ox = lt::kPadPictureRect.left;
    const int oy = lt::kPadPictureRect.top;
    EXPECT_EQ(Mismatch(Load(m_module, model->dpadReleasedBitmap), pad,
                       model->dpadReleased.left - ox, model->dpadReleased.top - oy),
              0)
        << "model " << model->buttons << " direction pad";
    for (int p = 4; p < model->inputs; ++p) {
      const lt::Rect& r = model->picture[p];
      EXPECT_EQ(Mismatch(Load(m_module, model->releasedBase + p), pad, r.left - ox, r.top - oy), 0)
          << "model " << model->buttons << " input " << p;
    }
  }
}

// A pressed input is brighter than the same place at rest.
TEST_F(EditorPictures, PressedInputsLightUp) {
  Open("KLOOM_RS.DLL");
  for (const lt::PadModelLayout* model : {&lt::kModel10, &lt::kModel12}) {
    const Dib pad = Load(m_module, model->padBitmap);
    for (int k = 0; k < model->inputs; ++k) {
      const lt::Rect& r = model->picture[k];
      const Dib pressed = Load(m_module, model->pressedBase + k);
      // The resting pixels of the same rectangle, cut from the pad picture.
      double rest = 0;
      for (int y = 0; y < r.Height(); ++y) {
        for (int x = 0; x < r.Width(); ++x) {
          rest += pad.Luminance(r.left - lt::kPadPictureRect.left + x,
                                r.top - lt::kPadPictureRect.top + y);
        }
      }
      rest /= r.Width() * r.Height();
      EXPECT_GT(MeanLuminance(pressed), rest + 12) << "model " << model->buttons << " input " << k;
    }
  }
}

// The drop-downs differ from one another, and each item's highlight differs
// from the drop-down beneath it but keeps its size.
TEST_F(EditorPictures, MenuHighlightsChangeTheirItemOnly) {
  Open("KLOOM_RS.DLL");
  for (const lt::PictureMenu& menu : lt::kMenus) {
    const Dib drop = Load(m_module, menu.dropDownBitmap);
    for (std::size_t d = 0; d < menu.items.size(); ++d) {
      const lt::Rect& item = menu.items[d];
      const Dib lit = Load(m_module, menu.highlightBase + static_cast<int>(d));
      const int differ =
          Mismatch(lit, drop, item.left - menu.dropDown.left, item.top - menu.dropDown.top);
      EXPECT_GT(differ, lit.width * lit.height / 4)
          << "menu bitmap " << menu.dropDownBitmap << " item " << d;
    }
  }
}

using AppletPictures = ModuleFixture;

TEST_F(AppletPictures, TestPageOverlaysAtRestMatchThePadPicture) {
  Open("OSTRARS.DLL");
  for (const lt::TestPadLayout* pad :
       {&lt::kTestPad10Large, &lt::kTestPad10Small, &lt::kTestPad12Large, &lt::kTestPad12Small}) {
    const Dib picture = Load(m_module, pad->picture);
    const lt::Rect& neutral = pad->overlays[0];
    EXPECT_EQ(Mismatch(Load(m_module, pad->picture + 1), picture, neutral.left, neutral.top), 0)
        << "pad picture " << pad->picture << " neutral direction";
    for (std::size_t k = 0; k < pad->buttons.size(); ++k) {
      const lt::Rect& r = pad->overlays[9 + k];
      const lt::ButtonOverlay& row = pad->buttons[k];
      if (row.released != row.pressed) {
        EXPECT_EQ(Mismatch(Load(m_module, row.released), picture, r.left, r.top), 0)
            << "released " << row.released;
      }
      EXPECT_GT(Mismatch(Load(m_module, row.pressed), picture, r.left, r.top), 0)
          << "pressed " << row.pressed << " looks released";
    }
    for (int d = 1; d < 9; ++d) {
      const lt::Rect& r = pad->overlays[d];
      EXPECT_GT(Mismatch(Load(m_module, pad->picture + 1 + d), picture, r.left, r.top), 0)
          << "direction picture " << pad->picture + 1 + d << " looks neutral";
    }
  }
}

// Image and mask pairs: the mask is black exactly where the image has colour.
TEST_F(AppletPictures, MasksCoverTheirImages) {
  Open("OSTRARS.DLL");
  const std::pair<int, int> pairs[] = {{210, 211}, {212, 213}, {214, 215},
                                       {216, 217}, {222, 223}, {224, 223}};
  for (const auto& [imageId, maskId] : pairs) {
    const Dib image = Load(m_module, imageId);
    const Dib mask = Load(m_module, maskId);
    ASSERT_EQ(image.width, mask.width);
    ASSERT_EQ(image.height, mask.height);
    int opaque = 0;
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) {
        const std::uint32_t m = mask.Colour(x, y);
        ASSERT_TRUE(m == 0 || m == 0xFFFFFF) << maskId << " at " << x << "," << y;
        if (m == 0xFFFFFF) {
          EXPECT_EQ(image.Colour(x, y), 0u) << imageId << " shows through at " << x << "," << y;
        }
        opaque += m == 0;
      }
    }
    EXPECT_GT(opaque, image.width * image.height / 4) << imageId;
    EXPECT_LT(opaque, image.width * image.height) << imageId;
  }
}

// ---------------------------------------------------------------------------
// Dialog templates.

struct Control {
  int id;
  const char* className;
};

struct DialogCase {
  const char* file;
  int id;
  bool page;
  std::vector<Control> controls;
};

const DialogCase kDialogs[] = {
    {"KLOOM_RS.DLL", 100, false, {{1, "Button"}}},
    {"KLOOM_RS.DLL", 102, false, {{1033, "Edit"}, {1, "Button"}, {2, "Button"}}},
    {"KLOOM_RS.DLL", 103, false, {{1003, "SysListView32"}, {1, "Button"}}},
    {"KLOOM_RS.DLL", 281, false, {{1000, "Edit"}, {1, "Button"}, {2, "Button"}}},
    {"OSTRARS.DLL",
     135,
     true,
     {{1021, "SysListView32"},
      {1026, "SysAnimate32"},
      {1027, "Button"},
      {1020, "Button"},
      {1022, "Static"},
      {1023, "Static"},
      {1024, "Static"},
      {1025, "Static"}}},
    {"OSTRARS.DLL",
     136,
     true,
     {{1080, "Button"},
      {1081, "Button"},
      {1082, "Button"},
      {1083, "Static"},
      {1084, "Static"},
      {1085, "Static"},
      {1086, "Static"},
      {1087, "Static"},
      {1088, "Static"},
      {1089, "Static"},
      {1090, "Static"},
      {1091, "Static"},
      {1092, "Static"},
      {1093, "Static"},
      {1094, "Static"}}},
    {"OSTRARS.DLL",
     137,
     true,
     {{1060, "Button"},
      {1061, "Button"},
      {1062, "Button"},
      {1063, "Button"},
      {1064, "Button"},
      {1065, "Static"},
      {1066, "Static"},
      {1067, "Static"},
      {1068, "Button"},
      {1069, "Static"},
      {1070, "Static"},
      {1071, "Static"},
      {1072, "Static"},
      {1073, "Static"}}},
    {"OSTRARS.DLL",
     138,
     false,
     {{1031, "ComboBox"}, {1030, "ListBox"}, {1, "Button"}, {2, "Button"}}},
    {"OSTRARS.DLL",
     139,
     false,
     {{1041, "Static"},
      {1042, "Static"},
      {1043, "Button"},
      {1044, "ComboBox"},
      {1045, "ComboBox"},
      {1046, "Button"},
      {1047, "Button"},
      {1048, "Button"},
      {1049, "Button"},
      {1050, "Button"},
      {1051, "Button"},
      {1, "Button"},
      {2, "Button"}}},
};

void PrintTo(const DialogCase& c, std::ostream* out) {
  *out << c.file << " " << c.id;
}

INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

// Opens a dialog template of a module; pages get a parent window as a
// property sheet would give them.
class DialogTest : public testing::TestWithParam<DialogCase> {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_LISTVIEW_CLASSES | ICC_ANIMATE_CLASS};
    InitCommonControlsEx(&init);
    m_module = LoadLibraryA(GetParam().file);
    ASSERT_GE(reinterpret_cast<UINT_PTR>(m_module), 32u);
    if (GetParam().page) {
      m_parent = CreateWindowExA(0, "Static", "sheet", WS_OVERLAPPEDWINDOW, 0, 0, 800, 700, nullptr,
                                 nullptr, nullptr, nullptr);
      ASSERT_NE(m_parent, nullptr);
    }
    m_dialog =
        CreateDialogParamA(m_module, MAKEINTRESOURCEA(GetParam().id), m_parent, QuietProc, 0);
    ASSERT_NE(m_dialog, nullptr) << "error " << GetLastError();
  }
  void TearDown() override {
    if (m_dialog) DestroyWindow(m_dialog);
    if (m_parent) DestroyWindow(m_parent);
    if (m_module) FreeLibrary(m_module);
  }
  // A control's rectangle in the dialog's client coordinates.
  RECT ChildRect(int id) const {
    RECT r = {};
    GetWindowRect(GetDlgItem(m_dialog, id), &r);
    MapWindowPoints(nullptr, m_dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  HMODULE m_module = nullptr;
  HWND m_parent = nullptr;
  HWND m_dialog = nullptr;
};

TEST_P(DialogTest, HoldsEveryControlTheProgramDrives) {
  for (const Control& control : GetParam().controls) {
    HWND child = GetDlgItem(m_dialog, control.id);
    ASSERT_NE(child, nullptr) << "control " << control.id;
    char name[64] = {};
    GetClassNameA(child, name, sizeof name);
    EXPECT_EQ(lstrcmpiA(name, control.className), 0) << "control " << control.id << " is " << name;
  }
  const LONG style = GetWindowLongA(m_dialog, GWL_STYLE);
  EXPECT_EQ((style & WS_CHILD) != 0, GetParam().page);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, DialogTest, testing::ValuesIn(kDialogs), [](const auto& info) {
  std::string name = info.param.file;
  return name.substr(0, name.find('_') < name.find('.') ? name.find('_') : name.find('.')) +
         std::to_string(info.param.id);
});

class TestPageDialog : public DialogTest {};

// The pad picture area is where the page decides between its two layouts:
// at the usual font it must take the large one, and the large picture must
// then sit inside the page below the controller labels.
TEST_P(TestPageDialog, PictureAreaTakesTheLargeLayout) {
  const RECT first = ChildRect(1086);
  const RECT last = ChildRect(1087);
  const int width = last.right - first.left;
  const int height = last.bottom - first.top;
  EXPECT_GT(width, lt::kTestLargeArea.width);
  EXPECT_GT(height, lt::kTestLargeArea.height);
  RECT client = {};
  GetClientRect(m_dialog, &client);
  EXPECT_LE(last.right, client.right);
  EXPECT_LE(last.bottom, client.bottom);
  EXPECT_GE(first.top, ChildRect(1082).bottom);
  EXPECT_GE(first.top, ChildRect(1080).bottom);
  EXPECT_GE(first.top, ChildRect(1081).bottom);
}

INSTANTIATE_TEST_SUITE_P(Applet, TestPageDialog,
                         testing::Values(DialogCase{"OSTRARS.DLL", 136, true, {}}),
                         [](const auto&) { return std::string("Page136"); });

class PictureCorner : public DialogTest {};

// The pages draw the joystick picture and the device picture in their top
// left corner and the indicators above their captions; no control may sit there.
TEST_P(PictureCorner, PicturesAndIndicatorsHaveRoom) {
  std::vector<RECT> drawn = {{lt::kJoystickPictureAt.x, lt::kJoystickPictureAt.y,
                              lt::kJoystickPictureAt.x + lt::kJoystickPictureSize.width,
                              lt::kJoystickPictureAt.y + lt::kJoystickPictureSize.height},
                             {lt::kDevicePictureAt.x, lt::kDevicePictureAt.y,
                              lt::kDevicePictureAt.x + lt::kDevicePictureSize.width,
                              lt::kDevicePictureAt.y + lt::kDevicePictureSize.height}};
  const bool calibration = GetParam().id == 137;
  const int xy = calibration ? 1070 : 1090;
  for (int caption : {xy, xy + 1, xy + 2, xy + 3}) {
    const RECT c = ChildRect(caption);
    const int depth = caption == xy + 1 || caption == xy + 2 ? 90 : 60;
    drawn.push_back({c.left, c.top - depth, c.left + 50, c.top - 10});
  }
  RECT client = {};
  GetClientRect(m_dialog, &client);
  const std::vector<int> frames = {1082, 1064, 1068};
  for (const RECT& d : drawn) {
    EXPECT_GE(d.left, 0);
    EXPECT_GE(d.top, 0);
    EXPECT_LE(d.right, client.right);
    for (HWND child = GetWindow(m_dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      const int id = GetDlgCtrlID(child);
      bool frame = false;
      for (int f : frames) frame |= f == id;
      if (frame || id == 1086 || id == 1087) continue;
      RECT r = {};
      GetWindowRect(child, &r);
      MapWindowPoints(nullptr, m_dialog, reinterpret_cast<POINT*>(&r), 2);
      RECT overlap = {};
      EXPECT_FALSE(IntersectRect(&overlap, &r, &d))
          << "control " << id << " lies under a picture at " << d.left << "," << d.top;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Applet, PictureCorner,
                         testing::Values(DialogCase{"OSTRARS.DLL", 136, true, {}},
                                         DialogCase{"OSTRARS.DLL", 137, true, {}}),
                         [](const auto& info) { return "Page" + std::to_string(info.param.id); });

// The items a dialog's combo boxes start with (initialisation data, type 240).
std::map<int, std::vector<std::string>> ComboItems(HMODULE module, int dialog) {
  std::map<int, std::vector<std::string>> items;
  const std::vector<unsigned char> data =
      Bytes(module, MAKEINTRESOURCEA(240), MAKEINTRESOURCEA(dialog));
  std::size_t at = 0;
  while (at + 2 <= data.size()) {
    WORD id;
    std::memcpy(&id, &data[at], 2);
    if (id == 0) break;
    if (at + 8 > data.size()) return {};
    WORD message;
    DWORD length;
    std::memcpy(&message, &data[at + 2], 2);
    std::memcpy(&length, &data[at + 4], 4);
    at += 8;
    if (at + length > data.size() || length == 0 || data[at + length - 1] != 0) return {};
    if (message == 0x0403) {
      items[id].push_back(std::string(reinterpret_cast<const char*>(&data[at]), length - 1));
    }
    at += length;
  }
  return items;
}

TEST(DialogItems, JoystickTypeOffersSixteenIdsAndCustomOffersAxesAndButtons) {
  HMODULE module = LoadLibraryA("OSTRARS.DLL");
  ASSERT_GE(reinterpret_cast<UINT_PTR>(module), 32u);
  auto type = ComboItems(module, 138);
  ASSERT_EQ(type[1031].size(), 16u);
  for (int k = 1; k <= 16; ++k) EXPECT_EQ(type[1031][k - 1], std::to_string(k));
  auto custom = ComboItems(module, 139);
  ASSERT_EQ(custom[1044].size(), 3u);
  EXPECT_NE(custom[1044][0].find("X and Y"), std::string::npos);
  EXPECT_NE(custom[1044][1].find('Z'), std::string::npos);
  EXPECT_EQ(custom[1044][1].find('R'), std::string::npos);
  EXPECT_NE(custom[1044][2].find('R'), std::string::npos);
  ASSERT_FALSE(custom[1045].empty());
  for (std::size_t i = 0; i < custom[1045].size(); ++i) {
    // Entry i stands for i + 2 buttons.
    EXPECT_EQ(std::stoi(custom[1045][i]), static_cast<int>(i) + 2) << custom[1045][i];
  }
  EXPECT_EQ(custom[1045].back(), "32 buttons");
  FreeLibrary(module);
}

}  // namespace
}  // namespace kl
