#include "framework/listctrl.h"

#include <algorithm>
#include <vector>

#include "framework/module.h"

namespace kl {

namespace {

// Texts of a list are read into a buffer of this size; longer ones are cut.
constexpr int kTextBufferSize = 512;

std::string ItemText(HWND list, int item, int subItem) {
  char text[kTextBufferSize] = {};
  LVITEMA lv = {};
  lv.iSubItem = subItem;
  lv.pszText = text;
  lv.cchTextMax = sizeof text;
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
  return text;
}

// Everything a row holds that sorting moves.
struct Row {
  std::vector<std::string> texts;
  int image = 0;
  LPARAM data = 0;
  UINT state = 0;
};

}  // namespace

bool CImageList::Create(UINT bitmapId, int width) {
  DeleteImageList();
  m_list = ImageList_LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(bitmapId), width, 1,
                                CLR_DEFAULT, IMAGE_BITMAP, LR_CREATEDIBSECTION);
  return m_list != nullptr;
}

void CImageList::DeleteImageList() {
  if (m_list != nullptr) {
    ImageList_Destroy(m_list);
    m_list = nullptr;
  }
}

bool CListCtrl::Attach(HWND dialog, int id) {
  m_hWnd = GetDlgItem(dialog, id);
  return m_hWnd != nullptr;
}

int CListCtrl::InsertColumn(int column, const std::string& heading, int format, int width) {
  LVCOLUMNA col = {};
  col.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  col.fmt = format;
  col.cx = width;
  col.pszText = const_cast<char*>(heading.c_str());
  col.iSubItem = column;
  return static_cast<int>(SendMessageA(m_hWnd, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column),
                                       reinterpret_cast<LPARAM>(&col)));
}

bool CListCtrl::SetColumnWidth(int column, int width) {
  return SendMessageA(m_hWnd, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                      MAKELPARAM(width, 0)) != 0;
}

int CListCtrl::GetColumnWidth(int column) const {
  return static_cast<int>(SendMessageA(m_hWnd, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

std::string CListCtrl::GetColumnHeading(int column) const {
  char text[kTextBufferSize] = {};
  LVCOLUMNA col = {};
  col.mask = LVCF_TEXT;
  col.pszText = text;
  col.cchTextMax = sizeof text;
  if (SendMessageA(m_hWnd, LVM_GETCOLUMNA, static_cast<WPARAM>(column),
                   reinterpret_cast<LPARAM>(&col)) == 0) {
    return {};
  }
  return text;
}

int CListCtrl::GetColumnCount() const {
  HWND header = reinterpret_cast<HWND>(SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0));
  return header != nullptr ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int CListCtrl::InsertItem(int item, const std::string& text, int image, LPARAM data) {
  LVITEMA lv = {};
  lv.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  lv.iItem = item;
  lv.pszText = const_cast<char*>(text.c_str());
  lv.iImage = image;
  lv.lParam = data;
  return static_cast<int>(SendMessageA(m_hWnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&lv)));
}

bool CListCtrl::SetItemText(int item, int subItem, const std::string& text) {
  LVITEMA lv = {};
  lv.iSubItem = subItem;
  lv.pszText = const_cast<char*>(text.c_str());
  return SendMessageA(m_hWnd, LVM_SETITEMTEXTA, static_cast<WPARAM>(item),
                      reinterpret_cast<LPARAM>(&lv)) != 0;
}

std::string CListCtrl::GetItemText(int item, int subItem) const {
  return ItemText(m_hWnd, item, subItem);
}

int CListCtrl::GetItemImage(int item) const {
  LVITEMA lv = {};
  lv.mask = LVIF_IMAGE;
  lv.iItem = item;
  if (SendMessageA(m_hWnd, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lv)) == 0) return -1;
  return lv.iImage;
}

LPARAM CListCtrl::GetItemData(int item) const {
  LVITEMA lv = {};
  lv.mask = LVIF_PARAM;
  lv.iItem = item;
  if (SendMessageA(m_hWnd, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lv)) == 0) return 0;
  return lv.lParam;
}

int CListCtrl::GetItemCount() const {
  return static_cast<int>(SendMessageA(m_hWnd, LVM_GETITEMCOUNT, 0, 0));
}

bool CListCtrl::DeleteAllItems() {
  return SendMessageA(m_hWnd, LVM_DELETEALLITEMS, 0, 0) != 0;
}

HIMAGELIST CListCtrl::SetImageList(const CImageList& images, int which) {
  return reinterpret_cast<HIMAGELIST>(
      SendMessageA(m_hWnd, LVM_SETIMAGELIST, static_cast<WPARAM>(which),
                   reinterpret_cast<LPARAM>(images.GetSafeHandle())));
}

HIMAGELIST CListCtrl::GetImageList(int which) const {
  return reinterpret_cast<HIMAGELIST>(
      SendMessageA(m_hWnd, LVM_GETIMAGELIST, static_cast<WPARAM>(which), 0));
}

int CListCtrl::GetSelectedItem() const {
  return static_cast<int>(
      SendMessageA(m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
}

int CListCtrl::GetFocusedItem() const {
  return static_cast<int>(
      SendMessageA(m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_FOCUSED, 0)));
}

bool CListCtrl::SetItemState(int item, UINT state, UINT mask) {
  LVITEMA lv = {};
  lv.stateMask = mask;
  lv.state = state;
  return SendMessageA(m_hWnd, LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                      reinterpret_cast<LPARAM>(&lv)) != 0;
}

UINT CListCtrl::GetItemState(int item, UINT mask) const {
  return static_cast<UINT>(
      SendMessageA(m_hWnd, LVM_GETITEMSTATE, static_cast<WPARAM>(item), static_cast<LPARAM>(mask)));
}

bool CListCtrl::SelectAndFocus(int item) {
  const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
  if (!SetItemState(item, both, both)) return false;
  SendMessageA(m_hWnd, LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(item));
  return true;
}

bool CListCtrl::SortByColumnText(int column) {
  const int columns = GetColumnCount();
  if (column < 0 || column >= columns) return false;
  // The rows are read out, ordered here and written back: the control's own
  // sorting hands the comparison indexes that move while it sorts.
  const UINT states = LVIS_SELECTED | LVIS_FOCUSED;
  std::vector<Row> rows(static_cast<size_t>(GetItemCount()));
  for (size_t i = 0; i < rows.size(); ++i) {
    const int item = static_cast<int>(i);
    for (int sub = 0; sub < columns; ++sub) rows[i].texts.push_back(GetItemText(item, sub));
    rows[i].image = GetItemImage(item);
    rows[i].data = GetItemData(item);
    rows[i].state = GetItemState(item, states);
  }
  const auto key = static_cast<size_t>(column);
  std::stable_sort(rows.begin(), rows.end(), [key](const Row& a, const Row& b) {
    return lstrcmpiA(a.texts[key].c_str(), b.texts[key].c_str()) < 0;
  });
  for (size_t i = 0; i < rows.size(); ++i) {
    const int item = static_cast<int>(i);
    LVITEMA lv = {};
    lv.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    lv.iItem = item;
    lv.pszText = const_cast<char*>(rows[i].texts[0].c_str());
    lv.iImage = rows[i].image;
    lv.lParam = rows[i].data;
    lv.stateMask = states;
    lv.state = rows[i].state;
    if (SendMessageA(m_hWnd, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&lv)) == 0) return false;
    for (int sub = 1; sub < columns; ++sub)
      SetItemText(item, sub, rows[i].texts[static_cast<size_t>(sub)]);
  }
  return true;
}

int CListCtrl::HitTestRow(POINT clientPoint) const {
  const int count = GetItemCount();
  const int top = static_cast<int>(SendMessageA(m_hWnd, LVM_GETTOPINDEX, 0, 0));
  const int perPage = static_cast<int>(SendMessageA(m_hWnd, LVM_GETCOUNTPERPAGE, 0, 0));
  // A partly visible row at the bottom counts as well.
  const int last = std::min(count, top + perPage + 1);
  for (int item = std::max(top, 0); item < last; ++item) {
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    if (SendMessageA(m_hWnd, LVM_GETITEMRECT, static_cast<WPARAM>(item),
                     reinterpret_cast<LPARAM>(&bounds)) != 0 &&
        PtInRect(&bounds, clientPoint)) {
      return item;
    }
  }
  return -1;
}

POINT CListCtrl::MessagePosInClient() const {
  const DWORD pos = GetMessagePos();
  POINT point = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
  ScreenToClient(m_hWnd, &point);
  return point;
}

DWORD CListCtrl::SetExtendedStyle(DWORD style) {
  return static_cast<DWORD>(
      SendMessageA(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style)));
}

bool CListCtrl::GetClientWidth(int& width) const {
  RECT client = {};
  if (!GetClientRect(m_hWnd, &client)) return false;
  width = client.right - client.left;
  return true;
}

}  // namespace kl
