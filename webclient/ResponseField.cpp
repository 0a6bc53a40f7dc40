#include "webclient/ResponseField.h"

#include <algorithm>

Text GetResponseField(TextView response, TextView name, std::size_t start) {
    std::size_t found = response.find(name, start);
    if (found == TextView::npos)
        return Text();

    // Exactly one separator character follows the name, whatever it is.
    std::size_t valueStart = found + name.size() + 1;
    std::size_t lower = response.find(u"</p>", valueStart);
    std::size_t upper = response.find(u"</P>", valueStart);
    std::size_t end = std::min(lower, upper);
    if (end == TextView::npos)
        return Text();
    return Text(response.substr(valueStart, end - valueStart));
}
