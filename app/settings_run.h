// How far the settings have come in this run of the program. Kept by
// app/settings.cpp; the test programs start each case afresh through it.
#pragma once

struct SettingsRun {
    // Until the settings are loaded the program-wide state is empty or partly
    // filled; saving it then would overwrite good stored values with zeros.
    bool loaded;
    bool saved;  // SaveSettingsAndQuit has run; it never runs twice
};

extern SettingsRun gSettingsRun;
