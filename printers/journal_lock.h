// Each run keeps its own journal, "<stem>.journal", and holds an flock
// (LockFileEx on Windows) on "<stem>.lock" beside it for as long as it lives.
// The system drops the lock when the run ends however it ends, so a journal
// whose lock can be taken belongs to a run that is gone, and only such a
// journal may be worked off.
// The lock sits in a file of its own because the journal is replaced by a
// rename at every change, which a lock on the journal itself would not survive.
#pragma once

#include <optional>
#include <string>

namespace tessaly {

inline constexpr const char* kJournalSuffix = ".journal";
inline constexpr const char* kJournalLockSuffix = ".lock";

class JournalLock {
public:
    // A new lock under a name no other run uses, taken before its journal can
    // appear, so no other run ever sees that journal unlocked. Nothing when
    // the folder cannot hold it.
    static std::optional<JournalLock> CreateIn(const std::string& directory);
    // The lock of an existing journal, when the run that wrote it is gone.
    // Nothing while that run lives or when the lock cannot be used.
    static std::optional<JournalLock> TakeOver(const std::string& journalPath);

    JournalLock(JournalLock&& other) noexcept;
    JournalLock& operator=(JournalLock&& other) noexcept;
    JournalLock(const JournalLock&) = delete;
    JournalLock& operator=(const JournalLock&) = delete;
    ~JournalLock();  // releases the lock and leaves its file

    const std::string& JournalPath() const { return m_journalPath; }
    // Once the journal itself is gone, deletes the lock's file, then releases
    // the lock; true when it did. A journal that remains keeps its lock file,
    // since a journal without one is taken over at once.
    bool RemoveIfJournalGone();

private:
    JournalLock(int fd, std::string lockPath, std::string journalPath);
    void Release();

    int m_fd = -1;
    std::string m_lockPath;
    std::string m_journalPath;
};

}  // namespace tessaly
