// scripted input: the script format, its limits and the messages for bad lines.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "shell/shell.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

struct Read {
  int ok;
  std::string error;
};

INPUT_SCRIPT script;

// Reads `text` as a script; the error shows the temporary path as S.
Read read(const test::TempDir& dir, const std::string& text) {
  const std::string path = dir.path() + "/s.txt";
  test::write_file(path, text);
  char error[300] = "";
  const int ok = read_input_script(path.c_str(), &script, error, sizeof error);
  std::string shown = error;
  if (shown.rfind(path, 0) == 0) shown.replace(0, path.size(), "S");
  return {ok, shown};
}

TEST(InputScript, ReadsEveryKindOfEvent) {
  test::TempDir dir;
  Read r = read(dir, "# menu\n\n3 press Return\r\n  4 down Left Shift  \n5 up MouseLeft\n6 mouse -12 40\n9 quit\n");
  ASSERT_EQ(r.ok, 1) << r.error;
  ASSERT_EQ(script.count, 5);
  const struct {
    long frame;
    SCRIPT_ACTION action;
    const char* key;
    int code, dy;
  } want[] = {{3, SA_PRESS, "Return", 0, 0},        {4, SA_DOWN, "Left Shift", 0, 0},
              {5, SA_UP, "MouseLeft", VK_LBUTTON, 0}, {6, SA_MOUSE, "", -12, 40},
              {9, SA_QUIT, "", 0, 0}};
  for (int i = 0; i < 5; i++) {
    const SCRIPT_EVENT& e = script.event[i];
    EXPECT_EQ(std::tuple(e.frame, e.action, std::string(e.key), e.code, e.dy),
              std::tuple(want[i].frame, want[i].action, std::string(want[i].key), want[i].code, want[i].dy))
        << "event " << i;
  }
}

TEST(InputScript, BadLinesAreRefusedWithTheirLineAndReason) {
  test::TempDir dir;
  const struct {
    std::string text, error;
  } rows[] = {
      {"0 quit\n", "S:1: a line starts with a frame number from 1 to 2000000000"},
      {"1 quit\n-4 quit\n", "S:2: a line starts with a frame number from 1 to 2000000000"},
      {"7x quit\n", "S:1: a line starts with a frame number from 1 to 2000000000"},
      {"1 jump Up\n", "S:1: unknown event 'jump' (press, down, up, mouse or quit)"},
      {"1 press\n", "S:1: 'press' needs a key name"},
      {"1 down NoSuchKey\n", "S:1: unknown key 'NoSuchKey'"},
      {"1 mouse 5\n", "S:1: 'mouse' needs two offsets from -10000 to 10000"},
      {"1 mouse 5 10001\n", "S:1: 'mouse' needs two offsets from -10000 to 10000"},
      {"1 quit now\n", "S:1: 'quit' takes nothing after it"},
      {"1 press " + std::string(300, 'A') + "\n", "S:1: the line is longer than 254 characters"},
      {"#" + std::string(253, '#') + "\n1 quit now\n", "S:2: 'quit' takes nothing after it"},  // 254 fit
      {"1 quit\n2 press A" + std::string(1000, '\0') + "B\n", "S:2: the line holds a NUL byte"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text.substr(0, 40));
    Read r = read(dir, row.text);
    EXPECT_EQ(r.ok, 0);
    EXPECT_EQ(r.error, row.error);
  }
  std::string many;
  for (int i = 0; i <= MAX_SCRIPT_EVENTS; i++) many += "1 quit\n";
  EXPECT_EQ(read(dir, many).error, "S:4097: more than 4096 events");
  char error[300];
  EXPECT_EQ(read_input_script("/nonexistent/s.txt", &script, error, sizeof error), 0);
  EXPECT_STREQ(error, "can't open the input script '/nonexistent/s.txt': No such file or directory");
  for (const char* path : {"/dev/zero", "/tmp"}) {
    EXPECT_EQ(read_input_script(path, &script, error, sizeof error), 0);
    EXPECT_EQ(std::string(error), std::string("can't open the input script '") + path + "': not a regular file");
  }
}

}  // namespace
}  // namespace vurkhold
