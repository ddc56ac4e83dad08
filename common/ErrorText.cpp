#include "common/ErrorText.h"

std::string DescribeError(const std::error_code& ec) {
    const std::error_condition c = ec.default_error_condition();
    if (c == std::errc::no_such_file_or_directory) {
        return "plik lub folder nie istnieje";
    }
    if (c == std::errc::permission_denied || c == std::errc::operation_not_permitted) {
        return "brak uprawnień";
    }
    if (c == std::errc::no_space_on_device) {
        return "brak miejsca na dysku";
    }
    if (c == std::errc::read_only_file_system) {
        return "nośnik tylko do odczytu";
    }
    if (c == std::errc::is_a_directory) {
        return "to jest folder, a nie plik";
    }
    if (c == std::errc::not_a_directory) {
        return "część ścieżki nie jest folderem";
    }
    if (c == std::errc::filename_too_long) {
        return "zbyt długa ścieżka";
    }
    if (c == std::errc::device_or_resource_busy || c == std::errc::text_file_busy) {
        return "plik jest otwarty w innym programie";
    }
    if (c == std::errc::invalid_argument) {
        return "nieprawidłowa nazwa pliku lub folderu";
    }
    if (c == std::errc::io_error) {
        return "błąd wejścia-wyjścia";
    }
    if (c == std::errc::too_many_files_open || c == std::errc::too_many_files_open_in_system) {
        return "zbyt wiele otwartych plików";
    }
    return "błąd systemu (" + ec.message() + ")";
}
