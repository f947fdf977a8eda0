#include "ui/core/ini_document.h"

#include <optional>

#include <gtest/gtest.h>

namespace {

TEST(IniDocument, ReadsValuesTheWayTheProfileServicesDo) {
    struct Case {
        const char* what;
        const char* file;
        const char* section;
        const char* key;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"plain", "[s]\r\nk=v\r\n", "s", "k", "v"},
        {"key case", "[s]\r\nKey=v\r\n", "s", "kEY", "v"},
        {"section case", "[Main]\r\nk=v\r\n", "MAIN", "k", "v"},
        {"blanks", "  [ s ]  \r\n \t k \t=  a b \t\r\n", "s", "k", "a b"},
        {"double quotes", "[s]\r\nk=\"  a b  \"\r\n", "s", "k", "  a b  "},
        {"single quotes", "[s]\r\nk='x'\r\n", "s", "k", "x"},
        {"one quote stays", "[s]\r\nk=\"x\r\n", "s", "k", "\"x"},
        {"empty value", "[s]\r\nk=\r\n", "s", "k", ""},
        {"no equals sign", "[s]\r\nk\r\n", "s", "k", ""},
        {"equals in value", "[s]\r\nk=a=b\r\n", "s", "k", "a=b"},
        {"LF only", "[s]\nk=v\nj=w", "s", "j", "w"},
        {"comment is no key", "[s]\r\n;k=v\r\n", "s", "k", std::nullopt},
        {"key of another section", "[t]\r\nk=v\r\n[s]\r\nj=w\r\n", "s", "k", std::nullopt},
        {"key before any section", "k=v\r\n[s]\r\n", "s", "k", std::nullopt},
        {"first section wins", "[s]\r\nj=1\r\n[s]\r\nk=2\r\n", "s", "k", std::nullopt},
        {"first key wins", "[s]\r\nk=1\r\nk=2\r\n", "s", "k", "1"},
        {"missing section", "[t]\r\nk=v\r\n", "s", "k", std::nullopt},
        {"empty file", "", "s", "k", std::nullopt},
        {"Chinese names and value", "[配置]\r\n路径=D:\\示例\r\n", "配置", "路径", "D:\\示例"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IniDocument::parse(c.file).value(c.section, c.key), c.expected) << c.what;
    }
}

TEST(IniDocument, ChangingOneValueKeepsEveryOtherLineByteForByte) {
    // Lines the profile services would never write must come back as they were.
    const std::string file =
        "; written by hand\r\n"
        "\t ÿþ odd line ；\r\n"
        "[Other]\r\n"
        "name = keep me\r\n"
        "\r\n"
        "[配置]\r\n"
        "  后缀  = old\r\n"
        "; about the prefix\r\n"
        "\r\n"
        "[Last]\n"
        "x=1";
    IniDocument doc = IniDocument::parse(file);
    doc.setValue("配置", "后缀", "exe");
    doc.setValue("配置", "路径", "示例");
    doc.setValue("New", "k", "v");
    EXPECT_EQ(doc.serialize(),
              "; written by hand\r\n"
              "\t ÿþ odd line ；\r\n"
              "[Other]\r\n"
              "name = keep me\r\n"
              "\r\n"
              "[配置]\r\n"
              "后缀=exe\r\n"
              "; about the prefix\r\n"
              "路径=示例\r\n"
              "\r\n"
              "[Last]\r\n"
              "x=1\r\n"
              "\r\n"
              "[New]\r\n"
              "k=v\r\n");
}

TEST(IniDocument, KeepsTheKeyAsTheFileSpellsIt) {
    IniDocument doc = IniDocument::parse("[Sec]\r\nMyKey=1\r\n");
    doc.setValue("sec", "mykey", "2");
    EXPECT_EQ(doc.serialize(), "[Sec]\r\nMyKey=2\r\n");
}

TEST(IniDocument, AValueThatReadingWouldChangeIsWrittenInQuotes) {
    const std::string values[] = {"", "plain", " lead", "trail\t", "\"quoted\"", "'single'", "\"", "a \"b\" c", "示例 "};
    for (const std::string& v : values) {
        IniDocument doc;
        doc.setValue("s", "k", v);
        EXPECT_EQ(IniDocument::parse(doc.serialize()).value("s", "k"), v) << "[" << v << "]";
    }
}

TEST(IniDocument, ALineBreakInAValueCannotSplitTheLine) {
    IniDocument doc;
    doc.setValue("s", "k", "a\r\nb");
    doc.setValue("s", "j", "c");
    IniDocument back = IniDocument::parse(doc.serialize());
    EXPECT_EQ(back.value("s", "k"), "a  b");
    EXPECT_EQ(back.value("s", "j"), "c");
}

}  // namespace
