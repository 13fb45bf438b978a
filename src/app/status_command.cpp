#include "status_command.h"

#include "single_instance.h"
#include "standard_output.h"

#include <cstdio>

namespace statuscommand {

statusrequest::Request parse(const QStringList& arguments) {
    std::vector<std::string> plain;
    for (const QString& argument : arguments)
        plain.push_back(argument.toStdString());
    return statusrequest::parse(plain);
}

int run(const statusrequest::Request& request, SingleInstance& instance) {
    statusrequest::Outcome outcome;
    if (!request.error.empty()) {
        outcome = statusrequest::refused(request);
    } else {
        const SingleInstance::StatusAnswer answer =
            instance.requestStatus(QByteArray::fromStdString(request.format), statusrequest::answerTimeoutMs);
        outcome = statusrequest::outcome({answer.reached, answer.answered, answer.text.toStdString()});
    }
    // In the system's own encoding, as the arguments came.
    std::fputs(QString::fromStdString(outcome.error).toLocal8Bit().constData(), stderr);
    if (!outcome.output.empty() &&
        !standardoutput::writeBytes(QByteArrayView(outcome.output.data(), qsizetype(outcome.output.size()))))
        return 1;
    return outcome.status;
}

} // namespace statuscommand
