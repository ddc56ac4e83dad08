#include "common/UPlikIni.h"

#include "common/Cp1250.h"
#include "common/Platform.h"
#include "common/ProfileReader.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace {

std::string ReadWholeFile(const std::string& utf8Path) {
    std::ifstream in(platform::PathFromUtf8(utf8Path), std::ios::binary);
    if (!in) {
        return {};
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

} // namespace

TPlikIni::TPlikIni() : TPlikIni(platform::JoinPath(platform::ExecutableDir(), "kavero.ini")) {}

TPlikIni::TPlikIni(std::string iniPath) : IniPath(std::move(iniPath)) {
    Read();
}

void TPlikIni::Read() {
    const std::string text = DecodeIniBytes(ReadWholeFile(IniPath));
    Obiekty = ReadProfileString(text, "General", "Obiekty").value_or("");
    Path = ReadProfileString(text, "General", "Path").value_or("");
    Programy = ReadProfileString(text, "General", "Programy").value_or("");
    // A missing or malformed LastIndex is no error for the user: it stays 0.
    LastIndex = ParseInt32(ReadProfileString(text, "User", "LastIndex").value_or("")).value_or(0);
}

std::optional<std::string> WorkingFolderProblem(const TPlikIni& settings) {
    const std::string where = "Plik „" + settings.IniPath + "” ";
    if (settings.Path.empty()) {
        return where + "nie wskazuje folderu roboczego (brak klucza Path w sekcji [General]).";
    }
    for (std::size_t pos = 0; pos < settings.Path.size();) {
        const char32_t c = cp1250::NextCodePoint(settings.Path, pos);
        if (c < 0x20 || (c >= 0x7f && c <= 0x9f)) {
            return where + "podaje folder roboczy ze znakiem sterującym (kod " +
                   std::to_string(unsigned(c)) + ") w kluczu Path sekcji [General]; " +
                   "takiego folderu nie można użyć.";
        }
    }
    return std::nullopt;
}
