#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/profilefile.h"

namespace {

using plat::ProfileFile;

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

struct ReadCase {
  const char* name;
  QByteArray file;
  QString section;
  QString key;
  QString value;
};

class ProfileReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileReadTest, ReadsWhatHandEditedFilesHold) {
  const ReadCase& c = GetParam();
  EXPECT_EQ(ProfileFile::FromBytes(c.file).Read(c.section, c.key), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ProfileReadTest,
    ::testing::Values(
        ReadCase{"EmptyFile", "", "S", "k", ""},
        ReadCase{"MissingSection", "[A]\r\nk=1\r\n", "B", "k", ""},
        ReadCase{"MissingKey", "[A]\r\nk=1\r\n", "A", "j", ""},
        ReadCase{"KeyOfTheNextSectionIsNotOurs", "[A]\r\n[B]\r\nk=1\r\n", "A", "k", ""},
        ReadCase{"KeyBeforeAnySectionIsNobodys", "k=1\r\n[A]\r\n", "A", "k", ""},
        ReadCase{"NamesWithoutCase", "[GlobalParameter]\r\nDeviceType=X\r\n", "GLOBALPARAMETER", "devicetype", "X"},
        ReadCase{"BlanksAroundNamesAndEquals", "  [ A ]  \r\n\t k \t=  v w \t\r\n", "A", "k", "v w"},
        ReadCase{"LineFeedEnds", "[A]\nk=1\nj=2\n", "A", "j", "2"},
        ReadCase{"BlankLinesInside", "[A]\r\n\r\n\r\nk=1\r\n", "A", "k", "1"},
        ReadCase{"LastLineWithoutEnd", "[A]\r\nk=1", "A", "k", "1"},
        ReadCase{"ByteOrderMark", "\xEF\xBB\xBF[A]\r\nk=1\r\n", "A", "k", "1"},
        ReadCase{"CommentIsNoKey", "[A]\r\n;k=1\r\n", "A", "k", ""},
        ReadCase{"IndentedCommentIsNoKey", "[A]\r\n  ; k=1\r\nk=2\r\n", "A", "k", "2"},
        ReadCase{"FirstSectionAndFirstKeyCount", "[A]\r\nk=1\r\nk=2\r\n[a]\r\nk=3\r\n", "A", "k", "1"},
        ReadCase{"EmptyValue", "[A]\r\nk=\r\n", "A", "k", ""},
        ReadCase{"EqualsInsideValue", "[A]\r\nk=a=b\r\n", "A", "k", "a=b"},
        ReadCase{"Utf8Text", "[A]\r\nk=配置\r\n", "A", "k", QStringLiteral("配置")},
        ReadCase{"BracketWithoutCloseIsNoSection", "[A\r\nk=1\r\n", "A", "k", ""},
        ReadCase{"KeyCutInsideACharacterIsAnotherKey", "[A]\r\nK\xCC=1\r\n", "A", "K", ""},
        ReadCase{"ByteOrderMarkInsideAValueStays", "[A]\r\nk=\xEF\xBB\xBFx\r\n", "A", "k", QStringLiteral("\uFEFFx")}),
    [](const auto& info) { return std::string(info.param.name); });

// A value written with leading blanks over an existing key reads like one written anew.
TEST(ProfileRead, RewrittenValueReadsWithoutLeadingBlanks) {
  for (const QByteArray before : {QByteArray(""), QByteArray("[A]\r\nk=old\r\n")}) {
    ProfileFile file = ProfileFile::FromBytes(before);
    file.Write("A", "k", " \t 7");
    EXPECT_EQ(file.Read("A", "k"), "7") << before.constData();
  }
}

TEST(ProfileRead, ValueIsCutToItsBuffer) {
  const QByteArray longValue(600, '7');
  const ProfileFile file = ProfileFile::FromBytes("[A]\r\nk=" + longValue + "\r\n");
  EXPECT_EQ(file.Read("A", "k"), QString(ProfileFile::kValueBuffer - 1, u'7'));
}

TEST(ProfileRead, CutNeverSplitsACharacter) {
  // 508 plain characters, then characters outside the basic plane (two UTF-16 units each).
  const QByteArray value = QByteArray(508, 'a') + QString::fromUtf8("\xF0\x9F\x98\x80").repeated(4).toUtf8();
  const QString read = ProfileFile::FromBytes("[A]\r\nk=" + value + "\r\n").Read("A", "k");
  EXPECT_EQ(read, QString(508, u'a'));
}

struct WriteCase {
  const char* name;
  QByteArray before;
  QString section;
  QString key;
  QString value;
  QByteArray after;
};

class ProfileWriteTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWriteTest, ChangesOnlyTheKeyItWrites) {
  const WriteCase& c = GetParam();
  ProfileFile file = ProfileFile::FromBytes(c.before);
  file.Write(c.section, c.key, c.value);
  EXPECT_EQ(file.Bytes(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ProfileWriteTest,
    ::testing::Values(
        WriteCase{"NewFileIsCrLf", "", "S", "k", "v", "[S]\r\nk=v\r\n"},
        WriteCase{"ReplacesInPlaceKeepingEverythingElse",
                  "; head\r\n[S]\r\na=1\r\nk=old value\r\n\r\nb=2\r\n[T]\r\nk=x\r\n", "s", "K", "7",
                  "; head\r\n[S]\r\na=1\r\nk=7\r\n\r\nb=2\r\n[T]\r\nk=x\r\n"},
        WriteCase{"ReplaceKeepsSpellingBlanksAndLineEnd", "[s]\n  Key =  old  \n", "S", "KEY", "7",
                  "[s]\n  Key =  7\n"},
        WriteCase{"NewKeyAfterTheLastKeyOfItsSection", "[A]\r\na=1\r\n\r\n; B follows\r\n[B]\r\nb=2\r\n", "A",
                  "k", "v", "[A]\r\na=1\r\nk=v\r\n\r\n; B follows\r\n[B]\r\nb=2\r\n"},
        WriteCase{"NewKeyInEmptySection", "[A]\r\n\r\n[B]\r\n", "A", "k", "v", "[A]\r\nk=v\r\n\r\n[B]\r\n"},
        WriteCase{"NewSectionAtTheEndKeepsLineFeeds", "[A]\na=1\n", "B", "k", "v", "[A]\na=1\n[B]\nk=v\n"},
        WriteCase{"NewKeyAfterALastLineWithoutEnd", "[A]\r\na=1", "A", "k", "v", "[A]\r\na=1\r\nk=v\r\n"},
        WriteCase{"NewSectionAfterALastLineWithoutEnd", "[A]\na=1", "B", "k", "v", "[A]\na=1\n[B]\nk=v\n"},
        WriteCase{"ByteOrderMarkKept", "\xEF\xBB\xBF[A]\r\na=1\r\n", "A", "a", "2", "\xEF\xBB\xBF[A]\r\na=2\r\n"},
        WriteCase{"CommentedKeyIsNotReplaced", "[A]\r\na=0\r\n;k=1\r\n", "A", "k", "2", "[A]\r\na=0\r\nk=2\r\n;k=1\r\n"},
        WriteCase{"ValueStartingWithBlanksReadsWithout", "[A]\r\nk=x\r\n", "A", "k", "  7", "[A]\r\nk=  7\r\n"},
        WriteCase{"LineBreakInValueCannotStartALine", "[A]\r\n", "A", "k", "1\r\n[B]", "[A]\r\nk=1  [B]\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// Hundreds of keys go through one document written once; the bytes must be those of writing
// and re-reading the file for every single key.
TEST(ProfileWrite, OneDocumentGivesTheBytesOfKeyByKeyWrites) {
  const QByteArray start = "\xEF\xBB\xBF; kept\n[B]\nx=1\n\n[A]\nk0=old\n";
  ProfileFile document = ProfileFile::FromBytes(start);
  QByteArray keyByKey = start;
  for (int i = 0; i < 40; ++i) {
    const QString section = QString::asprintf("S%02d", i % 5);
    const QString key = QString::asprintf("k%d", i % 7);
    for (const QString& name : {section, QStringLiteral("a")}) {
      document.Write(name, key, QString::number(i));
      ProfileFile single = ProfileFile::FromBytes(keyByKey);
      single.Write(name, key, QString::number(i));
      keyByKey = single.Bytes();
    }
  }
  EXPECT_EQ(document.Bytes(), keyByKey);
}

TEST(ProfileFileOnDisk, HandEditedFileReadsAndKeepsItsBytes) {
  QTemporaryDir dir;
  const QString path = dir.filePath("station.ini");
  const QByteArray original = ReadAll(VARNO_FILES_FIXTURES "/handedited.ini");
  ASSERT_FALSE(original.isEmpty());
  WriteAll(path, original);

  ProfileFile file = ProfileFile::Open(path);
  EXPECT_EQ(file.Read("GLOBALPARAMETER", "DEVICETYPE"), "VARNOSTELLIONPLU");
  EXPECT_EQ(file.Read("GLOBALPARAMETER", "GUICOL"), "3");
  EXPECT_EQ(file.Read("EXPANDBOARD", "EXPANDBOARDADDRESS"), "1, 2,3");
  EXPECT_EQ(file.Read("NOTES", "LINE"), "keep me");

  file.Write("GLOBALPARAMETER", "GUIROW", "4");
  file.Write("PARAMETER", "TYPE", "1");
  ASSERT_TRUE(file.Save(path));
  QByteArray expected = original;
  expected.replace("GUIROW=2\r\n", "GUIROW=4\r\n");
  expected += "[PARAMETER]\r\nTYPE=1\r\n";
  EXPECT_EQ(ReadAll(path), expected);
}

TEST(ProfileFileOnDisk, MissingFileReadsEmptyAndSaveCreatesIt) {
  QTemporaryDir dir;
  const QString path = dir.filePath("new.ini");
  ProfileFile file = ProfileFile::Open(path);
  EXPECT_EQ(file.Read("A", "k"), "");
  file.Write("A", "k", "1");
  ASSERT_TRUE(file.Save(path));
  EXPECT_EQ(ReadAll(path), "[A]\r\nk=1\r\n");
}

TEST(ProfileFileOnDisk, FailedSaveLeavesNoFileBehind) {
  QTemporaryDir dir;
  ProfileFile file;
  file.Write("A", "k", "1");
  EXPECT_FALSE(file.Save(dir.filePath("missing/dir/new.ini")));
  EXPECT_FALSE(file.Save(dir.path()));  // a directory is no file
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

// What cannot be read must not be replaced by a document that never saw its content.
TEST(ProfileFileOnDisk, UnreadableFileIsNeverOverwritten) {
  QTemporaryDir dir;
  const QString path = dir.filePath("taken");
  ASSERT_TRUE(QDir(dir.path()).mkdir("taken"));
  ProfileFile file = ProfileFile::Open(path);
  file.Write("A", "k", "1");
  EXPECT_FALSE(file.Save(path));
  EXPECT_TRUE(QFileInfo(path).isDir());
}

}  // namespace
