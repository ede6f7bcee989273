// The output ports of the applet's calibration and test pages: the page's
// drawing, its controls, and the pieces both pages share (finding the
// neighbouring joysticks, formatting the label texts). The page windows
// implement the ports with GDI and USER calls; kltool and the tests record
// every call (page_recording.h).
#pragma once

#include <cstdint>
#include <string>

#include "applet/applet_state.h"
#include "layout_tables.h"
#include "platform/joystick.h"
#include "platform/prompts.h"
#include "platform/strings.h"
#include "platform/timers.h"

namespace kl {

using layout::Point;

// A rectangle as GDI takes it: right and bottom lie just outside.
struct PageRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const PageRect&) const = default;
};

// A rectangle's top-left corner, moved by (dx, dy).
constexpr Point TopLeft(const PageRect& rect, int dx = 0, int dy = 0) {
  return Point{rect.left + dx, rect.top + dy};
}

// Each page polls with one window timer.
constexpr uint32_t kPageTimerId = 1;
constexpr uint32_t kPageTimerPeriod = 30;

// Colour of the Z and R bars, 0x00BBGGRR.
constexpr uint32_t kPageBarColour = 0xFF0000;

class PageCanvas {
 public:
  virtual ~PageCanvas() = default;
  // Bitmap `id` with its top-left corner at `at`, in its own size.
  virtual void DrawBitmap(int id, Point at) = 0;
  // Mask `mask` combined with AND, then image `image` with OR, both at `at`
  // in their own size: the page shows through where the mask is white.
  virtual void DrawMasked(int image, int mask, Point at) = 0;
  // Bitmap `id` stretched into the inclusive rectangle `rect` given relative
  // to `origin` (the pad pictures of the test page).
  virtual void DrawPicture(int id, Point origin, const layout::Rect& rect) = 0;
  // A rectangle drawn with a 1-pixel solid pen and a solid brush of `colour`.
  virtual void FillBar(const PageRect& rect, uint32_t colour) = 0;
  // A polyline of 1-pixel black through three points.
  virtual void DrawLine(Point from, Point via, Point to) = 0;
  // `text` in the page's font with its top-left corner at `at`.
  virtual void DrawText(Point at, const std::string& text) = 0;
};

class PageControls {
 public:
  virtual ~PageControls() = default;
  virtual void SetText(int control, const std::string& text) = 0;
  // The control shows string `stringId` of the applet's resource module.
  virtual void SetString(int control, uint32_t stringId) = 0;
  virtual void Show(int control, bool shown) = 0;
  virtual void Enable(int control, bool enabled) = 0;
  // A push button drawn as the default button, or as a plain one.
  virtual void SetDefaultStyle(int control, bool isDefault) = 0;
  // The sheet counts as changed: Apply becomes available.
  virtual void SetModified() = 0;
  // The whole page is erased and painted again at once: the page's paint
  // runs before this returns.
  virtual void Repaint() = 0;
};

// String ids both pages show.
constexpr uint32_t kStrJoystickLabel = 57345;    // format with the current id
constexpr uint32_t kStrRespondingLabel = 57346;  // format with the responding count
constexpr uint32_t kStrPad10Label = 57348;
constexpr uint32_t kStrPad12Label = 57349;
constexpr uint32_t kStrNotAnswering = 12;

// `format` with its first %d (or %u, %i) replaced by `value`; "%%" gives a
// per cent sign and any other conversion is shown as it stands, so a text
// from the resource module can never read arguments that are not there.
std::string FormatWithNumber(const std::string& format, long long value);

// Whether joystick `id` is configured and answered its last probe.
bool IsAnswering(const JoystickTable& table, uint32_t id);

// The nearest joystick id below (or above) `from` that is configured and
// answering; `from` may be any byte, including "none". 0 when there is none.
uint32_t NeighbourBelow(const JoystickTable& table, uint32_t from);
uint32_t NeighbourAbove(const JoystickTable& table, uint32_t from);

// The maker's pad model a record shows: 10 or 12 for a pad with that many
// buttons, 0 for anything else (shown as a generic joystick).
uint8_t PadModelOf(const JoystickRecord& record);

// The page's polling timer, which knows whether it runs: it is started only
// when stopped and stopped only when running.
class PageTimer {
 public:
  explicit PageTimer(Timers& timers) : m_timers(timers) {}
  void Start();
  void Stop();
  bool Running() const { return m_running; }
  // Whether a tick is to be worked on: the timer runs and no box is open (a
  // repaint under the box may have started it again).
  bool Ticks() const { return m_running && !m_asking; }
  // A poll failed: polling stops behind a Retry/Cancel box with string 12
  // and goes on after Retry.
  void StopAndAsk(Prompts& prompts);

 private:
  Timers& m_timers;
  bool m_running = false;
  bool m_asking = false;
};

// A Z or R bar of `length` (its empty part from the top): the background,
// then the filled part, drawn only when the length differs from `lastLength`.
void DrawPageBar(PageCanvas& canvas, const PageRect& bar, int length, int& lastLength);

// Polls joystick id `id` (1..16) asking for `flags`; false for any other id
// and when the driver does not answer.
bool PollJoystick(Joystick& joystick, uint32_t id, uint32_t flags, JoyInfo& info);

// The page's three labels: joystick id, responding count, device name.
void SetJoystickLabels(PageControls& controls, const StringSource& strings,
                       const AppletState& state, int idLabel, int countLabel, int nameLabel);

}  // namespace kl
