#pragma once
// A writer that rewrites the main settings file and the alerts file without end through the
// program's own writers, and the check of what it leaves behind when it is killed at any
// moment: both files whole, every key there, each holding its value from before the kill or
// one the killed writer wrote, and no temporary file that outlives the next writer.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace churn {

// Generation 0 is the files' first content; the writer of round r starts at RoundStart(r)
// and never gets through a whole span before it is killed.
constexpr std::uint32_t kRoundSpan = 100000;
constexpr std::uint32_t RoundStart(int round) {
    return static_cast<std::uint32_t>(round + 1) * kRoundSpan;
}

// Every key of both files: "<file>|<section>|<key>" to its value.
using Values = std::map<std::string, std::string>;

// The program's settings in a folder (ending in its separator), written as the program
// writes them: each key of the main settings through its settings object, each alert
// through the alert store, one replace of the file per key.
class Writer {
public:
    explicit Writer(const std::string& folder);
    ~Writer();
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Every key of both files with its value of that generation; generation 0 also writes
    // the keys no later generation touches.
    void Write(std::uint32_t generation);
    // Generation after generation from the first, beginning at one of its writes (any
    // number: it is taken modulo the writes of a generation), until the process is killed.
    [[noreturn]] void WriteForever(std::uint32_t first, unsigned firstWrite);

private:
    void WriteStep(int step, std::uint32_t generation);
    struct State;
    std::unique_ptr<State> state;
};

std::string SettingsPath(const std::string& folder);
std::string AlertsPath(const std::string& folder);

// Every key of both files in the folder; a description of the first fault (a file missing,
// or not whole), else empty.
std::string ReadFiles(const std::string& folder, Values& values);

// The first fault found in what a killed writer of the generations from `first` left in
// the folder, given the values read after the previous kill (or after generation 0);
// empty when there is none. `now` receives the values read this time.
std::string CheckFiles(const std::string& folder, const Values& before, std::uint32_t first,
                       Values& now);

// Names of the temporary files of a replace lying in the folder.
std::vector<std::string> TemporaryFiles(const std::string& folder);

} // namespace churn
