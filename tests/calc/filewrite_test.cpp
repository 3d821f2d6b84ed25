// A whole-file write that fails part-way (here a file size limit, as a quota
// or a full disk stops it) or that the disk refuses at the sync (a failing
// disk, or a file system that has put itself read-only) leaves the
// earlier file as it was, whether it was replaced through a new file or, in
// a read-only folder, written in place.
#include "calc/filewrite.h"

#include "support/failingsync.h"
#include "support/filesizelimit.h"
#include "support/readonly.h"
#include "support/testing.h"

#include <gmock/gmock.h>

#include <optional>
#include <tuple>

TEST(WholeFileWrite, AWriteCutShortLeavesTheEarlierFileAsItWas) {
    for (const bool readOnlyFolder : {false, true})
        for (const int syncError : {0, EIO, EROFS}) { // EROFS: a file system gone read-only
            SCOPED_TRACE(readOnlyFolder ? "written in place" : "replaced");
            SCOPED_TRACE(syncError ? "refused at the sync" : "cut short");
            QTemporaryDir dir;
            const QString path = dir.filePath("race.txt");
            const QByteArray earlier(3000, 'e');
            writeFile(path, earlier);
            std::optional<ReadOnly> folder;
            if (readOnlyFolder && !folder.emplace(dir.path()).ok())
                GTEST_SKIP() << "this file system cannot make a folder read-only";
            FileWrite write;
            {
                std::optional<FileSizeLimit> limit;
                std::optional<FailingSync> refused;
                syncError ? void(refused.emplace(syncError)) : void(limit.emplace(8192));
                write = writeWholeFile(path, QByteArray(100000, 'n'));
            }
            EXPECT_TRUE(write.opened);
            EXPECT_THAT(write.problem.toStdString(),
                        testing::StartsWith(syncError == EROFS ? "Pellamy may not write there"
                                                               : "the disk could not be"));
            EXPECT_EQ(fileBytes(path), earlier);
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"race.txt"}));
        }
}

TEST(WholeFileWrite, ProblemsAreSaidByTheirCause) {
    const std::tuple<QFileDevice::FileError, const char*, const char*> cases[] = {
        {QFileDevice::ResourceError, "No space left on device", "the disk is full"},
        {QFileDevice::OpenError, "Access is denied.", "Pellamy may not write there"},
        {QFileDevice::RenameError, "Access is denied.", "the file could not be replaced"},
        {QFileDevice::WriteError, "Input/output error", "the disk could not be written (Input"},
    };
    for (const auto& [error, text, says] : cases)
        EXPECT_THAT(writeProblem(error, text).toStdString(), testing::StartsWith(says)) << text;
    QTemporaryDir dir; // no earlier file, and none held open by another program
    EXPECT_EQ(writeWholeFile(dir.filePath(QString(252, 'a') + ".csv"), "x").problem,
              "the file's name is too long for the disk: please choose a shorter one");
}
