// messages: captured with their exact caption and text, and always on stderr.
#include <gtest/gtest.h>

#include <string>

#include "records/records.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

TEST(Messages, ErrorsAreCapturedWithCaptionAndText) {
  test::MessageCapture capture;
  ::testing::internal::CaptureStderr();
  report_error("Can't open file LEVELS\\TEST1.VHL.");
  platform::show_message("SHUTDOWN ERROR", "Could Not Release hWnd.", platform::Icon::information);
  std::string err = ::testing::internal::GetCapturedStderr();
  ASSERT_EQ(capture.count(), 2);
  EXPECT_EQ(capture.at(0), "ERROR: Can't open file LEVELS\\TEST1.VHL.");
  EXPECT_EQ(capture.at(1), "SHUTDOWN ERROR: Could Not Release hWnd.");
  EXPECT_EQ(err, "ERROR: Can't open file LEVELS\\TEST1.VHL.\nSHUTDOWN ERROR: Could Not Release hWnd.\n");
  EXPECT_STREQ(platform::last_message_text(), "Could Not Release hWnd.");
}

TEST(Messages, QuestionsAnswerTheFallbackWhenNoBoxCanBeShown) {
  test::MessageCapture capture;
  EXPECT_FALSE(platform::ask_yes_no("Fullscreen?", "Start FullScreen?", false));
  EXPECT_TRUE(platform::ask_yes_no("Pako GL", "Use Windowed Mode Instead?", true));
  EXPECT_EQ(capture.at(0), "Fullscreen?: Start FullScreen?");
}

}  // namespace
}  // namespace vurkhold
