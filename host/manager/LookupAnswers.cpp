#include "LookupAnswers.h"

#include <cstdio>
#include <vector>

#include "platform/com/ComObj.h"
#include "platform/os/Environment.h"
#include "platform/os/Files.h"

namespace manager {

std::optional<launcher::Json> TakeLookupAnswer(std::string_view member) {
    const std::string file = os::GetEnv(kLookupAnswersVariable);
    if (file.empty() || !os::FileExists(file)) return std::nullopt;
    const std::string text = os::ReadFileBytes(file);

    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string line = rtl::Trim(lines[i]);
        if (line.empty() || line[0] == '#') continue;
        launcher::Json value;
        try {
            value = launcher::Json::Parse(line);
        } catch (const launcher::JsonError& e) {
            throw com::EOleException("Line " + std::to_string(i + 1) + " of " + file + " is no JSON: " + e.what());
        }
        if (value.IsObject()) {
            const auto& members = value.Members();
            if (members.size() != 1) {
                throw com::EOleException("Line " + std::to_string(i + 1) + " of " + file +
                                         " must be a value or an object of one member naming the operation");
            }
            if (!rtl::SameText(members[0].first, member)) {
                throw com::EOleException("The next lookup answer (line " + std::to_string(i + 1) + " of " + file +
                                         ") is for " + members[0].first + ", not for " + std::string(member));
            }
            value = members[0].second;
        }
        // Taken: the file keeps the other lines. Written aside and renamed, so that a reader never
        // sees half a file.
        std::string rest;
        for (size_t j = 0; j < lines.size(); ++j) {
            if (j != i) rest += lines[j] + "\n";
        }
        const std::string temp = file + ".taking";
        os::WriteFileBytes(temp, rest);
        if (std::rename(temp.c_str(), file.c_str()) != 0) {
            os::DeleteFile(temp);
            throw com::EOleException("The lookup answers file " + file + " cannot be rewritten");
        }
        return value;
    }
    return std::nullopt;
}

}  // namespace manager
