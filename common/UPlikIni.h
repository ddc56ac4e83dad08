#pragma once

#include <optional>
#include <string>

// The suite's shared settings, read once from kavero.ini beside the executable.
// This program never writes the file. Values are UTF-8.
class TPlikIni {
public:
    // Reads kavero.ini from the executable's folder.
    TPlikIni();
    // Reads the given file; for tests and tools.
    explicit TPlikIni(std::string iniPath);

    std::string IniPath;
    std::string Obiekty;
    std::string Path; // the working directory, used exactly as written
    std::string Programy;
    int LastIndex = 0;

private:
    void Read();
};

// Why the working folder (`Path`) of `settings` cannot be used, as a Polish
// sentence naming the settings file; nothing when it can. An empty value and
// one with control characters (a NUL byte would cut the path short) are unusable.
std::optional<std::string> WorkingFolderProblem(const TPlikIni& settings);
