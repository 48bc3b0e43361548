// What the desktop's launcher gives a start of the program: its activation
// token, the time of the user's click inside an X11 startup id, and the
// message that ends the launcher's busy cursor when no window of this
// process will ever show.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace yk {

// The activation token of this start: XDG_ACTIVATION_TOKEN (Wayland) when
// it is a token (IsActivationToken), else DESKTOP_STARTUP_ID (X11) when that
// is one, else empty. Either argument may be null (the variable is unset).
std::string LaunchToken(const char* xdgActivationToken, const char* desktopStartupId);

// The X server time of the click that started a launch, which an X11
// startup id carries at its end as "_TIME" and decimal digits; nullopt when
// the id has none or the number does not fit 32 bits.
std::optional<std::uint32_t> StartupTime(std::string_view startupId);

// The startup-notification message "remove: ID=<id>" that ends the launch
// with this id; an id with a blank, a double quote or a backslash is quoted
// and those characters escaped.
std::string StartupRemoveMessage(std::string_view startupId);

}  // namespace yk
