#include "host/directory_listing.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_dir.h"

namespace {

using Names = std::vector<std::string>;

class DirectoryListingTest : public testing::Test {
protected:
    void SetUp() override {
        // Created out of order so that a listing in creation or inode order would show.
        dir_.WriteFile("zeta.txt", "z");
        dir_.WriteFile("Beta.png", "b");
        dir_.WriteFile("\xC3\xA9t\xC3\xA9.wav", "e");
        dir_.WriteFile("alpha", "a");
        dir_.WriteFile("sub2/inner.txt", "i");
        std::filesystem::create_directory(dir_.Path() / "Sub1");
        std::filesystem::create_directory(dir_.Path() / ".hidden");
    }
    std::string Root() const { return dir_.Path().string(); }

    TempDir dir_;
};

TEST_F(DirectoryListingTest, FilesAreSortedByBytesAndExcludeFolders) {
    EXPECT_EQ(ListDirectory(Root(), DirectoryEntryKind::Files),
              (Names{"Beta.png", "alpha", "zeta.txt", "\xC3\xA9t\xC3\xA9.wav"}));
}

TEST_F(DirectoryListingTest, FoldersAreSortedAndNeverIncludeDotEntries) {
    EXPECT_EQ(ListDirectory(Root(), DirectoryEntryKind::Directories), (Names{".hidden", "Sub1", "sub2"}));
}

TEST_F(DirectoryListingTest, TrailingSlashOrBackslashNamesTheSameFolder) {
    const Names expected{"inner.txt"};
    EXPECT_EQ(ListDirectory(Root() + "/sub2", DirectoryEntryKind::Files), expected);
    EXPECT_EQ(ListDirectory(Root() + "/sub2/", DirectoryEntryKind::Files), expected);
    EXPECT_EQ(ListDirectory(Root() + "/sub2\\", DirectoryEntryKind::Files), expected);
    EXPECT_EQ(ListDirectory(Root() + "\\sub2", DirectoryEntryKind::Files), expected);
}

TEST_F(DirectoryListingTest, EmptyFolderGivesEmptyListNotNothing) {
    auto folders = ListDirectory(Root() + "/Sub1", DirectoryEntryKind::Directories);
    ASSERT_TRUE(folders.has_value());
    EXPECT_TRUE(folders->empty());
}

TEST_F(DirectoryListingTest, MissingFolderOrFileGivesNothing) {
    EXPECT_FALSE(ListDirectory(Root() + "/missing", DirectoryEntryKind::Files).has_value());
    EXPECT_FALSE(ListDirectory(Root() + "/zeta.txt", DirectoryEntryKind::Directories).has_value());
}

TEST_F(DirectoryListingTest, RelativePathsUseTheWorkingDirectory) {
    ScopedWorkingDirectory cwd(dir_.Path());
    EXPECT_EQ(ListDirectory("sub2", DirectoryEntryKind::Files), (Names{"inner.txt"}));
    EXPECT_EQ(ListDirectory(".", DirectoryEntryKind::Directories), (Names{".hidden", "Sub1", "sub2"}));
}

}  // namespace
