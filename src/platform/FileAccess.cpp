#include "platform/FileAccess.h"

#include <QFile>

#include <unistd.h>

bool MayWrite(const QString& path) {
    // access() asks the kernel, which knows about mounts and file flags that
    // the permission bits do not show.
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}
