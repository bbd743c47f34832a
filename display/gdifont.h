#pragma once

#include <QFont>
#include <QString>

#include <tuple>

// A font requested the way the grid states it: face name, cell height, average character
// width and escapement in tenths of a degree (900 = text running upward). Font() maps it to
// a QFont whose ascent plus descent is the cell height and whose average character width is
// the requested width; text is rendered without anti-aliasing so that every pixel is either
// the text colour or untouched, which keeps the combined "PASS" overlay and cached text exact.
class GdiFont {
 public:
  struct Request {
    QString face;
    int height = 0;      // > 0 cell height, < 0 character height, 0 the face's default size
    int width = 0;       // average character width, 0 = natural width
    int escapement = 0;  // tenths of a degree, counter-clockwise
    int weight = 0;      // 0 = the face's own weight, else 100..900
    bool operator<(const Request& other) const {
      return std::tie(face, height, width, escapement, weight) <
             std::tie(other.face, other.height, other.width, other.escapement, other.weight);
    }
  };

  explicit GdiFont(const Request& request);

  const Request& GetRequest() const { return m_request; }
  const QFont& Font() const { return m_font; }
  // Distance from the top of the text cell to the baseline.
  int Ascent() const { return m_ascent; }
  // Rotation for QPainter::rotate (clockwise degrees on screen).
  double Rotation() const { return -m_request.escapement / 10.0; }

 private:
  static QFont Map(const Request& request);

  Request m_request;
  QFont m_font;
  int m_ascent;
};
