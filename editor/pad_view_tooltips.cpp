// The tooltips over the label boxes: one tool per input of the shown pad's
// model, with the input's whole assignment as its text when the label box
// cannot show it all.
#include "editor/pad_view.h"

namespace kl {
namespace {

// The input a tooltip tool covers, or none.
std::optional<uint8_t> ToolInput(uint32_t toolId) {
  if (toolId < kFirstToolId || toolId > kLastToolId) return std::nullopt;
  const uint32_t offset = toolId - kFirstToolId;
  if (offset < 12) return static_cast<uint8_t>(offset);
  if (toolId == 34) return uint8_t{13};
  if (toolId == 35) return uint8_t{12};
  return static_cast<uint8_t>(toolId - 22);  // 36, 37: inputs 14, 15
}

}  // namespace

void PadView::SetUpTooltips() {
  const layout::PadModelLayout& model = Model();
  std::vector<TooltipTool> tools;
  for (uint32_t id = kFirstToolId; id <= kLastToolId; ++id) {
    const std::optional<uint8_t> input = ToolInput(id);
    if (!input || *input >= model.inputs) continue;
    tools.push_back(TooltipTool{id, model.labels[*input]});
  }
  m_ports.shell.SetUpTooltips(tools);
}

std::optional<std::string> PadView::TooltipText(uint32_t toolId) {
  if (m_menu.open != kNone) return std::nullopt;
  const std::optional<uint8_t> input = ToolInput(toolId);
  if (!input || *input >= Model().inputs) return std::nullopt;
  const std::string text = FormatEntry(*input);
  if (text.size() < kTooltipMinimum) return std::nullopt;
  return text.substr(0, kTooltipLimit);
}

}  // namespace kl
