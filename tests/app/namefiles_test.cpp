#include "app/namefiles.h"

#include "support/readonly.h"
#include "support/testing.h"

#include <QStringEncoder>

TEST(NameFiles, WrittenNamesReadBackWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath("club.txt");
    const std::pair<const char*, QByteArray> cases[] = {
        {"Rose, Crown and Anchor", "\"Rose, Crown and Anchor\"\r\n"},
        {"", "\"\"\r\n"},
        {"M\xc3\xbcller's Loft", "\"M\xfcller's Loft\"\r\n"},
        // Beyond Windows-1252: kept whole, as marked UTF-8.
        {"Łódź Racing", "\xEF\xBB\xBF\"Łódź Racing\"\r\n"}};
    for (const auto& [text, bytes] : cases) {
        SCOPED_TRACE(text);
        const QString name = QString::fromUtf8(text);
        ASSERT_TRUE(writeNameFile(path, name).ok());
        EXPECT_EQ(fileBytes(path), bytes);
        EXPECT_EQ(readNameFile(path), name);
    }
}

TEST(NameFiles, ReadFormOfHandEditedFiles) {
    const std::pair<const char*, const char*> cases[] = {
        {"  North Road Flyers   , est. 1920\r\n", "North Road Flyers"},
        {"North Road\r\nsecond line", "North Road"},
        {"   \"  Quoted  \" trailing, x\r\n", "  Quoted  "},
        {"\"The \"Best\" Club\"\r\n", "The "},
        {"\"No closing quote\r\n", "No closing quote"},
        {"\"Two\r\nlines\" x\r\n", "Two\r\nlines"},
        {"", ""},
        {"\r\n", ""},
        {",first field empty", ""}};
    for (const auto& [text, name] : cases)
        EXPECT_EQ(readNameText(QString::fromLatin1(text)), QString::fromLatin1(name)) << text;
}

TEST(NameFiles, MissingUnwritableAndHandSavedFiles) {
    QTemporaryDir dir;
    const QString club = dir.filePath("club.txt");
    EXPECT_EQ(readNameFile(club), "");
    ASSERT_TRUE(QDir(dir.path()).mkdir("fed.txt")); // a folder where the file should be
    EXPECT_EQ(readNameFile(dir.filePath("fed.txt")), "");
    // Saved by a text editor as UTF-8 without a mark.
    writeFile(club, "\"Ynys M\xC3\xB4n Flyers\"\r\n");
    EXPECT_EQ(readNameFile(club), QString::fromUtf8("Ynys M\xC3\xB4n Flyers"));
    writeFile(club, "Mont\xE0"); // and by hand in Windows-1252, without a line end
    EXPECT_EQ(readNameFile(club), QString::fromUtf8("Mont\u00e0"));
    writeFile(club, QByteArray("\xFF\xFE") + QStringEncoder(QStringEncoder::Utf16LE)(
                                                 u"\"Northfield Flyers\"\r\n")); // as "Unicode"
    EXPECT_EQ(readNameFile(club), "Northfield Flyers");
    // A read-only folder whose club.txt may be written: written in place.
    READ_ONLY_OR_SKIP(folder, dir.path());
    EXPECT_TRUE(writeNameFile(club, "Rose").ok());
    EXPECT_EQ(readNameFile(club), "Rose");
}
