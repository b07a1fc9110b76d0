#pragma once
#include <string>

// The running program, its command line and version, and the machine's name; the standard
// folders are in SystemFolders.h. Folders end in "\".
std::string GetProgramPath();   // "" on failure
std::string GetProgramFolder(); // folder of GetProgramPath()
std::string GetFolderOfPath(const std::string& path);
std::string GetArguments(); // of the process's own command line
std::string GetArgumentsOf(const std::string& commandLine);
std::string GetCommandLineText(); // the process's command line, UTF-8
std::string GetProgramVersion(const std::string& file);
std::string NormaliseVersionValue(const std::string& value); // blanks out, "," -> "."
std::string JoinVersionValues(const std::string& joined);    // cut before the first "("
std::string GetMachineName();
std::string ChooseMachineName(const std::string& computerName, const std::string& environmentName);
