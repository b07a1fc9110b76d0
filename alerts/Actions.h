#pragma once
#include "alerts/Evaluation.h"
#include "delivery/Delivery.h"
#include <functional>
#include <string>
#include <vector>

// What the actions reach outside the portable code: the popup window, the message pump
// between voice clips, the screen size and the HTTP request object.
struct NotifyServices {
    std::function<void(const std::string& symbol, const std::string& price,
                       const std::string& message)>
        openPopup;
    std::function<void()> pumpMessages;
    std::function<void(const std::string& url)> sendEmail; // request number 1
    // Through the user's own mail server and to the phone; both return at once.
    std::function<void(const AlertNotice& notice)> sendMail;
    std::function<void(const AlertNotice& notice)> sendPhone;
    int screenWidth = 0;
    int screenHeight = 0;
};

// Popup, voice, sound, e-mail and phone, in this order, as the alert's mode asks.
void ShowNotify(const FiredAlert& alert, const NotifyServices& services);
// What the mail and the phone say of a fired alert.
AlertNotice NoticeOf(const FiredAlert& alert);

// The popup's message: the alert's own text with its line breaks, or the condition in words.
std::string NotifyMessage(const FiredAlert& alert);
std::string ConditionText(const FiredAlert& alert);

// Clip file name of a three-letter code: "E" c1 "S" c2 "W" c3 ".MTQ".
std::string ClipFileName(const std::string& code);
// The clip files that speak a price (and the pair's name first when speakName is "1"),
// in playing order, as full paths in the voice folder. Name clips are chosen by what
// exists; price characters always have their clip listed.
std::vector<std::string> SpeechClips(const std::string& symbol, const std::string& price,
                                     long long digitCount, const std::string& speakName,
                                     const std::string& voiceFolder);
// Plays the clips one after the other, pumping messages after each.
void Speak(const std::string& symbol, const std::string& price, long long digitCount,
           const std::string& speakName, const std::function<void()>& pumpMessages);

// The service path with any query template cut off, then the seven fields.
std::string EmailRequestUrl(const std::string& serviceAddress, const std::string& servicePath,
                            const std::string& symbol, const std::string& price,
                            const std::string& recipient, int languageIndex, int screenWidth,
                            int screenHeight, const std::string& timeText);

inline constexpr int kEmailRequestNumber = 1;
inline constexpr std::size_t kEmailAnswerLogLimit = 400;
// The diagnostic line for a finished e-mail request; written by LogEmailCompletion.
std::string EmailLogLine(long long result, const std::string& answer);
void LogEmailCompletion(long long result, const std::string& answer);
