// The later colour names.
#include "props/color_names.h"

#include <array>

namespace yk {

namespace {

constexpr std::array<TColorIdent, 9> kLaterColors{{
    {MakeColor(0xC0, 0xDC, 0xC0), "clMoneyGreen"},
    {MakeColor(0xA6, 0xCA, 0xF0), "clSkyBlue"},
    {MakeColor(0xFF, 0xFB, 0xF0), "clCream"},
    {MakeColor(0xA0, 0xA0, 0xA4), "clMedGray"},
    {SystemColor(26), "clHotLight"},
    {SystemColor(27), "clGradientActiveCaption"},
    {SystemColor(28), "clGradientInactiveCaption"},
    {SystemColor(29), "clMenuHighlight"},
    {SystemColor(30), "clMenuBar"},
}};

}  // namespace

std::optional<TColor> IdentToAnyColor(std::string_view name) {
  if (auto c = IdentToColor(name)) return c;
  for (const TColorIdent& e : kLaterColors) {
    if (SameIdent(e.name, name)) return e.value;
  }
  return std::nullopt;
}

std::optional<TColor> StoredTextToColor(std::string_view text) {
  if (auto c = StringToColor(text)) return c;
  return IdentToAnyColor(text);
}

}  // namespace yk
