#include "applet/selection.h"

#include <algorithm>
#include <array>

namespace kl {
namespace {

// Column buffers of the device list rows, terminator included.
constexpr size_t kIdColumnSize = 5;
constexpr size_t kNameColumnSize = 100;
constexpr size_t kStateColumnSize = 50;
// Auto-detection places pads on the first four ids.
constexpr uint32_t kPadIds = 4;

std::string Cut(std::string text, size_t bufferSize) {
  if (text.size() >= bufferSize) text.resize(bufferSize - 1);
  return text;
}

bool IsPadRecord(const JoystickRecord& record, const std::string& padName) {
  return record.present && record.displayName == padName;
}

void MakePadRecord(JoystickRecord& record, const JoystickTypeList& types,
                   const std::string& padName) {
  record = JoystickRecord{};
  record.displayName = padName;
  // Without the pad type registered the record keeps only name, usage and type.
  if (auto match = FindJoystickType(types, padName, 0)) {
    record.oemKey = match->oemKey.value_or("");
    record.oemCallout = match->oemCallout;
    record.config.hws.dwFlags = match->flags;
    record.config.hws.dwNumButtons = match->buttons;
  }
  record.config.dwUsageSettings = kJoyUsPresent | kJoyUsIsOem;
  record.config.dwType = kJoyTypeAutoDetectedPad;
  record.present = 1;
}

}  // namespace

bool IsMakersPadName(const std::string& displayName) {
  return displayName.find("Vornatek") != std::string::npos ||
         displayName.find("Brontal") != std::string::npos;
}

void ClearJoystick(JoystickTable& table, uint32_t id) {
  JoystickRecord& record = table.At(id);
  record = JoystickRecord{};
  record.config.dwUsageSettings = kJoyUsPresent;
}

std::vector<DeviceRow> OpenSelectionPage(JoystickRegistry& joysticks, AppletState& state) {
  // A cleared start, so a table that cannot be read shows nothing from an
  // earlier opening; "modified" then compares against what was found.
  state.working.Clear();
  joysticks.BuildJoystickTypeList(state.types);
  joysticks.LoadJoystickTable(state.types, state.working);
  state.opening = state.working;
  state.applied = state.working;
  if (state.autoDetect) {
    AutoDetectPads(joysticks, state);
  } else {
    joysticks.SaveJoystickTable(state.working);
    joysticks.ProbeJoysticks(state.working);
  }
  joysticks.ProbeJoysticks(state.working);
  RemoveDeadDevices(joysticks, state);
  return FillDeviceList(joysticks, state);
}

bool AutoDetectPads(JoystickRegistry& joysticks, AppletState& state) {
  JoystickTable& table = state.working;
  const std::string padName = joysticks.Strings().Load(kPadNameStringId);

  uint32_t padsBeyond = 0;
  for (uint32_t id = kPadIds + 1; id <= kJoystickCount; ++id) {
    if (IsPadRecord(table.At(id), padName)) ++padsBeyond;
  }
  if (padsBeyond == kPadIds) return true;

  std::vector<JoystickRecord> displaced;
  std::array<bool, kPadIds> wasPad{};
  for (uint32_t id = 1; id <= kPadIds; ++id) {
    JoystickRecord& record = table.At(id);
    if (IsPadRecord(record, padName)) {
      wasPad[id - 1] = true;
    } else if (record.present) {
      displaced.push_back(record);
      record = JoystickRecord{};
    }
  }

  const uint32_t need = padsBeyond < kPadIds ? kPadIds - padsBeyond : 0;
  for (uint32_t id = 1; id <= need; ++id) {
    if (!table.At(id).present) MakePadRecord(table.At(id), state.types, padName);
  }

  const bool placed = joysticks.SaveJoystickTable(table);
  state.respondingCount = joysticks.CountRespondingJoysticks();

  // Pads placed here beyond the answering devices are taken back; pads that
  // were configured before stay.
  for (uint32_t position = state.respondingCount; position < kPadIds; ++position) {
    if (!wasPad[position]) ClearJoystick(table, position + 1);
  }

  for (const JoystickRecord& record : displaced) {
    for (uint32_t id = 1; id <= kJoystickCount; ++id) {
      if (!table.At(id).present) {
        table.At(id) = record;
        break;
      }
    }
  }
  return joysticks.SaveJoystickTable(table) && placed;
}

void RemoveDeadDevices(JoystickRegistry& joysticks, AppletState& state) {
  for (uint32_t id = 1; id <= kJoystickCount; ++id) {
    const JoystickRecord& record = state.working.At(id);
    if (record.status != kStatusAnswers && record.config.hws.dwFlags != kJoyHwsIsGamepad) {
      ClearJoystick(state.working, id);
      joysticks.SaveJoystickTable(state.working);
    }
  }
}

std::vector<DeviceRow> FillDeviceList(JoystickRegistry& joysticks, AppletState& state) {
  joysticks.ProbeJoysticks(state.working);
  const std::string answers = joysticks.Strings().Load(kAnswersStringId);
  const std::string notAnswering = joysticks.Strings().Load(kNotAnsweringStringId);
  std::vector<DeviceRow> rows;
  for (uint32_t id = 1; id <= kJoystickCount; ++id) {
    JoystickRecord& record = state.working.At(id);
    if (!record.present) continue;
    DeviceRow row;
    row.id = id;
    // Appended piecewise: GCC 12 warns falsely (-Wrestrict) on " " + std::string.
    row.idText = " ";
    row.idText = Cut(row.idText.append(std::to_string(id)), kIdColumnSize);
    row.name = Cut(record.displayName, kNameColumnSize);
    row.state = Cut(record.status == kStatusAnswers ? answers : notAnswering, kStateColumnSize);
    if (!IsMakersPadName(record.displayName)) {
      row.image = DeviceImage::kOther;
    } else if (record.status != kStatusAnswers) {
      row.image = DeviceImage::kPadNotAnswering;
    } else {
      JoyInfo info;
      joysticks.IsJoystickResponding(id - 1, info);
      JoyCaps caps;
      const bool capsRead = joysticks.GetJoystick().GetDevCaps(id - 1, caps) == kJoyErrNoError;
      // A pad whose model cannot be told shows as an ordinary device.
      if (capsRead && caps.wNumButtons == 10) {
        row.image = DeviceImage::kPad10;
        record.padButtons = 10;
      } else if (capsRead && caps.wNumButtons == 12) {
        row.image = DeviceImage::kPad12;
        record.padButtons = 12;
      } else {
        row.image = DeviceImage::kOther;
        record.padButtons = 0;
      }
    }
    rows.push_back(row);
  }
  return rows;
}

TypeDialogSelection InitialTypeSelection(const AppletState& state) {
  TypeDialogSelection selection;
  if (IsJoystickId(state.currentId)) {
    const JoystickRecord& record = state.working.At(state.currentId);
    selection.comboIndex = state.currentId - 1u;
    selection.typeIndex = record.config.dwType < state.types.size() ? record.config.dwType : 0;
    // Auto-detected pads carry a type number that is no list position: find
    // their registered type by its key instead.
    if ((record.config.dwUsageSettings & kJoyUsIsOem) && !record.oemKey.empty()) {
      for (size_t position = kFixedTypeCount; position < state.types.size(); ++position) {
        if (state.types[position].oemKey == record.oemKey) {
          selection.typeIndex = static_cast<uint32_t>(position);
          break;
        }
      }
    }
    return selection;
  }
  for (uint32_t id = 1; id <= kJoystickCount; ++id) {
    if (!state.working.At(id).present) {
      selection.comboIndex = id - 1;
      break;
    }
  }
  return selection;
}

bool AcceptJoystickType(JoystickRegistry& joysticks, AppletState& state, const TypeChoice& choice) {
  if (!IsJoystickId(choice.id) || choice.type >= state.types.size()) return false;
  JoystickTable& table = state.working;
  JoystickRecord& record = table.At(choice.id);
  const JoystickTypeEntry& entry = state.types[choice.type];

  record = JoystickRecord{};
  record.displayName = entry.displayName;
  record.config.dwUsageSettings = kJoyUsPresent;
  record.present = choice.type != kJoyTypeNone ? 1 : 0;
  record.config.dwType = choice.type;

  if (choice.type == kJoyTypeCustom) {
    // The custom type is remembered under "predef1", so its calibration comes
    // back when the same axes and buttons are chosen again.
    record.oemKey = "predef1";
    joysticks.LoadSavedTypeConfig(table, choice.id, record.oemKey);
    const JoyRegHwSettings& remembered = record.config.hws;
    if (remembered.dwNumButtons != choice.customButtons ||
        remembered.dwFlags != choice.customFlags) {
      record = JoystickRecord{};
      record.oemKey = "predef1";
      record.displayName = entry.displayName;
      record.config.dwUsageSettings = kJoyUsPresent;
      record.present = 1;
      record.config.dwType = kJoyTypeCustom;
      record.config.hws.dwFlags = choice.customFlags;
      record.config.hws.dwNumButtons = choice.customButtons;
    }
  } else if (choice.type != kJoyTypeNone) {
    // The chosen entry itself, not the first one of the same name.
    record.oemKey = entry.oemKey;
    record.oemCallout = entry.oemCallout;
    record.config.hws.dwFlags = entry.flags;
    record.config.hws.dwNumButtons = entry.buttons;
    const bool registered = choice.type >= kFixedTypeCount;
    const std::string memoryKey =
        registered ? entry.oemKey : std::string("predef").append(std::to_string(choice.type));
    joysticks.LoadSavedTypeConfig(table, choice.id, memoryKey);
    record.config.dwUsageSettings = registered ? (kJoyUsPresent | kJoyUsIsOem) : kJoyUsPresent;
    // A remembered copy may carry the type's position from before other
    // types were registered.
    record.config.dwType = choice.type;
  }
  state.currentId = kNoJoystick;
  return true;
}

TypeDialogOutcome CommitJoystickType(JoystickRegistry& joysticks, AppletState& state) {
  joysticks.SaveJoystickTable(state.working);
  TypeDialogOutcome outcome;
  outcome.rows = FillDeviceList(joysticks, state);
  outcome.modified = IsSheetModified(state);
  return outcome;
}

CustomJoystickResult AcceptCustomJoystick(const CustomJoystickChoice& choice) {
  CustomJoystickResult result;
  result.buttons = choice.buttonEntry + 2;
  if (choice.axesEntry == 1) {
    result.flags = kJoyHwsHasZ;
  } else if (choice.axesEntry == 2) {
    result.flags = kJoyHwsHasZ | kJoyHwsHasR;
  }
  if (choice.hasHat) result.flags |= kJoyHwsHasPov;
  if (choice.special) {
    switch (choice.kind) {
      case SpecialKind::kCarController:
        result.flags |= kJoyHwsIsCarCtrl;
        break;
      case SpecialKind::kGamepad:
        result.flags |= kJoyHwsIsGamepad;
        break;
      case SpecialKind::kYoke:
        result.flags |= kJoyHwsIsYoke;
        break;
      case SpecialKind::kNone:
        break;
    }
  }
  return result;
}

}  // namespace kl
