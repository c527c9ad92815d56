#pragma once

#include <QString>

// What a save cut short by a power loss leaves beside a settings file: the
// lock file of the toolkit's settings writer, possibly still empty, and the
// temporary the new content was written to before it replaced the file.
namespace StaleFiles {

// Removes "<path>.lock" when no live process holds it. The writer creates the
// lock and writes its owner into it right after, so a lock that names a dead
// process, or that stays empty or unreadable for a moment, was left by a
// process that died in between. Otherwise the next save would wait until the
// toolkit counts it as stale, 30 s later.
void clearLock(const QString &path, const QString &logPrefix);

// Removes the temporaries "<path>.XXXXXX" (six letters or digits) that a save
// leaves for good when it dies between writing and renaming, and what the
// settings writer leaves beside such a temporary when it writes into it
// ("<path>.XXXXXX.XXXXXX", "<path>.XXXXXX.lock"). Called at start, before this
// process writes the file itself; returns how many were removed.
int removeTemporaries(const QString &path, const QString &logPrefix);

} // namespace StaleFiles
