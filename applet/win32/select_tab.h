// The device selection page (template 135): the list of configured
// joysticks with their state, kept current by a once-a-second presence
// check, the auto-detect box, the type button and the animation. Choosing a
// row makes its joystick the one the other pages work on.
#pragma once

#include <cstdint>
#include <vector>

#include "applet/selection.h"
#include "applet/win32/applet_context.h"
#include "framework/controls.h"
#include "framework/listctrl.h"
#include "framework/propsheet.h"

namespace kl {

class SelectTab : public CPropertyPage {
 public:
  static constexpr UINT kTemplateId = 135;
  static constexpr const char* kRuntimeClassName = "SelectTab";

  explicit SelectTab(AppletContext& context)
      : CPropertyPage(kTemplateId, PSP_HASHELP), m_context(context) {}

  // Nothing to commit: every change of this page is stored at once.
  bool CommitPage() override { return true; }

 protected:
  bool OnInitDialog() override;
  bool OnSetActive() override;
  bool OnKillActive() override;
  bool OnTimer(UINT_PTR id) override;
  bool OnCommand(UINT id) override;
  bool OnNotify(UINT id, NMHDR& header, LRESULT& result) override;

 private:
  void CreateColumns();
  void ShowRows(const std::vector<DeviceRow>& rows);
  // Makes the joystick of `row` the current one (none for -1).
  void ChooseRow(int row);
  void RunTypeDialog();
  void OnListClick();

  AppletContext& m_context;
  CListCtrl m_list;
  CImageList m_normalImages;
  CImageList m_smallImages;
  CImageList m_stateImages;
  CAnimateCtrl m_animation;
  CButton m_autoDetect;
  UINT_PTR m_timer = 0;
  uint8_t m_lastCount = 0;
};

}  // namespace kl
