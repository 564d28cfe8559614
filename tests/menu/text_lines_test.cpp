// text lines: the list's ends, the help text cut into 53-character lines and upper-cased
// byte by byte, and the level list held to its count.
#include <gtest/gtest.h>
#include <unistd.h>

#include <set>
#include <string>

#include "menu/menu.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

class TextLines : public ::testing::Test {
 protected:
  TextLines() { EXPECT_EQ(chdir(dir_.path().c_str()), 0); }
  ~TextLines() override { free_textlines(); }
  test::KeepWorkingDir cwd_;
  test::TempDir dir_;
  test::MessageCapture messages_;
};

TEST_F(TextLines, EmptyListEndsAndFreeing) {
  free_textlines();  // an empty list only resets
  EXPECT_EQ(get_text_by_number(0), nullptr);
  EXPECT_EQ(add_textline(nullptr), 0);
  for (const char* text : {"ONE", "TWO", "THREE"}) EXPECT_EQ(add_textline(text), 1);
  EXPECT_EQ(line_count, 3);
  EXPECT_STREQ(get_text_by_number(1), "TWO");
  EXPECT_STREQ(get_text_by_number(7), "THREE");  // beyond the end: the last line
  free_textlines();
  EXPECT_TRUE(line_count == 0 && textline.text == nullptr && textline.next == nullptr);
}

TEST_F(TextLines, ReadmeLinesAreCutAt53AndUpperCasedByteByByte) {
  EXPECT_EQ(load_readme(), 0);
  EXPECT_EQ(messages_.last(), "ERROR: Can't open readme.txt.");
  const std::string long_line = std::string(53, 'a') + "bcdefgh";
  test::write_file(dir_.file("readme.txt"), long_line + "\r\nk\xe4se \xc3\xa9t\xe9 z{}\n");
  ASSERT_EQ(load_readme(), 1);
  ASSERT_EQ(line_count, 3);
  EXPECT_EQ(std::string(get_text_by_number(0)), std::string(53, 'A'));
  EXPECT_STREQ(get_text_by_number(1), "BCDEFGH\n");
  EXPECT_STREQ(get_text_by_number(2), "K\xe4SE \xc3\xa9T\xe9 Z{}\n");
}

TEST_F(TextLines, LevelListTakesTheFirstTwentyLevelFilesInAnyCase) {
  test::write_file(dir_.file("levels/notes.txt"), "x");
  EXPECT_EQ(load_level_list(MAX_LEVEL_NAMES), 0);
  for (int i = 0; i < 25; i++)
    test::write_file(dir_.file("levels/cave" + std::to_string(i) + (i % 2 ? ".vhl" : ".VhL")), "x");
  ASSERT_EQ(load_level_list(MAX_LEVEL_NAMES), 1);
  ASSERT_EQ(line_count, 20);
  std::set<std::string> names;
  for (int i = 0; i < line_count; i++) names.insert(get_text_by_number(i));
  EXPECT_EQ(names.size(), 20u);
  for (const std::string& name : names)
    EXPECT_TRUE(name.rfind("CAVE", 0) == 0 && name.size() > 7 && name.substr(name.size() - 4) == ".VHL") << name;
}

}  // namespace
}  // namespace vurkhold
