#include "IniReader.h"

#include <QDataStream>
#include <QDebug>
#include <QMetaType>
#include <QString>
#include <QTextCodec>
#include <QtEndian>

namespace {

enum Trait : uchar
{
    Space = 0x1,
    Special = 0x2
};

uchar traits(char ch)
{
    switch (ch) {
    case '\t':
    case ' ':
        return Space;
    case '\n':
    case '\r':
        return Space | Special;
    case '"':
    case ';':
    case '=':
    case '\\':
        return Special;
    default:
        return 0;
    }
}

// Raw bytes of the file are UTF-8 when the whole file is (what an editor
// writes); otherwise each byte is one Latin-1 character, as the toolkit reads
// them. The toolkit itself writes every non-ASCII character as an escape.
class Decoder
{
public:
    explicit Decoder(const QByteArray &content)
    {
        QTextCodec::ConverterState state;
        QTextCodec::codecForMib(106)->toUnicode(content.constData(), content.size(), &state);
        m_utf8 = state.invalidChars == 0 && state.remainingChars == 0;
    }

    QString operator()(const char *data, int size) const
    {
        return m_utf8 ? QString::fromUtf8(data, size) : QString::fromLatin1(data, size);
    }

private:
    bool m_utf8 = true;
};

bool isHex(char ch)
{
    return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F');
}

int hexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    return (ch | 0x20) - 'a' + 10;
}

// One logical line: leading blanks and comment lines skipped, a line break
// inside quotes or after a backslash kept, a ';' outside quotes ending it.
// lineStart/lineLen give the line, equalsPos its first '=' outside quotes.
bool readLine(const QByteArray &data, int &dataPos, int &lineStart, int &lineLen, int &equalsPos)
{
    const int dataLen = data.size();
    bool inQuotes = false;
    equalsPos = -1;
    lineStart = dataPos;
    while (lineStart < dataLen && (traits(data.at(lineStart)) & Space))
        ++lineStart;

    int i = lineStart;
    bool done = false;
    while (i < dataLen && !done) {
        char ch = data.at(i);
        while (!(traits(ch) & Special)) {
            if (++i == dataLen)
                break;
            ch = data.at(i);
        }
        if (i == dataLen)
            break;
        ++i;
        switch (ch) {
        case '=':
            if (!inQuotes && equalsPos == -1)
                equalsPos = i - 1;
            break;
        case '\n':
        case '\r':
            if (i == lineStart + 1) {
                ++lineStart;
            } else if (!inQuotes) {
                --i;
                done = true;
            }
            break;
        case '\\':
            if (i < dataLen) {
                const char escaped = data.at(i++);
                if (i < dataLen) {
                    const char next = data.at(i);
                    if ((escaped == '\n' && next == '\r') || (escaped == '\r' && next == '\n'))
                        ++i;
                }
            }
            break;
        case '"':
            inQuotes = !inQuotes;
            break;
        default: // ';'
            if (i == lineStart + 1) {
                while (i < dataLen && data.at(i) != '\n' && data.at(i) != '\r')
                    ++i;
                while (i < dataLen && (traits(data.at(i)) & Space))
                    ++i;
                lineStart = i;
            } else if (!inQuotes) {
                --i;
                done = true;
            }
            break;
        }
    }
    dataPos = i;
    lineLen = i - lineStart;
    return lineLen > 0;
}

// "%XX" and "%UXXXX" are characters, a backslash is the key separator.
QString unescapeKey(const QByteArray &key, int from, int to, const Decoder &decode)
{
    QString result;
    int run = from;
    const auto flush = [&](int upTo) {
        if (upTo > run)
            result += decode(key.constData() + run, upTo - run);
    };
    int i = from;
    while (i < to) {
        const char ch = key.at(i);
        if (ch == '\\') {
            flush(i);
            result += QLatin1Char('/');
            run = ++i;
            continue;
        }
        if (ch != '%' || i == to - 1) {
            ++i;
            continue;
        }
        int first = i + 1;
        int digits = 2;
        if (key.at(first) == 'U') {
            ++first;
            digits = 4;
        }
        bool ok = false;
        const int code = first + digits <= to ? key.mid(first, digits).toInt(&ok, 16) : 0;
        if (!ok) {
            ++i; // the '%' stays as it is
            continue;
        }
        flush(i);
        result += QChar(ushort(code));
        i = first + digits;
        run = i;
    }
    flush(to);
    return result;
}

// The value text: blanks around it dropped unless quoted, quotes removed,
// C-style escapes decoded, a comma kept as it stands.
QString unescapeValue(const QByteArray &str, int from, int to, const Decoder &decode)
{
    static const char escapeCodes[][2]
        = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},  {'r', '\r'}, {'t', '\t'},
           {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    QString result;
    bool inQuotes = false;
    bool quoted = false;
    bool chop = true;
    int i = from;
    const auto skipBlanks = [&] {
        while (i < to && (str.at(i) == ' ' || str.at(i) == '\t'))
            ++i;
    };
    skipBlanks();
    int chopLimit = 0;
    while (i < to) {
        const char ch = str.at(i);
        if (ch == '\\') {
            if (++i >= to) {
                chop = false;
                break;
            }
            const char code = str.at(i++);
            bool simple = false;
            for (const auto &escape : escapeCodes) {
                if (code == escape[0]) {
                    result += QLatin1Char(escape[1]);
                    simple = true;
                    break;
                }
            }
            if (!simple && (code == 'x' || (code >= '0' && code <= '7'))) {
                const bool hex = code == 'x';
                if (!hex || (i < to && isHex(str.at(i)))) {
                    ushort value = hex ? 0 : ushort(code - '0');
                    while (i < to) {
                        const char digit = str.at(i);
                        if (hex && isHex(digit))
                            value = ushort((value << 4) + hexValue(digit));
                        else if (!hex && digit >= '0' && digit <= '7')
                            value = ushort((value << 3) + (digit - '0'));
                        else
                            break;
                        ++i;
                    }
                    result += QChar(value);
                }
            } else if (!simple && (code == '\n' || code == '\r') && i < to) {
                // A value continued on the next line.
                const char next = str.at(i);
                if ((next == '\n' || next == '\r') && next != code)
                    ++i;
            }
            // Any other escaped character is dropped.
            chopLimit = result.size();
            continue;
        }
        if (ch == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipBlanks();
                chopLimit = result.size();
            }
            continue;
        }
        int j = i + 1;
        while (j < to && str.at(j) != '\\' && str.at(j) != '"')
            ++j;
        result += decode(str.constData() + i, j - i);
        i = j;
    }
    if (chop && !quoted) {
        int n = result.size();
        while (n > chopLimit
               && (result.at(n - 1) == QLatin1Char(' ') || result.at(n - 1) == QLatin1Char('\t')))
            --n;
        result.truncate(n);
    }
    return result;
}

// Whether a stored value may be read back: only values of a fixed size or read
// in bounded pieces. A list, map or polygon starts with a count the toolkit
// allocates for at once, so one damaged byte in a file could ask for more
// memory than there is and end the program. The numbers are those of the
// stream format the files are written in (the older one: the small number
// types of its extension range included).
bool decodable(const QByteArray &bytes)
{
    QDataStream peek(bytes);
    quint32 type = 0;
    peek >> type;
    if (peek.status() != QDataStream::Ok)
        return true; // too short to hold anything: reads as no value
    switch (type) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::QChar:
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::QDate:
    case QMetaType::QTime:
    case QMetaType::QDateTime:
    case QMetaType::QUrl:
    case QMetaType::QRect:
    case QMetaType::QRectF:
    case QMetaType::QSize:
    case QMetaType::QSizeF:
    case QMetaType::QLine:
    case QMetaType::QLineF:
    case QMetaType::QPoint:
    case QMetaType::QPointF:
    case QMetaType::QColor:
        return true;
    default:
        return type >= 129 && type <= 135; // long, short, char, their unsigned kinds, float
    }
}

// The toolkit's markers for values that are not plain texts.
QVariant toVariant(const QString &text)
{
    if (!text.startsWith(QLatin1Char('@')))
        return text;
    if (text.endsWith(QLatin1Char(')'))) {
        if (text.startsWith(QLatin1String("@ByteArray(")))
            return text.midRef(11, text.size() - 12).toLatin1();
        if (text.startsWith(QLatin1String("@String(")))
            return text.mid(8, text.size() - 9);
        if (text.startsWith(QLatin1String("@Variant(")) || text.startsWith(QLatin1String("@DateTime("))) {
            QByteArray bytes = text.toLatin1().mid(text.at(1) == QLatin1Char('D') ? 10 : 9);
            if (!decodable(bytes)) {
                qWarning().noquote().nospace()
                    << "[IniReader] WARN: Ignoring a stored value of a kind not read back : type "
                    << qFromBigEndian<quint32>(bytes.constData());
                return QVariant();
            }
            QDataStream stream(&bytes, QIODevice::ReadOnly);
            // The toolkit writes a time in the later stream format (dates of
            // eight bytes, the time zone kept), everything else in the first.
            stream.setVersion(text.at(1) == QLatin1Char('D') ? QDataStream::Qt_5_6 : QDataStream::Qt_4_0);
            QVariant value;
            stream >> value;
            return value;
        }
        if (text == QLatin1String("@Invalid()"))
            return QVariant();
    }
    if (text.startsWith(QLatin1String("@@")))
        return text.mid(1);
    return text;
}

// Repeated, leading and trailing slashes go. Most keys have none: they are
// taken as they are, without the list and the texts a split would make.
QString normalizedKey(const QString &key)
{
    if (!key.startsWith(QLatin1Char('/')) && !key.endsWith(QLatin1Char('/'))
        && !key.contains(QLatin1String("//")))
        return key;
    return key.split(QLatin1Char('/'), Qt::SkipEmptyParts).join(QLatin1Char('/'));
}

} // namespace

IniReader::Result IniReader::read(const QByteArray &content)
{
    Result result;
    const Decoder decode(content);
    int dataPos = content.startsWith("\xef\xbb\xbf") ? 3 : 0;
    QString section;
    int lineStart = 0;
    int lineLen = 0;
    int equalsPos = -1;
    while (readLine(content, dataPos, lineStart, lineLen, equalsPos)) {
        const char first = content.at(lineStart);
        if (first == '[') {
            const int close = content.indexOf(']', lineStart);
            QByteArray name;
            if (close == -1 || close >= lineStart + lineLen) {
                result.malformed = true;
                name = content.mid(lineStart + 1, lineLen - 1);
            } else {
                name = content.mid(lineStart + 1, close - lineStart - 1);
            }
            name = name.trimmed();
            if (qstricmp(name.constData(), "general") == 0) {
                section.clear();
            } else {
                section = qstricmp(name.constData(), "%general") == 0
                    ? QString::fromLatin1(name.constData() + 1)
                    : unescapeKey(name, 0, name.size(), decode);
                section += QLatin1Char('/');
            }
            continue;
        }
        if (equalsPos == -1) {
            if (first != ';')
                result.malformed = true;
            continue;
        }
        int keyEnd = equalsPos;
        while (keyEnd > lineStart && (content.at(keyEnd - 1) == ' ' || content.at(keyEnd - 1) == '\t'))
            --keyEnd;
        const QString key = normalizedKey(section + unescapeKey(content, lineStart, keyEnd, decode));
        if (key.isEmpty()) {
            result.malformed = true;
            continue;
        }
        result.values.insert(key,
                             toVariant(unescapeValue(content, equalsPos + 1, lineStart + lineLen, decode)));
    }
    return result;
}
