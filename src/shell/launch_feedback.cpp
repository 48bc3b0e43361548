// Activation tokens and startup ids of the desktop's launchers.
#include "shell/launch_feedback.h"

#include <charconv>

#include "platform/bus_message.h"

namespace yk {

std::string LaunchToken(const char* xdgActivationToken, const char* desktopStartupId) {
  for (const char* value : {xdgActivationToken, desktopStartupId})
    if (value && IsActivationToken(value)) return value;
  return {};
}

std::optional<std::uint32_t> StartupTime(std::string_view startupId) {
  constexpr std::string_view kMark = "_TIME";
  const std::size_t at = startupId.rfind(kMark);
  if (at == std::string_view::npos) return std::nullopt;
  const std::string_view digits = startupId.substr(at + kMark.size());
  std::uint32_t time = 0;
  const char* end = digits.data() + digits.size();
  const auto [ptr, ec] = std::from_chars(digits.data(), end, time);
  if (digits.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return time;
}

std::string StartupRemoveMessage(std::string_view startupId) {
  if (startupId.find_first_of(" \"\\") == std::string_view::npos) return "remove: ID=" + std::string(startupId);
  std::string quoted = "\"";
  for (char c : startupId) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return "remove: ID=" + quoted + "\"";
}

}  // namespace yk
