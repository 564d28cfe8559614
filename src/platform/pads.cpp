// game pads: the controllers open at the moment, their state as plain records, and virtual
// pads for the tests.
#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/pad_events.h"

namespace platform {

namespace {

// The game's numbering is the controller API's, so each converts by a plain cast.
constexpr bool same(int ours, int theirs) { return ours == theirs; }
static_assert(same(PAD_RIGHT_TRIGGER, SDL_CONTROLLER_AXIS_TRIGGERRIGHT) && same(PAD_AXES, SDL_CONTROLLER_AXIS_MAX));
static_assert(same(PAD_A, SDL_CONTROLLER_BUTTON_A) && same(PAD_START, SDL_CONTROLLER_BUTTON_START) &&
              same(PAD_RIGHT, SDL_CONTROLLER_BUTTON_DPAD_RIGHT));

struct OPEN_PAD {
  SDL_GameController* controller;
  SDL_JoystickID instance;
};

OPEN_PAD pads[MAX_PADS];
// The test's own handles on its virtual pads, which set their values.
OPEN_PAD virtual_pads[MAX_PADS];
bool pads_tried = false;

OPEN_PAD* find(OPEN_PAD* list, SDL_JoystickID instance) {
  for (int i = 0; i < MAX_PADS; i++)
    if (list[i].controller && list[i].instance == instance) return &list[i];
  return nullptr;
}

// The system announces a pad present at start more than once (its own scan and the
// hot-plug watch): a pad already open is not opened again.
bool open_pad(int device, SDL_JoystickID* instance) {
  *instance = SDL_JoystickGetDeviceInstanceID(device);
  if (*instance < 0 || find(pads, *instance)) return false;
  for (OPEN_PAD& p : pads) {
    if (p.controller) continue;
    p = {SDL_GameControllerOpen(device), *instance};
    return p.controller != nullptr;
  }
  return false;
}

float stick(Sint16 value) { return std::max(static_cast<float>(value) / 32767.0f, -1.0f); }

}  // namespace

void start_pads() {
  if (pads_tried) return;
  pads_tried = true;
  SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool take_pad_event(const SDL_Event& e, Event* event) {
  switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED: {
      SDL_JoystickID instance = -1;
      if (!open_pad(e.cdevice.which, &instance)) return false;
      *event = {EventType::pad_added, instance, 0, 0};
      return true;
    }
    case SDL_CONTROLLERDEVICEREMOVED: {
      OPEN_PAD* p = find(pads, e.cdevice.which);
      if (!p) return false;
      SDL_GameControllerClose(p->controller);
      *p = {nullptr, -1};
      *event = {EventType::pad_removed, e.cdevice.which, 0, 0};
      return true;
    }
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      if (!find(pads, e.cbutton.which) || e.cbutton.button >= PAD_BUTTONS) return false;
      *event = {e.type == SDL_CONTROLLERBUTTONDOWN ? EventType::pad_button_down : EventType::pad_button_up,
                e.cbutton.which, e.cbutton.button, 0};
      return true;
    default: return false;
  }
}

bool read_pad(int32_t instance, Pad* pad) {
  std::memset(pad, 0, sizeof *pad);
  pad->instance = -1;
  const OPEN_PAD* p = find(pads, instance);
  if (!p || !SDL_GameControllerGetAttached(p->controller)) return false;
  pad->connected = 1;
  pad->instance = instance;
  for (int a = 0; a < PAD_AXES; a++)
    pad->axis[a] = stick(SDL_GameControllerGetAxis(p->controller, static_cast<SDL_GameControllerAxis>(a)));
  for (int b = 0; b < PAD_BUTTONS; b++)
    if (SDL_GameControllerGetButton(p->controller, static_cast<SDL_GameControllerButton>(b))) pad->buttons |= 1u << b;
  return true;
}

// A virtual pad is the tests' stand-in for a player's hands, and a test's window need not
// hold the focus on a shared display: SDL would then drop its presses.
int32_t attach_virtual_pad() {
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  start_pads();
  OPEN_PAD* slot = nullptr;
  for (OPEN_PAD& p : virtual_pads)
    if (!p.controller && !slot) slot = &p;
  if (!slot) return -1;
  SDL_VirtualJoystickDesc desc;
  std::memset(&desc, 0, sizeof desc);
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.name = "virtual pad";
  const int device = SDL_JoystickAttachVirtualEx(&desc);
  if (device < 0) return -1;
  SDL_GameController* controller = SDL_GameControllerOpen(device);
  if (!controller) {
    SDL_JoystickDetachVirtual(device);
    return -1;
  }
  *slot = {controller, SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller))};
  return slot->instance;
}

bool set_virtual_pad_axis(int32_t instance, PadAxis axis, float value) {
  const OPEN_PAD* p = find(virtual_pads, instance);
  if (!p || axis < 0 || axis >= PAD_AXES) return false;
  const auto raw = static_cast<Sint16>(std::clamp(value, -1.0f, 1.0f) * 32767.0f);
  return SDL_JoystickSetVirtualAxis(SDL_GameControllerGetJoystick(p->controller), axis, raw) == 0;
}

bool set_virtual_pad_button(int32_t instance, PadButton button, bool down) {
  const OPEN_PAD* p = find(virtual_pads, instance);
  if (!p || button < 0 || button >= PAD_BUTTONS) return false;
  return SDL_JoystickSetVirtualButton(SDL_GameControllerGetJoystick(p->controller), button, down ? 1 : 0) == 0;
}

// A virtual pad is detached by its place in the system's list, which shifts as pads come
// and go, so it is looked up by its instance id first.
bool detach_virtual_pad(int32_t instance) {
  OPEN_PAD* p = find(virtual_pads, instance);
  if (!p) return false;
  bool detached = false;
  for (int device = 0; device < SDL_NumJoysticks() && !detached; device++)
    if (SDL_JoystickGetDeviceInstanceID(device) == instance) detached = SDL_JoystickDetachVirtual(device) == 0;
  SDL_GameControllerClose(p->controller);
  *p = {nullptr, -1};
  return detached;
}

}  // namespace platform
