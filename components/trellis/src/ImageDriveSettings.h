// The image drives' settings under the location the program hands over
// (root + key path + "\Trellis"): how many image drives, their letters, and
// the image each one holds. Kept in the registry so that every process sees
// the same drives; without a location they live in memory only.
#pragma once
#include "Registry.h"
#include "hresult.h"

#include <map>
#include <mutex>
#include <string>

class ImageDriveSettings {
public:
    static constexpr DWORD kDefaultDriveCount = 1;
    static constexpr DWORD kMaxDriveCount = 8;

    void SetLocation(HKEY root, std::u16string keyPath);
    // "ImageDriveCount", 1 when missing, at most kMaxDriveCount.
    DWORD DriveCount() const;
    // "ImageDriveLetters": upper-case letters, "" when missing.
    std::string Letters() const;
    // "Image" + letter: the path of the image held, "" when empty.
    std::u16string ImagePath(char letter) const;
    HRESULT SetImagePath(char letter, const std::u16string& path);

private:
    std::u16string KeyPath() const;
    bool ReadValue(const std::u16string& name, DWORD type, std::u16string* text, DWORD* number) const;

    mutable std::mutex m_mutex;
    HKEY m_root = nullptr;
    std::u16string m_keyPath;
    std::map<char, std::u16string> m_memory; // without a registry location
};
