#include "settings/IniDocument.h"
#include <algorithm>
#include <gtest/gtest.h>

TEST(IniDocument, LookupIgnoresCaseAndBlanks) {
    const IniDocument doc(
        "junk line\r\n  [ Main ] \r\n  ShowBid  =  1  \r\nnoequals\r\n[Other]\r\nk=v");
    EXPECT_EQ(doc.Get("MAIN", "showbid"), "1");
    EXPECT_EQ(doc.Get("main", "SHOWBID"), "1");
    EXPECT_EQ(doc.Get("Other", "k"), "v");
    EXPECT_EQ(doc.Get("Other", "missing"), "");
    EXPECT_EQ(doc.Get("Nope", "k"), "");
    EXPECT_EQ(doc.Get("MAIN", "noequals"), "");
}

TEST(IniDocument, WritesInPlaceAndKeepsOtherLinesByteForByte) {
    const std::string original = "; note\r\n[A]\r\nx=1\r\ny=2\r\n\r\n[B]\r\nz=3\r\n";
    IniDocument doc(original);
    doc.Set("a", "X", "9");
    EXPECT_EQ(doc.Render(), "; note\r\n[A]\r\nX=9\r\ny=2\r\n\r\n[B]\r\nz=3\r\n");
    doc.Set("A", "new", "n");
    EXPECT_EQ(doc.Render(), "; note\r\n[A]\r\nX=9\r\ny=2\r\nnew=n\r\n\r\n[B]\r\nz=3\r\n");
    doc.Set("C", "c", "");
    EXPECT_EQ(doc.Render(),
              "; note\r\n[A]\r\nX=9\r\ny=2\r\nnew=n\r\n\r\n[B]\r\nz=3\r\n[C]\r\nc=\r\n");
}

TEST(IniDocument, LineEndsAndMissingFinalBreak) {
    IniDocument lf("[A]\nx=1");
    lf.Set("A", "y", "2");
    EXPECT_EQ(lf.Render(), "[A]\nx=1\ny=2\n");
    lf.Set("B", "z", "3");
    EXPECT_EQ(lf.Render(), "[A]\nx=1\ny=2\n[B]\nz=3\n");

    IniDocument noBreak("[A]\r\nx=1");
    noBreak.Set("B", "k", "v");
    EXPECT_EQ(noBreak.Render(), "[A]\r\nx=1\r\n[B]\r\nk=v\r\n");

    IniDocument empty("");
    empty.Set("MAIN", "K", "v");
    EXPECT_EQ(empty.Render(), "[MAIN]\r\nK=v\r\n");
}

TEST(IniDocument, ByteOrderMarksAreReadAndDropped) {
    // One mark, or a mark written twice over: the first section shows and takes the write.
    for (const std::string marks : {"\xEF\xBB\xBF", "\xEF\xBB\xBF\xEF\xBB\xBF"}) {
        IniDocument doc(marks + "[MAIN]\r\nK=v\r\n");
        EXPECT_EQ(doc.Get("MAIN", "K"), "v");
        EXPECT_EQ(doc.SectionNames(), std::vector<std::string>{"MAIN"});
        doc.Set("MAIN", "K", "w");
        EXPECT_EQ(doc.Render(), "[MAIN]\r\nK=w\r\n");
        EXPECT_EQ(IniDocument(doc.Render()).Get("MAIN", "K"), "w");
    }
}

// Whatever bytes a name is given in, the line written for it is found by it again: a second
// write changes that line instead of adding another section or key.
TEST(IniDocument, WrittenNamesAreFoundAgain) {
    struct Case {
        std::string section, key, value, read;
    } cases[] = {
        {"\xE8\xAD", "k", "1", "1"},                    // a character cut in the middle
        {"\xE9\xBB\x84\xE9", "\xE9\xBB\x84", "2", "2"}, // UTF-8 name, then a cut one
        {"A", "\xE9\xBB\x84", "\xBE\xAF", "警"},          // UTF-8 key, ANSI value
        {"a\r\nb", "k\nx", "v", "v"},                     // line breaks in names
    };
    for (const Case& c : cases) {
        IniDocument doc("[A]\r\nk=0\r\n");
        doc.Set(c.section, c.key, "first");
        doc.Set(c.section, c.key, c.value);
        const std::string written = doc.Render();
        const IniDocument again(written);
        EXPECT_EQ(again.Get(c.section, c.key), c.read) << c.section;
        EXPECT_EQ(again.SectionNames().size(), c.section == "A" ? 1u : 2u) << c.section;
        EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), c.section == "A" ? 3 : 4)
            << c.section;
    }
}

TEST(IniDocument, LastLineCutAfterItsCarriageReturn) {
    const std::string original = "[A]\r\nk=v\r";
    IniDocument doc(original);
    EXPECT_EQ(doc.Get("A", "k"), "v");
    EXPECT_EQ(doc.Render(), original);
    doc.Set("A", "n", "1");
    EXPECT_EQ(doc.Render(), "[A]\r\nk=v\r\nn=1\r\n");
    EXPECT_EQ(IniDocument(doc.Render()).Get("A", "k"), "v");
}

TEST(IniDocument, NonUtf8LinesReadAsAnsiAndStayUntouched) {
    // "警报" in GBK, as an older program wrote it.
    const std::string gbkLine = "NAME=\xBE\xAF\xB1\xA8";
    IniDocument doc("[A]\r\n" + gbkLine + "\r\n[\xBB\xC6\xBD\xF0]\r\nk=1\r\n");
    EXPECT_EQ(doc.Get("A", "NAME"), "警报");
    EXPECT_EQ(doc.Get("黄金", "k"), "1");
    doc.Set("A", "other", "值");
    EXPECT_NE(doc.Render().find(gbkLine + "\r\nother=值\r\n"), std::string::npos);
}

TEST(IniDocument, DeleteSectionAndKey) {
    IniDocument doc("[A]\r\nx=1\r\n[B]\r\ny=2\r\n\r\n[C]\r\nz=3\r\n");
    EXPECT_FALSE(doc.DeleteSection("missing"));
    EXPECT_TRUE(doc.DeleteSection("b"));
    EXPECT_EQ(doc.Render(), "[A]\r\nx=1\r\n[C]\r\nz=3\r\n");
    EXPECT_TRUE(doc.DeleteKey("C", "Z"));
    EXPECT_FALSE(doc.DeleteKey("C", "Z"));
    EXPECT_EQ(doc.Render(), "[A]\r\nx=1\r\n[C]\r\n");
}

TEST(IniDocument, ReadLimits) {
    const std::string big(70000, 'v');
    IniDocument doc;
    doc.Set("S", "big", big);
    EXPECT_EQ(doc.Get("S", "big"), big.substr(0, 65534));

    const std::string longName(300, 'n');
    IniDocument names("[" + longName + "]\r\n[b]\r\n[a]\r\n");
    const auto list = names.SectionNames();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], longName.substr(0, 259));
    EXPECT_EQ(list[1], "b");
    EXPECT_EQ(list[2], "a");

    // The names list holds at most 65,535 bytes with a zero after each name and one more at the
    // end.
    std::string many;
    for (int i = 0; i < 300; ++i)
        many += "[" + std::string(250, 'a') + std::to_string(1000 + i) + "]\n";
    const auto cut = IniDocument(many).SectionNames();
    std::size_t bytes = 1;
    for (const auto& n : cut)
        bytes += n.size() + 1;
    EXPECT_LE(bytes, 65535u);
    EXPECT_EQ(cut.size(), 65534u / 255u);
}

TEST(IniDocument, LineBreaksInWrittenTextCannotPlantEntries) {
    IniDocument doc;
    doc.Set("A", "msg", "hello\r\n[B]\r\nevil=1");
    EXPECT_FALSE(doc.HasSection("B"));
    EXPECT_EQ(doc.Get("A", "msg"), "hello  [B]  evil=1");
}
