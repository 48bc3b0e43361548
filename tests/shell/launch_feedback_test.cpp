// The launcher's token taken from the environment, the click time read from
// an X11 startup id, and the message that ends a launch.
#include <gtest/gtest.h>

#include "shell/launch_feedback.h"

namespace yk {
namespace {

TEST(LaunchFeedbackTest, TheWaylandTokenComesFirstAndMalformedValuesCountAsNone) {
  const std::string tooLong(1025, 'a');
  const struct {
    const char* xdg;
    const char* startup;
    std::string token;
  } kCases[] = {
      {"wl-token-1", "host-1234_TIME99", "wl-token-1"},
      {nullptr, "host-1234_TIME99", "host-1234_TIME99"},
      {"", "host-1234_TIME99", "host-1234_TIME99"},       // set but empty
      {"bad\ntoken", "host-1234_TIME99", "host-1234_TIME99"},
      {tooLong.c_str(), nullptr, ""},
      {nullptr, "a b", ""},                                // a blank: not a launcher's token
      {nullptr, nullptr, ""},
  };
  for (const auto& c : kCases) EXPECT_EQ(LaunchToken(c.xdg, c.startup), c.token) << (c.xdg ? c.xdg : "(unset)");
}

TEST(LaunchFeedbackTest, TheClickTimeIsTheNumberAfterTheLastTimeMark) {
  const struct {
    const char* id;
    std::optional<std::uint32_t> time;
  } kCases[] = {
      {"gnome-shell-1234-host-yomikaki-1_TIME5678", 5678u},
      {"a_TIME1_TIME4294967295", 4294967295u},
      {"a_TIME4294967296", std::nullopt},  // beyond 32 bits
      {"a_TIME", std::nullopt},
      {"a_TIME12x", std::nullopt},
      {"a_TIME-5", std::nullopt},
      {"kwin-3f2a9c", std::nullopt},       // a Wayland token carries no time
  };
  for (const auto& c : kCases) EXPECT_EQ(StartupTime(c.id), c.time) << c.id;
}

TEST(LaunchFeedbackTest, TheRemoveMessageQuotesWhatTheFormatWouldMisread) {
  EXPECT_EQ(StartupRemoveMessage("host-1_TIME5"), "remove: ID=host-1_TIME5");
  EXPECT_EQ(StartupRemoveMessage("a b"), "remove: ID=\"a b\"");
  EXPECT_EQ(StartupRemoveMessage("a\"b\\c"), "remove: ID=\"a\\\"b\\\\c\"");
}

}  // namespace
}  // namespace yk
