#include "app/LaunchMode.h"

Text ArgumentsText(TextView commandLine) {
    size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == u'"') {
        size_t closing = commandLine.find(u'"', 1);
        i = closing == TextView::npos ? commandLine.size() : closing + 1;
    } else {
        while (i < commandLine.size() && commandLine[i] > 32)
            ++i;
    }
    while (i < commandLine.size() && commandLine[i] >= 1 && commandLine[i] <= 32)
        ++i;
    return Text(commandLine.substr(i));
}

const WebPageMode* LaunchMode::WebPage() const {
    for (const WebPageMode& mode : webPageModes) {
        if (value == static_cast<std::int32_t>(mode.argument) - u'0')
            return &mode;
    }
    return nullptr;
}

LaunchMode LaunchModeFromArguments(TextView arguments) {
    size_t i = 0;
    while (i < arguments.size() && (arguments[i] == u' ' || arguments[i] == u'\t'))
        ++i;
    char16_t first = i < arguments.size() ? arguments[i] : 0;
    return static_cast<std::int32_t>(first) - 48;
}
