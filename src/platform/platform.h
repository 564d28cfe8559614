// platform layer: window and GL context, input events, messages, clock, files and sound.
// The rest of the game sees only plain data and these calls; SDL stays behind them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Key codes of the key-state array, numbered as on the platform the game was first written for.
// Letters and digits are their upper-case ASCII codes ('A' = 0x41, '0' = 0x30).
inline constexpr int VK_LBUTTON = 0x01;
inline constexpr int VK_RBUTTON = 0x02;
inline constexpr int VK_BACK = 0x08;
inline constexpr int VK_TAB = 0x09;
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_MENU = 0x12;
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_SPACE = 0x20;
inline constexpr int VK_PRIOR = 0x21;
inline constexpr int VK_NEXT = 0x22;
inline constexpr int VK_END = 0x23;
inline constexpr int VK_HOME = 0x24;
inline constexpr int VK_LEFT = 0x25;
inline constexpr int VK_UP = 0x26;
inline constexpr int VK_RIGHT = 0x27;
inline constexpr int VK_DOWN = 0x28;
inline constexpr int VK_INSERT = 0x2D;
inline constexpr int VK_DELETE = 0x2E;
inline constexpr int VK_NUMPAD0 = 0x60;
inline constexpr int VK_MULTIPLY = 0x6A;
inline constexpr int VK_ADD = 0x6B;
inline constexpr int VK_SUBTRACT = 0x6D;
inline constexpr int VK_DECIMAL = 0x6E;
inline constexpr int VK_DIVIDE = 0x6F;
inline constexpr int VK_F1 = 0x70;
inline constexpr int VK_F12 = 0x7B;
// The punctuation keys a typed address or name needs: ';' (or ':' where it has a key of its
// own), '-' and '.' of the main block.
inline constexpr int VK_OEM_1 = 0xBA;
inline constexpr int VK_OEM_MINUS = 0xBD;
inline constexpr int VK_OEM_PERIOD = 0xBE;
inline constexpr int VK_COUNT = 259;  // size of the key-state array

// Keys by where they sit on the keyboard, whatever its layout prints on them: the USB usage
// numbers SDL's scancodes follow. A player's binding names one of these, or one of the two
// mouse buttons numbered past them; 0 is no key.
inline constexpr int SCANCODES = 512;
inline constexpr int BIND_MOUSE_LEFT = SCANCODES;
inline constexpr int BIND_MOUSE_RIGHT = SCANCODES + 1;
inline constexpr int BIND_CODES = SCANCODES + 2;  // size of the held-state array by position
inline constexpr int SC_A = 4;                    // SC_A + n: the n-th letter of A..Z
inline constexpr int SC_1 = 30;                   // SC_1 + n: the digits 1..9
inline constexpr int SC_RETURN = 40;
inline constexpr int SC_ESCAPE = 41;
inline constexpr int SC_TAB = 43;
inline constexpr int SC_SPACE = 44;
inline constexpr int SC_F1 = 58;  // to SC_F1 + 11, F12
inline constexpr int SC_RIGHT = 79;
inline constexpr int SC_LEFT = 80;
inline constexpr int SC_DOWN = 81;
inline constexpr int SC_UP = 82;
inline constexpr int SC_KP_1 = 89;  // SC_KP_1 + n: keypad 1..9
inline constexpr int SC_KP_0 = 98;
inline constexpr int SC_LSHIFT = 225;
inline constexpr int SC_RSHIFT = 229;
constexpr int sc_letter(char c) { return SC_A + (c - 'A'); }

namespace platform {

// ---- window and GL context ----

// The game draws a 640 x 480 screen; the window may have any size.
inline constexpr int SCREEN_WIDTH = 640;
inline constexpr int SCREEN_HEIGHT = 480;

// Maps a rectangle of the 640 x 480 screen (origin bottom left) onto the largest centred
// 4 : 3 area of a drawable: out = x, y, width, height in drawable pixels.
void give_screen_viewport(int drawable_width, int drawable_height, int x, int y, int width, int height,
                          int out[4]);

enum class WindowResult : int32_t { ok, no_fullscreen, no_window, no_context, no_current };

// Opens the window with a double-buffered compatibility GL context and a 16-bit depth buffer.
// Full screen is a desktop-resolution full-screen window. On failure nothing is left open and
// the platform's own reason is in error_text().
WindowResult open_window(const char* title, int width, int height, bool fullscreen, bool vsync);
// Releases the context and the window; false when the context could not be released
// (the window is still destroyed).
bool close_window();
bool window_open();
void swap_buffers();
// Drawable size in pixels (differs from the window size on high-DPI displays).
void drawable_size(int* width, int* height);
// Window rectangle on the desktop: left, top, right, bottom.
void window_rect(int* left, int* top, int* right, int* bottom);
// Between a window and a desktop-resolution full screen; false (reason in error_text())
// when the window could not change. A resize event follows.
bool set_fullscreen(bool on);
bool window_fullscreen();
const char* error_text();

// ---- input ----

enum class EventType : int32_t {
  none, key_down, key_up, resize, quit,
  pad_added, pad_removed, pad_button_down, pad_button_up,
  // Alt+Enter: the player asks for full screen or the window back. The Enter of it is no
  // key press of its own.
  toggle_fullscreen
};

struct Event {
  EventType type;
  int32_t code;      // key_down/key_up: key code (VK_...); resize: drawable width; pad_...: the pad
  int32_t height;    // resize: drawable height; pad_button_...: the button (PadButton)
  int32_t position;  // key_down/key_up: the key's place (SC_..., BIND_MOUSE_...), 0 for none
};

// Takes at most one pending event; false when there is none. Never blocks.
bool poll_event(Event* event);
// Cursor movement in pixels since the last reading (relative mouse mode).
void mouse_offset(int* dx, int* dy);
// Key code for an SDL key name ("Up", "Keypad 0", "Left Shift", "A"); 0 when the game has none.
int key_code_for_name(const char* key_name);
// A key's place as SDL names it ("Left Shift", "Keypad 0", "W"), "Left Button" and "Right
// Button" for the mouse's; "" for none or a place SDL has no name for.
const char* key_position_name(int position);
// The place a name of key_position_name's stands for, in any case; 0 for none.
int key_position_for_name(const char* name);
// Puts a key event into the platform's queue as if the user had pressed or released the key,
// with Alt held when `alt`.
bool push_key_event(const char* key_name, bool down, bool repeat, bool alt = false);
// The same for a mouse button: VK_LBUTTON or VK_RBUTTON.
bool push_mouse_button_event(int button, bool down);
// And a mouse movement of dx, dy pixels, gathered into the next mouse_offset.
bool push_mouse_motion_event(int dx, int dy);
// And the window manager's request to close the window.
bool push_quit_event();

// ---- game pads ----

// Pads open at once; a further pad stays closed until one of these is unplugged.
inline constexpr int MAX_PADS = 4;

enum PadAxis : int32_t {
  PAD_LEFT_X, PAD_LEFT_Y, PAD_RIGHT_X, PAD_RIGHT_Y, PAD_LEFT_TRIGGER, PAD_RIGHT_TRIGGER, PAD_AXES
};
// Named by where they sit on the common layout: A bottom, B right, X left, Y top.
enum PadButton : int32_t {
  PAD_A, PAD_B, PAD_X, PAD_Y, PAD_BACK, PAD_GUIDE, PAD_START, PAD_LEFT_STICK, PAD_RIGHT_STICK,
  PAD_LEFT_SHOULDER, PAD_RIGHT_SHOULDER, PAD_UP, PAD_DOWN, PAD_LEFT, PAD_RIGHT, PAD_BUTTONS
};

// One pad as the game sees it. A pad is known by its instance id, which it keeps from being
// plugged in to being unplugged and which is never given to another pad in the run.
struct Pad {
  int32_t connected;
  int32_t instance;      // -1 for none
  float axis[PAD_AXES];  // sticks -1..1, right and down positive; triggers 0..1
  uint32_t buttons;      // bit 1 << PadButton while held
};

// Pads plugged in arrive through poll_event as pad_added events (those present at start
// too, in the order the system lists them), unplugged ones as pad_removed. Buttons also
// arrive as pad_button_down and pad_button_up, for the menu's one step per press; a match
// reads the state instead, once a frame:
// the state of pad `instance` now; false, with a zeroed record, when no such pad is open.
bool read_pad(int32_t instance, Pad* pad);

// Test support: a pad that exists only in software, driven by the calls below exactly as a
// plugged-in pad is by its hands. attach returns its instance id, or -1; it arrives through
// poll_event as any pad does. Axis values are in read_pad's ranges.
int32_t attach_virtual_pad();
bool set_virtual_pad_axis(int32_t instance, PadAxis axis, float value);
bool set_virtual_pad_button(int32_t instance, PadButton button, bool down);
bool detach_virtual_pad(int32_t instance);

// ---- messages ----

enum class Icon : int32_t { information, exclamation, stop, question };

// Shows a message box where one can be shown and always writes "CAPTION: text" to stderr.
void show_message(const char* caption, const char* text, Icon icon);
// A Yes/No question; returns `fallback` where no message box can be shown.
bool ask_yes_no(const char* caption, const char* text, bool fallback);
// While capturing, messages are recorded instead of shown (stderr still gets them).
void capture_messages(bool on);
int captured_message_count();
// The n-th captured message as "CAPTION: text"; empty when out of range.
const char* captured_message(int n);
const char* last_message_text();
void clear_captured_messages();
// No message boxes at all, for scripted runs: stderr only.
void set_dialogs_enabled(bool on);

// ---- clock ----

// Milliseconds since an arbitrary origin; unsigned 32-bit and wrapping.
uint32_t ticks();
// Replaces the clock (tests); null restores the real one.
void set_clock(uint32_t (*clock)());

// ---- files ----

inline constexpr size_t MAX_PATH_LENGTH = 260;

// Turns '\' into '/' and, when the exact path does not exist, matches each component
// without regard to case. Returns true when `out` names an existing file or directory;
// otherwise `out` holds the path with slashes turned.
bool resolve_path(const char* path, char* out, size_t out_size);
// fopen through resolve_path.
FILE* open_file(const char* path, const char* mode);
// Calls `found` for every file whose name matches a pattern such as "levels\*.vhl"
// ('*' and '?' in the last component, matched without regard to case), in name order
// without regard to case.
// Stops when `found` returns false. Returns the number of names delivered.
int list_files(const char* pattern, bool (*found)(const char* name, void* context), void* context);
// fgets(buffer, limit, file) as a text-mode read: a CR LF pair reads as "\n" and counts
// as one character, also when the limit falls between the two. At the end of the file (or
// with no file) the buffer is empty and the result false.
bool read_line(char* buffer, int limit, FILE* file);
// A file every game folder holds: a folder without it is not searched into.
inline constexpr const char* DATA_MARKER = "other/weapons.cfg";
// Where the game's content is, the first that applies: `dir` (the command line's --data),
// `env` ($VURKHOLD_DATA unless empty), the folder of the program `exe` when it holds
// DATA_MARKER (a build tree), ../share/vurkhold beside that folder when it does (an
// installed game). A named folder must exist; the other two must hold the marker. False
// when none does: `message` then names every place tried.
bool find_data_dir(const char* dir, const char* env, const char* exe, char* found, size_t found_size, char* message,
                   size_t message_size);
// find_data_dir for this program (through /proc/self/exe) and $VURKHOLD_DATA, and changes
// into the folder found.
bool enter_data_dir(const char* dir, char* message = nullptr, size_t message_size = 0);
// `name` under $XDG_VARIABLE when that is absolute, else under $HOME + home_folder (as
// "/.config"); false when neither names an absolute folder or the path does not fit.
bool user_path(const char* xdg_variable, const char* home_folder, const char* name, char* out, size_t size);
// The player's own writable folder for the game, created if missing and ending in '/':
// $XDG_DATA_HOME/vurkhold/ when that is absolute, else $HOME/.local/share/vurkhold/;
// false when there is none or it does not fit. A `folder` named is the one inside it,
// made too and ending in '/' as well.
bool user_data_dir(char* out, size_t size, const char* folder = "");
// Writes a whole file through `write`, which fills the stream it is given and returns false
// when it could not. The data goes to a temporary file beside `path` and replaces it only
// once complete and on the disk; on failure the old file is untouched and `error` holds
// "can't write 'PATH': REASON". Symlinks and anything but a regular file are refused.
bool write_file_safely(const char* path, bool (*write)(std::FILE* f, void* context), void* context, char* error,
                       int error_size);
// A picture of `channels` (3: RGB, 4: RGBA) bytes a pixel as a PNG file, written safely as
// above. `stride` is the bytes from one row to the next, 0 for rows packed top down; a
// negative one starts at the last row, as GL reads them back.
bool write_png(const char* path, int width, int height, int channels, const unsigned char* pixels, int stride,
               char* error, int error_size);

// ---- sound ----

// A loaded sound, held by the game as an opaque handle.
struct Sample;

// Where a sound is heard from: a point and the horizontal directions its view looks
// (ahead) and has on its right hand, unit vectors in the x-z plane.
struct Listener {
  float x, y, z;
  float ahead_x, ahead_z;
  float right_x, right_z;
};
inline constexpr int MAX_LISTENERS = 2;

// What the mixer is told for one sound: the direction it comes from in degrees clockwise
// from ahead (0 ahead, 90 right, 180 behind, 270 left), each ear's share of it and its
// distance, 0..255 as the mixer counts them (255 each ear: untouched; distance 0: beside
// the ear, the sound's volume falls as (255 - distance) / 255).
struct SoundPlacement {
  int32_t angle;
  uint8_t left, right;
  uint8_t distance;
};

// The placement of a sound at (x, y, z) for the nearest of `count` listeners, turned
// toward that listener's ears only when `pan`. No listener: full volume in both ears.
SoundPlacement place_sound(const Listener* listeners, int count, bool pan, float x, float y, float z);

// Opens the mixer on the default device, or with `silent` on a driver that plays nothing
// (samples still load and play, unheard).
bool sound_open(int rate, int channels, bool silent = false);
Sample* sample_load(const char* path);
// The views on screen: sounds are heard from the nearest, panned only when there is one.
// More than MAX_LISTENERS are cut to the first ones; none hears everything at full volume.
void set_listeners(const Listener* listeners, int count);
// Plays on any free channel, placed as place_sound says for the listeners set; a null
// sample plays nothing, and one that started within 100 ms and 4 units of here is not
// started again on top of itself. The channel it took, or -1.
int sample_play_at(Sample* sample, float x, float y, float z);
// Percent 0..100: master scales everything the mixer plays, effects the samples. They
// reach sounds already playing at once.
void set_volumes(int master, int effects);
// A channel as the mixer has it: playing or not, its volume and the mixer's master volume
// (0..128), and the placement it was last told. False for no such channel or no mixer.
struct ChannelState {
  int32_t playing;
  int32_t volume;
  int32_t master;
  SoundPlacement placement;
};
bool channel_state(int channel, ChannelState* state);
// The channel sample_play_at started last, -1 before the first.
int newest_channel();
// While muted, sample_play_at plays nothing: for frames run faster than they are shown.
void set_sound_muted(bool muted);
// While a step is played again (the match went back to mend it), sample_play_at plays
// nothing either: what the step starts was heard when it was first played.
void set_step_replayed(bool replayed);
// The sounds sample_play_at was asked for since the program began, while not muted or
// played again; an echo it left unheard counts too.
long samples_started();
void sample_free(Sample* sample);
void sound_close();

}  // namespace platform
