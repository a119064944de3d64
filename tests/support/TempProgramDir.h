#pragma once
// A temporary program folder for one test: AppPaths points at it while the
// object lives, and it is removed afterwards.

#include <QString>
#include <QTemporaryDir>

class TempProgramDir {
  public:
    TempProgramDir();
    ~TempProgramDir();
    TempProgramDir(const TempProgramDir&) = delete;
    TempProgramDir& operator=(const TempProgramDir&) = delete;

    // The folder, with a trailing '/'.
    QString path() const;
    // A path under the folder; folders on the way are created.
    QString file(const QString& relative) const;
    void writeFile(const QString& relative, const QByteArray& bytes) const;

  private:
    QTemporaryDir dir_;
};
