// The applet's registry readers, BuildJoystickTypeList and then
// LoadJoystickTable, on arbitrary registry contents. With bit 0 of the first
// byte set the rest is a registry export (.reg text, as `kltool joystick
// --registry` reads it); otherwise it is a list of values written under the
// joystick keys: each a key choice, a value name choice, a type and the data
// (see ValueWriter). Bit 1 of the first byte plugs joystick 0, whose driver
// key names the settings key. Whatever the values hold, every opened key is
// closed, every name fits the platform's 256-byte buffers, the fixed types
// keep their positions and a present joystick says so in its usage bits; an
// export that is refused leaves the registry empty.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "applet/joystick_config.h"
#include "applet/joystick_registry.h"
#include "fuzz/fuzz_support.h"
#include "platform/sim/sim_joystick.h"
#include "platform/sim/sim_registry.h"
#include "resources/builtin_strings.h"

namespace {

using kl::fuzz::Fail;

constexpr char kDriver[] = "fuzzdrv";

class Bytes {
 public:
  Bytes(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
  bool Empty() const { return m_pos >= m_size; }
  uint8_t Byte() { return Empty() ? 0 : m_data[m_pos++]; }
  std::string Text(size_t length) {
    const size_t n = std::min(length, m_size - m_pos);
    std::string text(reinterpret_cast<const char*>(m_data + m_pos), n);
    m_pos += n;
    return text;
  }

 private:
  const uint8_t* m_data;
  size_t m_size;
  size_t m_pos = 0;
};

// Writes one value: a byte choosing the key, one choosing the value name, a
// type byte, a length byte and that many data bytes. Key and value choices
// that take a name read it as a length byte and the text.
void WriteValue(kl::SimRegistry& registry, Bytes& in) {
  const uint8_t keyChoice = in.Byte();
  const std::string joystickKey = kl::kJoystickKeyPath;
  const std::string oemKey = kl::kOemTypesKeyPath;
  std::string path;
  switch (keyChoice % 5) {
    case 0:
      path = joystickKey + "\\" + kDriver + "\\" + kl::kCurrentSettingsName;
      break;
    case 1:
      path = oemKey + "\\" + in.Text(in.Byte());
      break;
    case 2:
      path = joystickKey + "\\" + in.Text(in.Byte()) + "\\" + kl::kCurrentSettingsName;
      break;
    case 3:
      path = joystickKey + "\\" + in.Text(in.Byte());
      break;
    default:
      path = oemKey;
      break;
  }
  const uint8_t nameChoice = in.Byte();
  const uint32_t id = nameChoice >> 3;  // 0..31: ids beyond 1..16 as well
  std::string name;
  switch (nameChoice % 8) {
    case 0:
      name = kl::JoystickValueName(id, "Configuration");
      break;
    case 1:
      name = kl::JoystickValueName(id, "OEMName");
      break;
    case 2:
      name = "OEMName";
      break;
    case 3:
      name = "OEMCallout";
      break;
    case 4:
      name = "OEMData";
      break;
    case 5:
      name = kl::JoystickValueName(id, "OEMCallOut");
      break;
    case 6:
      name = in.Text(in.Byte());
      break;
    default:
      name = "";
      break;
  }
  const uint8_t typeChoice = in.Byte();
  const uint32_t types[] = {kl::kRegSz, kl::kRegBinary, kl::kRegDword, typeChoice};
  const std::string value = in.Text(in.Byte());
  kl::RegKey key = kl::kRegNone;
  if (registry.CreateKey(kl::kHkeyLocalMachine, path, kl::kKeyAllAccess, key) != kl::kRegOk) {
    return;
  }
  registry.SetValue(key, name, types[typeChoice % 4],
                    reinterpret_cast<const uint8_t*>(value.data()),
                    static_cast<uint32_t>(value.size()));
  registry.CloseKey(key);
}

void CheckName(const std::string& name) {
  if (name.size() >= kl::kJoyNameSize) Fail("a name longer than the platform's buffer");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  Bytes in(data + 1, size - 1);
  kl::SimRegistry registry;
  if (data[0] & 1) {
    // A text with any malformed line is refused whole.
    if (!registry.LoadText(in.Text(size - 1), nullptr) &&
        registry.DumpText() != kl::SimRegistry().DumpText()) {
      Fail("a refused registry export changed the registry");
    }
  } else {
    while (!in.Empty()) WriteValue(registry, in);
  }
  kl::SimJoystick joystick;
  if (data[0] & 2) {
    joystick.SetNumDevs(16);
    joystick.Plug(0).caps.szRegKey = kDriver;
  }
  const kl::BuiltinStrings strings(kl::StringModule::kOstra);
  kl::JoystickRegistry reader(registry, joystick, strings);

  kl::JoystickTypeList types;
  reader.BuildJoystickTypeList(types);
  if (types.size() < kl::kFixedTypeCount) Fail("fixed types missing");
  for (size_t position = 0; position < types.size(); ++position) {
    if (position < kl::kFixedTypeCount &&
        types[position].oemKey != kl::kFixedJoystickTypes[position].oemKey) {
      Fail("a fixed type moved");
    }
    CheckName(types[position].oemKey);
    CheckName(types[position].displayName);
    CheckName(types[position].oemCallout);
  }

  kl::JoystickTable table;
  const bool loaded = reader.LoadJoystickTable(types, table);
  const std::string joystickKey = std::string("HKEY_LOCAL_MACHINE\\") + kl::kJoystickKeyPath;
  if (loaded != registry.KeyExists(joystickKey)) Fail("the result does not match the key");
  for (uint32_t id = 1; id <= kl::kJoystickCount; ++id) {
    const kl::JoystickRecord& record = table.At(id);
    CheckName(record.oemKey);
    CheckName(record.displayName);
    CheckName(record.oemCallout);
    if (record.present > 1) Fail("a presence other than 0 or 1");
    if (record.present && !(record.config.dwUsageSettings & kl::kJoyUsPresent)) {
      Fail("a present joystick without its usage bit");
    }
  }
  if (registry.OpenHandleCount() != 0) Fail("a registry key was left open");
  return 0;
}
