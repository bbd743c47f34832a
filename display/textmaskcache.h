#pragma once

#include "display/gdifont.h"
#include "display/textmask.h"

#include <QHash>
#include <QString>

#include <map>
#include <memory>

// Rendered text masks kept between paints, per font and string. Both levels are bounded:
// a font that collects too many strings starts over, and so does the whole cache when it
// holds too many fonts.
class TextMaskCache {
 public:
  class Face {
   public:
    explicit Face(const GdiFont::Request& request) : m_font(request) {}
    // Shared, so a recorded drawing keeps its masks when the cache starts over.
    std::shared_ptr<const TextMask> Mask(const QString& text);
    // The mask of a number in decimal, found without building its text.
    std::shared_ptr<const TextMask> NumberMask(int number);
    const GdiFont& Font() const { return m_font; }

   private:
    GdiFont m_font;
    QHash<QString, std::shared_ptr<const TextMask>> m_masks;
    QHash<int, std::shared_ptr<const TextMask>> m_numbers;
  };

  static constexpr int MAX_FACES = 64;
  static constexpr int MAX_MASKS_PER_FACE = 8192;

  // The returned face stays valid until the next call of ForFont.
  Face& ForFont(const GdiFont::Request& request);

 private:
  std::map<GdiFont::Request, std::unique_ptr<Face>> m_faces;
};
