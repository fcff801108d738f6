#include "ImageFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

ImageFile::ImageFile(ImageFile&& other) noexcept : m_fd(other.m_fd), m_size(other.m_size) { other.m_fd = -1; }

ImageFile::~ImageFile()
{
    if (m_fd >= 0) ::close(m_fd);
}

int ImageFile::Open(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return EINVAL;
    }
    if (m_fd >= 0) ::close(m_fd);
    m_fd = fd;
    m_size = uint64_t(info.st_size);
    return 0;
}

bool ImageFile::Read(uint64_t offset, void* buffer, size_t length) const
{
    if (m_fd < 0 || offset > m_size || length > m_size - offset) return false;
    auto* out = static_cast<char*>(buffer);
    while (length > 0) {
        const ssize_t got = ::pread(m_fd, out, length, off_t(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        out += got;
        offset += uint64_t(got);
        length -= size_t(got);
    }
    return true;
}

std::string ImageFile::Stamp() const
{
    struct stat info;
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0) return {};
    return std::to_string(info.st_dev) + ':' + std::to_string(info.st_ino) + ':' + std::to_string(info.st_size) + ':' +
           std::to_string(info.st_mtim.tv_sec) + '.' + std::to_string(info.st_mtim.tv_nsec) + ':' +
           std::to_string(info.st_ctim.tv_sec) + '.' + std::to_string(info.st_ctim.tv_nsec);
}
