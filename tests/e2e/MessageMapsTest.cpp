#include <windows.h>

#include "alerts/DlgNotify.h"
#include "app/DlgQuote.h"
#include <gtest/gtest.h>

// Two entries on one key would leave the second handler dead without a word.
TEST(MessageMaps, NoWindowClaimsAMessageTwice) {
    EXPECT_FALSE(CDlgQuote::messages.HasDuplicates());
    EXPECT_FALSE(CDlgNotify::messages.HasDuplicates());
    EXPECT_GT(CDlgQuote::messages.Entries().size(), 20u);
}
