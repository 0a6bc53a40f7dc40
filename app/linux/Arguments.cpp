#include "app/linux/Arguments.h"

#include "app/LaunchMode.h"
#include "common/Text.h"

#include <string>

LaunchMode LaunchModeFromArgv(int argc, char** argv) {
    std::string joined;
    for (int i = 1; i < argc && argv[i]; ++i) {
        if (i > 1)
            joined += ' ';
        joined += argv[i];
    }
    return LaunchModeFromArguments(FromUtf8(joined));
}
