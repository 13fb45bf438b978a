#include "status_command.h"

#include "single_instance.h"
#include "standard_output.h"

#include <cstdio>

namespace statuscommand {

namespace {

const QStringList formats = {QStringLiteral("text"), QStringLiteral("json"), QStringLiteral("waybar")};
// A copy busy for longer than this is as good as none to a panel that asks again soon.
constexpr int answerTimeoutMs = 2000;

void complain(const char* text) {
    std::fprintf(stderr, "taktplan: %s\n", text);
}

} // namespace

Request parse(const QStringList& arguments) {
    Request r;
    r.asked = arguments.contains(QLatin1String("--status"));
    if (!r.asked)
        return r;
    bool formatGiven = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--status"))
            continue;
        QString value;
        if (a == QLatin1String("--format") && !formatGiven && i + 1 < arguments.size())
            value = arguments[++i];
        else if (a.startsWith(QLatin1String("--format=")) && !formatGiven)
            value = a.mid(9);
        else {
            r.error = QStringLiteral("unexpected argument: ") + a;
            return r;
        }
        formatGiven = true;
        if (!formats.contains(value)) {
            r.error = QStringLiteral("--format must be text, json or waybar, not: ") + value;
            return r;
        }
        r.format = value.toLatin1();
    }
    return r;
}

int run(const Request& request, SingleInstance& instance) {
    if (!request.error.isEmpty()) {
        std::fprintf(stderr, "taktplan: %s\nusage: taktplan --status [--format text|json|waybar]\n",
                     request.error.toLocal8Bit().constData());
        return 2;
    }
    const SingleInstance::StatusAnswer answer = instance.requestStatus(request.format, answerTimeoutMs);
    if (!answer.answered) {
        complain(answer.reached ? "Taktplan did not answer" : "Taktplan is not running");
        return 3;
    }
    if (answer.text.isEmpty()) {
        complain("Taktplan is still starting");
        return 3;
    }
    if (!standardoutput::writeBytes(answer.text + '\n'))
        return 1;
    return 0;
}

} // namespace statuscommand
