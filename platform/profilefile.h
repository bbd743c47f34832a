#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace plat {

// A profile ("INI") file held in memory: read once, changed key by key, written once.
//
// Section and key names match without regard to case; the first matching section and the
// first matching key in it count. Writing a key replaces its value in place, a new key goes
// after the last key of its section, a new section to the end of the file. Every other line
// keeps its bytes and its line end. A missing file, section or key reads as empty text, and a
// value is seen through a buffer of kValueBuffer characters, terminator included.
//
// Text is UTF-8; a byte-order mark is kept. Lines end in CRLF or LF; new lines take the line
// end of the file's first line, CRLF in a new file. Lines starting with ";" are comments.
class ProfileFile {
 public:
  static constexpr int kValueBuffer = 510;

  // An empty document, as for a file that does not exist.
  ProfileFile() = default;
  // The document held in `bytes`.
  static ProfileFile FromBytes(const QByteArray& bytes);
  // The file at `path`; a missing file gives an empty document. A file that exists but
  // cannot be read gives an empty document that refuses to Save, so its content is never
  // replaced by ours.
  static ProfileFile Open(const QString& path);

  QString Read(const QString& section, const QString& key) const;
  // Line breaks inside `value` become blanks: a value never starts a line of its own.
  void Write(const QString& section, const QString& key, const QString& value);

  QByteArray Bytes() const;
  // Writes the document to `path` through a temporary file renamed over it, so the file is
  // either the old one or the new one whole. False when that failed.
  bool Save(const QString& path) const;

 private:
  enum class Kind { Other, Section, Key };
  struct Line {
    QByteArray text;  // without its line end
    QByteArray end;   // "\r\n", "\n" or empty for a last line without one
    Kind kind = Kind::Other;
    QString name;          // section or key name, trimmed
    qsizetype valueAt = 0;  // for a key: just past its "=" in `text`
  };
  struct SectionRange {
    std::size_t header;  // index of the section line; lines.size() when absent
    std::size_t end;     // one past its last line
  };

  static Line Classify(QByteArray text, QByteArray end);
  static qsizetype ValueStart(const Line& line);
  SectionRange FindSection(const QString& section) const;
  std::size_t FindKey(const SectionRange& range, const QString& key) const;
  std::size_t EndOfKeys(const SectionRange& range) const;
  QByteArray NewLineEnd() const;
  void Append(std::size_t at, const QByteArray& text);

  std::vector<Line> m_lines;
  bool m_byteOrderMark = false;
  bool m_savable = true;
};

}  // namespace plat
