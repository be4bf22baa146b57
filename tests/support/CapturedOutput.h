// Everything the process writes to standard output or standard error while the object
// lives, through stdio, iostreams or the file descriptor itself, as one string. The
// descriptor is pointed at a temporary file, so output from code that never flushes a
// stream or that bypasses the streams is caught too. Captures nest: an inner capture of
// the same stream gives its text back when taken and the outer one sees none of it.
#pragma once

#include <cstdio>
#include <string>

namespace testsupport {

class CapturedOutput {
public:
    enum class Stream { out, err };

    explicit CapturedOutput(Stream stream = Stream::out);
    // Restores the stream, dropping what was captured, when take() was not called.
    ~CapturedOutput();
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;

    // Ends the capture, puts the stream back and returns what was written since the
    // object was made. Later calls return an empty string.
    std::string take();

private:
    int target;            // the descriptor captured: 1 or 2
    int saved = -1;        // a duplicate of where it pointed before
    std::FILE* file = nullptr;
};

} // namespace testsupport
