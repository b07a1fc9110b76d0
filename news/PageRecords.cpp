#include "news/PageRecords.h"
#include "news/NewsKeys.h"
#include "news/ReloadTimer.h"
#include "platform/Text.h"
#include "settings/Config.h"
#include <algorithm>
#include "settings/LangTable.h"

namespace {
constexpr int kSecondsPerMinute = 60;
constexpr int kDefaultPageCount = 3;
constexpr const char* kDefaultInterval = "10";

struct DefaultPage {
    const char* englishName;
    const char* chineseName;
    const char* englishPath;
    const char* chinesePath;
    const char* notify;
};
constexpr DefaultPage kDefaultPages[kDefaultPageCount] = {
    {"Forex Calendar", "财经日历", "/func/news.aspx?i=1", "/soft/news.aspx?i=2&t=zh", "1"},
    {"Forex News", "即时市况", "/func/news.aspx?i=2", "/soft/news.aspx?i=1&t=zh", "1"},
    {"Other", "其它资讯", "/func/news.aspx?i=0", "/soft/news.aspx?i=0&t=zh", "0"},
};

// The third UI language shows the Chinese texts, so its pages are the Chinese ones too.
bool UsesChinesePages(int language) {
    return language == kLangChinese || language == kLangThird;
}

// Minutes beyond a week are taken as a week, so minutes x 60 never overflows.
int CappedMinutes(long long minutes) {
    return static_cast<int>(std::min<long long>(minutes, kLongestCheckSeconds / kSecondsPerMinute));
}

const char* const kMovedKeys[] = {newskey::kName, newskey::kUrl, newskey::kNotify,
                                  newskey::kInterval, newskey::kWindowHandle};
} // namespace

std::string PageSection(int index) {
    return newskey::kPagesSection + std::to_string(index);
}

std::vector<PageRecord> DefaultPageRecords(int language, const std::string& serviceAddress) {
    std::string base = WithHttpScheme(serviceAddress);
    while (!base.empty() && base.back() == '/')
        base.pop_back(); // the paths bring their own
    const bool chinese = UsesChinesePages(language);
    std::vector<PageRecord> records;
    for (const DefaultPage& page : kDefaultPages) {
        records.push_back({chinese ? page.chineseName : page.englishName,
                           base + (chinese ? page.chinesePath : page.englishPath), page.notify,
                           kDefaultInterval});
    }
    return records;
}

void WriteDefaultPages(CConfig& config, int language, const std::string& serviceAddress) {
    if (!config.Get(newskey::kPagesSection, newskey::kPageCount).empty())
        return;
    const std::vector<PageRecord> records = DefaultPageRecords(language, serviceAddress);
    for (std::size_t i = 0; i < records.size(); ++i)
        WritePageRecord(config, static_cast<int>(i), records[i], kDefaultIntervalMinutes);
    config.SetInt(newskey::kPagesSection, newskey::kPageCount, static_cast<int>(records.size()));
}

int PageCount(CConfig& config) {
    const int count = LeadingInteger<int>(config.Get(newskey::kPagesSection, newskey::kPageCount));
    return std::clamp(count, 0, kMaxPages);
}

PageRecord ReadPageRecord(CConfig& config, int index) {
    const std::string section = PageSection(index);
    return {config.Get(section, newskey::kName), config.Get(section, newskey::kUrl),
            config.Get(section, newskey::kNotify), config.Get(section, newskey::kInterval)};
}

void WritePageRecord(CConfig& config, int index, const PageRecord& record, int intervalMinutes) {
    const std::string section = PageSection(index);
    config.Set(section, newskey::kName, record.name);
    config.Set(section, newskey::kUrl, record.url);
    config.Set(section, newskey::kNotify, record.notify);
    config.SetInt(section, newskey::kInterval, intervalMinutes);
}

void RemovePageRecord(CConfig& config, int index, int count) {
    if (index < 0 || index >= count)
        return;
    for (int k = index; k + 1 < count; ++k) {
        const std::string from = PageSection(k + 1);
        const std::string to = PageSection(k);
        for (const char* key : kMovedKeys)
            config.Set(to, key, config.Get(from, key));
    }
    config.SetInt(newskey::kPagesSection, newskey::kPageCount, count - 1);
}

int DropEmptyPageRecords(CConfig& config) {
    const int stored = PageCount(config);
    int count = stored;
    while (count > 0 && ReadPageRecord(config, count - 1).url.empty())
        --count;
    if (count != stored)
        config.SetInt(newskey::kPagesSection, newskey::kPageCount, count);
    for (int index = count - 1; index >= 0; --index)
        if (ReadPageRecord(config, index).url.empty())
            RemovePageRecord(config, index, count--);
    return count;
}

std::string PageCaption(const std::string& name) {
    return name.empty() ? kUnnamedPage : name;
}

std::string RefreshingCaption(const std::string& name, const std::string& refreshing) {
    return name + "(" + refreshing + ")";
}

std::optional<int> RecordCheckSeconds(const std::string& notify, const std::string& interval) {
    if (notify != kWatchedText)
        return std::nullopt;
    const long long minutes = LeadingInteger<long long>(interval);
    return minutes > 0 ? CappedMinutes(minutes) * kSecondsPerMinute : 0;
}

int CheckSecondsForMinutes(int minutes) {
    return minutes > 0 ? CappedMinutes(minutes) * kSecondsPerMinute : 0;
}

PageWatchChoice WatchChoice(bool checked, const std::string& intervalText) {
    if (!checked)
        return {kUnwatchedText, 0};
    const int minutes = LeadingInteger<int>(intervalText);
    return {kWatchedText, minutes < 1 ? kDefaultIntervalMinutes : minutes};
}

std::string IntervalEditText(const std::string& storedInterval) {
    return storedInterval.empty() ? kDefaultInterval : storedInterval;
}
