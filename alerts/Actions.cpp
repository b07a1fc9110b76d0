#include "alerts/Actions.h"
#include "alerts/KindTexts.h"
#include "delivery/DeliverySettings.h"
#include "platform/FileSystem.h"
#include "platform/Sound.h"
#include "platform/Text.h"
#include "settings/AppConfig.h"
#include "settings/Config.h"
#include "settings/DateTime.h"
#include "settings/Log.h"
#include "settings/OptionKeys.h"
#include "settings/TextIds.h"
#include "settings/LangTable.h"

namespace {
// Entries of the UI text table.

constexpr const char* kMessageIndent = "       "; // seven blanks
constexpr const char* kClipExtension = ".MTQ";
constexpr const char* kWholeNamePrefix = "ESW";
constexpr const char* kPointCode = "EPSOWT";
constexpr const char* kUnknownCode = "NULL";
constexpr const char* kDigitCodes[] = {"ZER", "ONE", "TWO", "THR", "FOU",
                                       "FIV", "SIX", "SEV", "EIG", "NIN"};
constexpr std::size_t kNamePart = 3;
constexpr std::size_t kLongName = 6;

// Names are cut by character, so a file name never ends in half a character.
std::string ClipOf(const std::vector<std::string>& code) {
    std::string name = "E";
    const char* separators[] = {"S", "W", ""};
    for (std::size_t i = 0; i < kNamePart; ++i)
        name += (i < code.size() ? code[i] : std::string()) + separators[i];
    return name + kClipExtension;
}

std::string CharacterCode(const std::string& character) {
    if (character == ".")
        return kPointCode;
    if (character.size() == 1 && character[0] >= '0' && character[0] <= '9')
        return kDigitCodes[character[0] - '0'];
    return kUnknownCode;
}

// The clips of a name: the whole-name clip, else the clips of its first and last three
// characters when both exist; nothing when neither way has its clips.
std::vector<std::string> NameClips(const std::string& name, const std::string& folder) {
    const std::string whole =
        folder + kWholeNamePrefix + FirstCharacters(name, kNamePart) + kClipExtension;
    if (FileExists(whole))
        return {whole};
    const std::string first = folder + ClipOf(Utf8Characters(FirstCharacters(name, kNamePart)));
    const std::string last = folder + ClipOf(Utf8Characters(LastCharacters(name, kNamePart)));
    if (FileExists(first) && FileExists(last))
        return {first, last};
    return {};
}

std::string WithoutSeparators(const std::string& symbol) {
    std::string name;
    for (char c : symbol)
        if (c != '.' && c != '_')
            name += c;
    return name;
}

void SendEmail(const FiredAlert& alert, const NotifyServices& services) {
    const std::string recipient = Config().Get(optkey::kNotifyEmail);
    if (recipient.empty())
        return;
    if (LoadMailRoute() == MailRoute::OwnServer) {
        if (services.sendMail)
            services.sendMail(NoticeOf(alert));
        return;
    }
    if (!services.sendEmail)
        return;
    const CAppConfig& app = AppConfig();
    services.sendEmail(EmailRequestUrl(app.serviceAddress, app.emailServicePath, alert.symbol,
                                       alert.price, recipient, app.languageIndex,
                                       services.screenWidth, services.screenHeight, NowText()));
}

std::string ServicePathOnly(const std::string& path) {
    // The path constant carries a query template of its own that this request does not
    // use; a second "?" would spoil every field after it.
    return path.substr(0, path.find('?'));
}
} // namespace

std::string ConditionText(const FiredAlert& alert) {
    switch (alert.kind) {
    case kPriceAbove:
    case kPriceBelow:
        return GetText(kTextPrice) + (alert.kind == kPriceAbove ? ">" : "<") + alert.level;
    case kEveryPips:
    case kEveryMinutes: {
        std::string text =
            GetText(kTextEvery) + " " +
            (alert.kind == kEveryPips ? alert.diffpips + " " + GetText(kTextPips)
                                      : alert.intervalmins + " " + GetText(kTextMinute));
        if (!alert.startpips.empty())
            text += (alert.startcon == "0" ? ",>" : ",<") + alert.startpips;
        return text;
    }
    case kTimeOfDay:
        return (alert.date.empty() ? GetText(kTextLocalTime) + " = " : alert.date + " ") +
               (alert.hour == kAnyHour ? GetText(kTextAny) : alert.hour) + ":" + alert.minute;
    default:
        return KindConditionText(alert.kind, alert.extras);
    }
}

std::string NotifyMessage(const FiredAlert& alert) {
    if (!alert.traymsg.empty())
        return MessageLines(alert.traymsg);
    return std::string(kMessageIndent) + GetText(kTextConditions) + ":  \"" + ConditionText(alert) +
           "\"";
}

std::string ClipFileName(const std::string& code) {
    return ClipOf(Utf8Characters(code));
}

std::vector<std::string> SpeechClips(const std::string& symbol, const std::string& price,
                                     long long digitCount, const std::string& speakName,
                                     const std::string& voiceFolder) {
    std::vector<std::string> clips;
    if (speakName == "1") {
        const std::string name = WithoutSeparators(symbol);
        clips = NameClips(name, voiceFolder);
        if (clips.empty() && Utf8Characters(name).size() > kLongName) {
            clips = NameClips(FirstCharacters(name, kLongName), voiceFolder);
            if (clips.empty())
                clips = NameClips(LastCharacters(name, kLongName), voiceFolder);
        }
    }
    const std::string spoken =
        digitCount > 0 ? LastCharacters(price, static_cast<std::size_t>(digitCount)) : price;
    for (const std::string& character : Utf8Characters(spoken))
        clips.push_back(voiceFolder + ClipFileName(CharacterCode(character).substr(0, kNamePart)));
    return clips;
}

void Speak(const std::string& symbol, const std::string& price, long long digitCount,
           const std::string& speakName, const std::function<void()>& pumpMessages) {
    for (const std::string& clip :
         SpeechClips(symbol, price, digitCount, speakName, GetLanguageFolder())) {
        CurrentSound().PlaySync(clip);
        if (pumpMessages)
            pumpMessages();
    }
}

void ShowNotify(const FiredAlert& alert, const NotifyServices& services) {
    if ((alert.mode & kActionPopup) && services.openPopup)
        services.openPopup(alert.symbol, alert.price, NotifyMessage(alert));
    if (alert.mode & kActionVoice)
        Speak(alert.symbol, alert.price, LeadingInteger(alert.speaklen), alert.speakname,
              services.pumpMessages);
    if (alert.mode & kActionSound)
        CurrentSound().PlayAsync(alert.soundfile);
    if (alert.mode & kActionEmail)
        SendEmail(alert, services);
    if ((alert.mode & kActionPhone) && services.sendPhone)
        services.sendPhone(NoticeOf(alert));
}

AlertNotice NoticeOf(const FiredAlert& alert) {
    const std::string condition = ConditionText(alert);
    return {alert.symbol, alert.price, condition,
            alert.traymsg.empty() ? condition : MessageLines(alert.traymsg), NowText()};
}

std::string EmailRequestUrl(const std::string& serviceAddress, const std::string& servicePath,
                            const std::string& symbol, const std::string& price,
                            const std::string& recipient, int languageIndex, int screenWidth,
                            int screenHeight, const std::string& timeText) {
    return WithHttpScheme(serviceAddress) + ServicePathOnly(servicePath) +
           "?c=" + PercentEncode(symbol) + "&p=" + PercentEncode(price) +
           "&r=" + PercentEncode(recipient) + (languageIndex == kLangChinese ? "&l=1" : "&l=0") +
           "&w=" + std::to_string(screenWidth) + "&h=" + std::to_string(screenHeight) +
           "&t=" + PercentEncode(timeText);
}

std::string EmailLogLine(long long result, const std::string& answer) {
    const std::string cut = FirstCharacters(answer, kEmailAnswerLogLimit);
    if (result > 0)
        return "EMAIL:ERR:" + std::to_string(result) + ";" + cut;
    return "EMAIL:" + cut;
}

void LogEmailCompletion(long long result, const std::string& answer) {
    WriteLog(EmailLogLine(result, answer));
}
