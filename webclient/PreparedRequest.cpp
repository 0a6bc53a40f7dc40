#include "webclient/PreparedRequest.h"

#include "common/PseudoRandom.h"

#include <algorithm>

PreparedRequest::PreparedRequest(TextView url, const Clock& clock)
    : target(ConnectTargetFromUrl(url)), path(PathFromUrl(url)) {
    path += CacheBustingPair(url, PseudoRandom(clock.SecondsSince1970()).Draw());
}

std::span<const std::uint8_t> AnswerBeforeNul(std::span<const std::uint8_t> bytes) {
    return bytes.first(
        static_cast<std::size_t>(std::find(bytes.begin(), bytes.end(), 0) - bytes.begin()));
}
