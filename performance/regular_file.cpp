#include "performance/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace scrivola {

QString openRegularFile(const QByteArray& path, QFile& file) {
    file.close();
    // Without blocking, so that a pipe is looked at, not waited on; the
    // type is taken from what was opened, so nothing can swap it between.
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return QStringLiteral("no such file");
        }
        return QStringLiteral("cannot be opened: ") + QString::fromLocal8Bit(std::strerror(errno));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return QStringLiteral("not a regular file");
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return QStringLiteral("cannot be opened: ") + file.errorString();
    }
    return {};
}

}  // namespace scrivola
