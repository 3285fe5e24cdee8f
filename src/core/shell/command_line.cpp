#include "core/shell/command_line.h"

#include <algorithm>

namespace ravik {

bool ParsedOptions::has(std::string_view name) const {
    return std::any_of(given_.begin(), given_.end(), [&](const auto& option) { return option.first == name; });
}

std::string ParsedOptions::value(std::string_view name, std::string_view fallback) const {
    for (const auto& [option, value] : given_) {
        if (option == name) return value;
    }
    return std::string(fallback);
}

std::optional<ParsedOptions> ParseOptions(std::span<const std::string> words, std::span<const DeclaredOption> declared) {
    ParsedOptions parsed;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.empty() || word[0] != '-') {
            parsed.operands_.push_back(word);
            continue;
        }
        const size_t equals = word.rfind("--", 0) == 0 ? word.find('=') : std::string::npos;
        const std::string_view name = std::string_view(word).substr(0, equals);
        const auto option = std::find_if(declared.begin(), declared.end(),
                                         [&](const DeclaredOption& each) { return each.name == name; });
        if (option == declared.end() || parsed.has(name)) return std::nullopt;
        std::string value;
        if (option->takesValue) {
            if (equals != std::string::npos) {
                value = word.substr(equals + 1);
            } else if (++i < words.size()) {
                value = words[i];
            }
            if (value.empty()) return std::nullopt;
        } else if (equals != std::string::npos) {
            return std::nullopt;
        }
        parsed.given_.emplace_back(option->name, std::move(value));
    }
    return parsed;
}

}  // namespace ravik
