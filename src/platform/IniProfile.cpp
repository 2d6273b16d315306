#include "platform/IniProfile.h"

#include "platform/FileOps.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringList>

namespace Platform {

namespace {

struct IniText {
    QStringList lines;
    QString lineEnd = QStringLiteral("\n");
};

IniText loadIni(const QString &filePath, bool *exists)
{
    IniText ini;
    QFile file(filePath);
    *exists = file.open(QIODevice::ReadOnly);
    if (!*exists)
        return ini;
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    if (bytes.contains("\r\n"))
        ini.lineEnd = QStringLiteral("\r\n");
    bytes.replace("\r\n", "\n");
    bytes.replace('\r', '\n');
    // Line by line: one line added in another encoding must not garble all the others.
    const QList<QByteArray> lines = bytes.split('\n');
    for (const QByteArray &line : lines)
        ini.lines.append(DecodeLegacyText(line));
    if (!ini.lines.isEmpty() && ini.lines.constLast().isEmpty())
        ini.lines.removeLast(); // the final line break
    return ini;
}

// The section name of a "[name]" line, or a null string for any other line.
QString sectionOf(const QString &line)
{
    const QString t = line.trimmed();
    if (t.size() < 2 || !t.startsWith(QLatin1Char('[')))
        return {};
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return {};
    return t.mid(1, close - 1).trimmed();
}

bool isComment(const QString &trimmedLine)
{
    return trimmedLine.startsWith(QLatin1Char(';')) || trimmedLine.startsWith(QLatin1Char('#'));
}

// When the line is "key = value" for the given key, sets *value and returns true.
bool matchKey(const QString &line, const QString &key, QString *value)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || isComment(t))
        return false;
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    if (t.left(eq).trimmed().compare(key.trimmed(), Qt::CaseInsensitive) != 0)
        return false;
    QString v = t.mid(eq + 1).trimmed();
    if (v.size() >= 2
        && ((v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"')))
            || (v.startsWith(QLatin1Char('\'')) && v.endsWith(QLatin1Char('\'')))))
        v = v.mid(1, v.size() - 2);
    *value = v;
    return true;
}

bool sameName(const QString &a, const QString &b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

} // namespace

QString DecodeLegacyText(const QByteArray &bytes)
{
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(data);
    if (!utf8.hasError())
        return text;
    QStringDecoder gbk("GBK");
    if (gbk.isValid()) {
        QString legacy = gbk.decode(data);
        if (!gbk.hasError())
            return legacy;
    }
    return QString::fromUtf8(data); // best effort: replacement characters
}

QString ReadProfileString(
    const QString &section, const QString &key, const QString &defaultValue, const QString &filePath)
{
    bool exists = false;
    const IniText ini = loadIni(filePath, &exists);
    if (!exists)
        return defaultValue;
    bool inSection = false;
    for (const QString &line : ini.lines) {
        const QString name = sectionOf(line);
        if (!name.isNull()) {
            if (inSection)
                break; // only the first section of that name counts
            inSection = sameName(name, section);
            continue;
        }
        QString value;
        if (inSection && matchKey(line, key, &value))
            return value;
    }
    return defaultValue;
}

namespace {
// Sets one key in the loaded text: its line replaced in place, or added at the end of its
// section, or a new section at the end of the file.
void setKey(IniText &ini, const QString &section, const QString &key, const QString &value)
{
    QString oneLine = value;
    oneLine.replace(QLatin1String("\r\n"), QLatin1String(" "));
    oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' '));

    qsizetype sectionLine = -1;
    qsizetype lastContent = -1; // last non-blank line inside the section
    qsizetype keyLine = -1;
    for (qsizetype i = 0; i < ini.lines.size(); ++i) {
        const QString name = sectionOf(ini.lines[i]);
        if (!name.isNull()) {
            if (sectionLine >= 0)
                break;
            if (sameName(name, section)) {
                sectionLine = i;
                lastContent = i;
            }
            continue;
        }
        if (sectionLine < 0)
            continue;
        QString dummy;
        if (matchKey(ini.lines[i], key, &dummy)) {
            keyLine = i;
            break;
        }
        if (!ini.lines[i].trimmed().isEmpty())
            lastContent = i;
    }

    if (keyLine >= 0) {
        // Keep the key's own spelling and any indentation before it.
        const QString &old = ini.lines[keyLine];
        const qsizetype eq = old.indexOf(QLatin1Char('='));
        ini.lines[keyLine] = old.left(eq).trimmed() + QLatin1Char('=') + oneLine;
    } else if (sectionLine >= 0) {
        ini.lines.insert(lastContent + 1, key + QLatin1Char('=') + oneLine);
    } else {
        ini.lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        ini.lines.append(key + QLatin1Char('=') + oneLine);
    }
}
} // namespace

bool WriteProfileString(
    const QString &section, const QString &key, const QString &value, const QString &filePath, int *error)
{
    return WriteProfileStrings(section, {{key, value}}, filePath, error);
}

bool WriteProfileStrings(const QString &section, const QList<std::pair<QString, QString>> &values,
    const QString &filePath, int *error)
{
    bool exists = false;
    IniText ini = loadIni(filePath, &exists);
    for (const auto &[key, value] : values)
        setKey(ini, section, key, value);
    const QString text = ini.lines.join(ini.lineEnd) + ini.lineEnd;
    const int failure = WriteFileWhole(filePath, text.toUtf8());
    if (error)
        *error = failure;
    return failure == 0;
}

} // namespace Platform
