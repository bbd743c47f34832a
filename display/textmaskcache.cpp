#include "display/textmaskcache.h"

std::shared_ptr<const TextMask> TextMaskCache::Face::Mask(const QString& text) {
  auto found = m_masks.constFind(text);
  if (found != m_masks.constEnd()) return *found;
  if (m_masks.size() >= MAX_MASKS_PER_FACE) m_masks.clear();
  return *m_masks.insert(text, std::make_shared<const TextMask>(TextMask::Render(m_font, text)));
}

std::shared_ptr<const TextMask> TextMaskCache::Face::NumberMask(int number) {
  auto found = m_numbers.constFind(number);
  if (found != m_numbers.constEnd()) return *found;
  if (m_numbers.size() >= MAX_MASKS_PER_FACE) m_numbers.clear();
  return *m_numbers.insert(number, std::make_shared<const TextMask>(TextMask::Render(m_font, QString::number(number))));
}

TextMaskCache::Face& TextMaskCache::ForFont(const GdiFont::Request& request) {
  auto found = m_faces.find(request);
  if (found != m_faces.end()) return *found->second;
  if (m_faces.size() >= MAX_FACES) m_faces.clear();
  return *m_faces.emplace(request, std::make_unique<Face>(request)).first->second;
}
