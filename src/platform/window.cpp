// window and input: the one SDL window with its GL context, the event queue turned into
// key codes with the keys' places and pad events, and the relative mouse.
#include "platform/platform.h"

#include <SDL.h>
#include <dlfcn.h>
#include <link.h>

#include <cstdio>
#include <cstring>

#include "platform/pad_events.h"

namespace platform {

namespace {

SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
char error_buffer[256] = "";
int mouse_dx = 0;
int mouse_dy = 0;

void set_error(const char* what) {
  std::snprintf(error_buffer, sizeof error_buffer, "%s: %s", what, SDL_GetError());
}

// Key codes of the original platform for SDL keys; 0 for keys the game has no code for.
int key_code(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return VK_NUMPAD0 + 1 + (key - SDLK_KP_1);
  switch (key) {
    case SDLK_KP_0: return VK_NUMPAD0;
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
    case SDLK_KP_PLUS: return VK_ADD;
    case SDLK_KP_MINUS: return VK_SUBTRACT;
    case SDLK_KP_PERIOD: return VK_DECIMAL;
    case SDLK_KP_DIVIDE: return VK_DIVIDE;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_HOME: return VK_HOME;
    case SDLK_END: return VK_END;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_SEMICOLON:
    case SDLK_COLON: return VK_OEM_1;
    case SDLK_MINUS: return VK_OEM_MINUS;
    case SDLK_PERIOD: return VK_OEM_PERIOD;
    default: return 0;
  }
}

// The GL driver keeps what its one-time set-up allocates in its own globals for the
// life of the process. SDL unloads the driver when the video closes, and with it those
// globals: the blocks are then reachable from nowhere and the leak checker reports them
// against code no longer mapped, which it cannot name. Every object loaded once a context
// exists (the driver and what it pulled in) therefore stays loaded until exit; opening a
// window again reuses them.
int keep_loaded(dl_phdr_info* info, size_t, void*) {
  if (info->dlpi_name && info->dlpi_name[0]) dlopen(info->dlpi_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
  return 0;
}

static_assert(SC_A == SDL_SCANCODE_A && SC_1 == SDL_SCANCODE_1 && SC_RETURN == SDL_SCANCODE_RETURN &&
              SC_ESCAPE == SDL_SCANCODE_ESCAPE && SC_TAB == SDL_SCANCODE_TAB && SC_SPACE == SDL_SCANCODE_SPACE &&
              SC_F1 == SDL_SCANCODE_F1 && SC_RIGHT == SDL_SCANCODE_RIGHT && SC_LEFT == SDL_SCANCODE_LEFT &&
              SC_DOWN == SDL_SCANCODE_DOWN && SC_UP == SDL_SCANCODE_UP && SC_KP_1 == SDL_SCANCODE_KP_1 &&
              SC_KP_0 == SDL_SCANCODE_KP_0 && SC_LSHIFT == SDL_SCANCODE_LSHIFT && SC_RSHIFT == SDL_SCANCODE_RSHIFT &&
              SCANCODES == SDL_NUM_SCANCODES);

bool events_ready() {
  if (SDL_WasInit(SDL_INIT_EVENTS)) return true;
  return SDL_InitSubSystem(SDL_INIT_EVENTS) == 0;
}

}  // namespace

WindowResult open_window(const char* title, int width, int height, bool fullscreen, bool vsync) {
  error_buffer[0] = '\0';
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    set_error("video");
    return WindowResult::no_window;
  }
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 1);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);

  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
  if (fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, flags);
  if (!window && fullscreen) {
    set_error("full screen");
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return WindowResult::no_fullscreen;
  }
  if (!window) {
    set_error("window");
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return WindowResult::no_window;
  }
  context = SDL_GL_CreateContext(window);
  if (!context) {
    set_error("GL context");
    close_window();
    return WindowResult::no_context;
  }
  dl_iterate_phdr(keep_loaded, nullptr);
  if (SDL_GL_MakeCurrent(window, context) != 0) {
    set_error("GL make current");
    close_window();
    return WindowResult::no_current;
  }
  SDL_GL_SetSwapInterval(vsync ? 1 : 0);
  SDL_ShowCursor(SDL_DISABLE);
  SDL_SetRelativeMouseMode(SDL_TRUE);
  SDL_RaiseWindow(window);
  mouse_dx = mouse_dy = 0;
  return WindowResult::ok;
}

bool close_window() {
  bool released = true;
  SDL_SetRelativeMouseMode(SDL_FALSE);
  if (context) {
    if (SDL_GL_MakeCurrent(window, nullptr) != 0) {
      set_error("release context");
      released = false;
    }
    SDL_GL_DeleteContext(context);
    context = nullptr;
  }
  if (window) {
    SDL_DestroyWindow(window);
    window = nullptr;
  }
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  return released;
}

bool window_open() { return window != nullptr; }

void swap_buffers() {
  if (window) SDL_GL_SwapWindow(window);
}

void drawable_size(int* width, int* height) {
  if (!window) {
    *width = SCREEN_WIDTH;
    *height = SCREEN_HEIGHT;
    return;
  }
  SDL_GL_GetDrawableSize(window, width, height);
}

void window_rect(int* left, int* top, int* right, int* bottom) {
  int x = 0, y = 0, w = SCREEN_WIDTH, h = SCREEN_HEIGHT;
  if (window) {
    SDL_GetWindowPosition(window, &x, &y);
    SDL_GetWindowSize(window, &w, &h);
  }
  *left = x;
  *top = y;
  *right = x + w;
  *bottom = y + h;
}

bool set_fullscreen(bool on) {
  if (!window) return false;
  if (SDL_SetWindowFullscreen(window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
    set_error(on ? "full screen" : "window");
    return false;
  }
  return true;
}

bool window_fullscreen() { return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0; }

const char* error_text() { return error_buffer; }

bool poll_event(Event* event) {
  if (!events_ready()) return false;
  start_pads();
  SDL_Event e;
  // Events the game has no use for are dropped here, so one call still hands over
  // at most one event that matters.
  while (SDL_PollEvent(&e)) {
    switch (e.type) {
      case SDL_QUIT:
        *event = {EventType::quit, 0, 0, 0};
        return true;
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        const bool enter = e.key.keysym.sym == SDLK_RETURN || e.key.keysym.sym == SDLK_KP_ENTER;
        if (enter && e.type == SDL_KEYDOWN && (e.key.keysym.mod & KMOD_ALT)) {
          if (e.key.repeat) break;
          *event = {EventType::toggle_fullscreen, 0, 0, 0};
          return true;
        }
        const int code = key_code(e.key.keysym.sym);
        const int position = e.key.keysym.scancode > 0 && e.key.keysym.scancode < SCANCODES ? e.key.keysym.scancode : 0;
        if (code == 0 && position == 0) break;
        *event = {e.type == SDL_KEYDOWN ? EventType::key_down : EventType::key_up, code, 0, position};
        return true;
      }
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        int code = e.button.button == SDL_BUTTON_LEFT    ? VK_LBUTTON
                   : e.button.button == SDL_BUTTON_RIGHT ? VK_RBUTTON
                                                         : 0;
        if (code == 0) break;
        *event = {e.type == SDL_MOUSEBUTTONDOWN ? EventType::key_down : EventType::key_up, code, 0,
                  code == VK_LBUTTON ? BIND_MOUSE_LEFT : BIND_MOUSE_RIGHT};
        return true;
      }
      case SDL_MOUSEMOTION:
        mouse_dx += e.motion.xrel;
        mouse_dy += e.motion.yrel;
        break;
      case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED && window) {
          int w = 0, h = 0;
          SDL_GL_GetDrawableSize(window, &w, &h);
          *event = {EventType::resize, w, h, 0};
          return true;
        }
        break;
      default:
        if (take_pad_event(e, event)) return true;
        break;
    }
  }
  return false;
}

void mouse_offset(int* dx, int* dy) {
  *dx = mouse_dx;
  *dy = mouse_dy;
  mouse_dx = mouse_dy = 0;
}

int key_code_for_name(const char* key_name) {
  SDL_Keycode key = SDL_GetKeyFromName(key_name);
  if (key == SDLK_UNKNOWN) return 0;
  return key_code(key);
}

const char* key_position_name(int position) {
  if (position == BIND_MOUSE_LEFT) return "Left Button";
  if (position == BIND_MOUSE_RIGHT) return "Right Button";
  if (position <= 0 || position >= SCANCODES) return "";
  return SDL_GetScancodeName(static_cast<SDL_Scancode>(position));
}

int key_position_for_name(const char* name) {
  if (SDL_strcasecmp(name, "Left Button") == 0) return BIND_MOUSE_LEFT;
  if (SDL_strcasecmp(name, "Right Button") == 0) return BIND_MOUSE_RIGHT;
  if (!name[0]) return 0;
  const SDL_Scancode position = SDL_GetScancodeFromName(name);
  return position == SDL_SCANCODE_UNKNOWN ? 0 : static_cast<int>(position);
}

bool push_key_event(const char* key_name, bool down, bool repeat, bool alt) {
  if (!events_ready()) return false;
  SDL_Keycode key = SDL_GetKeyFromName(key_name);
  if (key == SDLK_UNKNOWN) return false;
  SDL_Event e;
  std::memset(&e, 0, sizeof e);
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.repeat = repeat ? 1 : 0;
  e.key.keysym.sym = key;
  // By name first: the key's place without a keyboard layout, as before the video starts.
  const SDL_Scancode position = SDL_GetScancodeFromName(key_name);
  e.key.keysym.scancode = position != SDL_SCANCODE_UNKNOWN ? position : SDL_GetScancodeFromKey(key);
  e.key.keysym.mod = alt ? KMOD_LALT : KMOD_NONE;
  return SDL_PushEvent(&e) == 1;
}

bool push_mouse_button_event(int button, bool down) {
  if (!events_ready()) return false;
  if (button != VK_LBUTTON && button != VK_RBUTTON) return false;
  SDL_Event e;
  std::memset(&e, 0, sizeof e);
  e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.button.button = button == VK_LBUTTON ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT;
  e.button.clicks = 1;
  return SDL_PushEvent(&e) == 1;
}

bool push_mouse_motion_event(int dx, int dy) {
  if (!events_ready()) return false;
  SDL_Event e;
  std::memset(&e, 0, sizeof e);
  e.type = SDL_MOUSEMOTION;
  e.motion.xrel = dx;
  e.motion.yrel = dy;
  return SDL_PushEvent(&e) == 1;
}

bool push_quit_event() {
  if (!events_ready()) return false;
  SDL_Event e;
  std::memset(&e, 0, sizeof e);
  e.type = SDL_QUIT;
  return SDL_PushEvent(&e) == 1;
}

}  // namespace platform
