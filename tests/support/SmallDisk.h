#pragma once
// A small file system of its own (tmpfs) for full-disk tests: mounted over a
// fresh folder while the object lives, so that a write into it runs out of
// space at a size the test chooses. Mounting needs the superuser; where it
// fails, Mounted() is false and the test skips.
//
//     SmallDisk disk(256 * 1024);
//     if (!disk.Mounted()) GTEST_SKIP() << disk.WhyNot().toStdString();
//     ... put the files into disk.Path(), then disk.Fill() leaves no room.

#include <QString>

class SmallDisk {
  public:
    explicit SmallDisk(qint64 bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Mounted() const { return mounted_; }
    QString WhyNot() const { return whyNot_; }
    QString Path() const { return path_; }

    // Takes up the free space but about `leave` bytes with a filler file;
    // false when the filler could not be written.
    bool Fill(qint64 leave = 0);
    // Gives the filler's space back.
    void Free();
    // Bytes still free.
    qint64 FreeBytes() const;
    // Mounted again refusing every write (a read-only medium), or taking
    // them again; false when the file system refused.
    bool SetReadOnly(bool readOnly);

  private:
    QString path_;
    QString filler_;
    QString whyNot_;
    QByteArray options_;
    bool mounted_ = false;
};
