// Every string id each program loads from its resource module, with the
// arguments a format string is given and the room the program has for the
// text. Written from what the programs do, not from the string sources, so
// that a missing, misnumbered or overlong text shows up in the native tests
// and, against the built modules, in the Windows test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace kl::test {

// Characters a text may have; kAnyLength where only the loader's buffer
// limits it (a message box text, a format buffer of 256 or 260 bytes).
inline constexpr std::size_t kAnyLength = 255;

struct RequiredString {
  uint32_t id;
  // Conversions of a format string in order: 'd' a number, 's' a text;
  // "" for a plain text, which then holds no conversion at all.
  const char* arguments;
  std::size_t maxLength;
  const char* use;
};

// KLOOM_RS.DLL, the editor.
inline constexpr RequiredString kKloomStrings[] = {
    {128, "", 19, "frame title"},
    {61218, "", kAnyLength, "status: key mode"},
    {61219, "", kAnyLength, "status: sequence mode 1"},
    {61220, "", kAnyLength, "status: recording"},
    {61221, "", kAnyLength, "status: recording stopped"},
    {61222, "", kAnyLength, "status: at start"},
    {61223, "", kAnyLength, "status: sequence mode 2"},
    {61224, "", kAnyLength, "status: game without profile"},
    {61228, "", kAnyLength, "game already listed"},
    {61229, "", kAnyLength, "profile name exists"},
    {61230, "", kAnyLength, "sequence full (mode 1)"},
    {61231, "", kAnyLength, "sequence full (mode 2)"},
    {61232, "", kAnyLength, "no game selected"},
    {61233, "", kAnyLength, "no profile selected"},
    {61234, "", kAnyLength, "nothing to save"},
    {61235, "", kAnyLength, "nothing to paste"},
    {61236, "", kAnyLength, "key file cannot be read"},
    {61237, "", kAnyLength, "key file cannot be written"},
    {61238, "", kAnyLength, "key file cannot be opened for loading"},
    {61240, "", kAnyLength, "overwrite profile?"},
    {61241, "", kAnyLength, "save changes?"},
    {61242, "", kAnyLength, "runtime mapper not found"},
    {61243, "", kAnyLength, "delete game? (then the name)"},
    {61244, "", kAnyLength, "delete profile? (then the name)"},
    {61245, "", kAnyLength, "no gamepad"},
    {61246, "", kAnyLength, "mouse preset question"},
    {61247, "", kAnyLength, "no input selected"},
    {61248, "", kAnyLength, "input has no keys"},
    {61249, "", kAnyLength, "add-game file dialog filter"},
    {61250, "", 49, "input name 0"},
    {61251, "", 49, "input name 1"},
    {61252, "", 49, "input name 2"},
    {61253, "", 49, "input name 3"},
    {61254, "", 49, "input name 4"},
    {61255, "", 49, "input name 5"},
    {61256, "", 49, "input name 6"},
    {61257, "", 49, "input name 7"},
    {61258, "", 49, "input name 8"},
    {61259, "", 49, "input name 9"},
    {61260, "", 49, "input name 10, 10-button pad"},
    {61261, "", 49, "input name 11, 10-button pad"},
    {61264, "", 8, "short input name, row 14"},
    {61265, "", 8, "short input name, row 15"},
    {61266, "", 49, "mode name 0"},
    {61267, "", 49, "mode name 0x80"},
    {61268, "", 49, "mode name 1"},
    {61269, "", 49, "mode name 0x81"},
    {61270, "", 49, "mode name 2"},
    {61271, "", 49, "mode name 4"},
    {61272, "", 49, "mode name, other modes"},
    // Key names 61273..61339 and 61386 are listed by kKeyNames below.
    {61340, "", 19, "reference name 0"},
    {61341, "", 19, "reference name 1"},
    {61342, "", 19, "reference name 2"},
    {61343, "", 19, "reference name 3"},
    {61344, "", 19, "reference name 4"},
    {61345, "", 19, "reference name 5"},
    {61346, "", 19, "reference name 6"},
    {61347, "", 19, "reference name 7"},
    {61348, "", 19, "reference name 8"},
    {61349, "", 19, "reference name 9"},
    {61350, "", 19, "reference name 10"},
    {61351, "", 19, "reference name 11"},
    {61352, "", 19, "reference name 12"},
    {61353, "", 19, "reference name 14"},
    {61354, "", 19, "reference name 15"},
    {61355, "", 19, "reference name 16"},
    {61356, "", 19, "reference name 17"},
    {61357, "", 19, "reference name 18"},
    {61358, "", 19, "modifier 0x01 right Alt"},
    {61359, "", 19, "modifier 0x02 left Alt"},
    {61360, "", 19, "modifier 0x04 right Ctrl"},
    {61361, "", 19, "modifier 0x08 left Ctrl"},
    {61362, "", 19, "modifier 0x10 right Shift"},
    {61363, "", 19, "modifier 0x20 left Shift"},
    {61364, "", 19, "unassigned caption"},
    {61365, "", 19, "assignment table column 0"},
    {61366, "", 19, "assignment table column 1"},
    {61367, "", 19, "assignment table column 2"},
    {61368, "", 19, "reference name 13"},
    {61369, "", 49, "input name 12"},
    {61370, "", 49, "input name 13"},
    {61371, "s", kAnyLength, "print heading 1 (game name)"},
    {61372, "s", kAnyLength, "print heading 2 (game name)"},
    {61373, "s", kAnyLength, "print heading 3 (game name)"},
    {61374, "d", kAnyLength, "pad caption (pad number)"},
    {61375, "", 49, "input name 10, 12-button pad"},
    {61376, "", 49, "input name 11, 12-button pad"},
    {61377, "", 49, "input name 14, 12-button pad"},
    {61378, "", 49, "input name 15, 12-button pad"},
    {61379, "", kAnyLength, "mouse action 1"},
    {61380, "", kAnyLength, "mouse action 2"},
    {61381, "", kAnyLength, "mouse action 4"},
    {61382, "", kAnyLength, "mouse action 8"},
    {61383, "", kAnyLength, "mouse action 16"},
    {61384, "", kAnyLength, "mouse action 64"},
    {61385, "", kAnyLength, "mouse action 32"},
    {61387, "", 8, "short input name, row 0"},
    {61388, "", 8, "short input name, row 1"},
    {61389, "", 8, "short input name, row 2"},
    {61390, "", 8, "short input name, row 3"},
    {61391, "", 8, "short input name, row 4"},
    {61392, "", 8, "short input name, row 5"},
    {61393, "", 8, "short input name, row 6"},
    {61394, "", 8, "short input name, row 7"},
    {61395, "", 8, "short input name, row 8"},
    {61396, "", 8, "short input name, row 9"},
    {61397, "", 8, "short input name, row 10"},
    {61398, "", 8, "short input name, row 11"},
    {61399, "", 8, "short input name, row 12"},
    {61400, "", 8, "short input name, row 13"},
    {61401, "", kAnyLength, "mouse preset caption"},
};

// The key name string of each virtual-key code that has one, and the name a
// Windows keyboard gives that key.
struct KeyName {
  uint8_t vk;
  uint32_t id;
  const char* name;
};

inline constexpr KeyName kKeyNames[] = {
    {0x01, 61273, "Left Button"},  {0x02, 61274, "Right Button"},
    {0x03, 61275, "Break"},        {0x04, 61276, "Middle Button"},
    {0x08, 61277, "Backspace"},    {0x09, 61278, "Tab"},
    {0x0C, 61279, "Clear"},        {0x0D, 61280, "Enter"},
    {0x13, 61281, "Pause"},        {0x14, 61282, "Caps Lock"},
    {0x1B, 61283, "Esc"},          {0x20, 61284, "Space"},
    {0x21, 61285, "Page Up"},      {0x22, 61286, "Page Down"},
    {0x23, 61287, "End"},          {0x24, 61288, "Home"},
    {0x25, 61289, "Left"},         {0x26, 61290, "Up"},
    {0x27, 61291, "Right"},        {0x28, 61292, "Down"},
    {0x29, 61293, "Select"},       {0x2B, 61294, "Execute"},
    {0x2C, 61295, "Print Screen"}, {0x2D, 61296, "Insert"},
    {0x2E, 61297, "Delete"},       {0x2F, 61298, "Help"},
    {0x60, 61299, "Num 0"},        {0x61, 61300, "Num 1"},
    {0x62, 61301, "Num 2"},        {0x63, 61302, "Num 3"},
    {0x64, 61303, "Num 4"},        {0x65, 61304, "Num 5"},
    {0x66, 61305, "Num 6"},        {0x67, 61306, "Num 7"},
    {0x68, 61307, "Num 8"},        {0x69, 61308, "Num 9"},
    {0x6A, 61309, "Num *"},        {0x6B, 61310, "Num +"},
    {0x6D, 61311, "Num -"},        {0x6E, 61312, "Num ."},
    {0x6F, 61313, "Num /"},        {0x70, 61314, "F1"},
    {0x71, 61315, "F2"},           {0x72, 61316, "F3"},
    {0x73, 61317, "F4"},           {0x74, 61318, "F5"},
    {0x75, 61319, "F6"},           {0x76, 61320, "F7"},
    {0x77, 61321, "F8"},           {0x78, 61322, "F9"},
    {0x79, 61323, "F10"},          {0x7A, 61324, "F11"},
    {0x7B, 61325, "F12"},          {0x7C, 61326, "F13"},
    {0x7D, 61327, "F14"},          {0x7E, 61328, "F15"},
    {0x7F, 61329, "F16"},          {0x80, 61330, "F17"},
    {0x81, 61331, "F18"},          {0x82, 61332, "F19"},
    {0x83, 61333, "F20"},          {0x84, 61334, "F21"},
    {0x85, 61335, "F22"},          {0x86, 61336, "F23"},
    {0x87, 61337, "F24"},          {0x90, 61338, "Num Lock"},
    {0x91, 61339, "Scroll Lock"},
};

// Codes 1..47 without a name of their own share this one.
inline constexpr uint32_t kUnnamedKeyId = 61386;
inline constexpr std::size_t kKeyNameLength = 19;

// ORVO_RS.DLL, the tray mapper.
inline constexpr RequiredString kOrvoStrings[] = {
    {150, "", 63, "tray tip"},
    {160, "", kAnyLength, "frame title"},
    {61227, "", kAnyLength, "no pad when starting the editor"},
};

// OSTRARS.DLL, the control panel applet.
inline constexpr RequiredString kOstraStrings[] = {
    {1, "", 259, "prompt: centre"},
    {2, "", 259, "prompt: range"},
    {3, "", 259, "prompt: Z axis"},
    {4, "", 259, "prompt: R axis"},
    {5, "", 259, "prompt: hat forward"},
    {6, "", 259, "prompt: hat right"},
    {7, "", 259, "prompt: hat backward"},
    {8, "", 259, "prompt: hat left"},
    {9, "", 259, "generic view caption 1"},
    {10, "", 259, "generic view caption 2"},
    {11, "", 259, "no joystick chosen"},
    {12, "", 259, "joystick not answering"},
    {13, "", 259, "chosen joystick not answering"},
    {14, "", 259, "sheet caption"},
    {15, "", 259, "device list column 0"},
    {16, "", 259, "device list column 1"},
    {17, "", 259, "device list column 2"},
    {18, "", 259, "spare text"},
    {19, "", 259, "joystick has its own driver"},
    {20, "", 49, "status: answers"},
    {21, "", 49, "status: does not answer"},
    {22, "", 99, "type 0: none"},
    {23, "", 99, "type 1: custom"},
    {24, "", 99, "type 2"},
    {25, "", 99, "type 3"},
    {26, "", 99, "type 4"},
    {27, "", 99, "type 5"},
    {28, "", 99, "type 6"},
    {29, "", 99, "type 7"},
    {30, "", 99, "type 8"},
    {31, "", 99, "type 9"},
    {32, "", 99, "type 10"},
    {33, "", 99, "type 11"},
    {57344, "", 49, "application name"},
    {57345, "d", 259, "joystick label (joystick id)"},
    {57346, "d", 259, "responding count label (count)"},
    {57347, "", 259, "pad type name"},
    {57348, "", 259, "10-button pad label"},
    {57349, "", 31, "12-button pad label and applet name"},
    {57350, "", 259, "Z axis label"},
    {57351, "", 259, "R axis label"},
    {57352, "", 259, "X/Y label"},
    {57353, "", 259, "point-of-view label"},
    {57354, "", 259, "calibration finished"},
};

}  // namespace kl::test
