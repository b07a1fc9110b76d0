#include "settings/LangColumns.h"
#include <cstddef>
#include <cstdint>

// The message table is enciphered at compile time, so the program file holds none of its
// texts in the clear; an entry is deciphered each time it is looked up.
namespace {
using MessageTexts = std::array<std::string_view, kMessageEntries>;

// "\\n" in a text is a line break (expanded at lookup). Entries not set stay empty.
consteval MessageTexts EnglishMessages() {
    MessageTexts m{};
    m[0] = "Pip Warden";
    m[14] = "The MetaTrader terminal is not running.\\nDo you want to start it now?";
    m[16] = "Can't find the Market Watch list of the MetaTrader terminal.\\n"
            "Please open the Market Watch window in the terminal (Ctrl+M).";
    m[17] = "Can't read the symbols of the Market Watch list.\\n"
            "Please make sure the list shows the symbols you watch, "
            "or restart the MetaTrader terminal.";
    m[18] = "The MetaTrader terminal has been closed.\\n"
            "Pip Warden closes now. Start it again after the terminal to watch prices.";
    m[20] = "Can't download the quote page (status %d).\\n"
            "Please check your Internet connection.";
    m[26] = "Switch to the MetaTrader terminal titled \"%s\"?";
    m[27] = "Only web pages (addresses beginning with http:// or https://) can be shown and "
            "watched.";
    m[28] = "The page could not be loaded: %s";
    m[29] = "Pip Warden cannot write to its folder:\\n%s\\n\\n"
            "Settings and alerts cannot be kept there; changes are lost when the program "
            "ends. Install Pip Warden in a folder you can write to, for instance the "
            "installer's default folder.";
    return m;
}

consteval MessageTexts ChineseMessages() {
    MessageTexts m{};
    m[0] = "Pip Warden";
    m[14] = "MetaTrader 终端没有运行。\\n是否立即启动？";
    m[16] = "找不到 MetaTrader 终端的“市场报价”列表。\\n"
            "请在终端中打开“市场报价”窗口（Ctrl+M）。";
    m[17] = "无法读取“市场报价”列表中的交易品种。\\n"
            "请确认列表中显示了您要查看的品种，或重新启动 MetaTrader 终端。";
    m[18] = "MetaTrader 终端已关闭。\\n"
            "Pip Warden 现在退出。请先启动终端，再启动本程序以继续监视报价。";
    m[20] = "无法下载报价页面（状态 %d）。\\n"
            "请检查您的网络连接。";
    m[26] = "是否切换到标题为“%s”的 MetaTrader 终端？";
    m[27] = "只能显示和监视网页（以 http:// 或 https:// 开头的地址）。";
    m[28] = "无法载入此页面：%s";
    m[29] = "Pip Warden 无法写入它所在的文件夹：\\n%s\\n\\n"
            "设置和警报无法保存在那里，程序退出后所做的更改都会丢失。"
            "请把 Pip Warden 安装到您有写入权限的文件夹，例如安装程序默认的文件夹。";
    return m;
}

consteval MessageTexts ThirdLanguageMessages() {
    return MessageTexts{};
}

// Each entry has its own keystream, so equal texts do not look alike when stored.
constexpr std::uint32_t kCipherKey = 0x6D2B79F5u;

constexpr std::uint32_t EntrySeed(int language, int n) {
    const auto slot = static_cast<std::uint32_t>(language * kMessageEntries + n) + 1u;
    const std::uint32_t seed = kCipherKey ^ (slot * 0x9E3779B1u);
    return seed != 0 ? seed : kCipherKey; // xorshift stays at zero forever
}

constexpr unsigned char NextKeyByte(std::uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<unsigned char>(state >> 24);
}

consteval std::size_t TotalSize(const MessageTexts& texts) {
    std::size_t size = 0;
    for (const auto text : texts)
        size += text.size();
    return size;
}

template <std::size_t Size> struct SealedColumn {
    std::array<unsigned char, Size> bytes{};
    std::array<std::uint16_t, kMessageEntries + 1> offsets{}; // entry n is [offsets[n], [n+1])
};

template <std::size_t Size>
consteval SealedColumn<Size> Seal(int language, const MessageTexts& texts) {
    static_assert(Size <= 0xFFFF, "offsets are 16 bits");
    SealedColumn<Size> column;
    std::size_t at = 0;
    for (int n = 0; n < kMessageEntries; ++n) {
        column.offsets[n] = static_cast<std::uint16_t>(at);
        std::uint32_t state = EntrySeed(language, n);
        for (const char c : texts[n])
            column.bytes[at++] =
                static_cast<unsigned char>(static_cast<unsigned char>(c) ^ NextKeyByte(state));
    }
    column.offsets[kMessageEntries] = static_cast<std::uint16_t>(at);
    return column;
}

constexpr auto kEnglishSealed = Seal<TotalSize(EnglishMessages())>(kLangEnglish, EnglishMessages());
constexpr auto kChineseSealed = Seal<TotalSize(ChineseMessages())>(kLangChinese, ChineseMessages());
constexpr auto kThirdSealed =
    Seal<TotalSize(ThirdLanguageMessages())>(kLangThird, ThirdLanguageMessages());

struct SealedView {
    const unsigned char* bytes;
    const std::uint16_t* offsets;
};

template <std::size_t Size> constexpr SealedView ViewOf(const SealedColumn<Size>& column) {
    return {column.bytes.data(), column.offsets.data()};
}

const SealedView kSealed[kUiLanguageCount] = {ViewOf(kEnglishSealed), ViewOf(kChineseSealed),
                                              ViewOf(kThirdSealed)};

bool InTable(int language, int n) {
    return language >= 0 && language < kUiLanguageCount && n >= 0 && n < kMessageEntries;
}
} // namespace

std::string_view SealedMessage(int language, int n) {
    if (!InTable(language, n))
        return {};
    const SealedView& column = kSealed[language];
    const std::uint16_t begin = column.offsets[n];
    return {reinterpret_cast<const char*>(column.bytes) + begin,
            static_cast<std::size_t>(column.offsets[n + 1] - begin)};
}

std::string UnsealMessage(int language, int n) {
    const std::string_view sealed = SealedMessage(language, n);
    std::string text(sealed.size(), '\0');
    std::uint32_t state = EntrySeed(language, n);
    for (std::size_t i = 0; i < sealed.size(); ++i)
        text[i] = static_cast<char>(static_cast<unsigned char>(sealed[i]) ^ NextKeyByte(state));
    return text;
}
