#pragma once

#include <string>
#include <vector>

// What `taktplan --status` was asked and what it prints, in plain C++: the full program and the
// small entry program that answers a panel without loading Qt follow the same rules.
namespace statusrequest {

struct Request {
    bool asked = false; // --status is among the arguments
    std::string format = "text";
    std::string error; // one line for standard error; empty when the arguments are fine
};

// arguments without the program name.
Request parse(const std::vector<std::string>& arguments);

// A copy busy for longer than this is as good as none to a panel that asks again soon.
inline constexpr int answerTimeoutMs = 2000;

// What a status question got: reached is false when no copy listens, answered when the copy
// answered in time; an empty answer comes from a copy still starting.
struct Answer {
    bool reached = false;
    bool answered = false;
    std::string text;
};

// What to print for a request and the answer it got, and the exit status: 0 answered, 2 bad
// arguments, 3 no copy runs or none answered.
struct Outcome {
    int status = 0;
    std::string output; // standard output
    std::string error;  // standard error
};
Outcome refused(const Request& request);
Outcome outcome(const Answer& answer);

} // namespace statusrequest
