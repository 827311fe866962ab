#include "ui/skin_layout.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "skin_test_support.h"
#include "tests/support/scratch_dir.h"

namespace kr450 {
namespace {

using test::CountingWindow;
using test::RecordingSink;
using test::ScratchDir;

class SkinLayoutTest : public ::testing::Test {
 protected:
  SkinLayout Read() {
    SkinFiles files(dir.path().string(), sink, window);
    return ReadSkinLayout(files);
  }
  void WriteAllFiles() {
    dir.Write("skin_main.ini",
              "[BUTTONPOS]\n0=save,12,40,64,22,保存,0\n17=slot,184,120,150,28,,0\n"
              "[FUN_STRING]\n1=左键\n54=无功能,x\n");
    dir.Write("skin_color.ini", "[BUTTONPOS]\n11=preview,180,106,280,434,,0\n");
    dir.Write("skin_advance.ini",
              "[BUTTONPOS]\n4=record,380,448,220,30,录制,0\n"
              "[EDIT]\n3=,690,142,86,24,,0\n4=,620,106,156,24,ignored,0\n"
              "[MACRODISPLAY]\n1=,180,106,180,330,,0\n2=,380,106,220,330,,0\n");
    dir.Write("LBWarning.ini", "[BUTTONPOS]\n2=message,20,66,320,30,确定吗？,0\n");
  }
  ScratchDir dir;
  RecordingSink sink;
  CountingWindow window;
};

TEST_F(SkinLayoutTest, ReadsEveryTableOfTheFolder) {
  WriteAllFiles();
  const SkinLayout layout = Read();
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_EQ(window.shutdowns, 0);
  EXPECT_EQ(layout.main[0].x, 12);
  EXPECT_EQ(layout.main[0].text, "保存");
  EXPECT_EQ(layout.main[17].width, 150);
  // A missing key is an empty item.
  EXPECT_TRUE(layout.main[79].empty());
  EXPECT_EQ(layout.main[79].text, "");
  EXPECT_EQ(layout.functionNames[0], "");
  EXPECT_EQ(layout.functionNames[1], "左键");
  EXPECT_EQ(layout.functionNames[54], "无功能");
  EXPECT_EQ(FunctionName(layout, 54), "无功能");
  EXPECT_EQ(FunctionName(layout, 55), "");
  EXPECT_EQ(FunctionName(layout, -1), "");
  EXPECT_EQ(layout.lighting[11].height, 434);
  EXPECT_EQ(layout.advanced[4].text, "录制");
  EXPECT_EQ(layout.warning[2].text, "确定吗？");
  // Control rectangles as edges; their captions are ignored.
  EXPECT_EQ(layout.repeatCountField.left, 690);
  EXPECT_EQ(layout.repeatCountField.right, 776);
  EXPECT_EQ(layout.nameField.bottom, 130);
  EXPECT_EQ(layout.macroList.right, 360);
  EXPECT_EQ(layout.eventList.bottom, 436);
}

TEST_F(SkinLayoutTest, MissingFilesAreReportedOnceEachWithOneShutdownRequest) {
  // 134 keys of skin_main.ini and every other file missing: one message per file.
  const SkinLayout layout = Read();
  EXPECT_EQ(sink.messages, std::vector<std::string>(4, "找不到配置文件"));
  EXPECT_EQ(window.shutdowns, 1);
  EXPECT_TRUE(layout.main[0].empty());
  EXPECT_EQ(layout.functionNames[1], "");
}

TEST_F(SkinLayoutTest, OneMissingFileStopsTheDriverButTheOthersAreStillRead) {
  WriteAllFiles();
  std::filesystem::remove(dir.File("skin_color.ini"));
  const SkinLayout layout = Read();
  EXPECT_EQ(sink.messages, std::vector<std::string>{"找不到配置文件"});
  EXPECT_EQ(window.shutdowns, 1);
  EXPECT_EQ(layout.advanced[4].text, "录制");
  EXPECT_EQ(layout.warning[2].width, 320);
}

// A named pipe would block the start-up for ever; it is shown like a missing file.
TEST_F(SkinLayoutTest, ALayoutFileThatIsNoFileIsShownAsMissing) {
  WriteAllFiles();
  std::filesystem::remove(dir.File("skin_color.ini"));
  ASSERT_EQ(::mkfifo(dir.File("skin_color.ini").c_str(), 0644), 0);
  Read();
  EXPECT_EQ(sink.messages, std::vector<std::string>{"找不到配置文件"});
  EXPECT_EQ(window.shutdowns, 1);
  EXPECT_EQ(std::filesystem::status(dir.File("skin_color.ini")).type(),
            std::filesystem::file_type::fifo);
}

TEST_F(SkinLayoutTest, TooManyCommasAreReportedOncePerFileAndTheFieldsStillCount) {
  dir.Write("skin_main.ini",
            "[BUTTONPOS]\n0=a,1,2,3,4,Cap,x,y\n1=b,5,6,7,8,Two,x,y,z\n[FUN_STRING]\n");
  dir.Write("LBWarning.ini", "[BUTTONPOS]\n0=a,1,2,3,4,Yes,x,y\n");
  SkinFiles files(dir.path().string(), sink, window);
  EXPECT_EQ(files.ReadSkinEntry("skin_main.ini", "BUTTONPOS", 0).fields[6], "x,y");
  const SkinItem item = SkinItemFromFields(files.ReadSkinEntry("skin_main.ini", "BUTTONPOS", 1));
  EXPECT_EQ(item.x, 5);
  EXPECT_EQ(item.text, "Two");
  files.ReadSkinEntry("LBWarning.ini", "BUTTONPOS", 0);
  EXPECT_EQ(sink.messages, std::vector<std::string>(2, "加载ini错误！"));
  EXPECT_EQ(window.shutdowns, 0);
}

TEST_F(SkinLayoutTest, EachFileIsReadOnce) {
  WriteAllFiles();
  SkinFiles files(dir.path().string(), sink, window);
  EXPECT_EQ(files.ReadSkinEntry("skin_main.ini", "FUN_STRING", 1).fields[0], "左键");
  std::filesystem::remove(dir.File("skin_main.ini"));
  EXPECT_EQ(files.ReadSkinEntry("skin_main.ini", "BUTTONPOS", 0).fields[5], "保存");
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_TRUE(files.allFilesFound());
}

TEST_F(SkinLayoutTest, ValuesAreCutTo259Characters) {
  std::string longName;
  for (int i = 0; i < 300; ++i) longName += "键";
  dir.Write("skin_main.ini", "[FUN_STRING]\n1=" + longName + "\n2=" + std::string(259, 'a') +
                                 "\n[BUTTONPOS]\n0=x,1,2,3,4," + std::string(252, 'c') + "Z,0\n");
  const SkinLayout layout = Read();
  // Characters, not bytes: each of these takes three bytes in UTF-8.
  EXPECT_EQ(layout.functionNames[1].size(), 259u * 3);
  EXPECT_EQ(layout.functionNames[2].size(), 259u);
  // "x,1,2,3,4," is 10 characters: the caption keeps 249 of its 253 and loses the "Z".
  EXPECT_EQ(layout.main[0].text, std::string(249, 'c'));
}

TEST_F(SkinLayoutTest, Utf16FilesKeepTheirChineseCaptions) {
  SkinFiles files(std::string(KR450_FIXTURES) + "/ui/utf16le", sink, window);
  const SkinLayout layout = ReadSkinLayout(files);
  EXPECT_EQ(layout.main[0].text, "保存");
  EXPECT_EQ(layout.main[17].x, 184);
  EXPECT_EQ(layout.main[17].text, "左 键 ");  // blanks inside the value stay
  EXPECT_EQ(layout.functionNames[1], "左键");
  EXPECT_EQ(layout.functionNames[41], "宏 1");
}

}  // namespace
}  // namespace kr450
