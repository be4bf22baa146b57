// Track files for the sync tests, assembled byte by byte from the file layout,
// independent of the writer under test, and synctool run as a script runs it.
#pragma once

#include "sync/SyncTracks.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "support/ReadFile.h"
#include "support/ScratchDir.h"

namespace synctest {

using Bytes = std::vector<unsigned char>;

inline void putInt32(Bytes& bytes, int32_t value)
{
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<unsigned char>(bits >> shift));
}

inline void putKey(Bytes& bytes, int32_t row, float value, unsigned char type)
{
    putInt32(bytes, row);
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    putInt32(bytes, static_cast<int32_t>(bits));
    bytes.push_back(type);
}

#ifdef SYNCTOOL_PATH
struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string quoted(const std::string& text)
{
    return "'" + text + "'";
}

// Runs synctool with arguments already quoted for the shell, its output kept in folder.
inline ToolRun runTool(const testsupport::ScratchDir& folder, const std::string& arguments)
{
    const std::string out = folder.file("tool.out");
    const std::string err = folder.file("tool.err");
    const std::string command = quoted(SYNCTOOL_PATH) + " " + arguments + " >" + quoted(out) + " 2>" + quoted(err);
    const int raw = std::system(command.c_str());
    ToolRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = testsupport::readFile(out);
    run.err = testsupport::readFile(err);
    return run;
}
#endif

} // namespace synctest
