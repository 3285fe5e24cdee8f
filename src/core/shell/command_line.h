#pragma once
// Reads a subcommand's words: declared options, each given at most once,
// and the operands (the words that are not options).

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ravik {

struct DeclaredOption {
    std::string_view name;  // "--force", "-o"
    bool takesValue;
};

class ParsedOptions {
public:
    bool has(std::string_view name) const;
    // The option's value, or fallback when it was not given.
    std::string value(std::string_view name, std::string_view fallback = {}) const;
    const std::vector<std::string>& operands() const { return operands_; }

private:
    friend std::optional<ParsedOptions> ParseOptions(std::span<const std::string> words,
                                                     std::span<const DeclaredOption> declared);
    std::vector<std::pair<std::string_view, std::string>> given_;
    std::vector<std::string> operands_;
};

// Nothing (a usage error) when a word starting with '-' is no declared option
// ("-" and "--" alone included), an option is given twice, or an option's
// value is missing or empty. "--name=value" is read as "--name value".
std::optional<ParsedOptions> ParseOptions(std::span<const std::string> words, std::span<const DeclaredOption> declared);

}  // namespace ravik
