// A read-only file of a disc image, read at offsets.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

class ImageFile {
public:
    ImageFile() = default;
    ImageFile(const ImageFile&) = delete;
    ImageFile& operator=(const ImageFile&) = delete;
    ImageFile(ImageFile&& other) noexcept;
    ~ImageFile();

    // Opens a regular file; the errno of the failure otherwise.
    int Open(const std::string& path);
    bool Read(uint64_t offset, void* buffer, size_t length) const;
    uint64_t Size() const { return m_size; }
    // What tells this file's content from any other: device, inode, size,
    // modification and change times; empty when the file is not open.
    std::string Stamp() const;

private:
    int m_fd = -1;
    uint64_t m_size = 0;
};
