// Copying a property set's settings to and from an editor control.
#include "props/editor_prop_link.h"

namespace yk {

const TEditorFont& TEditorPropLink::Font() const {
  TFontValue v;
  static_cast<TFontSpec&>(v) = editor_.Font();
  font_.SetValue(v);
  return font_;
}

void TEditorPropLink::SetFont(const TEditorFont& font) { editor_.SetFont(font.Value()); }

}  // namespace yk
