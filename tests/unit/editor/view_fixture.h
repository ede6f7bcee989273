// The fixture of the pad view tests: a key-file folder in a private
// temporary directory, a simulated registry with recognised pads, a
// joystick whose polls can be made to fail, recording ports and a view.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "editor/pad_view.h"
#include "editor/recording_ports.h"
#include "platform/sim/host_filesystem.h"
#include "platform/sim/recording_input.h"
#include "platform/sim/recording_timers.h"
#include "platform/sim/sim_joystick.h"
#include "platform/sim/sim_pads.h"
#include "platform/sim/sim_registry.h"
#include "resources/builtin_strings.h"

namespace kl::test {

namespace fs = std::filesystem;

// Records the hot spots the lists, menus and window boxes handle; with
// `probe` off it lets the view handle them.
class ProbeView : public PadView {
 public:
  using PadView::PadView;
  std::vector<int> others;
  bool probe = true;

 protected:
  void OnOtherHotSpot(int index, layout::Point p) override {
    others.push_back(index);
    if (!probe) PadView::OnOtherHotSpot(index, p);
  }
};

// The simulated joystick, whose every second poll of joystick 0 can be made
// to fail (the view reads each pad twice a tick: counting, then polling).
class FlakyJoystick : public Joystick {
 public:
  explicit FlakyJoystick(SimJoystick& inner) : m_inner(inner) {}
  void FailEverySecondPoll(bool on) {
    m_fail = on;
    m_calls = 0;
  }
  uint32_t GetNumDevs() override { return m_inner.GetNumDevs(); }
  uint32_t GetDevCaps(uint32_t id, JoyCaps& caps) override { return m_inner.GetDevCaps(id, caps); }
  uint32_t GetPosEx(uint32_t id, JoyInfo& info) override {
    if (m_fail && id == 0 && ++m_calls % 2 == 0) return kJoyErrUnplugged;
    return m_inner.GetPosEx(id, info);
  }
  uint32_t ConfigChanged(uint32_t flags) override { return m_inner.ConfigChanged(flags); }

 private:
  SimJoystick& m_inner;
  bool m_fail = false;
  uint32_t m_calls = 0;
};

class PadViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kl-editor-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_root = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(m_root, ec);
  }

  void AddPad(uint32_t id, uint32_t buttons) {
    ASSERT_TRUE(DeclarePad(m_joystick, m_registry, id,
                           {"test", "pad" + std::to_string(id), "Vornatek GamePad", buttons}));
  }
  void SetSetting(std::vector<uint8_t> bytes) {
    RegKey key = kRegNone;
    ASSERT_EQ(
        m_registry.CreateKey(kHkeyCurrentUser, "Software\\Vornatek\\GamePad2", kKeyAllAccess, key),
        kRegOk);
    m_registry.SetValue(key, "Setting", kRegBinary, bytes.data(),
                        static_cast<uint32_t>(bytes.size()));
    m_registry.CloseKey(key);
  }
  // Games with one profile "GAME1" each, saved with default tables.
  void AddGames(const std::vector<std::string>& games, uint8_t buttons) {
    GameList list;
    ScriptedPrompts prompts(m_scratch);
    ProfileStore store(m_fs, prompts, list, m_root);
    store.SetPadCount(1);
    store.SetPadButtons(0, buttons);
    store.MakeDefaultTable(0, buttons == 12, false);
    for (const std::string& game : games) {
      list.AddGame(game);
      ASSERT_NE(store.AppendProfile(game, "GAME1"), 255);
    }
    ASSERT_TRUE(
        list.SaveGameList(m_fs, m_root + "/" + kGameListName, m_root + "/" + kGameListTempName));
  }
  ProbeView& Start() {
    m_view =
        std::make_unique<ProbeView>(PadViewPorts{m_canvas, m_prompts, m_prompts, m_shell, m_timers,
                                                 m_settingLog, m_flaky, m_fs, m_input, m_strings},
                                    m_root);
    m_view->probe = m_probe;
    m_shell.SetRepaint([this] { m_view->OnDraw(); });
    m_view->Create();
    m_log.clear();
    return *m_view;
  }
  // A view on one pad with one game and profile loaded.
  ProbeView& StartLoaded(uint8_t buttons = 10) {
    AddPad(0, buttons);
    AddGames({"DOOM.EXE"}, buttons);
    ProbeView& view = Start();
    EXPECT_EQ(view.DirtyState(), 0);
    return view;
  }
  void Click(int x, int y) {
    m_view->OnLeftButtonDown({x, y});
    m_view->OnLeftButtonUp({x, y});
  }
  void Key(uint32_t vk, bool down, uint32_t scan = 0, bool ext = false, bool repeat = false) {
    KeyEvent key;
    key.down = down;
    key.vk = vk;
    key.scan = scan;
    key.extended = ext;
    key.previous = repeat || !down;
    key.system = vk == 18;
    m_consumed = m_view->OnKey(key);
  }
  void Tap(uint32_t vk) {
    Key(vk, true);
    Key(vk, false);
  }
  // Clicks the picture rectangle of input k of the current model.
  void Select(uint8_t k) {
    const layout::PadModelLayout& model =
        m_view->Pad(0).model == 12 ? layout::kModel12 : layout::kModel10;
    Click(model.picture[k].left + 5, model.picture[k].top + 5);
  }
  const KeyEntry* Entry(uint8_t k) { return m_view->Store().Table(0).Find(k); }
  bool Logged(const std::string& line) const {
    return std::find(m_log.begin(), m_log.end(), line) != m_log.end();
  }
  size_t IndexOf(const std::string& line) const {
    return static_cast<size_t>(std::find(m_log.begin(), m_log.end(), line) - m_log.begin());
  }

  std::string m_root;
  PortLog m_log;
  PortLog m_scratch;
  RecordingCanvas m_canvas{m_log};
  ScriptedPrompts m_prompts{m_log};
  RecordingShell m_shell{m_log};
  RecordingTimers m_timers{m_log};
  SimRegistry m_registry;
  SettingLogRegistry m_settingLog{m_registry, m_log};
  SimJoystick m_joystick;
  FlakyJoystick m_flaky{m_joystick};
  bool m_probe = true;
  HostFileSystem m_fs;
  RecordingInput m_input;
  BuiltinStrings m_strings{StringModule::kKloom};
  std::unique_ptr<ProbeView> m_view;
  bool m_consumed = false;
};

}  // namespace kl::test
