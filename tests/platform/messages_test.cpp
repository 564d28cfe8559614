// messages: a question answers its fallback where no box can be shown. The "CAPTION: text"
// form on stderr is held by the command-line tests, the capture by every message test.
#include <gtest/gtest.h>


#include "records/records.h"
#include "support/test_support.h"

namespace vurkhold {
namespace {

TEST(Messages, QuestionsAnswerTheFallbackWhenNoBoxCanBeShown) {
  test::MessageCapture capture;
  EXPECT_FALSE(platform::ask_yes_no("Fullscreen?", "Start FullScreen?", false));
  EXPECT_TRUE(platform::ask_yes_no("Pako GL", "Use Windowed Mode Instead?", true));
  EXPECT_EQ(capture.at(0), "Fullscreen?: Start FullScreen?");
}

}  // namespace
}  // namespace vurkhold
