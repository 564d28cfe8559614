// online tests: real machines, each the game in its own process, playing one match on the
// loopback; and peers of the test's own making that break the rules against a real host.
#include <enet/enet.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "net/protocol.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

using test::TempDir;
using test::fixture_path;
using test::read_file;

// The scripted two-player match played at 16 ms a step, and what its replay prints.
const std::string REPLAY = fixture_path("replays/format2-two-players.vhr");
const std::string OUTCOME = fixture_path("replays/format2-two-players.txt");
constexpr int FRAMES = 1371;
constexpr int PEER_SECONDS = 120;

// One machine: the game run with `args` in the background, its output in files.
struct Peer {
  pid_t pid = -1;
  std::string out, err;
  int status = -1;

  // `data`: the folder of the player's own files, by default named after the machine.
  Peer(const TempDir& dir, const std::string& name, const std::vector<std::string>& args,
       const std::vector<std::string>& env = {}, const std::string& data_name = "") {
    out = dir.file(name + ".out");
    err = dir.file(name + ".err");
    const std::string data = dir.file((data_name.empty() ? name : data_name) + "-data/.keep");
    pid = fork();
    if (pid == 0) {
      setenv("XDG_DATA_HOME", std::filesystem::path(data).parent_path().c_str(), 1);
      setenv("SDL_AUDIODRIVER", "dummy", 1);
      setenv("VURKHOLD_NO_DIALOGS", "1", 1);
      unsetenv("VURKHOLD_NETSIM");
      for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
      freopen(out.c_str(), "w", stdout);
      freopen(err.c_str(), "w", stderr);
      std::vector<char*> argv{const_cast<char*>(VURK_GAME_BINARY)};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(VURK_GAME_BINARY, argv.data());
      _exit(127);
    }
  }
  ~Peer() {
    if (pid > 0 && status < 0) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
  }
  // The exit status, or -1 when it ran past `seconds` (and was killed).
  int wait(int seconds = PEER_SECONDS) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (status < 0 && std::chrono::steady_clock::now() < until) {
      int s = 0;
      if (waitpid(pid, &s, WNOHANG) == pid) status = WIFEXITED(s) ? WEXITSTATUS(s) : 128;
      else std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (status < 0) kill(pid, SIGKILL), waitpid(pid, nullptr, 0), status = -2;
    return status < 0 ? -1 : status;
  }
  std::string output() const { return read_file(out); }
  std::string errors() const { return read_file(err); }
  // Waits (bounded) for `text` in its standard error: the text, or "" when it never came.
  // A text ending in '#' stands for it followed by a number, which is what is returned.
  std::string await(const std::string& text, int seconds = 10) const {
    const bool number = !text.empty() && text.back() == '#';
    const std::string head = number ? text.substr(0, text.size() - 1) : text;
    for (int i = 0; i <= seconds * 50; i++) {
      const std::string e = errors();
      const size_t at = e.find(head);
      if (at != std::string::npos) {
        if (!number) return head;
        const size_t from = at + head.size(), to = e.find_first_not_of("0123456789", from);
        if (to != std::string::npos && to > from) return e.substr(from, to - from);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return "";
  }
};

// A count the game printed on standard error ("net: ... rollbacks 4 ..."), -1 when missing.
long count(const std::string& err, const std::string& line, const std::string& name) {
  const size_t start = err.find(line + ": ");
  if (start == std::string::npos) return -1;
  const std::string l = err.substr(start, err.find('\n', start) - start) + " ";
  const size_t at = l.find(" " + name + " ");
  return at == std::string::npos ? -1 : std::atol(l.c_str() + at + name.size() + 2);
}

std::vector<std::string> host_args(const std::string& play, int frames, int min_players = 2) {
  return {"--headless", "--host", "0", "--play-input", REPLAY + ":" + play, "--frames", std::to_string(frames),
          "--hash-every", "500", "--min-players", std::to_string(min_players), "--no-record"};
}
std::vector<std::string> client_args(const std::string& port, const std::string& play, int frames) {
  return {"--headless", "--join", "127.0.0.1:" + port, "--play-input", REPLAY + ":" + play, "--frames",
          std::to_string(frames), "--hash-every", "500", "--no-record"};
}

struct LINK {
  const char* name;
  const char* netsim;  // both machines'
  bool delayed, lossy;
};

void PrintTo(const LINK& link, std::ostream* os) { *os << link.name; }

class TwoMachines : public testing::TestWithParam<LINK> {};

// Each machine plays one player's recorded commands: both end with the replay's own
// outcome and hashes, the match having run (a death, frags), the link conditioned as asked,
// and the world gone back whenever a guess was wrong.
TEST_P(TwoMachines, PlayTheRecordedMatchToItsOutcomeAndHashes) {
  const LINK& link = GetParam();
  TempDir dir;
  const std::string env = std::string("VURKHOLD_NETSIM=") + link.netsim;
  Peer host(dir, "host", host_args("1", FRAMES), {env});
  const std::string port = host.await("hosting on port #");
  ASSERT_FALSE(port.empty()) << host.errors();
  Peer client(dir, "client", client_args(port, "2", FRAMES), {env});
  ASSERT_EQ(client.wait(), 0) << client.errors();
  ASSERT_EQ(host.wait(), 0) << host.errors();
  const std::string expected = read_file(OUTCOME);
  ASSERT_NE(expected.find("deaths 2"), std::string::npos);
  ASSERT_NE(expected.find("frags 5"), std::string::npos);
  EXPECT_EQ(host.output(), expected) << host.errors();
  EXPECT_EQ(client.output(), expected) << client.errors();
  const std::string both = host.errors() + client.errors();
  EXPECT_EQ(count(host.errors(), "net", "ticks"), FRAMES);
  if (link.delayed) {
    EXPECT_GT(count(host.errors(), "netsim", "delayed"), 100) << host.errors();
    EXPECT_GT(count(host.errors(), "net", "rollbacks") + count(client.errors(), "net", "rollbacks"), 0) << both;
  } else {
    EXPECT_EQ(count(host.errors(), "netsim", "delayed"), 0);
  }
  if (link.lossy) {
    EXPECT_GT(count(host.errors(), "netsim", "dropped"), 0) << host.errors();
    EXPECT_GT(count(client.errors(), "netsim", "duplicated"), 0) << client.errors();
  }
}

INSTANTIATE_TEST_SUITE_P(Links, TwoMachines,
                         testing::Values(LINK{"Loopback", "", false, false},
                                         LINK{"RoundTrip100ms", "delay=50,seed=3", true, false},
                                         LINK{"JitterLossDuplicatesReordering",
                                              "delay=20,jitter=15,loss=5,dup=2,reorder=2,seed=7", true, true}),
                         [](const testing::TestParamInfo<LINK>& info) { return info.param.name; });

// Four machines, one of them a window with two players in split screen: every machine ends
// with the same hashes and outcome, all four vurks played by people's recorded commands.
// Every link is late by up to 60 ms, past the longest input delay the host may choose (4
// ticks, when a loaded machine answers its pings slowly), so commands that kept changing
// show as wrong guesses on every machine whatever delay was chosen.
TEST(Online, FourMachinesOneInSplitScreenAgreeOnEveryHash) {
  TempDir dir;
  constexpr int TICKS = 5000;
  auto link = [](int seed) { return "VURKHOLD_NETSIM=delay=30,jitter=30,seed=" + std::to_string(seed); };
  Peer host(dir, "host", host_args("1", TICKS, 3), {link(1)});
  const std::string port = host.await("hosting on port #");
  ASSERT_FALSE(port.empty()) << host.errors();
  std::vector<std::string> window = client_args(port, "1,2", TICKS);
  window.erase(window.begin());  // --headless
  window.insert(window.end(), {"--windowed", "--no-sound"});
  Peer split(dir, "split", window, {"LIBGL_ALWAYS_SOFTWARE=1", link(2)});
  ASSERT_FALSE(host.await("joined as machine 2").empty()) << host.errors();
  Peer one(dir, "one", client_args(port, "2", TICKS), {link(3)});
  ASSERT_EQ(one.wait(), 0) << one.errors();
  ASSERT_EQ(split.wait(), 0) << split.errors();
  ASSERT_EQ(host.wait(), 0) << host.errors();
  const std::string outcome = host.output();
  EXPECT_EQ(split.output(), outcome);
  EXPECT_EQ(one.output(), outcome);
  // Ten hashes on the way and four humans. The recorded players rarely meet, so what shows
  // they played is that their commands kept changing: guesses went wrong on every machine.
  EXPECT_EQ(std::count(outcome.begin(), outcome.end(), '\n'), 24) << outcome;
  EXPECT_EQ(outcome.find("computer"), std::string::npos) << outcome;
  for (const Peer* p : {&host, &split, &one}) {
    EXPECT_GT(count(p->errors(), "netsim", "delayed"), 100) << p->errors();
    EXPECT_GT(count(p->errors(), "net", "mispredicted"), 0) << p->errors();
    EXPECT_GT(count(p->errors(), "net", "rollbacks"), 0) << p->errors();
  }
  EXPECT_GT(count(host.errors(), "net", "packets_received"), TICKS) << host.errors();
}

// A client killed mid-match: the host plays on, and from the tick it announces the computer
// plays the client's vurk, as the host's replay of the match plays it again.
TEST(Online, AKilledClientsVurkGoesToTheComputer) {
  TempDir dir;
  constexpr int TICKS = 900;
  std::vector<std::string> recording = host_args("1", TICKS);
  recording.pop_back();  // --no-record
  Peer host(dir, "host", recording);
  const std::string port = host.await("hosting on port #");
  ASSERT_FALSE(port.empty()) << host.errors();
  Peer client(dir, "client", client_args(port, "2", TICKS));
  ASSERT_FALSE(client.await("the match begins").empty()) << client.errors();
  std::this_thread::sleep_for(std::chrono::seconds(2));
  kill(client.pid, SIGKILL);
  client.wait(5);
  ASSERT_EQ(host.wait(), 0) << host.errors();
  EXPECT_FALSE(host.await(" lost contact", 0).empty()) << host.errors();
  EXPECT_FALSE(host.await("vurkhold: dropped ", 0).empty()) << host.errors();
  const std::string from = host.await("the computer plays on from frame #", 0);
  ASSERT_FALSE(from.empty()) << host.errors();
  EXPECT_GT(std::stol(from), 60);
  EXPECT_LT(std::stol(from), 300);
  EXPECT_NE(host.output().find("vurk 2 team 2 computer"), std::string::npos) << host.output();
  EXPECT_NE(host.output().find("frames 900"), std::string::npos) << host.output();
  const auto replays = std::filesystem::directory_iterator(dir.file("host-data/vurkhold/replays"));
  ASSERT_NE(replays, std::filesystem::directory_iterator());
  Peer replay(dir, "replay", {"--headless", "--replay", replays->path().string(), "--hash-every", "500"});
  ASSERT_EQ(replay.wait(), 0) << replay.errors();
  EXPECT_EQ(replay.output(), host.output());
}

// A dedicated host plays its matches back to back on a level only it has: the first client
// is sent the level and keeps it, the second finds it kept.
TEST(Online, ADedicatedHostSendsItsLevelAndPlaysAgain) {
  TempDir dir;
  const std::string level = dir.file("host-only/cavern.vhl");
  std::filesystem::copy_file(std::string(VURK_GAME_DIR) + "/levels/maze.vhl", level);
  Peer host(dir, "host", {"--headless", "--host", "0", "--level", level, "--min-players", "1", "--matches", "2",
                          "--frames", "300", "--no-record", "--seed", "5"});
  const std::string port = host.await("hosting on port #");
  ASSERT_FALSE(port.empty()) << host.errors();
  std::filesystem::remove(level);  // the clients can't find it where the host read it
  const std::vector<std::string> join = {"--headless", "--join", "127.0.0.1:" + port, "--frames", "300", "--no-record"};
  // Both clients keep their data in one folder, so the second finds what the first kept.
  Peer first(dir, "first", join, {}, "client");
  ASSERT_EQ(first.wait(), 0) << first.errors();
  const std::string kept = dir.file("client-data/vurkhold/levels/cavern.vhl");
  EXPECT_NE(first.errors().find("the host's level is kept in " + kept), std::string::npos) << first.errors();
  EXPECT_EQ(read_file(kept), read_file(std::string(VURK_GAME_DIR) + "/levels/maze.vhl"));
  Peer second(dir, "second", join, {}, "client");
  ASSERT_EQ(second.wait(), 0) << second.errors();
  EXPECT_EQ(second.errors().find("is kept in"), std::string::npos) << second.errors();
  ASSERT_EQ(host.wait(), 0) << host.errors();
  // The host printed both matches' outcomes; each client its own, the same.
  const std::string outcomes = host.output();
  const size_t half = outcomes.find("level ", 1);
  ASSERT_NE(half, std::string::npos) << outcomes;
  EXPECT_EQ(outcomes.substr(0, half), first.output());
  EXPECT_EQ(outcomes.substr(half), second.output());
  EXPECT_NE(first.output().find("frames 300"), std::string::npos);
}

// ---- peers of the test's own making ----

// An ENet client on the loopback speaking the protocol by hand.
struct FakePeer {
  ENetHost* host = nullptr;
  ENetPeer* peer = nullptr;
  uint8_t buffer[MAX_CONTROL_MESSAGE];

  explicit FakePeer(const std::string& port) {
    enet_initialize();
    host = enet_host_create(nullptr, 1, NET_CHANNELS, 0, 0);
    ENetAddress a;
    enet_address_set_host(&a, "127.0.0.1");
    a.port = static_cast<uint16_t>(std::stoi(port));
    peer = enet_host_connect(host, &a, NET_CHANNELS, NET_PROTOCOL);
  }
  ~FakePeer() {
    enet_host_destroy(host);
    enet_deinitialize();
  }
  void send(uint8_t channel, const uint8_t* bytes, size_t n, bool reliable = true) {
    enet_peer_send(peer, channel, enet_packet_create(bytes, n, reliable ? ENET_PACKET_FLAG_RELIABLE : 0));
    enet_host_flush(host);
  }
  // Services the link until a message of `type` arrives (copied into buffer): its size, 0 on
  // a disconnect or after `ms`.
  size_t until(uint8_t type, uint32_t ms = 5000) {
    const uint32_t end = enet_time_get() + ms;
    ENetEvent e;
    while (static_cast<int32_t>(end - enet_time_get()) > 0) {
      if (enet_host_service(host, &e, 10) <= 0) continue;
      if (e.type == ENET_EVENT_TYPE_DISCONNECT) return 0;
      if (e.type != ENET_EVENT_TYPE_RECEIVE) continue;
      const size_t n = std::min(e.packet->dataLength, sizeof buffer);
      const bool hit = n && e.packet->data[0] == type;
      std::memcpy(buffer, e.packet->data, n);
      enet_packet_destroy(e.packet);
      if (hit) return n;
    }
    return 0;
  }
  void hello(const char* version, uint64_t content) {
    HELLO h{NET_PROTOCOL, {}, content, "FAKE", 1};
    std::snprintf(h.version, sizeof h.version, "%s", version);
    ASSERT_EQ(until(0, 2000), 0u);  // connected by now
    const int n = encode_hello(h, buffer, sizeof buffer);
    send(CONTROL_CHANNEL, buffer, static_cast<size_t>(n));
  }
};

uint64_t game_content_hash() {
  const auto here = std::filesystem::current_path();
  EXPECT_TRUE(platform::enter_data_dir(VURK_GAME_DIR));
  const uint64_t h = give_content_hash();
  std::filesystem::current_path(here);
  return h;
}

TEST(Online, AnotherVersionOrOtherContentIsRefusedWithOneLine) {
  TempDir dir;
  Peer host(dir, "host", {"--headless", "--host", "0", "--min-players", "2", "--no-record"});
  const std::string port = host.await("hosting on port #");
  ASSERT_FALSE(port.empty()) << host.errors();
  const struct {
    const char* version;
    bool content_differs;
    const char* line;
  } rows[] = {
      {"Vurkhold beta 1.9", false, "refused: another version (the host plays Vurkhold beta 2.0, FAKE plays Vurkhold beta 1.9)"},
      {GAME_VERSION, true, "refused: other content (FAKE's weapon and model files differ from the host's)"},
  };
  const uint64_t content = game_content_hash();
  {
    // One that connects and never greets is let go, and its place is free again.
    FakePeer silent(port);
    silent.until(0, 6500);  // connected, and nothing said
    EXPECT_FALSE(host.await("let go of a machine that never greeted the host", 2).empty()) << host.errors();
  }
  for (const auto& row : rows) {
    FakePeer fake(port);
    fake.hello(row.version, row.content_differs ? content ^ 1 : content);
    const size_t n = fake.until(MSG_REFUSE);
    REFUSE r;
    ASSERT_TRUE(n && decode_refuse(fake.buffer, n, &r)) << row.line;
    EXPECT_STREQ(r.reason, row.line);
    EXPECT_FALSE(host.await(row.line, 2).empty()) << host.errors();
  }
  // A client told of another version by its host says so and gives up.
  ENetAddress any{ENET_HOST_ANY, 0};
  enet_initialize();
  ENetHost* fake_host = enet_host_create(&any, 1, NET_CHANNELS, 0, 0);
  ASSERT_NE(fake_host, nullptr);
  Peer client(dir, "client", {"--headless", "--join", "127.0.0.1:" + std::to_string(fake_host->address.port),
                              "--frames", "10", "--no-record"});
  ENetEvent e;
  for (int i = 0; i < 500; i++) {
    if (enet_host_service(fake_host, &e, 10) <= 0 || e.type != ENET_EVENT_TYPE_RECEIVE) continue;
    enet_packet_destroy(e.packet);
    WELCOME w{1, 7, "Vurkhold beta 9.9", content};
    uint8_t bytes[128];
    const int n = encode_welcome(w, bytes, sizeof bytes);
    enet_peer_send(e.peer, CONTROL_CHANNEL, enet_packet_create(bytes, static_cast<size_t>(n), ENET_PACKET_FLAG_RELIABLE));
    enet_host_flush(fake_host);
    break;
  }
  EXPECT_EQ(client.wait(20), 1);
  EXPECT_NE(client.errors().find("refused: another version (the host plays Vurkhold beta 9.9, this machine " +
                                 std::string(GAME_VERSION) + ")"),
            std::string::npos)
      << client.errors();
  enet_host_destroy(fake_host);
  enet_deinitialize();
}

// A third machine that joins properly and then misbehaves mid-match is dropped with its
// reason; the other two play on to the same outcome.
struct BAD_PEER {
  const char* name;
  const char* reason;
  void (*misbehave)(FakePeer* fake);
};

void PrintTo(const BAD_PEER& peer, std::ostream* os) { *os << peer.name; }

class BadPeer : public testing::TestWithParam<BAD_PEER> {};

TEST_P(BadPeer, IsDroppedAndTheMatchGoesOn) {
  TempDir dir;
  constexpr int TICKS = 500;
  Peer host(dir, "host", host_args("1", TICKS, 3));
  const std::string port = host.await("hosting on port #");
  ASSERT_FALSE(port.empty()) << host.errors();
  Peer client(dir, "client", client_args(port, "2", TICKS));
  ASSERT_FALSE(host.await("joined as machine 2").empty()) << host.errors();
  FakePeer fake(port);
  fake.hello(GAME_VERSION, game_content_hash());
  ASSERT_GT(fake.until(MSG_WELCOME), 0u);
  READY ready{1, 1, {{2, 0, {0, 1, 2, 3}}}};
  fake.send(CONTROL_CHANNEL, fake.buffer, static_cast<size_t>(encode_ready(ready, fake.buffer, sizeof fake.buffer)));
  ASSERT_GT(fake.until(MSG_START, 10000), 0u) << host.errors();
  fake.until(0, 1000);
  GetParam().misbehave(&fake);
  fake.until(0, 1000);
  ASSERT_EQ(client.wait(), 0) << client.errors();
  ASSERT_EQ(host.wait(), 0) << host.errors();
  EXPECT_FALSE(host.await(std::string("dropped FAKE ") + GetParam().reason, 0).empty()) << host.errors();
  EXPECT_EQ(host.output(), client.output());
  EXPECT_NE(host.output().find("vurk 3 team 3 computer"), std::string::npos) << host.output();
  EXPECT_NE(host.output().find("frames 500"), std::string::npos) << host.output();
}

// A third machine that plays along and reports another hash for frame 60 before the host
// has got there: every machine stops with the line, and each keeps its replay of the
// match. The host finds the difference in its own step and stops right away, so the desync
// it sends must still reach the client as the host leaves.
TEST(Online, AHashThatDiffersStopsEveryMachine) {
  TempDir dir;
  std::vector<std::string> args = host_args("1", 1000, 3);
  args.pop_back();  // --no-record
  Peer host(dir, "host", args);
  const std::string port = host.await("hosting on port #");
  ASSERT_FALSE(port.empty()) << host.errors();
  std::vector<std::string> joining = client_args(port, "2", 1000);
  joining.pop_back();
  Peer client(dir, "client", joining);
  ASSERT_FALSE(host.await("joined as machine 2").empty()) << host.errors();
  FakePeer fake(port);
  fake.hello(GAME_VERSION, game_content_hash());
  size_t n = fake.until(MSG_WELCOME);
  WELCOME w;
  ASSERT_TRUE(n && decode_welcome(fake.buffer, n, &w));
  READY ready{1, 1, {{2, 0, {0, 1, 2, 3}}}};
  fake.send(CONTROL_CHANNEL, fake.buffer, static_cast<size_t>(encode_ready(ready, fake.buffer, sizeof fake.buffer)));
  n = fake.until(MSG_START, 10000);
  START start;
  ASSERT_TRUE(n && decode_start(fake.buffer, n, &start)) << host.errors();
  int seat = -1;
  for (int v = 0; v < MAX_VURKS; v++)
    if (start.seat_machine[v] == w.machine) seat = v;
  ASSERT_GE(seat, 0);
  // Empty commands for its vurk, as many ticks as the clock has gone, then the false hash.
  const uint32_t began = enet_time_get();
  bool told = false;
  for (int i = 0; i < 400; i++) {
    const long now = (enet_time_get() - began) / NET_TICK + 4;
    COMMANDS c{};
    c.tick = static_cast<uint32_t>(now);
    c.blocks = 1;
    const long first = std::max(1L, now - MAX_BLOCK_TICKS + 1);
    c.block[0] = COMMAND_BLOCK{static_cast<uint8_t>(seat), static_cast<uint32_t>(first),
                               static_cast<uint8_t>(now - first + 1), {}};
    uint8_t bytes[MAX_COMMAND_PACKET];
    fake.send(COMMAND_CHANNEL, bytes, static_cast<size_t>(encode_commands(&c, bytes, sizeof bytes)), false);
    if (now > 10 && !told) {
      const HASH_MSG h{60, 12345};
      fake.send(CONTROL_CHANNEL, bytes, static_cast<size_t>(encode_hash(h, bytes, sizeof bytes)));
      told = true;
    }
    if (fake.until(MSG_DESYNC, 10)) break;
  }
  EXPECT_TRUE(told);
  EXPECT_EQ(host.wait(), 3) << host.errors();
  EXPECT_EQ(client.wait(), 3) << client.errors();
  for (const Peer* p : {&host, &client}) {
    EXPECT_NE(p->errors().find("vurkhold: desync at frame 60\n"), std::string::npos) << p->errors();
  }
  for (const char* name : {"host", "client"}) {
    const std::string replays = dir.file(std::string(name) + "-data/vurkhold/replays");
    ASSERT_TRUE(std::filesystem::exists(replays)) << name;
    EXPECT_NE(std::filesystem::directory_iterator(replays), std::filesystem::directory_iterator()) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, BadPeer,
    testing::Values(BAD_PEER{"Garbage", "sent malformed commands",
                             [](FakePeer* f) {
                               uint8_t junk[300];
                               for (int i = 0; i < 300; i++) junk[i] = static_cast<uint8_t>(i * 37 + 11);
                               junk[0] = MSG_COMMANDS;
                               f->send(COMMAND_CHANNEL, junk, sizeof junk, false);
                             }},
                    BAD_PEER{"Flood", "flooded the host",
                             [](FakePeer* f) {
                               COMMANDS c{};
                               uint8_t bytes[64];
                               const int n = encode_commands(&c, bytes, sizeof bytes);
                               for (int i = 0; i < 1000; i++)
                                 enet_peer_send(f->peer, COMMAND_CHANNEL,
                                                enet_packet_create(bytes, static_cast<size_t>(n), 0));
                               enet_host_flush(f->host);
                             }},
                    BAD_PEER{"AnotherSeat", "claimed another machine's seat",
                             [](FakePeer* f) {
                               COMMANDS c{};
                               c.blocks = 1;
                               c.block[0] = COMMAND_BLOCK{0, 1, 1, {}};
                               uint8_t bytes[64];
                               const int n = encode_commands(&c, bytes, sizeof bytes);
                               f->send(COMMAND_CHANNEL, bytes, static_cast<size_t>(n), false);
                             }}),
    [](const testing::TestParamInfo<BAD_PEER>& info) { return info.param.name; });

}  // namespace
}  // namespace vurkhold
