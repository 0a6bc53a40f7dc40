#pragma once

// Sets "Use PASV" = "yes" among the current user's FTP client settings, so the explorer's
// FTP client uses passive mode. Any failure is ignored: start-up never depends on it.
void WriteUsePasvSetting();
