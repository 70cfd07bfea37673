#include "web/VersionPage.h"

#include <QList>
#include <QRegularExpression>

namespace {

constexpr int kMaxLineLength = 1023;
constexpr int kEntryFields = 3;
constexpr int kVersionNumbers = 4;

// "%d.%d.%d.%d"; false when the text does not start with four such numbers.
bool ReadVersion(const QString& text, int32_t& high, int32_t& low)
{
    static const QRegularExpression form(R"(^([+-]?\d+)\.([+-]?\d+)\.([+-]?\d+)\.([+-]?\d+))");
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return false;
    uint32_t n[kVersionNumbers];
    for (int i = 0; i < kVersionNumbers; ++i) {
        bool ok = false;
        n[i] = static_cast<uint32_t>(m.captured(i + 1).toLongLong(&ok));
        if (!ok)
            return false;
    }
    // Each pair is one 32-bit number, as the file version keeps it.
    high = static_cast<int32_t>(n[0] * 65536u + n[1]);
    low = static_cast<int32_t>(n[2] * 65536u + n[3]);
    return true;
}

}  // namespace

bool VersionPageListsNewer(const QByteArray& page, const QString& programName, const FileVersion& own)
{
    static const QRegularExpression blanks("[ \t]+");
    QList<QByteArray> lines = page.split('\n');
    lines.removeLast();  // what follows the last line feed is not a whole line
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.size() > kMaxLineLength)
            continue;
        const QStringList fields = QString::fromLatin1(line).split(blanks);
        if (fields.size() != kEntryFields || fields[0].isEmpty() || fields[2].isEmpty())
            continue;
        if (fields[0].compare(programName, Qt::CaseInsensitive) != 0)
            continue;
        int32_t high = 0;
        int32_t low = 0;
        if (!ReadVersion(fields[1], high, low))
            continue;
        if (high > own.High() || (high == own.High() && low > own.Low()))
            return true;
    }
    return false;
}
