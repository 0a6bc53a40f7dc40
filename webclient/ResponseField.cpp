#include "webclient/ResponseField.h"

#include <algorithm>

TextView GetResponseField(TextView response, TextView name, std::size_t start) {
    std::size_t found = response.find(name, start);
    if (found == TextView::npos)
        return {};

    // Exactly one separator character follows the name, whatever it is.
    std::size_t valueStart = found + name.size() + 1;
    std::size_t lower = response.find(u"</p>", valueStart);
    std::size_t upper = response.find(u"</P>", valueStart);
    std::size_t end = std::min(lower, upper);
    if (end == TextView::npos)
        return {};
    return response.substr(valueStart, end - valueStart);
}
