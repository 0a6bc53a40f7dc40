// Input: the bytes of tarnftp.ini.
#include "app/ProfileReader.h"
#include "fuzz/FuzzInput.h"

#include <string_view>

// Each host is at most 4095 units of one line, copied from the file's text and never made up.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const Text text = FromUtf8(bytes);
    for (const Text& host : RedirectHostsFromProfile(bytes)) {
        FUZZ_REQUIRE(host.size() <= 4095);
        FUZZ_REQUIRE(host.find(u'\n') == Text::npos);
        FUZZ_REQUIRE(text.find(host) != Text::npos);
    }
    return 0;
}
