// Feeds arbitrary bytes to the profile-file reader and the list parser and checks what must
// hold for every input: the document gives back its bytes unchanged, a value read never
// exceeds its buffer, a key written reads back as written, and the parsers never overrun.
#include <fuzzer/FuzzedDataProvider.h>

#include <QString>
#include <array>
#include <cstdio>
#include <cstdlib>

#include "files/configvalues.h"
#include "platform/profilefile.h"

namespace {

// Names the broken property before the fuzzer records the input.
#define Check(condition)                                                  \
  do {                                                                    \
    if (!(condition)) {                                                   \
      std::fprintf(stderr, "property broken: %s (line %d)\n", #condition, __LINE__); \
      std::abort();                                                       \
    }                                                                     \
  } while (false)

// A section or key name as the program writes them: letters, digits and underscores.
QString NameFrom(FuzzedDataProvider& data) {
  QString name;
  for (char c : data.ConsumeRandomLengthString(24)) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    if (plain) name += QChar(c);
  }
  return name.isEmpty() ? QStringLiteral("K") : name;
}

// What Read gives for a value written with Write.
QString AsRead(QString value) {
  value.replace(u'\r', u' ').replace(u'\n', u' ');
  while (!value.isEmpty() && (value.front() == u' ' || value.front() == u'\t')) value.remove(0, 1);
  while (!value.isEmpty() && (value.back() == u' ' || value.back() == u'\t')) value.chop(1);
  qsizetype length = plat::ProfileFile::kValueBuffer - 1;
  if (value.size() <= length) return value;
  if (value.at(length - 1).isHighSurrogate()) --length;
  return value.left(length);
}

void CheckLists(const QString& text) {
  configvalues::ParseNumber(text);
  const std::vector<std::int32_t> items = configvalues::ParseList(text);
  Check(text.contains(u',') || items.empty());
  std::array<std::uint16_t, 32> words{};
  std::array<std::uint8_t, 8> bytes{};
  Check(configvalues::StoreList(text, std::span(words)) == std::min<std::size_t>(items.size(), 32));
  Check(configvalues::StoreList(text, std::span(bytes)) == std::min<std::size_t>(items.size(), 8));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  const QString section = NameFrom(data);
  const QString key = NameFrom(data);
  const QString value = QString::fromUtf8(data.ConsumeRandomLengthString(700));
  const std::string rest = data.ConsumeRemainingBytesAsString();
  const QByteArray content(rest.data(), static_cast<qsizetype>(rest.size()));

  plat::ProfileFile file = plat::ProfileFile::FromBytes(content);
  Check(file.Bytes() == content);
  const QString before = file.Read(section, key);
  Check(before.size() < plat::ProfileFile::kValueBuffer);
  CheckLists(before);
  CheckLists(value);

  file.Write(section, key, value);
  const QString expected = AsRead(value);
  Check(file.Read(section, key) == expected);
  const plat::ProfileFile reread = plat::ProfileFile::FromBytes(file.Bytes());
  Check(reread.Read(section, key) == expected);
  Check(reread.Bytes() == file.Bytes());
  return 0;
}
