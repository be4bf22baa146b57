// Output capture through the file descriptor.
#include "CapturedOutput.h"

#include <unistd.h>

#include <iostream>
#include <stdexcept>

namespace testsupport {

namespace {

// Text still buffered in a stream belongs to whoever held the descriptor when it was
// written, so both kinds of buffer are emptied before the descriptor moves either way.
void flushAll()
{
    std::cout.flush();
    std::cerr.flush();
    std::clog.flush();
    std::fflush(stdout);
    std::fflush(stderr);
}

} // namespace

CapturedOutput::CapturedOutput(Stream stream)
    : target(stream == Stream::err ? STDERR_FILENO : STDOUT_FILENO)
{
    flushAll();
    file = std::tmpfile();
    if (!file)
        throw std::runtime_error("cannot capture output: no temporary file");
    saved = ::dup(target);
    if (saved < 0 || ::dup2(::fileno(file), target) < 0) {
        if (saved >= 0)
            ::close(saved);
        std::fclose(file);
        throw std::runtime_error("cannot capture output: the descriptor cannot be redirected");
    }
}

CapturedOutput::~CapturedOutput()
{
    take();
}

std::string CapturedOutput::take()
{
    if (!file)
        return {};
    flushAll();
    ::dup2(saved, target);
    ::close(saved);
    std::string text;
    std::rewind(file);
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        text.append(buffer, got);
    std::fclose(file);
    file = nullptr;
    return text;
}

} // namespace testsupport
