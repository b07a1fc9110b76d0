#include "tests/e2e/SimHarness.h"
#include "platform/Text.h"
#include "settings/AppConfig.h"
#include "settings/Config.h"
#include "tools/mt4sim/SimClient_win.h"
#include <gtest/gtest.h>

namespace e2e {
namespace {
constexpr Milliseconds kQuitTimeout = 5s;

// Installed before the first test, so the settings path the reader caches on first use is
// the temporary one.
class TestSettings final : public ::testing::Environment {
public:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        const std::wstring wide =
            std::wstring(temp) + L"pw e2e settings " + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(wide.c_str(), nullptr);
        folder = Narrow(wide);
        // As the process's own constants but for the folder, so the language stays the same.
        AppEnvironment environment = SystemEnvironment();
        environment.programPath = folder + "\\Pipwarden.exe";
        config = std::make_unique<CAppConfig>(environment);
        SetAppConfig(config.get());
    }
    void TearDown() override {
        const std::wstring wide = Widen(folder);
        DeleteFileW(Widen(Config().GetPath()).c_str());
        RemoveDirectoryW(wide.c_str());
        SetAppConfig(nullptr); // the constants go with this object
    }
    std::string folder;

private:
    std::unique_ptr<CAppConfig> config;
};

TestSettings* const testSettings =
    static_cast<TestSettings*>(::testing::AddGlobalTestEnvironment(new TestSettings));
} // namespace

std::string SimulatorProgram() {
    return BuiltProgramsFolder() + "\\mt4sim.exe";
}

std::unique_ptr<Simulator> Simulator::Start(const std::string& switches) {
    const std::string program = SimulatorProgram();
    Process process = Process::Start(program, "\"" + program + "\" " + switches);
    if (!process)
        return nullptr;
    const HWND window = WaitForWindow({kSimTerminalClass, std::nullopt, process.Id()});
    if (!window) {
        ADD_FAILURE() << "the simulator (" << switches << ") showed no main window";
        return nullptr;
    }
    return std::unique_ptr<Simulator>(new Simulator(std::move(process), window));
}

bool Simulator::Send(SimCommand command, const std::string& payload) const {
    return SendSimCommand(window, command, payload);
}

bool Simulator::Quit() {
    return Send(SimCommand::Quit) && process.WaitForExit(kQuitTimeout);
}

std::string TestSettingsFolder() {
    return testSettings->folder;
}

void SetSetting(const std::string& key, const std::string& value) {
    Config().Set(key, value);
}

HWND WaitForOwnedWindow(DWORD processId, const std::string& title, Milliseconds timeout) {
    return WaitForWindow({"", title, processId}, timeout);
}

} // namespace e2e
