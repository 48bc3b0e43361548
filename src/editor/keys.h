// Platform-free key, modifier, mouse-button and scroll-request codes that a
// port translates its toolkit's events into before calling the editor.
#pragma once

#include <cstdint>

namespace yk {

enum TKey : std::uint8_t {
  vkNone,  // a handler that consumed a key sets it to this
  vkBack, vkTab, vkReturn, vkShift, vkControl, vkMenu, vkEscape, vkSpace,
  vkPrior, vkNext, vkEnd, vkHome, vkLeft, vkUp, vkRight, vkDown, vkInsert, vkDelete,
  vk0, vk1, vk2, vk3, vk4, vk5, vk6, vk7, vk8, vk9,
  vkA, vkB, vkC, vkD, vkE, vkF, vkG, vkH, vkI, vkJ, vkK, vkL, vkM,
  vkN, vkO, vkP, vkQ, vkR, vkS, vkT, vkU, vkV, vkW, vkX, vkY, vkZ,
  vkF1, vkF2, vkF3, vkF4, vkF5, vkF6, vkF7, vkF8, vkF9, vkF10, vkF11, vkF12,
  vkOther,  // any key the editor has no use for
};

// The keys that move the caret, and with Shift grow the selection.
constexpr bool IsNavigationKey(TKey key) { return key >= vkPrior && key <= vkDown; }

// The modifier keys and mouse buttons held during an event, as bits.
using TShiftState = std::uint8_t;
inline constexpr TShiftState ssShift = 0x01;
inline constexpr TShiftState ssAlt = 0x02;
inline constexpr TShiftState ssCtrl = 0x04;
inline constexpr TShiftState ssLeft = 0x08;
inline constexpr TShiftState ssRight = 0x10;
inline constexpr TShiftState ssMiddle = 0x20;
inline constexpr TShiftState ssDouble = 0x40;

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

// What a scroll bar asks for; the position argument matters only for
// scPosition and scTrack.
enum TScrollCode : std::uint8_t {
  scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll,
};

}  // namespace yk
