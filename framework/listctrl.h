// The common list view control in report mode, as a dialog's child: columns,
// rows with an image and item data, image lists, selection and focus, sorting
// by a column's text, and hit tests of rows in the control's own client
// coordinates. CImageList owns an image list made from a bitmap of the
// resource module. Both are thin: the list wraps a window its dialog owns.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

namespace kl {

class CImageList {
 public:
  CImageList() = default;
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;
  ~CImageList() { DeleteImageList(); }

  // Cuts bitmap `bitmapId` of the resource module into images `width` pixels
  // wide; the colour of its top left pixel is transparent. False without it.
  bool Create(UINT bitmapId, int width);
  void DeleteImageList();
  HIMAGELIST GetSafeHandle() const { return m_list; }
  int GetImageCount() const { return m_list != nullptr ? ImageList_GetImageCount(m_list) : 0; }

 private:
  HIMAGELIST m_list = nullptr;
};

class CListCtrl {
 public:
  // Binds to the list view `id` of `dialog`; false when there is none.
  bool Attach(HWND dialog, int id);
  HWND GetSafeHwnd() const { return m_hWnd; }

  // The column's index, or -1. `format` is LVCFMT_LEFT, LVCFMT_CENTER, ...
  int InsertColumn(int column, const std::string& heading, int format, int width);
  bool SetColumnWidth(int column, int width);
  int GetColumnWidth(int column) const;
  std::string GetColumnHeading(int column) const;
  int GetColumnCount() const;

  // The row's index, or -1.
  int InsertItem(int item, const std::string& text, int image, LPARAM data);
  bool SetItemText(int item, int subItem, const std::string& text);
  std::string GetItemText(int item, int subItem) const;
  int GetItemImage(int item) const;
  LPARAM GetItemData(int item) const;
  int GetItemCount() const;
  bool DeleteAllItems();

  // LVSIL_NORMAL, LVSIL_SMALL or LVSIL_STATE; the previous list of that kind.
  HIMAGELIST SetImageList(const CImageList& images, int which);
  HIMAGELIST GetImageList(int which) const;

  // The first selected row, or -1.
  int GetSelectedItem() const;
  // The row with the focus, or -1.
  int GetFocusedItem() const;
  // Selects `item` and gives it the focus (the selection mark follows).
  bool SelectAndFocus(int item);
  bool SetItemState(int item, UINT state, UINT mask);
  UINT GetItemState(int item, UINT mask) const;

  // Orders the rows by the text of `column`, case-insensitively, ascending.
  bool SortByColumnText(int column);

  // The row whose bounds hold `clientPoint` (the control's client
  // coordinates), among the rows now visible; -1 when the point is on none.
  int HitTestRow(POINT clientPoint) const;
  // The position of the message being handled, in the control's client coordinates.
  POINT MessagePosInClient() const;

  // The column of a LVN_COLUMNCLICK (or any NMLISTVIEW notification) from a list.
  static int NotifiedColumn(const NMHDR& header) {
    return reinterpret_cast<const NMLISTVIEW&>(header).iSubItem;
  }

  DWORD SetExtendedStyle(DWORD style);
  bool GetClientWidth(int& width) const;

 private:
  HWND m_hWnd = nullptr;
};

}  // namespace kl
