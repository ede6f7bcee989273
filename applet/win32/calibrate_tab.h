// The calibration page (template 137). Until its own logic comes, it shows the
// template and its context help and holds nothing to commit.
#pragma once

#include "applet/win32/applet_context.h"
#include "framework/propsheet.h"

namespace kl {

class CalibrateTab : public CPropertyPage {
 public:
  static constexpr UINT kTemplateId = 137;
  static constexpr const char* kRuntimeClassName = "CalibrateTab";

  explicit CalibrateTab(AppletContext& context) : CPropertyPage(kTemplateId), m_context(context) {}

  // bool CommitPage(): the page holds nothing of its own yet.
  bool CommitPage() override { return true; }

 protected:
  bool OnInitDialog() override;

 private:
  AppletContext& m_context;
};

}  // namespace kl
