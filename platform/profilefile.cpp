#include "platform/profilefile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace plat {
namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");
const QByteArray kCrLf("\r\n");
const QByteArray kLf("\n");

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Only the file's first bytes can hold its byte-order mark: one at the start of a line or a
// value is text and stays. A sequence cut off at the end is a replacement character, never
// silently dropped, so "K\xCC" is not the key "K".
QString Decode(const QByteArray& bytes) {
  QStringDecoder decoder(QStringConverter::Utf8,
                         QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
  return decoder.decode(bytes);
}

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// At most `length` UTF-16 units of `text`, never half of a surrogate pair.
QString CutAt(const QString& text, qsizetype length) {
  if (text.size() <= length) return text;
  if (length > 0 && text.at(length - 1).isHighSurrogate()) --length;
  return text.left(length);
}

}  // namespace

ProfileFile ProfileFile::FromBytes(const QByteArray& bytes) {
  ProfileFile file;
  QByteArray rest = bytes;
  if (rest.startsWith(kByteOrderMark)) {
    file.m_byteOrderMark = true;
    rest.remove(0, kByteOrderMark.size());
  }
  qsizetype start = 0;
  while (start < rest.size()) {
    const qsizetype newline = rest.indexOf('\n', start);
    if (newline < 0) {
      file.m_lines.push_back(Classify(rest.mid(start), QByteArray()));
      break;
    }
    const bool crlf = newline > start && rest.at(newline - 1) == '\r';
    const qsizetype textEnd = crlf ? newline - 1 : newline;
    file.m_lines.push_back(Classify(rest.mid(start, textEnd - start), crlf ? kCrLf : kLf));
    start = newline + 1;
  }
  return file;
}

ProfileFile ProfileFile::Open(const QString& path) {
  QFile file(path);
  if (!file.exists()) return ProfileFile();
  if (!file.open(QIODevice::ReadOnly)) {
    ProfileFile unreadable;
    unreadable.m_savable = false;
    return unreadable;
  }
  return FromBytes(file.readAll());
}

ProfileFile::Line ProfileFile::Classify(QByteArray text, QByteArray end) {
  Line line;
  line.text = std::move(text);
  line.end = std::move(end);
  const QString trimmed = Decode(line.text).trimmed();
  if (trimmed.startsWith(u';')) return line;
  if (trimmed.startsWith(u'[')) {
    const qsizetype close = trimmed.indexOf(u']');
    if (close < 0) return line;
    line.kind = Kind::Section;
    line.name = trimmed.mid(1, close - 1).trimmed();
    return line;
  }
  // '=' never occurs inside a multi-byte UTF-8 sequence, so bytes and text agree on it.
  const qsizetype equals = line.text.indexOf('=');
  if (equals < 0) return line;
  const QString key = Decode(line.text.left(equals)).trimmed();
  if (key.isEmpty()) return line;
  line.kind = Kind::Key;
  line.name = key;
  line.valueAt = equals + 1;
  return line;
}

// Where the value of a key line starts: past the blanks after "=", also when a value that
// begins with blanks has just been written there.
qsizetype ProfileFile::ValueStart(const Line& line) {
  qsizetype at = line.valueAt;
  while (at < line.text.size() && IsBlank(line.text.at(at))) ++at;
  return at;
}

ProfileFile::SectionRange ProfileFile::FindSection(const QString& section) const {
  std::size_t header = 0;
  while (header < m_lines.size() &&
         !(m_lines[header].kind == Kind::Section && SameName(m_lines[header].name, section))) {
    ++header;
  }
  if (header == m_lines.size()) return {header, header};
  std::size_t end = header + 1;
  while (end < m_lines.size() && m_lines[end].kind != Kind::Section) ++end;
  return {header, end};
}

std::size_t ProfileFile::FindKey(const SectionRange& range, const QString& key) const {
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    if (m_lines[i].kind == Kind::Key && SameName(m_lines[i].name, key)) return i;
  }
  return m_lines.size();
}

std::size_t ProfileFile::EndOfKeys(const SectionRange& range) const {
  std::size_t end = range.header + 1;
  for (std::size_t i = end; i < range.end; ++i) {
    if (m_lines[i].kind == Kind::Key) end = i + 1;
  }
  return end;
}

QString ProfileFile::Read(const QString& section, const QString& key) const {
  const SectionRange range = FindSection(section);
  if (range.header == m_lines.size()) return QString();
  const std::size_t found = FindKey(range, key);
  if (found == m_lines.size()) return QString();
  const Line& line = m_lines[found];
  QString value = Decode(line.text.mid(ValueStart(line)));
  while (!value.isEmpty() && IsBlank(value.back().toLatin1())) value.chop(1);
  return CutAt(value, kValueBuffer - 1);
}

QByteArray ProfileFile::NewLineEnd() const {
  for (const Line& line : m_lines) {
    if (!line.end.isEmpty()) return line.end;
  }
  return kCrLf;
}

void ProfileFile::Append(std::size_t at, const QByteArray& text) {
  const QByteArray end = NewLineEnd();
  if (at > 0 && m_lines[at - 1].end.isEmpty()) m_lines[at - 1].end = end;
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), Classify(text, end));
}

void ProfileFile::Write(const QString& section, const QString& key, const QString& value) {
  QString oneLine = value;
  oneLine.replace(u'\r', u' ').replace(u'\n', u' ');
  const SectionRange range = FindSection(section);
  if (range.header == m_lines.size()) {
    Append(m_lines.size(), '[' + section.toUtf8() + ']');
    Append(m_lines.size(), key.toUtf8() + '=' + oneLine.toUtf8());
    return;
  }
  const std::size_t found = FindKey(range, key);
  if (found == m_lines.size()) {
    Append(EndOfKeys(range), key.toUtf8() + '=' + oneLine.toUtf8());
    return;
  }
  Line& line = m_lines[found];
  line.text = line.text.left(ValueStart(line)) + oneLine.toUtf8();
}

QByteArray ProfileFile::Bytes() const {
  QByteArray bytes = m_byteOrderMark ? kByteOrderMark : QByteArray();
  for (const Line& line : m_lines) bytes += line.text + line.end;
  return bytes;
}

bool ProfileFile::Save(const QString& path) const {
  if (!m_savable) return false;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const QByteArray bytes = Bytes();
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

}  // namespace plat
