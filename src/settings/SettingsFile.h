#pragma once
// param.ini in the working folder: the two folders, read when the dialog opens
// and written when the user leaves. Knows nothing of the dialog; the caller
// reports failures.
#include <optional>
#include <string>

struct SettingsFolders {
    std::wstring inputFolder;
    std::wstring outputFolder;
};

// Reads param.ini and echoes what it read on standard output; nothing when
// the file cannot be opened or read.
std::optional<SettingsFolders> ReadSettingsFile();

// Replaces param.ini with the two folders; false, with the old file kept,
// when they cannot be stored or the file cannot be written.
bool WriteSettingsFile(const std::wstring& inputFolder, const std::wstring& outputFolder);
