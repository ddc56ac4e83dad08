// The settings reader on arbitrary bytes: no crash, and the profile rules hold
// for whatever value it returns.
#include "common/ProfileReader.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = DecodeIniBytes(bytes);
    for (const char* key : {"Obiekty", "Path", "Programy"}) {
        if (const auto value = ReadProfileString(text, "General", key)) {
            if (value->find_first_of("\r\n") != std::string::npos) {
                std::abort(); // a value never spans lines
            }
        }
    }
    if (const auto index = ReadProfileString(text, "User", "LastIndex")) {
        if (const auto number = ParseInt32(*index)) {
            if (ParseInt32(std::to_string(*number)) != number) {
                std::abort();
            }
        }
    }
    return 0;
}
