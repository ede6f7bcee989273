// The report-mode list in a real window: columns and rows as the applet's
// device list and the editor's assignment table use them, image lists from a
// resource module, sorting by a column's text, and rows and headers clicked
// with the pointer.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/user_input.h"
#include "framework/listctrl.h"
#include "framework/module.h"
#include "harness/support.h"

namespace {

using kl::CImageList;
using kl::CListCtrl;
using kl::winetest::WaitUntil;

constexpr int kListId = 1021;

// The notifications the list sends its parent, as a page receives them.
struct Seen {
  std::vector<int> clickedRows;  // NM_CLICK: the row under the pointer
  std::vector<int> doubleClickedRows;
  std::vector<int> clickedColumns;  // LVN_COLUMNCLICK
};

Seen g_seen;
CListCtrl* g_list = nullptr;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY && g_list != nullptr) {
    const NMHDR& header = *reinterpret_cast<const NMHDR*>(lParam);
    if (header.idFrom == kListId) {
      switch (header.code) {
        case NM_CLICK:
          g_seen.clickedRows.push_back(g_list->HitTestRow(g_list->MessagePosInClient()));
          break;
        case NM_DBLCLK:
          g_seen.doubleClickedRows.push_back(g_list->HitTestRow(g_list->MessagePosInClient()));
          break;
        case LVN_COLUMNCLICK:
          g_seen.clickedColumns.push_back(CListCtrl::NotifiedColumn(header));
          break;
        default:
          break;
      }
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

class ListCtrl : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&icc));
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KlListParent";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassA(&wc);
    m_parent = CreateWindowExA(0, "KlListParent", "List", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                               100, 420, 260, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(m_parent, nullptr);
    HWND list = CreateWindowExA(
        WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
        WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 10, 10, 380, 160,
        m_parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), wc.hInstance, nullptr);
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(m_list.Attach(m_parent, kListId));
    g_list = &m_list;
    g_seen = {};
  }
  void TearDown() override {
    g_list = nullptr;
    if (m_parent != nullptr) DestroyWindow(m_parent);
  }

  void AddColumns() {
    ASSERT_EQ(m_list.InsertColumn(0, "Id", LVCFMT_LEFT, 60), 0);
    ASSERT_EQ(m_list.InsertColumn(1, "Joystick type", LVCFMT_LEFT, 200), 1);
    ASSERT_EQ(m_list.InsertColumn(2, "Status", LVCFMT_CENTER, 100), 2);
  }
  // Rows of id, name and state, their item data the order they were added in.
  void AddRows(const std::vector<std::vector<std::string>>& rows) {
    for (size_t i = 0; i < rows.size(); ++i) {
      const int item = static_cast<int>(i);
      ASSERT_EQ(m_list.InsertItem(item, rows[i][0], item % 4, static_cast<LPARAM>(i)), item);
      ASSERT_TRUE(m_list.SetItemText(item, 1, rows[i][1]));
      ASSERT_TRUE(m_list.SetItemText(item, 2, rows[i][2]));
    }
  }
  RECT RowRect(int item) {
    RECT rect = {};
    rect.left = LVIR_BOUNDS;
    SendMessageA(m_list.GetSafeHwnd(), LVM_GETITEMRECT, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(&rect));
    return rect;
  }

  HWND m_parent = nullptr;
  CListCtrl m_list;
};

TEST_F(ListCtrl, HoldsColumnsRowsTextsImagesAndData) {
  AddColumns();
  AddRows({{" 1", "Vornatek GamePad", "Ready"}, {" 2", "4-button gamepad", "Not connected"}});
  EXPECT_EQ(m_list.GetColumnCount(), 3);
  EXPECT_EQ(m_list.GetColumnHeading(1), "Joystick type");
  EXPECT_EQ(m_list.GetColumnWidth(1), 200);
  ASSERT_TRUE(m_list.SetColumnWidth(1, 150));
  EXPECT_EQ(m_list.GetColumnWidth(1), 150);
  ASSERT_EQ(m_list.GetItemCount(), 2);
  EXPECT_EQ(m_list.GetItemText(1, 0), " 2");
  EXPECT_EQ(m_list.GetItemText(1, 2), "Not connected");
  EXPECT_EQ(m_list.GetItemImage(1), 1);
  EXPECT_EQ(m_list.GetItemData(1), 1);
  ASSERT_TRUE(m_list.SelectAndFocus(1));
  EXPECT_EQ(m_list.GetSelectedItem(), 1);
  EXPECT_EQ(m_list.GetFocusedItem(), 1);
  ASSERT_TRUE(m_list.DeleteAllItems());
  EXPECT_EQ(m_list.GetItemCount(), 0);
  EXPECT_EQ(m_list.GetSelectedItem(), -1);
}

TEST_F(ListCtrl, SortsByEachColumnsTextIgnoringCase) {
  AddColumns();
  AddRows({{" 3", "beta", "Ready"}, {" 1", "Alpha", "not connected"}, {" 2", "gamma", "Other"}});
  struct Case {
    int column;
    std::vector<std::string> ids;  // column 0 from top to bottom afterwards
  };
  const Case cases[] = {
      {0, {" 1", " 2", " 3"}},
      {1, {" 1", " 3", " 2"}},
      {2, {" 1", " 2", " 3"}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(m_list.SortByColumnText(c.column));
    std::vector<std::string> ids;
    for (int item = 0; item < m_list.GetItemCount(); ++item)
      ids.push_back(m_list.GetItemText(item, 0));
    EXPECT_EQ(ids, c.ids) << "column " << c.column;
  }
  // Texts, images, data and the selection move with their rows.
  ASSERT_TRUE(m_list.SelectAndFocus(2));  // " 3", "beta"
  ASSERT_TRUE(m_list.SortByColumnText(1));
  EXPECT_EQ(m_list.GetItemText(0, 1), "Alpha");
  EXPECT_EQ(m_list.GetItemText(0, 2), "not connected");
  EXPECT_EQ(m_list.GetItemData(0), 1);
  EXPECT_EQ(m_list.GetItemImage(0), 1);
  EXPECT_EQ(m_list.GetSelectedItem(), 1);
  EXPECT_EQ(m_list.GetItemText(1, 0), " 3");
  EXPECT_FALSE(m_list.SortByColumnText(3));
}

TEST_F(ListCtrl, HitTestsRowsInItsOwnCoordinates) {
  AddColumns();
  std::vector<std::vector<std::string>> rows;
  for (int id = 1; id <= 16; ++id) rows.push_back({" " + std::to_string(id), "Name", "Ready"});
  AddRows(rows);
  for (int item = 0; item < 3; ++item) {
    const RECT rect = RowRect(item);
    EXPECT_EQ(m_list.HitTestRow({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}),
              item);
  }
  // Scrolled down: the rows now at the top are found, rows scrolled away are not.
  ASSERT_TRUE(SendMessageA(m_list.GetSafeHwnd(), LVM_ENSUREVISIBLE, 15, FALSE));
  const int top = static_cast<int>(SendMessageA(m_list.GetSafeHwnd(), LVM_GETTOPINDEX, 0, 0));
  ASSERT_GT(top, 0);
  const RECT topRect = RowRect(top);
  EXPECT_EQ(m_list.HitTestRow({topRect.left + 5, (topRect.top + topRect.bottom) / 2}), top);
  EXPECT_EQ(m_list.HitTestRow({5, -40}), -1);
  ASSERT_TRUE(m_list.DeleteAllItems());
  AddRows({{" 1", "Only", "Ready"}});
  const RECT only = RowRect(0);
  EXPECT_EQ(m_list.HitTestRow({only.left + 5, only.bottom + 4}), -1);
  EXPECT_EQ(m_list.HitTestRow({only.left + 5, only.top + 1}), 0);
}

TEST_F(ListCtrl, TakesImageListsFromTheResourceModule) {
  HMODULE module = LoadLibraryExA("OSTRARS.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  kl::AfxSetResourceHandle(module);
  CImageList small;
  ASSERT_TRUE(small.Create(200, 16));
  EXPECT_EQ(small.GetImageCount(), 4);
  CImageList missing;
  EXPECT_FALSE(missing.Create(9999, 16));
  m_list.SetImageList(small, LVSIL_SMALL);
  EXPECT_EQ(m_list.GetImageList(LVSIL_SMALL), small.GetSafeHandle());
  kl::AfxSetResourceHandle(nullptr);
  FreeLibrary(module);
}

TEST_F(ListCtrl, ClickedRowsAndHeadersReachTheParent) {
  AddColumns();
  AddRows({{" 1", "First", "Ready"}, {" 2", "Second", "Ready"}});
  ASSERT_TRUE(kl::winetest::BringToFront(m_parent));
  HWND list = m_list.GetSafeHwnd();

  kl::winetest::ClickAt(kl::winetest::ClientCentre(list, RowRect(1)));
  ASSERT_TRUE(WaitUntil([] { return !g_seen.clickedRows.empty(); }));
  EXPECT_EQ(g_seen.clickedRows.back(), 1);

  // Below the last row: no row.
  RECT below = RowRect(1);
  OffsetRect(&below, 0, 3 * (below.bottom - below.top));
  kl::winetest::ClickAt(kl::winetest::ClientCentre(list, below));
  ASSERT_TRUE(WaitUntil([] { return g_seen.clickedRows.size() >= 2; }));
  EXPECT_EQ(g_seen.clickedRows.back(), -1);

  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  ASSERT_NE(header, nullptr);
  RECT column = {};
  ASSERT_TRUE(SendMessageA(header, HDM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&column)));
  kl::winetest::ClickAt(kl::winetest::ClientCentre(header, column));
  ASSERT_TRUE(WaitUntil([] { return !g_seen.clickedColumns.empty(); }));
  EXPECT_EQ(g_seen.clickedColumns.back(), 2);

  kl::winetest::DoubleClickAt(kl::winetest::ClientCentre(list, RowRect(0)));
  ASSERT_TRUE(WaitUntil([] { return !g_seen.doubleClickedRows.empty(); }));
  EXPECT_EQ(g_seen.doubleClickedRows.back(), 0);
}

}  // namespace
