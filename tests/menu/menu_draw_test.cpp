// menu drawing as a player reads it: every page's lines and cursor read back from GL
// feedback, the NETWORK page's lobby from its record; and what the menu must not leave to
// the match: a turned texture matrix, or mouse motion that would turn vurk 0.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "control/control.h"
#include "match/match.h"
#include "menu/menu.h"
#include "render/render.h"
#include "shell/shell.h"
#include "support/arena.h"
#include "support/match_view.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

using test::Line;

constexpr uint32_t WHITE = 0xFFFFFF, RED = 0xFF0000, YELLOW = 0xFFFF00, GREEN = 0x00FF00, DIM = 0xB3B3B3;

class MenuDraw : public test::GameFolder {
  void TearDown() override { menu_page = menu_selection = selected_vurk = 0; }
  test::KeepWorkingDir cwd_;
};

// A turned background: a texture matrix left behind would turn the glyphs too.
std::vector<Line> page_lines(int page, int selection) {
  menu_page = page;
  menu_selection = selection;
  menu_rotate = 30.0f;
  menu_frame = 1.0f;
  return test::printed(menu_render);
}

void expect_lines(int page, int selection, const std::vector<Line>& want) {
  EXPECT_EQ(page_lines(page, selection), want) << "page " << page;
}

TEST_F(MenuDraw, MainSetUpAndOptionsPagesShowTheirLinesAndCursor) {
  // The vurk on display: thousands of polygons besides the glyphs' few dozen.
  EXPECT_GT(test::feedback(menu_render).size(), 1000u);
  expect_lines(0, 2, {{"START GAME", 190, 315, 30, WHITE}, {"REPLAYS", 190, 280, 30, WHITE},
                      {"OPTIONS", 190, 245, 30, WHITE}, {"HELP", 190, 210, 30, WHITE},
                      {"NETWORK", 190, 175, 30, WHITE}, {"EXIT", 190, 140, 30, WHITE}, {">", 160, 245, 30, RED}});

  ASSERT_GE(weapons, 4);
  const test::KeepGlobals kept(vurk[1], level_to_use, player_name);
  std::snprintf(player_name, sizeof player_name, "ZED~");
  selected_vurk = 1;
  vurk[1].type = MLT_COMPUTER, vurk[1].team = 2, vurk[1].item = MI_JETPACK;
  std::vector<Line> setup = {{"VURK 2  <->", 190, 350, 15, WHITE}, {"TYPE: COMPUTER", 190, 330, 15, WHITE},
                             {"TEAM: ", 190, 310, 15, WHITE},       {"3", 262, 310, 15, 0x0000FF},
                             {"ITEM: JETPACK", 190, 290, 15, WHITE}};
  for (int k = 0; k < 4; k++) {
    vurk[1].weapons[k] = {&weapon_type[3 - k], 3 - k, 0, 0, 0};
    setup.push_back(
        {"WEAPON " + std::to_string(k + 1) + ": " + weapon_type[3 - k].name, 190, 270 - 20.0f * k, 15, WHITE});
  }
  setup.push_back({"OK", 190, 190, 30, YELLOW});
  setup.push_back({">", 160, 297.5f, 30, RED});
  expect_lines(1, 3, setup);

  // The options as the game starts with them.
  expect_lines(2, 6, {{"SHOW FPS: YES", 190, 350, 15, WHITE}, {"AMBIENT LIGHT: 20%", 190, 330, 15, WHITE},
                      {"CANTLE LIGHT RANGE: 36", 190, 310, 15, WHITE}, {"LIVES: 100", 190, 290, 15, WHITE},
                      {"FRAG LIMIT: 50", 190, 270, 15, WHITE}, {"CAMERA MODE: FIRST PERSON", 190, 250, 15, WHITE},
                      {"LEVEL: LEVELS\\TEST1.VHL", 190, 230, 15, WHITE}, {"KILL-CAM: ON", 190, 210, 15, WHITE},
                      {"NAME: ZED?", 190, 190, 15, WHITE}, {"MASTER VOLUME: 100%", 190, 170, 15, WHITE},
                      {"EFFECTS VOLUME: 100%", 190, 150, 15, WHITE}, {"CONTROLS", 190, 130, 15, WHITE},
                      {"OK", 190, 110, 30, YELLOW}, {">", 160, 237, 30, RED}});
  // The name's line types: its caret after the name. The volumes as set, the cursor on OK.
  const test::KeepGlobals volumes(MASTER_VOLUME, EFFECTS_VOLUME);
  MASTER_VOLUME = 0, EFFECTS_VOLUME = 40;
  const std::vector<Line> typing = page_lines(2, 8);
  EXPECT_EQ(std::vector<Line>(typing.end() - 6, typing.end() - 1),
            (std::vector<Line>{{"_", 190 + 12 * 10, 190, 15, RED}, {"MASTER VOLUME: 0%", 190, 170, 15, WHITE},
                               {"EFFECTS VOLUME: 40%", 190, 150, 15, WHITE}, {"CONTROLS", 190, 130, 15, WHITE},
                               {"OK", 190, 110, 30, YELLOW}}));
  EXPECT_EQ(page_lines(2, 12).back(), (Line{">", 160, 117, 30, RED}));
  // A lower-case path too long for the line: its end, upper-cased, what the font lacks as '?'.
  std::snprintf(level_to_use, sizeof level_to_use, "/home/you/my levels/caves/deep~1.vhl");
  EXPECT_EQ(page_lines(2, 6).at(6), (Line{"LEVEL: .../MY LEVELS/CAVES/DEEP?1.VHL", 190, 230, 15, WHITE}));
}

// CONTROLS: each player's actions with their keys in two columns, the look settings, DEFAULTS
// and BACK under player 1's, a small cursor, and along the bottom what the page last said
// or, while it waits, what it waits for; the vurk on display is left out.
TEST_F(MenuDraw, TheControlsPageShowsBothPlayersKeysAndTheLook) {
  const test::KeepGlobals kept(bindings, look_settings, controls_note, controls_refused, controls_waiting);
  default_controls();
  ASSERT_EQ(bind_key(1, ACT_FIRE, platform::key_position_for_name("Keypad Enter")), BIND_DONE);
  look_settings = {250, 1, {0, 1}, 70};
  std::snprintf(controls_note, sizeof controls_note, "SPACE IS PLAYER 2'S FIRE");
  controls_refused = 1, controls_waiting = 0;
  const char* const one[] = {"FORWARD: UP",         "BACKWARD: DOWN",      "STEP LEFT: LEFT",     "STEP RIGHT: RIGHT",
                             "FIRE: LEFT BUTTON",   "JUMP: RIGHT BUTTON",  "DIG: KEYPAD 0",       "WEAPON 1: KEYPAD 1",
                             "WEAPON 2: KEYPAD 2",  "WEAPON 3: KEYPAD 3",  "WEAPON 4: KEYPAD 4"};
  const char* const two[] = {"FORWARD: W",     "BACKWARD: S",    "STEP LEFT: A", "STEP RIGHT: D", "FIRE: KEYPAD ENTER",
                             "JUMP: LEFT SHIFT", "DIG: E",       "WEAPON 1: 1",  "WEAPON 2: 2",   "WEAPON 3: 3",
                             "WEAPON 4: 4",    "LOOK UP: U",     "LOOK DOWN: J", "TURN LEFT: H",  "TURN RIGHT: K"};
  std::vector<Line> want = {{"PLAYER 1", 40, 365, 15, YELLOW}, {"PLAYER 2", 345, 365, 15, YELLOW}};
  for (int i = 0; i < 11; i++) want.push_back({one[i], 40, 348 - 17.0f * i, 15, WHITE});
  for (int i = 0; i < 15; i++) want.push_back({two[i], 345, 348 - 17.0f * i, 15, WHITE});
  const std::vector<Line> rest = {{"MOUSE SENSITIVITY: 250%", 40, 150, 15, WHITE}, {"INVERT MOUSE: YES", 40, 133, 15, WHITE},
                                  {"INVERT PAD 1: NO", 40, 116, 15, WHITE},        {"INVERT PAD 2: YES", 40, 99, 15, WHITE},
                                  {"PAD LOOK SPEED: 70%", 40, 82, 15, WHITE},      {"DEFAULTS", 40, 60, 15, WHITE},
                                  {"BACK", 40, 43, 15, YELLOW}};
  want.insert(want.end(), rest.begin(), rest.end());
  std::vector<Line> refused = want;
  refused.push_back({">", 329, 280, 15, RED});
  refused.push_back({"SPACE IS PLAYER 2'S FIRE", 10, 25, 15, RED});
  expect_lines(7, CONTROLS_PLAYER_2_LINE + ACT_FIRE, refused);
  // The glyphs' thousand points or so, without the vurk's five thousand.
  EXPECT_LT(test::feedback(menu_render).size(), 2000u);

  controls_waiting = 1;
  std::vector<Line> waiting = want;
  waiting[2 + 11 + ACT_FIRE] = {"FIRE: ...", 345, 280, 15, YELLOW};
  waiting.push_back({">", 329, 280, 15, RED});
  waiting.push_back({"PRESS A KEY FOR PLAYER 2'S FIRE, ESCAPE CANCELS", 10, 25, 15, YELLOW});
  expect_lines(7, CONTROLS_PLAYER_2_LINE + ACT_FIRE, waiting);
  controls_waiting = 0, controls_refused = 0;
  std::snprintf(controls_note, sizeof controls_note, "W IS NOW FIRE");
  const std::vector<Line> swapped = page_lines(7, CONTROLS_BACK_LINE);
  EXPECT_EQ(std::vector<Line>(swapped.end() - 2, swapped.end()),
            (std::vector<Line>{{">", 24, 43, 15, RED}, {"W IS NOW FIRE", 10, 25, 15, WHITE}}));
}

// The help text scrolls up 17 a step and shows only the lines there are; the level list
// shows the names found with the cursor beside the chosen one, 15 at most: further down it
// scrolls to keep the chosen one last; the player's own levels, last, are tinted. The
// replays scroll alike, 14 at most, cut to fit.
TEST_F(MenuDraw, HelpLevelAndReplayPagesShowTheirListedLines) {
  test::TempDir dir;
  test::write_file(dir.file("readme.txt"), "first\nsecond\nthird\n");
  for (int i = 0; i < 18; i++) test::write_file(dir.file("levels/l" + std::to_string(i) + ".vhl"), "x");
  for (int i = 18; i < 20; i++) test::write_file(dir.file("vurkhold/levels/m" + std::to_string(i) + ".vhl"), "x");
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  const char* const data_home = std::getenv("XDG_DATA_HOME");
  const std::string kept_home = data_home ? data_home : "";
  setenv("XDG_DATA_HOME", dir.path().c_str(), 1);

  ASSERT_EQ(load_readme(), 1);
  expect_lines(3, 1, {{"FIRST", 10, 387, 15, WHITE}, {"SECOND", 10, 370, 15, WHITE}, {"THIRD", 10, 353, 15, WHITE}});
  free_textlines();

  ASSERT_EQ(load_level_list(MAX_LEVEL_NAMES), 1);
  data_home ? setenv("XDG_DATA_HOME", kept_home.c_str(), 1) : unsetenv("XDG_DATA_HOME");
  ASSERT_EQ(std::tuple(line_count, first_own_level), std::tuple(20, 18));
  for (const auto& [selection, first] : {std::pair{2, 0}, {19, 5}}) {
    std::vector<Line> names;
    for (int i = 0; i < 15; i++)
      names.push_back({get_text_by_number(first + i), 190, 350 - 22.0f * i, 20, first + i < 18 ? WHITE : 0x99E6FF});
    names.push_back({">", 160, 355 - 22.0f * (selection - first), 30, RED});
    expect_lines(4, selection, names);
  }
  free_textlines();

  std::vector<Line> replays;
  for (int i = 0; i < 20; replay_count = ++i) {
    const std::string name = "20261208-1945" + std::to_string(i + 10) + (i % 2 ? "" : "-0123456789AB");
    std::snprintf(replay_names[i].text, sizeof replay_names[0].text, "%s.vhr", name.c_str());
    if (i >= 6) replays.push_back({name.substr(0, 27), 190, 350 - 22.0f * (i - 6), 20, WHITE});
  }
  std::snprintf(replay_message, sizeof replay_message, "can't open '/home/you/replays/20261208-194501-maze.vhr': no");
  replays.push_back({">", 160, 355 - 22.0f * 13, 30, RED});
  replays.push_back({"CAN'T OPEN '/HOME/YOU/REPLAYS/20261208-194501-MAZE.V", 10, 30, 15, RED});
  expect_lines(5, 19, replays);
  replay_count = 0;  // and no message on an empty page
  expect_lines(5, 0, {{"NO REPLAYS YET", 190, 350, 20, WHITE}});
}

// One frame of the NETWORK page with `key` pressed; false when the page was left.
bool network_frame(int key) {
  keys[key] = 1;
  const bool stays = network_page_logic(false);
  EXPECT_EQ(keys[key], 0) << "key " << key << " not used";
  return stays;
}

// Off a session: HOST, JOIN, the address typed (greyed HOST[:PORT] while empty) and BACK.
// JOIN with no address says so and goes to the address line; typing there clears it.
TEST_F(MenuDraw, TheNetworkPageTypesTheAddressAndJoinWantsOne) {
  ASSERT_EQ(net_lobby().state, NS_OFF);
  const test::KeepGlobals kept(player_name, vurk[1].type);
  std::snprintf(player_name, sizeof player_name, "ZED");
  vurk[1].type = MLT_HUMAN;
  menu_page = 6, menu_selection = 2;
  for (int i = 0; i < NET_ADDRESS_SIZE; i++) network_frame(VK_BACK);
  const std::vector<Line> head = {{"HOST GAME", 190, 340, 20, WHITE}, {"JOIN GAME", 190, 310, 20, WHITE},
                                  {"ADDRESS:", 190, 285, 15, WHITE}};
  const std::vector<Line> tail = {{"NAME: ZED", 190, 245, 15, WHITE},
                                  {"PLAYERS ON THIS MACHINE: 2", 190, 225, 15, WHITE},
                                  {"BACK", 190, 170, 30, YELLOW}};
  auto page = [&](std::vector<Line> field, const std::vector<Line>& end) {
    std::vector<Line> all = head;
    all.insert(all.end(), field.begin(), field.end());
    all.insert(all.end(), tail.begin(), tail.end());
    all.insert(all.end(), end.begin(), end.end());
    return all;
  };
  EXPECT_EQ(test::printed(menu_render), page({{"HOST[:PORT]", 298, 285, 15, DIM}, {"_", 298, 285, 15, RED}},
                                             {{">", 160, 292.5f, 30, RED}}));
  network_frame(VK_UP);
  EXPECT_TRUE(network_frame(VK_RETURN));
  EXPECT_EQ(test::printed(menu_render),
            page({{"HOST[:PORT]", 298, 285, 15, DIM}, {"_", 298, 285, 15, RED}},
                 {{">", 160, 292.5f, 30, RED}, {"TYPE THE HOST'S ADDRESS FIRST", 10, 30, 15, RED}}));
  for (int key : {int{'G'}, VK_OEM_MINUS, int{'P'}, VK_OEM_1, int{'2'}, VK_DECIMAL, int{'7'}, VK_SPACE}) network_frame(key);
  EXPECT_EQ(test::printed(menu_render),
            page({{"G-P:2.7", 298, 285, 15, WHITE}, {"_", 298 + 12 * 7, 285, 15, RED}}, {{">", 160, 292.5f, 30, RED}}));
  network_frame(VK_DOWN);
  network_frame(VK_DOWN);
  EXPECT_EQ(std::tuple(menu_selection, test::printed(menu_render).back()), std::tuple(3, Line{">", 160, 170, 30, RED}));
  EXPECT_FALSE(network_frame(VK_RETURN));
  EXPECT_FALSE(network_page_logic(true));
  menu_selection = 2;
  for (int i = 0; i < 7; i++) network_frame(VK_BACK);
}

// The menu's frame around no page (its projection, its font), then the page as it shows
// this record.
LOBBY shown_lobby;
void draw_shown_lobby() {
  menu_page = -1;
  menu_render();
  menu_page = 6;
  draw_network_page(shown_lobby);
}

// The host's view: the seats with their holders (two on this machine, in yellow), the
// round trips and ready marks, a computer's seat; the host's level and options; READY,
// START and LEAVE. A client's view while the level comes: a machine gone, the share
// received, LEAVE alone, and the session's message across the screen in lines cut at blanks.
TEST_F(MenuDraw, TheLobbyShowsItsSeatsOptionsAndLines) {
  menu_page = 6, menu_selection = 1;
  shown_lobby = {};
  LOBBY& l = shown_lobby;
  l.role = NR_HOST, l.state = NS_LOBBY, l.me = 0, l.port = 27961;
  l.machine[0] = {1, 1, 2, "ANNIKA", 0};
  l.machine[1] = {1, 0, 1, "kaarlo~", 1234};
  const int8_t machines[4] = {0, 0, 1, -1};
  const uint8_t players[4] = {0, 1, 0, 0};
  std::copy(machines, machines + 4, l.seat_machine);
  std::copy(players, players + 4, l.seat_player);
  std::snprintf(l.level, sizeof l.level, "LEVELS\\CAVERNS.VHL");
  l.lives = 9, l.frag_limit = 7, l.input_delay = 1;
  EXPECT_EQ(test::printed(draw_shown_lobby),
            (std::vector<Line>{{"HOSTING ON PORT 27961", 190, 350, 15, WHITE},
                               {"1", 190, 325, 15, WHITE}, {"ANNIKA 1", 214, 325, 15, YELLOW},
                               {"HOST", 454, 325, 15, WHITE}, {"READY", 514, 325, 15, GREEN},
                               {"2", 190, 305, 15, WHITE}, {"ANNIKA 2", 214, 305, 15, YELLOW},
                               {"HOST", 454, 305, 15, WHITE}, {"READY", 514, 305, 15, GREEN},
                               {"3", 190, 285, 15, WHITE}, {"KAARLO?", 214, 285, 15, WHITE},
                               {"999 MS", 430, 285, 15, WHITE}, {"NOT READY", 514, 285, 15, DIM},
                               {"4", 190, 265, 15, WHITE}, {"COMPUTER", 214, 265, 15, DIM},
                               {"LEVEL: LEVELS\\CAVERNS.VHL", 190, 240, 15, WHITE},
                               {"LIVES: 9  FRAG LIMIT: 7", 190, 220, 15, WHITE},
                               {"INPUT DELAY: 1 TICK", 190, 200, 15, WHITE},
                               {"READY: YES", 190, 150, 20, WHITE}, {"START", 190, 128, 20, WHITE},
                               {"LEAVE", 190, 106, 20, WHITE}, {">", 160, 133, 30, RED}}));

  l.role = NR_CLIENT, l.state = NS_LEVEL, l.me = 1, l.input_delay = 3;
  l.machine[0] = {1, 1, 1, "ANNIKA", 0};
  l.machine[1].ping_ms = 38, l.machine[1].ready = 1;
  l.machine[2] = {0, 1, 1, "MIRA", 40};
  const int8_t seats[4] = {0, 1, 2, -1};
  std::copy(seats, seats + 4, l.seat_machine);
  l.level_bytes = 10000, l.level_received = 4599;
  std::snprintf(l.message, sizeof l.message, "MIRA's machine went quiet: no word from it for 5000 ms, so it was dropped");
  const std::vector<Line> client = test::printed(draw_shown_lobby);
  const std::vector<Line> want = {{"JOINED ANNIKA'S GAME", 190, 350, 15, WHITE},
                                  {"HOST", 454, 325, 15, WHITE},
                                  {"KAARLO?", 214, 305, 15, YELLOW},
                                  {"38 MS", 442, 305, 15, WHITE},
                                  {"READY", 514, 305, 15, GREEN},
                                  {"MIRA", 214, 285, 15, WHITE},
                                  {"GONE", 454, 285, 15, DIM},
                                  {"INPUT DELAY: 3 TICKS", 190, 200, 15, WHITE},
                                  {"RECEIVING THE LEVEL: 45% OF 10 KB", 190, 180, 15, YELLOW},
                                  {"LEAVE", 190, 150, 20, WHITE},
                                  {">", 160, 155, 30, RED},
                                  {"MIRA'S MACHINE WENT QUIET: NO WORD FROM IT FOR 5000", 10, 47, 15, RED},
                                  {"MS, SO IT WAS DROPPED", 10, 30, 15, RED}};
  for (const Line& line : want) EXPECT_NE(std::find(client.begin(), client.end(), line), client.end()) << line.text;
  // A machine gone has no ready mark.
  EXPECT_EQ(std::count_if(client.begin(), client.end(), [](const Line& line) { return line.text == "READY"; }), 2);
  EXPECT_EQ(client.size(), 22u);
}

// The explosion's frame 6 shows its own cell of the texture in the first frame of a
// match after the menu, whose background turns the texture matrix.
TEST_F(MenuDraw, AMatchAfterATurnedMenuShowsItsTexturesUnturned) {
  page_lines(0, 0);
  test::Stage stage;
  std::vector<uint32_t> cells;
  for (int cell = 0; cell < 16; cell++) cells.push_back(static_cast<uint32_t>(cell * 15) << 24 | 0x80C0FF);
  explosion_texture = stage.texture(4, 4, cells);
  test::place_vurk(0, {16, 12, 30});
  explosion[0] = {{16, 12.25f, 28}, 6, 0, 1, 1.0f, nullptr};
  menu_render();
  test::clear_screen();
  one_player_view();
  EXPECT_EQ(test::read_screen().rgb_at(330, 250), cells[6] >> 8);
}

// Motion during the match turns vurk 0 by a tenth of a degree per pixel.
TEST_F(MenuDraw, MouseMotionBeforeAMatchDoesNotTurnVurkZero) {
  auto move_mouse = [](int dx, int dy) {
    ASSERT_TRUE(platform::push_mouse_motion_event(dx, dy));
    // SDL may hand a pushed event over only at the next pump of its queue.
    platform::Event event;
    for (int pump = 0; pump < 3; pump++)
      while (platform::poll_event(&event)) {
      }
  };
  vurk[0].type = MLT_HUMAN;
  move_mouse(300, -200);
  ASSERT_EQ(game_init(), 1);
  gather_match_input();
  make_commands(vurk_command);
  game_input(16);
  EXPECT_EQ(std::tuple(vurk[0].angle, vurk[0].angle2), std::tuple(0.0f, 0.0f));
  move_mouse(30, -20);
  gather_match_input();
  make_commands(vurk_command);
  game_input(16);
  EXPECT_EQ(std::tuple(vurk[0].angle, vurk[0].angle2), std::tuple(-3.0f, 2.0f));
}

}  // namespace
}  // namespace vurkhold
