// The ids of the strings the pad view shows from the editor's resource
// module: status hints, message box texts, captions and the first ids of
// the numbered runs (table titles, input names, mode names).
#pragma once

#include <cstdint>

namespace kl {

constexpr uint32_t kStrKeyModeHint = 61218;
constexpr uint32_t kStrSequenceHint = 61219;
constexpr uint32_t kStrRecordingHint = 61220;
constexpr uint32_t kStrStoppedHint = 61221;
constexpr uint32_t kStrStartHint = 61222;
constexpr uint32_t kStrCycleHint = 61223;
constexpr uint32_t kMsgSequenceFull = 61230;
constexpr uint32_t kMsgCycleFull = 61231;
constexpr uint32_t kStrPadCaption = 61374;
constexpr uint32_t kStrNoProfileYet = 61224;
constexpr uint32_t kMsgNoGame = 61232;
constexpr uint32_t kMsgNoProfile = 61233;
constexpr uint32_t kMsgNothingToSave = 61234;
constexpr uint32_t kMsgNothingToPaste = 61235;
constexpr uint32_t kMsgReplaceProfile = 61240;
constexpr uint32_t kMsgSaveChanges = 61241;
constexpr uint32_t kMsgDeleteGame = 61243;
constexpr uint32_t kMsgDeleteProfile = 61244;
// No pad is detected: at start-up, and instead of a print dialog.
constexpr uint32_t kMsgNoPad = 61245;
constexpr uint32_t kMsgMousePreset = 61246;
constexpr uint32_t kMsgNoInput = 61247;
constexpr uint32_t kMsgInputEmpty = 61248;
constexpr uint32_t kStrMousePresetCaption = 61401;
constexpr uint32_t kStrTableTitleFirst = 61365;
constexpr uint32_t kStrInputNameFirst = 61387;
constexpr uint32_t kStrInputName14 = 61264;
constexpr uint32_t kStrModeNameFirst = 61266;

}  // namespace kl
