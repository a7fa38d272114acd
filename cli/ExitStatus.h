#pragma once
// The exit statuses of kinovka-cli, which scripts rely on.

enum ExitStatus : int {
    exitSuccess = 0,
    exitRefused = 1,        // bad arguments, bad number, unknown key, nothing found, bad CSV row
    exitCatalogFailed = 2,  // the catalogue (or an output file) could not be opened, created or saved
};
