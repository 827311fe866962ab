#include <gtest/gtest.h>

#include <string>

#include "config/ini_file.h"
#include "tests/support/scratch_dir.h"

namespace kr450 {
namespace {

using test::ReadFileBytes;

TEST(IniRead, QuirksOfHandWrittenFiles) {
  const IniDocument doc = IniDocument::FromBytes(
      "top=ignored\n"
      " [ Sect ] \r\n"
      "\tKey = \t value with  spaces \t\r\n"
      "dq=\"quoted\"\n"
      "sq='single'\n"
      "mixed=\"unmatched'\n"
      "lone=\"\n"
      "empty=\n"
      "noequals\n"
      "dup=first\n"
      "DUP=second\n"
      "[sect]\n"
      "other=from the second copy\n"
      "[Next]\r"
      "cr=only\r"
      "last=no line end");
  struct Case {
    const char* section;
    const char* key;
    const char* value;
  };
  const Case cases[] = {
      {"Sect", "key", "value with  spaces"},
      {"SECT", "KEY", "value with  spaces"},
      {"sect", "dq", "quoted"},
      {"sect", "sq", "single"},
      {"sect", "mixed", "\"unmatched'"},
      {"sect", "lone", "\""},
      {"sect", "empty", ""},
      {"sect", "noequals", ""},
      {"sect", "dup", "first"},
      {"sect", "other", ""},
      {"", "top", ""},
      {"Next", "cr", "only"},
      {"next", "last", "no line end"},
      {"Missing", "key", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.section << "/" << c.key);
    EXPECT_EQ(doc.Get(c.section, c.key, 259), c.value);
  }
  EXPECT_TRUE(doc.Has("sect", "empty"));
  EXPECT_FALSE(doc.Has("sect", "noequals"));
}

TEST(IniRead, CapacityCountsCharactersNotBytes) {
  const IniDocument doc = IniDocument::FromBytes("[s]\nn=123456\nname=左键中键\n");
  EXPECT_EQ(doc.Get("s", "n", 4), "1234");
  EXPECT_EQ(doc.Get("s", "name", 2), "左键");
  EXPECT_EQ(doc.Get("s", "name", 0), "");
}

TEST(IniRead, WindowsEncodingsReadAlike) {
  for (const char* name :
       {"windows_utf16le_bom_crlf.ini", "windows_utf8_bom_crlf.ini", "windows_ansi_crlf.ini"}) {
    SCOPED_TRACE(name);
    const Result<IniDocument> read = ReadIniFile(std::string(KR450_FIXTURES) + "/config/" + name);
    ASSERT_TRUE(read) << read.message();
    const IniDocument& doc = *read;
    EXPECT_EQ(doc.Get("Init", "CurConfig", 4), "2");
    EXPECT_EQ(doc.Get("Config2", "K2", 4), "41");
    EXPECT_EQ(doc.Get("Config2", "DPI_SPEED", 4), "9");
    EXPECT_EQ(doc.Get("Config2", "; 备注: written on Windows", 259), "");
  }
}

TEST(IniWrite, KeepsEveryOtherByteAndTheFilesEncoding) {
  for (const char* name : {"windows_utf16le_bom_crlf.ini", "windows_utf8_bom_crlf.ini",
                           "windows_ansi_crlf.ini", "hand_edited.ini"}) {
    SCOPED_TRACE(name);
    const std::string original = ReadFileBytes(std::string(KR450_FIXTURES) + "/config/" + name);
    IniDocument doc = IniDocument::FromBytes(original);
    EXPECT_EQ(doc.ToBytes(), original);  // untouched documents round-trip byte for byte
    if (doc.Has("Init", "CurConfig")) {
      doc.Set("Config2", "K1", "1");  // a value written again as it stands changes nothing
      EXPECT_EQ(doc.ToBytes(), original);
    }
    doc.Set("config2", "k6", "19");
    doc.Set("Config2", "k6", "6");
    EXPECT_EQ(IniDocument::FromBytes(doc.ToBytes()).Get("Config2", "K6", 4), "6");
  }
  const std::string utf16 =
      ReadFileBytes(std::string(KR450_FIXTURES) + "/config/windows_utf16le_bom_crlf.ini");
  IniDocument doc = IniDocument::FromBytes(utf16);
  doc.Set("Config2", "LED_STATUS", "3");
  const std::string written = doc.ToBytes();
  ASSERT_EQ(written.size(), utf16.size());  // "2" became "3": same length, UTF-16 kept
  EXPECT_EQ(doc.encoding(), IniDocument::Encoding::Utf16LeBom);
  EXPECT_EQ(IniDocument::FromBytes(written).Get("config2", "led_status", 4), "3");
  EXPECT_NE(written.find(std::string("\x33\x00\x0d\x00\x0a\x00", 6)), std::string::npos);
}

TEST(IniWrite, AddsKeysAndSectionsWhereTheProfileWriterDoes) {
  IniDocument doc = IniDocument::FromBytes(
      "[A]\r\n"
      "x=1\r\n"
      "\r\n"
      "[B]\r\n"
      "y = 2 \r\n"
      "  z=3");
  doc.Set("a", "new", "n");          // after the last line of A, before the blank separator
  doc.Set("B", "Z", "4");            // replaced in place, indentation and spelling kept
  doc.Set("B", "w", "5");            // the last line gains a line end first
  doc.Set("C", "k", "multi\nline");  // a new section at the end; a value stays one line
  EXPECT_EQ(doc.ToBytes(),
            "[A]\r\n"
            "x=1\r\n"
            "new=n\r\n"
            "\r\n"
            "[B]\r\n"
            "y = 2 \r\n"
            "  z=4\r\n"
            "w=5\r\n"
            "[C]\r\n"
            "k=multi line\r\n");

  IniDocument fresh;
  fresh.Set("Init", "CurConfig", "1");
  EXPECT_EQ(fresh.ToBytes(), "[Init]\nCurConfig=1\n");
}

TEST(IniWrite, Utf16SurrogatesAndLoneUnitsSurvive) {
  // U+1F5B1 (a surrogate pair), then a lone high surrogate, in a UTF-16LE file.
  static constexpr char raw[] = "\xFF\xFE[\0s\0]\0\n\0k\0=\0\x3D\xD8\xB1\xDD\x01\xD8\n";
  const std::string bytes(raw, sizeof(raw));  // the terminator is the last line end's high byte
  IniDocument doc = IniDocument::FromBytes(bytes);
  EXPECT_EQ(doc.Get("s", "k", 9), "\xF0\x9F\x96\xB1\xED\xA0\x81");
  EXPECT_EQ(doc.ToBytes(), bytes);
}

}  // namespace
}  // namespace kr450
