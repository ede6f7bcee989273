#include "applet/joystick_types.h"

#include <algorithm>

namespace kl {

const FixedJoystickType kFixedJoystickTypes[kFixedTypeCount] = {
    {"", 22, 0, 0},           {"predef1", 23, 0, 0},     {"predef2", 24, 0, 2},
    {"predef3", 25, 0, 4},    {"predef4", 26, 0x20, 2},  {"predef5", 27, 0x10, 2},
    {"predef6", 28, 0x11, 2}, {"predef7", 29, 0x1, 2},   {"predef8", 30, 0x1, 4},
    {"predef9", 31, 0x20, 4}, {"predef10", 32, 0x10, 4}, {"predef11", 33, 0x11, 4},
};

namespace {

// Display names are sorted as lstrcmpA sorts them for plain ASCII names:
// alphabetically regardless of case first, then a lower-case letter before its
// upper-case form, then by byte, so only identical names compare equal.
int CompareNames(const std::string& a, const std::string& b) {
  auto fold = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : int(c); };
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int d = fold(static_cast<unsigned char>(a[i])) - fold(static_cast<unsigned char>(b[i]));
    if (d != 0) return d;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (size_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) return (a[i] >= 'a' && a[i] <= 'z') ? -1 : 1;
  }
  return 0;
}

}  // namespace

bool InsertTypeSorted(JoystickTypeList& list, const JoystickTypeEntry& entry) {
  if (list.empty() || CompareNames(list.front().displayName, entry.displayName) > 0) {
    list.insert(list.begin(), entry);
    return true;
  }
  if (CompareNames(list.front().displayName, entry.displayName) == 0) return false;
  auto at = std::find_if(list.begin(), list.end(), [&](const JoystickTypeEntry& e) {
    return CompareNames(e.displayName, entry.displayName) >= 0;
  });
  list.insert(at, entry);
  return true;
}

void InsertTypeAt(JoystickTypeList& list, const JoystickTypeEntry& entry, uint32_t position) {
  const size_t at = std::min<size_t>(position, list.size());
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), entry);
}

std::optional<JoystickTypeMatch> FindJoystickType(const JoystickTypeList& list,
                                                  const std::string& name, uint32_t position) {
  if (position >= 1) {
    if (position >= list.size()) return std::nullopt;
    const JoystickTypeEntry& e = list[position];
    JoystickTypeMatch match;
    match.displayName = e.displayName;
    if (!e.oemKey.empty()) match.oemKey = e.oemKey;
    return match;
  }
  auto it = std::find_if(list.begin(), list.end(),
                         [&](const JoystickTypeEntry& e) { return e.displayName == name; });
  if (it == list.end()) return std::nullopt;
  return JoystickTypeMatch{it->displayName, it->oemKey, it->oemCallout, it->flags, it->buttons};
}

}  // namespace kl
