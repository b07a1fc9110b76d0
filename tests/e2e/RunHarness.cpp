#include "tests/e2e/RunHarness.h"
#include "platform/Text.h"
#include "resources/notify_resource.h"
#include "tools/mt4sim/SimProtocol.h"
#include <cstdlib>

namespace e2e {

const char* const kEightPairSymbols[kEightPairs] = {"EURUSD", "GBPUSD", "USDCHF", "USDJPY",
                                                    "AUDUSD", "NZDUSD", "USDCAD", "EURJPY"};
const char* const kEightPairQuotes[kEightPairs] = {
    "EURUSD 1.08512 1.08524", "GBPUSD 1.27034 1.27052", "USDCHF 0.88217 0.88234",
    "USDJPY 151.234 151.248", "AUDUSD 0.65843 0.65857", "NZDUSD 0.60127 0.60147",
    "USDCAD 1.36455 1.36475", "EURJPY 163.872 163.894"};

std::vector<NotifyPopup> NotifyPopups(DWORD processId) {
    std::vector<NotifyPopup> popups;
    for (HWND window : TopLevelWindows({"#32770", std::nullopt, processId})) {
        const HWND symbol = GetDlgItem(window, IDC_NOTIFY_SYMBOL);
        if (symbol)
            popups.push_back(
                {window, WindowText(symbol), WindowText(GetDlgItem(window, IDC_NOTIFY_PRICE))});
    }
    return popups;
}

std::vector<std::string> MessageBoxTexts(DWORD processId) {
    std::vector<std::string> texts;
    for (HWND window : TopLevelWindows({"#32770", std::nullopt, processId})) {
        std::string text = MessageBoxText(window);
        if (!text.empty())
            texts.push_back(std::move(text));
    }
    return texts;
}

long RefreshCount(const Simulator& simulator) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(simulator.Window(), kSimRowCountRequestsMessage, 0, 0,
                             SMTO_ABORTIFHUNG, 5000, &answer))
        return -1;
    return static_cast<long>(answer);
}

namespace {
std::string AlertCommon(const std::string& id, const std::string& symbol) {
    return "[" + id + "]\r\ncurrency=" + symbol +
           "\r\nenabled=1\r\nmode=1\r\nsoundfile=\r\nspeaklen=0\r\nspeakname=0\r\ntraymsg=\r\n"
           "alerttimes=-2\r\nautodelete=0\r\n";
}
} // namespace

std::string LevelAlert(const std::string& id, const std::string& symbol, bool above,
                       const std::string& level) {
    return AlertCommon(id, symbol) + "condition=" + (above ? "0" : "1") + "\r\nprice=" + level +
           "\r\n";
}

std::string StepAlert(const std::string& id, const std::string& symbol, int pips) {
    return AlertCommon(id, symbol) + "condition=2\r\ndiffpips=" + std::to_string(pips) +
           "\r\nstartcon=-1\r\nstartpips=\r\n";
}

long EnvironmentNumber(const char* name, long fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text)
        return fallback;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    return end && *end == '\0' ? value : fallback;
}

std::string RunBuiltTool(const std::string& name, const std::string& arguments) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return "";
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    const std::wstring program = Widen(BuiltProgramsFolder() + "\\" + name);
    std::wstring commandLine = L"\"" + program + L"\" " + Widen(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION started{};
    const bool ok = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                   CREATE_NO_WINDOW, nullptr, nullptr, &startup, &started);
    CloseHandle(writeEnd);
    std::string output;
    if (ok) {
        char buffer[512];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
            output.append(buffer, got);
        WaitForSingleObject(started.hProcess, 10000);
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    }
    CloseHandle(readEnd);
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r'))
        output.pop_back();
    return output;
}

double NowMs() {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER now{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

} // namespace e2e
