#include "status_request.h"

#include <algorithm>
#include <array>

namespace statusrequest {

namespace {

constexpr std::array<const char*, 3> formats = {"text", "json", "waybar"};

std::string complaint(const std::string& text) {
    return "taktplan: " + text + "\n";
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

Request parse(const std::vector<std::string>& arguments) {
    Request r;
    r.asked = std::find(arguments.begin(), arguments.end(), "--status") != arguments.end();
    if (!r.asked)
        return r;
    bool formatGiven = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "--status")
            continue;
        std::string value;
        if (a == "--format" && !formatGiven && i + 1 < arguments.size())
            value = arguments[++i];
        else if (a.starts_with("--format=") && !formatGiven)
            value = a.substr(9);
        else {
            r.error = "unexpected argument: " + a;
            return r;
        }
        formatGiven = true;
        if (std::find(formats.begin(), formats.end(), value) == formats.end()) {
            r.error = "--format must be text, json or waybar, not: " + value;
            return r;
        }
        r.format = value;
    }
    return r;
}

Outcome refused(const Request& request) {
    return {2, {}, complaint(request.error) + "usage: taktplan --status [--format text|json|waybar]\n"};
}

Outcome outcome(const Answer& answer) {
    if (!answer.answered)
        return {3, {}, complaint(answer.reached ? "Taktplan did not answer" : "Taktplan is not running")};
    auto begin = answer.text.begin();
    auto end = answer.text.end();
    while (begin != end && isBlank(*begin))
        ++begin;
    while (end != begin && isBlank(end[-1]))
        --end;
    if (begin == end)
        return {3, {}, complaint("Taktplan is still starting")};
    return {0, std::string(begin, end) + "\n", {}};
}

} // namespace statusrequest
