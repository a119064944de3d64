#pragma once
// Makes a file or folder refuse writes while the object lives: by its
// permission bits, and where those do not stop this process (the superuser)
// by the file system's immutable flag. Active() is false where neither
// works; a test then skips.

#include <QString>

#include <sys/types.h>

class ReadOnlyPath {
  public:
    explicit ReadOnlyPath(const QString& path);
    ~ReadOnlyPath();
    ReadOnlyPath(const ReadOnlyPath&) = delete;
    ReadOnlyPath& operator=(const ReadOnlyPath&) = delete;

    bool Active() const;

  private:
    bool setImmutable(bool on);

    QString path_;
    mode_t mode_ = 0;
    bool immutable_ = false;
};
