#include "applet/win32/select_tab.h"

#include "applet/device_list.h"
#include "applet/win32/context_help.h"
#include "applet/win32/page_message.h"
#include "applet/win32/type_dialogs.h"
#include "framework/module.h"

namespace kl {

namespace {

constexpr int kListId = 1021;
constexpr int kTypeButtonId = 1020;
constexpr int kAnimationId = 1026;
constexpr int kAutoDetectId = 1027;
constexpr UINT_PTR kPresenceTimerId = 1;
constexpr UINT kPresenceMs = 1000;
constexpr UINT kColumnHeadingIds[3] = {15, 16, 17};
constexpr int kColumnFormats[3] = {LVCFMT_LEFT, LVCFMT_LEFT, LVCFMT_CENTER};

}  // namespace

bool SelectTab::OnInitDialog() {
  SetHelpIds(kSelectTabHelpIds);
  RouteHelpToParent();
  m_list.Attach(m_hWnd, kListId);
  m_animation.Attach(m_hWnd, kAnimationId);
  m_autoDetect.Attach(m_hWnd, kAutoDetectId);

  // What a report list shows comes from the small list; the state list
  // gets the same pictures.
  m_normalImages.Create(202, 32);
  m_smallImages.Create(201, 16);
  m_stateImages.Create(200, 16);
  m_list.SetImageList(m_normalImages, LVSIL_NORMAL);
  m_list.SetImageList(m_stateImages, LVSIL_SMALL);
  m_list.SetImageList(m_stateImages, LVSIL_STATE);
  CreateColumns();

  const std::vector<DeviceRow> rows = OpenSelectionPage(m_context.joysticks, m_context.state);
  m_autoDetect.SetCheck(m_context.state.autoDetect);
  ShowRows(rows);
  m_lastCount = 0;
  m_timer = 0;
  m_animation.Open(m_context.paths.animation);
  return true;
}

void SelectTab::CreateColumns() {
  int width = 0;
  m_list.GetClientWidth(width);
  const std::array<int, 3> widths = DeviceColumnWidths(width);
  for (int column = 0; column < 3; ++column) {
    m_list.InsertColumn(column, AfxLoadString(kColumnHeadingIds[column]), kColumnFormats[column],
                        widths[static_cast<size_t>(column)]);
  }
}

void SelectTab::ShowRows(const std::vector<DeviceRow>& rows) {
  m_list.DeleteAllItems();
  for (size_t i = 0; i < rows.size(); ++i) {
    const int item = m_list.InsertItem(static_cast<int>(i), rows[i].idText,
                                       static_cast<int>(rows[i].image), static_cast<LPARAM>(i));
    if (item < 0) continue;
    m_list.SetItemText(item, 1, rows[i].name);
    m_list.SetItemText(item, 2, rows[i].state);
  }
}

bool SelectTab::OnSetActive() {
  if (m_timer == 0) m_timer = SetTimer(kPresenceTimerId, kPresenceMs);
  ShowRows(FillDeviceList(m_context.joysticks, m_context.state));
  return CPropertyPage::OnSetActive();
}

bool SelectTab::OnKillActive() {
  if (const std::optional<uint32_t> refusal = LeavePageRefusal(m_context.state)) {
    ShowPageMessage(*this, *refusal);
    return false;
  }
  if (m_timer != 0) KillTimer(kPresenceTimerId);
  m_timer = 0;
  return CPropertyPage::OnKillActive();
}

bool SelectTab::OnTimer(UINT_PTR id) {
  if (id != kPresenceTimerId) return false;
  const PresenceTick tick = TickPresence(m_context.joysticks, m_context.state, m_lastCount);
  if (tick.changed) {
    ShowRows(tick.rows);
    if (tick.chooseFirstRow) m_list.SelectAndFocus(0);
  }
  return true;
}

void SelectTab::ChooseRow(int row) {
  m_context.state.currentId =
      row >= 0 ? JoystickIdFromRowText(m_list.GetItemText(row, 0)) : kNoJoystick;
}

void SelectTab::OnListClick() {
  m_context.state.currentId = kNoJoystick;
  const int row = m_list.HitTestRow(m_list.MessagePosInClient());
  if (row < 0) return;
  m_list.SelectAndFocus(row);
  ChooseRow(row);
}

void SelectTab::RunTypeDialog() {
  JoystickTypeDialog dialog(m_context, GetSheetWindow());
  if (dialog.DoModal() != IDOK) return;
  const TypeDialogOutcome outcome = CommitJoystickType(m_context.joysticks, m_context.state);
  ShowRows(outcome.rows);
  if (outcome.modified) SetModified(true);
}

bool SelectTab::OnCommand(UINT id) {
  switch (id) {
    case kAutoDetectId:
      m_context.state.autoDetect = m_autoDetect.GetCheck();
      return true;
    case kTypeButtonId:
      RunTypeDialog();
      return true;
    default:
      return false;
  }
}

bool SelectTab::OnNotify(UINT id, NMHDR& header, LRESULT& result) {
  if (id != kListId) return false;
  result = 0;
  switch (header.code) {
    case LVN_COLUMNCLICK:
      m_list.SortByColumnText(CListCtrl::NotifiedColumn(header));
      return true;
    case NM_CLICK:
      OnListClick();
      return true;
    case NM_DBLCLK:
      if (m_list.HitTestRow(m_list.MessagePosInClient()) >= 0) RunTypeDialog();
      return true;
    case LVN_KEYDOWN: {
      const WORD key = reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey;
      if (key == VK_UP || key == VK_DOWN) {
        ChooseRow(
            RowAfterArrowKey(m_list.GetSelectedItem(), m_list.GetItemCount(), key == VK_DOWN));
      }
      return true;
    }
    case NM_SETFOCUS:
      if (FocusFirstRowOnFocus(m_context.state) && m_list.GetItemCount() > 0) {
        m_list.SetItemState(0, LVIS_FOCUSED, LVIS_FOCUSED);
      }
      return true;
    default:
      return false;
  }
}

}  // namespace kl
