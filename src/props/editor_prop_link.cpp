// Copying a property set's settings to and from an editor control.
#include "props/editor_prop_link.h"

namespace yk {

const TEditorFont& TEditorPropLink::Font() const {
  const TFontSpec& f = editor_.Font();
  TFontValue v;
  v.name = f.name;
  v.height = f.height;
  v.color = f.color;
  v.style = f.style;
  v.charset = f.charset;
  font_.SetValue(v);
  return font_;
}

void TEditorPropLink::SetFont(const TEditorFont& font) {
  const TFontValue& v = font.Value();
  TFontSpec f;
  f.name = v.name;
  f.height = v.height;
  f.color = v.color;
  f.style = v.style;
  f.charset = v.charset;
  editor_.SetFont(f);
}

}  // namespace yk
