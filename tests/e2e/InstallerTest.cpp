// The installer a user downloads, run silently into a temporary folder: what it lays out and
// registers, an upgrade over a running copy, and what its uninstaller leaves behind.
// scripts/test.sh builds it and names it in PIPWARDEN_INSTALLER; without that it is skipped.
#include "door/AppMessages.h"
#include "platform/Text.h"
#include "settings/Log.h"
#include "settings/SysPaths.h"
#include "settings/TextIds.h"
#include "tests/e2e/PriceBarHarness.h"
#include "tests/e2e/SimHarness.h"
#include "version.h"
#include <algorithm>
#include <gtest/gtest.h>
#include <shlobj.h>
#include "settings/LangTable.h"

using namespace e2e;

namespace {
constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PipWarden";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValue[] = L"Tickmon";
constexpr wchar_t kWineOverrides[] = L"Software\\Wine\\DllOverrides";
constexpr wchar_t kMenuBuilder[] = L"winemenubuilder.exe";
constexpr Milliseconds kSetupTimeout = 30s;
constexpr Milliseconds kOneTick = kMainTick + kTickSlack;

// Alerts as an older version may have left them: GBK bytes, CR LF, no final line end.
const std::string kPreparedAlerts = "[1]\r\nSymbol=EURUSD\r\nNote=\xbe\xaf\xb1\xa8\r\nPrice=1.2";

const char* const kInstalledFiles[] = {"Pip Warden.exe", "file\\Pipwarden.exe", "License.txt",
                                       "ReadMe.txt", "Uninstall.exe"};

std::string EnvironmentValue(const wchar_t* name) {
    std::wstring value(GetEnvironmentVariableW(name, nullptr, 0), L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
    return Narrow(value);
}

std::optional<std::string> RegistryText(const wchar_t* key, const wchar_t* name) {
    wchar_t value[512];
    DWORD bytes = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, value, &bytes) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return Narrow(value);
}

bool SetRegistryText(const wchar_t* key, const wchar_t* name, const std::string& text) {
    const std::wstring value = Widen(text);
    return RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

std::optional<DWORD> RegistryNumber(const wchar_t* key, const wchar_t* name) {
    DWORD value = 0;
    DWORD bytes = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &value, &bytes) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

std::string StartMenuShortcut() {
    wchar_t folder[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return "";
    return Narrow(folder) + "\\Pip Warden.lnk";
}

std::vector<std::string> FileNames(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(Widen(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(Narrow(found.cFileName));
    while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

bool NoneRunning(const std::string& program) {
    return WaitUntil([&] { return ProcessesOf(program).empty(); }, kStartTimeout);
}

class InstallerTest : public ::testing::Test {
protected:
    // Wine copies every Start-menu shortcut into the Unix user's desktop menus; the
    // installations made here must leave nothing on the host. (Windows ignores the key.)
    static void SetUpTestSuite() {
        if (EnvironmentValue(L"PIPWARDEN_INSTALLER").empty())
            return;
        menuBuilderBefore = RegistryText(kWineOverrides, kMenuBuilder);
        SetRegistryText(kWineOverrides, kMenuBuilder, "");
        overridden = true;
    }
    static void TearDownTestSuite() {
        if (!overridden)
            return;
        if (menuBuilderBefore)
            SetRegistryText(kWineOverrides, kMenuBuilder, *menuBuilderBefore);
        else
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kWineOverrides, kMenuBuilder);
    }

    void SetUp() override {
        installer = EnvironmentValue(L"PIPWARDEN_INSTALLER");
        if (installer.empty())
            GTEST_SKIP() << "PIPWARDEN_INSTALLER names no installer";
        ASSERT_TRUE(IsFile(installer)) << installer;
    }
    // What a failed run may have left in the shared prefix.
    void TearDown() override {
        if (installer.empty())
            return;
        EndProcessesUnder(install.Root());
        RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey);
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValue);
        DeleteFileW(Widen(StartMenuShortcut()).c_str());
    }

    // Runs the installer silently into the test's folder and waits for its end.
    void Install() {
        Process setup = Process::Start(installer, "\"" + installer + "\" /S /D=" + install.Root());
        ASSERT_TRUE(setup);
        ASSERT_TRUE(setup.WaitForExit(kSetupTimeout)) << "the installer did not finish";
        for (const char* file : kInstalledFiles)
            ASSERT_TRUE(IsFile(install.Path(file))) << file << " was not installed";
    }

    // The installed launcher starts the installed main program; its bar shows prices.
    void StartFromTheLauncher() {
        const std::string launcher = install.LauncherPath();
        Process started = Process::Start(launcher, "\"" + launcher + "\"");
        ASSERT_TRUE(started);
        DWORD mainProgram = 0;
        ASSERT_TRUE(WaitUntil(
            [&] {
                const std::vector<DWORD> ids = ProcessesOf(install.MainProgramPath());
                mainProgram = ids.empty() ? 0 : ids.front();
                return mainProgram != 0;
            },
            kStartTimeout))
            << "the launcher did not start the installed main program";
        const HWND bar = WaitForBar(mainProgram);
        ASSERT_NE(bar, nullptr) << "the installed program showed no price bar";
        RemoteQuoteList quotes(bar);
        ASSERT_TRUE(quotes);
        EXPECT_TRUE(WaitUntil([&] { return !quotes.Cell(0).empty(); }, kOneTick))
            << "no price from the simulated terminal";
    }

    static inline std::optional<std::string> menuBuilderBefore;
    static inline bool overridden = false;
    std::string installer;
    Installation install{std::vector<Placement>{}};
};

TEST_F(InstallerTest, InstallsRegistersStartsAndUpgradesOverARunningCopyKeepingTheSettings) {
    ASSERT_NO_FATAL_FAILURE(Install());
    // Every clip, the one with a Chinese name too.
    for (const char* language : {"enf", "cnf"}) {
        const std::vector<std::string> built =
            FileNames(BuiltProgramsFolder() + "\\data\\" + language);
        EXPECT_FALSE(built.empty());
        EXPECT_EQ(FileNames(install.Path("file\\data\\") + language), built) << language;
    }
    EXPECT_FALSE(IsFile(install.Path("file\\pipward.cfg"))) << "the installer ships settings";
    EXPECT_FALSE(IsFile(install.Path("file\\fxconset.ini"))) << "the installer ships alerts";
    EXPECT_TRUE(IsFile(StartMenuShortcut()));

    // One version everywhere: the build's, the installer's own, the programs' and the entry's.
    for (const std::string& program :
         {installer, install.LauncherPath(), install.MainProgramPath()})
        EXPECT_EQ(GetProgramVersion(program), PW_VERSION_TEXT) << program;
    EXPECT_NE(installer.find(PW_VERSION_TEXT), std::string::npos) << installer;
    const std::string uninstaller = "\"" + install.Path("Uninstall.exe") + "\"";
    const std::pair<const wchar_t*, std::string> entry[] = {
        {L"DisplayName", "Pip Warden"},
        {L"DisplayVersion", PW_VERSION_TEXT},
        {L"Publisher", "Norvak"},
        {L"DisplayIcon", install.MainProgramPath() + ",0"},
        {L"InstallLocation", install.Root()},
        {L"UninstallString", uninstaller},
        {L"QuietUninstallString", uninstaller + " /S"},
    };
    for (const auto& [name, value] : entry)
        EXPECT_EQ(RegistryText(kUninstallKey, name).value_or("(missing)"), value) << Narrow(name);
    EXPECT_GT(RegistryNumber(kUninstallKey, L"EstimatedSize").value_or(0), 1000u); // KB

    const std::unique_ptr<Simulator> simulator = Simulator::Start("/frozen");
    ASSERT_TRUE(simulator);
    ASSERT_NO_FATAL_FAILURE(StartFromTheLauncher());
    install.WriteAlerts(kPreparedAlerts);

    // The upgrade ends the running copy through its Exit command, then replaces the programs.
    ASSERT_NO_FATAL_FAILURE(Install());
    EXPECT_TRUE(ProcessesOf(install.MainProgramPath()).empty()) << "the running copy was not ended";
    EXPECT_EQ(install.ReadAlerts(), kPreparedAlerts);
    EXPECT_TRUE(IniValue(install.ReadSettings(), "MAIN", "DisplayCurrency"))
        << "the settings the program wrote are gone";
}

TEST_F(InstallerTest, SilentUninstallEndsTheProgramAndRemovesAllButTheSettings) {
    ASSERT_NO_FATAL_FAILURE(Install());
    const std::unique_ptr<Simulator> simulator = Simulator::Start("/frozen");
    ASSERT_TRUE(simulator);
    ASSERT_NO_FATAL_FAILURE(StartFromTheLauncher());
    install.WriteAlerts(kPreparedAlerts);
    // As the options page writes the start with Windows.
    ASSERT_TRUE(SetRegistryText(kRunKey, kRunValue, "\"" + install.LauncherPath() + "\" /auto"));

    // The uninstaller hands its work to a copy of itself and returns at once.
    const std::string uninstaller = install.Path("Uninstall.exe");
    Process uninstall = Process::Start(uninstaller, "\"" + uninstaller + "\" /S");
    ASSERT_TRUE(uninstall);
    ASSERT_TRUE(
        WaitUntil([&] { return !RegistryText(kUninstallKey, L"DisplayName"); }, kSetupTimeout))
        << "the uninstaller did not finish";
    EXPECT_TRUE(NoneRunning(install.MainProgramPath())) << "the running copy was not ended";
    EXPECT_TRUE(WaitUntil([&] { return !IsFile(uninstaller); }, kStartTimeout));

    for (const char* file : kInstalledFiles)
        EXPECT_FALSE(IsFile(install.Path(file))) << file << " was left";
    EXPECT_FALSE(IsFolder(install.Path("file\\data"))) << "the voice clips were left";
    EXPECT_FALSE(IsFile(StartMenuShortcut()));
    EXPECT_FALSE(RegistryText(kRunKey, kRunValue)) << "the start with Windows was left";
    EXPECT_EQ(install.ReadAlerts(), kPreparedAlerts);
    EXPECT_TRUE(IniValue(install.ReadSettings(), "MAIN", "DisplayCurrency"))
        << "the settings were not kept";
}

// The released program speaks the user's language: English on an English Windows, Chinese
// on a Chinese one. Its tray menu, as the diagnostic log of the same program lists it, shows
// which.
TEST_F(InstallerTest, InstalledProgramSpeaksTheLanguageOfTheWindowsItRunsOn) {
    ASSERT_NO_FATAL_FAILURE(Install());
    const std::string logged = install.Path("file\\Pipwarden_log.exe");
    ASSERT_TRUE(CopyFileW(Widen(install.MainProgramPath()).c_str(), Widen(logged).c_str(), FALSE));
    install.WriteSettings("[MAIN]\r\nSHOWOPTION=1\r\n");
    const std::unique_ptr<Simulator> simulator = Simulator::Start("/frozen");
    ASSERT_TRUE(simulator);
    for (const auto& [locale, language] :
         {std::pair{"en_US.UTF-8", 0}, std::pair{"zh_CN.UTF-8", 1}}) {
        DeleteFileW(Widen(LogFilePath(logged)).c_str());
        Process program = Process::StartInLocale(logged, locale);
        ASSERT_TRUE(program) << locale;
        const HWND bar = WaitForBar(program.Id());
        ASSERT_NE(bar, nullptr) << locale;
        PostMessageW(bar, kTrayCallbackMessage, 0, WM_RBUTTONDOWN);
        const std::string menu = WaitForLoggedMenu(logged, "tray");
        ASSERT_FALSE(menu.empty()) << locale << ": no menu";
        EXPECT_EQ(menu.substr(0, menu.find('|')), GetTextIn(language, kTextContact) + "...")
            << locale;
        EXPECT_NE(menu.find("|" + GetTextIn(language, kTextExit) + "|"), std::string::npos)
            << locale << ": " << menu;
        program.End();
    }
}

} // namespace
