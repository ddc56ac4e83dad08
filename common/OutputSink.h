#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <system_error>

// The platform's half of AtomicOutputFile: where the bytes go and how they are
// put in place. Destroyed before a successful Commit, it removes what it made.
class OutputSink {
public:
    virtual ~OutputSink() = default;
    virtual bool Open(const std::string& targetUtf8, std::error_code& ec) = 0;
    virtual bool Write(const char* bytes, std::size_t size, std::error_code& ec) = 0;
    virtual bool Commit(std::error_code& ec) = 0;
};

std::unique_ptr<OutputSink> MakeOutputSink();
