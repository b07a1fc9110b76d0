#pragma once
// The simulated terminal as the end-to-end tests drive it, and the settings the in-process
// reader works with.
#include "tests/e2e/Harness.h"
#include "tools/mt4sim/SimProtocol.h"
#include <memory>
#include <string>

namespace e2e {

// A running mt4sim: its process and its main window. Ended when destroyed.
class Simulator {
public:
    // Starts the simulator from the built programs with these switches, e.g.
    // "/layout:2 /frozen", and waits for its main window. Fails the test and returns nullptr
    // when it does not come up.
    static std::unique_ptr<Simulator> Start(const std::string& switches);

    HWND Window() const { return window; }
    DWORD ProcessId() const { return process.Id(); }
    bool IsRunning() const { return process.IsRunning(); }
    std::string Title() const { return WindowText(window); }

    // One test command; true when the simulator carried it out.
    bool Send(SimCommand command, const std::string& payload = "") const;
    // The status bar's connection part shows the text ("" for the connected default).
    bool SetConnectionStatus(const std::string& text) const {
        return Send(SimCommand::SetStatus, text);
    }
    // Asks the simulator to close and waits for its end.
    bool Quit();
    void Kill() { process.End(); }

private:
    Simulator(Process started, HWND window) : process(std::move(started)), window(window) {}
    Process process;
    HWND window = nullptr;
};

std::string SimulatorProgram(); // mt4sim.exe among the built programs

// The in-process settings file: every test of this binary that reads or writes the main
// settings does so in a temporary folder of its own, never beside the test program.
std::string TestSettingsFolder();
void SetSetting(const std::string& key, const std::string& value);

// The top-level window with this exact title that belongs to the process; nullptr when none
// appears in time.
HWND WaitForOwnedWindow(DWORD processId, const std::string& title, Milliseconds timeout);

} // namespace e2e
