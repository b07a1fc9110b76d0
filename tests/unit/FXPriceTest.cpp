#include "quotes/FXPrice.h"
#include <chrono>
#include <gtest/gtest.h>

namespace {
using List = std::vector<std::string>;

struct Row {
    std::string code;
    std::string price;
};

// A quote page as the service serves it: one table row per symbol.
std::string PageOf(const std::vector<Row>& rows) {
    std::string page = "<html><body><table>\n";
    for (const Row& row : rows) {
        page += "<tr><td><a href=\"embedquote.aspx?code=" + row.code + "\">" + row.code +
                kPriceKeyTail + row.price + "</span></td></tr>\n";
    }
    return page + "</table></body></html>\n";
}

class FXPriceTest : public ::testing::Test {
protected:
    FXPriceTest()
        : page1(std::make_shared<SharedText>()), page2(std::make_shared<SharedText>()),
          parser(page1, page2) {}

    List Symbols(bool expected = true) {
        std::vector<std::string> symbols;
        EXPECT_EQ(expected, parser.GetSymbols(symbols));
        return symbols;
    }

    std::shared_ptr<SharedText> page1;
    std::shared_ptr<SharedText> page2;
    CFXPrice parser;
};

TEST_F(FXPriceTest, SymbolsComePage1FirstAndOnceEach) {
    page1->Set(PageOf({{"EURUSD", "1.08512"}, {"GBPUSD", "1.27034"}}));
    page2->Set(PageOf({{"GBPUSD", "1.27035"}, {"USDJPY", "151.234"}, {"EURUSD", "1.0851"}}));
    EXPECT_EQ((List{"EURUSD", "GBPUSD", "USDJPY"}), Symbols());
    EXPECT_EQ(0, parser.Status());
    EXPECT_TRUE(parser.SymbolListTried());
    EXPECT_EQ(2, parser.FindRow("usdjpy"));
    EXPECT_EQ(-1, parser.FindRow(""));
    EXPECT_EQ(-1, parser.FindRow("AUDUSD"));
}

TEST_F(FXPriceTest, ListIsKeptOnceBothPagesGaveSymbols) {
    page1->Set(PageOf({{"EURUSD", "1.08512"}}));
    page2->Set(PageOf({{"USDJPY", "151.234"}}));
    Symbols();
    page1->Set(PageOf({{"AUDUSD", "0.65843"}}));
    List listed{"GBPUSD"};
    EXPECT_TRUE(parser.GetSymbols(listed));
    EXPECT_EQ((List{"GBPUSD", "EURUSD", "USDJPY"}), listed); // appended to what was there
}

TEST_F(FXPriceTest, PageWithOnlyCodesOfPage1StillGivesSymbols) {
    page1->Set(PageOf({{"EURUSD", "1.08512"}, {"GBPUSD", "1.27034"}}));
    page2->Set(PageOf({{"GBPUSD", "1.27035"}}));
    EXPECT_EQ((List{"EURUSD", "GBPUSD"}), Symbols());
}

TEST_F(FXPriceTest, TooShortAListIsRefusedAtEveryLook) {
    page1->Set(PageOf({{"GOLD", "1680.5"}}));
    page2->Set(PageOf({{"GOLD", "1680.6"}}));
    for (int look = 0; look < 2; ++look) {
        EXPECT_EQ((List{"GOLD", "Error"}), Symbols(false)) << look;
        EXPECT_EQ(kNoPriceDataStatus, parser.Status());
    }
}

// Duplicates are found by a lookup, not by a search of the list so far: a page of many codes
// is read in a moment, with the same list in the same order.
TEST_F(FXPriceTest, ManyCodesAreReadInLinearTime) {
    std::string page = "<html>";
    List expected;
    for (int i = 0; i < 100000; ++i) {
        const std::string code = std::to_string(1000000 + i).substr(1);
        page += "<a href=\"embedquote.aspx?code=" + code + "\">";
        expected.push_back(code);
        if (i % 3 == 0)
            page += "<a href=\"embedquote.aspx?code=" + expected[i / 2] + "\">";
    }
    page1->Set(page);
    page2->Set(PageOf({{"000000", "1"}, {"EURUSD", "1.0851"}}));
    expected.push_back("EURUSD");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(expected, Symbols());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST_F(FXPriceTest, CodesAreCutAtAQuoteOrAnAmpersand) {
    page1->Set("<p>embedquote.aspx?code=GOLD\">x embedquote.aspx?code=USDX&amp;t=1 "
               "embedquote.aspx?code=EURUSDmicro embedquote.aspx?code=\"empty");
    page2->Set(PageOf({{"AB&CDE", "1"}}));
    EXPECT_EQ((List{"GOLD", "USDX", "EURUSD", "AB"}), Symbols());
}

TEST_F(FXPriceTest, MarkerAtTheVeryStartOfAPageDoesNotCount) {
    page1->Set("embedquote.aspx?code=EURUSD\" embedquote.aspx?code=GBPUSD\"");
    page2->Set(PageOf({{"USDJPY", "151.234"}}));
    EXPECT_EQ((List{"GBPUSD", "USDJPY"}), Symbols());
}

TEST_F(FXPriceTest, MissingPageIsNotYetAFailure) {
    page1->Set(PageOf({{"EURUSD", "1.08512"}}));
    EXPECT_EQ((List{"EURUSD"}), Symbols(false));
    EXPECT_EQ(0, parser.Status());
    EXPECT_FALSE(parser.SymbolListTried());
}

TEST_F(FXPriceTest, PagesWithoutSymbolsGiveErrorWith58ForANotFoundPage) {
    page1->Set("<html><h1>HTTP Error 404 - File or directory not found.</h1></html>");
    page2->Set("<html>maintenance</html>");
    EXPECT_EQ((List{"Error"}), Symbols(false));
    EXPECT_EQ(kPageChangedStatus, parser.Status());
    EXPECT_TRUE(parser.SymbolListTried());

    page1->Set("<html>Service unavailable, code 404</html>"); // no "HTTP "
    EXPECT_EQ((List{"Error"}), Symbols(false));
    EXPECT_EQ(kNoPriceDataStatus, parser.Status());

    page1->Set("HTTP 404");
    Symbols(false);
    EXPECT_EQ(kNoPriceDataStatus, parser.Status()); // "HTTP " only at the very start
}

TEST_F(FXPriceTest, PriceComesFromPage1ThenPage2AndIsFormatted) {
    page1->Set(PageOf({{"EURUSD", "1.08512"}, {"USDJPY", ""}}));
    page2->Set(PageOf({{"EURUSD", "9.9999"}, {"USDJPY", "151.234"}, {"XAUUSD", "2034.18"}}));
    EXPECT_EQ("1.0851", parser.GetPrice("EURUSD"));
    EXPECT_EQ("1.0851", parser.GetPrice("eurusd"));
    EXPECT_EQ("151.23", parser.GetPrice("USDJPY")); // empty on page 1
    EXPECT_EQ("2034.1", parser.GetPrice("XAUUSD"));
    EXPECT_EQ(0, parser.Status());
    EXPECT_TRUE(parser.PricesReceived());
}

TEST_F(FXPriceTest, CellOfMoreThanTenCharactersIsAnError) {
    page1->Set(PageOf({{"EURUSD", "1.08512345"}, {"GBPUSD", "1.08512345X"}}));
    EXPECT_EQ("1.0851", parser.GetPrice("EURUSD")); // ten characters
    EXPECT_EQ("Error", parser.GetPrice("GBPUSD"));
}

TEST_F(FXPriceTest, UnknownSymbolWaitsWhilePage1IsEmptyAndFailsOnceItHasContent) {
    EXPECT_EQ("...", parser.GetPrice("EURUSD"));
    EXPECT_EQ("..", parser.GetPrice("GOLD"));
    EXPECT_EQ(0, parser.Status());
    EXPECT_FALSE(parser.PricesReceived());

    page1->Set(PageOf({{"EURUSD", "1.08512"}}));
    EXPECT_EQ("Error", parser.GetPrice("AUDUSD"));
    EXPECT_EQ(kNoPriceDataStatus, parser.Status());

    page1->Set("<title>HTTP Error 404</title>");
    EXPECT_EQ("Error", parser.GetPrice("EURUSD"));
    EXPECT_EQ(kPageChangedStatus, parser.Status());
}

TEST_F(FXPriceTest, KeyWithoutAClosingTagGivesNoPrice) {
    page1->Set("<x>" + std::string("EURUSD") + kPriceKeyTail + "1.0851");
    EXPECT_EQ("Error", parser.GetPrice("EURUSD"));
}
} // namespace
