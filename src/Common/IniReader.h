#pragma once

#include <QByteArray>
#include <QVariantMap>

// Reads the settings file's INI text as the toolkit's native settings format
// writes it (sections, escaped keys, quoted and escaped values, comments),
// straight from the bytes of the file. The toolkit's own reader keeps a
// process-wide copy per file that it re-reads only when size or time stamp
// differ, so a quick edit of the same length could go unseen; this reader has
// no such memory.
//
// One departure on purpose: a comma outside quotes is an ordinary character.
// The settings hold texts only, and "password=ab, cd" is the text "ab, cd"
// exactly as written, never a list.
class IniReader
{
public:
    struct Result
    {
        QVariantMap values; // key "section/name" (or the bare name) to value
        bool malformed = false; // some lines could not be read and were skipped
    };

    static Result read(const QByteArray &content);
};
