// The cost of reading a service answer as it grows: the UTF-8 decode of the body and the
// two field look-ups a logon makes, over bodies of 1 KB to 10 MB whose fields come last
// (so each look-up scans the whole text). One line per size:
//
//   PARSE <bytes> <decode ns/byte> <fields ns/byte> <total ns/byte>
//
// Each figure is the median of several batches, each batch repeating the work until it
// has covered about 16 MB, so that small sizes are not lost in the clock's resolution.
#include "common/Text.h"
#include "webclient/ResponseField.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr std::size_t sizes[] = {1000, 10'000, 100'000, 1'000'000, 10'000'000};
constexpr std::size_t bytesPerBatch = 16'000'000;
constexpr int batches = 7;

// Mostly ASCII mark-up with two- and three-byte sequences in every line, as a page of
// names and amounts would have, then the two fields a logon answer carries.
std::string AnswerOfSize(std::size_t size) {
    static const std::string line = "<p>NOTE=Gr\xc3\xbc\xc3\x9f"
                                    "e, 1 000 \xe2\x82\xac</p>\n";
    static const std::string fields = "<p>RETURN_STATUS=0</p><p>RETURN_SESSIONID=abc123</p>";
    std::string body;
    body.reserve(size);
    while (body.size() + line.size() + fields.size() <= size)
        body += line;
    body.append(size - body.size() - fields.size(), 'x');
    return body + fields;
}

using Clock = std::chrono::steady_clock;

double Nanoseconds(Clock::duration duration) {
    return double(std::chrono::duration_cast<std::chrono::nanoseconds>(duration).count());
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Keeps the compiler from dropping work whose result is otherwise unused.
volatile std::size_t sink;

} // namespace

int main() {
    for (std::size_t size : sizes) {
        const std::string body = AnswerOfSize(size);
        const std::size_t repeats = std::max<std::size_t>(1, bytesPerBatch / size);
        std::vector<double> decode, fields;
        for (int batch = 0; batch < batches; ++batch) {
            Clock::duration decoding{}, reading{};
            for (std::size_t i = 0; i < repeats; ++i) {
                const Clock::time_point start = Clock::now();
                const Text text = FromUtf8(body);
                const Clock::time_point decoded = Clock::now();
                const TextView status = GetResponseField(text, u"RETURN_STATUS", 0);
                const TextView session = GetResponseField(text, u"RETURN_SESSIONID", 0);
                const Clock::time_point read = Clock::now();
                decoding += decoded - start;
                reading += read - decoded;
                sink = sink + text.size() + status.size() + session.size();
            }
            const double work = double(repeats) * double(size);
            decode.push_back(Nanoseconds(decoding) / work);
            fields.push_back(Nanoseconds(reading) / work);
        }
        const double decodeCost = Median(decode), fieldsCost = Median(fields);
        std::printf("PARSE %zu %.4f %.4f %.4f\n", size, decodeCost, fieldsCost,
                    decodeCost + fieldsCost);
        std::fflush(stdout);
    }
    return 0;
}
