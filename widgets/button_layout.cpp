#include "widgets/button_layout.h"

namespace quillet {

ButtonLayoutResult LayOutButton(const QRect& client, QSize glyph, QSize caption,
                                TButtonLayout layout, int margin, int spacing) {
  const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
  // Sizes along the layout axis and across it.
  const int clientAlong = horizontal ? client.width() : client.height();
  const int clientAcross = horizontal ? client.height() : client.width();
  const int glyphAlong = horizontal ? glyph.width() : glyph.height();
  const int glyphAcross = horizontal ? glyph.height() : glyph.width();
  const int captionAlong = horizontal ? caption.width() : caption.height();
  const int captionAcross = horizontal ? caption.height() : caption.width();

  const int glyphAcrossPos = (clientAcross - glyphAcross + 1) / 2;
  const int captionAcrossPos = (clientAcross - captionAcross + 1) / 2;

  if (captionAlong == 0 || glyphAlong == 0) spacing = 0;
  if (margin == -1) {
    if (spacing == -1) {
      margin = (clientAlong - glyphAlong - captionAlong) / 3;
      spacing = margin;
    } else {
      margin = (clientAlong - (glyphAlong + spacing + captionAlong) + 1) / 2;
    }
  } else if (spacing == -1) {
    spacing = (clientAlong - margin - glyphAlong - captionAlong) / 2;
  }

  int glyphAlongPos = 0;
  int captionAlongPos = 0;
  if (layout == blGlyphLeft || layout == blGlyphTop) {
    glyphAlongPos = margin;
    captionAlongPos = glyphAlongPos + glyphAlong + spacing;
  } else {
    glyphAlongPos = clientAlong - margin - glyphAlong;
    captionAlongPos = glyphAlongPos - spacing - captionAlong;
  }

  ButtonLayoutResult r;
  if (horizontal) {
    r.glyphPos = QPoint(glyphAlongPos, glyphAcrossPos);
    r.captionRect = QRect(QPoint(captionAlongPos, captionAcrossPos), caption);
  } else {
    r.glyphPos = QPoint(glyphAcrossPos, glyphAlongPos);
    r.captionRect = QRect(QPoint(captionAcrossPos, captionAlongPos), caption);
  }
  r.glyphPos += client.topLeft();
  r.captionRect.translate(client.topLeft());
  return r;
}

}  // namespace quillet
