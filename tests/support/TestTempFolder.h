#pragma once
// The folder every temporary file of one test process goes to: TMPDIR points
// at <build>/test-tmp/<pid> while the process runs, so QTemporaryFile,
// QTemporaryDir and the child processes a test starts all write there, never
// into /tmp. The folder is removed when the process ends; the folders of
// processes that were killed before they could remove their own are removed
// by the next test process that starts or ends.

#include <QString>

class TestTempFolder {
  public:
    // Makes the folder and points TMPDIR at it.
    TestTempFolder();
    // Removes it, and every folder left by a process that is gone.
    ~TestTempFolder();
    TestTempFolder(const TestTempFolder&) = delete;
    TestTempFolder& operator=(const TestTempFolder&) = delete;

    QString path() const { return path_; }
    // The folder the per-process folders are made in.
    static QString Root();
    // Removes the folders under Root() whose process no longer runs.
    static void RemoveLeftovers();

  private:
    QString path_;
};
