#include "platform/UrlRules.h"
#include <gtest/gtest.h>

TEST(ControlsUrlRules, WebAddressesAndTheRegisteredBrowserCommand) {
    EXPECT_TRUE(IsWebAddress("HTTPS://Example.com/Page"));
    EXPECT_TRUE(IsWebAddress("see http://x"));
    EXPECT_FALSE(IsWebAddress("C:\\Pip Warden\\file\\"));
    EXPECT_FALSE(IsWebAddress("ftp://x"));
    for (const char* page : {"http://x", " HTTPS://x/a?b", "about:blank", "ht\ttp://x"})
        EXPECT_TRUE(BrowserMayOpen(page)) << page;
    for (const char* other : {"javascript:alert(1)", "java\tscript:x", "file:///c:/x", "ftp://x",
                              "about:config", "res://x", "x http://y", "mailto:a@b.c", ""})
        EXPECT_FALSE(BrowserMayOpen(other)) << other;

    const std::string quoted = "\"C:\\Program Files\\Web\\web.exe\" -osint -url \"%1\"";
    EXPECT_EQ(CommandProgram(quoted), "C:\\Program Files\\Web\\web.exe");
    EXPECT_EQ(BrowserCommandLine(quoted, "http://a b"),
              "\"C:\\Program Files\\Web\\web.exe\" -osint -url    http://a b");
    EXPECT_EQ(CommandProgram("C:\\web.exe %1"), "C:\\web.exe");
    EXPECT_EQ(BrowserCommandLine("C:\\web.exe %1 -new", "http://a"), "C:\\web.exe    http://a");
    EXPECT_EQ(BrowserCommandLine("", "http://a"), "   http://a");
}

TEST(ControlsUrlRules, FailureTextsKeepTheirBlanks) {
    EXPECT_EQ(HyperlinkFailureText(26),
              "Unable   to   open   hyperlink:\n\nA   sharing   violation   occurred.   ");
    EXPECT_EQ(HyperlinkFailureText(4),
              "Unable   to   open   hyperlink:\n\nUnknown   Error   (4)   occurred.");
    EXPECT_NE(HyperlinkFailureText(2).find("file   was   not   found."), std::string::npos);
}
