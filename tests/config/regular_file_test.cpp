#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "config/atomic_file.h"
#include "config/ini_file.h"
#include "config/regular_file.h"
#include "tests/support/odd_files.h"
#include "tests/support/scratch_dir.h"

namespace kr450 {
namespace {
namespace fs = std::filesystem;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A pipe would block the reader for ever, a device would be read until memory runs out, and
// the rename of a write would put a regular file in the place of either.
TEST(RegularFile, WhatIsNotARegularFileIsRefusedAndLeftAsItWas) {
  const test::HangGuard guard;
  test::ScratchDir dir;
  std::vector<test::SpecialFile> specials = test::MakeSpecialFiles(dir);
  fs::create_symlink(specials.front().path, dir.File("link-to-pipe.ini"));
  specials.push_back(
      {"link to a named pipe", dir.File("link-to-pipe.ini"), fs::file_type::symlink});
  for (const test::SpecialFile& special : specials) {
    SCOPED_TRACE(special.label);
    const Result<std::string> read = ReadRegularFile(special.path);
    ASSERT_FALSE(read);
    EXPECT_FALSE(read.status().notFound());
    EXPECT_TRUE(Contains(read.message(), "not a regular file")) << read.message();
    EXPECT_FALSE(ReadIniFile(special.path));

    const Status update =
        UpdateIniFile(special.path, [](IniDocument& doc) { doc.Set("Config7", "K1", "1"); });
    EXPECT_FALSE(update);
    EXPECT_TRUE(Contains(update.message(), "not a regular file")) << update.message();
    EXPECT_FALSE(ReplaceFileAtomically(special.path, "[Config7]\n"));
    EXPECT_EQ(test::TypeOf(special.path), special.type);
  }
  EXPECT_EQ(test::TypeOf(specials.front().path), fs::file_type::fifo);
  // No temporary of a refused write stays behind.
  EXPECT_EQ(static_cast<size_t>(std::distance(fs::directory_iterator(dir.path()), {})),
            specials.size());

  // The system's endless devices are only read, never written, here.
  for (const char* device : {"/dev/zero", "/dev/urandom"}) {
    SCOPED_TRACE(device);
    const Result<std::string> read = ReadRegularFile(device);
    ASSERT_FALSE(read);
    EXPECT_EQ(read.message(), std::string(device) + ": a device, not a regular file");
  }
}

TEST(RegularFile, ReadsRegularFilesUpToTheLimit) {
  test::ScratchDir dir;
  dir.Write("small.ini", "[S]\nk=1\n");
  fs::create_symlink(dir.File("small.ini"), dir.File("link.ini"));
  for (const char* name : {"small.ini", "link.ini"}) {
    const Result<std::string> read = ReadRegularFile(dir.File(name));
    ASSERT_TRUE(read) << read.message();
    EXPECT_EQ(*read, "[S]\nk=1\n");
  }

  const std::string limit = dir.File("limit.ini");
  test::MakeSparseFile(limit, MAX_USER_FILE_BYTES);
  EXPECT_EQ(ReadRegularFile(limit)->size(), MAX_USER_FILE_BYTES);
  const std::string tooLarge = dir.File("too-large.ini");
  test::MakeSparseFile(tooLarge, MAX_USER_FILE_BYTES + 1);
  EXPECT_EQ(ReadRegularFile(tooLarge).message(), tooLarge + ": larger than 16 MiB");
  EXPECT_EQ(ReadRegularFile(dir.File("small.ini"), 4).message(),
            dir.File("small.ini") + ": larger than 4 bytes");
  // A file too large to read is not replaced by one holding only the edit.
  EXPECT_FALSE(UpdateIniFile(tooLarge, [](IniDocument& doc) { doc.Set("S", "k", "2"); }));
  EXPECT_EQ(fs::file_size(tooLarge), MAX_USER_FILE_BYTES + 1);

  // Nothing there, or a path through a file: missing, which a write may create.
  for (const char* name : {"absent.ini", "small.ini/below.ini"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(ReadRegularFile(dir.File(name)).status().notFound());
  }
  EXPECT_TRUE(CheckWriteTarget(dir.File("absent.ini")));
  EXPECT_TRUE(CheckWriteTarget(dir.File("small.ini")));
  EXPECT_FALSE(CheckWriteTarget(dir.File("small.ini/below.ini")));
}

}  // namespace
}  // namespace kr450
