// The argument vector execv takes (the program, its arguments, a null), with the strings
// it points into: made before fork, so that the child only reads it.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

class ExecArguments {
public:
    ExecArguments(const std::string& program, const std::vector<std::string>& args) : strings{program}
    {
        strings.insert(strings.end(), args.begin(), args.end());
        for (std::string& arg : strings)
            pointers.push_back(arg.data());
        pointers.push_back(nullptr);
    }
    ExecArguments(const ExecArguments&) = delete;
    ExecArguments& operator=(const ExecArguments&) = delete;

    char* const* get() { return pointers.data(); }

private:
    std::vector<std::string> strings;
    std::vector<char*> pointers;
};

} // namespace testsupport
