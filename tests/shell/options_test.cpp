// command line: options, their values and the errors for bad ones.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/shell.h"

namespace vurkhold {
namespace {

struct Parsed {
  int ok;
  OPTIONS options;
  std::string error;
  std::string data_dir;  // options.data_dir and level point into the arguments, gone after parse()
  std::string level;
};

Parsed parse(std::vector<std::string> args) {
  args.insert(args.begin(), "vurkhold");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  Parsed p{};
  char error[160] = "";
  p.ok = parse_options(static_cast<int>(argv.size()), argv.data(), &p.options, error, sizeof error);
  p.error = error;
  p.data_dir = p.options.data_dir ? p.options.data_dir : "";
  p.options.data_dir = nullptr;
  p.level = p.options.level ? p.options.level : "";
  p.options.level = nullptr;
  return p;
}

TEST(Options, DefaultsAskAboutFullScreenWithVsync) {
  Parsed p = parse({});
  ASSERT_EQ(p.ok, 1);
  EXPECT_EQ(p.options.fullscreen, -1);
  EXPECT_EQ(p.options.vsync, 1);
  EXPECT_EQ(p.options.frames, 0);
  EXPECT_EQ(p.options.seed_given, 0);
  EXPECT_EQ(p.data_dir, "");
}

TEST(Options, EveryOptionIsTaken) {
  Parsed p = parse({"--windowed", "--data", "/tmp/game", "--seed", "4294967295", "--no-vsync", "--no-sound", "--frames", "60"});
  ASSERT_EQ(p.ok, 1) << p.error;
  EXPECT_EQ(p.options.fullscreen, 0);
  EXPECT_EQ(p.data_dir, "/tmp/game");
  EXPECT_EQ(p.options.seed_given, 1);
  EXPECT_EQ(p.options.seed, 4294967295u);
  EXPECT_EQ(p.options.vsync, 0);
  EXPECT_EQ(p.options.no_sound, 1);
  EXPECT_EQ(p.options.frames, 60);
  Parsed m = parse({"--headless", "--frames", "9", "--level", "levels/maze.vhl", "--bots", "--lives", "1000",
                    "--frag-limit", "1", "--frame-ms", "200", "--hash-every", "3"});
  ASSERT_EQ(m.ok, 1) << m.error;
  EXPECT_EQ(m.level, "levels/maze.vhl");
  EXPECT_EQ(m.options.headless + m.options.bots, 2);
  EXPECT_EQ(m.options.lives, 1000);
  EXPECT_EQ(m.options.frag_limit, 1);
  EXPECT_EQ(m.options.frame_ms, 200u);
  EXPECT_EQ(m.options.hash_every, 3);
  EXPECT_EQ(parse({"--fullscreen"}).options.fullscreen, 1);
  EXPECT_EQ(parse({"--windowed", "--fullscreen"}).options.fullscreen, 1);  // the last one counts
  EXPECT_EQ(parse({"--help"}).options.help, 1);
  EXPECT_EQ(parse({"-h"}).options.help, 1);
  EXPECT_EQ(parse({"--version"}).options.version, 1);
}

TEST(Options, BadValuesAreRefusedWithTheReason) {
  const struct {
    std::vector<std::string> args;
    const char* error;
  } cases[] = {
      {{"--seed"}, "--seed needs a number from 0 to 4294967295"},
      {{"--seed", "-1"}, "--seed needs a number from 0 to 4294967295"},
      {{"--seed", "4294967296"}, "--seed needs a number from 0 to 4294967295"},
      {{"--seed", "12x"}, "--seed needs a number from 0 to 4294967295"},
      {{"--frames", "0"}, "--frames needs a number from 1 to 2000000000"},
      {{"--frames"}, "--frames needs a number from 1 to 2000000000"},
      {{"--data"}, "--data needs a folder"},
      {{"--data", ""}, "--data needs a folder"},
      {{"--fast"}, "unknown option '--fast'"},
      {{"--level"}, "--level needs a level file"},
      {{"--level", std::string(260, 'x')}, "--level: the path is longer than 259 characters"},
      {{"--lives", "0"}, "--lives needs a number from 1 to 1000"},
      {{"--frag-limit", "1001"}, "--frag-limit needs a number from 1 to 1000"},
      {{"--frame-ms", "201"}, "--frame-ms needs a number from 1 to 200"},
      {{"--headless"}, "--headless needs --frames"},
      {{"--hash-every", "5", "--frames", "9"}, "--hash-every needs --headless"},
      {{"--input"}, "--input needs a file"},
      {{"--screenshot", ""}, "--screenshot needs a file"},
      {{"--headless", "--frames", "9", "--screenshot", "a.png"},
       "--headless draws nothing: --input and --screenshot need a window"},
      {{"levels/x.vhl"}, "unknown option 'levels/x.vhl'"},
  };
  for (const auto& c : cases) {
    Parsed p = parse(c.args);
    EXPECT_EQ(p.ok, 0) << c.error;
    EXPECT_EQ(p.error, c.error);
  }
}

}  // namespace
}  // namespace vurkhold
